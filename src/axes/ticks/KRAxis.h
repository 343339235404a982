#pragma once
// The ticks and labels of one axis: major, minor and very major tick
// values (data units), one label per labelled major tick, and the number
// formatter that wrote them. The automatic kinds (linear, whole-number,
// logarithmic, angle, money) choose ticks for a range, an axis length in
// points and minimum page distances between ticks; the others take
// user-given values or lists.
//
// An axis is computed fresh for every layout. Problems (a list of the wrong
// kind, too many values, labels that do not match the ticks) go to the
// message centre and give an empty axis; a minimum major spacing of 0 gives
// no axis at all.

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "axes/ticks/KRCurrencyFormatter.h"
#include "axes/ticks/KRNumberFormatter.h"
#include "axes/ticks/LinearTicks.h"
#include "platform/PropertyList.h"

namespace orrelin {

class OrrelinColumn;

// User-given tick values: a list of numbers, a property-list value that
// should be one (an array of numbers), or a number column (its valid rows).
using KRAxisValues = std::variant<std::vector<double>, PropertyList, std::shared_ptr<OrrelinColumn>>;

class KRAxis {
 public:
  // At most this many user-given values.
  static constexpr std::size_t kMostGivenValues = 100;

  // Automatic ticks. Null when minDistanceBetweenMajorTicks is 0.
  static std::shared_ptr<KRAxis> linearAxisWithMin(double min, double max, double intervalLength,
                                                   double minDistanceBetweenMajorTicks,
                                                   double minDistanceBetweenMinorTicks);
  // Without minor ticks.
  static std::shared_ptr<KRAxis> linearAxisWithMin(double min, double max, double intervalLength,
                                                   double minDistanceBetweenMajorTicks);
  // Whole-number steps (and whole-number minor steps).
  static std::shared_ptr<KRAxis> linearIntegerAxisWithMin(double min, double max, double intervalLength,
                                                          double minDistanceBetweenMajorTicks);
  static std::shared_ptr<KRAxis> logarithmicAxisWithMin(double min, double max, double intervalLength,
                                                        double minDistanceBetweenMajorTicks,
                                                        double minDistanceBetweenMinorTicks);
  static std::shared_ptr<KRAxis> angleAxisDegreesWithMin(double min, double max, double intervalLength,
                                                         double minDistanceBetweenMajorTicks,
                                                         double minDistanceBetweenMinorTicks);
  static std::shared_ptr<KRAxis> angleAxisRadiansWithMin(double min, double max, double intervalLength,
                                                         double minDistanceBetweenMajorTicks,
                                                         double minDistanceBetweenMinorTicks);
  // Labels written by the money formatter; steps no finer than what it
  // writes (a cent, or a whole amount without cents).
  static std::shared_ptr<KRAxis> currencyAxisWithMin(double min, double max, double intervalLength,
                                                     double minDistanceBetweenMajorTicks,
                                                     double minDistanceBetweenMinorTicks,
                                                     const KRCurrencyFormatter& formatter);

  // Major ticks at the given values that lie in the range, labelled with
  // as many fixed digits as they need; the linear axis adds the ticks of the
  // automatic linear axis of the range as minor ticks.
  static std::shared_ptr<KRAxis> linearAxisFrom(const KRAxisValues& values, double min, double max,
                                                double intervalLength, double minDistanceBetweenMajorTicks,
                                                double minDistanceBetweenMinorTicks);
  static std::shared_ptr<KRAxis> logarithmicAxisFrom(const KRAxisValues& values, double min, double max,
                                                     double intervalLength, double minDistanceBetweenMajorTicks);

