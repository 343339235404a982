#pragma once
// Typeset math text in the display list: a label with sub- and superscripts,
// fractions, roots, operators, symbols and colours, placed at a point by the
// alignment codes and turned around it by a rotation in degrees.
//
// A text with line breaks is typeset line by line; the lines are stacked
// and aligned against each other by the block alignment, and the whole is
// placed by the alignment codes (the letter and number codes use the first
// line). A background colour fills the box behind the text, and a crop
// rectangle (in page coordinates) clips it.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "drawing/KRDrawingBasic.h"
#include "drawing/KRDrawingPathFromObj.h"
#include "drawing/KRDrawingStyle.h"
#include "drawing/KRTextPlacement.h"
#include "mathtext/KRDrawingExpressionBlock.h"

namespace orrelin {

class KRDrawingExpressionText : public KRDrawingElement {
 public:
  using enum KRTextAlignment;
  using enum KRTextVerticalAlignment;

  // One line of the text as laid out: its tree and where its base line
  // starts from the first line's (y up).
  struct Line {
    std::unique_ptr<KRDrawingExpressionBlockList> root;
    double x = 0, y = 0;
  };
  struct Layout {
    std::vector<Line> lines;
    double width = 0;
    double ascent = 0;   // above the first base line
    double descent = 0;  // below the first base line, to the bottom of the last line
    double capHeight = 0, digitHeight = 0;
    bool isEmpty() const { return width == 0 && ascent == 0 && descent == 0; }
  };

  // The text at the origin, left on its base line, in 12 point Helvetica.
  static std::shared_ptr<KRDrawingExpressionText> createWithString(const std::string& text);
  static std::shared_ptr<KRDrawingExpressionText> string(const std::string& text, KRPoint atPoint,
                                                         std::shared_ptr<KRDrawingStyleFont> withStyle);
  static std::shared_ptr<KRDrawingExpressionText> string(const std::string& text, KRPoint atPoint,
                                                         std::shared_ptr<KRDrawingStyleFont> withStyle,
                                                         unsigned alignment, int vAlignment);
  // rotate: degrees, counter-clockwise, around the point.
  static std::shared_ptr<KRDrawingExpressionText> string(const std::string& text, KRPoint atPoint,
                                                         std::shared_ptr<KRDrawingStyleFont> withStyle,
                                                         unsigned alignment, int vAlignment, double rotate);
  static std::shared_ptr<KRDrawingExpressionText> multiLineString(const std::string& text, KRPoint atPoint,
                                                                  std::shared_ptr<KRDrawingStyleFont> withStyle,
                                                                  unsigned alignment, unsigned blockAlignment,
                                                                  int vAlignment);
  static std::shared_ptr<KRDrawingExpressionText> multiLineString(const std::string& text, KRPoint atPoint,
                                                                  std::shared_ptr<KRDrawingStyleFont> withStyle,
                                                                  std::optional<KRColor> background,
                                                                  unsigned alignment, int vAlignment);
  static std::shared_ptr<KRDrawingExpressionText> multiLineString(const std::string& text, KRPoint atPoint,
                                                                  std::shared_ptr<KRDrawingStyleFont> withStyle,
                                                                  std::optional<KRColor> background,
                                                                  unsigned alignment, unsigned blockAlignment,
                                                                  int vAlignment, double rotate,
                                                                  std::optional<KRRect> cropBy);

  // The lines of a text, split at "\n", "\r\n" and "\r".
  static std::vector<std::string> breakIntoLines(const std::string& text);
  static int howManyLines(const std::string& text);
  // The typeset size (width, height) of a text in a style.
  static KRSize sizeOfString(const std::string& text, const KRDrawingStyleFont& withStyle);
  // The metrics table of fonts (see KRMathFontMetrics).
  static std::vector<std::string> fontMetrics() { return KRMathFontMetrics::fontMetrics(); }
  static KRFontMetrics fontMetricsForFontName(const std::string& name) {
    return KRMathFontMetrics::fontMetricsForFontName(name);
  }
  static void setFontMetrics(const KRFontMetrics& metrics, const std::string& forFontName) {
    KRMathFontMetrics::setFontMetrics(metrics, forFontName);
  }

  const std::string& stringToCreate() const { return stringToCreate_; }
  KRPoint whereToDraw() const { return whereToDraw_; }
  unsigned alignment() const { return alignment_; }
  unsigned blockAlignment() const { return blockAlignment_; }
  int vAlignment() const { return vAlignment_; }
  double rotation() const { return rotation_; }
  const std::shared_ptr<KRDrawingStyleFont>& style() const { return style_; }
  const std::optional<KRColor>& background() const { return background_; }
  const std::optional<KRRect>& cropBy() const { return crop_; }

