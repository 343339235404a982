#include "axes/VKExtraAxisCommand.h"

#include <algorithm>
#include <cmath>

#include "axes/AxisTexts.h"
#include "axes/AxisTicks.h"
#include "drawing/KRDrawingPath.h"
#include "mathtext/KRDrawingExpressionText.h"
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

  axisType_ = menu({{1, "Linear"}, {2, "Logarithmic"}}, 1);
  connect(axisType_, "Axis Type");
  axisLocation_ = menu({{kTop, "Top"}, {kRight, "Right"}}, kRight);
  connect(axisLocation_, "Axis Location");
  axisRange_ = std::make_shared<VKRangeInputController>();
  connect(axisRange_, "Axis Range");
  prefix_ = std::make_shared<VKTextInputController>();
  connect(prefix_, "Prefix");
  suffix_ = std::make_shared<VKTextInputController>();
  connect(suffix_, "Suffix");
  positionInside_ = std::make_shared<VKButtonInputController>(false);
  connect(positionInside_, "Position Inside");
  // "Title Offset" moves the title along the axis, "Axis Title Offset"
  // away from it.
  titleShift_ = std::make_shared<VKNumberInputController>("0");
  connect(titleShift_, "Title Offset");
  excludeNumbers_ = std::make_shared<VKNumberListController>();
  connect(excludeNumbers_, "Exclude Numbers");
  axisTitle_ = std::make_shared<VKTokenTextController>();
  connect(axisTitle_, "Axis Title");
  titlePosition_ = menu({{1, "Centered"}, {2, "At the Start"}, {3, "At the End"}}, 1);
  connect(titlePosition_, "Axis Title Position");
  titleOffset_ = std::make_shared<VKNumberInputController>("0");
  connect(titleOffset_, "Axis Title Offset");
  majorGrid_ = std::make_shared<VKLineStyleInputController>(VKLineStyle{1, 0.5, KRColor::grey(0.8)});
  connect(majorGrid_, "Major Grid Lines");
  minorGrid_ = std::make_shared<VKLineStyleInputController>(VKLineStyle{1, 0.25, KRColor::grey(0.9)});
  connect(minorGrid_, "Minor Grid Lines");
  drawBackground_ = std::make_shared<VKButtonInputController>(false);
  connect(drawBackground_, "Draw Background");
  backgroundColor_ = std::make_shared<VKColorInputController>(KRColor::white());
  connect(backgroundColor_, "Background Color");
  axisColor_ = std::make_shared<VKColorInputController>(KRColor::black());
  connect(axisColor_, "Axis Color");
  axisFont_ = std::make_shared<VKFontStyleInputController>(VKFontStyle{3, "Helvetica", 12, KRColor::black()});
  connect(axisFont_, "Axis Font Style");
  drawingStyle_ = menu({{1, "Ticks Outside"}, {2, "Ticks Inside"}, {3, "Ticks Across"}}, 1);
  connect(drawingStyle_, "Drawing Style");
  orientation_ = menu({{1, "Horizontal"}, {2, "Vertical"}, {3, "Slanted"}}, 1);
  connect(orientation_, "Orientation");
  // The tick choice uses the settings of the same names as an axis of the
  // graph does; see ticksFor.
  ticks_.tickLocations = std::make_shared<VKColumnSelector>();
  connect(ticks_.tickLocations, "Tick Locations");
  ticks_.tickLabels = std::make_shared<VKColumnSelector>(false, true);
  connect(ticks_.tickLabels, "Tick Labels");
  ticks_.categories = std::make_shared<VKColumnSelector>(false, true);
  connect(ticks_.categories, "Categories");
  ticks_.ticksChoice = menu({{kTicksDefault, "Default"},
                             {kTicksAutomatic, "Automatic"},
                             {kTicksStride, "Stride"},
                             {kTicksGivenValues, "Given Values"},
                             {kTicksFromColumns, "From Columns"},
                             {kTicksCategories, "Categories"},
                             {kTicksAngle, "Angle"},
                             {kTicksCurrency, "Currency"}},
                            kTicksAutomatic);
  connect(ticks_.ticksChoice, "Ticks Choice");
  ticks_.ticksStride = std::make_shared<VKNumberInputController>("1");
  connect(ticks_.ticksStride, "Ticks Stride");
  ticks_.categoryTicks = std::make_shared<VKButtonInputController>(false);
  connect(ticks_.categoryTicks, "Ticks Between");
  ticks_.ticksValues = std::make_shared<VKNumberListController>();
  connect(ticks_.ticksValues, "Major Ticks Values");
  ticks_.minorTicksValues = std::make_shared<VKNumberListController>();
  connect(ticks_.minorTicksValues, "Minor Ticks Values");
  ticks_.angleUnit = menu({{1, "Degrees"}, {2, "Radians"}}, 1);
  connect(ticks_.angleUnit, "Degree/Radians");
  ticks_.currency = menu({{1, "Dollar"}, {2, "Euro"}, {3, "Pound"}, {4, "Yen"}, {5, "Franc"}}, 1);
  connect(ticks_.currency, "Currency");
  ticks_.currencyNegative = std::make_shared<VKButtonInputController>(false);
  connect(ticks_.currencyNegative, "Currency Negative");
  ticks_.currencyNegativeRed = std::make_shared<VKButtonInputController>(false);
  connect(ticks_.currencyNegativeRed, "Currency Negative Red");
  ticks_.prefix = prefix_;
  ticks_.suffix = suffix_;
  // An extra axis shows numbers, never dates: this one is not stored.
  ticks_.datesWithTwoLines = std::make_shared<VKButtonInputController>(false);
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