  // Axes from given lists. Without labels the major ticks are labelled with
  // as many fixed digits as they need; label lists must match the tick list.
  static std::shared_ptr<KRAxis> createWithMajor(const PropertyList& major, const PropertyList& minor);
  static std::shared_ptr<KRAxis> initWithMajor(std::vector<double> major, std::vector<double> minor);
  static std::shared_ptr<KRAxis> initWithMajor(std::vector<double> major, std::vector<std::string> labels,
                                               std::vector<double> minor);
  static std::shared_ptr<KRAxis> initWithMajor(std::vector<double> major, std::vector<std::string> labels,
                                               std::vector<double> veryMajorTicks, std::vector<double> minor);
  static std::shared_ptr<KRAxis> initWithMajor(std::vector<double> major, std::vector<double> veryMajorTicks,
                                               std::vector<double> minor);
  // One label per major tick; those whose flag is off are dropped.
  static std::shared_ptr<KRAxis> initWithMajor(std::vector<double> major, std::vector<bool> mask,
                                               std::vector<std::string> labels, std::vector<double> minor);
  // Labels placed at their own positions rather than at the major ticks.
  static std::shared_ptr<KRAxis> initWithMajor(std::vector<double> major, std::vector<double> labelPositions,
                                               std::vector<std::string> labels, std::vector<double> minor);
  static std::shared_ptr<KRAxis> createEmpty();

  const std::vector<double>& majorTickMarks() const { return major_; }
  const std::vector<double>& minorTickMarks() const { return minor_; }
  const std::vector<double>& veryMajorTickMarks() const { return veryMajor_; }
  // One per labelled major tick (or per label position), in order.
  const std::vector<std::string>& majorTickMarkLabels() const { return labels_; }
  // Where the labels go when they are not at the major ticks; else empty.
  const std::vector<double>& labelPositions() const { return labelLocations_; }
  // Where each label goes, in data units: its own position, or its tick.
  std::vector<double> labelValues() const;
  // One flag per major tick: whether it carries a label.
  const std::vector<bool>& majorTickMarksMask() const { return mask_; }
  bool powersOfTen() const { return powersOfTen_; }
  const std::optional<KRNumberFormatter>& formatter() const { return formatter_; }
  // Labels the axis wrote itself are written again with the new formatter
  // (given labels and money labels stay).
  void setFormatter(const KRNumberFormatter& formatter);
  const PlistDictionary& information() const { return information_; }
  void setInformation(PlistDictionary information) { information_ = std::move(information); }
  std::size_t howManyMajorTickMarks() const { return major_.size(); }
  bool isEmpty() const { return major_.empty() && minor_.empty() && veryMajor_.empty() && labels_.empty(); }

  // Drops the ticks (and their labels) that fall on any of the values.
  void removeValuesFromSet(const std::vector<double>& values);
  // Keeps the ticks but drops the labels that fall on any of the values.
  void maskValuesFromSet(const std::vector<double>& values);

  // Significant digits needed to tell apart tick labels in the range.
  static int howManyDigitsForTickMarksInRangeWithMin(double min, double max);

 private:
  // How the axis writes its own labels; Given labels are kept as they are.
  enum class LabelStyle { Given, Numbers, Degrees, Radians, Currency };

  static std::shared_ptr<KRAxis> withTicks(std::vector<double> major, std::vector<double> minor, LabelStyle style,
                                           std::optional<KRNumberFormatter> formatter);
  // Labels written with the digits the step needs.
  static std::shared_ptr<KRAxis> steppedAxis(TickValues ticks, LabelStyle style);
  static std::shared_ptr<KRAxis> angleAxis(double min, double max, double intervalLength,
                                           double minDistanceBetweenMajorTicks, double minDistanceBetweenMinorTicks,
                                           bool radians);
  static std::shared_ptr<KRAxis> givenValues(const KRAxisValues& values, double min, double max, bool logarithmic);
  void writeLabels();
  std::string labelFor(double value) const;
  template <typename Keep>
  void keepTicks(Keep keep);

  std::vector<double> major_;
  std::vector<double> minor_;
  std::vector<double> veryMajor_;
  std::vector<std::string> labels_;
  std::vector<double> labelLocations_;
  std::vector<bool> mask_;
  bool powersOfTen_ = false;
  std::optional<KRNumberFormatter> formatter_;
  std::optional<KRCurrencyFormatter> currencyFormatter_;
  LabelStyle labelStyle_ = LabelStyle::Given;
  PlistDictionary information_;
};

}  // namespace orrelin
