#include "drawing/KRTextPlacement.h"

#include <cmath>

namespace orrelin {

KRPoint baselineOriginForAlignment(KRPoint point, unsigned alignment, int vAlignment, const KRTextBox& box) {
  double x = point.x;
  if (alignment == Right)
    x -= box.width;
  else if (alignment == Center)
    x -= box.width / 2;
  double y = point.y, height = box.ascent + box.descent;
  switch (vAlignment) {
    case Top: y -= box.ascent; break;
    case VCenter: y += height / 2 - box.ascent; break;
    case TopLetters: y -= box.capHeight; break;
    case CenterLetters: y -= box.capHeight / 2; break;
    case TopNumbers: y -= box.digitHeight; break;
    case CenterNumbers: y -= box.digitHeight / 2; break;
    case Bottom:
    default: y += box.descent; break;
  }
  return {x, y};
}

KRAffineTransform rotationAroundPoint(KRPoint point, double degrees) {
  return KRAffineTransform::translation(-point.x, -point.y)
      .then(KRAffineTransform::rotation(degrees * M_PI / 180))
      .then(KRAffineTransform::translation(point.x, point.y));
}

}  // namespace orrelin
