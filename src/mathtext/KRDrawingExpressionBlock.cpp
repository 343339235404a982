#include "mathtext/KRDrawingExpressionBlock.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

#include "drawing/KRDrawingMessages.h"
#include "platform/KRMessageCenter.h"

namespace orrelin {

namespace {

// Scripts are set at three quarters of the size of what they belong to and
// raised to at least 0.85 of its x-height.
constexpr double kScriptScale = 0.75;
constexpr double kSuperscriptRise = 0.85;
// Numerator and denominator are set a little smaller than the text.
constexpr double kFractionPartScale = 0.85;
// The index of a root is set smaller still.
constexpr double kRootIndexScale = 0.6;
// Big operators are drawn larger than the text around them.
constexpr double kBigOperatorScale = 1.4;
// The room after a function name or limit, as a fraction of the size.
constexpr double kThinSpace = 0.17;

// Icons and arrows are drawn from the symbol font. We do not ship Apple
// Symbols; the font configuration draws that name with STIXGeneral, which
// has every operator and arrow of math text.
constexpr const char* kSymbolFontFamily = "Apple Symbols";

// Rules (fraction bars, radicals, over- and underlines) are this fraction
// of the font size thick.
double ruleThicknessFor(double size) { return 0.05 * size; }

struct MetricsTable {
  std::mutex lock;
  std::map<std::string, KRFontMetrics> set;
};

MetricsTable& metricsTable() {
  static auto* table = new MetricsTable;
  return *table;
}

// The y range [low, high] taken in by a block's line and ink extents.
void includeRange(double low, double high, double& ascent, double& descent, double& inkAscent, double& inkDescent) {
  ascent = std::max(ascent, high);
  descent = std::max(descent, -low);
  inkAscent = std::max(inkAscent, high);
  inkDescent = std::max(inkDescent, -low);
}

// A polyline of varying width as one closed outline: the left edges walked
// forward, the right edges back.
void addThickPolyline(KRMathPath& path, const std::vector<KRPoint>& points, const std::vector<double>& widths) {
  std::size_t n = points.size();
  if (n < 2) return;
  auto normalOf = [&](std::size_t a, std::size_t b) {
    double dx = points[b].x - points[a].x, dy = points[b].y - points[a].y;
    double length = std::hypot(dx, dy);
    if (length == 0) return KRPoint{0, 0};
    return KRPoint{-dy / length, dx / length};
  };
  std::vector<KRPoint> left(n), right(n);
  for (std::size_t i = 0; i < n; ++i) {
    KRPoint before = i > 0 ? normalOf(i - 1, i) : normalOf(i, i + 1);
    KRPoint after = i + 1 < n ? normalOf(i, i + 1) : before;
    KRPoint normal{before.x + after.x, before.y + after.y};
    double length = std::hypot(normal.x, normal.y);
    if (length == 0) normal = after;
    else normal = {normal.x / length, normal.y / length};
    // Keep the edge at half the width from both segments at a corner.
    double cosine = std::max(0.3, normal.x * after.x + normal.y * after.y);
    double half = widths[i] / 2 / cosine;
    left[i] = {points[i].x + normal.x * half, points[i].y + normal.y * half};
    right[i] = {points[i].x - normal.x * half, points[i].y - normal.y * half};
  }
  path.moveTo(left[0].x, left[0].y);
  for (std::size_t i = 1; i < n; ++i) path.lineTo(left[i].x, left[i].y);
  for (std::size_t i = n; i-- > 0;) path.lineTo(right[i].x, right[i].y);
  path.closePath();
}

// A horizontal curly brace from x1 to x2 whose ends sit at base and whose
// tip points away from them by height (up when direction is 1, down when -1).
KRMathPath braceFrom(double x1, double x2, double base, double height, double direction, double width,
                     const KRColor& color) {
  KRMathPath path;
  path.filled = false;
  path.lineWidth = width;
  path.color = color;
  double middle = (x1 + x2) / 2, half = height / 2 * direction;
  double r = std::min(std::fabs(half), (x2 - x1) / 4);
  double y = base + half, tip = base + height * direction;
  path.moveTo(x1, base);
  path.curveTo(x1, y, x1, y, x1 + r, y);
  path.lineTo(middle - r, y);
  path.curveTo(middle, y, middle, y, middle, tip);
  path.curveTo(middle, y, middle, y, middle + r, y);
  path.lineTo(x2 - r, y);
  path.curveTo(x2, y, x2, y, x2, base);
  return path;
}

KRMathPath lineFrom(double x1, double x2, double y, double width, const KRColor& color) {
  KRMathPath path;
  path.filled = false;
  path.lineWidth = width;
  path.color = color;
  path.moveTo(x1, y);
  path.lineTo(x2, y);
  return path;
}

}  // namespace

// ---------------------------------------------------------------- font metrics

KRFontMetrics KRMathFontMetrics::fontMetricsForFontName(const std::string& name) {
  {
    MetricsTable& table = metricsTable();
    std::lock_guard guard(table.lock);
    auto found = table.set.find(name);
    if (found != table.set.end()) return found->second;
  }
  return TextSystem::fontMetrics(TextSystem::faceFromFontName(name), 1);
}

void KRMathFontMetrics::setFontMetrics(const KRFontMetrics& metrics, const std::string& forFontName) {
  MetricsTable& table = metricsTable();
  std::lock_guard guard(table.lock);
  table.set[forFontName] = metrics;
}

std::vector<std::string> KRMathFontMetrics::fontMetrics() {
  MetricsTable& table = metricsTable();
  std::lock_guard guard(table.lock);
  std::vector<std::string> names;
  for (const auto& entry : table.set) names.push_back(entry.first);
  return names;
}

KRFontMetrics KRMathFontMetrics::metricsFor(const KRFontFace& face, double size) {
  {
    MetricsTable& table = metricsTable();
    std::lock_guard guard(table.lock);
    if (!table.set.empty()) {
      auto found = table.set.find(face.family);
      if (found != table.set.end()) {
        KRFontMetrics scaled = found->second;
        for (double* v : {&scaled.ascender, &scaled.descender, &scaled.capHeight, &scaled.xHeight, &scaled.digitHeight})
          *v *= size;
        if (scaled.familyName.empty()) scaled.familyName = TextSystem::familyUsedFor(face);
        return scaled;
      }
    }
  }
  return TextSystem::fontMetrics(face, size);
}

KRColor KRMathDrawState::deviceColor(const KRColor& color) const {
  KRColor used = color;
  if (disableTransparency) used.alpha = 1;
  if (printingToPS && used.isPureBlack()) used = KRColor::cmyk(0, 0, 0, 1, used.alpha);
  return used;
}

// ---------------------------------------------------------------- paths

void KRMathPath::shiftBy(double dx, double dy) {
  for (auto& e : elements_)
    for (std::size_t i = 0; i + 1 < e.v.size(); i += 2) e.v[i] += dx, e.v[i + 1] += dy;
}

void KRMathPath::draw(GraphicsContext& gc, KRPoint offset, const KRMathDrawState& state) const {
  if (elements_.empty()) return;
  gc.beginPath();
  double ox = offset.x, oy = offset.y;
  for (const auto& e : elements_) {
    switch (e.op) {
      case 'M': gc.moveTo(e.v[0] + ox, e.v[1] + oy); break;
      case 'L': gc.lineTo(e.v[0] + ox, e.v[1] + oy); break;
      case 'C': gc.curveTo(e.v[0] + ox, e.v[1] + oy, e.v[2] + ox, e.v[3] + oy, e.v[4] + ox, e.v[5] + oy); break;
      default: gc.closePath(); break;
    }
  }
  if (filled) {
    gc.setFillColor(state.deviceColor(color));
    gc.fillPath();
  } else {
    gc.setStrokeColor(state.deviceColor(color));
    gc.setLineWidth(lineWidth);
    gc.strokePath();
  }
}

std::string KRMathPath::svgData(double shiftYBy) const {
  KRSVGStream data;
  for (const auto& e : elements_) {
    switch (e.op) {
      case 'M': data.append("M %g %g ", e.v[0], shiftYBy - e.v[1]); break;
      case 'L': data.append("L %g %g ", e.v[0], shiftYBy - e.v[1]); break;
      case 'C':
        data.append("C %g %g %g %g %g %g ", e.v[0], shiftYBy - e.v[1], e.v[2], shiftYBy - e.v[3], e.v[4],
                    shiftYBy - e.v[5]);
        break;
      default: data << "z "; break;
    }
  }
  std::string text = data.text();
  if (!text.empty()) text.pop_back();
  return text;
}

void KRMathPath::addToSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy) const {
  if (elements_.empty()) return;
  if (filled)
    stream.append("%s<path d=\"%s\" fill=%s stroke=\"none\"/>\n", indent, svgData(shiftYBy), KRSVGStream::colorText(color));
  else
    stream.append("%s<path d=\"%s\" fill=\"none\" stroke-width=\"%g\" stroke=%s/>\n", indent, svgData(shiftYBy),
                  lineWidth, KRSVGStream::colorText(color));
}

