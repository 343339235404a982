// The layout pass of a graph: from the commands to one display list.

#include <algorithm>
#include <chrono>
#include <functional>
#include <cmath>

#include "axes/AxisDrawing.h"
#include "axes/VKAxisSettings.h"
#include "axes/VKSingleAxisCommand.h"
#include "drawing/KRDrawingPath.h"
#include "drawing/KRPathGeometry.h"
#include "graph/DataDocumentDrawing.h"
#include "graph/GraphTexts.h"
#include "graph/VKCanvasSettings.h"
#include "graph/VKStyleSettings.h"
#include "platform/KRMessageCenter.h"
#include "platform/Timing.h"
#include "platform/UserDefaults.h"

namespace orrelin {

namespace {

using namespace graphtext;

struct Interval {
  double start = 0, length = 0;
  double end() const { return start + length; }
};

struct Axis {
  std::shared_ptr<VKDrawingCommand> command;
  VKAxisSettings* main = nullptr;
  VKSingleAxisCommand* single = nullptr;
  bool x = true;

  Axis(std::shared_ptr<VKDrawingCommand> c, bool xDirection) : command(std::move(c)), x(xDirection) {
    main = dynamic_cast<VKAxisSettings*>(command.get());
    single = dynamic_cast<VKSingleAxisCommand*>(command.get());
  }
  const AxisControllers& controls() const {
    if (main) return x ? main->xAxis() : main->yAxis();
    return single->axis();
  }
  bool linear() const { return controls().isLinear(); }
  void setDateLanguage(const std::string& locale) const {
    if (main)
      main->setDateLanguage(locale);
    else
      single->setDateLanguage(locale);
  }
  bool reversed() const { return controls().isReversed(); }
  bool drawLabels() const { return controls().drawLabels->isSelected(); }
  std::string title() const { return controls().title->text(); }
  LabelOrientation orientation() const {
    const auto& menu = controls().orientation;
    int tag = menu ? menu->tag() : 1;
    return tag == 2 ? LabelOrientation::Vertical : tag == 3 ? LabelOrientation::Slanted : LabelOrientation::Horizontal;
  }
  double relativeSize() const { return single ? single->relativeSize() : 1; }
  double spaceBefore(double length) const {
    if (!single) return 0;
    return single->spaceBeforeInPoints() ? single->spaceBefore() : single->spaceBefore() * length;
  }
  bool onFarSide() const { return single && single->side() == VKSingleAxisCommand::kRightOrTop; }
  AxisTicks ticks(const KRBoundingRange& range, const KRBoundingRange& unchanged, bool twoLines, double length,
                  bool isDate, bool isInteger, const std::string& dateLocale, double fontSize, int cacheNumber,
                  double spacing) const {
    // The main axis serves x and y with one language: set it for this one.
    setDateLanguage(dateLocale);
    const bool decimalComma = UserDefaults::standard().integerForKey(kDecimalCommaDefault) != 0;
    if (main)
      main->setDecimalComma(decimalComma);
    else
      single->setDecimalComma(decimalComma);
    if (main)
      return x ? main->computeXAxisTicks(range, unchanged, twoLines, linear(), main->xLocations(), length, isDate,
                                         isInteger, fontSize, cacheNumber, spacing)
               : main->computeYAxisTicks(range, unchanged, twoLines, linear(), main->yLocations(), length, isDate,
                                         isInteger, fontSize, cacheNumber, spacing);
    return single->computeAxisTicks(range, unchanged, twoLines, linear(), single->locations(), length, isDate,
                                    isInteger, fontSize, cacheNumber, spacing);
  }
};

// The range an axis is drawn with: the computed one when it is usable, else
// a stand-in so that a graph without data still shows its frame and ticks.
KRBoundingRange drawableRange(const KRBoundingRange& range, bool linear) {
  if (range.isValid() && std::isfinite(range.minR) && std::isfinite(range.maxR) &&
      std::isfinite(range.maxR - range.minR) && (linear || range.minR > 0)) {
    if (range.maxR > range.minR) return range;
    double v = range.minR;
    if (!linear) return KRBoundingRange::between(v / 2, v * 2);
    double half = v == 0 ? 1 : std::abs(v) / 2;
    return KRBoundingRange::between(v - half, v + half);
  }
  return linear ? KRBoundingRange::between(0, 1) : KRBoundingRange::between(1, 10);
}

const KRColor kSelectionColor = KRColor::rgb(0.2, 0.4, 1, 0.8);

// Snaps a page coordinate to the device grid for a line of the pixel width:
// whole pixels for even widths, pixel centres for odd ones.
double snapToGrid(double value, double scale, int pixelWidth) {
  if (pixelWidth % 2 == 0) return std::round(scale * value) / scale;
  return (std::round(scale * value + 0.5) - 0.5) / scale;
}

// The pieces of the plot length that the axes of one direction get; empty
// when stacked axes leave no room.
std::vector<Interval> splitLength(double origin, double length, const std::vector<Axis>& axes, bool stacked) {
  std::vector<Interval> pieces(axes.size());
  if (axes.empty()) return pieces;
  if (stacked) {
    double gaps = 0, sizes = 1;
    for (std::size_t i = 1; i < axes.size(); ++i) {
      gaps += axes[i].spaceBefore(length);
      sizes += axes[i].relativeSize();
    }
    if (!(length - gaps > 0)) return {};
    double unit = (length - gaps) / sizes;
    double at = origin;
    for (std::size_t i = 0; i < axes.size(); ++i) {
      if (i > 0) at += axes[i].spaceBefore(length);
      double size = i == 0 ? unit : unit * axes[i].relativeSize();
      pieces[i] = {at, size};
      at += size;
    }
  } else {
    double most = 1;
    for (std::size_t i = 1; i < axes.size(); ++i) most = std::max(most, axes[i].relativeSize());
    for (std::size_t i = 0; i < axes.size(); ++i)
      pieces[i] = {origin, length * (i == 0 ? 1 : axes[i].relativeSize()) / most};
  }
  return pieces;
}

void setMapping(KR1DPlotDrawingInfo& record, bool x, const KRBoundingRange& range, bool linear, bool reversed,
                const Interval& piece) {
  double from = reversed ? piece.end() : piece.start;
  double length = reversed ? -piece.length : piece.length;
  if (linear) {
    double scale = length / (range.maxR - range.minR);
    double shift = from / scale - range.minR;
    x ? record.setXLinearShift(shift, scale) : record.setYLinearShift(shift, scale);
  } else {
    double scale = length / std::log(range.maxR / range.minR);
    double shift = from - std::log(range.minR) * scale;
    x ? record.setXLogarithmicShift(shift, scale) : record.setYLogarithmicShift(shift, scale);
  }
}

// From a data value to the page coordinate along a piece.
std::function<double(double)> pieceMap(const KRBoundingRange& range, bool linear, bool reversed,
                                       const Interval& piece) {
  double from = reversed ? piece.end() : piece.start;
  double length = reversed ? -piece.length : piece.length;
  double low = range.minR, width = linear ? range.maxR - range.minR : std::log(range.maxR / range.minR);
  if (linear) return [=](double v) { return from + (v - low) / width * length; };
  return [=](double v) { return from + std::log(v / low) / width * length; };
}

// One direction's axes during a pass.
struct Direction {
  bool x = true;
  bool stacked = false;
  std::vector<Axis> axes;
  std::vector<KRBoundingRange> unpadded, ranges, drawn;
  std::vector<bool> date, integer, twoLines;
  std::vector<std::string> dateLocale;
  std::vector<AxisSide> side;
  // Axes beside the plot area have ring 0; joined extra axes sit outside
  // it, each in the next ring.
  std::vector<int> ring;
  std::vector<AxisTicks> ticks;
  std::vector<Interval> pieces;
  std::vector<double> numberSpace, titleRoom;

