#include "drawing/KRDrawingCollections.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "drawing/KRDrawingContext.h"
#include "drawing/KRDrawingDescription.h"
#include "drawing/KRDrawingMessages.h"
#include "drawing/KRFloatPoints.h"
#include "platform/KRMessageCenter.h"

namespace orrelin {

using namespace drawing_messages;

namespace {

bool onePage(const KRFloatArrayContainer& array, int rows) {
  return array.length() == 0 || (array.m() == rows && array.o() <= 1);
}

bool overlaps(double x0, double y0, double x1, double y1, const KRRect& area) {
  return x1 >= area.minX() && x0 <= area.maxX() && y1 >= area.minY() && y0 <= area.maxY();
}

// A new float array with the columns of source that keep says yes to.
std::shared_ptr<KRFloatArrayContainer> keepColumns(const KRFloatArrayContainer& source, const std::vector<long>& columns) {
  int rows = source.m();
  auto result = KRFloatArrayContainer::createArrayOfSizeM(rows, static_cast<long>(columns.size()));
  if (!result || columns.empty()) return result;
  float* out = result->mutablePointer();
  const float* in = source.constPointer();
  for (long column : columns) out = std::copy_n(in + column * rows, rows, out);
  return result;
}

}  // namespace

// ---------------------------------------------------------------- circles

std::shared_ptr<KRDrawingPathCircleCollection> KRDrawingPathCircleCollection::createFromArray(
    std::shared_ptr<const KRFloatArrayContainer> array) {
  if (!array || !onePage(*array, 3)) {
    KRMessageCenter::addMessage(kInvalidCircleArray);
    return nullptr;
  }
  auto result = std::make_shared<KRDrawingPathCircleCollection>();
  result->circles_ = std::move(array);
  return result;
}

std::shared_ptr<KRDrawingPathCircleCollection> KRDrawingPathCircleCollection::withCircles(
    std::shared_ptr<const KRFloatArrayContainer> circles) const {
  auto result = std::make_shared<KRDrawingPathCircleCollection>(*this);
  result->circles_ = std::move(circles);
  result->clearCachedEntries();
  return result;
}

std::shared_ptr<KRDrawingBasic> KRDrawingPathCircleCollection::copy() const {
  return std::make_shared<KRDrawingPathCircleCollection>(*this);
}

double KRDrawingPathCircleCollection::drawnRadius(double radius, double scale) {
  return std::fabs(radius) > kMaxRadius * scale ? std::copysign(kStandInRadius * scale, radius) : radius;
}

void KRDrawingPathCircleCollection::addGeometry(KRPathSink& sink) const {
  const float* d = circles_->constPointer();
  for (long i = 0, n = count(); i < n; ++i) {
    double x = d[3 * i], y = d[3 * i + 1], r = drawnRadius(d[3 * i + 2], radiusScale_);
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(r)) continue;
    // A negative radius walks the circle the other way round.
    if (r > 0) {
      sink.moveTo({x + r, y});
      sink.arc({x, y}, r, 0, 2 * M_PI, false);
    } else {
      sink.moveTo({x - r, y});
      sink.arc({x, y}, -r, 0, -2 * M_PI, true);
    }
    sink.closePath();
  }
}

void KRDrawingPathCircleCollection::drawPathToContext(KRDrawingContext& context) const {
  const float* d = circles_->constPointer();
  auto n = static_cast<std::size_t>(count());
  // The context takes the columns as they are unless a radius needs its stand-in.
  std::vector<float> drawn;
  for (std::size_t i = 0; i < n; ++i)
    if (drawnRadius(d[3 * i + 2], radiusScale_) != d[3 * i + 2]) {
      drawn.assign(d, d + 3 * n);
      for (std::size_t k = i; k < n; ++k) drawn[3 * k + 2] = static_cast<float>(drawnRadius(drawn[3 * k + 2], radiusScale_));
      break;
    }
  context.graphicsPort().addCircles(drawn.empty() ? d : drawn.data(), n);
}

KRRect KRDrawingPathCircleCollection::geometryBounds() const {
  const float* d = circles_->constPointer();
  KRRectAccumulator extent;
  for (long i = 0; i < count(); ++i) {
    double x = d[3 * i], y = d[3 * i + 1], r = std::fabs(drawnRadius(d[3 * i + 2], radiusScale_));
    if (!std::isfinite(r)) continue;
    extent.include(KRPoint{x - r, y - r});
    extent.include(KRPoint{x + r, y + r});
  }
  return extent.rect();
}

