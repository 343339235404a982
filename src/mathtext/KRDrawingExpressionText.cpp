#include "mathtext/KRDrawingExpressionText.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "drawing/KRDrawingContext.h"
#include "drawing/KRDrawingDescription.h"
#include "platform/UserDefaults.h"

namespace orrelin {

namespace {

constexpr const char* kTypeName = "Expression Text";

constexpr const char* kHorizontalNames[] = {"Left", "Right", "Center", "Justified", "Natural"};
// The number codes are written "Top Number" and "Center Numbers"; "Top
// Numbers" is read as well.
constexpr const char* kVerticalNames[] = {"Top",         "Center",     "Bottom",        "Top Letters",
                                          "Center Letters", "Top Number", "Center Numbers"};

std::string horizontalName(unsigned code) { return code < 5 ? kHorizontalNames[code] : kHorizontalNames[0]; }
std::string verticalName(int code) { return code >= 0 && code < 7 ? kVerticalNames[code] : kVerticalNames[2]; }

std::optional<unsigned> horizontalCode(const std::string& name) {
  for (unsigned i = 0; i < 5; ++i)
    if (name == kHorizontalNames[i]) return i;
  return std::nullopt;
}

std::optional<int> verticalCode(const std::string& name) {
  if (name == "Top Numbers") return TopNumbers;
  for (int i = 0; i < 7; ++i)
    if (name == kVerticalNames[i]) return i;
  return std::nullopt;
}

double finiteOr(double value, double fallback) { return std::isfinite(value) ? value : fallback; }

double settingOr(const char* key, double fallback) {
  auto value = UserDefaults::standard().objectForKey(key);
  if (value && value->isNumber() && std::isfinite(value->real())) return value->real();
  return fallback;
}

}  // namespace

// ---------------------------------------------------------------- making texts

void KRDrawingExpressionText::registerDescriptionReader() {
  static std::once_flag once;
  std::call_once(once, [] { KRDrawingTypes::registerReader("KRDrawingExpressionText", &createFromMVG); });
}

std::shared_ptr<KRDrawingExpressionText> KRDrawingExpressionText::make(const std::string& text, KRPoint atPoint,
                                                                       std::shared_ptr<KRDrawingStyleFont> style) {
  registerDescriptionReader();
  auto result = std::make_shared<KRDrawingExpressionText>();
  result->stringToCreate_ = text;
  result->whereToDraw_ = {finiteOr(atPoint.x, 0), finiteOr(atPoint.y, 0)};
  if (style) result->style_ = std::move(style);
  return result;
}

std::shared_ptr<KRDrawingExpressionText> KRDrawingExpressionText::createWithString(const std::string& text) {
  return make(text, {0, 0}, nullptr);
}

std::shared_ptr<KRDrawingExpressionText> KRDrawingExpressionText::string(const std::string& text, KRPoint atPoint,
                                                                         std::shared_ptr<KRDrawingStyleFont> withStyle) {
  return make(text, atPoint, std::move(withStyle));
}

std::shared_ptr<KRDrawingExpressionText> KRDrawingExpressionText::string(const std::string& text, KRPoint atPoint,
                                                                         std::shared_ptr<KRDrawingStyleFont> withStyle,
                                                                         unsigned alignment, int vAlignment) {
  return string(text, atPoint, std::move(withStyle), alignment, vAlignment, 0);
}

std::shared_ptr<KRDrawingExpressionText> KRDrawingExpressionText::string(const std::string& text, KRPoint atPoint,
                                                                         std::shared_ptr<KRDrawingStyleFont> withStyle,
                                                                         unsigned alignment, int vAlignment,
                                                                         double rotate) {
  auto result = make(text, atPoint, std::move(withStyle));
  result->alignment_ = alignment;
  result->vAlignment_ = vAlignment;
  result->rotation_ = finiteOr(rotate, 0);
  return result;
}

std::shared_ptr<KRDrawingExpressionText> KRDrawingExpressionText::multiLineString(
    const std::string& text, KRPoint atPoint, std::shared_ptr<KRDrawingStyleFont> withStyle, unsigned alignment,
    unsigned blockAlignment, int vAlignment) {
  return multiLineString(text, atPoint, std::move(withStyle), std::nullopt, alignment, blockAlignment, vAlignment, 0,
                         std::nullopt);
}

std::shared_ptr<KRDrawingExpressionText> KRDrawingExpressionText::multiLineString(
    const std::string& text, KRPoint atPoint, std::shared_ptr<KRDrawingStyleFont> withStyle,
    std::optional<KRColor> background, unsigned alignment, int vAlignment) {
  return multiLineString(text, atPoint, std::move(withStyle), background, alignment, alignment, vAlignment, 0,
                         std::nullopt);
}

std::shared_ptr<KRDrawingExpressionText> KRDrawingExpressionText::multiLineString(
    const std::string& text, KRPoint atPoint, std::shared_ptr<KRDrawingStyleFont> withStyle,
    std::optional<KRColor> background, unsigned alignment, unsigned blockAlignment, int vAlignment, double rotate,
    std::optional<KRRect> cropBy) {
  auto result = string(text, atPoint, std::move(withStyle), alignment, vAlignment, rotate);
  result->blockAlignment_ = blockAlignment;
  result->background_ = background;
  result->crop_ = cropBy;
  return result;
}

KRDrawingExpressionText::KRDrawingExpressionText(const KRDrawingExpressionText& other)
    : KRDrawingElement(other),
      style_(other.style_->copyFont()),
      stringToCreate_(other.stringToCreate_),
      whereToDraw_(other.whereToDraw_),
      alignment_(other.alignment_),
      blockAlignment_(other.blockAlignment_),
      vAlignment_(other.vAlignment_),
      rotation_(other.rotation_),
      background_(other.background_),
      crop_(other.crop_) {}

std::shared_ptr<KRDrawingBasic> KRDrawingExpressionText::copy() const {
  return std::make_shared<KRDrawingExpressionText>(*this);
}

std::vector<std::string> KRDrawingExpressionText::breakIntoLines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

int KRDrawingExpressionText::howManyLines(const std::string& text) {
  return static_cast<int>(breakIntoLines(text).size());
}

KRSize KRDrawingExpressionText::sizeOfString(const std::string& text, const KRDrawingStyleFont& withStyle) {
  auto made = layOut(text, withStyle, Left, false);
  return {made->width, made->ascent + made->descent};
}

// ---------------------------------------------------------------- changes

void KRDrawingExpressionText::changed() { clearCachedEntries(); }

void KRDrawingExpressionText::setStringToCreate(const std::string& text) {
  stringToCreate_ = text;
  changed();
}

void KRDrawingExpressionText::setWhereToDraw(KRPoint point) {
  whereToDraw_ = {finiteOr(point.x, 0), finiteOr(point.y, 0)};
  changed();
}

void KRDrawingExpressionText::setPoint(KRPoint point, unsigned alignment, int vAlignment, double rotate) {
  alignment_ = alignment;
  vAlignment_ = vAlignment;
  rotation_ = finiteOr(rotate, 0);
  setWhereToDraw(point);
}

void KRDrawingExpressionText::setTheStyle(std::shared_ptr<KRDrawingStyleFont> style) {
  style_ = style ? std::move(style) : KRDrawingStyleFont::styleWithFont("Helvetica", 12);
  changed();
}

void KRDrawingExpressionText::changeStyle(const KRDrawingStyleFont& style) { setTheStyle(style.copyFont()); }

// ---------------------------------------------------------------- layout

std::shared_ptr<KRDrawingExpressionText::Layout> KRDrawingExpressionText::layOut(const std::string& text,
                                                                                  const KRDrawingStyleFont& style,
                                                                                  unsigned blockAlignment, bool) {
  auto made = std::make_shared<Layout>();
  KRMathFontStyle base{style.font(), style.fontSize(), style.color()};
  KRFontMetrics metrics = KRMathFontMetrics::metricsFor(base.face, base.size);
  made->capHeight = metrics.capHeight;
  made->digitHeight = metrics.digitHeight;
  double lineHeight = metrics.ascender - metrics.descender;
  double y = 0, previousDescent = 0;
  bool first = true;
  for (const auto& lineText : breakIntoLines(text)) {
    Line line;
    line.root = KRDrawingExpressionBlock::createFromString(lineText);
    KRMathFontStyle lineStyle = base;
    line.root->prepareForFontStyle(lineStyle);
    if (first) made->ascent = line.root->ascent();
    else y -= std::max(previousDescent + line.root->ascent(), lineHeight);
    line.y = y;
    previousDescent = line.root->descent();
    made->width = std::max(made->width, line.root->width());
    made->lines.push_back(std::move(line));
    first = false;
  }
  made->descent = previousDescent - y;
  for (auto& line : made->lines) {
    double w = line.root->width();
    if (blockAlignment == Right) line.x = made->width - w;
    else if (blockAlignment == Center) line.x = (made->width - w) / 2;
  }
  return made;
}

std::shared_ptr<const KRDrawingExpressionText::Layout> KRDrawingExpressionText::layout() const {
  {
    std::lock_guard guard(cacheLock());
    if (layout_ && layoutStamp_ == appearanceStamp()) return layout_;
  }
  std::shared_ptr<const Layout> made = layOut(stringToCreate_, *style_, blockAlignment_, true);
  std::lock_guard guard(cacheLock());
  layout_ = made;
  layoutStamp_ = appearanceStamp();
  return made;
}

KRSize KRDrawingExpressionText::unrotatedSize() const {
  auto l = layout();
  return {l->width, l->ascent + l->descent};
}

KRPoint KRDrawingExpressionText::baselineOrigin() const {
  auto l = layout();
  return baselineOriginForAlignment(whereToDraw_, alignment_, vAlignment_,
                                    {l->width, l->ascent, l->descent, l->capHeight, l->digitHeight});
}

KRRect KRDrawingExpressionText::unrotatedBox() const {
  auto l = layout();
  if (l->isEmpty()) return {};
  KRPoint origin = baselineOrigin();
  return {origin.x, origin.y - l->descent, l->width, l->ascent + l->descent};
}

KRPoint KRDrawingExpressionText::locationOfTopAlignment() const {
  KRRect box = unrotatedBox();
  KRPoint top{box.origin.x + box.size.width / 2, box.origin.y + box.size.height};
  return rotation_ == 0 ? top : rotationAroundPoint(whereToDraw_, rotation_).apply(top);
}

// ---------------------------------------------------------------- drawing

void KRDrawingExpressionText::drawToCurrentContext(KRDrawingContext& context) const {
  auto l = layout();
  if (l->isEmpty()) return;
  GraphicsContext& gc = context.graphicsPort();
  KRPoint origin = baselineOrigin();
  std::lock_guard textGuard(TextSystem::lock());
  KRGraphicsStateGuard guard(context);
  if (crop_) gc.clipToRect(*crop_);
  if (rotation_ != 0) gc.concatCTM(rotationAroundPoint(whereToDraw_, rotation_));
  KRMathDrawState state{context.printingToPS(), context.disableTransparency()};
  if (background_) {
    gc.setFillColor(state.deviceColor(*background_));
    gc.beginPath();
    gc.addRect(unrotatedBox());
    gc.fillPath();
  }
  for (const auto& line : l->lines) line.root->drawToContext(gc, {origin.x + line.x, origin.y + line.y}, state);
}

KRRect KRDrawingExpressionText::computeBoundingRectangle() const {
  KRRect box = unrotatedBox();
  if (box.isNull()) return box;
  if (rotation_ != 0) box = rotationAroundPoint(whereToDraw_, rotation_).applyToRect(box);
  if (crop_) box = box.intersection(*crop_);
  return box;
}

bool KRDrawingExpressionText::hitTestForPoint(KRPoint point) const {
  if (crop_ && !crop_->contains(point)) return false;
  KRPoint p = rotation_ != 0 ? rotationAroundPoint(whereToDraw_, -rotation_).apply(point) : point;
  KRRect box = unrotatedBox();
  return !box.isNull() && box.insetBy(-1, -1).contains(p);
}

std::shared_ptr<KRDrawingPathFromObj> KRDrawingExpressionText::backgroundPath(double scale, const char* minKey,
                                                                              const char* maxKey, double minDefault,
                                                                              double maxDefault) const {
  auto l = layout();
  if (l->isEmpty()) return nullptr;
  double size = style_->fontSize();
  KRPoint origin = baselineOrigin();
  double left = origin.x, right = origin.x + l->width;
  double bottom = origin.y + l->lines.back().y + settingOr(minKey, minDefault) * size;
  double top = origin.y + settingOr(maxKey, maxDefault) * size;
  if (std::isfinite(scale) && scale > 0) {
    left = std::floor(left * scale) / scale;
    bottom = std::floor(bottom * scale) / scale;
    right = std::ceil(right * scale) / scale;
    top = std::ceil(top * scale) / scale;
  }
  std::vector<KRPoint> corners{{left, bottom}, {right, bottom}, {right, top}, {left, top}, {left, bottom}};
  if (rotation_ != 0) {
    KRAffineTransform turn = rotationAroundPoint(whereToDraw_, rotation_);
    for (auto& corner : corners) corner = turn.apply(corner);
  }
  auto path = KRDrawingPathFromObj::createFromPath(KRContainerPath2D::createWithLoops({corners}));
  if (path) path->setFillCurve(true);
  return path;
}

std::shared_ptr<KRDrawingPathFromObj> KRDrawingExpressionText::backgroundPathForScale(double scale) const {
  return backgroundPath(scale, "Text Min", "Text Max", -0.25, 0.95);
}

std::shared_ptr<KRDrawingPathFromObj> KRDrawingExpressionText::numberBackgroundPathForScale(double scale) const {
  return backgroundPath(scale, "Number Min", "Number Max", -0.05, 0.8);
}

// ---------------------------------------------------------------- copies

std::shared_ptr<KRDrawingExpressionText> KRDrawingExpressionText::resized(double factor) const {
  auto result = std::make_shared<KRDrawingExpressionText>(*this);
  result->style_->setFontSize(style_->fontSize() * std::fabs(factor));
  return result;
}

std::shared_ptr<KRDrawingBasic> KRDrawingExpressionText::scaledCopy(double s, KRPoint around, KRPoint shiftTo,
                                                                    bool) const {
  auto result = resized(s);
  result->whereToDraw_ = mapPoint(whereToDraw_, s, around, shiftTo);
  if (crop_) result->crop_ = mapRect(*crop_, s, around, shiftTo);
  return result;
}

std::shared_ptr<KRDrawingBasic> KRDrawingExpressionText::magnify(double factor) const {
  auto result = resized(factor);
  result->whereToDraw_ = {whereToDraw_.x * factor, whereToDraw_.y * factor};
  if (crop_) result->crop_ = mapRect(*crop_, factor, {0, 0}, {0, 0});
  return result;
}

bool KRDrawingExpressionText::containsTransparency() const {
  return style_->color().alpha < 1 || (background_ && background_->alpha < 1);
}

std::shared_ptr<KRDrawingBasic> KRDrawingExpressionText::nonTransparentVersion() const {
  auto result = std::make_shared<KRDrawingExpressionText>(*this);
  result->style_ = std::static_pointer_cast<KRDrawingStyleFont>(style_->nonTransparentVersion());
  if (result->background_) result->background_->alpha = 1;
  return result;
}

std::size_t KRDrawingExpressionText::memoryUsed() const {
  return sizeof(*this) + stringToCreate_.capacity() + style_->memoryUsed();
}

void KRDrawingExpressionText::clearCachedEntries() const {
  KRDrawingBasic::clearCachedEntries();
  std::lock_guard guard(cacheLock());
  layout_.reset();
}

// ---------------------------------------------------------------- output forms

void KRDrawingExpressionText::addToSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy,
                                             KRSVGInfo& info) const {
  auto l = layout();
  if (l->isEmpty()) return;
  KRPoint origin = baselineOrigin();
  KRMathFontStyle base{style_->font(), style_->fontSize(), style_->color()};
  std::string family = KRMathFontMetrics::metricsFor(base.face, base.size).familyName;
  std::string size = KRSVGStream::number(base.size);
  // Black is what SVG text is filled with anyway.
  std::string fill = base.color.isPureBlack() ? "" : " fill=" + KRSVGStream::colorText(base.color);
  stream.append("%s<g ", indent);
  stream.append("transform=\"translate(%g,%g) rotate(%g) translate(%g,%g)\" ", whereToDraw_.x,
                shiftYBy - whereToDraw_.y, rotation_ == 0 ? 0.0 : -rotation_, origin.x - whereToDraw_.x,
                whereToDraw_.y - origin.y);
  stream.append("font-family=\"%s\" font-size=\"%g\"%s >\n", KRSVGStream::escaped(family), base.size, fill);
  auto& values = info.values();
  std::string oldFamily = values["Font Family Name"], oldSize = values["Font Size"];
  values["Font Family Name"] = family;
  values["Font Size"] = size;
  std::string inner = indent + "  ";
  if (background_)
    stream.append("%s<rect x=\"0\" y=\"%g\" width=\"%g\" height=\"%g\" fill=%s stroke=\"none\"/>\n", inner,
                  -l->ascent, l->width, l->ascent + l->descent, KRSVGStream::colorText(*background_));
  for (const auto& line : l->lines) {
    if (line.x == 0 && line.y == 0) {
      line.root->addToSVGStream(stream, inner, 0, info);
      continue;
    }
    stream.append("%s<g transform=\"translate(%g,%g)\">\n", inner, line.x, -line.y);
    line.root->addToSVGStream(stream, inner + "  ", 0, info);
    stream.append("%s</g>\n", inner);
  }
  values["Font Family Name"] = oldFamily;
  values["Font Size"] = oldSize;
  stream.append("%s</g>\n", indent);
}

