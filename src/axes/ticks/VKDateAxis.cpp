#include "axes/ticks/VKDateAxis.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <optional>

#include "axes/ticks/CalendarSteps.h"
#include "axes/ticks/KRAxis.h"
#include "axes/ticks/TickTexts.h"
#include "platform/DateFormatting.h"
#include "table/DateFormats.h"

namespace orrelin {

namespace {

using calendar_steps::CalendarStep;
using calendar_steps::Unit;

constexpr double kMinute = 60;
constexpr double kHour = 3600;
constexpr double kDay = gregorian::kSecondsPerDay;
constexpr double kYearOfDays = 365 * kDay;
// No axis gets more ticks of one kind than this.
constexpr std::size_t kMostTicks = 20000;
// A label is estimated at this part of the minimum tick space per
// character: the tick space is 40 points for a 12-point font, whose digits
// are about 6.7 points wide.
constexpr double kCharacterWidth = 0.17;
constexpr const char* kEnglish = "en_US";

// The same-day steps and the page distances they need, in minimum tick
// spaces.
constexpr double kSecondsNeed = 2.0;
constexpr double kMinutesNeed = 1.7;
constexpr double kOneMinuteNeeds = 1.4;
constexpr double kHoursNeed = 1.3;
constexpr double kFractionLabelRoom = 1.3;
constexpr double kMinorNeedsOfTimes = 1.0 / 3;
constexpr double kMinorNeedsOfHours = 1.0 / 4;
// The page length of a year below which several years take only years.
constexpr double kYearNeedsForMonths = 3.0;

// "%@" and "%d" in a form are replaced by the parts in order.
std::string fill(std::string_view form, std::initializer_list<std::string> parts) {
  std::string text;
  auto part = parts.begin();
  for (std::size_t i = 0; i < form.size(); ++i) {
    if (form[i] == '%' && i + 1 < form.size() && (form[i + 1] == '@' || form[i + 1] == 'd') && part != parts.end()) {
      text += *part++;
      ++i;
    } else {
      text += form[i];
    }
  }
  return text;
}

std::string number(std::int64_t value) { return std::to_string(value); }

struct Setting {
  double min = 0;
  double max = 0;
  double length = 0;
  double tickSpace = 0;
  double fullStart = 0;
  double fullEnd = 0;
  bool secondLine = true;
  const std::vector<std::string>* months = nullptr;
  // Year ticks within a year or two still name the years on the second
  // line (there may be no tick to do it).
  bool namesYears = false;
  // Points per second.
  double scale() const { return length / (max - min); }
};

// What a case settled on: the major step, the minor step if any, digits of
// the fractions of a second, and how the first line is written.
enum class LabelKind { Clock, Calendar };
struct Choice {
  CalendarStep major;
  std::optional<CalendarStep> minor;
  int fractionDigits = 0;
  LabelKind labels = LabelKind::Calendar;
};

double seconds(const CalendarStep& step) { return calendar_steps::averageSeconds(step); }

// Every step that can cut a major step into minor ones, finest first.
const std::vector<CalendarStep>& minorCandidates() {
  static const std::vector<CalendarStep> steps = [] {
    std::vector<CalendarStep> list;
    for (double s : {0.001, 0.005, 0.01, 0.05, 0.1, 0.5, 1.0, 5.0, 10.0, 15.0, 30.0}) list.push_back({Unit::Second, s});
    for (double m : {1.0, 5.0, 15.0, 30.0}) list.push_back({Unit::Minute, m});
    for (double h : {1.0, 3.0, 6.0, 12.0}) list.push_back({Unit::Hour, h});
    list.push_back({Unit::Day, 1});
    list.push_back({Unit::HalfMonth, 1});
    for (double m : {1.0, 3.0, 6.0}) list.push_back({Unit::Month, m});
    for (double decade = 1; decade <= 1e9; decade *= 10)
      for (double c : {1.0, 2.0, 5.0}) list.push_back({Unit::Year, c * decade});
    return list;
  }();
  return steps;
}

// The finest step that nests in the major step and whose ticks are at
// least `need` points apart. Fractions of a second only cut fractions,
// seconds only cut seconds, minutes minutes, and hours are cut no finer
// than quarter hours.
std::optional<CalendarStep> minorFor(const CalendarStep& major, double scale, double need) {
  CalendarStep finest{Unit::Hour, 1};
  if (major.unit == Unit::Second) finest = major.count < 1 ? CalendarStep{Unit::Second, 0.001} : CalendarStep{Unit::Second, 1};
  else if (major.unit == Unit::Minute) finest = {Unit::Minute, 1};
  else if (major.unit == Unit::Hour) finest = {Unit::Minute, 15};
  bool allowed = false;
  for (const auto& step : minorCandidates()) {
    allowed = allowed || step == finest;
    if (!allowed) continue;
    if (seconds(step) >= seconds(major)) break;
    if (calendar_steps::shortestSeconds(step) * scale >= need && calendar_steps::nests(step, major)) return step;
  }
  return std::nullopt;
}

double labelWidth(int characters, double tickSpace) { return characters * kCharacterWidth * tickSpace; }

// The same-day steps: seconds (or their fractions) when 30 seconds span
// twice the tick space, minutes when 30 minutes span 1.7 times, else hours,
// and a tick at midnight when not even 12 hours are far enough apart. A
// step that would put more than the most ticks on the axis does not fit
// (which only happens to ranges longer than a day).
Choice timeOfDayChoice(double range, double scale, double m) {
  auto fits = [&](double step, double need) {
    return step * scale >= need && range / step <= double(kMostTicks);
  };
  Choice choice;
  choice.labels = LabelKind::Clock;
  if (fits(30, kSecondsNeed * m)) {
    // "23:59:59." and the digits.
    struct Fraction {
      double step;
      int digits;
    };
    static constexpr Fraction kFractions[] = {{0.001, 3}, {0.005, 3}, {0.01, 2}, {0.05, 2}, {0.1, 1}, {0.5, 1}};
    for (const auto& f : kFractions)
      if (fits(f.step, kFractionLabelRoom * labelWidth(9 + f.digits, m))) {
        choice.major = {Unit::Second, f.step};
        choice.fractionDigits = f.digits;
        break;
      }
    if (choice.fractionDigits == 0) {
      choice.major = {Unit::Second, 30};
      for (double step : {1.0, 2.0, 5.0, 15.0})
        if (fits(step, kSecondsNeed * m)) {
          choice.major = {Unit::Second, step};
          break;
        }
    }
    choice.minor = minorFor(choice.major, scale, m * kMinorNeedsOfTimes);
    return choice;
  }
  if (fits(30 * kMinute, kMinutesNeed * m)) {
    choice.major = {Unit::Minute, 30};
    if (fits(kMinute, kOneMinuteNeeds * m)) {
      choice.major = {Unit::Minute, 1};
    } else {
      for (double step : {5.0, 10.0, 15.0})
        if (fits(step * kMinute, kMinutesNeed * m)) {
          choice.major = {Unit::Minute, step};
          break;
        }
    }
    choice.minor = minorFor(choice.major, scale, m * kMinorNeedsOfTimes);
    return choice;
  }
  choice.major = {Unit::Day, 1};
  for (double step : {1.0, 2.0, 3.0, 6.0, 12.0})
    if (fits(step * kHour, kHoursNeed * m)) {
      choice.major = {Unit::Hour, step};
      break;
    }
  choice.minor = minorFor(choice.major, scale, m * kMinorNeedsOfHours);
  return choice;
}

// The first step of the list whose ticks are at least m points apart
// everywhere, and not too many.
std::optional<CalendarStep> firstFitting(const std::vector<CalendarStep>& steps, const Setting& s) {
  for (const auto& step : steps)
    if (calendar_steps::shortestSeconds(step) * s.scale() >= s.tickSpace &&
        (s.max - s.min) / seconds(step) <= double(kMostTicks))
      return step;
  return std::nullopt;
}

// 1, 2 and 5 times a power of ten years.
const std::vector<CalendarStep>& yearSteps() {
  static const std::vector<CalendarStep> steps = [] {
    std::vector<CalendarStep> list;
    for (double decade = 1; decade <= 1e9; decade *= 10)
      for (double c : {1.0, 2.0, 5.0}) list.push_back({Unit::Year, c * decade});
    return list;
  }();
  return steps;
}

// Days and longer within a year or two.
const std::vector<CalendarStep>& dayAndMonthSteps() {
  static const std::vector<CalendarStep> steps = {{Unit::Day, 1},   {Unit::Day, 2},   {Unit::Week, 1},
                                                  {Unit::HalfMonth, 1}, {Unit::Month, 1}, {Unit::Month, 2},
                                                  {Unit::Month, 3}, {Unit::Month, 6}, {Unit::Year, 1}};
  return steps;
}

// The unit that the second line names and whose starts are the very major
// ticks.
std::optional<CalendarStep> largerUnit(const CalendarStep& step) {
  switch (step.unit) {
    case Unit::Second:
    case Unit::Minute:
    case Unit::Hour: return CalendarStep{Unit::Day, 1};
    case Unit::Day:
    case Unit::Week:
    case Unit::HalfMonth: return CalendarStep{Unit::Month, 1};
    case Unit::Month: return CalendarStep{Unit::Year, 1};
    case Unit::Year: {
      double decade = 10;
      while (decade <= step.count) decade *= 10;
      return CalendarStep{Unit::Year, decade};
    }
  }
  return std::nullopt;
}

std::string clockText(double tick, int fractionDigits, bool withSeconds) {
  const double intoDay = tick - gregorian::startOfDay(tick);
  const auto milliseconds = std::int64_t(std::llround(intoDay * 1000));
  const std::int64_t hour = milliseconds / 3'600'000 % 24;
  const std::int64_t minute = milliseconds / 60'000 % 60;
  std::string text = fill(tick_text::kHourAndMinutes, {number(hour)});
  if (minute < 10) text += '0';
  text += number(minute);
  if (!withSeconds) return text;
  const std::int64_t second = milliseconds / 1000 % 60;
  text += second < 10 ? ":0" : ":";
  text += number(second);
  if (fractionDigits > 0) {
    std::string digits = number(1000 + milliseconds % 1000).substr(1, std::size_t(fractionDigits));
    text += '.' + digits;
  }
  return text;
}

// Day numbers are read against the month: the first tick of each month on
// the axis names it, as the month alone on the 1st ("Mar") or as the day
// ("Mar 5") otherwise.
std::string calendarText(double tick, const CalendarStep& step, const Setting& s, bool yearAtJanuary,
                         bool firstOfItsMonth) {
  const auto parts = gregorian::dateComponents(tick);
  if (!parts) return {};
  const std::string& month = (*s.months)[std::size_t(parts->month - 1)];
  switch (step.unit) {
    case Unit::Year: return fill(tick_text::kYear, {number(parts->year)});
    case Unit::Month:
      if (parts->month == 1 && yearAtJanuary) return fill(tick_text::kYear, {number(parts->year)});
      return month;
    default:
      if (parts->day == 1) return month;
      if (firstOfItsMonth) return fill(tick_text::kDayText, {month, number(parts->day)});
      return fill(tick_text::kDayNumber, {number(parts->day)});
  }
}

std::string dayText(const gregorian::DateComponents& day, const Setting& s) {
  return fill(tick_text::kDayText, {(*s.months)[std::size_t(day.month - 1)], number(day.day)});
}

// The text of the second line for a span of time from the first to the
// last unit it touches.
std::string secondLineText(Unit unit, const gregorian::DateComponents& first, const gregorian::DateComponents& last,
                           std::int64_t unitsApart, const Setting& s) {
  const std::string& firstMonth = (*s.months)[std::size_t(first.month - 1)];
  const std::string& lastMonth = (*s.months)[std::size_t(last.month - 1)];
  const bool sameYear = first.year == last.year;
  switch (unit) {
    case Unit::Year:
      if (unitsApart == 0) return fill(tick_text::kYear, {number(first.year)});
      if (unitsApart == 1) return fill(tick_text::kTwoYears, {number(first.year), number(last.year)});
      return fill(tick_text::kYearSpan, {number(first.year), number(last.year)});
    case Unit::Month:
      if (unitsApart == 0) return fill(tick_text::kOneUnit, {firstMonth, number(first.year)});
      if (!sameYear) {
        const char* form = unitsApart == 1 ? tick_text::kTwoMonthsAcrossNewYear : tick_text::kAcrossYears;
        return fill(form, {firstMonth, number(first.year), lastMonth, number(last.year)});
      }
      if (unitsApart == 1) return fill(tick_text::kTwoMonths, {firstMonth, lastMonth, number(first.year)});
      return fill(tick_text::kSeveralMonths, {firstMonth, lastMonth, number(first.year)});
    default:
      if (unitsApart == 0) return fill(tick_text::kOneUnit, {dayText(first, s), number(first.year)});
      if (!sameYear)
        return fill(tick_text::kAcrossYears, {dayText(first, s), number(first.year), dayText(last, s), number(last.year)});
      if (unitsApart == 1)
        return fill(tick_text::kTwoDays,
                    {firstMonth, number(first.day), lastMonth, number(last.day), number(first.year)});
      return fill(tick_text::kSeveralDays, {dayText(first, s), dayText(last, s), number(first.year)});
  }
}

// One label for the part of the axis that holds data: the unit it lies in,
// or the first and last of the units it touches. An end exactly at the
// start of a unit does not touch that unit.
std::optional<VKDateAxisLabel> secondLineFor(Unit unit, const Setting& s) {
  double start = s.min, end = s.max;
  if (std::isfinite(s.fullStart) && std::isfinite(s.fullEnd) && s.fullStart <= s.fullEnd &&
      s.fullEnd >= s.min && s.fullStart <= s.max) {
    start = std::max(start, s.fullStart);
    end = std::min(end, s.fullEnd);
  }
  double lastInstant = end;
  if (end > start && calendar_steps::startOf(unit, end) == end) lastInstant = std::nextafter(end, start);
  const auto first = gregorian::dateComponents(start);
  const auto last = gregorian::dateComponents(lastInstant);
  if (!first || !last) return std::nullopt;
  std::int64_t apart = 0;
  if (unit == Unit::Year) apart = last->year - first->year;
  else if (unit == Unit::Month) apart = (last->year - first->year) * 12 + (last->month - first->month);
  else apart = gregorian::daysFromCivil(last->year, last->month, last->day) -
               gregorian::daysFromCivil(first->year, first->month, first->day);
  return VKDateAxisLabel{secondLineText(unit, *first, *last, apart, s), (start + end) / 2, start, end};
}

bool onAny(double value, const std::vector<double>& sorted, double tolerance) {
  auto at = std::lower_bound(sorted.begin(), sorted.end(), value - tolerance);
  return at != sorted.end() && *at <= value + tolerance;
}

std::shared_ptr<VKDateAxis> axisFor(const Choice& choice, const Setting& s, bool yearAtJanuary) {
  auto major = calendar_steps::ticksOf(choice.major, s.min, s.max, kMostTicks);
  std::vector<std::string> labels;
  labels.reserve(major.size());
  double monthStart = NAN;
  for (double tick : major) {
    if (choice.labels == LabelKind::Clock) {
      labels.push_back(clockText(tick, choice.fractionDigits, choice.major.unit == Unit::Second));
      continue;
    }
    const double month = gregorian::startOfMonth(tick);
    labels.push_back(calendarText(tick, choice.major, s, yearAtJanuary, month != monthStart));
    monthStart = month;
  }
  std::vector<double> minor;
  if (choice.minor) {
    const double tolerance = 1e-6 * calendar_steps::shortestSeconds(*choice.minor);
    for (double tick : calendar_steps::ticksOf(*choice.minor, s.min, s.max, kMostTicks))
      if (!onAny(tick, major, tolerance)) minor.push_back(tick);
  }
  std::vector<double> veryMajor;
  std::vector<VKDateAxisLabel> second;
  // Clock labels belong to their day, even when the ticks are a day apart.
  auto larger = choice.labels == LabelKind::Clock ? CalendarStep{Unit::Day, 1} : largerUnit(choice.major);
  if (larger) {
    veryMajor = calendar_steps::ticksOf(*larger, s.min, s.max, kMostTicks);
    if (s.secondLine && larger->unit != Unit::Year) {
      if (auto label = secondLineFor(larger->unit, s)) second.push_back(std::move(*label));
    } else if (s.secondLine && (choice.major.unit == Unit::Month || s.namesYears)) {
      if (auto label = secondLineFor(Unit::Year, s)) second.push_back(std::move(*label));
    }
  }
  return VKDateAxis::initWithFirstLine(std::move(labels), std::move(second), std::move(major), std::move(veryMajor),
                                       std::move(minor));
}

std::optional<Setting> settingFor(double min, double max, double length, double tickSpace, double fullStart,
                                  double fullEnd, bool secondLine, std::string_view language) {
  if (!(min < max) || !std::isfinite(min) || !std::isfinite(max)) return std::nullopt;
  if (!(length > 0) || !std::isfinite(length) || !(tickSpace > 0) || !std::isfinite(tickSpace)) return std::nullopt;
  if (!std::isfinite(length / (max - min)) || length / (max - min) == 0) return std::nullopt;
  Setting s{min, max, length, tickSpace, fullStart, fullEnd, secondLine, &VKDateAxis::shortMonthLabels(language)};
  return s;
}

// Days and longer within a year or two, after hours when they fit.
std::shared_ptr<VKDateAxis> daysToMonths(const Setting& s, bool yearAtJanuary) {
  Setting setting = s;
  setting.namesYears = true;
  auto step = firstFitting(dayAndMonthSteps(), s);
  if (!step) step = firstFitting(yearSteps(), s);
  if (!step) {
    // Not even the coarsest step fits: no ticks, the years named below.
    std::vector<VKDateAxisLabel> second;
    if (s.secondLine) {
      if (auto label = secondLineFor(Unit::Year, s)) second.push_back(std::move(*label));
    }
    return VKDateAxis::initWithFirstLine({}, std::move(second), {}, {});
  }
  Choice choice;
  choice.major = *step;
  choice.minor = minorFor(choice.major, s.scale(), s.tickSpace * kMinorNeedsOfTimes);
  return axisFor(choice, setting, yearAtJanuary);
}

}  // namespace

std::shared_ptr<VKDateAxis> VKDateAxis::createEmpty() { return std::make_shared<VKDateAxis>(); }

std::shared_ptr<VKDateAxis> VKDateAxis::initWithFirstLine(std::vector<std::string> firstLine,
                                                          std::vector<VKDateAxisLabel> secondLine,
                                                          std::vector<double> majorTicks,
                                                          std::vector<double> minorTicks) {
  return initWithFirstLine(std::move(firstLine), std::move(secondLine), std::move(majorTicks), {},
                           std::move(minorTicks));
}

std::shared_ptr<VKDateAxis> VKDateAxis::initWithFirstLine(std::vector<std::string> firstLine,
                                                          std::vector<VKDateAxisLabel> secondLine,
                                                          std::vector<double> majorTicks,
                                                          std::vector<double> veryMajorTicks,
                                                          std::vector<double> minorTicks) {
  auto axis = createEmpty();
  axis->firstLine_ = std::move(firstLine);
  axis->secondLine_ = std::move(secondLine);
  axis->major_ = std::move(majorTicks);
  axis->veryMajor_ = std::move(veryMajorTicks);
  axis->minor_ = std::move(minorTicks);
  return axis;
}

const std::vector<std::string>& VKDateAxis::shortMonthLabels(std::string_view language) {
  static std::mutex lock;
  static std::map<std::string, std::vector<std::string>, std::less<>> byLanguage;
  std::lock_guard guard(lock);
  if (auto found = byLanguage.find(language); found != byLanguage.end()) return found->second;
  std::string locale(language);
  for (const auto& localization : dateLocalizations())
    if (language == localization.name) locale = localization.locale;
  // A name ICU does not know gives its root names ("M01"); those are not
  // what a reader of any language expects.
  auto names = monthNames(locale.empty() ? kEnglish : locale, MonthNameWidth::Abbreviated);
  if (names.size() != 12 || names[0] == "M01") names = monthNames(kEnglish, MonthNameWidth::Abbreviated);
  if (names.size() != 12)
    names = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  return byLanguage.emplace(std::string(language), std::move(names)).first->second;
}

std::shared_ptr<VKDateAxis> VKDateAxis::withMinValue(double minValue, double maxValue, double intervalLength,
                                                     double minTickSpace, double fullStart, double fullEnd,
                                                     bool allowMultipleLines, std::string_view language) {
  if (!settingFor(minValue, maxValue, intervalLength, minTickSpace, fullStart, fullEnd, allowMultipleLines, language))
    return createEmpty();
  const auto start = gregorian::dateComponents(minValue);
  const auto end = gregorian::dateComponents(maxValue);
  if (!start || !end) return createEmpty();
  std::shared_ptr<VKDateAxis> axis;
  const double range = maxValue - minValue;
  if (start->year == end->year && start->month == end->month && start->day == end->day) {
    axis = sameDayMinValue(minValue, *start, maxValue, *end, intervalLength, minTickSpace, fullStart, fullEnd,
                           language);
  } else if (start->year == end->year) {
    axis = sameYearDifferentDaysMinValue(minValue, *start, maxValue, *end, intervalLength, minTickSpace, range,
                                         fullStart, fullEnd, allowMultipleLines, language);
  } else if (end->year == start->year + 1) {
    axis = twoYearsMinValue(minValue, *start, maxValue, *end, intervalLength, minTickSpace, range, fullStart,
                            fullEnd, allowMultipleLines, language);
  } else if (intervalLength / range * kYearOfDays < kYearNeedsForMonths * minTickSpace) {
    axis = yearsOnlyMinValue(minValue, *start, maxValue, *end, intervalLength, minTickSpace, fullStart, fullEnd,
                             language);
  } else {
    axis = yearsAndMainMonths(minValue, *start, maxValue, *end, intervalLength, minTickSpace, fullStart, fullEnd,
                              language);
  }
  if (!axis) return createEmpty();
  if (!allowMultipleLines) axis->removeSecondLine();
  return axis;
}

std::shared_ptr<VKDateAxis> VKDateAxis::sameDayMinValue(double minValue, const Components&, double maxValue,
                                                        const Components&, double intervalLength,
                                                        double minTickSpace, double fullStart, double fullEnd,
                                                        std::string_view language) {
  auto s = settingFor(minValue, maxValue, intervalLength, minTickSpace, fullStart, fullEnd, true, language);
  if (!s) return createEmpty();
  return axisFor(timeOfDayChoice(maxValue - minValue, s->scale(), minTickSpace), *s, false);
}

std::shared_ptr<VKDateAxis> VKDateAxis::fillInDayAndTimeMinValue(double minValue, const Components&, double maxValue,
                                                                 const Components&, double intervalLength,
                                                                 double minTickSpace, double rawRange,
                                                                 double fullStart, double fullEnd,
                                                                 bool allowMultipleLines, std::string_view language) {
  auto s = settingFor(minValue, maxValue, intervalLength, minTickSpace, fullStart, fullEnd, allowMultipleLines,
                      language);
  if (!s) return nullptr;
  const double range = rawRange > 0 && std::isfinite(rawRange) ? rawRange : maxValue - minValue;
  const Choice choice = timeOfDayChoice(range, intervalLength / range, minTickSpace);
  if (choice.major.unit == Unit::Day) return nullptr;
  return axisFor(choice, *s, false);
}

std::shared_ptr<VKDateAxis> VKDateAxis::sameYearDifferentDaysMinValue(
    double minValue, const Components& startComponents, double maxValue, const Components& endComponents,
    double intervalLength, double minTickSpace, double rawRange, double fullStart, double fullEnd,
    bool allowMultipleLines, std::string_view language) {
  if (auto axis = fillInDayAndTimeMinValue(minValue, startComponents, maxValue, endComponents, intervalLength,
                                           minTickSpace, rawRange, fullStart, fullEnd, allowMultipleLines, language))
    return axis;
  auto s = settingFor(minValue, maxValue, intervalLength, minTickSpace, fullStart, fullEnd, allowMultipleLines,
                      language);
  if (!s) return createEmpty();
  return daysToMonths(*s, false);
}

std::shared_ptr<VKDateAxis> VKDateAxis::twoYearsMinValue(double minValue, const Components& startComponents,
                                                         double maxValue, const Components& endComponents,
                                                         double intervalLength, double minTickSpace, double rawRange,
                                                         double fullStart, double fullEnd, bool allowMultipleLines,
                                                         std::string_view language) {
  if (auto axis = fillInDayAndTimeMinValue(minValue, startComponents, maxValue, endComponents, intervalLength,
                                           minTickSpace, rawRange, fullStart, fullEnd, allowMultipleLines, language))
    return axis;
  auto s = settingFor(minValue, maxValue, intervalLength, minTickSpace, fullStart, fullEnd, allowMultipleLines,
                      language);
  if (!s) return createEmpty();
  return daysToMonths(*s, true);
}

std::shared_ptr<VKDateAxis> VKDateAxis::yearsAndMainMonths(double minValue, const Components&, double maxValue,
                                                           const Components&, double intervalLength,
                                                           double minTickSpace, double fullStart, double fullEnd,
                                                           std::string_view language) {
  auto s = settingFor(minValue, maxValue, intervalLength, minTickSpace, fullStart, fullEnd, true, language);
  if (!s) return createEmpty();
  static const std::vector<CalendarStep> steps = {
      {Unit::Month, 1}, {Unit::Month, 2}, {Unit::Month, 3}, {Unit::Month, 6}, {Unit::Year, 1}};
  // A year spans 3 tick spaces here, so half years fit unless they are too
  // many; then whole years.
  auto step = firstFitting(steps, *s);
  if (!step) step = firstFitting(yearSteps(), *s);
  if (!step) return createEmpty();
  Choice choice;
  choice.major = *step;
  choice.minor = minorFor(choice.major, s->scale(), minTickSpace * kMinorNeedsOfTimes);
  return axisFor(choice, *s, true);
}

std::shared_ptr<VKDateAxis> VKDateAxis::yearsOnlyMinValue(double minValue, const Components&, double maxValue,
                                                          const Components&, double intervalLength,
                                                          double minTickSpace, double fullStart, double fullEnd,
                                                          std::string_view language) {
  auto s = settingFor(minValue, maxValue, intervalLength, minTickSpace, fullStart, fullEnd, true, language);
  if (!s) return createEmpty();
  auto step = firstFitting(yearSteps(), *s);
  if (!step) return createEmpty();
  Choice choice;
  choice.major = *step;
  choice.minor = minorFor(choice.major, s->scale(), minTickSpace * kMinorNeedsOfTimes);
  return axisFor(choice, *s, true);
}

std::shared_ptr<KRAxis> VKDateAxis::tickAxis() const {
  return KRAxis::initWithMajor(major_, firstLine_, veryMajor_, minor_);
}

double dateAxisMinTickSpace(double numberFontSize) { return numberFontSize * 40 / 12; }

std::shared_ptr<VKDateAxis> dateAxisForLength(double minValue, double maxValue, double length, double numberFontSize,
                                              double fullStart, double fullEnd, bool twoLines,
                                              std::string_view language) {
  return VKDateAxis::withMinValue(minValue, maxValue, length, dateAxisMinTickSpace(numberFontSize), fullStart,
                                  fullEnd, twoLines, language);
}

}  // namespace orrelin