bool KRDrawingPathCircleCollection::pointLiesInside(KRPoint point) const {
  const float* d = circles_->constPointer();
  int winding = 0;
  for (long i = 0; i < count(); ++i) {
    double r = drawnRadius(d[3 * i + 2], radiusScale_);
    if (std::hypot(point.x - d[3 * i], point.y - d[3 * i + 1]) <= std::fabs(r)) winding += r > 0 ? 1 : -1;
  }
  return winding != 0;
}

std::optional<long> KRDrawingPathCircleCollection::whichCenterWasHit(KRPoint point) const {
  const float* d = circles_->constPointer();
  bool filled = isFilled();
  double tol = kStrokeHitTolerance;
  for (long i = 0; i < count(); ++i) {
    double r = std::fabs(drawnRadius(d[3 * i + 2], radiusScale_));
    double distance = std::hypot(point.x - d[3 * i], point.y - d[3 * i + 1]);
    if (filled ? distance <= r : std::fabs(distance - r) <= tol) return i;
  }
  return std::nullopt;
}

bool KRDrawingPathCircleCollection::hitTestForPoint(KRPoint point) const {
  if (isFilled()) return pointLiesInside(point);
  return whichCenterWasHit(point).has_value();
}

std::shared_ptr<KRDrawingPath> KRDrawingPathCircleCollection::withPointsMapped(
    const std::function<KRPoint(KRPoint)>& map, double sizeFactor) const {
  auto circles = mapPointsInColumns(*circles_, {0}, map);
  if (!circles) return nullptr;
  float* radius = circles->length() > 0 ? circles->mutablePointer() + 2 : nullptr;
  for (long i = 0; i < count(); ++i) radius[3 * i] = static_cast<float>(radius[3 * i] * sizeFactor);
  auto result = withCircles(std::move(circles));
  result->radiusScale_ = radiusScale_ * sizeFactor;
  return result;
}

std::shared_ptr<KRDrawingBasic> KRDrawingPathCircleCollection::simplifyDrawingOutside(const KRRect& rect) const {
  double margin = strokeOutset() + 1;
  KRRect area = rect.standardized().insetBy(-margin, -margin);
  const float* d = circles_->constPointer();
  std::vector<long> kept;
  for (long i = 0; i < count(); ++i) {
    double x = d[3 * i], y = d[3 * i + 1], r = std::fabs(drawnRadius(d[3 * i + 2], radiusScale_));
    if (overlaps(x - r, y - r, x + r, y + r, area)) kept.push_back(i);
  }
  if (kept.empty()) return nullptr;
  if (static_cast<long>(kept.size()) == count()) return copy();
  return withCircles(keepColumns(*circles_, kept));
}

void KRDrawingPathCircleCollection::addInsideAnglesInSVGStream(KRSVGStream& stream, const std::string& indent,
                                                               double shiftYBy, const std::string& styleString) const {
  stream.append("%s<g %s>\n", indent, styleString);
  const float* d = circles_->constPointer();
  for (long i = 0; i < count(); ++i)
    stream.append("%s  <circle cx=\"%g\" cy=\"%g\" r=\"%g\"/>\n", indent, d[3 * i], shiftYBy - d[3 * i + 1],
                  std::fabs(drawnRadius(d[3 * i + 2], radiusScale_)));
  stream << "</g>\n";
}

std::optional<PropertyList> KRDrawingPathCircleCollection::mvgDescription() const {
  auto points = circles_->convertToRawFormat();
  if (!points) return std::nullopt;
  auto description = drawing_description::newDescription("Circles");
  PlistDictionary& d = description->dictionary();
  d["Points"] = *points;
  d["Fill"] = fillCurve_;
  addCommonMVG(d);
  return description;
}

std::shared_ptr<KRDrawingBasic> KRDrawingPathCircleCollection::createFromMVG(const PropertyList& description) {
  const PropertyList* points = description.find("Points");
  if (description.stringForKey("Type") != "Circles" || !points) return nullptr;
  auto array = KRFloatArrayContainer::convertFromRawFormat(*points);
  if (!array) return nullptr;
  auto result = createFromArray(std::move(array));
  if (!result) return nullptr;
  result->fillCurve_ = description.booleanForKey("Fill").value_or(false);
  result->setFromCommonMVG(description);
  return result;
}