std::optional<PropertyList> KRDrawingExpressionText::mvgDescription() const {
  auto description = drawing_description::newDescription(kTypeName);
  if (!description) return std::nullopt;
  PlistDictionary& d = description->dictionary();
  PlistDictionary style;
  style["Size"] = style_->fontSize();
  style["Font"] = style_->fontName();
  style["Color"] = drawing_description::colorText(style_->color());
  d["Style"] = PropertyList(std::move(style));
  d["String"] = stringToCreate_;
  d["Position"] = drawing_description::pointText(whereToDraw_);
  d["Horizontal"] = horizontalName(alignment_);
  d["Vertical"] = verticalName(vAlignment_);
  if (rotation_ != 0) d["Rotation"] = rotation_;
  if (auto text = descriptionString()) d["Description"] = *text;
  return description;
}

std::shared_ptr<KRDrawingBasic> KRDrawingExpressionText::createFromMVG(const PropertyList& description) {
  if (description.stringForKey("Type") != std::optional<std::string>(kTypeName)) return nullptr;
  auto text = description.stringForKey("String");
  if (!text) return nullptr;
  auto style = KRDrawingStyleFont::styleWithFont("Helvetica", 12);
  if (const PropertyList* s = description.find("Style"); s && s->isDictionary()) {
    if (auto font = s->stringForKey("Font")) style = KRDrawingStyleFont::styleWithFont(*font, 12);
    if (auto size = s->numberForKey("Size")) style->setFontSize(*size);
    if (auto color = drawing_description::colorForKey(*s, "Color")) style->setColor(*color);
  }
  KRPoint position;
  if (auto p = description.stringForKey("Position"))
    if (auto point = drawing_description::pointFromText(*p)) position = *point;
  unsigned alignment = Left;
  int vAlignment = Bottom;
  if (auto h = description.stringForKey("Horizontal"))
    if (auto code = horizontalCode(*h)) alignment = *code;
  if (auto v = description.stringForKey("Vertical"))
    if (auto code = verticalCode(*v)) vAlignment = *code;
  double rotation = description.numberForKey("Rotation").value_or(0);
  auto result = string(*text, position, style, alignment, vAlignment, rotation);
  if (auto label = description.stringForKey("Description")) result->setDescriptionString(*label);
  return result;
}

}  // namespace orrelin
