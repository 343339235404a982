#include "axes/AxisDrawing.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <mutex>
#include <unordered_map>

#include "drawing/KRDrawingPath.h"
#include "drawing/KRPathGeometry.h"
#include "mathtext/KRDrawingExpressionText.h"

namespace orrelin {

namespace {

// Typesetting a label to learn its size is most of what laying out an axis
// costs, and the same labels come back pass after pass; their sizes are kept
// by font and text (a bounded table, emptied when full).
KRSize labelSize(const std::string& text, const KRDrawingStyleFont& font) {
  static std::mutex lock;
  static std::unordered_map<std::string, KRSize> sizes;
  // The size in its shortest exact form: sizes that differ get keys that do.
  char points[32];
  char* pointsEnd = std::to_chars(points, points + sizeof points, font.fontSize()).ptr;
  std::string key = font.fontName() + '\n' + std::string(points, pointsEnd) + '\n' + text;
  {
    std::lock_guard<std::mutex> guard(lock);
    if (auto found = sizes.find(key); found != sizes.end()) return found->second;
  }
  KRSize size = KRDrawingExpressionText::sizeOfString(text, font);
  std::lock_guard<std::mutex> guard(lock);
  if (sizes.size() >= 4096) sizes.clear();
  sizes.emplace(std::move(key), size);
  return size;
}

// Unit vector from the axis line away from the plot area.
KRPoint outward(AxisSide side) {
  switch (side) {
    case AxisSide::Bottom: return {0, -1};
    case AxisSide::Top: return {0, 1};
    case AxisSide::Left: return {-1, 0};
    case AxisSide::Right: return {1, 0};
  }
  return {0, -1};
}

// The page point of the axis at a coordinate along it, moved out by distance.
KRPoint pointAt(const AxisPlacement& placement, double along, double distance) {
  KRPoint out = outward(placement.side);
  if (isHorizontal(placement.side)) return {along, placement.position + out.y * distance};
  return {placement.position + out.x * distance, along};
}

bool inside(const AxisPlacement& placement, double along) {
  double low = std::min(placement.start, placement.end);
  double high = std::max(placement.start, placement.end);
  return std::isfinite(along) && along >= low - 0.5 && along <= high + 0.5;
}

std::shared_ptr<KRDrawingStyleCurve> strokeStyle(const AxisLook& look, KRLineCap cap) {
  auto style = KRDrawingStyleCurve::createWithColor(look.color, look.lineWidth);
  style->changeLineCap(cap);
  style->changeLineJoin(KRLineJoin::Miter);
  return style;
}

// Tick marks at the values, from `from` to `to` along the outward direction.
void addTicks(KRBezierPath& path, const std::vector<double>& values, const AxisPlacement& placement, double from,
              double to) {
  for (double value : values) {
    double along = placement.map(value);
    if (!inside(placement, along)) continue;
    path.moveTo(pointAt(placement, along, from));
    path.lineTo(pointAt(placement, along, to));
  }
}

// The outward extent of a label written beside the axis.
double labelExtent(KRSize size, AxisSide side, LabelOrientation orientation) {
  if (!isHorizontal(side)) return size.width;
  switch (orientation) {
    case LabelOrientation::Vertical: return size.width;
    case LabelOrientation::Slanted: return (size.width + size.height) * std::sqrt(0.5);
    default: return size.height;
  }
}

double largestLabelExtent(const AxisContent& content, const AxisLook& look, AxisSide side) {
  double extent = 0;
  for (const auto& label : content.ticks->axis->majorTickMarkLabels())
    if (!label.empty())
      extent = std::max(extent, labelExtent(labelSize(label, *look.numberFont), side,
                                            content.orientation));
  return extent;
}

double secondLineExtent(const AxisContent& content, const AxisLook& look) {
  double extent = 0;
  for (const auto& label : content.ticks->secondLine)
    if (!label.text.empty())
      extent = std::max(extent, labelSize(label.text, *look.numberFont).height);
  return extent;
}

double finiteOr0(double value) { return std::isfinite(value) ? value : 0; }

// Where the title sits along the axis and which of its ends lies there.
// Vertical titles read upwards, so their start is at the bottom too.
struct TitleAnchor {
  double along;
  unsigned alignment;
};
TitleAnchor titleAnchor(const AxisContent& content, const AxisPlacement& placement) {
  TitleAnchor anchor{(placement.start + placement.end) / 2, KRTextAlignment::Center};
  if (content.titlePlace == AxisContent::TitlePlace::AtStart) {
    anchor = {std::min(placement.start, placement.end), KRTextAlignment::Left};
  } else if (content.titlePlace == AxisContent::TitlePlace::AtEnd) {
    anchor = {std::max(placement.start, placement.end), KRTextAlignment::Right};
  }
  anchor.along += finiteOr0(content.titleShift);
  return anchor;
}

bool hasLabels(const AxisContent& content) {
  return content.drawLabels && content.ticks && content.ticks->axis &&
         !content.ticks->axis->majorTickMarkLabels().empty();
}

}  // namespace

double AxisLook::numberFontSize() const { return numberFont ? numberFont->fontSize() : 12; }

double AxisLook::majorTickLength() const { return std::max(3.0, std::round(numberFontSize() / 3)); }

double AxisLook::numberGap() const { return std::round(numberFontSize() / 4); }

double AxisLook::titleGap() const { return std::round(numberFontSize() / 3); }

double AxisLook::tickOutside() const {
  switch (tickStyle) {
    case 2: return 0;
    case 3: return majorTickLength() / 2;
    default: return majorTickLength();
  }
}

double tickAndNumberSpace(const AxisContent& content, const AxisLook& look, AxisSide side) {
  double space = look.tickOutside();
  if (!content.drawLabels || !content.ticks || !content.ticks->axis) return space;
  double labels = content.reservedLabelSpace ? *content.reservedLabelSpace : largestLabelExtent(content, look, side);
  if (labels <= 0 && content.ticks->secondLine.empty()) return space;
  space += look.numberGap() + labels;
  if (isHorizontal(side)) {
    double second = secondLineExtent(content, look);
    if (second > 0) space += 0.2 * look.numberFontSize() + second;
  }
  return std::ceil(space);
}

double spacingForCrowdedLabels(const AxisContent& content, const AxisLook& look, AxisSide side,
                               const std::function<double(double)>& map) {
  if (!hasLabels(content)) return 0;
  const auto& labels = content.ticks->axis->majorTickMarkLabels();
  std::vector<double> values = content.ticks->axis->labelValues();
  const bool along = isHorizontal(side) && content.orientation == LabelOrientation::Horizontal;
  struct Placed {
    double at, extent;
  };
  std::vector<Placed> placed;
  for (std::size_t i = 0; i < labels.size() && i < values.size(); ++i) {
    if (labels[i].empty()) continue;
    double at = map(values[i]);
    if (!std::isfinite(at)) continue;
    KRSize size = labelSize(labels[i], *look.numberFont);
    placed.push_back({at, along ? size.width : size.height});
  }
  std::sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) { return a.at < b.at; });
  const double gap = look.numberFontSize() * (along ? 0.5 : 0.25);
  double needed = 0;
  bool crowded = false;
  for (std::size_t i = 1; i < placed.size(); ++i) {
    double distance = placed[i].at - placed[i - 1].at;
    double wanted = (placed[i].extent + placed[i - 1].extent) / 2 + gap;
    if (distance < wanted) crowded = true;
    needed = std::max(needed, wanted);
  }
  return crowded ? needed : 0;
}

