#pragma once
// Where a text goes: the alignment codes of labels, which place a text's box
// against its point, and the rotation of a text around that point. Shared by
// plain and typeset (math) text.

#include "platform/PageGeometry.h"

namespace orrelin {

// Horizontal alignment codes; justified and natural text is placed as left.
enum KRTextAlignment : unsigned { Left = 0, Right = 1, Center = 2, Justified = 3, Natural = 4 };
// Vertical alignment codes: against the text's box, or against the height of
// its capital letters or of its digits above the base line.
enum KRTextVerticalAlignment : int {
  Top = 0,
  VCenter = 1,
  Bottom = 2,
  TopLetters = 3,
  CenterLetters = 4,
  TopNumbers = 5,
  CenterNumbers = 6,
};

// A laid-out text around its base line: the box's width and its extent above
// and below the line (both non-negative), and the font's letter and digit
// heights (needed only by the letter and number codes).
struct KRTextBox {
  double width = 0;
  double ascent = 0;
  double descent = 0;
  double capHeight = 0;
  double digitHeight = 0;
};

// Whether the code places the text by the font's letter or digit heights.
inline bool placesByFontHeights(int vAlignment) { return vAlignment >= TopLetters; }

// Where the base line starts so that the box sits against the point as the
// codes say (before any rotation).
KRPoint baselineOriginForAlignment(KRPoint point, unsigned alignment, int vAlignment, const KRTextBox& box);

// The turn of a text by degrees, counter-clockwise, around its point.
KRAffineTransform rotationAroundPoint(KRPoint point, double degrees);

}  // namespace orrelin