// ---------------------------------------------------------------- the base

void KRDrawingExpressionBlock::beginLayout(const KRMathFontStyle& style) {
  style_ = style;
  metrics_ = KRMathFontMetrics::metricsFor(style.face, style.size);
  x_ = y_ = 0;
  width_ = ascent_ = descent_ = inkAscent_ = inkDescent_ = 0;
}

void KRDrawingExpressionBlock::include(const KRDrawingExpressionBlock& child) {
  double dy = child.y_ - y_;
  ascent_ = std::max(ascent_, dy + child.ascent_);
  descent_ = std::max(descent_, child.descent_ - dy);
  inkAscent_ = std::max(inkAscent_, dy + child.inkAscent_);
  inkDescent_ = std::max(inkDescent_, child.inkDescent_ - dy);
}

void KRDrawingExpressionBlock::positionAsSubscript(KRDrawingExpressionBlock* subscript,
                                                   KRDrawingExpressionBlock* superscript) {
  double xh = xHeight();
  // The slant of an italic main block moves its superscript right and its
  // subscript left, so that both follow the letters' lean.
  double slope = std::tan(-italicAngle() * M_PI / 180);
  double supY = 0, subY = 0;
  if (superscript) supY = std::max(kSuperscriptRise * xh, inkAscent_ - 0.5 * superscript->inkAscent());
  if (subscript) subY = -std::max(0.4 * xh, inkDescent_ - 0.5 * subscript->inkAscent() + 0.2 * xh);
  if (superscript && subscript) {
    double gap = (supY - std::max(superscript->inkDescent(), 0.0)) - (subY + subscript->inkAscent());
    if (gap < 0.2 * xh) subY -= 0.2 * xh - gap;
  }
  if (superscript) superscript->shiftBy(x_ + width_ + slope * supY, y_ + supY);
  if (subscript) subscript->shiftBy(x_ + width_ + std::max(slope * subY, -0.5 * width_), y_ + subY);
}