LabelOverhang labelOverhang(const AxisContent& content, const AxisLook& look, const AxisPlacement& placement) {
  LabelOverhang overhang;
  if (!hasLabels(content)) return overhang;
  const double low = std::min(placement.start, placement.end);
  const double high = std::max(placement.start, placement.end);
  auto reach = [&](double from, double to) {
    overhang.low = std::max(overhang.low, low - from);
    overhang.high = std::max(overhang.high, to - high);
  };
  const AxisSide side = placement.side;
  const auto& labels = content.ticks->axis->majorTickMarkLabels();
  std::vector<double> values = content.ticks->axis->labelValues();
  const double diagonal = std::sqrt(0.5);
  for (std::size_t i = 0; i < labels.size() && i < values.size(); ++i) {
    if (labels[i].empty()) continue;
    double along = placement.map(values[i]);
    if (!inside(placement, along)) continue;
    KRSize size = labelSize(labels[i], *look.numberFont);
    if (!isHorizontal(side) || content.orientation == LabelOrientation::Vertical) {
      reach(along - size.height / 2, along + size.height / 2);
    } else if (content.orientation == LabelOrientation::Slanted) {
      // Slanted numbers end at their tick and run down to the left below
      // the axis, up to the right above it.
      double across = size.height / 2 * diagonal, length = size.width * diagonal + across;
      if (side == AxisSide::Bottom)
        reach(along - length, along + across);
      else
        reach(along - across, along + length);
    } else {
      reach(along - size.width / 2, along + size.width / 2);
    }
  }
  // The second date line is centred on the part of its span that shows.
  if (isHorizontal(side))
    for (const auto& label : content.ticks->secondLine) {
      if (label.text.empty()) continue;
      double a = placement.map(label.spanStart), b = placement.map(label.spanEnd);
      double from = std::max(low, std::min(a, b)), to = std::min(high, std::max(a, b));
      double along = from <= to ? (from + to) / 2 : placement.map(label.position);
      if (!inside(placement, along)) continue;
      double half = labelSize(label.text, *look.numberFont).width / 2;
      reach(along - half, along + half);
    }
  return overhang;
}

