#pragma once
// The value types of page geometry: points, sizes, rectangles and affine
// transforms, in points with y pointing up.

#include <cstddef>

namespace orrelin {

struct KRPoint {
  double x = 0;
  double y = 0;
  friend bool operator==(const KRPoint&, const KRPoint&) = default;
};

struct KRSize {
  double width = 0;
  double height = 0;
  friend bool operator==(const KRSize&, const KRSize&) = default;
};

struct KRRect {
  KRPoint origin;
  KRSize size;

  KRRect() = default;
  KRRect(double x, double y, double width, double height) : origin{x, y}, size{width, height} {}
  KRRect(KRPoint o, KRSize s) : origin(o), size(s) {}

  double minX() const { return size.width < 0 ? origin.x + size.width : origin.x; }
  double maxX() const { return size.width < 0 ? origin.x : origin.x + size.width; }
  double minY() const { return size.height < 0 ? origin.y + size.height : origin.y; }
  double maxY() const { return size.height < 0 ? origin.y : origin.y + size.height; }
  double midX() const { return origin.x + size.width / 2; }
  double midY() const { return origin.y + size.height / 2; }
  double width() const { return size.width; }
  double height() const { return size.height; }
  // Empty: no area (a zero, negative or NaN width or height).
  bool isEmpty() const { return !(size.width > 0 && size.height > 0); }
  // Null: nothing at all (a negative or NaN side, or both sides zero). A
  // horizontal line's rectangle is empty but not null.
  bool isNull() const {
    return !(size.width >= 0 && size.height >= 0) || (size.width == 0 && size.height == 0) ||
           !(origin.x == origin.x && origin.y == origin.y);
  }

  // The same rectangle with a non-negative width and height.
  KRRect standardized() const { return {minX(), minY(), maxX() - minX(), maxY() - minY()}; }
  KRRect insetBy(double dx, double dy) const {
    KRRect r = standardized();
    return {r.origin.x + dx, r.origin.y + dy, r.size.width - 2 * dx, r.size.height - 2 * dy};
  }
  KRRect offsetBy(double dx, double dy) const {
    return {origin.x + dx, origin.y + dy, size.width, size.height};
  }
  // The smallest rectangle holding both; a null side is ignored.
  KRRect unionWith(const KRRect& other) const;
  // The common part; the zero rectangle when they do not overlap.
  KRRect intersection(const KRRect& other) const;
  bool intersects(const KRRect& other) const { return !intersection(other).isEmpty(); }
  // Inside or on the edge.
  bool contains(KRPoint p) const {
    return p.x >= minX() && p.x <= maxX() && p.y >= minY() && p.y <= maxY();
  }
  // The smallest rectangle holding every point given.
  static KRRect enclosing(const KRPoint* points, std::size_t count);

  friend bool operator==(const KRRect&, const KRRect&) = default;
};

// Maps (x, y) to (a x + c y + tx, b x + d y + ty).
struct KRAffineTransform {
  double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

  static KRAffineTransform translation(double dx, double dy) { return {1, 0, 0, 1, dx, dy}; }
  static KRAffineTransform scaling(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
  // Counter-clockwise by angle radians in a y-up space.
  static KRAffineTransform rotation(double angle);

  // This transform first, then next.
  KRAffineTransform then(const KRAffineTransform& next) const;
  KRPoint apply(KRPoint p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
  // The rectangle enclosing the four mapped corners.
  KRRect applyToRect(const KRRect& r) const;
  double determinant() const { return a * d - b * c; }
  bool isInvertible() const;
  // Only meaningful when isInvertible().
  KRAffineTransform inverted() const;
  bool isIdentity() const { return a == 1 && b == 0 && c == 0 && d == 1 && tx == 0 && ty == 0; }

  friend bool operator==(const KRAffineTransform&, const KRAffineTransform&) = default;
};

}  // namespace orrelin
