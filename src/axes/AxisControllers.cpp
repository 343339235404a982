#include "axes/AxisControllers.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "axes/AxisTexts.h"
#include "document/parameters/VKVariable.h"
#include "graph/commandbase/CommandDocument.h"
#include "graph/commandbase/CommandTexts.h"
#include "graph/commandbase/TextFormat.h"
#include "table/OrrelinColumn.h"

namespace orrelin {

namespace {

std::vector<std::string> splitAtTopLevelCommas(const std::string& text) {
  std::vector<std::string> parts(1);
  int depth = 0;
  for (char c : text) {
    if (c == '(' || c == '[') ++depth;
    if ((c == ')' || c == ']') && depth > 0) --depth;
    if (c == ',' && depth == 0)
      parts.emplace_back();
    else
      parts.back() += c;
  }
  return parts;
}

bool isBlank(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isspace(c) != 0; });
}

std::string shortestText(double value) {
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::vector<VKMenuEntry> scaleEntries() {
  return {{1, "Linear"}, {2, "Logarithmic"}, {3, "Reversed"}, {4, "Reverse Log"}};
}

std::vector<VKMenuEntry> paddingEntries() {
  return {{1, "No Padding"}, {2, "Pad 2%"}, {3, "Pad 5%"}, {4, "Pad 10%"}};
}

std::vector<VKMenuEntry> ticksChoiceEntries() {
  return {{kTicksDefault, "Default"},        {kTicksAutomatic, "Automatic"},   {kTicksStride, "Stride"},
          {kTicksGivenValues, "Given Values"}, {kTicksFromColumns, "From Columns"}, {kTicksCategories, "Categories"},
          {kTicksAngle, "Angle"},            {kTicksCurrency, "Currency"}};
}

std::vector<VKMenuEntry> labelSpaceEntries() {
  return {{1, "Automatic"}, {2, "Small"}, {3, "Medium"}, {4, "Large"}};
}

}  // namespace

std::optional<std::vector<double>> VKNumberListController::values() const {
  if (isBlank(text_)) return std::nullopt;
  auto parts = splitAtTopLevelCommas(text_);
  if (requiredCount_ >= 0 && static_cast<int>(parts.size()) != requiredCount_) return std::nullopt;
  std::vector<double> result;
  for (const auto& part : parts) {
    auto value = FormulaText(part).evaluate(*this);
    if (!value || !std::isfinite(*value)) return std::nullopt;
    result.push_back(*value);
  }
  return result;
}

std::vector<std::string> VKNumberListController::namesUsed() const {
  std::vector<std::string> names;
  if (isBlank(text_)) return names;
  for (const auto& part : splitAtTopLevelCommas(text_))
    for (auto& name : FormulaText(part).namesUsed())
      if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(std::move(name));
  return names;
}

void VKNumberListController::setFromPropertyList(const PropertyList* value) {
  text_.clear();
  if (!value) return;
  if (value->isString())
    text_ = value->string();
  else
    reportBadValue(*value, "a string");
}

void VKNumberListController::establishDependencyConnections() {
  disconnectAllSuppliers();
  auto* document = commandDocument();
  if (!document) return;
  for (const auto& name : namesUsed())
    if (auto parameter = document->parameters().parameterWithName(name)) connectToSupplier(parameter);
}

void VKNumberListController::parameterListChanged(const ParameterListChanges& changes) {
  auto names = namesUsed();
  if (std::none_of(names.begin(), names.end(), [&](const std::string& name) { return changes.count(name) > 0; }))
    return;
  establishDependencyConnections();
  changed();
}

bool VKNumberListController::perform(const std::string& selector, const PropertyList& argument) {
  if (selector != commandtext::kSetFromPropertyList) return false;
  setFromPropertyList(&argument);
  // The new text may name other parameters.
  establishDependencyConnections();
  changed();
  return true;
}

void VKNumberListController::setText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  establishDependencyConnections();
  changed();
}

std::optional<std::string> VKNumberListController::errorExplanation() const {
  if (isBlank(text_)) return std::nullopt;
  if (auto numbers = values()) {
    if (requiredCount_ == 2 && (*numbers)[0] == (*numbers)[1])
      return formatText(axistext::kCropEmpty, text_, settingName());
    return std::nullopt;
  }
  if (requiredCount_ == 2) return formatText(axistext::kCropNotTwoNumbers, text_, settingName());
  return formatText(axistext::kNumbersDoNotCompute, text_, settingName());
}

std::string axisKey(const char* pattern, char letter) {
  std::string key(pattern);
  if (auto at = key.find('%'); at != std::string::npos) key[at] = letter;
  return key;
}

