#pragma once
// Shaped text as the text system hands it to the drawing targets: runs of
// glyphs of one font each, placed in points from the text's origin on its
// base line (y up). Shaping never depends on a target, so a text measures
// and is laid out the same whatever it is drawn into.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct _cairo_scaled_font;

namespace orrelin {

// The size of a measured text. ascent and descent are the line's extent
// above and below the base line (both non-negative); the ink values bound
// the marks actually drawn, relative to the pen start on the base line.
struct KRTextMeasure {
  double width = 0;
  double ascent = 0;
  double descent = 0;
  double inkLeft = 0, inkRight = 0, inkTop = 0, inkBottom = 0;  // y up: top > bottom
  double height() const { return ascent + descent; }
};

struct KRFontMetrics {
  std::string familyName;  // the family actually used
  double ascender = 0;     // above the base line
  double descender = 0;    // below it, as a negative number
  double capHeight = 0;
  double xHeight = 0;
  double digitHeight = 0;  // the height of the digits' marks
  double italicAngle = 0;  // degrees, negative when the letters lean right
};

// One font file's face at one size, as shaping chose it. Shared by every
// run that uses it; immutable.
class KRFont {
 public:
  ~KRFont();
  KRFont(const KRFont&) = delete;
  KRFont& operator=(const KRFont&) = delete;

  // Made by the text system from the font cairo holds.
  KRFont(_cairo_scaled_font* font, std::string family, double size, std::string file, int faceIndex);

  const std::string& familyName() const { return family_; }
  double size() const { return size_; }
  // The font file and the face within it, for targets that load fonts themselves.
  const std::string& filePath() const { return file_; }
  int faceIndex() const { return faceIndex_; }

 private:
  // The cairo targets draw with the font as cairo holds it.
  friend class CairoGraphicsContext;

  _cairo_scaled_font* scaledFont_;
  std::string family_;
  double size_;
  std::string file_;
  int faceIndex_;
};

struct KRGlyph {
  std::uint32_t index = 0;  // in the font
  double x = 0, y = 0;      // from the text's origin
};

struct KRGlyphRun {
  std::shared_ptr<const KRFont> font;
  std::vector<KRGlyph> glyphs;
};

struct KRShapedText {
  std::vector<KRGlyphRun> runs;
  KRTextMeasure measure;
  bool isEmpty() const { return runs.empty(); }
};

}  // namespace orrelin