void KRDrawingExpressionBlock::shiftBy(double dx, double dy) {
  x_ += dx;
  y_ += dy;
}

void KRDrawingExpressionBlock::addToSVGStream(KRSVGStream&, const std::string&, double, KRSVGInfo&) const {
  KRMessageCenter::addMessage(drawing_messages::formatMessage(drawing_messages::kMissingSVG, className()));
}

bool KRDrawingExpressionBlock::hitCheck(KRPoint point) const { return frame().insetBy(-1, -1).contains(point); }

// ---------------------------------------------------------------- strings

void KRDrawingExpressionBlockString::layOutText(const KRMathFontStyle& style, double rise) {
  beginLayout(style);
  rise_ = rise;
  shape_ = {};
  if (text_.empty()) return;
  KRTextAttributes attributes;
  attributes.face = style.face;
  attributes.fontSize = style.size;
  attributes.color = style.color;
  shape_ = TextSystem::shape(text_, attributes);
  const KRTextMeasure& m = shape_.measure;
  width_ = m.width;
  ascent_ = m.ascent + rise;
  descent_ = m.descent - rise;
  if (m.inkRight > m.inkLeft || m.inkTop > m.inkBottom) {
    inkAscent_ = m.inkTop + rise;
    inkDescent_ = -m.inkBottom - rise;
  }
}

void KRDrawingExpressionBlockString::prepareForFontStyle(KRMathFontStyle& style) { layOutText(style, 0); }

void KRDrawingExpressionBlockString::drawToContext(GraphicsContext& gc, KRPoint offset,
                                                   const KRMathDrawState& state) const {
  if (shape_.isEmpty()) return;
  gc.drawText(shape_, {offset.x + x_, offset.y + y_ + rise_}, state.deviceColor(style_.color));
}

void KRDrawingExpressionBlockString::addToSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy,
                                                    KRSVGInfo& info) const {
  if (text_.empty()) return;
  std::string font;
  auto& values = info.values();
  const std::string& family = metrics_.familyName;
  if (values["Font Family Name"] != family) font += " font-family=\"" + KRSVGStream::escaped(family) + "\"";
  std::string size = KRSVGStream::number(style_.size);
  if (values["Font Size"] != size) font += " font-size=\"" + size + "\"";
  stream.append("%s<text x=\"%g\" y=\"%g\"%s>%s</text>\n", indent, x_, shiftYBy - (y_ + rise_), font,
                KRSVGStream::escaped(text_));
}