std::size_t KRDrawingPathCircleCollection::memoryUsed() const {
  return KRDrawingPath::memoryUsed() + circles_->memoryUsed();
}

std::string KRDrawingPathCircleCollection::textDescription() const {
  return formatMessage("%d points", static_cast<int>(count()));
}

// ---------------------------------------------------------------- lines

std::shared_ptr<KRDrawingPathLineCollection> KRDrawingPathLineCollection::createLines(
    std::shared_ptr<const KRFloatArrayContainer> lines, std::shared_ptr<const KRFloatArrayContainer> colors) {
  if (!lines) {
    KRMessageCenter::addMessage(kInvalidLineArray);
    return nullptr;
  }
  if (!onePage(*lines, 4)) {
    KRMessageCenter::addMessage(kInvalidLineSize);
    return nullptr;
  }
  if (colors && !((colors->m() == 3 || colors->m() == 4) && colors->o() <= 1 && colors->n() == lines->n()) &&
      !(colors->length() == 0 && lines->length() == 0)) {
    KRMessageCenter::addMessage(kInvalidLineColors);
    return nullptr;
  }
  auto result = std::make_shared<KRDrawingPathLineCollection>();
  result->lines_ = std::move(lines);
  result->colors_ = std::move(colors);
  return result;
}

std::shared_ptr<KRDrawingBasic> KRDrawingPathLineCollection::copy() const {
  return std::make_shared<KRDrawingPathLineCollection>(*this);
}

KRColor KRDrawingPathLineCollection::colorOfLine(long index) const {
  if (!colors_ || index < 0 || index >= colors_->n()) return KRColor::black();
  int rows = colors_->m();
  const float* c = colors_->constPointer() + index * rows;
  return KRColor::rgb(c[0], c[1], c[2], rows == 4 ? c[3] : 1.0);
}

void KRDrawingPathLineCollection::addGeometry(KRPathSink& sink) const {
  const float* d = lines_->constPointer();
  for (long i = 0; i < count(); ++i) {
    sink.moveTo({d[4 * i], d[4 * i + 1]});
    sink.lineTo({d[4 * i + 2], d[4 * i + 3]});
  }
}

void KRDrawingPathLineCollection::drawToCurrentContext(KRDrawingContext& context) const {
  if (count() == 0) return;
  std::optional<KRGraphicsStateGuard> guard;
  if (style()) {
    guard.emplace(context);
    style()->applyStyle(context);
  }
  context.graphicsPort().strokeLineSegments(lines_->constPointer(), static_cast<std::size_t>(count()),
                                            colors_ ? colors_->constPointer() : nullptr, colors_ ? colors_->m() : 0,
                                            context.disableTransparency());
}

bool KRDrawingPathLineCollection::hitTestForPoint(KRPoint point) const {
  if (!boundingRectangle().insetBy(-2, -2).contains(point)) return false;
  const float* d = lines_->constPointer();
  double tol = kStrokeHitTolerance;
  for (long i = 0; i < count(); ++i)
    if (distanceToSegment(point, {d[4 * i], d[4 * i + 1]}, {d[4 * i + 2], d[4 * i + 3]}) <= tol) return true;
  return false;
}

bool KRDrawingPathLineCollection::containsTransparency() const {
  if (KRDrawingPath::containsTransparency()) return true;
  if (!colors_ || colors_->m() != 4) return false;
  const float* c = colors_->constPointer();
  for (long i = 0; i < colors_->n(); ++i)
    if (c[4 * i + 3] < 1) return true;
  return false;
}

std::shared_ptr<KRDrawingBasic> KRDrawingPathLineCollection::nonTransparentVersion() const {
  auto result = std::static_pointer_cast<KRDrawingPathLineCollection>(KRDrawingPath::nonTransparentVersion());
  if (colors_ && colors_->m() == 4) {
    auto opaque = colors_->mutableCopy();
    if (opaque && opaque->length() > 0) {
      float* c = opaque->mutablePointer();
      for (long i = 0; i < opaque->n(); ++i) c[4 * i + 3] = 1;
    }
    result->colors_ = std::move(opaque);
  }
  return result;
}

