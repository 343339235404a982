#include "graph/commandbase/VKDrawingCommand.h"

#include <cstdio>

#include "graph/commandbase/CommandPanel.h"
#include "graph/commandbase/CommandTexts.h"
#include "graph/commandbase/VKCommandGraph.h"
#include "graph/commandbase/InputControllers.h"
#include "platform/KRMessageCenter.h"

namespace orrelin {

namespace {

std::vector<VKMenuEntry> magnificationEntries() {
  return {{VKDrawingCommand::kDrawEverywhere, "MagnifyOn"},
          {VKDrawingCommand::kNotInMagnified, "MagnifyOff"},
          {VKDrawingCommand::kOnlyInMagnified, "MagnificationSource"},
          {VKDrawingCommand::kOnlyInLoupe, "MagnificationDestination"}};
}

bool independent(const ScalingRecord& record) { return record && record->destinationIsResolutionIndependent; }

std::string shortNumber(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

}  // namespace

VKDrawingCommand::VKDrawingCommand(bool whichAxisVisible) : whichAxisVisible_(whichAxisVisible) {}

void VKDrawingCommand::finishConnections() {
  if (!axisSelector_) {
    axisSelector_ = std::make_shared<VKAxisSelectorController>();
    connect(axisSelector_, commandtext::kAxis);
  }
  DataDrawingCommand::finishConnections();
  if (hasMagnificationChoice() && !magnificationChoice_) {
    magnificationChoice_ = std::make_shared<VKSegmentedInputController>(magnificationEntries(), kDrawEverywhere);
    connect(magnificationChoice_, commandtext::kMagnifyOption);
  }
  if (canBeCropped() && !cropWithCommand_) {
    cropWithCommand_ = std::make_shared<VKDrawingCommandSelector>();
    connect(cropWithCommand_, commandtext::kCropWith);
  }
}

PropertyList VKDrawingCommand::propertyList() const {
  PropertyList list = DataDrawingCommand::propertyList();
  if (whichAxisVisible_ && list.isDictionary()) {
    list.dictionary()[commandtext::kWhichXAxis] = whichXAxis();
    list.dictionary()[commandtext::kWhichYAxis] = whichYAxis();
  }
  return list;
}

void VKDrawingCommand::fillFromPropertyList(const PropertyList& list) {
  if (whichAxisVisible_ && list.isDictionary() && !list.find(commandtext::kAxis)) {
    const PropertyList* x = list.find(commandtext::kWhichXAxis);
    const PropertyList* y = list.find(commandtext::kWhichYAxis);
    if (x && y && x->isNumber() && y->isNumber()) {
      PropertyList copy = list;
      copy.dictionary()[commandtext::kAxis] =
          PlistDictionary{{commandtext::kWhichX, x->integer()}, {commandtext::kWhichY, y->integer()}};
      copy.dictionary().erase(commandtext::kWhichXAxis);
      copy.dictionary().erase(commandtext::kWhichYAxis);
      DataDrawingCommand::fillFromPropertyList(copy);
      updateMagnificationFeedback();
      return;
    }
  }
  if (whichAxisVisible_ && list.isDictionary() &&
      (list.find(commandtext::kWhichXAxis) || list.find(commandtext::kWhichYAxis))) {
    // Written beside "Axis" for older readers; "Axis" decides.
    PropertyList copy = list;
    copy.dictionary().erase(commandtext::kWhichXAxis);
    copy.dictionary().erase(commandtext::kWhichYAxis);
    DataDrawingCommand::fillFromPropertyList(copy);
  } else {
    DataDrawingCommand::fillFromPropertyList(list);
  }
  updateMagnificationFeedback();
}

void VKDrawingCommand::entryChanged(VKDependencyBase* sender, DependencyVisitSet& alreadySentFor) {
  if (!alreadySentFor.count(this) && sender &&
      (sender == excludeButton_.get() || sender == hideButton_.get()))
    keptValue_.reset();
  if (sender && sender == magnificationChoice_.get()) updateMagnificationFeedback();
  DataDrawingCommand::entryChanged(sender, alreadySentFor);
}

void VKDrawingCommand::updateViews() {
  DataDrawingCommand::updateViews();
  if (!panel() || !insideDrawing()) return;
  for (const auto& shown : insideDrawing()->axisRangesShownBy(*this))
    panel()->showAxisRange(shown.letter, shown.axis, shown.range);
}

void VKDrawingCommand::clearCachedDrawing() {
  DataDrawingCommand::clearCachedDrawing();
  cachedCroppingPath_.reset();
  infoForCroppingPath_.reset();
  finalCroppedWith_.reset();
}

std::shared_ptr<KRDrawingGroup> VKDrawingCommand::drawingObjectForScale(const ScalingRecord& record,
                                                                        double magnification,
                                                                        KRDrawingInformation& information) {
  if (!record) return nullptr;
  if (magnificationOption() == kOnlyInMagnified) return nullptr;

  std::shared_ptr<KRDrawingPath> outline;
  if (auto cropper = croppingCommand()) outline = cropper->croppingPathForScale(record);

  const bool usable = lastInfo_ && cachedUncroppedDrawing_ && !independent(record) && !independent(lastInfo_) &&
                      lastInfo_->sameScalingInformation(*record) && sameOtherScalings(lastOtherInfos_, *record);
  std::shared_ptr<KRDrawingGroup> result;
  if (usable) {
    if (lastInformation_ && !lastInformation_->doubleClick.empty())
      information.doubleClick.insert(information.doubleClick.end(), lastInformation_->doubleClick.begin(),
                                     lastInformation_->doubleClick.end());
    if (cachedFinalDrawing_ && (!outline || outline == finalCroppedWith_) && magnification == finalMagnification_)
      return cachedFinalDrawing_;
    result = cachedUncroppedDrawing_;
  } else {
    if (!independent(record)) {
      lastInfo_ = record;
      lastOtherInfos_ = otherScalingsForScale(*record);
    }
    KRDrawingInformation computed;
    computed.cachedContent = keptValue_;
    result = computeDrawingObjectForScale(*record, computed);
    keptValue_ = computed.cachedContent;
    if (result) result->setDescriptionString(groupName());
    if (!independent(record)) {
      information.doubleClick.insert(information.doubleClick.end(), computed.doubleClick.begin(),
                                     computed.doubleClick.end());
      information.hitRects.insert(information.hitRects.end(), computed.hitRects.begin(), computed.hitRects.end());
      computed.cachedContent.reset();
      if (computed.isEmpty())
        lastInformation_.reset();
      else
        lastInformation_ = std::move(computed);
      cachedUncroppedDrawing_ = result;
      cachedFinalDrawing_.reset();
    }
  }
  if (!result) return nullptr;

  if (outline) {
    if (outline->isEmptyPath() || outline->boundingRectangle().isNull()) return nullptr;
    result = result->cropWith(outline)->cropWith(KRDrawingPathRectangle::createWithRect(record->graphRegion));
  }
  if (independent(record)) return result;
  auto magnified = std::dynamic_pointer_cast<KRDrawingGroup>(result->magnify(magnification));
  if (!magnified) magnified = KRDrawingGroup::createWithDrawingObject(result->magnify(magnification));
  cachedFinalDrawing_ = magnified;
  finalCroppedWith_ = outline;
  finalMagnification_ = magnification;
  return cachedFinalDrawing_;
}

bool VKDrawingCommand::sameOtherScalings(const std::vector<KR1DPlotDrawingInfo>& kept,
                                         const KR1DPlotDrawingInfo& record) const {
  const auto now = otherScalingsForScale(record);
  if (now.size() != kept.size()) return false;
  for (std::size_t k = 0; k < now.size(); ++k)
    if (!now[k].sameScalingInformation(kept[k])) return false;
  return true;
}

std::shared_ptr<KRDrawingGroup> VKDrawingCommand::computeDrawingObjectForScale(const KR1DPlotDrawingInfo& record,
                                                                               KRDrawingInformation& information) {
  (void)record;
  (void)information;
  return nullptr;
}

std::shared_ptr<KRDrawingGroup> VKDrawingCommand::drawLegendInto(const KRRect& rect, const KR1DPlotDrawingInfo& record,
                                                                 double magnification,
                                                                 KRDrawingInformation& information) {
  (void)rect;
  (void)record;
  (void)magnification;
  (void)information;
  return nullptr;
}

std::shared_ptr<KRDrawingPath> VKDrawingCommand::croppingPathForScale(const ScalingRecord& record) {
  if (!record) return nullptr;
  if (cachedCroppingPath_ && !independent(record) && infoForCroppingPath_ &&
      infoForCroppingPath_->sameScalingInformation(*record) &&
      sameOtherScalings(otherInfosForCroppingPath_, *record))
    return cachedCroppingPath_;
  auto path = computeCroppingPathForScale(*record);
  if (!independent(record)) {
    infoForCroppingPath_ = record;
    otherInfosForCroppingPath_ = otherScalingsForScale(*record);
    cachedCroppingPath_ = path;
  }
  return path;
}

std::shared_ptr<KRDrawingPath> VKDrawingCommand::computeCroppingPathForScale(const KR1DPlotDrawingInfo& record) {
  (void)record;
  return nullptr;
}

std::shared_ptr<KRDrawingPath> VKDrawingCommand::groupCroppingPath(const ScalingRecord& record) {
  auto cropper = croppingCommand();
  if (!cropper || cropper.get() == this) return nullptr;
  return cropper->croppingPathForScale(record);
}

std::shared_ptr<VKDrawingCommand> VKDrawingCommand::croppingCommand() const {
  if (!cropWithCommand_) return nullptr;
  return std::dynamic_pointer_cast<VKDrawingCommand>(cropWithCommand_->selectedCommand());
}

bool VKDrawingCommand::insideCroppingPath(KRPoint point, const ScalingRecord& record) {
  auto path = croppingPathForScale(record);
  return path && path->pointLiesInside(point);
}

bool VKDrawingCommand::commandSelectorShouldAllow(const VKDrawingCommandSelector& selector,
                                                  const DataDrawingCommand& candidate) const {
  if (&candidate == this) return false;
  if (&selector != cropWithCommand_.get()) return DataDrawingCommand::commandSelectorShouldAllow(selector, candidate);
  const std::string type = candidate.type();
  return type == "Plot" || type == "Function" || type == "Bars" || type == "Fit" || type == "Histogram";
}

KRBoundingRange VKDrawingCommand::domainRangeXLinear(bool xLinear, bool yLinear) {
  (void)xLinear;
  (void)yLinear;
  return KRBoundingRange::invalid();
}

KRBoundingRange VKDrawingCommand::valueRangeXLinear(bool xLinear, bool yLinear) {
  (void)xLinear;
  (void)yLinear;
  return KRBoundingRange::invalid();
}

KRBoundingRange VKDrawingCommand::padXIfNeeded(const KRBoundingRange& range, bool isDateAxis) const {
  (void)isDateAxis;
  return range;
}

KRBoundingRange VKDrawingCommand::padYIfNeeded(const KRBoundingRange& range, bool isDateAxis) const {
  (void)isDateAxis;
  return range;
}

KRBoundingRange VKDrawingCommand::cropXRange(const KRBoundingRange& range) const {
  KRMessageCenter::addMessage(commandtext::kCropNotOverridden, type());
  return range;
}

KRBoundingRange VKDrawingCommand::cropYRange(const KRBoundingRange& range) const {
  KRMessageCenter::addMessage(commandtext::kCropNotOverridden, type());
  return range;
}

int VKDrawingCommand::whichXAxis() const { return whichAxisVisible_ && axisSelector_ ? axisSelector_->whichX() : 0; }
int VKDrawingCommand::whichYAxis() const { return whichAxisVisible_ && axisSelector_ ? axisSelector_->whichY() : 0; }

void VKDrawingCommand::moveToXAxis(int x, int y, bool recordUndo) {
  if (!axisSelector_) return;
  if (recordUndo) {
    axisSelector_->setFromPropertyListRecordUndo(
        PlistDictionary{{commandtext::kWhichX, std::max(x, 0)}, {commandtext::kWhichY, std::max(y, 0)}});
  } else {
    axisSelector_->setAxes(x, y);
  }
}

void VKDrawingCommand::setAxisWithXCount(int xCount, int yCount) {
  if (!axisSelector_) return;
  const int x = axisSelector_->whichX() < xCount ? axisSelector_->whichX() : 0;
  const int y = axisSelector_->whichY() < yCount ? axisSelector_->whichY() : 0;
  axisSelector_->setAxes(x, y);
}

void VKDrawingCommand::willRemoveXAxis(int x) {
  if (!axisSelector_) return;
  const int current = axisSelector_->whichX();
  axisSelector_->setAxes(current == x ? 0 : current > x ? current - 1 : current, axisSelector_->whichY());
}

void VKDrawingCommand::willRemoveYAxis(int y) {
  if (!axisSelector_) return;
  const int current = axisSelector_->whichY();
  axisSelector_->setAxes(axisSelector_->whichX(), current == y ? 0 : current > y ? current - 1 : current);
}

int VKDrawingCommand::magnificationOption() const {
  return magnificationChoice_ ? magnificationChoice_->tag() : kDrawEverywhere;
}

void VKDrawingCommand::setMagnificationOption(int tag) {
  if (magnificationChoice_) magnificationChoice_->setTag(tag);
}

bool VKDrawingCommand::shouldDrawInMagnified() const { return magnificationOption() != kNotInMagnified; }

bool VKDrawingCommand::shouldDrawInStandardView() const {
  return magnificationOption() != kOnlyInMagnified && DataDrawingCommand::shouldDrawInStandardView();
}

bool VKDrawingCommand::onlyDrawInLoupeTool() const { return magnificationOption() == kOnlyInLoupe; }

const char* VKDrawingCommand::magnificationTooltipForTag(int tag) {
  switch (tag) {
    case kNotInMagnified: return commandtext::kMagnifyTooltipNotMagnified;
    case kOnlyInMagnified: return commandtext::kMagnifyTooltipOnlyMagnified;
    case kOnlyInLoupe: return commandtext::kMagnifyTooltipLoupe;
    default: return commandtext::kMagnifyTooltipEverywhere;
  }
}

std::string VKDrawingCommand::magnificationTooltip() const { return magnificationTooltipForTag(magnificationOption()); }

std::string VKDrawingCommand::stringFromPixelX(double x, const KR1DPlotDrawingInfo& record) const {
  return shortNumber(record.fromScreenToCoordinatesX(x));
}

std::string VKDrawingCommand::stringFromPixelY(double y, const KR1DPlotDrawingInfo& record) const {
  return shortNumber(record.fromScreenToCoordinatesY(y));
}

std::string VKDrawingCommand::stringFromPixelPoint(KRPoint point, const KR1DPlotDrawingInfo& record) const {
  return stringFromPixelX(point.x, record) + "," + stringFromPixelY(point.y, record);
}

void VKDrawingCommand::addCommonHitTestForPoint(KRPoint point, const KR1DPlotDrawingInfo& record,
                                                PlistDictionary& hitInfo) const {
  hitInfo["Point"] = PlistArray{point.x, point.y};
  hitInfo["X Axis"] = whichXAxis();
  hitInfo["Y Axis"] = whichYAxis();
  hitInfo["X"] = record.fromScreenToCoordinatesX(point.x);
  hitInfo["Y"] = record.fromScreenToCoordinatesY(point.y);
}

void VKDrawingCommand::setLastInfo(const ScalingRecord& record) {
  if (independent(record)) return;
  lastInfo_ = record;
}

}  // namespace orrelin
