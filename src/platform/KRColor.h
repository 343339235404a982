#pragma once
// Colours as the drawing speaks of them: RGB, grey or CMYK, with an alpha.

#include <array>

namespace orrelin {

// A colour in one of the three colour spaces the drawing uses. The devices
// behind our drawing targets are RGB or grey, so CMYK is converted when it is
// painted; the space is kept so that callers can still tell, for example, a
// pure CMYK black sent for printing.
struct KRColor {
  enum class Space { RGB, Grey, CMYK };

  Space space = Space::Grey;
  std::array<double, 4> components{0, 0, 0, 0};
  double alpha = 1;

  static KRColor rgb(double r, double g, double b, double a = 1) { return {Space::RGB, {r, g, b, 0}, a}; }
  static KRColor grey(double w, double a = 1) { return {Space::Grey, {w, 0, 0, 0}, a}; }
  static KRColor cmyk(double c, double m, double y, double k, double a = 1) {
    return {Space::CMYK, {c, m, y, k}, a};
  }
  static KRColor black() { return grey(0); }
  static KRColor white() { return grey(1); }

  int numberOfComponents() const { return space == Space::RGB ? 3 : space == Space::Grey ? 1 : 4; }
  // Red, green and blue in [0, 1] (CMYK by the plain complement rule).
  std::array<double, 3> rgbComponents() const;
  KRColor deviceRGB() const;
  KRColor withAlpha(double a) const {
    KRColor copy = *this;
    copy.alpha = a;
    return copy;
  }
  // The colour components are exactly black (or white), whatever the alpha.
  bool isPureBlack() const;
  bool isPureWhite() const;

  friend bool operator==(const KRColor&, const KRColor&) = default;
};

}  // namespace orrelin