std::shared_ptr<KRDrawingPath> KRDrawingPathLineCollection::withPointsMapped(const std::function<KRPoint(KRPoint)>& map,
                                                                             double) const {
  auto lines = mapPointsInColumns(*lines_, {0, 2}, map);
  if (!lines) return nullptr;
  auto result = std::make_shared<KRDrawingPathLineCollection>(*this);
  result->lines_ = std::move(lines);
  result->clearCachedEntries();
  return result;
}

std::shared_ptr<KRDrawingBasic> KRDrawingPathLineCollection::simplifyDrawingOutside(const KRRect& rect) const {
  double margin = strokeOutset() + 1;
  KRRect area = rect.standardized().insetBy(-margin, -margin);
  const float* d = lines_->constPointer();
  std::vector<long> kept;
  for (long i = 0; i < count(); ++i) {
    double x0 = std::min(d[4 * i], d[4 * i + 2]), x1 = std::max(d[4 * i], d[4 * i + 2]);
    double y0 = std::min(d[4 * i + 1], d[4 * i + 3]), y1 = std::max(d[4 * i + 1], d[4 * i + 3]);
    if (overlaps(x0, y0, x1, y1, area)) kept.push_back(i);
  }
  if (kept.empty()) return nullptr;
  if (static_cast<long>(kept.size()) == count()) return copy();
  auto result = std::make_shared<KRDrawingPathLineCollection>(*this);
  result->lines_ = keepColumns(*lines_, kept);
  if (colors_) result->colors_ = keepColumns(*colors_, kept);
  result->clearCachedEntries();
  return result;
}

std::size_t KRDrawingPathLineCollection::memoryUsed() const {
  return KRDrawingPath::memoryUsed() + lines_->memoryUsed() + (colors_ ? colors_->memoryUsed() : 0);
}

std::string KRDrawingPathLineCollection::textDescription() const {
  return formatMessage("%d lines", static_cast<int>(count()));
}

// ---------------------------------------------------------------- cubic curves

namespace {

// Walks the pieces; false when a header's count does not fit the array.
template <class Visit>
bool forEachPiece(const double* d, long columns, Visit visit) {
  long i = 0;
  while (i < columns) {
    double count = d[2 * i + 1];
    if (!(count >= 1) || !std::isfinite(count) || count > static_cast<double>(columns - i - 1)) return false;
    long n = static_cast<long>(count);
    visit(i + 1, n);
    i += n + 1;
  }
  return true;
}

}  // namespace

std::shared_ptr<KRDrawingCubicBezier> KRDrawingCubicBezier::createWithArray(
    std::shared_ptr<const KRDoubleArrayContainer> array) {
  bool shaped = array && (array->length() == 0 || (array->m() == 2 && array->o() <= 1));
  if (!shaped || (array->length() > 0 && !forEachPiece(array->constPointer(), array->n(), [](long, long) {}))) {
    KRMessageCenter::addMessage(kInvalidCubicArray);
    return nullptr;
  }
  auto result = std::make_shared<KRDrawingCubicBezier>();
  result->points_ = std::move(array);
  return result;
}

std::shared_ptr<KRDrawingBasic> KRDrawingCubicBezier::copy() const { return std::make_shared<KRDrawingCubicBezier>(*this); }

long KRDrawingCubicBezier::numberOfPieces() const {
  long pieces = 0;
  if (points_->length() > 0) forEachPiece(points_->constPointer(), points_->n(), [&pieces](long, long) { ++pieces; });
  return pieces;
}

void KRDrawingCubicBezier::addGeometry(KRPathSink& sink) const {
  if (points_->length() == 0) return;
  const double* d = points_->constPointer();
  auto at = [d](long column) { return KRPoint{d[2 * column], d[2 * column + 1]}; };
  forEachPiece(d, points_->n(), [&](long first, long n) {
    sink.moveTo(at(first));
    if (n == 2) {
      sink.lineTo(at(first + 1));
      return;
    }
    // Control point, control point, end point; an incomplete three is left out.
    for (long k = first + 1; k + 2 < first + n; k += 3) sink.curveTo(at(k), at(k + 1), at(k + 2));
  });
}

