#pragma once
// Calendar ticks and labels for an axis of time values (seconds since
// 1970-01-01 00:00:00 GMT): seconds, minutes, hours, days, weeks, months and
// years, always whole calendar units in GMT on the Gregorian calendar, with
// labels in up to two lines. The first line labels the major ticks (hours,
// day numbers, month names, years); the second names the larger unit they
// belong to, once for the axis ("Mar 2007", "Mar & Apr - 2007",
// "Nov 2006 - Feb 2007"). Very major ticks mark the boundaries of that
// larger unit (midnights on an hour axis, the first of the month on a day
// axis, 1 January on a month axis).
//
// Major ticks are never closer on the page than the minimum tick space.
// A range that is empty, reversed, not finite or outside the calendar, and
// a length or tick space that is not positive, give an empty axis.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/GregorianCalendar.h"

namespace orrelin {

class KRAxis;

// A label of the second line: its text, where it goes and the span of time
// it describes.
struct VKDateAxisLabel {
  std::string text;
  double position = 0;
  double spanStart = 0;
  double spanEnd = 0;
  bool operator==(const VKDateAxisLabel&) const = default;
};

class VKDateAxis {
 public:
  using Components = gregorian::DateComponents;

  // The ticks and labels for the time values from min to max drawn over
  // intervalLength points, major ticks at least minTickSpace points apart.
  // fullStart and fullEnd are the times the range was made from (before
  // padding); the second line names the units of that part of the axis.
  // Without allowMultipleLines the axis has no second line. The language is
  // a date column's localization ("us", "de", … "is") or an ICU locale
  // ("de_DE"); English when empty or unknown.
  static std::shared_ptr<VKDateAxis> withMinValue(double minValue, double maxValue, double intervalLength,
                                                  double minTickSpace, double fullStart, double fullEnd,
                                                  bool allowMultipleLines, std::string_view language);

  // The cases withMinValue chooses from.
  // Seconds (with milliseconds when they fit), minutes or hours of one day.
  static std::shared_ptr<VKDateAxis> sameDayMinValue(double minValue, const Components& startComponents,
                                                     double maxValue, const Components& endComponents,
                                                     double intervalLength, double minTickSpace, double fullStart,
                                                     double fullEnd, std::string_view language);
  // Hours, days, weeks or months within one year. rawRange is maxValue −
  // minValue as the caller worked it out.
  static std::shared_ptr<VKDateAxis> sameYearDifferentDaysMinValue(
      double minValue, const Components& startComponents, double maxValue, const Components& endComponents,
      double intervalLength, double minTickSpace, double rawRange, double fullStart, double fullEnd,
      bool allowMultipleLines, std::string_view language);
  // The same across one new year.
  static std::shared_ptr<VKDateAxis> twoYearsMinValue(double minValue, const Components& startComponents,
                                                      double maxValue, const Components& endComponents,
                                                      double intervalLength, double minTickSpace, double rawRange,
                                                      double fullStart, double fullEnd, bool allowMultipleLines,
                                                      std::string_view language);
  // Seconds, minutes or hours over several days; null when even 12-hour
  // steps are too close, so that the caller goes on to days.
  static std::shared_ptr<VKDateAxis> fillInDayAndTimeMinValue(
      double minValue, const Components& startComponents, double maxValue, const Components& endComponents,
      double intervalLength, double minTickSpace, double rawRange, double fullStart, double fullEnd,
      bool allowMultipleLines, std::string_view language);
  // Months (1, 2, 3 or 6 at a time) over several years, January labelled
  // with its year.
  static std::shared_ptr<VKDateAxis> yearsAndMainMonths(double minValue, const Components& startComponents,
                                                        double maxValue, const Components& endComponents,
                                                        double intervalLength, double minTickSpace, double fullStart,
                                                        double fullEnd, std::string_view language);
  // Years, 1, 2 or 5 times a power of ten at a time.
  static std::shared_ptr<VKDateAxis> yearsOnlyMinValue(double minValue, const Components& startComponents,
                                                       double maxValue, const Components& endComponents,
                                                       double intervalLength, double minTickSpace, double fullStart,
                                                       double fullEnd, std::string_view language);

  // The twelve month abbreviations of the language, January first.
  static const std::vector<std::string>& shortMonthLabels(std::string_view language);

  static std::shared_ptr<VKDateAxis> initWithFirstLine(std::vector<std::string> firstLine,
                                                       std::vector<VKDateAxisLabel> secondLine,
                                                       std::vector<double> majorTicks, std::vector<double> minorTicks);
  static std::shared_ptr<VKDateAxis> initWithFirstLine(std::vector<std::string> firstLine,
                                                       std::vector<VKDateAxisLabel> secondLine,
                                                       std::vector<double> majorTicks,
                                                       std::vector<double> veryMajorTicks,
                                                       std::vector<double> minorTicks);
  static std::shared_ptr<VKDateAxis> createEmpty();

  const std::vector<double>& majorTickMarks() const { return major_; }
  const std::vector<double>& veryMajorTickMarks() const { return veryMajor_; }
  const std::vector<double>& minorTickMarks() const { return minor_; }
  // One label per major tick.
  const std::vector<std::string>& firstLineOfLabels() const { return firstLine_; }
  const std::vector<VKDateAxisLabel>& secondLineOfLabels() const { return secondLine_; }
  bool isEmpty() const { return major_.empty() && minor_.empty() && veryMajor_.empty() && secondLine_.empty(); }

  void removeSecondLine() { secondLine_.clear(); }

  // The first line as a tick axis for the layout: the major ticks with
  // their labels, the very major and the minor ticks.
  std::shared_ptr<KRAxis> tickAxis() const;

 private:
  std::vector<std::string> firstLine_;
  std::vector<VKDateAxisLabel> secondLine_;
  std::vector<double> major_;
  std::vector<double> veryMajor_;
  std::vector<double> minor_;
};

// How the layout asks for a date axis. Major ticks of a date axis are at
// least this far apart: 40 points for a 12-point number font.
double dateAxisMinTickSpace(double numberFontSize);
// The date axis of an axis drawn over `length` points with numbers in the
// font size; its second line only when twoLines allows it.
std::shared_ptr<VKDateAxis> dateAxisForLength(double minValue, double maxValue, double length, double numberFontSize,
                                              double fullStart, double fullEnd, bool twoLines,
                                              std::string_view language);

}  // namespace orrelin