  AxisSide nearSide() const { return x ? AxisSide::Bottom : AxisSide::Left; }
  AxisSide farSide() const { return x ? AxisSide::Top : AxisSide::Right; }

  void place() {
    side.assign(axes.size(), nearSide());
    ring.assign(axes.size(), 0);
    int farRing = 0;
    bool farUsed = false;
    for (std::size_t i = 1; i < axes.size(); ++i) {
      if (stacked) {
        side[i] = axes[i].onFarSide() ? farSide() : nearSide();
        if (side[i] == farSide()) farUsed = true;
      } else {
        side[i] = farSide();
        ring[i] = farRing++;
      }
    }
    (void)farUsed;
  }
  AxisContent content(std::size_t i) const {
    AxisContent c;
    c.ticks = &ticks[i];
    c.drawLabels = axes[i].drawLabels();
    c.orientation = x ? axes[i].orientation() : LabelOrientation::Horizontal;
    c.title = axes[i].title();
    return c;
  }
  void measure(const AxisLook& look, double fontSize) {
    numberSpace.assign(axes.size(), 0);
    titleRoom.assign(axes.size(), 0);
    for (std::size_t i = 0; i < axes.size(); ++i) {
      AxisContent c = content(i);
      c.reservedLabelSpace = axes[i].controls().reservedLabelSpace(fontSize);
      numberSpace[i] = tickAndNumberSpace(c, look, side[i]);
      // A title keeps the gap it has before it beyond it too, clear of the
      // page edge and of the next axis out.
      titleRoom[i] = titleSpace(c.title, look);
      if (titleRoom[i] > 0) titleRoom[i] += look.titleGap();
    }
  }
  // The room the axes take on one side: ring 0's tick-and-number and title
  // space, and every outer ring in full with a gap before it.
  double numbers(AxisSide which) const {
    double most = 0;
    for (std::size_t i = 0; i < axes.size(); ++i)
      if (side[i] == which && ring[i] == 0) most = std::max(most, numberSpace[i]);
    return most;
  }
  double titles(AxisSide which) const {
    double most = 0;
    for (std::size_t i = 0; i < axes.size(); ++i)
      if (side[i] == which && ring[i] == 0) most = std::max(most, titleRoom[i]);
    return most;
  }
  // Where each outer ring starts, measured from the plot edge, and the room
  // of all rings on the side.
  std::vector<double> ringOffsets(AxisSide which, double gap, double* total) const {
    int rings = 0;
    for (std::size_t i = 0; i < axes.size(); ++i)
      if (side[i] == which) rings = std::max(rings, ring[i] + 1);
    std::vector<double> thickness(rings, 0);
    for (std::size_t i = 0; i < axes.size(); ++i)
      if (side[i] == which) thickness[ring[i]] = std::max(thickness[ring[i]], numberSpace[i] + titleRoom[i]);
    std::vector<double> offsets(rings, 0);
    double at = 0;
    for (int r = 0; r < rings; ++r) {
      offsets[r] = at + (r > 0 ? gap : 0);
      at = offsets[r] + thickness[r];
    }
    if (total) *total = at;
    return offsets;
  }
  // How far the numbers of the axes reach beyond the two ends of the plot
  // area (from plotStart to plotEnd) in this direction.
  LabelOverhang overhang(const AxisLook& look, double plotStart, double plotEnd) const {
    LabelOverhang most;
    for (std::size_t i = 0; i < axes.size() && i < ticks.size() && i < pieces.size(); ++i) {
      AxisPlacement placement;
      placement.side = side[i];
      placement.start = pieces[i].start;
      placement.end = pieces[i].end();
      placement.map = pieceMap(drawn[i], axes[i].linear(), axes[i].reversed(), pieces[i]);
      LabelOverhang one = labelOverhang(content(i), look, placement);
      most.low = std::max(most.low, one.low - (pieces[i].start - plotStart));
      most.high = std::max(most.high, one.high - (plotEnd - pieces[i].end()));
    }
    return most;
  }
  bool anyOn(AxisSide which) const {
    for (std::size_t i = 0; i < axes.size(); ++i)
      if (side[i] == which) return true;
    return false;
  }
  // The axes whose pieces make up the panels of the plot area: every axis
  // when stacked, the main axis alone when joined.
  std::vector<std::size_t> panels() const {
    std::vector<std::size_t> which;
    for (std::size_t i = 0; i < axes.size(); ++i)
      if (stacked || i == 0) which.push_back(i);
    return which;
  }
};

// The step between the first two major ticks; 0 with fewer.
double majorStep(const AxisTicks& ticks) {
  if (!ticks.axis) return 0;
  const auto& major = ticks.axis->majorTickMarks();
  return major.size() >= 2 ? major[1] - major[0] : 0;
}

bool automaticTicks(const Axis& axis) {
  const auto& menu = axis.controls().ticksChoice;
  int tag = menu ? menu->tag() : kTicksAutomatic;
  return tag == kTicksDefault || tag == kTicksAutomatic;
}

// What the main axis settings change in the ticks of the main pair once
// both are known. With "Aspect Ratio 1" a unit is as long in x as in y, and
// automatic ticks on two linear number axes take the coarser of their two
// steps, so the grid is made of squares. The finer axis is asked again for
// a spacing that lands on that step; when it does not, it keeps its ticks.
void tweakTickMarks(const VKAxisSettings& main, Direction& X, Direction& Y, double fontSize) {
  if (!main.aspectRatio1() || X.axes.empty() || Y.axes.empty() || X.ticks.empty() || Y.ticks.empty()) return;
  for (Direction* d : {&X, &Y})
    if (!d->axes[0].linear() || d->date[0] || !automaticTicks(d->axes[0])) return;
  const double sx = majorStep(X.ticks[0]), sy = majorStep(Y.ticks[0]);
  if (!(sx > 0) || !(sy > 0) || std::abs(sx - sy) <= 1e-9 * std::max(sx, sy)) return;
  Direction& fine = sx < sy ? X : Y;
  const double coarse = std::max(sx, sy);
  const double width = fine.drawn[0].maxR - fine.drawn[0].minR;
  const double length = std::max(fine.pieces[0].length, 1.0);
  if (!(width > 0) || !std::isfinite(width)) return;
  // A spacing that divides the axis into steps just under the coarse one
  // rounds up to it; the coarse step's own spacing is the second try.
  const double parts = std::max(1.0, std::ceil(width / (0.9 * coarse)));
  for (double spacing : {length / (parts + 0.5), coarse / width * length}) {
    AxisTicks again = fine.axes[0].ticks(fine.drawn[0], fine.unpadded[0], fine.twoLines[0], length, false,
                                         fine.integer[0], fine.dateLocale[0], fontSize, 0, spacing);
    if (std::abs(majorStep(again) - coarse) <= 1e-9 * coarse) {
      fine.ticks[0] = std::move(again);
      return;
    }
  }
}

}  // namespace

std::shared_ptr<KRDrawingGroup> DataDocumentDrawing::addSelectionShadow(std::shared_ptr<KRDrawingBasic> drawing,
                                                                       double blur) {
  auto group = KRDrawingGroup::create();
  group->addObject(std::move(drawing));
  group->setShadowWithOffset({0, 0}, blur, kSelectionColor);
  return group;
}

std::shared_ptr<KRDrawingGroup> DataDocumentDrawing::createGraphic(KRSize size, double scale, bool send,
                                                                   const PlistDictionary& info,
                                                                   const KRRect& outputRect) {
  (void)outputRect;
  auto started = std::chrono::steady_clock::now();
  auto hand = [&](std::shared_ptr<KRDrawingGroup> graphic) {
    if (send && drawingView()) drawingView()->setGraphic(graphic);
    return graphic;
  };

  // Destination.
  bool independent = false;
  double resolutionScale = 1;
  if (auto found = info.find(kDestination); found != info.end() && found->second.isString()) {
    const std::string& destination = found->second.string();
    if (destination == "EPS" || destination == "PDF" || destination == "Print") {
      independent = true;
      scale = 40;
      resolutionScale = 4;
    }
  }
  if (!independent && scale == 0) {
    KRMessageCenter::addMessage(kInvalidScale);
    scale = 1;
  }
  if (!std::isfinite(scale) || scale < 0) scale = 1;
  const double W = size.width, H = size.height;
  drawingViewSize_ = size;

  auto style = styleSettings();
  auto canvas = canvasSettings();
  auto main = mainAxis();
  if (!style || !canvas || !main || !(W > 0) || !(H > 0) || !std::isfinite(W) || !std::isfinite(H)) {
    drawingInfos_.clear();
    xInfos_.clear();
    yInfos_.clear();
    return hand(nullptr);
  }

  // The panels of the axis controllers show what the pass starts from.
  const auto xControllers = xAxisCommands(), yControllers = yAxisCommands();
  main->updateViews();
  for (std::size_t i = 1; i < xControllers.size(); ++i) xControllers[i]->updateViews();
  for (std::size_t j = 1; j < yControllers.size(); ++j) yControllers[j]->updateViews();

  // Taken commands and settings.
  auto taken = commandsThatAreNotExcluded();
  Direction X, Y;
  X.x = true;
  Y.x = false;
  X.stacked = canvas->stackX();
  Y.stacked = canvas->stackY();
  for (auto& command : xControllers) X.axes.emplace_back(command, true);
  for (auto& command : yControllers) Y.axes.emplace_back(command, false);

  // Ranges.
  X.ranges = xRanges();
  Y.ranges = yRanges();
  if (X.ranges.empty() || Y.ranges.empty()) return hand(nullptr);
  auto collect = [&](Direction& d) {
    std::size_t n = d.axes.size();
    d.unpadded.resize(n);
    d.drawn.resize(n);
    d.date.assign(n, false);
    d.integer.assign(n, false);
    d.dateLocale.assign(n, std::string());
    for (std::size_t i = 0; i < n; ++i) {
      bool date = false;
      d.unpadded[i] = mergedRange(d.x, static_cast<int>(i), &date);
      d.date[i] = date;
      int users = 0, integers = 0;
      // Month names in the language of the first command's dates.
      std::string dateLocale;
      for (const auto& command : taken) {
        if ((d.x ? command->whichXAxis() : command->whichYAxis()) != static_cast<int>(i)) continue;
        if (dynamic_cast<VKAxisSettings*>(command.get()) || dynamic_cast<VKSingleAxisCommand*>(command.get()))
          continue;
        ++users;
        if (d.x ? command->xUsesIntegerAxis() : command->yUsesIntegerAxis()) ++integers;
        if (dateLocale.empty()) dateLocale = d.x ? command->xDateLocale() : command->yDateLocale();
      }
      d.integer[i] = users > 0 && integers == users;
      d.dateLocale[i] = dateLocale;
      d.drawn[i] = drawableRange(d.ranges[i], d.axes[i].linear());
      if (!d.unpadded[i].isValid()) d.unpadded[i] = d.drawn[i];
    }
    d.place();
  };
  collect(X);
  collect(Y);
  X.twoLines = xLabelMultipleLines();
  Y.twoLines = yLabelMultipleLines();

  // Fonts and the look of the axes.
  AxisLook look;
  look.numberFont = style->drawingFont(main->numberFont().style());
  look.titleFont = style->drawingFont(main->titleFont().style());
  look.color = style->axisColor();
  look.lineWidth = style->boxLineWidth();
  look.tickStyle = style->tickStyle();
  const double numberFontSize = look.numberFontSize();
  const double titleFontSize = look.titleFont->fontSize();
  const int pixelWidth = std::max(1, static_cast<int>(std::lround(scale * style->boxLineWidth())));
  auto snap = [&](double v) { return snapToGrid(v, scale, pixelWidth); };
  auto grid = [&](double v) { return std::round(scale * v) / scale; };

  // What the commands ask for.
  double commandsBelow = 0, commandsLeft = 0, commandsRight = 0, commandsTitle = 0;
  for (const auto& command : taken) {
    commandsBelow = std::max(commandsBelow, command->spaceForXAxis());
    commandsLeft = std::max(commandsLeft, command->spaceForYAxis() + command->spaceForYAxisTickMarksOnLeft());
    commandsRight = std::max(commandsRight, command->spaceToTheRight());
    commandsTitle = std::max(commandsTitle, command->spaceForPlotTitle());
  }
  const double titleSpaceAbove = canvas->titleSpace(*style) + commandsTitle;
  const double ringGap = std::round(numberFontSize / 2);

  // Automatic numbers that would touch get their ticks again, further apart.
  auto computeTicks = [&](Direction& d) {
    d.ticks.resize(d.axes.size());
    for (std::size_t i = 0; i < d.axes.size(); ++i) {
      double length = std::max(d.pieces[i].length, 1.0);
      const KRBoundingRange& range = d.drawn[i];
      const bool linear = d.axes[i].linear();
      auto map = [&](double v) {
        double share = linear ? (v - range.minR) / (range.maxR - range.minR)
                              : std::log(v / range.minR) / std::log(range.maxR / range.minR);
        return share * length;
      };
      auto& kept = d.x ? xSpacing_ : ySpacing_;
      if (kept.size() < d.axes.size()) kept.resize(d.axes.size());
      double spacing = kept[i].range == range && kept[i].length == length ? kept[i].spacing : 0;
      for (int attempt = 0; attempt < 3; ++attempt) {
        d.ticks[i] = d.axes[i].ticks(range, d.unpadded[i], d.twoLines[i], length, d.date[i], d.integer[i],
                                     d.dateLocale[i], numberFontSize, static_cast<int>(i), spacing);
        AxisContent content = d.content(i);
        double needed = spacingForCrowdedLabels(content, look, d.x ? AxisSide::Bottom : AxisSide::Left, map);
        if (!(needed > spacing)) break;
        spacing = needed;
      }
      kept[i] = {range, length, spacing};
    }
  };

  // Margins and the plot area. The numbers depend on the axis lengths and
  // the lengths on the room the numbers take, so the pass settles them in a
  // few rounds, starting from lengths that ignore the numbers.
  double below = 0, left = 0, right = 0, above = 0;
  double rightRoom = 0, topRoom = 0;
  // What the first and last numbers of the axes need beyond the plot area
  // on each side; grows from round to round until nothing sticks out.
  double needLeft = 0, needRight = 0, needBelow = 0, needAbove = 0;
  KRRect plot;
  X.pieces = splitLength(0, W * 0.8, X.axes, X.stacked);
  Y.pieces = splitLength(0, H * 0.8, Y.axes, Y.stacked);
  if (X.pieces.empty()) X.pieces.assign(X.axes.size(), Interval{0, W * 0.8});
  if (Y.pieces.empty()) Y.pieces.assign(Y.axes.size(), Interval{0, H * 0.8});
  bool fits = true;
  for (int round = 0; round < 4; ++round) {
    computeTicks(X);
    computeTicks(Y);
    X.measure(look, numberFontSize);
    Y.measure(look, numberFontSize);

    Spaces& room = spaces_;
    room.numbersBelow = grid(X.numbers(AxisSide::Bottom) + commandsBelow);
    room.titleBelow = grid(X.titles(AxisSide::Bottom));
    room.numbersLeft = grid(Y.numbers(AxisSide::Left) + commandsLeft);
    room.titleLeft = grid(Y.titles(AxisSide::Left));
    room.numbersAbove = X.numbers(AxisSide::Top);
    room.titleAbove = X.titles(AxisSide::Top);
    room.numbersRight = Y.numbers(AxisSide::Right);
    room.titleRight = Y.titles(AxisSide::Right);
    room.ticksInsideRight = Y.anyOn(AxisSide::Right) ? look.majorTickLength() - look.tickOutside() : 0;
    room.title = titleSpaceAbove;
    room.commandsRight = commandsRight;

    double minimum = std::round(0.8 * numberFontSize);
    below = room.numbersBelow + room.titleBelow;
    below = canvas->modifySpaceBelow(std::max({below, minimum, needBelow}), size);
    left = room.numbersLeft + room.titleLeft;
    left = canvas->modifySpaceOnLeft(std::max({left, minimum, needLeft}), size);
    right = canvas->modifySpaceOnRight(std::max(1.3 * numberFontSize + room.commandsRight, needRight), size);
    above = std::max(room.title, std::round(0.8 * numberFontSize));
    bool extraYLabels = false;
    for (std::size_t i = 1; i < Y.axes.size(); ++i) extraYLabels = extraYLabels || Y.axes[i].drawLabels();
    if (extraYLabels) above = std::max(above, titleFontSize / 2);
    if (extraYLabels && Y.stacked) above = std::max(above, numberFontSize / 2);
    above = canvas->modifySpaceAbove(std::max(above, needAbove), size);

    // Room for the axes on the right and on top.
    Y.ringOffsets(AxisSide::Right, ringGap, &rightRoom);
    X.ringOffsets(AxisSide::Top, ringGap, &topRoom);
    room.axesRight = rightRoom;
    room.axesAbove = topRoom;

    double x0 = left == 0 ? 0 : snap(left);
    double x1 = snap(W - right - rightRoom);
    double y0 = below == 0 ? 0 : snap(below);
    double y1 = snap(H - above - topRoom);
    KRRect next(x0, y0, x1 - x0, y1 - y0);
    if (!(next.width() > 0) || !(next.height() > 0)) {
      fits = false;
      break;
    }
    auto xPieces = splitLength(next.minX(), next.width(), X.axes, X.stacked);
    auto yPieces = splitLength(next.minY(), next.height(), Y.axes, Y.stacked);
    if (xPieces.empty() || yPieces.empty()) {
      fits = false;
      break;
    }
    // The pieces' ends on the device grid too.
    for (auto* pieces : {&xPieces, &yPieces})
      for (auto& piece : *pieces) {
        double start = snap(piece.start), end = snap(piece.end());
        piece = {start, end - start};
      }
    bool settled = round > 0 && next.origin.x == plot.origin.x && next.origin.y == plot.origin.y &&
                   next.size.width == plot.size.width && next.size.height == plot.size.height;
    plot = next;
    X.pieces = std::move(xPieces);
    Y.pieces = std::move(yPieces);
    // Numbers that stick out of the plot area get their room in the
    // margins (beyond the axes on the right and on top); a small gap keeps
    // them off the page edge.
    LabelOverhang xOut = X.overhang(look, plot.minX(), plot.maxX());
    LabelOverhang yOut = Y.overhang(look, plot.minY(), plot.maxY());
    const double edgeGap = look.numberGap();
    auto need = [&](double out, double room) { return out > room ? std::ceil(out - room + edgeGap) : 0.0; };
    double wantLeft = need(xOut.low, left), wantRight = need(xOut.high, right + rightRoom);
    double wantBelow = need(yOut.low, below), wantAbove = need(yOut.high, above + topRoom);
    // Only a need that grew moves the plot area again (an override keeps
    // its margin however much the numbers ask for).
    bool grew = false;
    auto raise = [&](double& kept, double margin, double want) {
      if (want > 0 && margin + want > kept) {
        kept = margin + want;
        grew = true;
      }
    };
    raise(needLeft, left, wantLeft);
    raise(needRight, right, wantRight);
    raise(needBelow, below, wantBelow);
    raise(needAbove, above, wantAbove);
    if (settled && !grew) break;
  }
  spaceOnLeft_ = static_cast<float>(left);
  spaceBelow_ = static_cast<float>(below);
  spaceOnRight_ = static_cast<float>(right);
  spaceAbove_ = static_cast<float>(above);
  if (!fits) {
    plotArea_ = KRRect();
    drawingInfos_.clear();
    xInfos_.clear();
    yInfos_.clear();
    return hand(KRDrawingGroup::create());
  }
  // "Aspect Ratio 1": one unit takes as much room in x as in y on the main
  // pair; the range of the direction with more room per unit is widened
  // around its middle.
  if (main->aspectRatio1() && X.axes[0].linear() && Y.axes[0].linear()) {
    double xScale = X.pieces[0].length / (X.drawn[0].maxR - X.drawn[0].minR);
    double yScale = Y.pieces[0].length / (Y.drawn[0].maxR - Y.drawn[0].minR);
    if (std::isfinite(xScale) && std::isfinite(yScale) && xScale > 0 && yScale > 0) {
      Direction& wider = xScale > yScale ? X : Y;
      double scale = std::min(xScale, yScale);
      double middle = (wider.drawn[0].minR + wider.drawn[0].maxR) / 2;
      double half = wider.pieces[0].length / scale / 2;
      wider.drawn[0] = KRBoundingRange::between(middle - half, middle + half);
    }
  }
  computeTicks(X);
  computeTicks(Y);
  tweakTickMarks(*main, X, Y, numberFontSize);
  plotArea_ = plot;
  information_ = KRDrawingInformation{};

  // Drawing records.
  const std::size_t nx = X.axes.size(), ny = Y.axes.size();
  drawingInfos_.assign(nx, std::vector<std::shared_ptr<KR1DPlotDrawingInfo>>(ny));
  for (std::size_t i = 0; i < nx; ++i)
    for (std::size_t j = 0; j < ny; ++j) {
      auto record = std::make_shared<KR1DPlotDrawingInfo>();
      KRRect region(X.pieces[i].start, Y.pieces[j].start, X.pieces[i].length, Y.pieces[j].length);
      record->graphRegion = region;
      record->drawRegion = region;
      record->axisRegion = plot;
      record->axisRect = region;
      record->destinationIsResolutionIndependent = independent;
      record->resolutionScale = resolutionScale;
      record->drawingToScreen = send && !independent;
      record->prepareForScale = scale;
      record->isEmpty = !X.ranges[i].isValid() || !Y.ranges[j].isValid();
      setMapping(*record, true, X.drawn[i], X.axes[i].linear(), X.axes[i].reversed(), X.pieces[i]);
      setMapping(*record, false, Y.drawn[j], Y.axes[j].linear(), Y.axes[j].reversed(), Y.pieces[j]);
      record->boundingBox = {X.drawn[i].minR, X.drawn[i].maxR, Y.drawn[j].minR, Y.drawn[j].maxR,
                             record->isEmpty ? 1 : 0};
      record->yCoordinateForXAxis = region.minY();
      record->xCoordinateForYAxis = region.minX();
      record->startOfXTitles = static_cast<float>(plot.minY() - X.numbers(AxisSide::Bottom));
      record->startOfYTitles = static_cast<float>(plot.minX() - Y.numbers(AxisSide::Left));
      record->yValueForOverallTitle = static_cast<float>(plot.maxY() + topRoom);
      record->startOfAreaToTheRight = static_cast<float>(plot.maxX() + rightRoom);
      drawingInfos_[i][j] = record;
    }
  xInfos_.clear();
  yInfos_.clear();
  for (std::size_t i = 0; i < nx; ++i) xInfos_.push_back(drawingInfos_[i][0]);
  for (std::size_t j = 0; j < ny; ++j) yInfos_.push_back(drawingInfos_[0][j]);
  xTicks_ = X.ticks;
  yTicks_ = Y.ticks;

  // Layers.
  auto result = KRDrawingGroup::createWithCapacity(4);
  auto background = KRDrawingGroup::createWithCapacity(10);
  background->setDescriptionString(kBackgroundGroup);
  auto commandsGroup = KRDrawingGroup::createWithCapacity(10);
  commandsGroup->setDescriptionString(kCommandsGroup);
  auto foreground = KRDrawingGroup::createWithCapacity(10);
  foreground->setDescriptionString(kForegroundGroup);
  auto topLayer = KRDrawingGroup::create();
  const KRRect page(0, 0, W, H);

  // The panels: the rectangles of the axis pairs that show data side by side.
  std::vector<KRRect> panels;
  for (std::size_t i : X.panels())
    for (std::size_t j : Y.panels()) panels.push_back(drawingInfos_[i][j]->graphRegion);
  const bool boxAround = style->boxAroundGraph();
  const bool onePanel = panels.size() == 1;

  // Background.
  if (send || canvas->shouldExportBackground())
    if (auto fill = canvas->addBackground(page, independent)) background->addObject(fill);
  for (const auto& panel : panels)
    if (auto fill = canvas->addAxisBackground(panel, independent)) background->addObject(fill);
  if (style->shouldDrawGrid()) {
    auto gridGroup = KRDrawingGroup::create();
    gridGroup->setDescriptionString(kGridGroup);
    if (boxAround && onePanel) gridGroup->setCrop(KRDrawingPathRectangle::createWithRect(plot));
    auto major = style->gridStyle(true);
    auto minor = style->drawMinorGridLines() ? style->gridStyle(false) : nullptr;
    for (std::size_t i : X.panels())
      for (std::size_t j : Y.panels()) {
        const auto& record = *drawingInfos_[i][j];
        if (style->drawXGridLines()) {
          auto lines = gridLines(X.ticks[i], true, [&](double v) { return record.transformX(v); },
                                 record.graphRegion, major, minor);
          if (!lines->isEmpty()) gridGroup->addObject(lines);
        }
        if (style->drawYGridLines()) {
          auto lines = gridLines(Y.ticks[j], false, [&](double v) { return record.transformY(v); },
                                 record.graphRegion, major, minor);
          if (!lines->isEmpty()) gridGroup->addObject(lines);
        }
      }
    if (!gridGroup->isEmpty()) background->addObject(gridGroup);
  }

  // Commands, in list order, inside the groups the collapsers make.
  {
    std::vector<std::shared_ptr<KRDrawingGroup>> stack;
    auto current = commandsGroup;
    const auto& list = commands();
    for (std::size_t k = whereDrawingCommandsStart(); k < list.size(); ++k) {
      const auto& entry = list[k];
      int kind = entry->collapserType();
      if (kind == 1) {
        if (entry->exclude() || entry->hide()) {
          int depth = 1;
          while (depth > 0 && ++k < list.size()) {
            if (list[k]->collapserType() == 1) ++depth;
            if (list[k]->collapserType() == 2) --depth;
          }
          continue;
        }
        auto group = KRDrawingGroup::create();
        std::string name = entry->commandName();
        group->setDescriptionString(name.empty() ? kUntitledGroup : name);
        if (auto opener = std::dynamic_pointer_cast<VKDrawingCommand>(entry)) {
          // The outline is in points, for the record of the opener's axis
          // pair; the commands inside are already magnified for the screen.
          std::size_t xi = static_cast<std::size_t>(std::max(0, opener->whichXAxis()));
          std::size_t yj = static_cast<std::size_t>(std::max(0, opener->whichYAxis()));
          auto outline = xi < nx && yj < ny ? opener->groupCroppingPath(drawingInfos_[xi][yj]) : nullptr;
          if (outline && !outline->isEmptyPath() && !outline->boundingRectangle().isNull()) {
            if (!independent && scale != 1)
              outline = std::dynamic_pointer_cast<KRDrawingPath>(outline->magnify(scale));
            if (outline) group->setCrop(outline);
          }
        }
        current->addObject(group);
        stack.push_back(current);
        current = group;
        continue;
      }
      if (kind == 2) {
        if (!stack.empty()) {
          current = stack.back();
          stack.pop_back();
        } else {
          current = commandsGroup;
        }
        continue;
      }
      auto command = std::dynamic_pointer_cast<VKDrawingCommand>(entry);
      if (!command || command->exclude() || command->hide()) continue;
      if (dynamic_cast<VKAxisSettings*>(command.get()) || dynamic_cast<VKSingleAxisCommand*>(command.get())) continue;
      if (!command->shouldDrawInStandardView()) continue;
      std::size_t xi = static_cast<std::size_t>(std::max(0, command->whichXAxis()));
      std::size_t yj = static_cast<std::size_t>(std::max(0, command->whichYAxis()));
      if (xi >= nx || yj >= ny) continue;
      auto drawing = command->drawingObjectForScale(drawingInfos_[xi][yj], scale, information_);
      if (!drawing || drawing->isEmpty()) continue;
      std::shared_ptr<KRDrawingBasic> placed = drawing;
      if (command->currentlyDragging()) placed = addSelectionShadow(drawing, 4 * scale);
      (command->drawInTopLayer() ? topLayer : current)->addObject(placed);
    }
  }

  // Axes: every y axis, then every x axis, then break marks, title and box.
  auto axesGroup = KRDrawingGroup::create();
  const int boxStyle = style->boxStyle();
  auto placeAxis = [&](Direction& d, std::size_t i, double offset) {
    AxisPlacement placement;
    placement.side = d.side[i];
    const auto& record = d.x ? *drawingInfos_[i][0] : *drawingInfos_[0][i];
    if (d.x) {
      placement.map = [&record](double v) { return record.transformX(v); };
      placement.position = d.side[i] == AxisSide::Bottom ? plot.minY() - offset : plot.maxY() + offset;
    } else {
      placement.map = [&record](double v) { return record.transformY(v); };
      placement.position = d.side[i] == AxisSide::Left ? plot.minX() - offset : plot.maxX() + offset;
    }
    placement.start = d.pieces[i].start;
    placement.end = d.pieces[i].end();
    return placement;
  };
  auto drawDirection = [&](Direction& d) {
    for (auto which : {d.nearSide(), d.farSide()}) {
      double total = 0;
      auto offsets = d.ringOffsets(which, ringGap, &total);
      double ring0Numbers = d.numbers(which);
      for (std::size_t i = 0; i < d.axes.size(); ++i) {
        if (d.side[i] != which) continue;
        double offset = offsets.empty() ? 0 : offsets[d.ring[i]];
        AxisPlacement placement = placeAxis(d, i, offset);
        AxisContent content = d.content(i);
        content.reservedLabelSpace = d.axes[i].controls().reservedLabelSpace(numberFontSize);
        // The box draws the lines beside the plot area; outer axes draw their own.
        content.drawLine = boxStyle == VKStyleSettings::kAxesOnly || (boxAround && d.ring[i] > 0) ||
                           (boxStyle != VKStyleSettings::kNoBox && !boxAround);
        double titleDistance = d.ring[i] == 0 ? ring0Numbers : d.numberSpace[i];
        auto drawnAxis = calculateAxis(content, look, placement, titleDistance);
        axesGroup->addObject(drawnAxis);
        // A click on the axis (its line, numbers or title) selects its controller.
        KRRect hit = drawnAxis->boundingRectangle();
        if (!hit.isEmpty())
          information_.hitRects.push_back(
              {hit, d.axes[i].command.get(),
               PlistDictionary{{kHitAxis, PropertyList(d.x ? "X" : "Y")},
                               {kHitAxisIndex, PropertyList(static_cast<int>(i))}}});
      }
    }
    // With a box around the graph, the ticks are repeated inside the
    // opposite edge of every panel that has no axis of its own there.
    if (boxAround) {
      for (std::size_t i : d.panels()) {
        if (d.side[i] != d.nearSide()) continue;
        bool farTaken = false;
        for (std::size_t k = 0; k < d.axes.size(); ++k)
          if (d.side[k] == d.farSide() && d.ring[k] == 0 && d.pieces[k].start == d.pieces[i].start) farTaken = true;
        if (farTaken) continue;
        AxisPlacement placement = placeAxis(d, i, 0);
        placement.side = d.farSide();
        placement.position = d.x ? plot.maxY() : plot.maxX();
        auto marks = mirroredTickMarks(d.ticks[i], look, placement);
        if (!marks->isEmpty()) axesGroup->addObject(marks);
      }
    }
    // Break marks where stacked pieces leave a gap in the axis line (with a
    // box every piece has its own frame instead).
    if (d.stacked && boxStyle == VKStyleSettings::kAxesOnly)
      for (std::size_t i = 1; i < d.axes.size(); ++i) {
        double gapStart = d.pieces[i - 1].end(), gapEnd = d.pieces[i].start;
        if (!(gapEnd - gapStart > 0)) continue;
        double lineAt = d.x ? plot.minY() : plot.minX();
        for (double along : {gapStart, gapEnd})
          axesGroup->addObject(breakMark(d.x ? KRPoint{along, lineAt} : KRPoint{lineAt, along}, d.x, look));
      }
  };
  drawDirection(Y);
  drawDirection(X);
  if (auto title = canvas->plotTitleAt(
          {plot.midX(), plot.maxY() + topRoom + commandsTitle + std::round(titleFontSize / 4)},
                                       *style))
    axesGroup->addObject(title);
  if (boxAround) {
    KRBezierPath border;
    double padding = style->drawBoxAroundEachAxis() ? style->drawBoxPadding() : 0;
    for (const auto& panel : panels) border.appendRect(panel.insetBy(-padding, -padding));
    auto path = KRDrawingPathBezier::withPath(std::make_shared<KRBezierPath>(std::move(border)));
    path->setStyle(style->lineStyleForBox());
    path->setDescriptionString(kBorder);
    axesGroup->addObject(path);
  }
  (style->drawAxisOnTop() ? foreground : background)->addObject(axesGroup);

  // Foreground.
  if (selectionRectangle_) {
    auto selection = KRDrawingPathRectangle::createWithRect(*selectionRectangle_);
    selection->setStyle(KRDrawingStyleCurve::createWithColor(kSelectionColor, 1));
    foreground->addObject(selection);
  }
  if (auto fill = canvas->addForeground(page, independent)) foreground->addObject(fill);

  // Assemble.
  auto magnified = [&](const std::shared_ptr<KRDrawingGroup>& group) -> std::shared_ptr<KRDrawingBasic> {
    if (independent || scale == 1) return group;
    return group->magnify(scale);
  };
  result->addObject(magnified(background));
  result->addObject(commandsGroup);
  result->addObject(magnified(foreground));
  if (!topLayer->isEmpty()) result->addObject(topLayer);
  result->setGroupFrame(page);

  if (printTiming_ || shouldPrintTiming()) {
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    char text[64];
    std::snprintf(text, sizeof text, "%g", seconds);
    std::string message = kTimingMessage;
    message.replace(message.find("%@"), 2, std::to_string(serialNumber_));
    message.replace(message.find("%g"), 2, text);
    KRMessageCenter::addMessage(message);
  }
  return hand(result);
}

}  // namespace orrelin