void AxisControllers::connectTo(DataDrawingCommand& command, char axisLetter, char currencyLetter,
                                bool withOrientation) {
  letter = axisLetter;
  auto add = [&](auto controller, const char* pattern, char keyLetter) {
    command.connect(controller, axisKey(pattern, keyLetter));
    return controller;
  };
  title = add(std::make_shared<VKTokenTextController>(), axistext::kTitle, letter);
  scaleMenu = add(std::make_shared<VKMenuInputController>(scaleEntries(), 1), axistext::kScale, letter);
  include = add(std::make_shared<VKNumberListController>(), axistext::kInclude, letter);
  crop = add(std::make_shared<VKNumberListController>(2), axistext::kCrop, letter);
  padding = add(std::make_shared<VKMenuInputController>(paddingEntries(), 1), axistext::kPadRange, letter);
  drawLabels = add(std::make_shared<VKButtonInputController>(true), axistext::kDrawLabels, letter);
  ticksChoice = add(std::make_shared<VKMenuInputController>(ticksChoiceEntries(), kTicksAutomatic),
                    axistext::kTicksChoice, letter);
  ticksStride = add(std::make_shared<VKNumberInputController>("1"), axistext::kTicksStride, letter);
  ticksValues = add(std::make_shared<VKNumberListController>(), axistext::kTicksValues, letter);
  minorTicksValues = add(std::make_shared<VKNumberListController>(), axistext::kMinorTicksValues, letter);
  tickLocations = add(std::make_shared<VKColumnSelector>(), axistext::kTickLocations, letter);
  tickLabels = add(std::make_shared<VKColumnSelector>(false, true), axistext::kTickLabels, letter);
  categories = add(std::make_shared<VKColumnSelector>(false, true), axistext::kCategories, letter);
  categoryTicks = add(std::make_shared<VKButtonInputController>(false), axistext::kCategoryTicks, letter);
  angleUnit = add(std::make_shared<VKMenuInputController>(std::vector<VKMenuEntry>{{1, "Degrees"}, {2, "Radians"}}, 1),
                  axistext::kDegreeRadians, letter);
  currency = add(std::make_shared<VKMenuInputController>(
                     std::vector<VKMenuEntry>{{1, "Dollar"}, {2, "Euro"}, {3, "Pound"}, {4, "Yen"}, {5, "Franc"}}, 1),
                 axistext::kCurrency, letter);
  currencyNegative = add(std::make_shared<VKButtonInputController>(false), axistext::kCurrencyNegative, currencyLetter);
  currencyNegativeRed =
      add(std::make_shared<VKButtonInputController>(false), axistext::kCurrencyNegativeRed, currencyLetter);
  prefix = add(std::make_shared<VKTextInputController>(), axistext::kPrefix, letter);
  suffix = add(std::make_shared<VKTextInputController>(), axistext::kSuffix, letter);
  labelSpace = std::make_shared<VKMenuInputController>(labelSpaceEntries(), 1);
  command.connect(labelSpace, letter == 'X' ? axistext::kXLabelHeight : axistext::kYLabelWidth);
  datesWithTwoLines = add(std::make_shared<VKButtonInputController>(true), axistext::kDatesWithTwoLines, letter);
  if (withOrientation) {
    orientation = std::make_shared<VKMenuInputController>(
        std::vector<VKMenuEntry>{{1, "Horizontal"}, {2, "Vertical"}, {3, "Slanted"}}, 1);
    command.connect(orientation, axistext::kXOrientation);
  }
}

std::optional<std::string> AxisControllers::ticksProblem() const {
  const int choice = ticksChoice->tag();
  if (choice == kTicksStride) {
    // A stride that does not compute is explained by its setting.
    const double stride = ticksStride->value();
    if (std::isfinite(stride) && !(stride > 0))
      return formatText(axistext::kStrideNotPositive, ticksStride->text(), ticksStride->settingName());
    return std::nullopt;
  }
  if (choice == kTicksGivenValues) {
    // Numbers that do not compute are explained by their setting.
    if (isBlank(ticksValues->text()) && isBlank(minorTicksValues->text()))
      return formatText(axistext::kNoTickValues, ticksValues->settingName());
    return std::nullopt;
  }
  if (choice != kTicksFromColumns && choice != kTicksCategories) return std::nullopt;
  auto holdsPositions = [](OrrelinColumn& column) {
    for (long row = 0; row < column.howManyEntries(); ++row)
      if (column.validEntryAtIndex(row) && std::isfinite(column.valueAtRow(row))) return true;
    return false;
  };
  // A chosen column that is not there is explained by its setting.
  const bool categoriesOnly = choice == kTicksCategories && !tickLocations->hasSelection();
  if (!categoriesOnly) {
    if (!tickLocations->hasSelection())
      return formatText(axistext::kNoTickColumn, tickLocations->settingName());
    auto positions = tickLocations->column();
    if (positions && !holdsPositions(*positions))
      return formatText(axistext::kTickColumnEmpty, positions->name(), tickLocations->settingName());
    return std::nullopt;
  }
  if (!categories->hasSelection()) return formatText(axistext::kNoTickColumn, categories->settingName());
  auto names = categories->column();
  if (names && names->howManyEntries() <= 0)
    return formatText(axistext::kCategoryColumnEmpty, names->name(), categories->settingName());
  return std::nullopt;
}

