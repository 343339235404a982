#include "drawing/KRDrawingStyle.h"

#include <atomic>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "drawing/KRDrawingContext.h"
#include "drawing/KRDrawingDescription.h"
#include "drawing/KRSVGStream.h"
#include "drawing/KRDrawingMessages.h"
#include "platform/KRMessageCenter.h"

namespace orrelin {

namespace drawing_messages {

std::string formatMessage(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
  if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, args);
  va_end(args);
  return text;
}

}  // namespace drawing_messages

using namespace drawing_messages;

std::uint64_t KRDrawingStyle::nextStamp() {
  static std::atomic<std::uint64_t> counter{0};
  return ++counter;
}

// ---------------------------------------------------------------- curves

std::shared_ptr<KRDrawingStyleCurve> KRDrawingStyleCurve::createWithColor(const KRColor& color, double lineWidth) {
  auto style = std::make_shared<KRDrawingStyleCurve>();
  style->overwriteColor(color);
  style->lineWidth_ = lineWidth;
  return style;
}

std::shared_ptr<KRDrawingStyleCurve> KRDrawingStyleCurve::color(const KRColor& color, bool fill) {
  auto style = std::make_shared<KRDrawingStyleCurve>();
  style->overwriteColor(color);
  style->fillCurve_ = fill;
  return style;
}

void KRDrawingStyleCurve::overwriteColor(const KRColor& color) {
  color_ = color;
  isBlack_ = color.isPureBlack();
  changed();
}

void KRDrawingStyleCurve::setDashPattern(const float* pattern, int size, float offset) {
  if (!pattern || size <= 0) {
    removePattern();
    return;
  }
  if (size > kMaxPatternSize) {
    KRMessageCenter::addMessage(formatMessage(kPatternTooLong, size));
    size = kMaxPatternSize;
  }
  for (int i = 0; i < size; ++i) pattern_[static_cast<std::size_t>(i)] = pattern[i];
  patSize_ = size;
  patOffset_ = offset;
  patternSet_ = true;
  changed();
}

void KRDrawingStyleCurve::setSingleDashSolid(float solid, float space) {
  float pattern[2] = {solid, space};
  setDashPattern(pattern, 2, 0);
}

bool KRDrawingStyleCurve::getDashPattern(float* pattern, int* size, float* offset) const {
  if (!patternSet_) {
    KRMessageCenter::addMessage(kNoPattern);
    if (size) *size = 0;
    return false;
  }
  if (pattern)
    for (int i = 0; i < patSize_; ++i) pattern[i] = pattern_[static_cast<std::size_t>(i)];
  if (size) *size = patSize_;
  if (offset) *offset = patOffset_;
  return true;
}

float KRDrawingStyleCurve::patternEntry(int index) const {
  if (!patternSet_ || index < 0 || index >= patSize_) {
    KRMessageCenter::addMessage(kPatternEntryOutOfBounds);
    return 0;
  }
  return pattern_[static_cast<std::size_t>(index)];
}

double KRDrawingStyleCurve::patternLength() const {
  double total = 0;
  for (int i = 0; i < patSize_; ++i) total += pattern_[static_cast<std::size_t>(i)];
  // An odd count repeats with on and off swapped, so the true period is twice as long.
  return patSize_ % 2 ? 2 * total : total;
}

void KRDrawingStyleCurve::adjustPatternToCenterBasedOnLength(double length) {
  double period = patternLength();
  if (!patternSet_ || !(period > 0) || !std::isfinite(length)) return;
  // The dash at phase p covers [-p, first - p]; put its middle at length / 2.
  double phase = std::fmod(pattern_[0] / 2.0 - length / 2, period);
  if (phase < 0) phase += period;
  patOffset_ = static_cast<float>(phase);
  changed();
}

void KRDrawingStyleCurve::adjustPatternToMatchStart(double length, bool firstMark, bool secondMark) {
  double period = patternLength();
  if (!patternSet_ || !(period > 0) || !std::isfinite(length)) return;
  if (firstMark && secondMark) {
    adjustPatternToCenterBasedOnLength(length);
  } else if (firstMark) {
    patOffset_ = 0;
  } else if (secondMark) {
    // Phase p puts the end of the first dash at first - p; make that length.
    double phase = std::fmod(pattern_[0] - length, period);
    if (phase < 0) phase += period;
    patOffset_ = static_cast<float>(phase);
  }
  changed();
}