KRBoundingRange VKExtraAxisCommand::drawnAxisRange(const KRBoundingRange& graphRange) const {
  KRBoundingRange full = axisRangeFor(graphRange);
  KRBoundingRange part = axisRange_->range();
  if (!full.isValid() || part.isInvalid()) return full;
  if (!part.isValid()) return KRBoundingRange::empty();
  return full.intersectionWith(part);
}

bool VKExtraAxisCommand::positionInside() const { return positionInside_->isSelected(); }

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
  if (!why) why = conversionProblem();
  if (!why) why = ticks_.ticksProblem();
  setErrorExplanation(why);
}

AxisLook VKExtraAxisCommand::look() const {
  AxisLook look;
  VKFontStyle font = axisFont_->style();
  double size = std::isfinite(font.size) && font.size > 0 ? std::min(font.size, 1000.0) : 12;
  look.numberFont = KRDrawingStyleFont::styleWithFont(font.family.empty() ? "Helvetica" : font.family, size,
                                                      font.color);
  look.titleFont = look.numberFont;
  look.color = axisColor_->color();
  look.tickStyle = drawingStyle_->tag();
  return look;
}

AxisContent VKExtraAxisCommand::content(const AxisTicks& ticks) const {
  AxisContent content;
  content.ticks = &ticks;
  content.title = axisTitle_->text();
  content.titlePlace = static_cast<AxisContent::TitlePlace>(titlePosition_->tag());
  const double offset = titleOffset_->value();
  content.titleOffset = std::isfinite(offset) ? offset : 0;
  const double shift = titleShift_->value();
  content.titleShift = std::isfinite(shift) ? shift : 0;
  int tag = orientation_->tag();
  content.orientation = !onTop()    ? LabelOrientation::Horizontal
                        : tag == 2 ? LabelOrientation::Vertical
                        : tag == 3 ? LabelOrientation::Slanted
                                   : LabelOrientation::Horizontal;
  return content;
}

std::optional<AxisTicks> VKExtraAxisCommand::ticksFor(const KRBoundingRange& graphRange, double length) const {
  KRBoundingRange full = axisRangeFor(graphRange);
  KRBoundingRange range = drawnAxisRange(graphRange);
  if (!range.isValid() || !(range.maxR > range.minR) || !std::isfinite(range.maxR - range.minR) || !(length > 0))
    return std::nullopt;
  // The part of the axis that is drawn takes its share of the length.
  const bool logScale = axisType_->tag() == 2 && full.minR > 0;
  double share = logScale ? std::log(range.maxR / range.minR) / std::log(full.maxR / full.minR)
                          : (range.maxR - range.minR) / (full.maxR - full.minR);
  if (std::isfinite(share) && share > 0 && share < 1) length *= share;
  AxisLook style = look();
  const bool logarithmic = axisType_->tag() == 2;
  if (logarithmic && !(range.minR > 0)) return std::nullopt;
  AxisTickRequest request;
  request.range = range;
  request.unchangedRange = range;
  request.allowMultipleLines = false;
  request.linear = !logarithmic;
  request.length = length;
  request.fontSize = style.numberFontSize();
  request.locations = tickLocationsFor(ticks_);
  AxisTicks ticks = computeAxisTicks(ticks_, request);
  if (!ticks.axis) return std::nullopt;
  if (auto excluded = excludeNumbers_->values()) ticks.axis->maskValuesFromSet(*excluded);
  return ticks;
}