// ---------------------------------------------------------------- lists

void KRDrawingExpressionBlockList::prepareForFontStyle(KRMathFontStyle& style) {
  beginLayout(style);
  KRMathFontStyle current = style;
  double x = 0;
  for (auto& member : members_) {
    member->prepareForFontStyle(current);
    member->shiftBy(x, 0);
    x += member->width();
    include(*member);
  }
  width_ = x;
}

void KRDrawingExpressionBlockList::shiftBy(double dx, double dy) {
  KRDrawingExpressionBlock::shiftBy(dx, dy);
  for (auto& member : members_) member->shiftBy(dx, dy);
}

void KRDrawingExpressionBlockList::drawToContext(GraphicsContext& gc, KRPoint offset,
                                                 const KRMathDrawState& state) const {
  for (const auto& member : members_) member->drawToContext(gc, offset, state);
}

void KRDrawingExpressionBlockList::addToSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy,
                                                  KRSVGInfo& info) const {
  bool changesState = std::any_of(members_.begin(), members_.end(), [](const auto& m) {
    return dynamic_cast<const KRDrawingExpressionBlockCommandStateChanger*>(m.get()) != nullptr;
  });
  std::string inner = indent;
  if (changesState) {
    stream.append("%s<g>\n", indent);
    inner += "  ";
  }
  // Every state changer opens a group that holds the rest of the list.
  int open = 0;
  for (const auto& member : members_) {
    if (auto* changer = dynamic_cast<const KRDrawingExpressionBlockCommandStateChanger*>(member.get())) {
      stream.append("%s<g%s>\n", inner, changer->svgAttributes());
      inner += "  ";
      ++open;
    } else {
      member->addToSVGStream(stream, inner, shiftYBy, info);
    }
  }
  for (; open > 0; --open) {
    inner.resize(inner.size() - 2);
    stream.append("%s</g>\n", inner);
  }
  if (changesState) stream.append("%s</g>\n", indent);
}

// ---------------------------------------------------------------- scripts

std::unique_ptr<KRDrawingExpressionBlockSuperSubscript> KRDrawingExpressionBlockSuperSubscript::createMainBlock(
    std::unique_ptr<KRDrawingExpressionBlock> main, std::unique_ptr<KRDrawingExpressionBlock> superscript,
    std::unique_ptr<KRDrawingExpressionBlock> subscript) {
  auto block = std::make_unique<KRDrawingExpressionBlockSuperSubscript>();
  block->main_ = main ? std::move(main) : std::make_unique<KRDrawingExpressionBlockString>("");
  block->superscript_ = std::move(superscript);
  block->subscript_ = std::move(subscript);
  return block;
}

void KRDrawingExpressionBlockSuperSubscript::prepareForFontStyle(KRMathFontStyle& style) {
  beginLayout(style);
  KRMathFontStyle mainStyle = style;
  main_->prepareForFontStyle(mainStyle);
  for (auto* script : {superscript_.get(), subscript_.get()}) {
    if (!script) continue;
    KRMathFontStyle scriptStyle = style;
    scriptStyle.size = style.size * kScriptScale;
    script->prepareForFontStyle(scriptStyle);
  }
  main_->positionAsSubscript(subscript_.get(), superscript_.get());
  include(*main_);
  width_ = main_->x() + main_->width();
  for (auto* script : {superscript_.get(), subscript_.get()}) {
    if (!script) continue;
    width_ = std::max(width_, script->x() + script->width() + main_->spaceAfterScripts());
    include(*script);
  }
}

void KRDrawingExpressionBlockSuperSubscript::shiftBy(double dx, double dy) {
  KRDrawingExpressionBlock::shiftBy(dx, dy);
  for (auto* part : {main_.get(), superscript_.get(), subscript_.get()})
    if (part) part->shiftBy(dx, dy);
}

void KRDrawingExpressionBlockSuperSubscript::drawToContext(GraphicsContext& gc, KRPoint offset,
                                                           const KRMathDrawState& state) const {
  for (auto* part : {main_.get(), superscript_.get(), subscript_.get()})
    if (part) part->drawToContext(gc, offset, state);
}

