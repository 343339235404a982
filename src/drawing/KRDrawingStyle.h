#pragma once
// Styles: how a path is stroked or filled, and which font a text uses. A
// style is applied to the graphics context before what it styles is drawn;
// a group's style reaches every child without a style of its own.

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/GraphicsContext.h"
#include "platform/PropertyList.h"
#include "platform/TextSystem.h"

namespace orrelin {

class KRDrawingContext;

class KRDrawingStyle {
 public:
  KRDrawingStyle() : stamp_(nextStamp()) {}
  // A copy is a new style with a stamp of its own.
  KRDrawingStyle(const KRDrawingStyle&) : stamp_(nextStamp()) {}
  KRDrawingStyle& operator=(const KRDrawingStyle&) = delete;
  virtual ~KRDrawingStyle() = default;
  // Unique to this style as it is now: every change takes a new one, so that
  // what was cached from a style edited in place is known to be stale.
  std::uint64_t stamp() const { return stamp_; }
  virtual void applyStyle(KRDrawingContext& context) const = 0;
  virtual std::shared_ptr<KRDrawingStyle> copy() const = 0;
  virtual bool containsTransparency() const = 0;
  // A copy whose colour is opaque.
  virtual std::shared_ptr<KRDrawingStyle> nonTransparentVersion() const = 0;
  // A copy for a display magnified by factor (line widths or font size scaled).
  virtual std::shared_ptr<KRDrawingStyle> magnify(double factor) const = 0;
  virtual std::size_t memoryUsed() const = 0;

 protected:
  void changed() { stamp_ = nextStamp(); }

 private:
  static std::uint64_t nextStamp();
  std::uint64_t stamp_;
};

class KRDrawingStyleCurve : public KRDrawingStyle {
 public:
  static constexpr int kMaxPatternSize = 12;

  // A stroke of the colour and width.
  static std::shared_ptr<KRDrawingStyleCurve> createWithColor(const KRColor& color, double lineWidth);
  // A fill (or a stroke of width 1) in the colour.
  static std::shared_ptr<KRDrawingStyleCurve> color(const KRColor& color, bool fill);

  const KRColor& color() const { return color_; }
  // The colour as the device gets it.
  KRColor cgColor() const { return color_.deviceRGB(); }
  bool isBlack() const { return isBlack_; }
  bool fillCurve() const { return fillCurve_; }
  bool lineCapSet() const { return lineCapSet_; }
  KRLineCap lineCap() const { return lineCap_; }
  bool lineJoinSet() const { return lineJoinSet_; }
  KRLineJoin lineJoin() const { return lineJoin_; }
  double lineWidth() const { return lineWidth_; }
  bool patternSet() const { return patternSet_; }
  int patSize() const { return patSize_; }
  float patOffset() const { return patOffset_; }

  void overwriteColor(const KRColor& color);
  void overwriteFill(bool fill) {
    fillCurve_ = fill;
    changed();
  }
  void changeLineWidth(double width) {
    lineWidth_ = width;
    changed();
  }
  void changeLineCap(KRLineCap cap) {
    lineCap_ = cap;
    lineCapSet_ = true;
    changed();
  }
  void changeLineJoin(KRLineJoin join) {
    lineJoin_ = join;
    lineJoinSet_ = true;
    changed();
  }

  // Dashes: up to 12 lengths and a phase. A size of 0 or less removes the
  // pattern; entries past 12 are reported and dropped.
  void setDashPattern(const float* pattern, int size, float offset);
  void changePattern(const float* pattern, int size, float offset) { setDashPattern(pattern, size, offset); }
  void setSingleDashSolid(float solid, float space);
  void removePattern() {
    patternSet_ = false;
    patSize_ = 0;
    patOffset_ = 0;
    changed();
  }
  // False, with a message, when no pattern is set; pattern needs room for 12.
  bool getDashPattern(float* pattern, int* size, float* offset) const;
  // 0, with a message, for an index outside the pattern.
  float patternEntry(int index) const;
  // Chooses the phase so that the dashes lie symmetrically on a segment of
  // the given length: the middle of the segment falls on the middle of the
  // first dash.
  void adjustPatternToCenterBasedOnLength(double length);
  // Chooses the phase for a segment of the given length so that it begins
  // with the start of a dash (firstMark), ends with the end of one
  // (secondMark), or, asked for both, is centred.
  void adjustPatternToMatchStart(double length, bool firstMark, bool secondMark);

