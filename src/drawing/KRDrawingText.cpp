#include "drawing/KRDrawingText.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>

#include "drawing/KRDrawingContext.h"
#include "drawing/KRDrawingDescription.h"
#include "drawing/KRSymbolTable.h"

namespace orrelin {

namespace {

// Script runs are raised or lowered by these fractions of the normal size.
constexpr double kSuperscriptRise = 0.35;
constexpr double kSubscriptDrop = 0.2;
constexpr double kScriptSize = 0.7;

// Bytes in the UTF-8 character that starts with lead.
std::size_t characterLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead >> 5) == 0x6) return 2;
  if ((lead >> 4) == 0xE) return 3;
  if ((lead >> 3) == 0x1E) return 4;
  return 1;
}

KRTextAttributes scriptAttributes(const KRTextAttributes& normal) {
  KRTextAttributes scripts = normal;
  scripts.fontSize = normal.fontSize * kScriptSize;
  return scripts;
}

}  // namespace

std::string KRDrawingText::substituteSymbols(const std::string& text) { return KRSymbolTable::substituteSymbols(text); }

// ---------------------------------------------------------------- making texts

std::shared_ptr<KRDrawingText> KRDrawingText::string(const std::string& text, KRPoint atPoint,
                                                     std::shared_ptr<KRDrawingStyleFont> withStyle, unsigned alignment,
                                                     int vAlignment) {
  return string(text, atPoint, std::move(withStyle), alignment, vAlignment, 0);
}

std::shared_ptr<KRDrawingText> KRDrawingText::string(const std::string& text, KRPoint atPoint,
                                                     std::shared_ptr<KRDrawingStyleFont> withStyle, unsigned alignment,
                                                     int vAlignment, double rotate) {
  auto result = std::make_shared<KRDrawingText>();
  result->whichString_ = text;
  result->whereToDraw_ = atPoint;
  result->style_ = withStyle ? std::move(withStyle) : KRDrawingStyleFont::styleWithFont("Helvetica", 12);
  result->alignment_ = alignment;
  result->vAlignment_ = vAlignment;
  result->rotation_ = std::isfinite(rotate) ? rotate : 0;
  return result;
}

std::shared_ptr<KRDrawingText> KRDrawingText::string(const std::string& text, KRPoint atPoint,
                                                     const KRTextAttributes& withAttributes, unsigned alignment,
                                                     int vAlignment) {
  auto result = std::make_shared<KRDrawingText>();
  result->whichString_ = text;
  result->whereToDraw_ = atPoint;
  result->theAttributes_ = withAttributes;
  result->alignment_ = alignment;
  result->vAlignment_ = vAlignment;
  return result;
}

KRSize KRDrawingText::sizeOfString(const std::string& text, const KRDrawingStyleFont& withStyle) {
  KRTextMeasure m = TextSystem::measure(substituteSymbols(text), withStyle.attributes());
  return {m.width, m.height()};
}

KRDrawingText::KRDrawingText(const KRDrawingText& other)
    : KRDrawingElement(other),
      style_(other.style_ ? other.style_->copyFont() : nullptr),
      whichString_(other.whichString_),
      whereToDraw_(other.whereToDraw_),
      alignment_(other.alignment_),
      vAlignment_(other.vAlignment_),
      theAttributes_(other.theAttributes_),
      subsuperAttributes_(other.subsuperAttributes_),
      rotation_(other.rotation_),
      drawSubscriptSuperscript_(other.drawSubscriptSuperscript_),
      recordedSize_(other.recordedSize_),
      recordedAttributes_(other.recordedAttributes_) {}

std::shared_ptr<KRDrawingBasic> KRDrawingText::copy() const { return std::make_shared<KRDrawingText>(*this); }

void KRDrawingText::setDrawSubscriptSuperscript(bool on) {
  if (on != drawSubscriptSuperscript_) recordedSize_.reset();
  drawSubscriptSuperscript_ = on;
  clearCachedEntries();
}

KRTextAttributes KRDrawingText::theAttributes() const {
  if (theAttributes_) return *theAttributes_;
  return style_ ? style_->attributes() : KRTextAttributes{};
}

KRTextAttributes KRDrawingText::subsuperAttributes() const {
  return subsuperAttributes_ ? *subsuperAttributes_ : scriptAttributes(theAttributes());
}