double titleSpace(const std::string& title, const AxisLook& look) {
  if (title.empty() || !look.titleFont) return 0;
  KRSize size = labelSize(title, *look.titleFont);
  return std::ceil(look.titleGap() + size.height);
}

KRRect axisArea(const AxisContent& content, const AxisLook& look, const AxisPlacement& placement,
                double titleDistance) {
  if (!placement.map) return {};
  double low = std::min(placement.start, placement.end);
  double high = std::max(placement.start, placement.end);
  LabelOverhang overhang = labelOverhang(content, look, placement);
  low -= overhang.low;
  high += overhang.high;
  double near = 0;
  double far = tickAndNumberSpace(content, look, placement.side);
  if (!content.title.empty() && look.titleFont) {
    KRSize size = labelSize(content.title, *look.titleFont);
    double from = titleDistance + look.titleGap() + finiteOr0(content.titleOffset);
    near = std::min(near, from);
    far = std::max(far, from + size.height);
    TitleAnchor anchor = titleAnchor(content, placement);
    double start = anchor.alignment == KRTextAlignment::Left    ? anchor.along
                   : anchor.alignment == KRTextAlignment::Right ? anchor.along - size.width
                                                                : anchor.along - size.width / 2;
    low = std::min(low, start);
    high = std::max(high, start + size.width);
  }
  KRPoint a = pointAt(placement, low, near), b = pointAt(placement, high, far);
  return KRRect(std::min(a.x, b.x), std::min(a.y, b.y), std::fabs(b.x - a.x), std::fabs(b.y - a.y));
}

