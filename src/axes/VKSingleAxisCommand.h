#pragma once
// An x or y axis of its own ("X Axis" or "Y Axis"), stacked with the graph's
// other axes of that direction. It has one axis's settings under the keys of
// its direction, except that a y axis also keeps its negative-currency
// options under the "X Currency Negative" keys, as documents always had them.

#include <memory>

#include "axes/AxisContextMenu.h"
#include "axes/AxisControllers.h"
#include "axes/AxisTicks.h"
#include "graph/commandbase/VKDrawingCommand.h"

namespace orrelin {

class VKSingleAxisCommand : public VKDrawingCommand {
 public:
  enum Side { kLeftOrBottom = 1, kRightOrTop = 2 };

  // letter: 'X' or 'Y'.
  explicit VKSingleAxisCommand(char letter) : VKDrawingCommand(false), letter_(letter == 'Y' ? 'Y' : 'X') {}

  std::string type() const override;
  bool hasMagnificationChoice() const override { return false; }
  void finishConnections() override;
  void fillFromPropertyList(const PropertyList& list) override;

  bool isXAxis() const { return letter_ == 'X'; }
  const AxisControllers& axis() const { return axis_; }
  AxisControllers& axis() { return axis_; }
  KRBoundingRange includeRange() const { return axis_.includeRange(); }
  // The fixed range when "Crop" gives one, else range.
  KRBoundingRange croppedRange(const KRBoundingRange& range) const;
  // As for the main axis: refused (false) for a range the axis cannot show.
  bool setCroppingRange(const KRBoundingRange& range, bool recordUndo);
  bool setCroppingEdge(bool upperEnd, double value, const KRBoundingRange& shown, bool recordUndo);
  // "Change X Width" and "Change X Edge" for an x axis, "Change Y Height"
  // and "Change Y Edge" for a y axis.
  PlistDictionary croppingPermissions() const;
  bool croppingAllowed(const std::string& permission) const;
  void entryChanged(VKDependencyBase* sender, DependencyVisitSet& alreadySentFor) override;
  using VKDrawingCommand::entryChanged;
  void establishDependencyConnections() override;

  // The context menu of the axis (see axisMenuItems) and its operations.
  std::vector<AxisMenuItem> contextMenuItems() const { return axisMenuItems(axis_); }
  bool performContextMenuItem(const std::vector<std::string>& path, const PropertyList& argument) {
    return performAxisMenuItem(axis_, path, argument);
  }

  // The tick choice and the ticks of this axis, as for the main axis; kept
  // under "X Label Cache %d" or "Y Label Cache %d" by its direction.
  std::optional<PropertyList> locations() const { return tickLocationsFor(axis_); }
  AxisTicks computeAxisTicks(const KRBoundingRange& range, const KRBoundingRange& unchangedRange,
                             bool allowMultipleLines, bool linear, const std::optional<PropertyList>& locations,
                             double length, bool isDate, bool isInteger, double fontSize, int cacheNumber,
                             double minimumSpacing = 0);
  void setDecimalComma(bool on) { decimalComma_ = on; }
  // The language of month names on a date axis (a date column's localization).
  void setDateLanguage(std::string language) { dateLanguage_ = std::move(language); }

  // The share of the graph's length this axis takes relative to the others.
  double relativeSize() const;
  // The gap before this axis: in points when "Space Before Pixels" is set,
  // else as a share of the graph's length.
  double spaceBefore() const;
  bool spaceBeforeInPoints() const { return spaceBeforePixels_->isSelected(); }
  Side side() const { return static_cast<Side>(side_->tag()); }

 private:
  void refreshErrorExplanation();
  char letter_;
  AxisControllers axis_;
  std::shared_ptr<VKNumberInputController> relativeSize_;
  std::shared_ptr<VKNumberInputController> spaceBefore_;
  std::shared_ptr<VKButtonInputController> spaceBeforePixels_;
  std::shared_ptr<VKMenuInputController> side_;
  bool decimalComma_ = false;
  std::string dateLanguage_;
  AxisLabelCache labelCache_;
};

}  // namespace orrelin
