#pragma once
// Paths that hold many pieces in one single-precision array and draw them as
// one path: circle markers, line segments, and chains of cubic curves.

#include <memory>
#include <optional>

#include "drawing/KRDrawingPath.h"
#include "numeric/KRDoubleArrayContainer.h"
#include "numeric/KRFloatArrayContainer.h"

namespace orrelin {

// Full circles from a 3 x n array (x, y, radius per column). A circle of
// negative radius runs the other way round, so that inside a filled
// collection it cuts a hole.
class KRDrawingPathCircleCollection : public KRDrawingPath {
 public:
  // A radius larger than this (in absolute value) is drawn as kStandInRadius.
  static constexpr double kMaxRadius = 3000;
  static constexpr double kStandInRadius = 40;

  // nullptr, with a message, unless the array is 3 x n on one page.
  static std::shared_ptr<KRDrawingPathCircleCollection> createFromArray(
      std::shared_ptr<const KRFloatArrayContainer> array);

  const std::shared_ptr<const KRFloatArrayContainer>& centersAndRadius() const { return circles_; }
  long count() const { return circles_->n(); }
  bool fillCurve() const override { return fillCurve_; }
  void setFillCurve(bool fill) { fillCurve_ = fill; }
  // The radius a column is drawn with, in a collection scaled (or
  // magnified) by scale since it was made: the stand-in rule applies to the
  // radius as it was made, and the stand-in scales like every radius.
  static double drawnRadius(double radius, double scale = 1);
  // The product of the scale factors applied since the collection was made.
  double radiusScale() const { return radiusScale_; }
  // The column of the first circle the point hits.
  std::optional<long> whichCenterWasHit(KRPoint point) const;

  static std::shared_ptr<KRDrawingBasic> createFromMVG(const PropertyList& description);
  const char* className() const override { return "KRDrawingPathCircleCollection"; }
  void addInsideAnglesInSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy,
                                  const std::string& styleString) const override;
  std::optional<PropertyList> mvgDescription() const override;
  // Circles with a coordinate or radius that is not finite are left out.
  void addGeometry(KRPathSink& sink) const override;
  void drawPathToContext(KRDrawingContext& context) const override;
  bool pointLiesInside(KRPoint point) const override;
  bool hitTestForPoint(KRPoint point) const override;
  bool isEmptyPath() const override { return count() == 0; }
  std::shared_ptr<KRDrawingBasic> simplifyDrawingOutside(const KRRect& rect) const override;
  std::shared_ptr<KRDrawingBasic> copy() const override;
  std::size_t memoryUsed() const override;
  std::string textDescription() const override;

  KRDrawingPathCircleCollection() = default;

 protected:
  KRRect geometryBounds() const override;
  std::shared_ptr<KRDrawingPath> withPointsMapped(const std::function<KRPoint(KRPoint)>& map,
                                                  double sizeFactor) const override;

 private:
  std::shared_ptr<KRDrawingPathCircleCollection> withCircles(std::shared_ptr<const KRFloatArrayContainer> circles) const;

  std::shared_ptr<const KRFloatArrayContainer> circles_;
  bool fillCurve_ = false;
  double radiusScale_ = 1;
};

// Line segments from a 4 x n array (x1, y1, x2, y2 per column), stroked
// together, or each in its own colour from a 3 x n (RGB) or 4 x n (RGBA) list.
class KRDrawingPathLineCollection : public KRDrawingPath {
 public:
  // nullptr, with a message, for a missing or misshapen array or colour list.
  static std::shared_ptr<KRDrawingPathLineCollection> createLines(std::shared_ptr<const KRFloatArrayContainer> lines,
                                                                  std::shared_ptr<const KRFloatArrayContainer> colors);

  const std::shared_ptr<const KRFloatArrayContainer>& lineSegments() const { return lines_; }
  const std::shared_ptr<const KRFloatArrayContainer>& colorList() const { return colors_; }
  // Device RGB whenever there is a colour list.
  std::optional<KRColor::Space> colorSpace() const {
    return colors_ ? std::optional<KRColor::Space>(KRColor::Space::RGB) : std::nullopt;
  }
  long count() const { return lines_->n(); }
  KRColor colorOfLine(long index) const;

  const char* className() const override { return "KRDrawingPathLineCollection"; }
  std::optional<PropertyList> mvgDescription() const override;
  static std::shared_ptr<KRDrawingBasic> createFromMVG(const PropertyList& description);
  void addGeometry(KRPathSink& sink) const override;
  void drawToCurrentContext(KRDrawingContext& context) const override;
  bool hitTestForPoint(KRPoint point) const override;
  bool isEmptyPath() const override { return count() == 0; }
  bool containsTransparency() const override;
  std::shared_ptr<KRDrawingBasic> nonTransparentVersion() const override;
  std::shared_ptr<KRDrawingBasic> simplifyDrawingOutside(const KRRect& rect) const override;
  std::shared_ptr<KRDrawingBasic> copy() const override;
  std::size_t memoryUsed() const override;
  std::string textDescription() const override;

  KRDrawingPathLineCollection() = default;

 protected:
  std::shared_ptr<KRDrawingPath> withPointsMapped(const std::function<KRPoint(KRPoint)>& map,
                                                  double sizeFactor) const override;

 private:

  std::shared_ptr<const KRFloatArrayContainer> lines_;
  std::shared_ptr<const KRFloatArrayContainer> colors_;
};

// Chains of cubic curves from a 2 x N array of pieces: a header column whose
// second row holds the piece's point count n, then n points: the start, and
// either one end point (a straight segment, n = 2) or threes of first
// control point, second control point and end point.
class KRDrawingCubicBezier : public KRDrawingPath {
 public:
  // nullptr, with a message, unless the array is 2 x N on one page and its
  // pieces fit it.
  static std::shared_ptr<KRDrawingCubicBezier> createWithArray(std::shared_ptr<const KRDoubleArrayContainer> array);

  const std::shared_ptr<const KRDoubleArrayContainer>& controlPoints() const { return points_; }
  bool fillCurve() const override { return fillCurve_; }
  void setFillCurve(bool fill) { fillCurve_ = fill; }
  long numberOfPieces() const;

  const char* className() const override { return "KRDrawingCubicBezier"; }
  void addInsideAnglesInSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy,
                                  const std::string& styleString) const override;
  std::optional<PropertyList> mvgDescription() const override;
  static std::shared_ptr<KRDrawingBasic> createFromMVG(const PropertyList& description);
  void addGeometry(KRPathSink& sink) const override;
  bool isEmptyPath() const override { return points_->n() == 0; }
  std::shared_ptr<KRDrawingBasic> copy() const override;
  std::size_t memoryUsed() const override;
  std::string textDescription() const override;

  KRDrawingCubicBezier() = default;

 protected:
  std::shared_ptr<KRDrawingPath> withPointsMapped(const std::function<KRPoint(KRPoint)>& map,
                                                  double sizeFactor) const override;

 private:

  std::shared_ptr<const KRDoubleArrayContainer> points_;
  bool fillCurve_ = false;
};

}  // namespace orrelin
