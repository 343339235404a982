#include "commands/Markers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_set>

#include "drawing/KRDrawingBitmap.h"
#include "drawing/KRDrawingCollections.h"
#include "drawing/KRDrawingOutput.h"
#include "drawing/KRDrawingPath.h"
#include "drawing/KRDrawingRepeated.h"
#include "drawing/KRDrawingStyle.h"

namespace orrelin {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Side of a square with the area of the unit circle, halved: the box and the
// diamond have the area of the circle of the same size.
const double kHalfBoxSide = std::sqrt(kPi) / 2;
// Distance from the centre to a corner of an equilateral triangle with the
// area of the unit circle.
const double kTriangleCorner = std::sqrt(4 * kPi / (3 * std::sqrt(3.0)));
// Outer and inner radius of the five-pointed star, and the arm of the line
// markers, in units of the radius.
constexpr double kStarOuter = 1.3;
constexpr double kStarInner = kStarOuter * 0.381966;
constexpr double kArm = 1.2;

std::vector<VKMenuEntry> makeMenu(bool withCircleVariants) {
  std::vector<VKMenuEntry> menu = {{1, "No Point"}, {2, "Circle"}, {3, "Solid Circle"}};
  if (withCircleVariants) {
    menu.insert(menu.end(), {{28, "Right"}, {29, "Bottom"}, {30, "Left"}, {31, "Top"}, {32, "15"}, {33, "45"},
                             {34, "60"}});
  }
  menu.insert(menu.end(), {{4, "Triangle"},
                           {5, "Solid Triangle"},
                           {16, "Triangle Down"},
                           {17, "Solid Triangle Down"},
                           {18, "Triangle Left"},
                           {19, "Solid Triangle Left"},
                           {20, "Triangle Right"},
                           {21, "Solid Triangle Right"},
                           {6, "Box"},
                           {7, "Solid Box"},
                           {12, "Left Box"},
                           {13, "Right Box"},
                           {14, "Up Box"},
                           {15, "Down Box"},
                           {8, "Diamond"},
                           {9, "Solid Diamond"},
                           {22, "Star"},
                           {23, "Filled Star"},
                           {10, "Plus"},
                           {11, "Cross"},
                           {24, "Horizontal"},
                           {25, "Vertical"},
                           {26, "Male"},
                           {27, "Female"}});
  return menu;
}

KRPoint at(KRPoint c, double r, double angle, double distance) {
  return {c.x + r * distance * std::cos(angle), c.y + r * distance * std::sin(angle)};
}

void polygon(KRBezierPath& path, const std::vector<KRPoint>& corners) {
  path.moveTo(corners.front());
  for (std::size_t i = 1; i < corners.size(); ++i) path.lineTo(corners[i]);
  path.closePath();
}

void segment(KRBezierPath& path, KRPoint from, KRPoint to) {
  path.moveTo(from);
  path.lineTo(to);
}

void circle(KRBezierPath& path, KRPoint c, double r) {
  path.appendOval(KRRect(c.x - r, c.y - r, 2 * r, 2 * r));
}

// The equilateral triangle with its apex in the direction (radians).
std::vector<KRPoint> triangle(KRPoint c, double r, double direction) {
  return {at(c, r, direction, kTriangleCorner), at(c, r, direction + 2 * kPi / 3, kTriangleCorner),
          at(c, r, direction + 4 * kPi / 3, kTriangleCorner)};
}

std::vector<KRPoint> box(KRPoint c, double r) {
  double h = r * kHalfBoxSide;
  return {{c.x - h, c.y - h}, {c.x + h, c.y - h}, {c.x + h, c.y + h}, {c.x - h, c.y + h}};
}

std::vector<KRPoint> diamond(KRPoint c, double r) {
  double h = r * kHalfBoxSide * std::sqrt(2.0);
  return {{c.x, c.y - h}, {c.x + h, c.y}, {c.x, c.y + h}, {c.x - h, c.y}};
}

std::vector<KRPoint> star(KRPoint c, double r) {
  std::vector<KRPoint> corners;
  for (int i = 0; i < 10; ++i)
    corners.push_back(at(c, r, kPi / 2 + i * kPi / 5, i % 2 == 0 ? kStarOuter : kStarInner));
  return corners;
}

// The half disc on the side the angle points to.
void halfDisc(KRBezierPath& path, KRPoint c, double r, double direction) {
  KRPoint start = at(c, r, direction - kPi / 2, 1);
  path.moveTo(start);
  path.appendArc(c, r, direction - kPi / 2, direction + kPi / 2, false);
  path.closePath();
}

// The half box on the side the angle points to (a multiple of a right angle).
void halfBox(KRBezierPath& path, KRPoint c, double r, int side) {
  double h = r * kHalfBoxSide;
  double x0 = c.x - h, x1 = c.x + h, y0 = c.y - h, y1 = c.y + h;
  switch (side) {
    case 0: x0 = c.x; break;  // right
    case 1: y0 = c.y; break;  // top
    case 2: x1 = c.x; break;  // left
    default: y1 = c.y; break; // bottom
  }
  polygon(path, {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

void append(KRBezierPath& to, const KRBezierPath& from) {
  for (const auto& e : from.elements()) {
    switch (e.type) {
      case KRBezierPath::ElementType::MoveTo: to.moveTo(e.points[0]); break;
      case KRBezierPath::ElementType::LineTo: to.lineTo(e.points[0]); break;
      case KRBezierPath::ElementType::QuadCurveTo: to.quadCurveTo(e.points[0], e.points[1]); break;
      case KRBezierPath::ElementType::CurveTo: to.curveTo(e.points[0], e.points[1], e.points[2]); break;
      case KRBezierPath::ElementType::ClosePath: to.closePath(); break;
    }
  }
}

std::shared_ptr<KRDrawingPathBezier> pathOf(const KRBezierPath& path, std::shared_ptr<KRDrawingStyleCurve> style) {
  if (path.isEmpty()) return nullptr;
  auto drawn = KRDrawingPathBezier::withPath(std::make_shared<KRBezierPath>(path));
  if (drawn) drawn->setStyle(std::move(style));
  return drawn;
}

std::shared_ptr<KRDrawingStyleCurve> strokeStyle(const VKMarkerLook& look) {
  auto style = KRDrawingStyleCurve::createWithColor(look.lineColor, look.lineWidth);
  style->changeLineJoin(KRLineJoin::Miter);
  style->changeLineCap(KRLineCap::Butt);
  return style;
}

// Paints the parts in order: interior, solid, outline.
void addParts(KRDrawingGroup& group, const VKMarkerParts& parts, const VKMarkerLook& look) {
  if (look.fillColor)
    if (auto p = pathOf(parts.interior, KRDrawingStyleCurve::color(*look.fillColor, true))) group.addObject(p);
  if (auto p = pathOf(parts.solid, KRDrawingStyleCurve::color(look.lineColor, true))) group.addObject(p);
  if (look.lineWidth > 0)
    if (auto p = pathOf(parts.stroked, strokeStyle(look))) group.addObject(p);
}

std::shared_ptr<KRDrawingPathCircleCollection> circles(const std::vector<float>& xyr, bool fill,
                                                       std::shared_ptr<KRDrawingStyleCurve> style) {
  if (xyr.empty()) return nullptr;
  auto array = KRFloatArrayContainer::createArrayOfSizeM(3, static_cast<long>(xyr.size() / 3));
  std::copy(xyr.begin(), xyr.end(), array->mutablePointer());
  auto collection = KRDrawingPathCircleCollection::createFromArray(array);
  if (!collection) return nullptr;
  collection->setFillCurve(fill);
  collection->setStyle(std::move(style));
  return collection;
}

// How far a marker of the radius reaches from its centre, line included.
double reach(double radius, double lineWidth) { return radius * kStarOuter * 1.01 + lineWidth + 1; }

}  // namespace

const std::vector<VKMenuEntry>& VKMarkers::pointMenu() {
  static const std::vector<VKMenuEntry> menu = makeMenu(true);
  return menu;
}

std::vector<VKMenuEntry> VKMarkers::substituteItemsInPointMenu(const std::vector<VKMenuEntry>& menu) {
  std::vector<VKMenuEntry> result;
  result.reserve(menu.size());
  for (const auto& item : menu)
    for (const auto& marker : pointMenu())
      if (marker.tag == item.tag) {
        result.push_back(marker);
        break;
      }
  return result;
}

const std::vector<VKMenuEntry>& VKMarkers::plotMenu() {
  static const std::vector<VKMenuEntry> menu = makeMenu(false);
  return menu;
}

double VKMarkers::sizeOfSetting(const std::string& typed, double value) {
  if (typed.find_first_not_of(" \t") == std::string::npos) return 5;
  if (!std::isfinite(value) || value == 0) return 4;
  return std::min(value, 300.0);
}

bool VKMarkers::isMarkerTag(int tag) { return tag >= kMarkerNoPoint && tag <= kMarkerAngle60; }

bool VKMarkers::typeHasFill(int type) {
  return type == kMarkerCircle || type == kMarkerTriangle || type == kMarkerBox || type == kMarkerDiamond;
}

bool VKMarkers::isCircleType(int type) {
  return type == kMarkerCircle || type == kMarkerSolidCircle || (type >= kMarkerRightHalf && type <= kMarkerAngle60);
}

double VKMarkers::drawnRadius(double radius) { return std::fabs(radius) > kMaxRadius ? kStandInRadius : radius; }

void VKMarkers::addMarker(VKMarkerParts& parts, int type, KRPoint c, double r) {
  switch (type) {
    case kMarkerCircle:
      circle(parts.stroked, c, r);
      circle(parts.interior, c, r);
      break;
    case kMarkerSolidCircle:
      circle(parts.stroked, c, r);
      circle(parts.solid, c, r);
      break;
    case kMarkerRightHalf:
    case kMarkerTopHalf:
    case kMarkerLeftHalf:
    case kMarkerBottomHalf: {
      // Right 28, Bottom 29, Left 30, Top 31.
      static const double direction[] = {0, -kPi / 2, kPi, kPi / 2};
      circle(parts.stroked, c, r);
      halfDisc(parts.solid, c, r, direction[type - kMarkerRightHalf]);
      break;
    }
    case kMarkerAngle15:
    case kMarkerAngle45:
    case kMarkerAngle60: {
      static const double degrees[] = {15, 45, 60};
      double angle = degrees[type - kMarkerAngle15] * kPi / 180;
      circle(parts.stroked, c, r);
      segment(parts.stroked, at(c, r, angle + kPi, 1), at(c, r, angle, 1));
      break;
    }
    case kMarkerTriangle:
    case kMarkerSolidTriangle:
    case kMarkerTriangleDown:
    case kMarkerSolidTriangleDown:
    case kMarkerTriangleLeft:
    case kMarkerSolidTriangleLeft:
    case kMarkerTriangleRight:
    case kMarkerSolidTriangleRight: {
      double direction = kPi / 2;
      if (type == kMarkerTriangleDown || type == kMarkerSolidTriangleDown) direction = -kPi / 2;
      if (type == kMarkerTriangleLeft || type == kMarkerSolidTriangleLeft) direction = kPi;
      if (type == kMarkerTriangleRight || type == kMarkerSolidTriangleRight) direction = 0;
      auto corners = triangle(c, r, direction);
      polygon(parts.stroked, corners);
      if (type == kMarkerTriangle)
        polygon(parts.interior, corners);
      else if (type == kMarkerSolidTriangle || type == kMarkerSolidTriangleDown || type == kMarkerSolidTriangleLeft ||
               type == kMarkerSolidTriangleRight)
        polygon(parts.solid, corners);
      break;
    }
    case kMarkerBox:
    case kMarkerSolidBox:
      polygon(parts.stroked, box(c, r));
      polygon(type == kMarkerBox ? parts.interior : parts.solid, box(c, r));
      break;
    case kMarkerLeftBox:
    case kMarkerRightBox:
    case kMarkerUpBox:
    case kMarkerDownBox: {
      static const int side[] = {2, 0, 1, 3};
      polygon(parts.stroked, box(c, r));
      halfBox(parts.solid, c, r, side[type - kMarkerLeftBox]);
      break;
    }
    case kMarkerDiamond:
    case kMarkerSolidDiamond:
      polygon(parts.stroked, diamond(c, r));
      polygon(type == kMarkerDiamond ? parts.interior : parts.solid, diamond(c, r));
      break;
    case kMarkerStar:
    case kMarkerFilledStar:
      polygon(parts.stroked, star(c, r));
      if (type == kMarkerFilledStar) polygon(parts.solid, star(c, r));
      break;
    case kMarkerPlus:
      segment(parts.stroked, {c.x - kArm * r, c.y}, {c.x + kArm * r, c.y});
      segment(parts.stroked, {c.x, c.y - kArm * r}, {c.x, c.y + kArm * r});
      break;
    case kMarkerCross:
      segment(parts.stroked, at(c, r, 5 * kPi / 4, kArm), at(c, r, kPi / 4, kArm));
      segment(parts.stroked, at(c, r, 3 * kPi / 4, kArm), at(c, r, -kPi / 4, kArm));
      break;
    case kMarkerHorizontal:
      segment(parts.stroked, {c.x - kArm * r, c.y}, {c.x + kArm * r, c.y});
      break;
    case kMarkerVertical:
      segment(parts.stroked, {c.x, c.y - kArm * r}, {c.x, c.y + kArm * r});
      break;
    case kMarkerMale: {
      // A ring low on the left with an arrow leaving it to the upper right.
      KRPoint ring{c.x - 0.3 * r, c.y - 0.3 * r};
      double ringRadius = 0.7 * r;
      circle(parts.stroked, ring, ringRadius);
      KRPoint tip{c.x + r, c.y + r};
      segment(parts.stroked, at(ring, ringRadius, kPi / 4, 1), tip);
      segment(parts.stroked, {tip.x - 0.55 * r, tip.y}, tip);
      segment(parts.stroked, {tip.x, tip.y - 0.55 * r}, tip);
      break;
    }
    case kMarkerFemale: {
      // A ring high in the middle, a stem down from it and a bar across the stem.
      KRPoint ring{c.x, c.y + 0.35 * r};
      double ringRadius = 0.65 * r;
      circle(parts.stroked, ring, ringRadius);
      segment(parts.stroked, {c.x, ring.y - ringRadius}, {c.x, c.y - 1.2 * r});
      segment(parts.stroked, {c.x - 0.45 * r, c.y - 0.8 * r}, {c.x + 0.45 * r, c.y - 0.8 * r});
      break;
    }
    default:
      break;
  }
}

namespace {

// Circle markers of a chunk: the fill, the solid discs and the outline as
// circle collections, the half discs and diameters of the variants as paths.
void addCircleChunk(KRDrawingGroup& group, const std::vector<KRPoint>& centres, const std::vector<double>& radii,
                    const VKMarkerLook& look) {
  std::vector<float> xyr;
  xyr.reserve(centres.size() * 3);
  VKMarkerParts extra;
  for (std::size_t i = 0; i < centres.size(); ++i) {
    xyr.insert(xyr.end(), {static_cast<float>(centres[i].x), static_cast<float>(centres[i].y),
                           static_cast<float>(radii[i])});
    if (look.type >= kMarkerRightHalf) {
      VKMarkerParts one;
      VKMarkers::addMarker(one, look.type, centres[i], radii[i]);
      // The ring itself comes from the collection.
      append(extra.solid, one.solid);
      if (look.type >= kMarkerAngle15) {
        static const double degrees[] = {15, 45, 60};
        double angle = degrees[look.type - kMarkerAngle15] * kPi / 180;
        segment(extra.stroked, at(centres[i], radii[i], angle + kPi, 1), at(centres[i], radii[i], angle, 1));
      }
    }
  }
  if (xyr.empty()) return;
  if (look.fillColor && VKMarkers::typeHasFill(look.type))
    if (auto c = circles(xyr, true, KRDrawingStyleCurve::color(*look.fillColor, true))) group.addObject(c);
  if (look.type == kMarkerSolidCircle) {
    // A solid circle is the disc and its outline: one fill reaching out by
    // half the line width.
    for (std::size_t i = 2; i < xyr.size(); i += 3) xyr[i] += static_cast<float>(std::max(look.lineWidth, 0.0) / 2);
    if (auto c = circles(xyr, true, KRDrawingStyleCurve::color(look.lineColor, true))) group.addObject(c);
    return;
  }
  if (auto p = pathOf(extra.solid, KRDrawingStyleCurve::color(look.lineColor, true))) group.addObject(p);
  if (look.lineWidth > 0) {
    if (auto c = circles(xyr, false, strokeStyle(look))) group.addObject(c);
    if (auto p = pathOf(extra.stroked, strokeStyle(look))) group.addObject(p);
  }
}

void addChunk(KRDrawingGroup& group, const std::vector<KRPoint>& centres, const std::vector<double>& radii,
              const VKMarkerLook& look) {
  if (VKMarkers::isCircleType(look.type)) {
    addCircleChunk(group, centres, radii, look);
    return;
  }
  VKMarkerParts parts;
  for (std::size_t i = 0; i < centres.size(); ++i) VKMarkers::addMarker(parts, look.type, centres[i], radii[i]);
  addParts(group, parts, look);
}

}  // namespace

std::shared_ptr<KRDrawingPath> VKMarkers::createCropForFillPoints(const std::vector<KRPoint>& points, int type,
                                                                  double size, const std::vector<double>* radius,
                                                                  double scale, bool sizeIsRadius,
                                                                  const KRRect& drawRect) {
  if (!typeHasFill(type)) return nullptr;
  const bool perPoint = radius && radius->size() == points.size();
  const double fixedRadius = drawnRadius(size / 2);
  const KRRect area = drawRect.standardized();
  VKMarkerParts parts;
  for (std::size_t i = 0; i < points.size(); ++i) {
    double r = fixedRadius;
    if (perPoint) {
      const double value = (*radius)[i] * scale;
      if (!(value > 0) || !std::isfinite(value)) continue;
      r = drawnRadius(sizeIsRadius ? value : value / 2);
    }
    const KRPoint& p = points[i];
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !(r > 0)) continue;
    const double d = reach(r, 0);
    if (!area.isNull() &&
        (p.x + d < area.minX() || p.x - d > area.maxX() || p.y + d < area.minY() || p.y - d > area.maxY()))
      continue;
    addMarker(parts, type, p, r);
  }
  if (parts.interior.isEmpty()) return nullptr;
  return KRDrawingPathBezier::withPath(std::make_shared<KRBezierPath>(parts.interior));
}

std::shared_ptr<KRDrawingGroup> VKMarkers::rasterizedPoints(const KRDrawingBasic& markers, const KRRect& drawRect,
                                                            double pixelsPerPoint) {
  if (!(pixelsPerPoint > 0) || !std::isfinite(pixelsPerPoint)) return nullptr;
  const KRRect area = drawRect.standardized();
  if (area.isEmpty()) return nullptr;
  // Whole pixels, so that the image's pixels fall on the output's.
  const double left = std::floor(area.minX() * pixelsPerPoint) / pixelsPerPoint;
  const double bottom = std::floor(area.minY() * pixelsPerPoint) / pixelsPerPoint;
  const double right = std::ceil(area.maxX() * pixelsPerPoint) / pixelsPerPoint;
  const double top = std::ceil(area.maxY() * pixelsPerPoint) / pixelsPerPoint;
  const KRRect pixels(left, bottom, right - left, top - bottom);
  KRRenderOptions options;
  options.scale = pixelsPerPoint;
  auto image = renderToImage(markers, pixels, options);
  if (!image) return nullptr;
  auto bitmap = KRDrawingBitmap::createCG(std::move(image), pixels);
  if (!bitmap) return nullptr;
  bitmap->setInterpolation(KRInterpolation::None);
  auto group = KRDrawingGroup::create();
  group->addObject(bitmap);
  return group;
}

std::shared_ptr<KRDrawingGroup> VKMarkers::createPoints(const std::vector<KRPoint>& points, const VKMarkerLook& look,
                                                        const std::vector<double>* radius, double scale,
                                                        bool sizeIsRadius, bool allowLayers, const KRRect& drawRect,
                                                        double pixelsPerPoint) {
  if (!isMarkerTag(look.type) || look.type == kMarkerNoPoint || points.empty()) return nullptr;
  const bool perPoint = radius && radius->size() == points.size();
  const double fixedRadius = drawnRadius(look.size / 2);
  const KRRect area = drawRect.standardized();
  auto radiusOf = [&](std::size_t i) {
    if (!perPoint) return fixedRadius;
    double value = (*radius)[i] * scale;
    if (!(value > 0) || !std::isfinite(value)) return std::nan("");
    return drawnRadius(sizeIsRadius ? value : value / 2);
  };
  auto visible = [&](KRPoint p, double r) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !(r > 0)) return false;
    if (area.isNull()) return true;
    double d = reach(r, look.lineWidth);
    return p.x + d >= area.minX() && p.x - d <= area.maxX() && p.y + d >= area.minY() && p.y - d <= area.maxY();
  };