void KRDrawingExpressionBlockSuperSubscript::addToSVGStream(KRSVGStream& stream, const std::string& indent,
                                                            double shiftYBy, KRSVGInfo& info) const {
  for (auto* part : {main_.get(), superscript_.get(), subscript_.get()})
    if (part) part->addToSVGStream(stream, indent, shiftYBy, info);
}

// ---------------------------------------------------------------- fractions

std::unique_ptr<KRDrawingExpressionBlockFraction> KRDrawingExpressionBlockFraction::createAbove(
    std::unique_ptr<KRDrawingExpressionBlock> above, std::unique_ptr<KRDrawingExpressionBlock> below) {
  auto block = std::make_unique<KRDrawingExpressionBlockFraction>();
  block->above_ = above ? std::move(above) : std::make_unique<KRDrawingExpressionBlockList>();
  block->below_ = below ? std::move(below) : std::make_unique<KRDrawingExpressionBlockList>();
  return block;
}

void KRDrawingExpressionBlockFraction::prepareForFontStyle(KRMathFontStyle& style) {
  beginLayout(style);
  double xh = xHeight(), t = ruleThicknessFor(style.size);
  double axis = 0.5 * xh, gap = 0.2 * xh, margin = 0.1 * xh;
  KRMathFontStyle partStyle = style;
  partStyle.size = style.size * kFractionPartScale;
  KRMathFontStyle aboveStyle = partStyle, belowStyle = partStyle;
  above_->prepareForFontStyle(aboveStyle);
  below_->prepareForFontStyle(belowStyle);
  double inner = std::max(above_->width(), below_->width());
  ruleX1_ = margin;
  ruleX2_ = margin + inner + 2 * margin;
  ruleY_ = axis;
  double centre = (ruleX1_ + ruleX2_) / 2;
  above_->shiftBy(centre - above_->width() / 2, axis + t / 2 + gap + std::max(above_->inkDescent(), 0.0));
  below_->shiftBy(centre - below_->width() / 2, axis - t / 2 - gap - std::max(below_->inkAscent(), 0.0));
  rule_ = lineFrom(ruleX1_, ruleX2_, ruleY_, t, style.color);
  width_ = ruleX2_ + margin;
  includeRange(axis - t / 2, axis + t / 2, ascent_, descent_, inkAscent_, inkDescent_);
  include(*above_);
  include(*below_);
}

void KRDrawingExpressionBlockFraction::shiftBy(double dx, double dy) {
  KRDrawingExpressionBlock::shiftBy(dx, dy);
  above_->shiftBy(dx, dy);
  below_->shiftBy(dx, dy);
  rule_.shiftBy(dx, dy);
  ruleX1_ += dx, ruleX2_ += dx, ruleY_ += dy;
}

void KRDrawingExpressionBlockFraction::drawToContext(GraphicsContext& gc, KRPoint offset,
                                                     const KRMathDrawState& state) const {
  above_->drawToContext(gc, offset, state);
  below_->drawToContext(gc, offset, state);
  rule_.draw(gc, offset, state);
}

void KRDrawingExpressionBlockFraction::addToSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy,
                                                      KRSVGInfo& info) const {
  above_->addToSVGStream(stream, indent, shiftYBy, info);
  below_->addToSVGStream(stream, indent, shiftYBy, info);
  stream.append("%s<line x1=\"%g\" y1=\"%g\" x2=\"%g\" y2=\"%g\" stroke-width=\"%g\" stroke=%s/>\n", indent, ruleX1_,
                shiftYBy - ruleY_, ruleX2_, shiftYBy - ruleY_, rule_.lineWidth, KRSVGStream::colorText(rule_.color));
}

// ---------------------------------------------------------------- roots

std::unique_ptr<KRDrawingExpressionBlockSquareRoot> KRDrawingExpressionBlockSquareRoot::createWithArgument(
    std::unique_ptr<KRDrawingExpressionBlock> argument, std::unique_ptr<KRDrawingExpressionBlock> root) {
  auto block = std::make_unique<KRDrawingExpressionBlockSquareRoot>();
  block->argument_ = argument ? std::move(argument) : std::make_unique<KRDrawingExpressionBlockList>();
  block->root_ = std::move(root);
  return block;
}

