#pragma once
// The main axis settings of a graph ("Main Axis"): the x and y axes' titles,
// scales, ranges, ticks and labels, the three fonts and the aspect-ratio lock.

#include <memory>

#include "axes/AxisContextMenu.h"
#include "axes/AxisControllers.h"
#include "axes/AxisTicks.h"
#include "graph/commandbase/VKDrawingCommand.h"

namespace orrelin {

class VKCommandFactory;

class VKAxisSettings : public VKDrawingCommand {
 public:
  VKAxisSettings() : VKDrawingCommand(false) {}

  // The settings the command-line tool starts a new graph with.
  static std::shared_ptr<VKAxisSettings> createForCommandLine();

  std::string type() const override;
  bool canExclude() const override { return false; }
  bool canHide() const override { return false; }
  bool hasMagnificationChoice() const override { return false; }
  void finishConnections() override;
  // Also reads the older title and scale keys.
  void fillFromPropertyList(const PropertyList& list) override;

  // Ranges: "Include" widens, "Crop" fixes.
  KRBoundingRange includeXRange() const override { return x_.includeRange(); }
  KRBoundingRange includeYRange() const override { return y_.includeRange(); }
  KRBoundingRange cropXRange(const KRBoundingRange& range) const override;
  KRBoundingRange cropYRange(const KRBoundingRange& range) const override;
  KRBoundingRange padXIfNeeded(const KRBoundingRange& range, bool isDateAxis) const override;
  KRBoundingRange padYIfNeeded(const KRBoundingRange& range, bool isDateAxis) const override;

  // A change of a setting, of a parameter a number list names or of a
  // column the ticks come from also renews the error explanation.
  void entryChanged(VKDependencyBase* sender, DependencyVisitSet& alreadySentFor) override;
  using VKDrawingCommand::entryChanged;
  void establishDependencyConnections() override;

  // Fixes an axis to the range (an invalid range makes it automatic again).
  // A range the axis cannot show (no width, not finite, not positive on a
  // logarithmic scale) is refused: false, nothing changed.
  bool setXCroppingRange(const KRBoundingRange& range, bool recordUndo);
  bool setYCroppingRange(const KRBoundingRange& range, bool recordUndo);
  // Moves one end of an axis's range; shown is the range the graph shows,
  // whose other end is kept while the axis is automatic.
  bool setXCroppingEdge(bool upperEnd, double value, const KRBoundingRange& shown, bool recordUndo);
  bool setYCroppingEdge(bool upperEnd, double value, const KRBoundingRange& shown, bool recordUndo);
  // What a user interface may let the user change by dragging an axis or
  // drawing a zoom rectangle: "Change X Width" and "Change Y Height" (both
  // ends of the range), "Change X Edge" and "Change Y Edge" (one end).
  PlistDictionary croppingPermissions() const;
  bool croppingAllowed(const std::string& permission) const;

  // The context menu over the x axis ('X') or the y axis ('Y'): the two font
  // entries, then the axis's own (see axisMenuItems).
  std::vector<AxisMenuItem> contextMenuItems(char letter) const;
  // Carries out an entry. "Change Label Font" and "Change Number Font" take
  // a font's stored form.
  bool performContextMenuItem(char letter, const std::vector<std::string>& path, const PropertyList& argument);

  // The tick choice of each axis, as the tick computation takes it.
  std::optional<PropertyList> xLocations() const { return tickLocationsFor(x_); }
  std::optional<PropertyList> yLocations() const { return tickLocationsFor(y_); }

  // The ticks and labels of an axis for the layout: range is the range to
  // show, unchangedRange what it was made from before padding; length is
  // the axis length in points. Kept under "X Label Cache %d" (cacheNumber)
  // and reused while nothing changed.
  AxisTicks computeXAxisTicks(const KRBoundingRange& range, const KRBoundingRange& unchangedRange,
                              bool allowMultipleLines, bool xLinear, const std::optional<PropertyList>& xLocations,
                              double drawingWidth, bool isDate, bool isInteger, double fontSize, int cacheNumber,
                              double minimumSpacing = 0);
  AxisTicks computeYAxisTicks(const KRBoundingRange& range, const KRBoundingRange& unchangedRange,
                              bool allowMultipleLines, bool yLinear, const std::optional<PropertyList>& yLocations,
                              double drawingHeight, bool isDate, bool isInteger, double fontSize, int cacheNumber,
                              double minimumSpacing = 0);
  // The user's preference for a decimal comma in tick labels; not stored
  // with the graph.
  void setDecimalComma(bool on) { decimalComma_ = on; }
  // The language of month names on date axes (a date column's localization).
  void setDateLanguage(std::string language) { dateLanguage_ = std::move(language); }

  const AxisControllers& xAxis() const { return x_; }
  AxisControllers& xAxis() { return x_; }
  AxisControllers& yAxis() { return y_; }
  const AxisControllers& yAxis() const { return y_; }
  bool xLinear() const { return x_.isLinear(); }
  bool yLinear() const { return y_.isLinear(); }
  bool aspectRatio1() const { return aspectRatio1_->isSelected(); }
  const VKFontStyleInputController& axisLabelsFont() const { return *axisLabelsFont_; }
  const VKFontStyleInputController& titleFont() const { return *titleFont_; }
  const VKFontStyleInputController& numberFont() const { return *numberFont_; }

 private:
  // The first of: a setting's own explanation, a tick choice without ticks.
  void refreshErrorExplanation();
  AxisControllers x_;
  AxisControllers y_;
  std::shared_ptr<VKButtonInputController> aspectRatio1_;
  std::shared_ptr<VKFontStyleInputController> axisLabelsFont_;
  std::shared_ptr<VKFontStyleInputController> titleFont_;
  std::shared_ptr<VKFontStyleInputController> numberFont_;
  bool decimalComma_ = false;
  std::string dateLanguage_;
  AxisLabelCache labelCache_;
};

// A range widened at both ends by fraction of its width (logarithmic axes
// widen in the logarithm); date axes and invalid ranges are left as they are.
KRBoundingRange paddedRange(const KRBoundingRange& range, double fraction, bool linear, bool isDateAxis);

// Registers the axis command kinds with the factory.
void registerAxisCommandKinds(VKCommandFactory& factory);

}  // namespace orrelin