void KRDrawingText::setSubsuperAttributes(const KRTextAttributes& attributes) {
  subsuperAttributes_ = attributes;
  recordedSize_.reset();
  clearCachedEntries();
}

// ---------------------------------------------------------------- runs and measures

std::vector<KRDrawingText::Run> KRDrawingText::makeRuns(const KRTextAttributes& normal,
                                                        const KRTextAttributes& scripts) const {
  std::string text = substituteSymbols(whichString_);
  std::vector<Run> runs;
  if (!drawSubscriptSuperscript_) {
    if (!text.empty()) runs.push_back({text, normal});
    return runs;
  }
  std::string plain;
  auto flush = [&] {
    if (!plain.empty()) runs.push_back({plain, normal});
    plain.clear();
  };
  std::size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if ((c != '_' && c != '^') || i + 1 == text.size()) {
      // A marker at the very end is drawn as itself.
      std::size_t length = std::min(characterLength(static_cast<unsigned char>(c)), text.size() - i);
      plain += text.substr(i, length);
      i += length;
      continue;
    }
    std::string marked;
    if (text[i + 1] == '{') {
      std::size_t close = text.find('}', i + 2);
      std::size_t stop = close == std::string::npos ? text.size() : close;
      marked = text.substr(i + 2, stop - i - 2);
      i = close == std::string::npos ? text.size() : close + 1;
    } else {
      std::size_t length = std::min(characterLength(static_cast<unsigned char>(text[i + 1])), text.size() - i - 1);
      marked = text.substr(i + 1, length);
      i += 1 + length;
    }
    flush();
    if (marked.empty()) continue;
    KRTextAttributes a = scripts;
    a.baselineOffset = normal.baselineOffset + (c == '^' ? kSuperscriptRise : -kSubscriptDrop) * normal.fontSize;
    runs.push_back({marked, a});
  }
  flush();
  return runs;
}

std::vector<KRDrawingText::Run> KRDrawingText::runs() const { return layout().runs; }

KRDrawingText::Layout KRDrawingText::layout() const {
  {
    std::lock_guard guard(cacheLock());
    if (layout_ && layoutStamp_ == appearanceStamp()) return *layout_;
  }
  Layout made;
  KRTextAttributes normal = theAttributes();
  made.runs = makeRuns(normal, subsuperAttributes());
  {
    std::lock_guard textGuard(TextSystem::lock());
    bool any = false;
    for (const auto& run : made.runs) {
      made.shapes.push_back(TextSystem::shape(run.text, run.attributes));
      const KRTextMeasure& m = made.shapes.back().measure;
      made.widths.push_back(m.width);
      made.width += m.width;
      double rise = run.attributes.baselineOffset;
      made.ascent = any ? std::max(made.ascent, m.ascent + rise) : m.ascent + rise;
      made.descent = any ? std::max(made.descent, m.descent - rise) : m.descent - rise;
      any = true;
    }
    if (placesByFontHeights(vAlignment_)) {
      KRFontMetrics metrics = TextSystem::fontMetrics(normal.face, normal.fontSize);
      made.capHeight = metrics.capHeight;
      made.digitHeight = metrics.digitHeight;
    }
  }
  if (auto recorded = recordedSize()) {
    // Placed and boxed by the recorded size; the ascent and descent keep
    // their proportion so the base line stays inside the box.
    made.width = recorded->width;
    double height = made.ascent + made.descent;
    if (height > 0) {
      made.ascent *= recorded->height / height;
      made.descent *= recorded->height / height;
    } else {
      made.ascent = recorded->height;
      made.descent = 0;
    }
  }
  std::lock_guard guard(cacheLock());
  layout_ = made;
  layoutStamp_ = appearanceStamp();
  return made;
}

std::optional<KRSize> KRDrawingText::recordedSize() const {
  if (!recordedSize_) return std::nullopt;
  KRTextAttributes now = theAttributes();
  // Only what changes the measure counts; a colour made opaque does not.
  if (now.face != recordedAttributes_.face || now.fontSize != recordedAttributes_.fontSize ||
      now.baselineOffset != recordedAttributes_.baselineOffset)
    return std::nullopt;
  return recordedSize_;
}

KRSize KRDrawingText::drawingSize() const {
  if (auto recorded = recordedSize()) return *recorded;
  Layout l = layout();
  return {l.width, l.ascent + l.descent};
}