  void setStringToCreate(const std::string& text);
  void setWhereToDraw(KRPoint point);
  void setPoint(KRPoint point, unsigned alignment, int vAlignment, double rotate);
  // Uses the style itself (later edits of it reach this text).
  void setTheStyle(std::shared_ptr<KRDrawingStyleFont> style);
  // Takes a copy of the style's settings.
  void changeStyle(const KRDrawingStyleFont& style);

  // The laid-out lines, made once (and again after the text or style changes).
  std::shared_ptr<const Layout> layout() const;
  KRSize unrotatedSize() const;
  // The text's box before the rotation, in page coordinates.
  KRRect unrotatedBox() const;
  // Where the first line's base line starts, before the rotation.
  KRPoint baselineOrigin() const;
  // The rotated box's bounds (the same as boundingRectangle).
  KRRect boundingRect() const { return boundingRectangle(); }
  // The middle of the box's top edge, turned with the text.
  KRPoint locationOfTopAlignment() const;
  bool hitCheck(KRPoint point) const { return hitTestForPoint(point); }

  // The outline behind the text, from the settings "Text Min" and "Text
  // Max" (or "Number Min" and "Number Max" for a number label): fractions of
  // the font size below and above the base lines, so that labels of one
  // size get backgrounds of one height whatever their letters. The edges
  // are moved out to whole device pixels at the scale.
  std::shared_ptr<KRDrawingPathFromObj> backgroundPathForScale(double scale) const;
  std::shared_ptr<KRDrawingPathFromObj> numberBackgroundPathForScale(double scale) const;

  const char* className() const override { return "KRDrawingExpressionText"; }
  void drawToCurrentContext(KRDrawingContext& context) const override;
  KRRect computeBoundingRectangle() const override;
  bool hitTestForPoint(KRPoint point) const override;
  std::shared_ptr<KRDrawingBasic> magnify(double factor) const override;
  bool containsTransparency() const override;
  std::shared_ptr<KRDrawingBasic> nonTransparentVersion() const override;
  std::shared_ptr<KRDrawingBasic> copy() const override;
  std::size_t memoryUsed() const override;
  void clearCachedEntries() const override;
  std::string textDescription() const override { return stringToCreate_; }
  void addToSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy, KRSVGInfo& info) const override;
  std::optional<PropertyList> mvgDescription() const override;
  static std::shared_ptr<KRDrawingBasic> createFromMVG(const PropertyList& description);
  // Lets the drawing description read "Expression Text" (done by every
  // constructor; call it before reading descriptions made elsewhere).
  static void registerDescriptionReader();

  KRDrawingExpressionText() = default;
  KRDrawingExpressionText(const KRDrawingExpressionText& other);

 protected:
  std::shared_ptr<KRDrawingBasic> scaledCopy(double s, KRPoint around, KRPoint shiftTo, bool crop) const override;
  std::uint64_t appearanceStamp() const override { return style_ ? style_->stamp() : 0; }

 private:
  static std::shared_ptr<KRDrawingExpressionText> make(const std::string& text, KRPoint atPoint,
                                                       std::shared_ptr<KRDrawingStyleFont> style);
  static std::shared_ptr<Layout> layOut(const std::string& text, const KRDrawingStyleFont& style,
                                        unsigned blockAlignment, bool wantFontHeights);
  std::shared_ptr<KRDrawingPathFromObj> backgroundPath(double scale, const char* minKey, const char* maxKey,
                                                       double minDefault, double maxDefault) const;
  std::shared_ptr<KRDrawingExpressionText> resized(double factor) const;
  void changed();

  // Never null: a text made without a style uses 12 point Helvetica.
  std::shared_ptr<KRDrawingStyleFont> style_ = KRDrawingStyleFont::styleWithFont("Helvetica", 12);
  std::string stringToCreate_;
  KRPoint whereToDraw_;
  unsigned alignment_ = Left;
  unsigned blockAlignment_ = Left;
  int vAlignment_ = Bottom;
  double rotation_ = 0;
  std::optional<KRColor> background_;
  std::optional<KRRect> crop_;
  mutable std::shared_ptr<const Layout> layout_;
  mutable std::uint64_t layoutStamp_ = 0;
};

}  // namespace orrelin
