#include "drawing/KRDrawingPathFromObj.h"

#include <algorithm>
#include <cmath>

#include "drawing/KRDrawingCollections.h"
#include "drawing/KRDrawingContext.h"
#include "drawing/KRDrawingDescription.h"
#include "drawing/KRDrawingInfo.h"
#include "drawing/KRDrawingMessages.h"
#include "numeric/KRFloatArrayContainer.h"
#include "platform/KRMessageCenter.h"

namespace orrelin {

using namespace drawing_messages;

std::shared_ptr<KRDrawingPathFromObj> KRDrawingPathFromObj::createFromPath(
    std::shared_ptr<const KRContainerPath2D> path) {
  if (!path) {
    KRMessageCenter::addMessage(kNilPath);
    return nullptr;
  }
  auto result = std::make_shared<KRDrawingPathFromObj>();
  result->thePath_ = std::move(path);
  return result;
}

std::shared_ptr<KRDrawingPathFromObj> KRDrawingPathFromObj::createFromPath(const KRContainerPath2D& path,
                                                                           const KR2DDrawingInfo& withScaling) {
  const KR2DDrawingInfo& m = withScaling;
  auto result = createFromPath(path.mapped([&m](KRPoint p) {
    return KRPoint{(p.x + m.shiftX) * m.scaleX, (p.y + m.shiftY) * m.scaleY};
  }));
  if (result) result->setXLinear(true, m.shiftX, m.scaleX, true, m.shiftY, m.scaleY);
  return result;
}

std::shared_ptr<KRDrawingPathFromObj> KRDrawingPathFromObj::withPath(std::shared_ptr<const KRContainerPath2D> path) const {
  auto result = std::make_shared<KRDrawingPathFromObj>(*this);
  result->thePath_ = std::move(path);
  result->clearCachedEntries();
  return result;
}

std::shared_ptr<KRDrawingBasic> KRDrawingPathFromObj::copy() const {
  return std::make_shared<KRDrawingPathFromObj>(*this);
}

bool KRDrawingPathFromObj::breaksLimits() const {
  if (!thePath_) {
    KRMessageCenter::addMessage(kNilPathObject);
    return true;
  }
  if (thePath_->numberOfPoints() > kMaxPoints) {
    KRMessageCenter::addMessage(formatMessage(kTooManyPoints, static_cast<int>(thePath_->numberOfPoints())));
    return true;
  }
  if (thePath_->connectionsLength() > kMaxConnections) {
    KRMessageCenter::addMessage(formatMessage(kTooManyLines, static_cast<int>(thePath_->connectionsLength()),
                                              static_cast<int>(kMaxConnections)));
    return true;
  }
  return false;
}

void KRDrawingPathFromObj::drawPathToContext(KRDrawingContext& context) const {
  if (breaksLimits()) return;
  GraphicsContext& gc = context.graphicsPort();
  bool malformed = false;
  auto runs = thePath_->runs(&malformed);
  const int* c = thePath_->connections();
  const double* xy = thePath_->points();
  for (const auto& run : runs) {
    // A closed run leaves out its repeated last point and closes instead.
    bool closed = thePath_->isClosed(run);
    gc.addIndexedLines(xy, c + run.start, static_cast<std::size_t>(closed ? run.length - 1 : run.length), closed);
  }
  if (malformed) KRMessageCenter::addMessage(kIncorrectPathFormat);
}

void KRDrawingPathFromObj::addGeometry(KRPathSink& sink) const {
  if (!thePath_) return;
  const int* c = thePath_->connections();
  for (const auto& run : thePath_->runs()) {
    bool closed = thePath_->isClosed(run);
    long count = closed ? run.length - 1 : run.length;
    sink.moveTo(thePath_->point(c[run.start]));
    for (long k = 1; k < count; ++k) sink.lineTo(thePath_->point(c[run.start + k]));
    if (closed) sink.closePath();
  }
}

KRRect KRDrawingPathFromObj::geometryBounds() const { return thePath_ ? thePath_->boundingRectangle() : KRRect{}; }

bool KRDrawingPathFromObj::hitTestForPoint(KRPoint point) const {
  if (isEmptyPath()) return false;
  if (isFilled()) return pointLiesInside(point);
  if (!boundingRectangle().insetBy(-2, -2).contains(point)) return false;
  return thePath_->pointCloserThan(point, kStrokeHitTolerance);
}

std::shared_ptr<KRDrawingPath> KRDrawingPathFromObj::withPointsMapped(const std::function<KRPoint(KRPoint)>& map,
                                                                      double) const {
  if (!thePath_) return nullptr;
  return withPath(thePath_->mapped(map));
}

std::shared_ptr<KRDrawingBasic> KRDrawingPathFromObj::simplifyDrawingOutside(const KRRect& rect) const {
  if (!thePath_) return nullptr;
  double margin = strokeOutset() + 1;
  KRRect area = rect.standardized().insetBy(-margin, -margin);
  const int* c = thePath_->connections();
  auto kept = thePath_->withRuns([&](const KRContainerPath2D::Run& run) {
    KRRectAccumulator extent;
    for (long k = 0; k < run.length; ++k) extent.include(thePath_->point(c[run.start + k]));
    KRRect r = extent.rect();
    return r.maxX() >= area.minX() && r.minX() <= area.maxX() && r.maxY() >= area.minY() && r.minY() <= area.maxY();
  });
  if (!kept || kept->isEmpty()) return nullptr;
  return withPath(std::move(kept));
}

std::size_t KRDrawingPathFromObj::memoryUsed() const {
  return KRDrawingPath::memoryUsed() + sizeof(*this) - sizeof(KRDrawingPath) + (thePath_ ? thePath_->memoryUsed() : 0);
}

std::string KRDrawingPathFromObj::textDescription() const {
  return formatMessage("%d points", thePath_ ? static_cast<int>(thePath_->numberOfPoints()) : 0);
}

// ---------------------------------------------------------------- output forms

void KRDrawingPathFromObj::addInsideAnglesInSVGStream(KRSVGStream& stream, const std::string& indent,
                                                      double shiftYBy, const std::string& styleString) const {
  if (!thePath_) return;
  stream.append("%s<path d=\"", indent);
  KRSVGPathData data(stream, indent, 100);
  for (const auto& run : thePath_->runs()) {
    const int* index = thePath_->connections() + run.start;
    KRPoint first = thePath_->point(index[0]);
    data.add("M %g %g ", first.x, shiftYBy - first.y);
    for (long k = 1; k < run.length; ++k) {
      KRPoint p = thePath_->point(index[k]);
      data.add("L %g %g ", p.x, shiftYBy - p.y);
    }
    if (thePath_->isClosed(run)) data.add("z ");
  }
  data.finish();
  stream << "\"";
  if (styleString.empty())
    stream << "/>\n";
  else
    stream.append("\n%s  %s/>\n", indent, styleString);
}

std::optional<PropertyList> KRDrawingPathFromObj::mvgDescription() const {
  if (!thePath_) return std::nullopt;
  auto raw = thePath_->convertToRawFormat();
  if (!raw) return std::nullopt;
  auto description = drawing_description::newDescription("Drawing Path");
  PlistDictionary& d = description->dictionary();
  d["Path"] = std::move(*raw);
  d["Fill"] = fillCurve_;
  addCommonMVG(d);
  return description;
}

std::shared_ptr<KRDrawingBasic> KRDrawingPathFromObj::createFromMVG(const PropertyList& description) {
  const PropertyList* raw = description.find("Path");
  if (description.stringForKey("Type") != "Drawing Path" || !raw) return nullptr;
  auto path = KRContainerPath2D::convertFromRawFormat(*raw);
  if (!path) return nullptr;
  auto result = createFromPath(std::move(path));
  result->fillCurve_ = description.booleanForKey("Fill").value_or(false);
  result->setFromCommonMVG(description);
  return result;
}

std::shared_ptr<KRDrawingPath> createSegmentsDrawing(const std::vector<double>& segments) {
  const long count = static_cast<long>(segments.size() / 4);
  if (count == 0) return nullptr;
  if (3 * count <= KRDrawingPathFromObj::kMaxConnections) {
    auto points = KRDoubleArrayContainer::createArrayOfSizeM(2, 2 * count);
    auto connections = KRIntArrayContainer::createArrayOfLength(3 * count);
    if (!points || !connections) return nullptr;
    std::copy(segments.begin(), segments.begin() + 4 * count, points->mutablePointer());
    int* runs = connections->mutablePointer();
    for (long k = 0; k < count; ++k) {
      runs[3 * k] = 2;
      runs[3 * k + 1] = static_cast<int>(2 * k);
      runs[3 * k + 2] = static_cast<int>(2 * k + 1);
    }
    auto path = KRContainerPath2D::create(std::move(points), std::move(connections));
    return path ? KRDrawingPathFromObj::createFromPath(std::move(path)) : nullptr;
  }
  auto lines = KRFloatArrayContainer::createArrayOfSizeM(4, count);
  if (!lines) return nullptr;
  std::transform(segments.begin(), segments.begin() + 4 * count, lines->mutablePointer(),
                 [](double v) { return static_cast<float>(v); });
  return KRDrawingPathLineCollection::createLines(lines, nullptr);
}

}  // namespace orrelin