  auto group = KRDrawingGroup::create();

  // Many markers of one size: one stencil stamped everywhere.
  if (!perPoint && allowLayers && static_cast<long>(points.size()) > kStencilThreshold) {
    std::vector<float> offsets;
    offsets.reserve(points.size() * 2);
    const bool snap = pixelsPerPoint > 0 && std::isfinite(pixelsPerPoint);
    if (snap) {
      // Stamps on whole pixels, each pixel stamped once: the last marker
      // there is the one on top, and the same stamp again changes nothing
      // but the darkness of its smoothed edge.
      std::unordered_set<std::uint64_t> taken;
      taken.reserve(points.size());
      std::vector<std::size_t> kept;
      for (std::size_t i = points.size(); i-- > 0;) {
        if (!visible(points[i], fixedRadius)) continue;
        const auto x = static_cast<std::int64_t>(std::round(points[i].x * pixelsPerPoint));
        const auto y = static_cast<std::int64_t>(std::round(points[i].y * pixelsPerPoint));
        const std::uint64_t key = (static_cast<std::uint64_t>(x) << 32) ^ static_cast<std::uint64_t>(y & 0xffffffff);
        if (taken.insert(key).second) kept.push_back(i);
      }
      for (std::size_t k = kept.size(); k-- > 0;) {
        const KRPoint& p = points[kept[k]];
        offsets.insert(offsets.end(), {static_cast<float>(std::round(p.x * pixelsPerPoint) / pixelsPerPoint),
                                       static_cast<float>(std::round(p.y * pixelsPerPoint) / pixelsPerPoint)});
      }
    } else {
      for (const auto& p : points)
        if (visible(p, fixedRadius)) offsets.insert(offsets.end(), {static_cast<float>(p.x), static_cast<float>(p.y)});
    }
    if (offsets.empty()) return nullptr;
    double d = std::ceil(reach(fixedRadius, look.lineWidth));
    KRPoint centre{d, d};
    auto stencil = KRDrawingGroup::create();
    addChunk(*stencil, {centre}, {fixedRadius}, look);
    auto positions = KRFloatArrayContainer::createArrayOfSizeM(2, static_cast<long>(offsets.size() / 2));
    std::copy(offsets.begin(), offsets.end(), positions->mutablePointer());
    if (auto repeated = KRDrawingRepeated::drawing(stencil, KRSize{2 * d, 2 * d}, centre, positions)) {
      group->addObject(repeated);
      if (snap && static_cast<long>(offsets.size() / 2) > kRasterThreshold && !area.isNull())
        if (auto image = rasterizedPoints(*group, area.insetBy(-d, -d), pixelsPerPoint)) return image;
      return group;
    }
  }

  // Otherwise in chunks, each painted part by part, so that no single path
  // grows past what a renderer fills quickly and later markers still lie
  // over earlier ones.
  std::vector<KRPoint> centres;
  std::vector<double> radii;
  centres.reserve(std::min<std::size_t>(points.size(), kChunk));
  radii.reserve(centres.capacity());
  long drawn = 0;
  double farthest = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    double r = radiusOf(i);
    if (!visible(points[i], r)) continue;
    ++drawn;
    farthest = std::max(farthest, reach(r, look.lineWidth));
    centres.push_back(points[i]);
    radii.push_back(r);
    if (static_cast<long>(centres.size()) == kChunk) {
      addChunk(*group, centres, radii, look);
      centres.clear();
      radii.clear();
    }
  }
  if (!centres.empty()) addChunk(*group, centres, radii, look);
  if (!group->count()) return nullptr;
  if (allowLayers && drawn > kRasterThreshold && !area.isNull())
    if (auto image = rasterizedPoints(*group, area.insetBy(-farthest, -farthest), pixelsPerPoint)) return image;
  return group;
}

}  // namespace orrelin
