#pragma once
// A set of loops over double-precision points: an array of points (x, y per
// column) and a connection array made of runs. A run starts with its length
// n, followed by n point indices; a run of length 2 is one segment, a longer
// run a polyline, closed when its first and last points are the same.

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "numeric/KRDoubleArrayContainer.h"
#include "numeric/KRIntArrayContainer.h"
#include "platform/GraphicsContext.h"
#include "platform/PropertyList.h"

namespace orrelin {

class KRContainerPath2D {
 public:
  // One run of the connection array: where its indices start and how many.
  struct Run {
    long start;
    long length;
  };

  // points: 2 x N (or empty); connections: the runs. nullptr, with a
  // message, when either is missing or the points are not two rows.
  static std::shared_ptr<KRContainerPath2D> create(std::shared_ptr<const KRDoubleArrayContainer> points,
                                                   std::shared_ptr<const KRIntArrayContainer> connections);
  // One run per loop over the given points, in order.
  static std::shared_ptr<KRContainerPath2D> createWithLoops(const std::vector<std::vector<KRPoint>>& loops);

  // x, y pairs; nullptr when there are none.
  const double* points() const { return points_->constPointer(); }
  const int* connections() const { return connections_->constPointer(); }
  long connectionsLength() const { return connections_->length(); }
  long numberOfPoints() const { return points_->length() / 2; }
  const std::shared_ptr<const KRDoubleArrayContainer>& pointArray() const { return points_; }
  const std::shared_ptr<const KRIntArrayContainer>& connectionArray() const { return connections_; }
  KRPoint point(long index) const { return {points()[2 * index], points()[2 * index + 1]}; }

  // The runs in order, as far as they are well formed; malformed is set when
  // a run's length is not positive, runs past the end, or names a point
  // that does not exist.
  std::vector<Run> runs(bool* malformed = nullptr) const;
  long numberOfLoops() const { return static_cast<long>(runs().size()); }
  // Closed: a run longer than 2 whose first and last points are equal.
  bool isClosed(const Run& run) const;
  // Over the points the runs use.
  KRRect boundingRectangle() const;
  bool isEmpty() const { return connectionsLength() == 0 || numberOfPoints() == 0; }
  // Whether some piece of the path lies within distance of p.
  bool pointCloserThan(KRPoint p, double distance) const;

  // The same loops over points moved by map.
  std::shared_ptr<KRContainerPath2D> mapped(const std::function<KRPoint(KRPoint)>& map) const;
  // Only the runs for which keep says yes.
  std::shared_ptr<KRContainerPath2D> withRuns(const std::function<bool(const Run&)>& keep) const;

  // The dictionary form: "Points" and "Connections", each an array's own form.
  std::optional<PropertyList> convertToRawFormat() const;
  static std::shared_ptr<KRContainerPath2D> convertFromRawFormat(const PropertyList& raw);

  std::size_t memoryUsed() const { return sizeof(*this) + points_->memoryUsed() + connections_->memoryUsed(); }

 private:
  std::shared_ptr<const KRDoubleArrayContainer> points_;
  std::shared_ptr<const KRIntArrayContainer> connections_;
};

}  // namespace orrelin
