#pragma once
// Paths: the leaf objects made of lines and curves. Each kind adds its
// geometry to a path sink; drawing, clipping, bounds and hit tests are built
// on that. A path also carries the data-to-page mapping the command used
// when it made it, so that a rescaled path still knows which data it shows.

#include <functional>
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
  // The cached rectangle follows the style, also when the style is edited in place.
  void setStyle(std::shared_ptr<KRDrawingStyleCurve> style) {
    style_ = std::move(style);
    clearCachedEntries();
  }
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
  // Nothing for an empty path; otherwise the style's text and the element.
  void addToSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy, KRSVGInfo& info) const override;
  // The geometry alone, as a clip path holds it.
  void addPathToSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy) const;
  // The kind's one element, with the style text when there is one; the
  // base reports that the kind has no SVG form.
  virtual void addInsideAnglesInSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy,
                                          const std::string& styleString) const;
  // The keys every path's description has: "Description", the mapping, "Style".
  void addCommonMVG(PlistDictionary& description) const;
  void setFromCommonMVG(const PropertyList& description);
  bool containsTransparency() const override { return style_ && style_->containsTransparency(); }
  std::shared_ptr<KRDrawingBasic> nonTransparentVersion() const override;
  // The points and sizes multiplied by factor, and the style's widths with them.
  std::shared_ptr<KRDrawingBasic> magnify(double factor) const override;
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
  // A copy with every point moved by map and every size (a radius)
  // multiplied by sizeFactor: what scaling and magnifying do to the geometry.
  // Kinds without points to move give nullptr.
  virtual std::shared_ptr<KRDrawingPath> withPointsMapped(const std::function<KRPoint(KRPoint)>& map,
                                                          double sizeFactor) const;
  std::shared_ptr<KRDrawingBasic> scaledCopy(double s, KRPoint around, KRPoint shiftTo, bool crop) const override;
  // Copies the mapping and the style (magnified or not) into a scaled copy.
  void finishScaledCopy(KRDrawingPath& result, double s, KRPoint around, KRPoint shiftTo) const;
  void finishMagnifiedCopy(KRDrawingPath& result, double factor) const;
  std::uint64_t appearanceStamp() const override { return style_ ? style_->stamp() : 0; }
  // Half the stroke's width when stroked with a style, else 0.
  double strokeOutset() const;
  // How far from a stroked line (its geometry, whatever its width) a click
  // still hits it.
  static constexpr double kStrokeHitTolerance = 2;

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

  static std::shared_ptr<KRDrawingBasic> createFromMVG(const PropertyList& description);
  const char* className() const override { return "KRDrawingPathRectangle"; }
  void addInsideAnglesInSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy,
                                  const std::string& styleString) const override;
  std::optional<PropertyList> mvgDescription() const override;
  void addGeometry(KRPathSink& sink) const override;
  void drawPathToContext(KRDrawingContext& context) const override;
  bool pointLiesInside(KRPoint point) const override { return rectangle_.standardized().contains(point); }
  std::shared_ptr<KRDrawingBasic> copy() const override;
  std::string textDescription() const override;

  KRDrawingPathRectangle() = default;

 protected:
  KRRect geometryBounds() const override { return rectangle_.standardized(); }
  std::shared_ptr<KRDrawingPath> withPointsMapped(const std::function<KRPoint(KRPoint)>& map,
                                                  double sizeFactor) const override;

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

  static std::shared_ptr<KRDrawingBasic> createFromMVG(const PropertyList& description);
  const char* className() const override { return "KRDrawingPathCircle"; }
  void addInsideAnglesInSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy,
                                  const std::string& styleString) const override;
  std::optional<PropertyList> mvgDescription() const override;
  void addGeometry(KRPathSink& sink) const override;
  bool pointLiesInside(KRPoint point) const override;
  bool hitTestForPoint(KRPoint point) const override;
  std::shared_ptr<KRDrawingBasic> copy() const override;
  std::string textDescription() const override;

  KRDrawingPathCircle() = default;

 protected:
  KRRect geometryBounds() const override;
  std::shared_ptr<KRDrawingPath> withPointsMapped(const std::function<KRPoint(KRPoint)>& map,
                                                  double sizeFactor) const override;

 private:
  KRPoint center_;
  double radius_ = 0;
  bool fillCurve_ = false;
};

// The two kinds held as a path object of elements: they draw, measure and
// rescale alike and differ in where their paths come from.
template <class Kind>
class KRDrawingPathOfElements : public KRDrawingPath {
 public:
  const KRBezierPath& path() const { return *path_; }

  void addGeometry(KRPathSink& sink) const override { path_->addTo(sink); }
  bool isEmptyPath() const override { return path_->isEmpty(); }
  std::shared_ptr<KRDrawingBasic> copy() const override {
    return std::make_shared<Kind>(static_cast<const Kind&>(*this));
  }
  std::string textDescription() const override { return std::to_string(path_->elementCount()) + " elements"; }
  std::size_t memoryUsed() const override { return KRDrawingPath::memoryUsed() + path_->memoryUsed(); }

 protected:
  // nullptr, with a message, when there is no path.
  static std::shared_ptr<Kind> make(std::shared_ptr<const KRBezierPath> path);
  std::shared_ptr<KRDrawingPath> withPointsMapped(const std::function<KRPoint(KRPoint)>& map, double) const override {
    auto result = std::make_shared<Kind>(static_cast<const Kind&>(*this));
    static_cast<KRDrawingPathOfElements&>(*result).path_ = std::make_shared<KRBezierPath>(path_->transformed(map));
    result->clearCachedEntries();
    return result;
  }

 private:
  std::shared_ptr<const KRBezierPath> path_;
};

// A path made of move, line, curve and close elements.
class KRDrawingPathBezier : public KRDrawingPathOfElements<KRDrawingPathBezier> {
 public:
  static std::shared_ptr<KRDrawingPathBezier> withPath(std::shared_ptr<const KRBezierPath> path) {
    return make(std::move(path));
  }
  const char* className() const override { return "KRDrawingPathBezier"; }
  void addInsideAnglesInSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy,
                                  const std::string& styleString) const override;
  std::optional<PropertyList> mvgDescription() const override;
  static std::shared_ptr<KRDrawingBasic> createFromMVG(const PropertyList& description);
};

// A path held as the platform's own path object (which also has quadratic
// curves).
class KRDrawingPathFromCGPath : public KRDrawingPathOfElements<KRDrawingPathFromCGPath> {
 public:
  static std::shared_ptr<KRDrawingPathFromCGPath> createWithCGPath(std::shared_ptr<const KRBezierPath> path) {
    return make(std::move(path));
  }
  const char* className() const override { return "KRDrawingPathFromCGPath"; }
  void addInsideAnglesInSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy,
                                  const std::string& styleString) const override;
  std::optional<PropertyList> mvgDescription() const override;
  // Reports "Unexpected type in CGPath" or "Incorrect array size for CGPath"
  // for an element list it cannot read.
  static std::shared_ptr<KRDrawingBasic> createFromMVG(const PropertyList& description);
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