void KRDrawingExpressionBlockSquareRoot::prepareForFontStyle(KRMathFontStyle& style) {
  beginLayout(style);
  double s = style.size, xh = xHeight(), t = ruleThicknessFor(s), clearance = 0.1 * s;
  KRMathFontStyle argumentStyle = style;
  argument_->prepareForFontStyle(argumentStyle);
  // The sign reaches from just below the argument to a bar just above it,
  // at least as high as a capital letter.
  double top = std::max(argument_->inkAscent(), capHeight()) + clearance + t;
  double bottom = -(std::max(argument_->inkDescent(), 0.0) + 0.5 * clearance);
  double height = top - bottom;
  double signWidth = 0.5 * xh + 0.1 * height;
  double tick = std::min(height, 1.7 * xh);
  // The index sits over the short stroke, its right edge above the sign's
  // lowest point; a wide index pushes everything else right.
  double shift = 0;
  if (root_) {
    KRMathFontStyle rootStyle = style;
    rootStyle.size = s * kRootIndexScale;
    root_->prepareForFontStyle(rootStyle);
    double right = 0.55 * signWidth;
    shift = std::max(0.0, root_->width() - right);
    root_->shiftBy(shift + right - root_->width(),
                   bottom + 0.6 * tick + 0.5 * clearance + std::max(root_->inkDescent(), 0.0));
  }
  double argumentX = shift + signWidth + 0.5 * clearance;
  double barEnd = argumentX + argument_->width() + 0.5 * clearance;
  argument_->shiftBy(argumentX, 0);
  sign_ = KRMathPath();
  sign_.filled = true;
  sign_.color = style.color;
  addThickPolyline(sign_,
                   {{shift, bottom + 0.45 * tick},
                    {shift + 0.25 * signWidth, bottom + 0.55 * tick},
                    {shift + 0.6 * signWidth, bottom},
                    {shift + signWidth, top - t / 2}},
                   {0.6 * t, 1.8 * t, 1.8 * t, t});
  sign_.moveTo(shift + signWidth - 0.3 * t, top - t);
  sign_.lineTo(barEnd, top - t);
  sign_.lineTo(barEnd, top);
  sign_.lineTo(shift + signWidth - 0.3 * t, top);
  sign_.closePath();
  barTop_ = top;
  width_ = barEnd + 0.1 * xh;
  includeRange(bottom, top, ascent_, descent_, inkAscent_, inkDescent_);
  include(*argument_);
  if (root_) include(*root_);
}

void KRDrawingExpressionBlockSquareRoot::shiftBy(double dx, double dy) {
  KRDrawingExpressionBlock::shiftBy(dx, dy);
  argument_->shiftBy(dx, dy);
  if (root_) root_->shiftBy(dx, dy);
  sign_.shiftBy(dx, dy);
  barTop_ += dy;
}

void KRDrawingExpressionBlockSquareRoot::drawToContext(GraphicsContext& gc, KRPoint offset,
                                                       const KRMathDrawState& state) const {
  sign_.draw(gc, offset, state);
  if (root_) root_->drawToContext(gc, offset, state);
  argument_->drawToContext(gc, offset, state);
}

void KRDrawingExpressionBlockSquareRoot::addToSVGStream(KRSVGStream& stream, const std::string& indent,
                                                        double shiftYBy, KRSVGInfo& info) const {
  sign_.addToSVGStream(stream, indent, shiftYBy);
  if (root_) root_->addToSVGStream(stream, indent, shiftYBy, info);
  argument_->addToSVGStream(stream, indent, shiftYBy, info);
}

// ---------------------------------------------------------------- commands

std::unique_ptr<KRDrawingExpressionBlockCommand> KRDrawingExpressionBlockCommand::createWithName(const std::string& name) {
  return createWithName(name, nullptr);
}

std::unique_ptr<KRDrawingExpressionBlockCommand> KRDrawingExpressionBlockCommand::createWithName(
    const std::string& name, std::unique_ptr<KRDrawingExpressionBlock> argument) {
  KRMathCommand command = KRMathNames::commandFor(name);
  std::unique_ptr<KRDrawingExpressionBlockCommand> block;
  switch (command.kind) {
    case KRMathCommandKind::StateChanger:
      block.reset(new KRDrawingExpressionBlockCommandStateChanger(name, command));
      break;
    case KRMathCommandKind::Icon:
    case KRMathCommandKind::FunctionName:
      block.reset(new KRDrawingExpressionBlockCommandIcon(name, command));
      break;
    case KRMathCommandKind::OverUnder:
      block.reset(new KRDrawingExpressionBlockCommandOverUnder(name, command));
      block->argument_ = argument ? std::move(argument) : std::make_unique<KRDrawingExpressionBlockList>();
      break;
    default:
      break;  // not a command block: fractions, roots and characters are blocks of their own
  }
  return block;
}

