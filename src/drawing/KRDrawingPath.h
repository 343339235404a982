#pragma once
// Paths: the leaf objects made of lines and curves. Each kind adds its
// geometry to a path sink; drawing, clipping, bounds and hit tests are built
// on that. A path also carries the data-to-page mapping the command used
// when it made it, so that a rescaled path still knows which data it shows.

#include <memory>
#include <vector>

#include "drawing/KRDrawingBasic.h"
#include "drawing/KRDrawingStyle.h"
#include "drawing/KRPathGeometry.h"

namespace orrelin {

class KRDrawingPathBezier;

class KRDrawingPath : public KRDrawingElement {
 public:
  const std::shared_ptr<KRDrawingStyleCurve>& style() const { return style_; }
  void setStyle(std::shared_ptr<KRDrawingStyleCurve> style) { style_ = std::move(style); }
  void setCurveStyle(std::shared_ptr<KRDrawingStyleCurve> style) { setStyle(std::move(style)); }

  // The mapping: page = (data + shift) * scale on a linear axis,
  // page = ln(data) * scale + shift on a logarithmic one.
  bool mappingDefined() const { return mappingDefined_; }
  bool xLinear() const { return xLinear_; }
  bool yLinear() const { return yLinear_; }
  double xshift() const { return xshift_; }
  double xscale() const { return xscale_; }
  double yshift() const { return yshift_; }
  double yscale() const { return yscale_; }
  void setXLinear(bool xLinear, double xshift, double xscale, bool yLinear, double yshift, double yscale);
  void copyMappingFrom(const KRDrawingPath& other);
  // Gives result the mapping that maps the same data onto this path's page
  // positions after they were mapped by (p - around) * s + shiftTo.
  void applyScaleTo(KRDrawingPath& result, double s, KRPoint around, KRPoint shiftTo) const;

  // Adds the geometry to the context's current path without painting.
  virtual void drawPathToContext(KRDrawingContext& context) const;
  // Intersects the context's clip with the path.
  virtual void clipWithPath(KRDrawingContext& context) const;
  virtual bool pointLiesInside(KRPoint point) const;
  // The geometry, for every consumer that is not a graphics context.
  virtual void addGeometry(KRPathSink& sink) const = 0;
  // The kind's own fill flag (kinds without one never fill by themselves).
  virtual bool fillCurve() const { return false; }
  // Filled when the kind's flag or the style's fill flag says so.
  bool isFilled() const { return fillCurve() || (style_ && style_->fillCurve()); }
  virtual bool isEmptyPath() const { return false; }

  void drawToCurrentContext(KRDrawingContext& context) const override;
  KRRect computeBoundingRectangle() const override;
  bool hitTestForPoint(KRPoint point) const override;
  bool containsTransparency() const override { return style_ && style_->containsTransparency(); }
  std::shared_ptr<KRDrawingBasic> nonTransparentVersion() const override;
  std::size_t memoryUsed() const override { return sizeof(KRDrawingPath) + (style_ ? style_->memoryUsed() : 0); }

  // A straight segment.
  static std::shared_ptr<KRDrawingPathBezier> singleLineFrom(KRPoint from, KRPoint to);
  // A rectangle with corners rounded by the radius (at most half the shorter side).
  static std::shared_ptr<KRDrawingPathBezier> roundedRectangle(const KRRect& rect, double radius);

 protected:
  KRDrawingPath() = default;
  KRDrawingPath(const KRDrawingPath& other);

  // The rectangle of the geometry itself, before the line width is added.
  virtual KRRect geometryBounds() const;
  // Copies the mapping and the style (magnified or not) into a scaled copy.
  void finishScaledCopy(KRDrawingPath& result, double s, KRPoint around, KRPoint shiftTo) const;
  void finishMagnifiedCopy(KRDrawingPath& result, double factor) const;
  // Half the stroke's width when stroked with a style, else 0.
  double strokeOutset() const;

 private:
  std::shared_ptr<KRDrawingStyleCurve> style_;
  bool mappingDefined_ = false;
  bool xLinear_ = true, yLinear_ = true;
  double xshift_ = 0, xscale_ = 1, yshift_ = 0, yscale_ = 1;
};

class KRDrawingPathRectangle : public KRDrawingPath {
 public:
  static std::shared_ptr<KRDrawingPathRectangle> createWithRect(const KRRect& rect);
  const KRRect& rectangle() const { return rectangle_; }

  const char* className() const override { return "KRDrawingPathRectangle"; }
  void addGeometry(KRPathSink& sink) const override;
  void drawPathToContext(KRDrawingContext& context) const override;
  bool pointLiesInside(KRPoint point) const override { return rectangle_.standardized().contains(point); }
  std::shared_ptr<KRDrawingBasic> copy() const override;
  std::shared_ptr<KRDrawingBasic> magnify(double factor) const override;
  std::string textDescription() const override;

  KRDrawingPathRectangle() = default;

