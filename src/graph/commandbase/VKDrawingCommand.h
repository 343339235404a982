#pragma once
// A command that draws into a graph: which axes it uses, the magnification
// option, cropping by another command, the drawing cache keyed on the scaling
// record, and the defaults of what each concrete command overrides (ranges,
// spaces, axis kinds).
//
// The cache: a drawing computed for a scaling record is kept together with
// that record (lastInfo). A later pass with a record that scales the same way
// gets the kept drawing back; any change that reaches the command, and any
// change of axes or magnification, empties the cache. Passes to resolution
// independent destinations (PDF, EPS, SVG, printing) always compute and never
// read or fill the cache.

#include <any>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "drawing/KRDrawingInfo.h"
#include "drawing/KRDrawingPath.h"
#include "graph/commandbase/DataDrawingCommand.h"
#include "graph/commandbase/KRBoundingRange.h"

namespace orrelin {

class VKAxisSelectorController;
class VKSegmentedInputController;

using ScalingRecord = std::shared_ptr<const KR1DPlotDrawingInfo>;

class VKDrawingCommand : public DataDrawingCommand {
 public:
  using DataDrawingCommand::entryChanged;

  // Magnification option tags.
  enum MagnifyOption { kDrawEverywhere = 1, kNotInMagnified = 2, kOnlyInMagnified = 3, kOnlyInLoupe = 4 };

  explicit VKDrawingCommand(bool whichAxisVisible = true);

  // Connects "Axis", then the base settings, then "Magnify Option" and
  // "Crop With" when the command has them.
  void finishConnections() override;
  PropertyList propertyList() const override;
  // Also reads documents that stored the axes as "Which X Axis" and "Which Y Axis".
  void fillFromPropertyList(const PropertyList& list) override;
  void entryChanged(VKDependencyBase* sender, DependencyVisitSet& alreadySentFor) override;
  void clearCachedDrawing() override;
  // The panel also shows the data range of every axis the command is the
  // controller of in its graph.
  void updateViews() override;

  // Whether the command has the magnification control and the cropping
  // selector. Subclasses decide.
  virtual bool hasMagnificationChoice() const { return true; }
  virtual bool canBeCropped() const { return false; }

  // The drawing for a scaling record at a magnification, from the cache when
  // it fits (see above). Hit rectangles reach information only from a fresh
  // computation; the double-click list also from the cache.
  std::shared_ptr<KRDrawingGroup> drawingObjectForScale(const ScalingRecord& record, double magnification,
                                                        KRDrawingInformation& information);
  // The command's own computation; none here. information carries the
  // kept value in and out and collects hit rectangles and double-click targets.
  virtual std::shared_ptr<KRDrawingGroup> computeDrawingObjectForScale(const KR1DPlotDrawingInfo& record,
                                                                       KRDrawingInformation& information);
  // The records of other axis pairs a drawing for record also maps data
  // with (a fill reaching to another y axis's values); none here. A kept
  // drawing or outline is used again only while these scale as they did.
  virtual std::vector<KR1DPlotDrawingInfo> otherScalingsForScale(const KR1DPlotDrawingInfo& record) const {
    (void)record;
    return {};
  }
  virtual std::shared_ptr<KRDrawingGroup> drawLegendInto(const KRRect& rect, const KR1DPlotDrawingInfo& record,
                                                         double magnification, KRDrawingInformation& information);

  // Cropping: the outline this command offers to others (kept per scaling
  // record), and the command that crops this one.
  std::shared_ptr<KRDrawingPath> croppingPathForScale(const ScalingRecord& record);
  virtual std::shared_ptr<KRDrawingPath> computeCroppingPathForScale(const KR1DPlotDrawingInfo& record);
  std::shared_ptr<VKDrawingCommand> croppingCommand() const;
  bool insideCroppingPath(KRPoint point, const ScalingRecord& record);
  // The outline that crops the group of commands a group opener starts: the
  // outline of the command chosen under "Crop With", from that command's
  // cache; none when nothing is chosen or the command cannot be cropped.
  virtual std::shared_ptr<KRDrawingPath> groupCroppingPath(const ScalingRecord& record);
  // Only plots, functions, bars, fits and histograms offer an outline.
  bool commandSelectorShouldAllow(const VKDrawingCommandSelector& selector,
                                  const DataDrawingCommand& candidate) const override;