std::shared_ptr<KRDrawingPath> KRDrawingCubicBezier::withPointsMapped(const std::function<KRPoint(KRPoint)>& map,
                                                                      double) const {
  auto points = points_->mutableCopy();
  if (!points) return nullptr;
  if (points->length() > 0) {
    // The header columns hold counts, not points: only the pieces' points move.
    double* d = points->mutablePointer();
    forEachPiece(points_->constPointer(), points_->n(), [&](long first, long n) {
      for (long k = first; k < first + n; ++k) {
        KRPoint p = map({d[2 * k], d[2 * k + 1]});
        d[2 * k] = p.x;
        d[2 * k + 1] = p.y;
      }
    });
  }
  auto result = std::make_shared<KRDrawingCubicBezier>(*this);
  result->points_ = std::move(points);
  result->clearCachedEntries();
  return result;
}

std::size_t KRDrawingCubicBezier::memoryUsed() const { return KRDrawingPath::memoryUsed() + points_->memoryUsed(); }

std::string KRDrawingCubicBezier::textDescription() const {
  return formatMessage("%d curves", static_cast<int>(numberOfPieces()));
}

// ---------------------------------------------------------------- output forms of lines and curves

std::optional<PropertyList> KRDrawingPathLineCollection::mvgDescription() const {
  auto lines = lines_->convertToRawFormat();
  if (!lines) return std::nullopt;
  auto description = drawing_description::newDescription("Lines");
  PlistDictionary& d = description->dictionary();
  d["Lines"] = std::move(*lines);
  if (colors_)
    if (auto colors = colors_->convertToRawFormat()) d["Colors"] = std::move(*colors);
  addCommonMVG(d);
  return description;
}

std::shared_ptr<KRDrawingBasic> KRDrawingPathLineCollection::createFromMVG(const PropertyList& description) {
  const PropertyList* lines = description.find("Lines");
  if (description.stringForKey("Type") != "Lines" || !lines) return nullptr;
  auto segments = KRFloatArrayContainer::convertFromRawFormat(*lines);
  if (!segments) return nullptr;
  std::shared_ptr<KRFloatArrayContainer> colors;
  if (const PropertyList* list = description.find("Colors")) {
    colors = KRFloatArrayContainer::convertFromRawFormat(*list);
    if (!colors) return nullptr;
  }
  auto result = createLines(std::move(segments), std::move(colors));
  if (result) result->setFromCommonMVG(description);
  return result;
}

void KRDrawingCubicBezier::addInsideAnglesInSVGStream(KRSVGStream& stream, const std::string& indent,
                                                      double shiftYBy, const std::string& styleString) const {
  stream.append("%s<path d=\"", indent);
  KRSVGPathData data(stream, indent, 70);
  if (points_->length() > 0) {
    const double* d = points_->constPointer();
    auto x = [d](long column) { return d[2 * column]; };
    auto y = [d, shiftYBy](long column) { return shiftYBy - d[2 * column + 1]; };
    forEachPiece(d, points_->n(), [&](long first, long n) {
      data.add("M %g %g ", x(first), y(first));
      if (n == 2) {
        data.add("L %g %g ", x(first + 1), y(first + 1));
        return;
      }
      for (long k = first + 1; k + 2 < first + n; k += 3)
        data.add("C %g %g %g %g %g %g ", x(k), y(k), x(k + 1), y(k + 1), x(k + 2), y(k + 2));
    });
  }
  data.finish();
  stream << "\"";
  if (styleString.empty())
    stream << "/>\n";
  else
    stream.append("\n%s  %s/>\n", indent, styleString);
}

std::optional<PropertyList> KRDrawingCubicBezier::mvgDescription() const {
  auto points = points_->convertToRawFormat();
  if (!points) return std::nullopt;
  auto description = drawing_description::newDescription("Cubic Bezier");
  PlistDictionary& d = description->dictionary();
  d["Points"] = std::move(*points);
  if (fillCurve_) d["Fill"] = true;
  addCommonMVG(d);
  return description;
}

std::shared_ptr<KRDrawingBasic> KRDrawingCubicBezier::createFromMVG(const PropertyList& description) {
  const PropertyList* points = description.find("Points");
  if (description.stringForKey("Type") != "Cubic Bezier" || !points) return nullptr;
  auto array = KRDoubleArrayContainer::convertFromRawFormat(*points);
  if (!array) return nullptr;
  auto result = createWithArray(std::move(array));
  if (!result) return nullptr;
  result->fillCurve_ = description.booleanForKey("Fill").value_or(false);
  result->setFromCommonMVG(description);
  return result;
}

}  // namespace orrelin