void KRDrawingStyleCurve::applyStyle(KRDrawingContext& context) const {
  GraphicsContext& gc = context.graphicsPort();
  KRColor used = color_;
  if (context.disableTransparency() && color_.alpha != 1) {
    used = color_.withAlpha(1);
  } else if (context.printingToPS() && isBlack_) {
    // Printers mix a black from four inks unless told that it is black ink alone.
    used = color_.alpha == 1 ? context.trueBlack() : KRColor::cmyk(0, 0, 0, 1, color_.alpha);
  }
  if (fillCurve_)
    gc.setFillColor(used);
  else
    gc.setStrokeColor(used);
  double width = lineWidth_;
  if (context.drawingToScreen() && width < context.minimumLineWidth()) width = context.minimumLineWidth();
  gc.setLineWidth(width);
  if (lineCapSet_) gc.setLineCap(lineCap_);
  if (lineJoinSet_) gc.setLineJoin(lineJoin_);
  if (patternSet_) gc.setLineDash(std::vector<double>(pattern_.begin(), pattern_.begin() + patSize_), patOffset_);
}

std::shared_ptr<KRDrawingStyle> KRDrawingStyleCurve::copy() const { return copyCurve(); }

std::string KRDrawingStyleCurve::svgString() const {
  KRSVGStream out;
  std::string color = KRSVGStream::colorText(color_.deviceRGB());
  if (fillCurve_) {
    out.append("fill=%s", color);
    if (color_.alpha != 1) out.append(" opacity=\"%g\"", color_.alpha);
    out << " stroke=\"none\"";
    return out.text();
  }
  out.append("stroke=%s", color);
  if (patternSet_ && patSize_ > 0) {
    out << " stroke-dasharray=\"";
    for (int i = 0; i < patSize_; ++i) out.append(i + 1 < patSize_ ? "%g," : "%g", pattern_[static_cast<std::size_t>(i)]);
    out << "\"";
    if (patOffset_ != 0) out.append(" stroke-dashoffset=\"%g\"", patOffset_);
  }
  if (lineCapSet_)
    out << (lineCap_ == KRLineCap::Round    ? " stroke-linecap=\"round\""
            : lineCap_ == KRLineCap::Square ? " stroke-linecap=\"square\""
                                            : " stroke-linecap=\"butt\"");
  if (color_.alpha != 1) out.append(" opacity=\"%g\"", color_.alpha);
  out.append(" fill=\"none\" stroke-width=\"%g\"", lineWidth_ > 0 ? lineWidth_ : 1.0);
  return out.text();
}

namespace {

constexpr const char* kCapNames[] = {"Butt", "Round", "Square"};
constexpr const char* kJoinNames[] = {"Miter", "Round", "Bevel"};

}  // namespace

PropertyList KRDrawingStyleCurve::mvgDescription() const {
  PlistDictionary d;
  d["Color"] = drawing_description::colorText(color_);
  d["Line Width"] = lineWidth_;
  if (fillCurve_) d["Fill"] = true;
  if (lineCapSet_) d["Line Cap"] = kCapNames[static_cast<int>(lineCap_)];
  if (lineJoinSet_) d["Line Join"] = kJoinNames[static_cast<int>(lineJoin_)];
  if (patternSet_) {
    PlistArray entries;
    for (int i = 0; i < patSize_; ++i) entries.emplace_back(static_cast<double>(pattern_[static_cast<std::size_t>(i)]));
    d["Pattern"] = std::move(entries);
    d["Pattern Offset"] = static_cast<double>(patOffset_);
  }
  return d;
}

std::shared_ptr<KRDrawingStyleCurve> KRDrawingStyleCurve::createFromMVG(const PropertyList& description) {
  if (!description.isDictionary()) return nullptr;
  auto style = std::make_shared<KRDrawingStyleCurve>();
  if (auto color = drawing_description::colorForKey(description, "Color")) style->overwriteColor(*color);
  style->lineWidth_ = description.numberForKey("Line Width").value_or(1);
  style->fillCurve_ = description.booleanForKey("Fill").value_or(false);
  auto named = [&](const char* key, const auto& names, auto apply) {
    if (auto text = description.stringForKey(key))
      for (int i = 0; i < 3; ++i)
        if (*text == names[i]) apply(i);
  };
  named("Line Cap", kCapNames, [&](int i) { style->changeLineCap(static_cast<KRLineCap>(i)); });
  named("Line Join", kJoinNames, [&](int i) { style->changeLineJoin(static_cast<KRLineJoin>(i)); });
  if (const PlistArray* entries = description.arrayForKey("Pattern")) {
    std::vector<float> pattern;
    for (const auto& entry : *entries) pattern.push_back(static_cast<float>(entry.real()));
    style->setDashPattern(pattern.data(), static_cast<int>(pattern.size()),
                          static_cast<float>(description.numberForKey("Pattern Offset").value_or(0)));
  }
  return style;
}

