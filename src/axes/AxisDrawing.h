#pragma once
// How an axis is drawn: its line, the tick marks, the numbers, the title,
// the grid lines across the plot area and the marks where a split axis
// breaks. The layout places each axis (which side, where its line is, which
// page interval it covers, how values map onto it) and asks here for the
// room the axis needs outside its line and for its drawing. The geometry is
// written down in docs/graph-layout.md.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "axes/AxisTicks.h"
#include "drawing/KRDrawingGroup.h"
#include "drawing/KRDrawingStyle.h"
#include "graph/commandbase/InputControllers.h"

namespace orrelin {

enum class AxisSide { Bottom, Left, Top, Right };

inline bool isHorizontal(AxisSide side) { return side == AxisSide::Bottom || side == AxisSide::Top; }

// Orientation of the numbers of a horizontal axis ("X Orientation").
enum class LabelOrientation { Horizontal = 1, Vertical = 2, Slanted = 3 };

// What every axis of a graph shares: fonts, colour, line width, tick style.
struct AxisLook {
  std::shared_ptr<KRDrawingStyleFont> numberFont;
  std::shared_ptr<KRDrawingStyleFont> titleFont;
  KRColor color = KRColor::black();
  double lineWidth = 1;
  // 1 outside the plot area, 2 inside, 3 across the axis line.
  int tickStyle = 1;

  double numberFontSize() const;
  double majorTickLength() const;
  double minorTickLength() const { return majorTickLength() / 2; }
  // Between the tick marks and the numbers, and between the numbers and the title.
  double numberGap() const;
  double titleGap() const;
  // How far the marks reach outside the axis line.
  double tickOutside() const;
};

// Where one axis goes on the page.
struct AxisPlacement {
  AxisSide side = AxisSide::Bottom;
  // The page coordinate of the axis line: y for horizontal axes, x for vertical ones.
  double position = 0;
  // The page interval the axis covers along its direction.
  double start = 0, end = 0;
  // From a data value to the page coordinate along the axis.
  std::function<double(double)> map;
};

struct AxisContent {
  const AxisTicks* ticks = nullptr;
  bool drawLabels = true;
  // Room kept for the numbers instead of their measured size.
  std::optional<double> reservedLabelSpace;
  LabelOrientation orientation = LabelOrientation::Horizontal;
  std::string title;
  // Where the title sits along the axis: centred, or flush with the start
  // (left, bottom) or the end; and how much farther out than usual.
  enum class TitlePlace { Centered = 1, AtStart = 2, AtEnd = 3 };
  TitlePlace titlePlace = TitlePlace::Centered;
  double titleOffset = 0;
  // How many points the title is moved along the axis from that place,
  // towards the axis's end (right, or up) when positive.
  double titleShift = 0;
  bool drawLine = true;
};

// The room outside the axis line taken by tick marks and numbers.
double tickAndNumberSpace(const AxisContent& content, const AxisLook& look, AxisSide side);
// The room the title takes beyond that (with its gap); 0 without a title.
double titleSpace(const std::string& title, const AxisLook& look);

// How far the numbers of an axis reach beyond the low and the high end of
// its page interval, along the axis (0 where they stay inside): the first
// and last numbers are centred on their ticks, so they stick out of the
// plot area by about half their size.
struct LabelOverhang {
  double low = 0, high = 0;
};
LabelOverhang labelOverhang(const AxisContent& content, const AxisLook& look, const AxisPlacement& placement);

// The distance major ticks need so that neighbouring numbers keep a gap of
// half the font size between them (a quarter above each other on vertical
// axes); 0 when the numbers as they are do not touch.
double spacingForCrowdedLabels(const AxisContent& content, const AxisLook& look, AxisSide side,
                               const std::function<double(double)>& map);

// The rectangle an axis covers on the side its numbers are written: across,
// from its line out to the far edge of the numbers or of the title (placed
// at titleDistance as calculateAxis places it), whichever reaches farther;
// along, the axis's page interval widened to the numbers that stick out of
// it and to the title. The null rectangle without a mapping.
KRRect axisArea(const AxisContent& content, const AxisLook& look, const AxisPlacement& placement,
                double titleDistance);

// The line, the tick marks and the numbers of one axis, and its title at
// titleDistance from the axis line (outside). Values outside the interval
// are not drawn.
std::shared_ptr<KRDrawingGroup> calculateAxis(const AxisContent& content, const AxisLook& look,
                                              const AxisPlacement& placement, double titleDistance);
// Tick marks only, pointing into the plot area, on the side opposite an
// axis (with a box around the graph).
std::shared_ptr<KRDrawingGroup> mirroredTickMarks(const AxisTicks& ticks, const AxisLook& look,
                                                  const AxisPlacement& placement);

// Grid lines of one axis across the rectangle: at the major ticks, and at
// the minor ones when a minor style is given. Nothing when the axis has no
// ticks or no style is given.
std::shared_ptr<KRDrawingGroup> gridLines(const AxisTicks& ticks, bool horizontalAxis,
                                          const std::function<double(double)>& map, const KRRect& across,
                                          const std::shared_ptr<KRDrawingStyleCurve>& majorStyle,
                                          const std::shared_ptr<KRDrawingStyleCurve>& minorStyle);

// The two slanted strokes that mark a break between two axis pieces, centred
// on the point of the axis line.
std::shared_ptr<KRDrawingBasic> breakMark(KRPoint at, bool horizontalAxis, const AxisLook& look);
double widthOfBreakLine(const AxisLook& look);
double heightOfBreakLine(const AxisLook& look);

// A curve style for a line setting; none for "No Line". Tags 3 to 10 are
// dash patterns in units of the line width.
std::shared_ptr<KRDrawingStyleCurve> curveStyleForLine(const VKLineStyle& line);

}  // namespace orrelin