double VKExtraAxisCommand::roomNeeded() const {
  if (positionInside()) return 0;
  AxisLook style = look();
  const auto& record = lastInfo();
  std::optional<AxisTicks> ticks;
  if (record) {
    KRBoundingRange graph = onTop() ? KRBoundingRange::between(record->boundingBox.xmin, record->boundingBox.xmax)
                                    : KRBoundingRange::between(record->boundingBox.ymin, record->boundingBox.ymax);
    ticks = ticksFor(graph, onTop() ? record->graphRegion.width() : record->graphRegion.height());
  }
  double room;
  if (ticks) {
    room = tickAndNumberSpace(content(*ticks), style, onTop() ? AxisSide::Top : AxisSide::Right);
  } else {
    // Before the first pass: numbers of four digits.
    room = style.tickOutside() + style.numberGap() +
           (onTop() ? 1.2 : 2.5) * style.numberFontSize();
  }
  double title = titleSpace(axisTitle_->text(), style);
  const double offset = titleOffset_->value();
  if (title > 0 && std::isfinite(offset)) title = std::max(0.0, title + offset);
  return std::ceil(room + title);
}

std::shared_ptr<KRDrawingGroup> VKExtraAxisCommand::computeDrawingObjectForScale(const KR1DPlotDrawingInfo& record,
                                                                                 KRDrawingInformation&) {
  auto group = KRDrawingGroup::create();
  const bool top = onTop();
  const KRRect region = record.graphRegion;
  KRBoundingRange graph = top ? KRBoundingRange::between(record.boundingBox.xmin, record.boundingBox.xmax)
                              : KRBoundingRange::between(record.boundingBox.ymin, record.boundingBox.ymax);
  auto ticks = ticksFor(graph, top ? region.width() : region.height());
  auto convert = conversion();
  if (!ticks || !convert) return group;
  AxisLook style = look();
  AxisPlacement placement;
  if (positionInside()) {
    // On the frame's edge with the numbers turned into the plot area.
    placement.side = top ? AxisSide::Bottom : AxisSide::Left;
    placement.position = top ? region.maxY() : region.maxX();
  } else {
    placement.side = top ? AxisSide::Top : AxisSide::Right;
    // Beyond whatever the layout put on that side of the plot area.
    placement.position = top ? std::max<double>(region.maxY(), record.yValueForOverallTitle)
                             : std::max<double>(region.maxX(), record.startOfAreaToTheRight);
  }
  placement.map = [&record, top, c = *convert](double value) {
    double graphValue = c.toGraph(value);
    return top ? record.transformX(graphValue) : record.transformY(graphValue);
  };
  // Only the part of the axis that "Axis Range" leaves is drawn.
  const double low = top ? region.minX() : region.minY();
  const double high = top ? region.maxX() : region.maxY();
  KRBoundingRange drawn = drawnAxisRange(graph);
  double a = placement.map(drawn.minR);
  double b = placement.map(drawn.maxR);
  placement.start = std::clamp(std::min(a, b), low, high);
  placement.end = std::clamp(std::max(a, b), low, high);
  AxisContent shown = content(*ticks);
  const double titleDistance = tickAndNumberSpace(shown, style, placement.side);
  if (drawBackground_->isSelected()) {
    // Behind the numbers and the title: from the axis line out to the
    // farther of the two, along the drawn part and what sticks out of it.
    KRRect area = axisArea(shown, style, placement, titleDistance);
    if (!area.isEmpty()) {
      auto fill = KRDrawingPathRectangle::createWithRect(area);
      fill->setStyle(KRDrawingStyleCurve::color(backgroundColor_->color(), true));
      group->addObject(fill);
    }
  }
  auto major = curveStyleForLine(majorGrid_->style());
  auto minor = curveStyleForLine(minorGrid_->style());
  if (major || minor) {
    auto lines = gridLines(*ticks, top, placement.map, region, major, minor);
    if (!lines->isEmpty()) group->addObject(lines);
  }
  group->addObject(calculateAxis(shown, style, placement, titleDistance));
  return group;
}

}  // namespace orrelin