  // Ranges and spaces the layout asks for; the base asks for nothing.
  virtual KRBoundingRange includeXRange() const { return KRBoundingRange::invalid(); }
  virtual KRBoundingRange includeYRange() const { return KRBoundingRange::invalid(); }
  virtual KRBoundingRange domainRangeXLinear(bool xLinear, bool yLinear);
  virtual KRBoundingRange valueRangeXLinear(bool xLinear, bool yLinear);
  virtual KRBoundingRange padXIfNeeded(const KRBoundingRange& range, bool isDateAxis) const;
  virtual KRBoundingRange padYIfNeeded(const KRBoundingRange& range, bool isDateAxis) const;
  // A command that is asked without overriding these says so.
  virtual KRBoundingRange cropXRange(const KRBoundingRange& range) const;
  virtual KRBoundingRange cropYRange(const KRBoundingRange& range) const;
  virtual bool xUsesDateAxis() const { return false; }
  virtual bool yUsesDateAxis() const { return false; }
  // The ICU locale whose month names a date axis of the command's dates
  // writes; "" when the command has no opinion.
  virtual std::string xDateLocale() const { return {}; }
  virtual std::string yDateLocale() const { return {}; }
  virtual bool xUsesIntegerAxis() const { return false; }
  virtual bool yUsesIntegerAxis() const { return false; }
  virtual bool requiresXFloatAxis() const { return false; }
  virtual bool requiresYFloatAxis() const { return false; }
  virtual double spaceForXAxis() const { return 0; }
  virtual double spaceForYAxis() const { return 0; }
  virtual double spaceForYAxisTickMarksOnLeft() const { return 0; }
  virtual double spaceForPlotTitle() const { return 0; }
  virtual double spaceToTheRight() const { return 0; }
  virtual void skippingThisDrawingCommand(bool xLinear, bool yLinear) {
    (void)xLinear;
    (void)yLinear;
  }

  // Snapping the pointer to what the command drew; nothing here.
  virtual std::optional<KRPoint> snapToPoint(KRPoint point, const KR1DPlotDrawingInfo& record) const {
    (void)point;
    (void)record;
    return std::nullopt;
  }
  virtual std::vector<double> xSnapLines() const { return {}; }
  virtual std::vector<double> ySnapLines() const { return {}; }
  // The table rows whose points lie in the rectangle; none here.
  virtual std::optional<std::vector<long>> rowsDisplayedInRect(const KRRect& rect) const {
    (void)rect;
    return std::nullopt;
  }

  // Axes.
  bool whichAxisVisible() const { return whichAxisVisible_; }
  int whichXAxis() const;
  int whichYAxis() const;
  void moveToXAxis(int x, int y, bool recordUndo = false);
  // The number of axes changed: a choice past the last axis goes back to the main one.
  void setAxisWithXCount(int xCount, int yCount);
  void newNumberOfXAxisControllers(int count) { setAxisWithXCount(count, whichYAxis() + 1); }
  void newNumberOfYAxisControllers(int count) { setAxisWithXCount(whichXAxis() + 1, count); }
  // Axis number removed: later axes move down by one, a choice of that axis
  // goes to the main axis.
  void willRemoveXAxis(int x);
  void willRemoveYAxis(int y);

  // Magnification.
  int magnificationOption() const;
  void setMagnificationOption(int tag);
  bool shouldDrawInMagnified() const;
  bool shouldDrawInStandardView() const override;
  bool onlyDrawInLoupeTool() const override;
  // The tooltip that explains the option.
  std::string magnificationTooltip() const;
  static const char* magnificationTooltipForTag(int tag);

  // Coordinate read-out for the pointer position.
  virtual std::string stringFromPixelX(double x, const KR1DPlotDrawingInfo& record) const;
  virtual std::string stringFromPixelY(double y, const KR1DPlotDrawingInfo& record) const;
  std::string stringFromPixelPoint(KRPoint point, const KR1DPlotDrawingInfo& record) const;
  // Fills "Point", "X Axis", "Y Axis", "X", "Y" for a hit test.
  void addCommonHitTestForPoint(KRPoint point, const KR1DPlotDrawingInfo& record, PlistDictionary& hitInfo) const;

  // The scaling record of the last cached computation; records for
  // resolution independent destinations are ignored.
  const ScalingRecord& lastInfo() const { return lastInfo_; }
  void setLastInfo(const ScalingRecord& record);

  const std::shared_ptr<VKAxisSelectorController>& axisSelector() const { return axisSelector_; }
  const std::shared_ptr<VKSegmentedInputController>& magnificationChoice() const { return magnificationChoice_; }
  const std::shared_ptr<VKDrawingCommandSelector>& cropWithSelector() const { return cropWithCommand_; }
  const std::any& keptValue() const { return keptValue_; }
  const std::optional<std::string>& cachedLegendName() const { return cachedLegendName_; }

 protected:
  // The magnification feedback follows the option; nothing to show headless.
  virtual void updateMagnificationFeedback() {}

 private:
  bool whichAxisVisible_;
  // Whether the other scalings record depends on are still those kept.
  bool sameOtherScalings(const std::vector<KR1DPlotDrawingInfo>& kept, const KR1DPlotDrawingInfo& record) const;

  std::shared_ptr<KRDrawingPath> cachedCroppingPath_;
  ScalingRecord infoForCroppingPath_;
  std::vector<KR1DPlotDrawingInfo> otherInfosForCroppingPath_;
  ScalingRecord lastInfo_;
  std::vector<KR1DPlotDrawingInfo> lastOtherInfos_;
  // The outline cachedFinalDrawing_ was cropped with.
  std::shared_ptr<KRDrawingPath> finalCroppedWith_;
  // The magnification cachedFinalDrawing_ was made at.
  double finalMagnification_ = 1;
  std::shared_ptr<VKAxisSelectorController> axisSelector_;
  std::shared_ptr<VKSegmentedInputController> magnificationChoice_;
  std::any keptValue_;
  std::optional<std::string> cachedLegendName_;
};

}  // namespace orrelin
