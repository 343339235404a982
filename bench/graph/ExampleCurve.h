#pragma once
// A curve through given points, for the layout's examples and benchmark:
// it asks for the range of its points and draws them as one line. The
// graph commands proper live in src/commands; this one exists so the
// layout can be shown and timed without them.

#include <cmath>
#include <memory>
#include <vector>

#include "drawing/KRDrawingPath.h"
#include "drawing/KRPathGeometry.h"
#include "graph/DataDocumentDrawing.h"

namespace orrelin::examples {

class ExampleCurve : public VKDrawingCommand {
 public:
  ExampleCurve(std::vector<KRPoint> points, KRColor color) : points_(std::move(points)), color_(color) {}
  std::string type() const override { return "Plot"; }
  KRBoundingRange domainRangeXLinear(bool xLinear, bool) override { return range(true, xLinear); }
  KRBoundingRange valueRangeXLinear(bool, bool yLinear) override { return range(false, yLinear); }
  bool xUsesDateAxis() const override { return dates_; }
  void setDates(bool on) { dates_ = on; }

  std::shared_ptr<KRDrawingGroup> computeDrawingObjectForScale(const KR1DPlotDrawingInfo& record,
                                                               KRDrawingInformation&) override {
    auto group = KRDrawingGroup::create();
    KRBezierPath path;
    bool started = false;
    for (KRPoint p : points_) {
      if ((!record.xIsLinear && p.x <= 0) || (!record.yIsLinear && p.y <= 0)) {
        started = false;
        continue;
      }
      KRPoint page = record.transform(p);
      if (started) {
        path.lineTo(page);
      } else {
        path.moveTo(page);
        started = true;
      }
    }
    auto line = KRDrawingPathBezier::withPath(std::make_shared<KRBezierPath>(std::move(path)));
    auto style = KRDrawingStyleCurve::createWithColor(color_, 1.5);
    style->changeLineJoin(KRLineJoin::Round);
    line->setStyle(style);
    auto clipped = KRDrawingGroup::createWithDrawingObject(line);
    clipped->setCrop(KRDrawingPathRectangle::createWithRect(record.graphRegion));
    group->addObject(clipped);
    return group;
  }

 private:
  KRBoundingRange range(bool x, bool linear) const {
    double low = INFINITY, high = -INFINITY;
    for (KRPoint p : points_) {
      double v = x ? p.x : p.y;
      if (!std::isfinite(v) || (!linear && v <= 0)) continue;
      low = std::min(low, v);
      high = std::max(high, v);
    }
    return low <= high ? KRBoundingRange::between(low, high) : KRBoundingRange::invalid();
  }

  std::vector<KRPoint> points_;
  KRColor color_;
  bool dates_ = false;
};

inline std::shared_ptr<ExampleCurve> addCurve(DataDocumentDrawing& graph, std::vector<KRPoint> points,
                                              KRColor color, int xAxis = 0, int yAxis = 0) {
  auto curve = std::make_shared<ExampleCurve>(std::move(points), color);
  curve->finishConnections();
  graph.addCommand(curve);
  if (xAxis || yAxis) curve->moveToXAxis(xAxis, yAxis);
  return curve;
}

}  // namespace orrelin::examples