void KRDrawingExpressionBlockCommandStateChanger::prepareForFontStyle(KRMathFontStyle& style) {
  switch (command_.change) {
    case KRMathStateChange::Color:
      style.color = KRColor::rgb(command_.red, command_.green, command_.blue, style.color.alpha);
      break;
    case KRMathStateChange::Italic: style.face.italic = true; break;
    case KRMathStateChange::Bold: style.face.bold = true; break;
    case KRMathStateChange::Plain: style.face.italic = style.face.bold = false; break;
  }
  beginLayout(style);
}

std::string KRDrawingExpressionBlockCommandStateChanger::svgAttributes() const {
  switch (command_.change) {
    case KRMathStateChange::Color:
      return " fill=" + KRSVGStream::colorText(KRColor::rgb(command_.red, command_.green, command_.blue));
    case KRMathStateChange::Italic: return " font-style=\"italic\"";
    case KRMathStateChange::Bold: return " font-weight=\"bold\"";
    case KRMathStateChange::Plain: return " font-weight=\"normal\" font-style=\"normal\"";
  }
  return {};
}

void KRDrawingExpressionBlockCommandIcon::prepareForFontStyle(KRMathFontStyle& style) {
  beginLayout(style);
  KRMathFontStyle glyphStyle = style;
  if (command_.fromSymbolFont) glyphStyle.face = {kSymbolFontFamily, false, false};
  else glyphStyle.face.italic = false;
  if (command_.bigOperator) glyphStyle.size = style.size * kBigOperatorScale;
  glyph_ = std::make_unique<KRDrawingExpressionBlockString>(command_.text);
  glyph_->prepareForFontStyle(glyphStyle);
  if (command_.bigOperator) {
    // Centred on the math axis of the text around it.
    double centre = (glyph_->inkAscent() - glyph_->inkDescent()) / 2;
    glyph_->shiftBy(0, 0.5 * xHeight() - centre);
  }
  // Words (function names, limits) keep a thin space from what follows,
  // which the blank after their name in the markup does not give.
  spaceAfter_ = command_.fromSymbolFont ? 0 : kThinSpace * style.size;
  width_ = glyph_->width() + spaceAfter_;
  include(*glyph_);
}

void KRDrawingExpressionBlockCommandIcon::positionAsSubscript(KRDrawingExpressionBlock* subscript,
                                                              KRDrawingExpressionBlock* superscript) {
  // Scripts go against the glyph; the space comes after them.
  width_ -= spaceAfter_;
  if (!command_.limits) {
    KRDrawingExpressionBlock::positionAsSubscript(subscript, superscript);
    // An integral's top overhangs its advance: keep its superscript clear.
    double overhang = glyph_->x() + glyph_->inkRight() - (x_ + width_);
    if (superscript && command_.bigOperator && overhang > 0) superscript->shiftBy(overhang + 0.1 * xHeight(), 0);
  } else {
    double gap = 0.2 * xHeight();
    double widest = width_;
    if (superscript) widest = std::max(widest, superscript->width());
    if (subscript) widest = std::max(widest, subscript->width());
    shiftBy((widest - width_) / 2, 0);
    double left = x_ - (widest - width_) / 2;
    if (superscript)
      superscript->shiftBy(left + (widest - superscript->width()) / 2,
                           y_ + inkAscent_ + gap + std::max(superscript->inkDescent(), 0.0));
    if (subscript)
      subscript->shiftBy(left + (widest - subscript->width()) / 2,
                         y_ - inkDescent_ - gap - std::max(subscript->inkAscent(), 0.0));
  }
  width_ += spaceAfter_;
}

void KRDrawingExpressionBlockCommandIcon::shiftBy(double dx, double dy) {
  KRDrawingExpressionBlock::shiftBy(dx, dy);
  if (glyph_) glyph_->shiftBy(dx, dy);
}

void KRDrawingExpressionBlockCommandIcon::drawToContext(GraphicsContext& gc, KRPoint offset,
                                                        const KRMathDrawState& state) const {
  if (glyph_) glyph_->drawToContext(gc, offset, state);
}

void KRDrawingExpressionBlockCommandIcon::addToSVGStream(KRSVGStream& stream, const std::string& indent,
                                                         double shiftYBy, KRSVGInfo& info) const {
  if (glyph_) glyph_->addToSVGStream(stream, indent, shiftYBy, info);
}