KRPoint KRDrawingText::baselineOrigin() const {
  Layout l = layout();
  return baselineOriginForAlignment(whereToDraw_, alignment_, vAlignment_,
                                    {l.width, l.ascent, l.descent, l.capHeight, l.digitHeight});
}

KRRect KRDrawingText::unrotatedBox() const {
  Layout l = layout();
  if (l.runs.empty()) return {};
  KRPoint origin = baselineOrigin();
  return {origin.x, origin.y - l.descent, l.width, l.ascent + l.descent};
}

// ---------------------------------------------------------------- drawing

void KRDrawingText::drawToCurrentContext(KRDrawingContext& context) const {
  Layout l = layout();
  if (l.runs.empty()) return;
  GraphicsContext& gc = context.graphicsPort();
  KRPoint origin = baselineOrigin();
  std::lock_guard textGuard(TextSystem::lock());
  KRGraphicsStateGuard guard(context);
  if (rotation_ != 0)
    gc.concatCTM(rotationAroundPoint(whereToDraw_, rotation_));
  double x = origin.x;
  for (std::size_t i = 0; i < l.runs.size(); ++i) {
    KRTextAttributes a = l.runs[i].attributes;
    if (context.printingToPS() && a.color.isPureBlack()) a.color = KRColor::cmyk(0, 0, 0, 1, a.color.alpha);
    if (context.disableTransparency()) a.color.alpha = 1;
    gc.drawText(l.shapes[i], {x, origin.y + a.baselineOffset}, a.color);
    x += l.widths[i];
  }
}

KRRect KRDrawingText::computeBoundingRectangle() const {
  KRRect box = unrotatedBox();
  if (box.isNull() || rotation_ == 0) return box;
  return rotationAroundPoint(whereToDraw_, rotation_).applyToRect(box);
}

bool KRDrawingText::hitTestForPoint(KRPoint point) const {
  KRPoint p = point;
  if (rotation_ != 0) {
    // Turn the point back so it can be tested against the upright box.
    p = rotationAroundPoint(whereToDraw_, -rotation_).apply(point);
  }
  KRRect box = unrotatedBox();
  return !box.isNull() && box.insetBy(-1, -1).contains(p);
}

// ---------------------------------------------------------------- copies

std::shared_ptr<KRDrawingText> KRDrawingText::resized(double factor) const {
  auto result = std::make_shared<KRDrawingText>(*this);
  double f = std::fabs(factor);
  if (result->style_) result->style_->setFontSize(style_->fontSize() * f);
  auto scale = [f](KRTextAttributes& a) {
    a.fontSize *= f;
    a.baselineOffset *= f;
  };
  if (result->theAttributes_) scale(*result->theAttributes_);
  if (result->subsuperAttributes_) scale(*result->subsuperAttributes_);
  if (result->recordedSize_) {
    result->recordedSize_ = KRSize{recordedSize_->width * f, recordedSize_->height * f};
    scale(result->recordedAttributes_);
  }
  return result;
}

std::shared_ptr<KRDrawingBasic> KRDrawingText::scaledCopy(double s, KRPoint around, KRPoint shiftTo, bool) const {
  auto result = resized(s);
  result->whereToDraw_ = mapPoint(whereToDraw_, s, around, shiftTo);
  return result;
}

std::shared_ptr<KRDrawingBasic> KRDrawingText::magnify(double factor) const {
  auto result = resized(factor);
  result->whereToDraw_ = {whereToDraw_.x * factor, whereToDraw_.y * factor};
  return result;
}

bool KRDrawingText::containsTransparency() const {
  return theAttributes().color.alpha < 1 || (subsuperAttributes_ && subsuperAttributes_->color.alpha < 1);
}

std::shared_ptr<KRDrawingBasic> KRDrawingText::nonTransparentVersion() const {
  auto result = std::make_shared<KRDrawingText>(*this);
  if (result->style_) result->style_ = std::static_pointer_cast<KRDrawingStyleFont>(style_->nonTransparentVersion());
  if (result->theAttributes_) result->theAttributes_->color.alpha = 1;
  if (result->subsuperAttributes_) result->subsuperAttributes_->color.alpha = 1;
  return result;
}

