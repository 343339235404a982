#include "axes/AxisTicks.h"

#include <algorithm>
#include <cmath>

#include "axes/ticks/KRCurrencyFormatter.h"
#include "table/OrrelinColumn.h"

namespace orrelin {

namespace {

// Keys of the tick-choice dictionaries.
constexpr const char* kMajor = "Major";
constexpr const char* kMinor = "Minor";
constexpr const char* kLocations = "Locations";
constexpr const char* kLabels = "Labels";
constexpr const char* kCategoriesKey = "Categories";
constexpr const char* kAngle = "Angle";
constexpr const char* kCurrencyKey = "Currency";
constexpr const char* kNegative = "Negative";
constexpr const char* kNegativeRed = "Negative Red";

// More stride ticks than this and the axis is chosen automatically.
constexpr double kMostStrideTicks = KRAxis::kMostGivenValues;

PlistArray numbersArray(const std::vector<double>& values) {
  PlistArray array;
  for (double value : values) array.emplace_back(value);
  return array;
}

PlistArray stringsArray(const std::vector<std::string>& texts) {
  PlistArray array;
  for (const auto& text : texts) array.emplace_back(text);
  return array;
}

std::vector<double> numbersOf(const PropertyList* value) {
  std::vector<double> result;
  if (!value || !value->isArray()) return result;
  for (const auto& each : value->array())
    if (each.isNumber() && std::isfinite(each.real())) result.push_back(each.real());
  return result;
}

std::vector<std::string> stringsOf(const PropertyList* value) {
  std::vector<std::string> result;
  if (!value || !value->isArray()) return result;
  for (const auto& each : value->array()) result.push_back(each.isString() ? each.string() : std::string());
  return result;
}

// The valid rows of a number column: their row numbers and values.
void validRows(const std::shared_ptr<OrrelinColumn>& column, std::vector<long>& rows, std::vector<double>& values) {
  if (!column) return;
  for (long row = 0; row < column->howManyEntries(); ++row)
    if (column->validEntryAtIndex(row)) {
      rows.push_back(row);
      values.push_back(column->valueAtRow(row));
    }
}

std::string textOfRow(const std::shared_ptr<OrrelinColumn>& column, long row) {
  return column ? column->stringVersionForRow(row) : std::string();
}

bool inRange(double value, double low, double high) {
  double slack = (high - low) * 1e-9;
  return value >= low - slack && value <= high + slack;
}

std::shared_ptr<KRAxis> automaticNumbers(const AxisTickRequest& request, double low, double high) {
  double major = std::max(automaticMajorSpacing(request.fontSize, low, high), request.minimumSpacing);
  double minor = major / 4;
  if (!request.linear) {
    if (low <= 0) return KRAxis::createEmpty();
    return KRAxis::logarithmicAxisWithMin(low, high, request.length, major, minor);
  }
  auto axis = request.isInteger ? KRAxis::linearIntegerAxisWithMin(low, high, request.length, major)
                                : KRAxis::linearAxisWithMin(low, high, request.length, major, minor);
  // The axis writes significant digits enough for its step, trailing zeros
  // removed; the decimal separator follows the preference.
  if (axis && axis->formatter()) {
    KRNumberFormatter formatter = *axis->formatter();
    formatter.setUseUnicodeMinus(true);
    formatter.setDecimalSeparatorIsAComma(request.decimalComma);
    axis->setFormatter(formatter);
  }
  return axis;
}

std::shared_ptr<KRAxis> strideAxis(double stride, const AxisTickRequest& request, double low, double high) {
  if (!(stride > 0) || !std::isfinite(stride) || (high - low) / stride > kMostStrideTicks)
    return automaticNumbers(request, low, high);
  std::vector<double> major;
  for (double k = std::ceil(low / stride - 1e-9); k * stride <= high + (high - low) * 1e-9; k += 1)
    major.push_back(k * stride == 0 ? 0.0 : k * stride);
  return KRAxis::initWithMajor(std::move(major), std::vector<double>{});
}

std::shared_ptr<KRAxis> givenValuesAxis(const PlistDictionary& given, double low, double high) {
  PropertyList list(given);
  std::vector<double> major, minor;
  for (double value : numbersOf(list.find(kMajor)))
    if (inRange(value, low, high)) major.push_back(value);
  for (double value : numbersOf(list.find(kMinor)))
    if (inRange(value, low, high)) minor.push_back(value);
  if (major.size() > KRAxis::kMostGivenValues) major.resize(KRAxis::kMostGivenValues);
  return KRAxis::initWithMajor(std::move(major), std::move(minor));
}

std::shared_ptr<KRAxis> locationsAxis(const PlistDictionary& given, double low, double high) {
  PropertyList list(given);
  auto positions = numbersOf(list.find(kLocations));
  auto texts = stringsOf(list.find(kLabels));
  bool categories = list.stringForKey(kCategoriesKey) == std::string("YES");
  bool labelled = !texts.empty();
  std::vector<double> major, minor;
  std::vector<std::string> labels;
  for (std::size_t i = 0; i < positions.size(); ++i) {
    if (!inRange(positions[i], low, high)) continue;
    major.push_back(positions[i]);
    if (labelled) labels.push_back(i < texts.size() ? texts[i] : std::string());
  }
  // Categories are separated by ticks half way between them.
  if (categories && list.booleanForKey("Ticks Between").value_or(false))
    for (double position : major)
      for (double edge : {position - 0.5, position + 0.5})
        if (inRange(edge, low, high) && std::find(minor.begin(), minor.end(), edge) == minor.end())
          minor.push_back(edge);
  std::sort(minor.begin(), minor.end());
  if (!labelled) return KRAxis::initWithMajor(std::move(major), std::move(minor));
  return KRAxis::initWithMajor(std::move(major), std::move(labels), std::move(minor));
}

std::shared_ptr<KRAxis> withPrefixAndSuffix(const std::shared_ptr<KRAxis>& axis, const std::string& prefix,
                                            const std::string& suffix) {
  if (!axis || (prefix.empty() && suffix.empty()) || axis->majorTickMarkLabels().empty()) return axis;
  std::vector<std::string> labels;
  for (const auto& label : axis->majorTickMarkLabels()) labels.push_back(prefix + label + suffix);
  std::shared_ptr<KRAxis> result;
  if (!axis->labelPositions().empty())
    result = KRAxis::initWithMajor(axis->majorTickMarks(), axis->labelPositions(), std::move(labels),
                                   axis->minorTickMarks());
  else if (labels.size() == axis->majorTickMarks().size())
    result = KRAxis::initWithMajor(axis->majorTickMarks(), std::move(labels), axis->veryMajorTickMarks(),
                                   axis->minorTickMarks());
  else
    result = KRAxis::initWithMajor(axis->majorTickMarks(), axis->majorTickMarksMask(), std::move(labels),
                                   axis->minorTickMarks());
  result->setInformation(axis->information());
  return result;
}

}  // namespace

std::optional<PropertyList> tickLocationsFor(const AxisControllers& axis) {
  switch (axis.ticksChoice->tag()) {
    case kTicksStride:
      return PropertyList(axis.ticksStride->value());
    case kTicksGivenValues:
      return PropertyList(PlistDictionary{{kMajor, numbersArray(axis.ticksValues->values().value_or(std::vector<double>{}))},
                                          {kMinor, numbersArray(axis.minorTicksValues->values().value_or(std::vector<double>{}))}});
    case kTicksFromColumns:
    case kTicksCategories: {
      bool categories = axis.ticksChoice->tag() == kTicksCategories;
      std::vector<long> rows;
      std::vector<double> positions;
      validRows(axis.tickLocations->column(), rows, positions);
      std::vector<std::string> labels;
      auto labelColumn = categories ? axis.categories->column() : axis.tickLabels->column();
      if (categories && !axis.tickLocations->hasSelection()) {
        // Without a position column, category k sits at k (rows from 0).
        rows.clear();
        positions.clear();
        long count = labelColumn ? labelColumn->howManyEntries() : 0;
        for (long row = 0; row < count; ++row) {
          rows.push_back(row);
          positions.push_back(static_cast<double>(row));
        }
      }
      if (labelColumn)
        for (long row : rows) labels.push_back(textOfRow(labelColumn, row));
      PlistDictionary given{{kLocations, numbersArray(positions)}};
      if (labelColumn) given[kLabels] = stringsArray(labels);
      if (categories) {
        given[kCategoriesKey] = "YES";
        given["Ticks Between"] = axis.categoryTicks->isSelected();
      }
      return PropertyList(std::move(given));
    }
    case kTicksAngle:
      return PropertyList(PlistDictionary{{kAngle, axis.angleUnit->tag()}});
    case kTicksCurrency:
      return PropertyList(PlistDictionary{{kCurrencyKey, axis.currency->tag()},
                                          {kNegative, axis.currencyNegative->isSelected()},
                                          {kNegativeRed, axis.currencyNegativeRed->isSelected()}});
    default:
      return std::nullopt;
  }
}

double automaticMajorSpacing(double fontSize) { return fontSize * 30 / 12; }

double automaticMajorSpacing(double fontSize, double min, double max) {
  double spacing = automaticMajorSpacing(fontSize);
  int digits = KRAxis::howManyDigitsForTickMarksInRangeWithMin(min, max);
  if (digits != 3) spacing *= 1.2 * digits / 3;
  return spacing;
}

AxisTicks computeAxisTicks(const AxisControllers& axis, const AxisTickRequest& request) {
  const std::optional<PropertyList>& locations = request.locations;
  AxisTicks result;
  result.isDate = request.isDate;
  const KRBoundingRange& range = request.range;
  if (!range.isValid() || !std::isfinite(range.minR) || !std::isfinite(range.maxR) || range.maxR <= range.minR ||
      !(request.length > 0) || !(request.fontSize > 0)) {
    result.axis = KRAxis::createEmpty();
    return result;
  }
  double low = range.minR;
  double high = range.maxR;

  std::shared_ptr<KRAxis> ticks;
  const PlistDictionary* given = locations && locations->isDictionary() ? &locations->dictionary() : nullptr;
  if (request.isDate) {
    KRBoundingRange full = request.unchangedRange.isValid() ? request.unchangedRange : range;
    bool twoLines = request.allowMultipleLines && axis.datesWithTwoLines->isSelected();
    auto dates = dateAxisForLength(low, high, request.length, request.fontSize, full.minR, full.maxR, twoLines,
                                   request.language);
    if (dates) {
      if (!twoLines) dates->removeSecondLine();
      result.secondLine = dates->secondLineOfLabels();
      ticks = dates->tickAxis();
    }
  } else if (given && ((given->count(kLocations) && numbersOf(&given->at(kLocations)).empty()) ||
                        (given->count(kMajor) && numbersOf(&given->at(kMajor)).empty() &&
                         (!given->count(kMinor) || numbersOf(&given->at(kMinor)).empty())))) {
    // Columns or values that give no positions at all (none chosen, empty,
    // no numbers) leave the ticks to the automatic axis; the command says why.
    ticks = automaticNumbers(request, low, high);
  } else if (given && (given->count(kLocations) || given->count(kMajor))) {
    ticks = given->count(kLocations) ? locationsAxis(*given, low, high) : givenValuesAxis(*given, low, high);
  } else if (given && given->count(kAngle)) {
    double major = automaticMajorSpacing(request.fontSize);
    bool radians = PropertyList(*given).integerForKey(kAngle) == 2;
    ticks = radians ? KRAxis::angleAxisRadiansWithMin(low, high, request.length, major, major / 4)
                    : KRAxis::angleAxisDegreesWithMin(low, high, request.length, major, major / 4);
  } else if (given && given->count(kCurrencyKey)) {
    PropertyList list(*given);
    auto money = KRCurrencyFormatter::createForCurrencyType(static_cast<int>(list.integerForKey(kCurrencyKey).value_or(1)));
    money.setDrawCents(true);
    if (request.decimalComma) {
      money.setFractionSeparator(",");
      money.setThousandsSeparator(".");
    } else {
      money.setFractionSeparator(".");
      money.setThousandsSeparator(",");
    }
    money.setNegativeInParenthesis(list.booleanForKey(kNegative).value_or(false));
    money.setNegativeRed(list.booleanForKey(kNegativeRed).value_or(false));
    double major = automaticMajorSpacing(request.fontSize);
    ticks = KRAxis::currencyAxisWithMin(low, high, request.length, major, major / 4, money);
  } else if (locations && locations->isNumber()) {
    ticks = strideAxis(locations->real(), request, low, high);
  } else {
    ticks = automaticNumbers(request, low, high);
  }
  if (!ticks) ticks = KRAxis::createEmpty();
  result.axis = withPrefixAndSuffix(ticks, axis.prefix->text(), axis.suffix->text());
  return result;
}

const AxisTicks* AxisLabelCache::find(const std::string& key, const AxisTickRequest& request, int changeCount) const {
  auto found = entries_.find(key);
  if (found == entries_.end()) return nullptr;
  if (!(found->second.request == request) || found->second.changeCount != changeCount) return nullptr;
  return &found->second.ticks;
}

void AxisLabelCache::store(const std::string& key, const AxisTickRequest& request, int changeCount, AxisTicks ticks) {
  entries_[key] = Entry{request, changeCount, std::move(ticks)};
}

}  // namespace orrelin