void KRDrawingExpressionBlockCommandOverUnder::prepareForFontStyle(KRMathFontStyle& style) {
  beginLayout(style);
  KRMathFontStyle argumentStyle = style;
  argument_->prepareForFontStyle(argumentStyle);
  double s = style.size, xh = xHeight(), t = ruleThicknessFor(s), gap = 0.2 * xh;
  double w = argument_->width();
  double above = std::max(argument_->inkAscent(), xh) + gap;
  double below = -(std::max(argument_->inkDescent(), 0.0) + gap);
  decorations_.clear();
  accent_.reset();
  const char* accent = nullptr;
  KRMathFontStyle accentStyle = style;
  switch (command_.decoration) {
    case KRMathDecoration::Overline: decorations_.push_back(lineFrom(0, w, above + t / 2, t, style.color)); break;
    case KRMathDecoration::Underline: decorations_.push_back(lineFrom(0, w, below - t / 2, t, style.color)); break;
    case KRMathDecoration::DoubleUnderline:
      decorations_.push_back(lineFrom(0, w, below - t / 2, t, style.color));
      decorations_.push_back(lineFrom(0, w, below - 3 * t, t, style.color));
      break;
    case KRMathDecoration::StrikeThrough: decorations_.push_back(lineFrom(0, w, 0.5 * xh, t, style.color)); break;
    case KRMathDecoration::Overbrace: decorations_.push_back(braceFrom(0, w, above, 0.6 * xh, 1, 1.2 * t, style.color)); break;
    case KRMathDecoration::Underbrace: decorations_.push_back(braceFrom(0, w, below, 0.6 * xh, -1, 1.2 * t, style.color)); break;
    case KRMathDecoration::Vector:
      accent = "\u2192";
      accentStyle.face = {kSymbolFontFamily, false, false};
      accentStyle.size = 0.8 * s;
      break;
    // The fullwidth circumflex (U+FF3E) is in none of the fonts we install;
    // the modifier circumflex is the same mark.
    case KRMathDecoration::Hat: accent = "\u02C6"; break;
    case KRMathDecoration::Tilde: accent = "\u02DC"; break;
  }
  width_ = w;
  include(*argument_);
  switch (command_.decoration) {
    case KRMathDecoration::Overline: includeRange(0, above + t, ascent_, descent_, inkAscent_, inkDescent_); break;
    case KRMathDecoration::Underline: includeRange(below - t, 0, ascent_, descent_, inkAscent_, inkDescent_); break;
    case KRMathDecoration::DoubleUnderline: includeRange(below - 3.5 * t, 0, ascent_, descent_, inkAscent_, inkDescent_); break;
    case KRMathDecoration::Overbrace: includeRange(0, above + 0.6 * xh + t, ascent_, descent_, inkAscent_, inkDescent_); break;
    case KRMathDecoration::Underbrace: includeRange(below - 0.6 * xh - t, 0, ascent_, descent_, inkAscent_, inkDescent_); break;
    default: break;
  }
  if (accent) {
    // The accent's marks sit a little above the argument's, centred over it.
    accent_ = std::make_unique<KRDrawingExpressionBlockString>(accent);
    accent_->prepareForFontStyle(accentStyle);
    double top = std::max(argument_->inkAscent(), xh) + 0.1 * xh;
    accent_->shiftBy((w - accent_->width()) / 2, top + accent_->inkDescent());
    include(*accent_);
  }
}

void KRDrawingExpressionBlockCommandOverUnder::shiftBy(double dx, double dy) {
  KRDrawingExpressionBlock::shiftBy(dx, dy);
  argument_->shiftBy(dx, dy);
  for (auto& d : decorations_) d.shiftBy(dx, dy);
  if (accent_) accent_->shiftBy(dx, dy);
}

void KRDrawingExpressionBlockCommandOverUnder::drawToContext(GraphicsContext& gc, KRPoint offset,
                                                             const KRMathDrawState& state) const {
  argument_->drawToContext(gc, offset, state);
  for (const auto& d : decorations_) d.draw(gc, offset, state);
  if (accent_) accent_->drawToContext(gc, offset, state);
}

void KRDrawingExpressionBlockCommandOverUnder::addToSVGStream(KRSVGStream& stream, const std::string& indent,
                                                              double shiftYBy, KRSVGInfo& info) const {
  argument_->addToSVGStream(stream, indent, shiftYBy, info);
  for (const auto& d : decorations_) d.addToSVGStream(stream, indent, shiftYBy);
  if (accent_) accent_->addToSVGStream(stream, indent, shiftYBy, info);
}

}  // namespace orrelin
