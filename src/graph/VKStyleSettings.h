#pragma once
// The look of a graph as a whole ("Style Settings"): the four graph fonts
// that font settings refer to (main, title, axis numbers, labels), the box
// around the graph, whether axes are drawn above the commands, the axis line
// width and colour, the tick marks and the grid.

#include <memory>

#include "drawing/KRDrawingStyle.h"
#include "graph/commandbase/InputControllers.h"
#include "graph/commandbase/VKDrawingCommand.h"

namespace orrelin {

class VKStyleSettings : public VKDrawingCommand {
 public:
  // "Box Style" tags.
  enum BoxStyle { kBoxAroundGraph = 1, kAxesOnly = 2, kNoBox = 3, kBoxAroundEachAxis = 4 };
  // "Tick Style" tags.
  enum TickStyle { kTicksOutside = 1, kTicksInside = 2, kTicksAcross = 3 };
  // "Grid" tags.
  enum GridChoice { kNoGrid = 1, kMajorGrid = 2, kMajorAndMinorGrid = 3 };

  VKStyleSettings() : VKDrawingCommand(false) {}
  static std::shared_ptr<VKStyleSettings> create();

  std::string type() const override;
  bool canExclude() const override { return false; }
  bool canHide() const override { return false; }
  bool hasMagnificationChoice() const override { return false; }
  void finishConnections() override;

  // The font a font setting stands for: a local font as it is, the graph's
  // fonts (1 main, 2 title, 3 axis, 4 label) from these settings.
  VKFontStyle resolvedFont(const VKFontStyle& style) const;
  std::shared_ptr<KRDrawingStyleFont> drawingFont(const VKFontStyle& style) const;
  double numberFontSize() const { return axisFont_->style().size; }
  double titleFontSize() const { return titleFont_->style().size; }

  int boxStyle() const { return boxStyle_->tag(); }
  // A box around each axis counts as a box around the graph.
  bool boxAroundGraph() const { return boxStyle() == kBoxAroundGraph || boxStyle() == kBoxAroundEachAxis; }
  bool drawBoxAroundEachAxis() const { return boxStyle() == kBoxAroundEachAxis; }
  bool drawAxisOnTop() const { return axisPosition_->tag() == 1; }
  // The gap between an axis's area and its own box, in points (0 or more).
  double drawBoxPadding() const;
  // The axis line width: 0.5 when not a positive number, at most 300.
  double boxLineWidth() const;
  KRColor axisColor() const { return axisColor_->color(); }
  // The line style of the box and the axis lines: square caps, miter joins.
  std::shared_ptr<KRDrawingStyleCurve> lineStyleForBox() const;
  int tickStyle() const { return tickStyle_->tag(); }

  bool shouldDrawGrid() const { return grid_->tag() != kNoGrid; }
  bool drawMinorGridLines() const { return grid_->tag() == kMajorAndMinorGrid; }
  bool drawXGridLines() const { return shouldDrawGrid() && gridDirections_->tag() != 3; }
  bool drawYGridLines() const { return shouldDrawGrid() && gridDirections_->tag() != 2; }
  // The grid's line styles; none for "No Line".
  std::shared_ptr<KRDrawingStyleCurve> gridStyle(bool major) const;

  VKFontStyleInputController& axisFont() { return *axisFont_; }
  VKFontStyleInputController& titleFont() { return *titleFont_; }
  VKMenuInputController& boxStyleMenu() { return *boxStyle_; }
  VKMenuInputController& axisPositionMenu() { return *axisPosition_; }
  VKMenuInputController& gridMenu() { return *grid_; }
  VKNumberInputController& axisLineWidth() { return *axisLineWidth_; }

 private:
  std::shared_ptr<VKFontStyleInputController> mainFont_;
  std::shared_ptr<VKFontStyleInputController> titleFont_;
  std::shared_ptr<VKFontStyleInputController> axisFont_;
  std::shared_ptr<VKFontStyleInputController> labelFont_;
  std::shared_ptr<VKMenuInputController> boxStyle_;
  std::shared_ptr<VKMenuInputController> axisPosition_;
  std::shared_ptr<VKNumberInputController> axisLineWidth_;
  std::shared_ptr<VKColorInputController> axisColor_;
  std::shared_ptr<VKNumberInputController> boxPadding_;
  std::shared_ptr<VKMenuInputController> tickStyle_;
  std::shared_ptr<VKMenuInputController> grid_;
  std::shared_ptr<VKMenuInputController> gridDirections_;
  std::shared_ptr<VKLineStyleInputController> majorGrid_;
  std::shared_ptr<VKLineStyleInputController> minorGrid_;
};

}  // namespace orrelin