 protected:
  KRRect geometryBounds() const override { return rectangle_.standardized(); }
  std::shared_ptr<KRDrawingBasic> scaledCopy(double s, KRPoint around, KRPoint shiftTo, bool crop) const override;

 private:
  KRRect rectangle_;
};

class KRDrawingPathCircle : public KRDrawingPath {
 public:
  static std::shared_ptr<KRDrawingPathCircle> createWithCenter(KRPoint center, double radius);
  KRPoint center() const { return center_; }
  double radius() const { return radius_; }
  bool fillCurve() const override { return fillCurve_; }
  void setFillCurve(bool fill) { fillCurve_ = fill; }

  const char* className() const override { return "KRDrawingPathCircle"; }
  void addGeometry(KRPathSink& sink) const override;
  bool pointLiesInside(KRPoint point) const override;
  bool hitTestForPoint(KRPoint point) const override;
  std::shared_ptr<KRDrawingBasic> copy() const override;
  std::shared_ptr<KRDrawingBasic> magnify(double factor) const override;
  std::string textDescription() const override;

  KRDrawingPathCircle() = default;

 protected:
  KRRect geometryBounds() const override;
  std::shared_ptr<KRDrawingBasic> scaledCopy(double s, KRPoint around, KRPoint shiftTo, bool crop) const override;

 private:
  KRPoint center_;
  double radius_ = 0;
  bool fillCurve_ = false;
};

// A path made of move, line, curve and close elements.
class KRDrawingPathBezier : public KRDrawingPath {
 public:
  // nullptr, with a message, when there is no path.
  static std::shared_ptr<KRDrawingPathBezier> withPath(std::shared_ptr<const KRBezierPath> path);
  const KRBezierPath& path() const { return *path_; }

  const char* className() const override { return "KRDrawingPathBezier"; }
  void addGeometry(KRPathSink& sink) const override { path_->addTo(sink); }
  bool isEmptyPath() const override { return path_->isEmpty(); }
  std::shared_ptr<KRDrawingBasic> copy() const override;
  std::shared_ptr<KRDrawingBasic> magnify(double factor) const override;
  std::string textDescription() const override;
  std::size_t memoryUsed() const override { return KRDrawingPath::memoryUsed() + path_->memoryUsed(); }

  KRDrawingPathBezier() = default;

 protected:
  std::shared_ptr<KRDrawingBasic> scaledCopy(double s, KRPoint around, KRPoint shiftTo, bool crop) const override;

 private:
  std::shared_ptr<const KRBezierPath> path_;
};

// A path held as the platform's own path object (which also has quadratic
// curves); drawn and measured like a Bezier path.
class KRDrawingPathFromCGPath : public KRDrawingPath {
 public:
  static std::shared_ptr<KRDrawingPathFromCGPath> createWithCGPath(std::shared_ptr<const KRBezierPath> path);
  const KRBezierPath& path() const { return *path_; }

  const char* className() const override { return "KRDrawingPathFromCGPath"; }
  void addGeometry(KRPathSink& sink) const override { path_->addTo(sink); }
  bool isEmptyPath() const override { return path_->isEmpty(); }
  std::shared_ptr<KRDrawingBasic> copy() const override;
  std::shared_ptr<KRDrawingBasic> magnify(double factor) const override;
  std::string textDescription() const override;
  std::size_t memoryUsed() const override { return KRDrawingPath::memoryUsed() + path_->memoryUsed(); }

  KRDrawingPathFromCGPath() = default;

 protected:
  std::shared_ptr<KRDrawingBasic> scaledCopy(double s, KRPoint around, KRPoint shiftTo, bool crop) const override;

 private:
  std::shared_ptr<const KRBezierPath> path_;
};

// Several paths drawn as one: their geometries one after another, painted once.
class KRDrawingPathCollection : public KRDrawingPath {
 public:
  // More points than this together cannot be used as a clip.
  static constexpr std::size_t kClipPointLimit = 2000000;

  static std::shared_ptr<KRDrawingPathCollection> create(std::vector<std::shared_ptr<KRDrawingPath>> paths = {});
  const std::vector<std::shared_ptr<KRDrawingPath>>& theCollection() const { return paths_; }
  void addPath(std::shared_ptr<KRDrawingPath> path);
  bool fillCurve() const override;

  const char* className() const override { return "KRDrawingPathCollection"; }
  void addGeometry(KRPathSink& sink) const override;
  void drawPathToContext(KRDrawingContext& context) const override;
  void clipWithPath(KRDrawingContext& context) const override;
  bool isEmptyPath() const override;
  std::shared_ptr<KRDrawingBasic> copy() const override;
  std::shared_ptr<KRDrawingBasic> magnify(double factor) const override;
  bool containsTransparency() const override;
  std::string textDescription() const override;
  std::size_t memoryUsed() const override;

  KRDrawingPathCollection() = default;

 protected:
  std::shared_ptr<KRDrawingBasic> scaledCopy(double s, KRPoint around, KRPoint shiftTo, bool crop) const override;

 private:
  std::vector<std::shared_ptr<KRDrawingPath>> paths_;
};

}  // namespace orrelin