std::size_t KRDrawingText::memoryUsed() const {
  return sizeof(*this) + whichString_.capacity() + (style_ ? style_->memoryUsed() : 0);
}

void KRDrawingText::clearCachedEntries() const {
  KRDrawingBasic::clearCachedEntries();
  std::lock_guard guard(cacheLock());
  layout_.reset();
}

// ---------------------------------------------------------------- output forms

namespace {

constexpr const char* kHorizontalNames[] = {"Left", "Right", "Center", "Justified", "Natural"};
constexpr const char* kVerticalNames[] = {"Top", "Center", "Bottom", "Top Letters", "Center Letters", "Top Numbers",
                                          "Center Numbers"};

template <std::size_t N>
std::optional<int> codeNamed(const PropertyList& description, const char* key, const char* const (&names)[N]) {
  auto text = description.stringForKey(key);
  if (!text) return std::nullopt;
  for (std::size_t i = 0; i < N; ++i)
    if (*text == names[i]) return static_cast<int>(i);
  return std::nullopt;
}

}  // namespace

void KRDrawingText::addToSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy,
                                   KRSVGInfo&) const {
  KRTextAttributes attributes = theAttributes();
  double descender = TextSystem::fontMetrics(attributes.face, attributes.fontSize).descender;
  stream.append("%s<text x=\"%g\" y=\"%g\" font-family=\"%s\" font-size=\"%g\">\n", indent, whereToDraw_.x,
                shiftYBy - (whereToDraw_.y - descender), KRSVGStream::escaped(attributes.face.family),
                attributes.fontSize);
  stream.append("%s  %s\n", indent, KRSVGStream::escapedText(whichString_));
  stream.append("%s</text>", indent);
}

std::optional<PropertyList> KRDrawingText::mvgDescription() const {
  using namespace drawing_description;
  auto description = newDescription("Text");
  PlistDictionary& d = description->dictionary();
  if (style_) {
    d["Style"] = style_->mvgDescription();
  } else {
    KRTextAttributes a = theAttributes();
    d["Style"] = KRDrawingStyleFont::styleWithFont(a.face.family, a.fontSize, a.color)->mvgDescription();
  }
  d["String"] = whichString_;
  d["Position"] = pointText(whereToDraw_);
  if (alignment_ < std::size(kHorizontalNames)) d["Horizontal"] = kHorizontalNames[alignment_];
  if (vAlignment_ >= 0 && vAlignment_ < static_cast<int>(std::size(kVerticalNames)))
    d["Vertical"] = kVerticalNames[vAlignment_];
  if (rotation_ != 0) d["Rotation"] = rotation_;
  if (drawSubscriptSuperscript_) d["Draw Sub/Superscript"] = true;
  if (auto recorded = recordedSize()) {
    d["Drawing Size"] = sizeText(*recorded);
  } else {
    std::lock_guard guard(cacheLock());
    if (layout_) d["Drawing Size"] = sizeText({layout_->width, layout_->ascent + layout_->descent});
  }
  if (descriptionString()) d["Description"] = *descriptionString();
  return description;
}

std::shared_ptr<KRDrawingBasic> KRDrawingText::createFromMVG(const PropertyList& description) {
  using namespace drawing_description;
  auto text = description.stringForKey("String");
  auto position = pointForKey(description, "Position");
  if (description.stringForKey("Type") != "Text" || !text || !position) return nullptr;
  const PropertyList* styleDescription = description.find("Style");
  auto style = styleDescription ? KRDrawingStyleFont::createFromMVG(*styleDescription) : nullptr;
  auto result = string(*text, *position, std::move(style),
                       static_cast<unsigned>(codeNamed(description, "Horizontal", kHorizontalNames).value_or(Left)),
                       codeNamed(description, "Vertical", kVerticalNames).value_or(Bottom),
                       description.numberForKey("Rotation").value_or(0));
  result->drawSubscriptSuperscript_ = description.booleanForKey("Draw Sub/Superscript").value_or(false);
  auto size = sizeForKey(description, "Drawing Size");
  if (size && std::isfinite(size->width) && std::isfinite(size->height) && size->width >= 0 && size->height >= 0) {
    result->recordedSize_ = size;
    result->recordedAttributes_ = result->theAttributes();
  }
  if (auto label = description.stringForKey("Description")) result->setDescriptionString(*label);
  return result;
}

}  // namespace orrelin
