#pragma once
// Measuring, shaping and drawing text, and the fonts behind it. Sizes are in
// points and independent of the device: a text is measured and shaped once,
// by the text system alone, and measures the same whether it is drawn on
// screen, into a bitmap at any resolution or into a document. Drawing hands
// the shaped glyphs to the graphics context.
//
// The text machinery is shared by the whole process, so every measuring and
// drawing call holds one global lock; callers that need several calls to see
// the same state take the lock themselves (it is recursive).

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/KRColor.h"
#include "platform/KRFont.h"
#include "platform/PageGeometry.h"

namespace orrelin {

class GraphicsContext;

// A font as the text system looks it up: a family and a face within it.
struct KRFontFace {
  std::string family;
  bool bold = false;
  bool italic = false;
  friend bool operator==(const KRFontFace&, const KRFontFace&) = default;
};

// How a run of text is drawn.
struct KRTextAttributes {
  KRFontFace face{"Helvetica", false, false};
  double fontSize = 12;
  KRColor color = KRColor::black();
  // Raises (positive) or lowers the run against the base line, in points.
  double baselineOffset = 0;
  friend bool operator==(const KRTextAttributes&, const KRTextAttributes&) = default;
};

class TextSystem {
 public:
  static std::recursive_mutex& lock();

  // Reads a font name the way documents store them: a family ("Helvetica",
  // "Times New Roman") or a PostScript name ("Helvetica-BoldOblique",
  // "Times-Roman", "TimesNewRomanPS-BoldMT").
  static KRFontFace faceFromFontName(const std::string& name);
  // Whether the fonts on this system can show the family itself or a
  // metric-compatible stand-in for it (rather than an unrelated default).
  static bool fontIsAvailable(const std::string& name);
  // The first of name and fallbacks that is available, as a face; the face of
  // name itself when none is (the default font then stands in).
  static KRFontFace resolveFont(const std::string& name, const std::vector<std::string>& fallbacks = {});
  // The family the text system will really draw for a face.
  static std::string familyUsedFor(const KRFontFace& face);

  static KRTextMeasure measure(const std::string& text, const KRTextAttributes& attributes);
  // The glyphs of the text and its measure (the colour and base line offset
  // of the attributes are the drawer's, not the shape's).
  static KRShapedText shape(const std::string& text, const KRTextAttributes& attributes);
  // Measured once per face (the metrics grow with the size).
  static KRFontMetrics fontMetrics(const KRFontFace& face, double size);
  // Draws text with its base line starting at origin (in the context's user
  // space, y up). The run's baselineOffset moves it up or down from there.
  static void draw(GraphicsContext& context, const std::string& text, const KRTextAttributes& attributes,
                   KRPoint origin);
};

}  // namespace orrelin