std::optional<KRBoundingRange> AxisControllers::croppingRange() const {
  auto ends = crop->values();
  if (!ends) return std::nullopt;
  double low = std::min((*ends)[0], (*ends)[1]);
  double high = std::max((*ends)[0], (*ends)[1]);
  if (low == high) return std::nullopt;
  return KRBoundingRange::between(low, high);
}

KRBoundingRange AxisControllers::includeRange() const {
  auto numbers = include->values();
  if (!numbers || numbers->empty()) return KRBoundingRange::invalid();
  auto [low, high] = std::minmax_element(numbers->begin(), numbers->end());
  return KRBoundingRange::between(*low, *high);
}

std::string AxisControllers::croppingText(const KRBoundingRange& range) {
  if (!range.isValid()) return {};
  return shortestText(range.minR) + "," + shortestText(range.maxR);
}

bool AxisControllers::croppingMayChange() const { return crop->namesUsed().empty(); }

bool AxisControllers::canShow(const KRBoundingRange& range) const {
  if (!range.isValid() || !std::isfinite(range.minR) || !std::isfinite(range.maxR) || !(range.maxR > range.minR))
    return false;
  return isLinear() || range.minR > 0;
}

bool AxisControllers::setCroppingRange(const KRBoundingRange& range, bool recordUndo) {
  if (!range.isInvalid() && !canShow(range)) return false;
  std::string text = croppingText(range);
  if (recordUndo)
    crop->setFromPropertyListRecordUndo(PropertyList(text));
  else
    crop->setText(text);
  return true;
}

bool AxisControllers::setCroppingEdge(bool upperEnd, double value, const KRBoundingRange& shown, bool recordUndo) {
  auto fixed = croppingRange();
  KRBoundingRange current = fixed ? *fixed : shown;
  if (!current.isValid() || !std::isfinite(value)) return false;
  // Ends are kept as given, so a drag past the other end is no range.
  KRBoundingRange moved{upperEnd ? current.minR : value, upperEnd ? value : current.maxR, false, true};
  if (!canShow(moved)) return false;
  return setCroppingRange(moved, recordUndo);
}

double AxisControllers::paddingFraction() const {
  switch (padding->tag()) {
    case 2: return 0.02;
    case 3: return 0.05;
    case 4: return 0.10;
    default: return 0;
  }
}

std::optional<double> AxisControllers::reservedLabelSpace(double fontSize) const {
  int tag = labelSpace->tag();
  if (tag <= 1) return std::nullopt;
  return fontSize * 1.5 * (tag - 1);
}

void convertOlderAxisKeys(PlistDictionary& list, char letter) {
  const std::string oldTitle = axisKey(axistext::kOldTitle, letter);
  const std::string oldScale = axisKey(axistext::kOldScale, letter);
  const std::string title = axisKey(axistext::kTitle, letter);
  const std::string scale = axisKey(axistext::kScale, letter);
  if (auto found = list.find(oldTitle); found != list.end()) {
    if (!list.count(title) && found->second.isString()) list[title] = found->second;
    list.erase(found);
  }
  if (auto found = list.find(oldScale); found != list.end()) {
    if (!list.count(scale)) {
      const PropertyList& old = found->second;
      // Stored as a number (1 linear, 2 logarithmic) or as a word.
      if (old.isNumber() || old.isBoolean()) {
        list[scale] = old.integer();
      } else if (old.isString()) {
        const std::string& word = old.string();
        if (word.rfind("Lin", 0) == 0) list[scale] = 1;
        if (word.rfind("Log", 0) == 0) list[scale] = 2;
      }
    }
    list.erase(found);
  }
}

}  // namespace orrelin
