#pragma once
// Path geometry shared by the path kinds: a sink that receives the pieces of
// a path (drawing, bounds, hit tests all listen the same way), and the Bezier
// path object that holds move, line, curve and close elements.

#include <array>
#include <cmath>
#include <cstddef>
#include <functional>
#include <vector>

#include "platform/GraphicsContext.h"

namespace orrelin {

// The smallest rectangle around the finite points given to it.
class KRRectAccumulator {
 public:
  void include(KRPoint p);
  void include(const KRRect& r) {
    if (r.isNull()) return;
    include(KRPoint{r.minX(), r.minY()});
    include(KRPoint{r.maxX(), r.maxY()});
  }
  bool isEmpty() const { return x0_ > x1_; }
  // The zero rectangle when nothing was given.
  KRRect rect() const;

 private:
  double x0_ = INFINITY, y0_ = INFINITY, x1_ = -INFINITY, y1_ = -INFINITY;
};

class KRPathSink {
 public:
  virtual ~KRPathSink() = default;
  virtual void moveTo(KRPoint p) = 0;
  virtual void lineTo(KRPoint p) = 0;
  virtual void curveTo(KRPoint c1, KRPoint c2, KRPoint p) = 0;
  virtual void quadCurveTo(KRPoint c, KRPoint p) = 0;
  // Angles in radians, counter-clockwise in a y-up space; clockwise walks the
  // other way. A line joins the current point to the arc's start.
  virtual void arc(KRPoint center, double radius, double startAngle, double endAngle, bool clockwise) = 0;
  virtual void closePath() = 0;
};

// Hands the pieces to a graphics context's current path.
class KRContextPathSink : public KRPathSink {
 public:
  explicit KRContextPathSink(GraphicsContext& context) : gc_(context) {}
  void moveTo(KRPoint p) override { gc_.moveTo(p.x, p.y); }
  void lineTo(KRPoint p) override { gc_.lineTo(p.x, p.y); }
  void curveTo(KRPoint c1, KRPoint c2, KRPoint p) override { gc_.curveTo(c1.x, c1.y, c2.x, c2.y, p.x, p.y); }
  void quadCurveTo(KRPoint c, KRPoint p) override { gc_.quadCurveTo(c.x, c.y, p.x, p.y); }
  void arc(KRPoint center, double radius, double startAngle, double endAngle, bool clockwise) override {
    gc_.addArc(center.x, center.y, radius, startAngle, endAngle, clockwise);
  }
  void closePath() override { gc_.closePath(); }

 private:
  GraphicsContext& gc_;
};

// Flattens curves and arcs into line segments and hands each segment on;
// the base of the measuring sinks below.
class KRFlatteningSink : public KRPathSink {
 public:
  void moveTo(KRPoint p) override;
  void lineTo(KRPoint p) override;
  void curveTo(KRPoint c1, KRPoint c2, KRPoint p) override;
  void quadCurveTo(KRPoint c, KRPoint p) override;
  void arc(KRPoint center, double radius, double startAngle, double endAngle, bool clockwise) override;
  void closePath() override;
  // Closes the last subpath for area tests (filled paths close implicitly).
  void finish();

 protected:
  // A straight piece of the outline; closing marks the implicit closing segment.
  virtual void segment(KRPoint from, KRPoint to, bool closing) = 0;
  virtual void point(KRPoint) {}

 private:
  bool hasCurrent_ = false;
  KRPoint current_;
  KRPoint start_;
};

// The exact extent of the outline (curves by their flattened points).
class KRBoundsSink : public KRFlatteningSink {
 public:
  KRRect bounds() const { return extent_.rect(); }

 protected:
  void segment(KRPoint from, KRPoint to, bool closing) override;
  void point(KRPoint p) override;

 private:
  KRRectAccumulator extent_;
};

// The distance from a point to the outline, and the winding number of the
// outline around it (every subpath taken as closed).
class KRHitSink : public KRFlatteningSink {
 public:
  explicit KRHitSink(KRPoint p) : p_(p) {}
  double distance() const { return distance_; }
  // Distance to the drawn segments only, without the implicit closing ones.
  double strokeDistance() const { return strokeDistance_; }
  int winding() const { return winding_; }

 protected:
  void segment(KRPoint from, KRPoint to, bool closing) override;
  void point(KRPoint p) override;

 private:
  KRPoint p_;
  double distance_ = INFINITY;
  double strokeDistance_ = INFINITY;
  int winding_ = 0;
};

// A path object of move, line, quadratic and cubic curve, and close elements.
class KRBezierPath {
 public:
  enum class ElementType { MoveTo, LineTo, QuadCurveTo, CurveTo, ClosePath };
  struct Element {
    ElementType type;
    std::array<KRPoint, 3> points;  // the end point last in use: 1, 2 or 3 points
  };

  void moveTo(KRPoint p) { elements_.push_back({ElementType::MoveTo, {p, {}, {}}}); }
  void lineTo(KRPoint p) { elements_.push_back({ElementType::LineTo, {p, {}, {}}}); }
  void quadCurveTo(KRPoint c, KRPoint p) { elements_.push_back({ElementType::QuadCurveTo, {c, p, {}}}); }
  void curveTo(KRPoint c1, KRPoint c2, KRPoint p) { elements_.push_back({ElementType::CurveTo, {c1, c2, p}}); }
  void closePath() { elements_.push_back({ElementType::ClosePath, {}}); }
  void appendRect(const KRRect& rect);
  // An ellipse inside the rectangle, as four cubic curves.
  void appendOval(const KRRect& rect);
  // An arc as cubic curves (at most a quarter turn each).
  void appendArc(KRPoint center, double radius, double startAngle, double endAngle, bool clockwise);

  const std::vector<Element>& elements() const { return elements_; }
  std::size_t elementCount() const { return elements_.size(); }
  bool isEmpty() const { return elements_.empty(); }
  // Number of points held by an element of the type.
  static int pointCount(ElementType type);

  void addTo(KRPathSink& sink) const;
  KRBezierPath transformed(const std::function<KRPoint(KRPoint)>& map) const;
  std::size_t memoryUsed() const { return sizeof(*this) + elements_.capacity() * sizeof(Element); }

 private:
  std::vector<Element> elements_;
};

// Builds a Bezier path from the pieces it receives.
class KRBezierPathSink : public KRPathSink {
 public:
  explicit KRBezierPathSink(KRBezierPath& path) : path_(path) {}
  void moveTo(KRPoint p) override { path_.moveTo(p); }
  void lineTo(KRPoint p) override { path_.lineTo(p); }
  void curveTo(KRPoint c1, KRPoint c2, KRPoint p) override { path_.curveTo(c1, c2, p); }
  void quadCurveTo(KRPoint c, KRPoint p) override { path_.quadCurveTo(c, p); }
  void arc(KRPoint center, double radius, double startAngle, double endAngle, bool clockwise) override {
    path_.appendArc(center, radius, startAngle, endAngle, clockwise);
  }
  void closePath() override { path_.closePath(); }

 private:
  KRBezierPath& path_;
};

// The distance from p to the segment from a to b.
double distanceToSegment(KRPoint p, KRPoint a, KRPoint b);

}  // namespace orrelin
