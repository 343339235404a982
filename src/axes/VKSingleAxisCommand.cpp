#include "axes/VKSingleAxisCommand.h"

#include <cmath>

#include "axes/AxisTexts.h"
#include "axes/VKAxisSettings.h"
#include "graph/commandbase/TextFormat.h"

namespace orrelin {

std::string VKSingleAxisCommand::type() const {
  return isXAxis() ? axistext::kXAxisType : axistext::kYAxisType;
}

void VKSingleAxisCommand::finishConnections() {
  axis_.connectTo(*this, letter_, 'X', isXAxis());
  relativeSize_ = std::make_shared<VKNumberInputController>("1");
  connect(relativeSize_, axistext::kRelativeSize);
  spaceBefore_ = std::make_shared<VKNumberInputController>("0");
  connect(spaceBefore_, axistext::kSpaceBefore);
  spaceBeforePixels_ = std::make_shared<VKButtonInputController>(false);
  connect(spaceBeforePixels_, axistext::kSpaceBeforePixels);
  side_ = std::make_shared<VKMenuInputController>(
      std::vector<VKMenuEntry>{{kLeftOrBottom, isXAxis() ? "Bottom" : "Left"}, {kRightOrTop, isXAxis() ? "Top" : "Right"}},
      kLeftOrBottom);
  connect(side_, axistext::kSide);
  VKDrawingCommand::finishConnections();
}

void VKSingleAxisCommand::fillFromPropertyList(const PropertyList& list) {
  if (!list.isDictionary()) {
    VKDrawingCommand::fillFromPropertyList(list);
    labelCache_.clear();
    return;
  }
  PropertyList converted = list;
  convertOlderAxisKeys(converted.dictionary(), letter_);
  VKDrawingCommand::fillFromPropertyList(converted);
  labelCache_.clear();
}

AxisTicks VKSingleAxisCommand::computeAxisTicks(const KRBoundingRange& range, const KRBoundingRange& unchangedRange,
                                                bool allowMultipleLines, bool linear,
                                                const std::optional<PropertyList>& locations, double length,
                                                bool isDate, bool isInteger, double fontSize, int cacheNumber,
                                                double minimumSpacing) {
  AxisTickRequest request{range,  unchangedRange, allowMultipleLines, linear,        length,
                          isDate, isInteger,      fontSize,           decimalComma_, dateLanguage_,
                          locations, minimumSpacing};
  std::string key = formatText(isXAxis() ? "X Label Cache %d" : "Y Label Cache %d", std::to_string(cacheNumber));
  if (const AxisTicks* kept = labelCache_.find(key, request, changeCount())) return *kept;
  AxisTicks ticks = orrelin::computeAxisTicks(axis_, request);
  labelCache_.store(key, request, changeCount(), ticks);
  return ticks;
}

KRBoundingRange VKSingleAxisCommand::croppedRange(const KRBoundingRange& range) const {
  auto fixed = axis_.croppingRange();
  return fixed ? *fixed : range;
}

bool VKSingleAxisCommand::setCroppingRange(const KRBoundingRange& range, bool recordUndo) {
  return axis_.setCroppingRange(range, recordUndo);
}

bool VKSingleAxisCommand::setCroppingEdge(bool upperEnd, double value, const KRBoundingRange& shown,
                                          bool recordUndo) {
  return axis_.setCroppingEdge(upperEnd, value, shown, recordUndo);
}

PlistDictionary VKSingleAxisCommand::croppingPermissions() const {
  const bool may = axis_.croppingMayChange();
  if (isXAxis()) return PlistDictionary{{axistext::kChangeXWidth, may}, {axistext::kChangeXEdge, may}};
  return PlistDictionary{{axistext::kChangeYHeight, may}, {axistext::kChangeYEdge, may}};
}

bool VKSingleAxisCommand::croppingAllowed(const std::string& permission) const {
  return PropertyList(croppingPermissions()).booleanForKey(permission).value_or(false);
}

void VKSingleAxisCommand::entryChanged(VKDependencyBase* sender, DependencyVisitSet& alreadySentFor) {
  VKDrawingCommand::entryChanged(sender, alreadySentFor);
  refreshErrorExplanation();
}

void VKSingleAxisCommand::establishDependencyConnections() {
  VKDrawingCommand::establishDependencyConnections();
  refreshErrorExplanation();
}

void VKSingleAxisCommand::refreshErrorExplanation() {
  auto why = settingsErrorExplanation();
  setErrorExplanation(why ? why : axis_.ticksProblem());
}

double VKSingleAxisCommand::relativeSize() const {
  double value = relativeSize_->value();
  return std::isfinite(value) && value > 0 ? value : 1;
}

double VKSingleAxisCommand::spaceBefore() const {
  double value = spaceBefore_->value();
  return std::isfinite(value) && value > 0 ? value : 0;
}

}  // namespace orrelin