std::shared_ptr<KRDrawingGroup> calculateAxis(const AxisContent& content, const AxisLook& look,
                                              const AxisPlacement& placement, double titleDistance) {
  auto group = KRDrawingGroup::create();
  const AxisSide side = placement.side;

  if (content.drawLine) {
    KRBezierPath line;
    line.moveTo(pointAt(placement, placement.start, 0));
    line.lineTo(pointAt(placement, placement.end, 0));
    auto path = KRDrawingPathBezier::withPath(std::make_shared<KRBezierPath>(std::move(line)));
    path->setStyle(strokeStyle(look, KRLineCap::Square));
    group->addObject(path);
  }

  const KRAxis* axis = content.ticks && content.ticks->axis ? content.ticks->axis.get() : nullptr;
  if (axis) {
    double major = look.majorTickLength();
    double minor = look.minorTickLength();
    auto range = [&](double length) -> std::pair<double, double> {
      switch (look.tickStyle) {
        case 2: return {-length, 0};
        case 3: return {-length / 2, length / 2};
        default: return {0, length};
      }
    };
    KRBezierPath ticks;
    auto [majorFrom, majorTo] = range(major);
    auto [minorFrom, minorTo] = range(minor);
    addTicks(ticks, axis->majorTickMarks(), placement, majorFrom, majorTo);
    addTicks(ticks, axis->minorTickMarks(), placement, minorFrom, minorTo);
    auto [veryFrom, veryTo] = range(major * 1.5);
    addTicks(ticks, axis->veryMajorTickMarks(), placement, veryFrom, veryTo);
    if (!ticks.elements().empty()) {
      auto path = KRDrawingPathBezier::withPath(std::make_shared<KRBezierPath>(std::move(ticks)));
      path->setStyle(strokeStyle(look, KRLineCap::Butt));
      group->addObject(path);
    }
  }

  if (hasLabels(content)) {
    const auto& labels = axis->majorTickMarkLabels();
    std::vector<double> values = axis->labelValues();
    double distance = look.tickOutside() + look.numberGap();
    double rotation = 0;
    unsigned alignment = KRTextAlignment::Center;
    int vAlignment = KRTextVerticalAlignment::VCenter;
    switch (side) {
      case AxisSide::Bottom:
      case AxisSide::Top: {
        bool bottom = side == AxisSide::Bottom;
        if (content.orientation == LabelOrientation::Vertical) {
          rotation = 90;
          alignment = bottom ? KRTextAlignment::Right : KRTextAlignment::Left;
        } else if (content.orientation == LabelOrientation::Slanted) {
          rotation = 45;
          alignment = bottom ? KRTextAlignment::Right : KRTextAlignment::Left;
        } else {
          vAlignment = bottom ? KRTextVerticalAlignment::Top : KRTextVerticalAlignment::Bottom;
        }
        break;
      }
      case AxisSide::Left: alignment = KRTextAlignment::Right; break;
      case AxisSide::Right: alignment = KRTextAlignment::Left; break;
    }
    auto numbers = KRDrawingGroup::create();
    double firstLine = 0;
    for (std::size_t i = 0; i < labels.size() && i < values.size(); ++i) {
      if (labels[i].empty()) continue;
      double along = placement.map(values[i]);
      if (!inside(placement, along)) continue;
      numbers->addObject(KRDrawingExpressionText::string(labels[i], pointAt(placement, along, distance),
                                                         look.numberFont, alignment, vAlignment, rotation));
      firstLine = std::max(firstLine, labelSize(labels[i], *look.numberFont).height);
    }
    // The second line of date labels sits under the first, centred on the
    // part of its span that the axis shows.
    if (isHorizontal(side) && !content.ticks->secondLine.empty()) {
      double low = std::min(placement.start, placement.end);
      double high = std::max(placement.start, placement.end);
      double lineDistance = distance + firstLine + 0.2 * look.numberFontSize();
      for (const auto& label : content.ticks->secondLine) {
        if (label.text.empty()) continue;
        double a = placement.map(label.spanStart), b = placement.map(label.spanEnd);
        double from = std::max(low, std::min(a, b)), to = std::min(high, std::max(a, b));
        double along = from <= to ? (from + to) / 2 : placement.map(label.position);
        if (!inside(placement, along)) continue;
        numbers->addObject(KRDrawingExpressionText::string(
            label.text, pointAt(placement, along, lineDistance), look.numberFont, KRTextAlignment::Center,
            side == AxisSide::Bottom ? KRTextVerticalAlignment::Top : KRTextVerticalAlignment::Bottom));
      }
    }
    if (!numbers->isEmpty()) group->addObject(numbers);
  }

  if (!content.title.empty() && look.titleFont) {
    TitleAnchor anchor = titleAnchor(content, placement);
    KRPoint at = pointAt(placement, anchor.along, titleDistance + look.titleGap() + finiteOr0(content.titleOffset));
    const unsigned alignment = anchor.alignment;
    // Titles of vertical axes read upwards; their foot faces the plot area
    // on the left and their head on the right.
    int vAlignment = KRTextVerticalAlignment::Top;
    double rotation = 0;
    switch (side) {
      case AxisSide::Bottom: vAlignment = KRTextVerticalAlignment::Top; break;
      case AxisSide::Top: vAlignment = KRTextVerticalAlignment::Bottom; break;
      case AxisSide::Left: vAlignment = KRTextVerticalAlignment::Bottom; rotation = 90; break;
      case AxisSide::Right: vAlignment = KRTextVerticalAlignment::Top; rotation = 90; break;
    }
    group->addObject(KRDrawingExpressionText::multiLineString(content.title, at, look.titleFont, std::nullopt,
                                                              alignment, alignment, vAlignment, rotation,
                                                              std::nullopt));
  }
  return group;
}

std::shared_ptr<KRDrawingGroup> mirroredTickMarks(const AxisTicks& ticks, const AxisLook& look,
                                                  const AxisPlacement& placement) {
  auto group = KRDrawingGroup::create();
  if (!ticks.axis) return group;
  // Outward for the mirrored side is into the plot area, so the marks run
  // from the line inwards (negative distances).
  KRBezierPath path;
  double major = look.majorTickLength(), minor = look.minorTickLength();
  addTicks(path, ticks.axis->majorTickMarks(), placement, -major, 0);
  addTicks(path, ticks.axis->minorTickMarks(), placement, -minor, 0);
  addTicks(path, ticks.axis->veryMajorTickMarks(), placement, -major * 1.5, 0);
  if (path.elements().empty()) return group;
  auto drawn = KRDrawingPathBezier::withPath(std::make_shared<KRBezierPath>(std::move(path)));
  drawn->setStyle(strokeStyle(look, KRLineCap::Butt));
  group->addObject(drawn);
  return group;
}

