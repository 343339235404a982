#pragma once
// A line of text placed at a point by alignment codes and rotated around it.
// Backslash names such as \alpha become their characters, and with
// sub/superscripts on, "_" and "^" lower or raise the next character or the
// braced text that follows.

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "drawing/KRDrawingBasic.h"
#include "drawing/KRDrawingStyle.h"
#include "drawing/KRTextPlacement.h"

namespace orrelin {

class KRDrawingText : public KRDrawingElement {
 public:
  // The alignment codes, as KRDrawingText::Left and so on.
  using enum KRTextAlignment;
  using enum KRTextVerticalAlignment;


  // A piece of the text drawn with one set of attributes.
  struct Run {
    std::string text;
    KRTextAttributes attributes;
    friend bool operator==(const Run&, const Run&) = default;
  };

  static std::shared_ptr<KRDrawingText> string(const std::string& text, KRPoint atPoint,
                                               std::shared_ptr<KRDrawingStyleFont> withStyle, unsigned alignment,
                                               int vAlignment);
  // rotate: degrees, counter-clockwise, around the point.
  static std::shared_ptr<KRDrawingText> string(const std::string& text, KRPoint atPoint,
                                               std::shared_ptr<KRDrawingStyleFont> withStyle, unsigned alignment,
                                               int vAlignment, double rotate);
  static std::shared_ptr<KRDrawingText> string(const std::string& text, KRPoint atPoint,
                                               const KRTextAttributes& withAttributes, unsigned alignment,
                                               int vAlignment);
  // The measured size of a text in a style (symbols substituted, no scripts).
  static KRSize sizeOfString(const std::string& text, const KRDrawingStyleFont& withStyle);
  // Every backslash name of the symbol table replaced by its character; where
  // one name begins another ("\in", "\infty"), the longer one wins.
  static std::string substituteSymbols(const std::string& text);

  const std::string& whichString() const { return whichString_; }
  KRPoint whereToDraw() const { return whereToDraw_; }
  unsigned alignment() const { return alignment_; }
  int vAlignment() const { return vAlignment_; }
  double rotation() const { return rotation_; }
  const std::shared_ptr<KRDrawingStyleFont>& style() const { return style_; }
  bool drawSubscriptSuperscript() const { return drawSubscriptSuperscript_; }
  void setDrawSubscriptSuperscript(bool on);
  // The attributes of normal runs: given ones, else the style's.
  KRTextAttributes theAttributes() const;
  // The attributes of sub- and superscript runs (by default the normal ones
  // at 70% of the size).
  KRTextAttributes subsuperAttributes() const;
  void setSubsuperAttributes(const KRTextAttributes& attributes);

  // The text cut into runs as drawn, with their base line offsets.
  std::vector<Run> runs() const;
  // Measured once: the sum of the run widths and the height of their box.
  // A text read from a description keeps the size recorded there while its
  // font and size stay as they were read.
  KRSize drawingSize() const;
  // The size recorded in the description it was read from, while it holds.
  std::optional<KRSize> recordedSize() const;
  // The text's box before the rotation, in page coordinates.
  KRRect unrotatedBox() const;
  // Where the first run's base line starts, before the rotation.
  KRPoint baselineOrigin() const;

  const char* className() const override { return "KRDrawingText"; }
  // The text element: position, family and size; alignment and rotation are
  // not written.
  void addToSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy, KRSVGInfo& info) const override;
  std::optional<PropertyList> mvgDescription() const override;
  static std::shared_ptr<KRDrawingBasic> createFromMVG(const PropertyList& description);
  void drawToCurrentContext(KRDrawingContext& context) const override;
  KRRect computeBoundingRectangle() const override;
  bool hitTestForPoint(KRPoint point) const override;
  std::shared_ptr<KRDrawingBasic> magnify(double factor) const override;
  bool containsTransparency() const override;
  std::shared_ptr<KRDrawingBasic> nonTransparentVersion() const override;
  std::shared_ptr<KRDrawingBasic> copy() const override;
  std::size_t memoryUsed() const override;
  void clearCachedEntries() const override;
  std::string textDescription() const override { return whichString_; }

  KRDrawingText() = default;
  KRDrawingText(const KRDrawingText& other);

 protected:
  std::shared_ptr<KRDrawingBasic> scaledCopy(double s, KRPoint around, KRPoint shiftTo, bool crop) const override;
  std::uint64_t appearanceStamp() const override { return style_ ? style_->stamp() : 0; }

 private:
  struct Layout {
    std::vector<Run> runs;
    std::vector<KRShapedText> shapes;  // of each run
    std::vector<double> widths;
    double width = 0, ascent = 0, descent = 0;
    double capHeight = 0, digitHeight = 0;
  };
  Layout layout() const;
  std::vector<Run> makeRuns(const KRTextAttributes& normal, const KRTextAttributes& scripts) const;
  // A copy whose sizes are multiplied by factor.
  std::shared_ptr<KRDrawingText> resized(double factor) const;

  std::shared_ptr<KRDrawingStyleFont> style_;
  std::string whichString_;
  KRPoint whereToDraw_;
  unsigned alignment_ = Left;
  int vAlignment_ = Bottom;
  std::optional<KRTextAttributes> theAttributes_;
  std::optional<KRTextAttributes> subsuperAttributes_;
  double rotation_ = 0;
  bool drawSubscriptSuperscript_ = false;
  // "Drawing Size" as read, and the attributes it was measured with.
  std::optional<KRSize> recordedSize_;
  KRTextAttributes recordedAttributes_;
  mutable std::optional<Layout> layout_;
  mutable std::uint64_t layoutStamp_ = 0;
};

}  // namespace orrelin
