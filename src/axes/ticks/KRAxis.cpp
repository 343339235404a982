#include "axes/ticks/KRAxis.h"

#include <algorithm>
#include <cmath>

#include "axes/ticks/AngleTicks.h"
#include "axes/ticks/LinearTicks.h"
#include "axes/ticks/LogarithmicTicks.h"
#include "axes/ticks/TickLabels.h"
#include "axes/ticks/TickTexts.h"
#include "platform/KRMessageCenter.h"
#include "table/OrrelinColumn.h"

namespace orrelin {

namespace {

// A range's digits are counted from its larger end when both ends lie
// between these magnitudes and the range is wider than 1.
constexpr double kSmallestPlainMagnitude = 1e-6;
constexpr double kLargestPlainMagnitude = 1e6;
// Two values are the same tick when they differ by no more than this part
// of the larger one (tick values carry the rounding of a multiplication).
constexpr double kSameTickTolerance = 1e-9;

bool sameTick(double a, double b) {
  return a == b || std::fabs(a - b) <= kSameTickTolerance * std::max(std::fabs(a), std::fabs(b));
}

bool onAnyOf(double value, const std::vector<double>& values) {
  return std::any_of(values.begin(), values.end(), [value](double v) { return sameTick(v, value); });
}

std::shared_ptr<KRAxis> emptyAfterMessage(const char* message) {
  KRMessageCenter::addMessage(message);
  return KRAxis::createEmpty();
}

bool refusesZeroSpacing(double minDistanceBetweenMajorTicks) {
  if (minDistanceBetweenMajorTicks != 0) return false;
  KRMessageCenter::addMessage(tick_text::kZeroMajorSpacing);
  return true;
}

std::optional<std::vector<double>> numbersOf(const PropertyList& list) {
  if (!list.isArray()) return std::nullopt;
  std::vector<double> numbers;
  numbers.reserve(list.array().size());
  for (const auto& item : list.array()) {
    if (!item.isNumber()) return std::nullopt;
    numbers.push_back(item.real());
  }
  return numbers;
}

// The values of a given-values source; none when it is of another kind.
std::optional<std::vector<double>> valuesOf(const KRAxisValues& source) {
  if (const auto* list = std::get_if<std::vector<double>>(&source)) return *list;
  if (const auto* plist = std::get_if<PropertyList>(&source)) return numbersOf(*plist);
  const auto& column = std::get<std::shared_ptr<OrrelinColumn>>(source);
  if (!column || !column->isNumberColumn()) return std::nullopt;
  std::vector<double> values;
  for (long row = 0, rows = column->howManyEntries(); row < rows; ++row)
    if (column->validEntryAtIndex(row)) values.push_back(column->valueAtRow(row));
  return values;
}

}  // namespace

std::shared_ptr<KRAxis> KRAxis::createEmpty() { return std::make_shared<KRAxis>(); }

std::shared_ptr<KRAxis> KRAxis::withTicks(std::vector<double> major, std::vector<double> minor, LabelStyle style,
                                          std::optional<KRNumberFormatter> formatter) {
  auto axis = createEmpty();
  axis->major_ = std::move(major);
  axis->minor_ = std::move(minor);
  axis->mask_.assign(axis->major_.size(), true);
  axis->labelStyle_ = style;
  axis->formatter_ = std::move(formatter);
  axis->writeLabels();
  return axis;
}

std::shared_ptr<KRAxis> KRAxis::steppedAxis(TickValues ticks, LabelStyle style) {
  auto formatter = formatterForTicks(ticks.major, ticks.step);
  return withTicks(std::move(ticks.major), std::move(ticks.minor), style, formatter);
}

std::shared_ptr<KRAxis> KRAxis::linearAxisWithMin(double min, double max, double intervalLength,
                                                  double minDistanceBetweenMajorTicks,
                                                  double minDistanceBetweenMinorTicks) {
  if (refusesZeroSpacing(minDistanceBetweenMajorTicks)) return nullptr;
  return steppedAxis(
      computeLinearTicks(min, max, intervalLength, minDistanceBetweenMajorTicks, minDistanceBetweenMinorTicks),
      LabelStyle::Numbers);
}

std::shared_ptr<KRAxis> KRAxis::linearAxisWithMin(double min, double max, double intervalLength,
                                                  double minDistanceBetweenMajorTicks) {
  if (refusesZeroSpacing(minDistanceBetweenMajorTicks)) return nullptr;
  return steppedAxis(computeLinearTicks(min, max, intervalLength, minDistanceBetweenMajorTicks, 0, {0, false}),
                     LabelStyle::Numbers);
}

std::shared_ptr<KRAxis> KRAxis::linearIntegerAxisWithMin(double min, double max, double intervalLength,
                                                         double minDistanceBetweenMajorTicks) {
  if (refusesZeroSpacing(minDistanceBetweenMajorTicks)) return nullptr;
  return steppedAxis(computeLinearTicks(min, max, intervalLength, minDistanceBetweenMajorTicks, 0, {1, true}),
                     LabelStyle::Numbers);
}

std::shared_ptr<KRAxis> KRAxis::logarithmicAxisWithMin(double min, double max, double intervalLength,
                                                       double minDistanceBetweenMajorTicks,
                                                       double minDistanceBetweenMinorTicks) {
  if (refusesZeroSpacing(minDistanceBetweenMajorTicks)) return nullptr;
  auto log = computeLogarithmicTicks(min, max, intervalLength, minDistanceBetweenMajorTicks,
                                     minDistanceBetweenMinorTicks);
  auto axis = withTicks(std::move(log.ticks.major), std::move(log.ticks.minor), LabelStyle::Numbers,
                        logarithmicLabelFormatter());
  axis->powersOfTen_ = log.powersOfTen;
  return axis;
}

std::shared_ptr<KRAxis> KRAxis::angleAxis(double min, double max, double intervalLength,
                                          double minDistanceBetweenMajorTicks, double minDistanceBetweenMinorTicks,
                                          bool radians) {
  if (refusesZeroSpacing(minDistanceBetweenMajorTicks)) return nullptr;
  auto angle = computeAngleTicks(min, max, intervalLength, minDistanceBetweenMajorTicks, minDistanceBetweenMinorTicks,
                                 radians ? AngleUnit::Radians : AngleUnit::Degrees);
  // Radians on the decimal steps of small ranges are plain numbers.
  LabelStyle style = !radians ? LabelStyle::Degrees : angle.angleSteps ? LabelStyle::Radians : LabelStyle::Numbers;
  return steppedAxis(std::move(angle.ticks), style);
}

std::shared_ptr<KRAxis> KRAxis::angleAxisDegreesWithMin(double min, double max, double intervalLength,
                                                        double minDistanceBetweenMajorTicks,
                                                        double minDistanceBetweenMinorTicks) {
  return angleAxis(min, max, intervalLength, minDistanceBetweenMajorTicks, minDistanceBetweenMinorTicks, false);
}

std::shared_ptr<KRAxis> KRAxis::angleAxisRadiansWithMin(double min, double max, double intervalLength,
                                                        double minDistanceBetweenMajorTicks,
                                                        double minDistanceBetweenMinorTicks) {
  return angleAxis(min, max, intervalLength, minDistanceBetweenMajorTicks, minDistanceBetweenMinorTicks, true);
}

std::shared_ptr<KRAxis> KRAxis::currencyAxisWithMin(double min, double max, double intervalLength,
                                                    double minDistanceBetweenMajorTicks,
                                                    double minDistanceBetweenMinorTicks,
                                                    const KRCurrencyFormatter& formatter) {
  if (refusesZeroSpacing(minDistanceBetweenMajorTicks)) return nullptr;
  auto ticks = computeLinearTicks(min, max, intervalLength, minDistanceBetweenMajorTicks, minDistanceBetweenMinorTicks,
                                  {formatter.smallestWrittenStep(), true});
  auto axis = createEmpty();
  axis->currencyFormatter_ = formatter;
  axis->major_ = std::move(ticks.major);
  axis->minor_ = std::move(ticks.minor);
  axis->mask_.assign(axis->major_.size(), true);
  axis->labelStyle_ = LabelStyle::Currency;
  axis->writeLabels();
  return axis;
}

std::shared_ptr<KRAxis> KRAxis::givenValues(const KRAxisValues& source, double min, double max, bool logarithmic) {
  auto values = valuesOf(source);
  if (!values) return emptyAfterMessage(tick_text::kUnexpectedType);
  if (values->size() > kMostGivenValues) return emptyAfterMessage(tick_text::kTooManyValues);
  // Values a thousandth of the range outside it (on a logarithmic axis, a
  // thousandth of max above it or a ten-thousandth of min below it) still
  // count as inside.
  double tolerance = 0.001 * (max - min);
  auto inRange = [&](double value) {
    if (logarithmic) return value > 0 && insideLogarithmicRange(value, min, max);
    return value >= min - tolerance && value <= max + tolerance;
  };
  std::vector<double> major;
  for (double value : *values)
    if (std::isfinite(value) && inRange(value)) major.push_back(value);
  std::sort(major.begin(), major.end());
  major.erase(std::unique(major.begin(), major.end()), major.end());
  auto formatter = logarithmic ? logarithmicLabelFormatter() : formatterForGivenValues(major);
  return withTicks(std::move(major), {}, LabelStyle::Numbers, formatter);
}

std::shared_ptr<KRAxis> KRAxis::linearAxisFrom(const KRAxisValues& values, double min, double max,
                                               double intervalLength, double minDistanceBetweenMajorTicks,
                                               double minDistanceBetweenMinorTicks) {
  auto axis = givenValues(values, min, max, false);
  if (axis->major_.empty()) return axis;
  // Every tick of the automatic axis (major or minor) that is not a given
  // value becomes a minor tick, so the grid behind the given values stays
  // regular.
  auto automatic =
      computeLinearTicks(min, max, intervalLength, minDistanceBetweenMajorTicks, minDistanceBetweenMinorTicks);
  for (const auto* list : {&automatic.major, &automatic.minor})
    for (double value : *list)
      if (!onAnyOf(value, axis->major_)) axis->minor_.push_back(value);
  std::sort(axis->minor_.begin(), axis->minor_.end());
  return axis;
}

std::shared_ptr<KRAxis> KRAxis::logarithmicAxisFrom(const KRAxisValues& values, double min, double max,
                                                    double intervalLength, double minDistanceBetweenMajorTicks) {
  // The given values are all the ticks: the length and spacing do not
  // change them.
  (void)intervalLength;
  (void)minDistanceBetweenMajorTicks;
  return givenValues(values, min, max, true);
}

std::shared_ptr<KRAxis> KRAxis::createWithMajor(const PropertyList& major, const PropertyList& minor) {
  auto majorValues = numbersOf(major);
  auto minorValues = numbersOf(minor);
  if (!majorValues || !minorValues) return emptyAfterMessage(tick_text::kInvalidTypeForLists);
  return initWithMajor(std::move(*majorValues), std::move(*minorValues));
}

std::shared_ptr<KRAxis> KRAxis::initWithMajor(std::vector<double> major, std::vector<double> minor) {
  auto formatter = formatterForGivenValues(major);
  return withTicks(std::move(major), std::move(minor), LabelStyle::Numbers, formatter);
}

std::shared_ptr<KRAxis> KRAxis::initWithMajor(std::vector<double> major, std::vector<std::string> labels,
                                              std::vector<double> minor) {
  return initWithMajor(std::move(major), std::move(labels), {}, std::move(minor));
}

std::shared_ptr<KRAxis> KRAxis::initWithMajor(std::vector<double> major, std::vector<std::string> labels,
                                              std::vector<double> veryMajorTicks, std::vector<double> minor) {
  if (labels.size() != major.size()) return emptyAfterMessage(tick_text::kLabelLengthMismatch);
  auto axis = withTicks(std::move(major), std::move(minor), LabelStyle::Given, std::nullopt);
  axis->labels_ = std::move(labels);
  axis->veryMajor_ = std::move(veryMajorTicks);
  return axis;
}

std::shared_ptr<KRAxis> KRAxis::initWithMajor(std::vector<double> major, std::vector<double> veryMajorTicks,
                                              std::vector<double> minor) {
  auto axis = initWithMajor(std::move(major), std::move(minor));
  axis->veryMajor_ = std::move(veryMajorTicks);
  return axis;
}

std::shared_ptr<KRAxis> KRAxis::initWithMajor(std::vector<double> major, std::vector<bool> mask,
                                              std::vector<std::string> labels, std::vector<double> minor) {
  if (mask.size() != major.size()) return emptyAfterMessage(tick_text::kMaskLengthMismatch);
  if (labels.size() != major.size()) return emptyAfterMessage(tick_text::kLabelLengthMismatch);
  auto axis = withTicks(std::move(major), std::move(minor), LabelStyle::Given, std::nullopt);
  axis->mask_ = std::move(mask);
  for (std::size_t i = 0; i < labels.size(); ++i)
    if (axis->mask_[i]) axis->labels_.push_back(std::move(labels[i]));
  return axis;
}

std::shared_ptr<KRAxis> KRAxis::initWithMajor(std::vector<double> major, std::vector<double> labelPositions,
                                              std::vector<std::string> labels, std::vector<double> minor) {
  if (labels.size() != labelPositions.size()) return emptyAfterMessage(tick_text::kLabelLengthMismatch);
  auto axis = withTicks(std::move(major), std::move(minor), LabelStyle::Given, std::nullopt);
  axis->mask_.assign(axis->major_.size(), false);
  axis->labels_ = std::move(labels);
  axis->labelLocations_ = std::move(labelPositions);
  return axis;
}

std::vector<double> KRAxis::labelValues() const {
  if (!labelLocations_.empty()) return labelLocations_;
  std::vector<double> values;
  for (std::size_t i = 0; i < major_.size(); ++i)
    if (mask_[i]) values.push_back(major_[i]);
  return values;
}

void KRAxis::setFormatter(const KRNumberFormatter& formatter) {
  formatter_ = formatter;
  writeLabels();
}

void KRAxis::writeLabels() {
  if (labelStyle_ == LabelStyle::Given) return;
  labels_.clear();
  for (std::size_t i = 0; i < major_.size(); ++i)
    if (mask_[i]) labels_.push_back(labelFor(major_[i]));
}

std::string KRAxis::labelFor(double value) const {
  switch (labelStyle_) {
    case LabelStyle::Currency:
      return currencyFormatter_->convertNumber(value);
    case LabelStyle::Degrees:
      return degreeLabel(value, *formatter_);
    case LabelStyle::Radians:
      return radianLabel(value, *formatter_);
    default:
      return formatter_->convertNumber(value);
  }
}

template <typename Keep>
void KRAxis::keepTicks(Keep keep) {
  // Labels at their own positions go with their position; the others with
  // their major tick.
  std::vector<double> locations;
  std::vector<std::string> labels;
  bool ownPositions = !labelLocations_.empty();
  for (std::size_t i = 0; ownPositions && i < labelLocations_.size(); ++i) {
    if (keep(labelLocations_[i], true)) {
      locations.push_back(labelLocations_[i]);
      labels.push_back(labels_[i]);
    }
  }
  std::vector<double> major;
  std::vector<bool> mask;
  std::size_t label = 0;
  for (std::size_t i = 0; i < major_.size(); ++i) {
    bool labelled = mask_[i];
    if (keep(major_[i], false)) {
      major.push_back(major_[i]);
      bool keepsLabel = labelled && keep(major_[i], true);
      mask.push_back(keepsLabel);
      if (keepsLabel && !ownPositions) labels.push_back(labels_[label]);
    }
    if (labelled) ++label;
  }
  major_ = std::move(major);
  mask_ = std::move(mask);
  labels_ = std::move(labels);
  labelLocations_ = std::move(locations);
  std::erase_if(minor_, [&](double value) { return !keep(value, false); });
  std::erase_if(veryMajor_, [&](double value) { return !keep(value, false); });
}

void KRAxis::removeValuesFromSet(const std::vector<double>& values) {
  keepTicks([&](double tick, bool) { return !onAnyOf(tick, values); });
}

void KRAxis::maskValuesFromSet(const std::vector<double>& values) {
  keepTicks([&](double tick, bool isLabel) { return !isLabel || !onAnyOf(tick, values); });
}

int KRAxis::howManyDigitsForTickMarksInRangeWithMin(double min, double max) {
  double a = std::fabs(min);
  double b = std::fabs(max);
  double range = max - min;
  double digits;
  if (a < kLargestPlainMagnitude && b < kLargestPlainMagnitude && a > kSmallestPlainMagnitude &&
      b > kSmallestPlainMagnitude && range > 1)
    digits = std::floor(std::log10(std::max(a, b))) + 1;
  else
    digits = std::ceil(std::log10((a + b) / range)) + 2;
  // A degenerate range needs every digit there is; an undefined one none.
  if (std::isnan(digits)) return 1;
  return static_cast<int>(std::clamp(digits, 1.0, static_cast<double>(KRNumberFormatter::kMaximumSignificantDigits)));
}

}  // namespace orrelin