std::shared_ptr<KRDrawingStyle> KRDrawingStyleCurve::nonTransparentVersion() const {
  auto style = copyCurve();
  style->color_.alpha = 1;
  return style;
}

std::shared_ptr<KRDrawingStyle> KRDrawingStyleCurve::magnify(double factor) const {
  auto style = copyCurve();
  style->lineWidth_ *= factor;
  for (auto& entry : style->pattern_) entry = static_cast<float>(entry * factor);
  style->patOffset_ = static_cast<float>(style->patOffset_ * factor);
  return style;
}

// ---------------------------------------------------------------- fonts

std::shared_ptr<KRDrawingStyleFont> KRDrawingStyleFont::styleWithFont(const std::string& fontName, double size,
                                                                      const KRColor& color) {
  auto style = std::make_shared<KRDrawingStyleFont>();
  style->fontName_ = fontName;
  style->setFontSize(size);
  style->setColor(color);
  return style;
}

std::shared_ptr<KRDrawingStyleFont> KRDrawingStyleFont::styleWithFont(const std::string& fontName, double size) {
  return styleWithFont(fontName, size, KRColor::black());
}

KRDrawingStyleFont::KRDrawingStyleFont(const KRDrawingStyleFont& other)
    : KRDrawingStyle(other),
      fontSize_(other.fontSize_),
      fontName_(other.fontName_),
      fallbackFontNames_(other.fallbackFontNames_),
      color_(other.color_),
      isBlack_(other.isBlack_) {
  std::lock_guard guard(other.fontLock_);
  font_ = other.font_;
}

void KRDrawingStyleFont::setFallbackFontNames(std::vector<std::string> names) {
  fallbackFontNames_ = std::move(names);
  dropResolvedFont();
}

void KRDrawingStyleFont::setFontSize(double size) {
  // A size the text system cannot use falls back to the usual 12 points.
  fontSize_ = std::isfinite(size) && size > 0 ? size : 12;
  changed();
}

void KRDrawingStyleFont::setColor(const KRColor& color) {
  color_ = color;
  isBlack_ = color.isPureBlack();
  changed();
}

void KRDrawingStyleFont::dropResolvedFont() {
  std::lock_guard guard(fontLock_);
  font_.reset();
  changed();
}

KRFontFace KRDrawingStyleFont::font() const {
  std::lock_guard guard(fontLock_);
  if (!font_) font_ = TextSystem::resolveFont(fontName_, fallbackFontNames_);
  return *font_;
}

KRTextAttributes KRDrawingStyleFont::attributes() const {
  KRTextAttributes a;
  a.face = font();
  a.fontSize = fontSize_;
  a.color = color_;
  return a;
}

KRTextAttributes KRDrawingStyleFont::attributesForPrinting() const {
  KRTextAttributes a = attributes();
  if (isBlack_) a.color = KRColor::cmyk(0, 0, 0, 1, color_.alpha);
  return a;
}

void KRDrawingStyleFont::applyStyle(KRDrawingContext& context) const {
  KRColor used = color_;
  if (context.disableTransparency()) used.alpha = 1;
  if (context.printingToPS() && isBlack_) used = KRColor::cmyk(0, 0, 0, 1, used.alpha);
  context.graphicsPort().setFillColor(used);
}

std::shared_ptr<KRDrawingStyle> KRDrawingStyleFont::copy() const { return copyFont(); }

std::shared_ptr<KRDrawingStyle> KRDrawingStyleFont::nonTransparentVersion() const {
  auto style = copyFont();
  style->color_.alpha = 1;
  return style;
}

std::shared_ptr<KRDrawingStyle> KRDrawingStyleFont::magnify(double factor) const {
  auto style = copyFont();
  style->setFontSize(fontSize_ * factor);
  return style;
}

PropertyList KRDrawingStyleFont::mvgDescription() const {
  PlistDictionary d;
  d["Size"] = fontSize_;
  d["Font"] = fontName_;
  d["Color"] = drawing_description::colorText(color_);
  return d;
}

std::shared_ptr<KRDrawingStyleFont> KRDrawingStyleFont::createFromMVG(const PropertyList& description) {
  if (!description.isDictionary()) return nullptr;
  auto style = styleWithFont(description.stringForKey("Font").value_or("Helvetica"),
                             description.numberForKey("Size").value_or(12));
  if (auto color = drawing_description::colorForKey(description, "Color")) style->setColor(*color);
  return style;
}

}  // namespace orrelin
