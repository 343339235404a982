#include "axes/VKAxisSettings.h"

#include <cmath>

#include "axes/AxisTexts.h"
#include "axes/VKExtraAxisCommand.h"
#include "axes/VKSingleAxisCommand.h"
#include "graph/commandbase/TextFormat.h"
#include "graph/commandbase/VKCommandFactory.h"

namespace orrelin {

namespace {

VKFontStyle fontOfKind(int which) {
  VKFontStyle style;
  style.which = which;
  return style;
}

}  // namespace

std::shared_ptr<VKAxisSettings> VKAxisSettings::createForCommandLine() {
  auto settings = std::make_shared<VKAxisSettings>();
  settings->finishConnections();
  // A batch graph has no panel to open; its axes pad a little so that points
  // on the range's ends are not cut by the frame.
  settings->setOpen(false);
  settings->x_.padding->setTag(3);
  settings->y_.padding->setTag(3);
  return settings;
}

std::string VKAxisSettings::type() const { return axistext::kMainAxisType; }

void VKAxisSettings::finishConnections() {
  x_.connectTo(*this, 'X', 'X', true);
  y_.connectTo(*this, 'Y', 'Y', false);
  aspectRatio1_ = std::make_shared<VKButtonInputController>(false);
  connect(aspectRatio1_, axistext::kAspectRatio1);
  axisLabelsFont_ = std::make_shared<VKFontStyleInputController>(fontOfKind(1));
  connect(axisLabelsFont_, axistext::kAxisLabelsFontStyle);
  titleFont_ = std::make_shared<VKFontStyleInputController>(fontOfKind(2));
  connect(titleFont_, axistext::kTitleFontStyle);
  numberFont_ = std::make_shared<VKFontStyleInputController>(fontOfKind(3));
  connect(numberFont_, axistext::kNumberFontStyle);
  VKDrawingCommand::finishConnections();
}

void VKAxisSettings::fillFromPropertyList(const PropertyList& list) {
  if (!list.isDictionary()) {
    VKDrawingCommand::fillFromPropertyList(list);
    labelCache_.clear();
    return;
  }
  PropertyList converted = list;
  convertOlderAxisKeys(converted.dictionary(), 'X');
  convertOlderAxisKeys(converted.dictionary(), 'Y');
  VKDrawingCommand::fillFromPropertyList(converted);
  // Reading settings tells nobody, so labels kept from before are dropped here.
  labelCache_.clear();
}

KRBoundingRange VKAxisSettings::cropXRange(const KRBoundingRange& range) const {
  auto fixed = x_.croppingRange();
  return fixed ? *fixed : range;
}

KRBoundingRange VKAxisSettings::cropYRange(const KRBoundingRange& range) const {
  auto fixed = y_.croppingRange();
  return fixed ? *fixed : range;
}

KRBoundingRange VKAxisSettings::padXIfNeeded(const KRBoundingRange& range, bool isDateAxis) const {
  return paddedRange(range, x_.paddingFraction(), x_.isLinear(), isDateAxis);
}

KRBoundingRange VKAxisSettings::padYIfNeeded(const KRBoundingRange& range, bool isDateAxis) const {
  return paddedRange(range, y_.paddingFraction(), y_.isLinear(), isDateAxis);
}

void VKAxisSettings::entryChanged(VKDependencyBase* sender, DependencyVisitSet& alreadySentFor) {
  VKDrawingCommand::entryChanged(sender, alreadySentFor);
  refreshErrorExplanation();
}

void VKAxisSettings::establishDependencyConnections() {
  VKDrawingCommand::establishDependencyConnections();
  refreshErrorExplanation();
}

void VKAxisSettings::refreshErrorExplanation() {
  auto why = settingsErrorExplanation();
  if (!why) why = x_.ticksProblem();
  if (!why) why = y_.ticksProblem();
  setErrorExplanation(why);
}

bool VKAxisSettings::setXCroppingRange(const KRBoundingRange& range, bool recordUndo) {
  return x_.setCroppingRange(range, recordUndo);
}

bool VKAxisSettings::setYCroppingRange(const KRBoundingRange& range, bool recordUndo) {
  return y_.setCroppingRange(range, recordUndo);
}

bool VKAxisSettings::setXCroppingEdge(bool upperEnd, double value, const KRBoundingRange& shown, bool recordUndo) {
  return x_.setCroppingEdge(upperEnd, value, shown, recordUndo);
}

bool VKAxisSettings::setYCroppingEdge(bool upperEnd, double value, const KRBoundingRange& shown, bool recordUndo) {
  return y_.setCroppingEdge(upperEnd, value, shown, recordUndo);
}

PlistDictionary VKAxisSettings::croppingPermissions() const {
  const bool x = x_.croppingMayChange();
  const bool y = y_.croppingMayChange();
  return PlistDictionary{{axistext::kChangeXWidth, x},
                         {axistext::kChangeXEdge, x},
                         {axistext::kChangeYHeight, y},
                         {axistext::kChangeYEdge, y}};
}

bool VKAxisSettings::croppingAllowed(const std::string& permission) const {
  return PropertyList(croppingPermissions()).booleanForKey(permission).value_or(false);
}

std::vector<AxisMenuItem> VKAxisSettings::contextMenuItems(char letter) const {
  std::vector<AxisMenuItem> menu{AxisMenuItem::named(axistext::kMenuChangeLabelFont),
                                 AxisMenuItem::named(axistext::kMenuChangeNumberFont)};
  auto own = axisMenuItems(letter == 'Y' ? y_ : x_);
  menu.insert(menu.end(), own.begin(), own.end());
  return menu;
}

bool VKAxisSettings::performContextMenuItem(char letter, const std::vector<std::string>& path,
                                            const PropertyList& argument) {
  if (path.size() == 1 && (path[0] == axistext::kMenuChangeLabelFont || path[0] == axistext::kMenuChangeNumberFont)) {
    if (!argument.isDictionary()) return false;
    auto& font = path[0] == axistext::kMenuChangeLabelFont ? axisLabelsFont_ : numberFont_;
    font->setFromPropertyListRecordUndo(argument);
    return true;
  }
  return performAxisMenuItem(letter == 'Y' ? y_ : x_, path, argument);
}

AxisTicks VKAxisSettings::computeXAxisTicks(const KRBoundingRange& range, const KRBoundingRange& unchangedRange,
                                            bool allowMultipleLines, bool xLinear,
                                            const std::optional<PropertyList>& xLocations, double drawingWidth,
                                            bool isDate, bool isInteger, double fontSize, int cacheNumber,
                                            double minimumSpacing) {
  AxisTickRequest request{range,        unchangedRange, allowMultipleLines, xLinear,       drawingWidth,
                          isDate,       isInteger,      fontSize,           decimalComma_, dateLanguage_,
                          xLocations,   minimumSpacing};
  std::string key = formatText("X Label Cache %d", std::to_string(cacheNumber));
  if (const AxisTicks* kept = labelCache_.find(key, request, changeCount())) return *kept;
  AxisTicks ticks = computeAxisTicks(x_, request);
  labelCache_.store(key, request, changeCount(), ticks);
  return ticks;
}

AxisTicks VKAxisSettings::computeYAxisTicks(const KRBoundingRange& range, const KRBoundingRange& unchangedRange,
                                            bool allowMultipleLines, bool yLinear,
                                            const std::optional<PropertyList>& yLocations, double drawingHeight,
                                            bool isDate, bool isInteger, double fontSize, int cacheNumber,
                                            double minimumSpacing) {
  AxisTickRequest request{range,        unchangedRange, allowMultipleLines, yLinear,       drawingHeight,
                          isDate,       isInteger,      fontSize,           decimalComma_, dateLanguage_,
                          yLocations,   minimumSpacing};
  std::string key = formatText("Y Label Cache %d", std::to_string(cacheNumber));
  if (const AxisTicks* kept = labelCache_.find(key, request, changeCount())) return *kept;
  AxisTicks ticks = computeAxisTicks(y_, request);
  labelCache_.store(key, request, changeCount(), ticks);
  return ticks;
}

KRBoundingRange paddedRange(const KRBoundingRange& range, double fraction, bool linear, bool isDateAxis) {
  if (fraction <= 0 || isDateAxis || !range.isValid()) return range;
  if (linear) {
    double pad = range.width() * fraction;
    return KRBoundingRange::between(range.minR - pad, range.maxR + pad);
  }
  if (range.minR <= 0) return range;
  double pad = std::log(range.maxR / range.minR) * fraction;
  return KRBoundingRange::between(range.minR * std::exp(-pad), range.maxR * std::exp(pad));
}

void registerAxisCommandKinds(VKCommandFactory& factory) {
  factory.registerKind(axistext::kMainAxisType, [] { return std::make_shared<VKAxisSettings>(); });
  factory.registerKind(axistext::kXAxisType, [] { return std::make_shared<VKSingleAxisCommand>('X'); });
  factory.registerKind(axistext::kYAxisType, [] { return std::make_shared<VKSingleAxisCommand>('Y'); });
  factory.registerKind("Extra Axis", [] { return std::make_shared<VKExtraAxisCommand>(); });
}

}  // namespace orrelin
