#include "drawing/KRContainerPath2D.h"

#include <algorithm>
#include <cmath>

#include "drawing/KRPathGeometry.h"
#include "platform/KRMessageCenter.h"

namespace orrelin {

namespace {

constexpr const char* kInvalidLoops = "Invalid path: the points need two rows and the connections an integer array.";

}  // namespace

std::shared_ptr<KRContainerPath2D> KRContainerPath2D::create(std::shared_ptr<const KRDoubleArrayContainer> points,
                                                             std::shared_ptr<const KRIntArrayContainer> connections) {
  if (!points || !connections || (points->length() > 0 && (points->m() != 2 || points->o() > 1))) {
    KRMessageCenter::addMessage(kInvalidLoops);
    return nullptr;
  }
  auto path = std::make_shared<KRContainerPath2D>();
  path->points_ = std::move(points);
  path->connections_ = std::move(connections);
  return path;
}

std::shared_ptr<KRContainerPath2D> KRContainerPath2D::createWithLoops(const std::vector<std::vector<KRPoint>>& loops) {
  long pointCount = 0, connectionCount = 0;
  for (const auto& loop : loops) {
    pointCount += static_cast<long>(loop.size());
    connectionCount += loop.empty() ? 0 : static_cast<long>(loop.size()) + 1;
  }
  auto points = KRDoubleArrayContainer::createArrayOfSizeM(2, pointCount);
  auto connections = KRIntArrayContainer::createArrayOfLength(connectionCount);
  if (!points || !connections) return nullptr;
  double* xy = points->mutablePointer();
  int* runs = connections->mutablePointer();
  long p = 0, c = 0;
  for (const auto& loop : loops) {
    if (loop.empty()) continue;
    runs[c++] = static_cast<int>(loop.size());
    for (const auto& point : loop) {
      xy[2 * p] = point.x;
      xy[2 * p + 1] = point.y;
      runs[c++] = static_cast<int>(p++);
    }
  }
  return create(std::move(points), std::move(connections));
}

std::vector<KRContainerPath2D::Run> KRContainerPath2D::runs(bool* malformed) const {
  std::vector<Run> result;
  if (malformed) *malformed = false;
  const int* c = connections();
  long length = connectionsLength(), count = numberOfPoints();
  long i = 0;
  while (i < length) {
    long n = c[i];
    bool bad = n <= 0 || n > length - i - 1;
    for (long k = 0; !bad && k < n; ++k) bad = c[i + 1 + k] < 0 || c[i + 1 + k] >= count;
    if (bad) {
      if (malformed) *malformed = true;
      break;
    }
    result.push_back({i + 1, n});
    i += n + 1;
  }
  return result;
}

bool KRContainerPath2D::isClosed(const Run& run) const {
  if (run.length <= 2) return false;
  const int* c = connections();
  return point(c[run.start]) == point(c[run.start + run.length - 1]);
}

KRRect KRContainerPath2D::boundingRectangle() const {
  const int* c = connections();
  KRRectAccumulator extent;
  for (const Run& run : runs())
    for (long k = 0; k < run.length; ++k) extent.include(point(c[run.start + k]));
  return extent.rect();
}

bool KRContainerPath2D::pointCloserThan(KRPoint p, double distance) const {
  const int* c = connections();
  for (const Run& run : runs()) {
    KRPoint previous = point(c[run.start]);
    if (run.length == 1 && std::hypot(previous.x - p.x, previous.y - p.y) <= distance) return true;
    for (long k = 1; k < run.length; ++k) {
      KRPoint next = point(c[run.start + k]);
      if (distanceToSegment(p, previous, next) <= distance) return true;
      previous = next;
    }
  }
  return false;
}

std::shared_ptr<KRContainerPath2D> KRContainerPath2D::mapped(const std::function<KRPoint(KRPoint)>& map) const {
  long count = numberOfPoints();
  auto points = KRDoubleArrayContainer::createArrayOfSizeM(2, count);
  if (!points) return nullptr;
  if (count > 0) {
    double* xy = points->mutablePointer();
    for (long i = 0; i < count; ++i) {
      KRPoint q = map(point(i));
      xy[2 * i] = q.x;
      xy[2 * i + 1] = q.y;
    }
  }
  // The connections do not change; both paths share them.
  return create(std::move(points), connections_);
}

std::shared_ptr<KRContainerPath2D> KRContainerPath2D::withRuns(const std::function<bool(const Run&)>& keep) const {
  std::vector<int> kept;
  const int* c = connections();
  for (const Run& run : runs())
    if (keep(run)) kept.insert(kept.end(), c + run.start - 1, c + run.start + run.length);
  auto connections = KRIntArrayContainer::createArrayOfLength(static_cast<long>(kept.size()));
  if (!connections) return nullptr;
  std::copy(kept.begin(), kept.end(), connections->mutablePointer());
  return create(points_, std::move(connections));
}

std::optional<PropertyList> KRContainerPath2D::convertToRawFormat() const {
  std::optional<PropertyList> raw{PlistDictionary{}};
  for (auto [key, array] : {std::pair<const char*, std::optional<PropertyList>>{"Points", points_->convertToRawFormat()},
                            {"Connections", connections_->convertToRawFormat()}}) {
    if (!array) return std::nullopt;
    raw->dictionary()[key] = *array;
  }
  return raw;
}

std::shared_ptr<KRContainerPath2D> KRContainerPath2D::convertFromRawFormat(const PropertyList& raw) {
  const PropertyList* points = raw.find("Points");
  const PropertyList* connections = raw.find("Connections");
  if (!points || !connections) {
    KRMessageCenter::addMessage(kInvalidLoops);
    return nullptr;
  }
  return create(KRDoubleArrayContainer::convertFromRawFormat(*points),
                KRIntArrayContainer::convertFromRawFormat(*connections));
}

}  // namespace orrelin