  // The presentation attributes of a path in SVG (the colour in device RGB).
  std::string svgString() const;
  // The description: "Color", "Fill", "Line Cap", "Line Join", "Line Width",
  // "Pattern" and "Pattern Offset" (the optional ones only when set).
  PropertyList mvgDescription() const;
  // nullptr for a description that is not a dictionary.
  static std::shared_ptr<KRDrawingStyleCurve> createFromMVG(const PropertyList& description);

  void applyStyle(KRDrawingContext& context) const override;
  std::shared_ptr<KRDrawingStyle> copy() const override;
  std::shared_ptr<KRDrawingStyleCurve> copyCurve() const { return std::make_shared<KRDrawingStyleCurve>(*this); }
  bool containsTransparency() const override { return color_.alpha < 1; }
  std::shared_ptr<KRDrawingStyle> nonTransparentVersion() const override;
  std::shared_ptr<KRDrawingStyle> magnify(double factor) const override;
  std::size_t memoryUsed() const override { return sizeof(*this); }

  KRDrawingStyleCurve() = default;
  KRDrawingStyleCurve(const KRDrawingStyleCurve&) = default;

 private:
  double patternLength() const;

  KRColor color_ = KRColor::black();
  bool isBlack_ = true;
  bool fillCurve_ = false;
  bool lineCapSet_ = false;
  KRLineCap lineCap_ = KRLineCap::Butt;
  bool lineJoinSet_ = false;
  KRLineJoin lineJoin_ = KRLineJoin::Miter;
  double lineWidth_ = 1;
  bool patternSet_ = false;
  std::array<float, kMaxPatternSize> pattern_{};
  int patSize_ = 0;
  float patOffset_ = 0;
};

class KRDrawingStyleFont : public KRDrawingStyle {
 public:
  static std::shared_ptr<KRDrawingStyleFont> styleWithFont(const std::string& fontName, double size,
                                                           const KRColor& color);
  static std::shared_ptr<KRDrawingStyleFont> styleWithFont(const std::string& fontName, double size);

  KRDrawingStyleFont(const KRDrawingStyleFont& other);
  KRDrawingStyleFont() = default;

  double fontSize() const { return fontSize_; }
  const std::string& fontName() const { return fontName_; }
  const std::vector<std::string>& fallbackFontNames() const { return fallbackFontNames_; }
  void setFallbackFontNames(std::vector<std::string> names);
  const KRColor& color() const { return color_; }
  bool isBlack() const { return isBlack_; }
  void setFontSize(double size);
  void setColor(const KRColor& color);

  // The face the text system will use: the first available of the font and
  // its fallbacks (resolved once).
  KRFontFace font() const;
  // How text of this style is drawn; attributesForPrinting sends pure black
  // as CMYK black.
  KRTextAttributes attributes() const;
  KRTextAttributes attributesForPrinting() const;

  // Sets the fill colour, which text is drawn with.
  void applyStyle(KRDrawingContext& context) const override;
  std::shared_ptr<KRDrawingStyle> copy() const override;
  std::shared_ptr<KRDrawingStyleFont> copyFont() const { return std::make_shared<KRDrawingStyleFont>(*this); }
  // The description: "Size", "Font", "Color".
  PropertyList mvgDescription() const;
  // nullptr when the description is not a dictionary.
  static std::shared_ptr<KRDrawingStyleFont> createFromMVG(const PropertyList& description);
  bool containsTransparency() const override { return color_.alpha < 1; }
  std::shared_ptr<KRDrawingStyle> nonTransparentVersion() const override;
  std::shared_ptr<KRDrawingStyle> magnify(double factor) const override;
  std::size_t memoryUsed() const override { return sizeof(*this) + fontName_.size(); }

 private:
  void dropResolvedFont();

  double fontSize_ = 12;
  std::string fontName_ = "Helvetica";
  std::vector<std::string> fallbackFontNames_;
  KRColor color_ = KRColor::black();
  bool isBlack_ = true;
  mutable std::mutex fontLock_;
  mutable std::optional<KRFontFace> font_;
};

}  // namespace orrelin
