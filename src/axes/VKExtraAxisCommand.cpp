#include "axes/VKExtraAxisCommand.h"

#include <cmath>

#include "axes/AxisTexts.h"
#include "graph/commandbase/TextFormat.h"

namespace orrelin {

namespace {

constexpr const char* kUnitsDoNotConvert = "The units \"%s\" and \"%s\" cannot be converted into each other.";
constexpr const char* kNoUnit = "The unit of the extra axis is not a number other than 0.";

std::vector<VKMenuEntry> temperatureEntries() {
  return {{1, "Celsius"}, {2, "Fahrenheit"}, {3, "Kelvin"}, {4, "Rankine"}};
}

}  // namespace

std::string VKExtraAxisCommand::type() const { return "Extra Axis"; }

const char* VKExtraAxisCommand::temperatureScaleName(int tag) {
  switch (tag) {
    case 2: return "Fahrenheit";
    case 3: return "Kelvin";
    case 4: return "Rankine";
    default: return "Celsius";
  }
}

void VKExtraAxisCommand::finishConnections() {
  auto menu = [](std::vector<VKMenuEntry> entries, int tag) {
    return std::make_shared<VKMenuInputController>(std::move(entries), tag);
  };
  unitConversion_ = menu({{kNoConversion, "None"}, {kUnits, "Units"}, {kTemperature, "Temperature"},
                          {kOriginAndUnit, "Origin and Unit"}},
                         kNoConversion);
  connect(unitConversion_, "Unit Conversion");
  graphUnits_ = std::make_shared<VKTextInputController>("m");
  connect(graphUnits_, "Graph Units");
  axisUnits_ = std::make_shared<VKTextInputController>("ft");
  connect(axisUnits_, "Axis Units");
  graphTemperature_ = menu(temperatureEntries(), 1);
  connect(graphTemperature_, "Graph Temperature");
  axisTemperature_ = menu(temperatureEntries(), 2);
  connect(axisTemperature_, "Axis Temperature");
  origin_ = std::make_shared<VKNumberInputController>("0");
  connect(origin_, "OU Origin");
  unit_ = std::make_shared<VKNumberInputController>("1");
  connect(unit_, "OU Unit");

  connect(menu({{1, "Linear"}, {2, "Logarithmic"}}, 1), "Axis Type");
  connect(menu({{1, "Bottom or Left"}, {2, "Top or Right"}, {3, "Inside"}}, 2), "Axis Location");
  connect(std::make_shared<VKRangeInputController>(), "Axis Range");
  connect(std::make_shared<VKTextInputController>(), "Prefix");
  connect(std::make_shared<VKTextInputController>(), "Suffix");
  connect(std::make_shared<VKButtonInputController>(false), "Position Inside");
  connect(std::make_shared<VKNumberInputController>("0"), "Title Offset");
  connect(std::make_shared<VKNumberListController>(), "Exclude Numbers");
  connect(std::make_shared<VKTokenTextController>(), "Axis Title");
  connect(menu({{1, "Centered"}, {2, "At the Start"}, {3, "At the End"}}, 1), "Axis Title Position");
  connect(std::make_shared<VKNumberInputController>("0"), "Axis Title Offset");
  connect(std::make_shared<VKLineStyleInputController>(VKLineStyle{1, 0.5, KRColor::grey(0.8)}), "Major Grid Lines");
  connect(std::make_shared<VKLineStyleInputController>(VKLineStyle{1, 0.25, KRColor::grey(0.9)}), "Minor Grid Lines");
  connect(std::make_shared<VKButtonInputController>(false), "Draw Background");
  connect(std::make_shared<VKColorInputController>(KRColor::white()), "Background Color");
  connect(std::make_shared<VKColorInputController>(KRColor::black()), "Axis Color");
  connect(std::make_shared<VKFontStyleInputController>(VKFontStyle{3, "Helvetica", 12, KRColor::black()}),
          "Axis Font Style");
  connect(menu({{1, "Ticks Outside"}, {2, "Ticks Inside"}, {3, "Ticks Across"}}, 1), "Drawing Style");
  connect(menu({{1, "Horizontal"}, {2, "Vertical"}, {3, "Slanted"}}, 1), "Orientation");
  connect(std::make_shared<VKColumnSelector>(), "Tick Locations");
  connect(std::make_shared<VKColumnSelector>(false, true), "Tick Labels");
  connect(std::make_shared<VKColumnSelector>(false, true), "Categories");
  connect(menu({{kTicksDefault, "Default"},
                {kTicksAutomatic, "Automatic"},
                {kTicksStride, "Stride"},
                {kTicksGivenValues, "Given Values"},
                {kTicksFromColumns, "From Columns"},
                {kTicksCategories, "Categories"},
                {kTicksAngle, "Angle"},
                {kTicksCurrency, "Currency"}},
               kTicksAutomatic),
          "Ticks Choice");
  connect(std::make_shared<VKNumberInputController>("1"), "Ticks Stride");
  connect(std::make_shared<VKButtonInputController>(false), "Ticks Between");
  connect(std::make_shared<VKNumberListController>(), "Major Ticks Values");
  connect(std::make_shared<VKNumberListController>(), "Minor Ticks Values");
  connect(menu({{1, "Degrees"}, {2, "Radians"}}, 1), "Degree/Radians");
  connect(menu({{1, "Dollar"}, {2, "Euro"}, {3, "Pound"}, {4, "Yen"}, {5, "Franc"}}, 1), "Currency");
  connect(std::make_shared<VKButtonInputController>(false), "Currency Negative");
  connect(std::make_shared<VKButtonInputController>(false), "Currency Negative Red");
  connect(menu({{1, "Automatic"}, {2, "Small"}, {3, "Medium"}, {4, "Large"}}, 1), axistext::kXLabelHeight);
  connect(menu({{1, "Automatic"}, {2, "Small"}, {3, "Medium"}, {4, "Large"}}, 1), axistext::kYLabelWidth);
  VKDrawingCommand::finishConnections();
}

std::optional<UnitConversion> VKExtraAxisCommand::conversion() const {
  const auto& constants = UnitConstants::shared();
  switch (unitConversion_->tag()) {
    case kUnits:
      return constants.conversion(graphUnits_->text(), axisUnits_->text());
    case kTemperature:
      return constants.temperatureConversion(temperatureScaleName(graphTemperature_->tag()),
                                             temperatureScaleName(axisTemperature_->tag()));
    case kOriginAndUnit: {
      double origin = origin_->value();
      double unit = unit_->value();
      if (!std::isfinite(origin) || !std::isfinite(unit) || unit == 0) return std::nullopt;
      return UnitConversion{1 / unit, -origin / unit};
    }
    default:
      return UnitConversion{};
  }
}

std::optional<std::string> VKExtraAxisCommand::conversionProblem() const {
  if (conversion()) return std::nullopt;
  if (unitConversion_->tag() == kOriginAndUnit) return std::string(kNoUnit);
  if (unitConversion_->tag() == kUnits) return formatText(kUnitsDoNotConvert, graphUnits_->text(), axisUnits_->text());
  return formatText(kUnitsDoNotConvert, temperatureScaleName(graphTemperature_->tag()),
                    temperatureScaleName(axisTemperature_->tag()));
}

KRBoundingRange VKExtraAxisCommand::axisRangeFor(const KRBoundingRange& graphRange) const {
  auto convert = conversion();
  if (!convert || !graphRange.isValid()) return KRBoundingRange::invalid();
  return KRBoundingRange::between(convert->toAxis(graphRange.minR), convert->toAxis(graphRange.maxR));
}

void VKExtraAxisCommand::establishDependencyConnections() {
  VKDrawingCommand::establishDependencyConnections();
  refreshErrorExplanation();
}

void VKExtraAxisCommand::entryChanged(VKDependencyBase* sender, DependencyVisitSet& alreadySentFor) {
  VKDrawingCommand::entryChanged(sender, alreadySentFor);
  refreshErrorExplanation();
}

void VKExtraAxisCommand::refreshErrorExplanation() {
  auto why = settingsErrorExplanation();
  setErrorExplanation(why ? why : conversionProblem());
}

}  // namespace orrelin