std::shared_ptr<KRDrawingGroup> gridLines(const AxisTicks& ticks, bool horizontalAxis,
                                          const std::function<double(double)>& map, const KRRect& across,
                                          const std::shared_ptr<KRDrawingStyleCurve>& majorStyle,
                                          const std::shared_ptr<KRDrawingStyleCurve>& minorStyle) {
  auto group = KRDrawingGroup::create();
  if (!ticks.axis || across.isEmpty()) return group;
  auto lines = [&](const std::vector<double>& values, const std::shared_ptr<KRDrawingStyleCurve>& style) {
    if (!style || values.empty()) return;
    KRBezierPath path;
    double low = horizontalAxis ? across.minX() : across.minY();
    double high = horizontalAxis ? across.maxX() : across.maxY();
    for (double value : values) {
      double at = map(value);
      if (!std::isfinite(at) || at < low - 0.5 || at > high + 0.5) continue;
      if (horizontalAxis) {
        path.moveTo({at, across.minY()});
        path.lineTo({at, across.maxY()});
      } else {
        path.moveTo({across.minX(), at});
        path.lineTo({across.maxX(), at});
      }
    }
    if (path.elements().empty()) return;
    auto drawn = KRDrawingPathBezier::withPath(std::make_shared<KRBezierPath>(std::move(path)));
    drawn->setStyle(style);
    group->addObject(drawn);
  };
  // Minor lines first so that the major ones lie on top.
  lines(ticks.axis->minorTickMarks(), minorStyle);
  std::vector<double> major = ticks.axis->majorTickMarks();
  major.insert(major.end(), ticks.axis->veryMajorTickMarks().begin(), ticks.axis->veryMajorTickMarks().end());
  lines(major, majorStyle);
  return group;
}

double widthOfBreakLine(const AxisLook& look) { return std::round(look.numberFontSize() / 3); }

double heightOfBreakLine(const AxisLook& look) { return std::round(look.numberFontSize() * 2 / 3); }

std::shared_ptr<KRDrawingBasic> breakMark(KRPoint at, bool horizontalAxis, const AxisLook& look) {
  double w = widthOfBreakLine(look) / 2, h = heightOfBreakLine(look) / 2;
  double gap = std::max(1.5, look.lineWidth * 1.5);
  KRBezierPath path;
  for (double offset : {-gap, gap}) {
    if (horizontalAxis) {
      path.moveTo({at.x + offset - w, at.y - h});
      path.lineTo({at.x + offset + w, at.y + h});
    } else {
      path.moveTo({at.x - h, at.y + offset - w});
      path.lineTo({at.x + h, at.y + offset + w});
    }
  }
  auto drawn = KRDrawingPathBezier::withPath(std::make_shared<KRBezierPath>(std::move(path)));
  drawn->setStyle(strokeStyle(look, KRLineCap::Butt));
  return drawn;
}

std::shared_ptr<KRDrawingStyleCurve> curveStyleForLine(const VKLineStyle& line) {
  if (line.tag == 1) return nullptr;
  double width = std::isfinite(line.width) && line.width > 0 ? std::min(line.width, 300.0) : 1;
  auto style = KRDrawingStyleCurve::createWithColor(line.color, width);
  // Dash patterns in units of the line width: long dashes, short dashes,
  // dots, dash-dot and their wider spaced versions.
  static const float patterns[][4] = {{6, 3, 0, 0}, {3, 3, 0, 0}, {1, 2, 0, 0}, {6, 2, 1, 2},
                                      {9, 4, 0, 0}, {4, 4, 0, 0}, {1, 4, 0, 0}, {9, 3, 2, 3}};
  static const int sizes[] = {2, 2, 2, 4, 2, 2, 2, 4};
  if (line.tag >= 3 && line.tag <= 10) {
    int which = line.tag - 3;
    float scaled[4];
    float unit = static_cast<float>(std::max(width, 0.5));
    for (int i = 0; i < 4; ++i) scaled[i] = patterns[which][i] * unit;
    style->setDashPattern(scaled, sizes[which], 0);
  }
  return style;
}

}  // namespace orrelin
