#pragma once
// A path over a set of loops (KRContainerPath2D): the kind the plot commands
// use for their curves, built for large point counts.

#include <memory>
#include <vector>

#include "drawing/KRContainerPath2D.h"
#include "drawing/KRDrawingPath.h"

namespace orrelin {

class KR2DDrawingInfo;

class KRDrawingPathFromObj : public KRDrawingPath {
 public:
  // Larger paths are refused rather than drawn.
  static constexpr long kMaxPoints = 2000000;
  static constexpr long kMaxConnections = 1000000;

  // nullptr, with a message, without a path.
  static std::shared_ptr<KRDrawingPathFromObj> createFromPath(std::shared_ptr<const KRContainerPath2D> path);
  // A path of data points mapped to the page by the record's linear mapping,
  // page = (data + shift) * scale, which the path then carries.
  static std::shared_ptr<KRDrawingPathFromObj> createFromPath(const KRContainerPath2D& path,
                                                              const KR2DDrawingInfo& withScaling);

  const std::shared_ptr<const KRContainerPath2D>& thePath() const { return thePath_; }
  bool fillCurve() const override { return fillCurve_; }
  void setFillCurve(bool fill) { fillCurve_ = fill; }

  const char* className() const override { return "KRDrawingPathFromObj"; }
  void addInsideAnglesInSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy,
                                  const std::string& styleString) const override;
  std::optional<PropertyList> mvgDescription() const override;
  static std::shared_ptr<KRDrawingBasic> createFromMVG(const PropertyList& description);
  void addGeometry(KRPathSink& sink) const override;
  void drawPathToContext(KRDrawingContext& context) const override;
  // A path without its loops is drawn, so that the drawing reports it.
  bool isEmptyPath() const override { return thePath_ && thePath_->isEmpty(); }
  bool hitTestForPoint(KRPoint point) const override;
  std::shared_ptr<KRDrawingBasic> simplifyDrawingOutside(const KRRect& rect) const override;
  std::shared_ptr<KRDrawingBasic> copy() const override;
  std::size_t memoryUsed() const override;
  std::string textDescription() const override;

  KRDrawingPathFromObj() = default;

 protected:
  KRRect geometryBounds() const override;
  std::shared_ptr<KRDrawingPath> withPointsMapped(const std::function<KRPoint(KRPoint)>& map,
                                                  double sizeFactor) const override;

 private:
  // Reports the limit a path breaks; false when it may be drawn.
  bool breaksLimits() const;
  std::shared_ptr<KRDrawingPathFromObj> withPath(std::shared_ptr<const KRContainerPath2D> path) const;

  std::shared_ptr<const KRContainerPath2D> thePath_;
  bool fillCurve_ = false;
};

// Separate segments (x1, y1, x2, y2 each) as one path of two-point runs,
// which every output form writes, SVG included; only when they are more than
// a path may hold, as one line collection, which draws as fast but has no
// SVG form. nullptr when there are none.
std::shared_ptr<KRDrawingPath> createSegmentsDrawing(const std::vector<double>& segments);

}  // namespace orrelin
