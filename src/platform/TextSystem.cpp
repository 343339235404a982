#include "platform/TextSystem.h"

#include "platform/FontConfiguration.h"
#include "platform/GraphicsContext.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <hb-ot.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <tuple>

#if defined(__SANITIZE_ADDRESS__)
#define ORREL_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORREL_LEAK_CHECKED 1
#endif
#endif

#ifdef ORREL_LEAK_CHECKED
// fontconfig keeps the values of its patterns behind encoded offsets, and
// pango caches such patterns for the life of the font map, so the leak
// checker cannot see that they are still held. Tell it so for every program
// that draws text.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libpangoft2-1.0.so\n"; }
#endif

namespace orrelin {

namespace {

// One font map and one context for the whole process, used under the lock.
struct TextMachinery {
  PangoFontMap* fontMap = nullptr;
  PangoContext* measuring = nullptr;
  std::map<std::string, std::string> familiesUsed;
  // Metrics at the reference size, per face.
  std::map<std::tuple<std::string, bool, bool>, KRFontMetrics> metrics;
  // One KRFont per cairo font, shared by every run drawn with it.
  std::map<cairo_scaled_font_t*, std::shared_ptr<const KRFont>> fonts;
};

// The size metrics are measured at, for enough precision in the ink heights.
constexpr double kMetricsSize = 100;

void makeResolutionIndependent(PangoContext* context) {
  // Hinting and rounding would tie widths to a device; without them a text
  // measures the same at every resolution.
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  pango_cairo_context_set_font_options(context, options);
  cairo_font_options_destroy(options);
  pango_context_set_round_glyph_positions(context, FALSE);
}

TextMachinery& machinery() {
  // Never destroyed: text may be measured while the process ends.
  static TextMachinery* shared = [] {
    auto* m = new TextMachinery;
    // Our own fonts only, whatever else the machine has. The configuration
    // is made before the font map, which would otherwise start loading the
    // machine's.
    FcConfig* config = FontConfiguration::shared();
    m->fontMap = pango_cairo_font_map_new();
    // A font map without a configuration of its own uses the current one,
    // which ours already is. Setting it again would make the font map list
    // every family of every font at once, for nothing.
    if (FcConfigGetCurrent() != config) pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(m->fontMap), config);
    m->measuring = pango_font_map_create_context(m->fontMap);
    makeResolutionIndependent(m->measuring);
    return m;
  }();
  return *shared;
}

std::string lowercase(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

PangoFontDescription* describe(const KRFontFace& face, double size) {
  PangoFontDescription* description = pango_font_description_new();
  pango_font_description_set_family(description, face.family.c_str());
  pango_font_description_set_weight(description, face.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(description, face.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  double points = std::isfinite(size) && size > 0 ? std::min(size, 10000.0) : 12;
  pango_font_description_set_absolute_size(description, points * PANGO_SCALE);
  return description;
}

PangoLayout* layoutFor(PangoContext* context, const std::string& text, const KRTextAttributes& attributes) {
  PangoLayout* layout = pango_layout_new(context);
  PangoFontDescription* description = describe(attributes.face, attributes.fontSize);
  pango_layout_set_font_description(layout, description);
  pango_font_description_free(description);
  // Invalid UTF-8 would be refused as a whole; show what is valid.
  const char* end = nullptr;
  if (g_utf8_validate(text.c_str(), static_cast<gssize>(text.size()), &end)) {
    pango_layout_set_text(layout, text.c_str(), static_cast<int>(text.size()));
  } else {
    gchar* valid = g_utf8_make_valid(text.c_str(), static_cast<gssize>(text.size()));
    pango_layout_set_text(layout, valid, -1);
    g_free(valid);
  }
  return layout;
}

KRTextMeasure measureLayout(PangoLayout* layout) {
  PangoRectangle ink, logical;
  pango_layout_get_extents(layout, &ink, &logical);
  double baseline = pango_layout_get_baseline(layout) / static_cast<double>(PANGO_SCALE);
  KRTextMeasure m;
  m.width = logical.width / static_cast<double>(PANGO_SCALE);
  m.ascent = baseline - logical.y / static_cast<double>(PANGO_SCALE);
  m.descent = (logical.y + logical.height) / static_cast<double>(PANGO_SCALE) - baseline;
  if (ink.width > 0 && ink.height > 0) {
    m.inkLeft = ink.x / static_cast<double>(PANGO_SCALE);
    m.inkRight = (ink.x + ink.width) / static_cast<double>(PANGO_SCALE);
    m.inkTop = baseline - ink.y / static_cast<double>(PANGO_SCALE);
    m.inkBottom = baseline - (ink.y + ink.height) / static_cast<double>(PANGO_SCALE);
  }
  return m;
}

bool endsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

std::recursive_mutex& TextSystem::lock() {
  static auto* shared = new std::recursive_mutex;
  return *shared;
}

KRFontFace TextSystem::faceFromFontName(const std::string& name) {
  KRFontFace face{name, false, false};
  auto dash = name.rfind('-');
  std::string family = name, style;
  if (dash != std::string::npos && dash > 0) {
    family = name.substr(0, dash);
    style = name.substr(dash + 1);
  }
  // PostScript names carry foundry marks ("ArialMT", "TimesNewRomanPS-BoldMT").
  for (const char* mark : {"MT", "PS"}) {
    if (endsWith(style, mark)) style.resize(style.size() - 2);
    if (endsWith(family, mark) && family.size() > 2) family.resize(family.size() - 2);
  }
  std::string lower = lowercase(style);
  bool known = lower.empty() || lower == "roman" || lower == "regular" || lower == "plain" || lower == "book" ||
               lower == "bold" || lower == "italic" || lower == "oblique" || lower == "bolditalic" ||
               lower == "boldoblique";
  if (!known) return face;  // a dash that is part of the family name
  face.family = family;
  face.bold = lower.find("bold") != std::string::npos;
  face.italic = lower.find("italic") != std::string::npos || lower.find("oblique") != std::string::npos;
  // "TimesNewRoman" is known to fontconfig as "Times New Roman".
  if (family.find(' ') == std::string::npos && !fontIsAvailable(family)) {
    std::string spaced;
    for (std::size_t i = 0; i < family.size(); ++i) {
      if (i > 0 && std::isupper(static_cast<unsigned char>(family[i])) &&
          std::islower(static_cast<unsigned char>(family[i - 1])))
        spaced += ' ';
      spaced += family[i];
    }
    if (spaced != family && fontIsAvailable(spaced)) face.family = spaced;
  }
  return face;
}

bool TextSystem::fontIsAvailable(const std::string& name) {
  std::lock_guard guard(lock());
  return FontConfiguration::knowsFamily(name);
}

KRFontFace TextSystem::resolveFont(const std::string& name, const std::vector<std::string>& fallbacks) {
  KRFontFace first = faceFromFontName(name);
  if (fontIsAvailable(first.family)) return first;
  for (const auto& fallback : fallbacks) {
    KRFontFace face = faceFromFontName(fallback);
    if (fontIsAvailable(face.family)) return face;
  }
  return first;
}

std::string TextSystem::familyUsedFor(const KRFontFace& face) {
  std::lock_guard guard(lock());
  TextMachinery& m = machinery();
  auto known = m.familiesUsed.find(face.family);
  if (known != m.familiesUsed.end()) return known->second;
  std::string family = FontConfiguration::matchedFamily(face.family);
  m.familiesUsed[face.family] = family;
  return family;
}

KRTextMeasure TextSystem::measure(const std::string& text, const KRTextAttributes& attributes) {
  std::lock_guard guard(lock());
  PangoLayout* layout = layoutFor(machinery().measuring, text, attributes);
  KRTextMeasure m = measureLayout(layout);
  g_object_unref(layout);
  return m;
}

KRFontMetrics TextSystem::fontMetrics(const KRFontFace& face, double size) {
  std::lock_guard guard(lock());
  TextMachinery& m = machinery();
  auto key = std::make_tuple(face.family, face.bold, face.italic);
  auto known = m.metrics.find(key);
  if (known == m.metrics.end()) {
    KRFontMetrics made;
    made.familyName = familyUsedFor(face);
    KRTextAttributes attributes;
    attributes.face = face;
    attributes.fontSize = kMetricsSize;
    PangoFontDescription* description = describe(face, kMetricsSize);
    PangoFontMetrics* pm = pango_context_get_metrics(m.measuring, description, nullptr);
    made.ascender = pango_font_metrics_get_ascent(pm) / static_cast<double>(PANGO_SCALE);
    made.descender = -pango_font_metrics_get_descent(pm) / static_cast<double>(PANGO_SCALE);
    pango_font_metrics_unref(pm);
    // Heights of letters and digits from the marks themselves; every font has them.
    made.capHeight = measure("H", attributes).inkTop;
    made.xHeight = measure("x", attributes).inkTop;
    made.digitHeight = measure("0123456789", attributes).inkTop;
    PangoFont* font = pango_context_load_font(m.measuring, description);
    if (font) {
      hb_font_t* hb = pango_font_get_hb_font(font);
      if (hb) made.italicAngle = hb_style_get_value(hb, HB_STYLE_TAG_SLANT_ANGLE);
      g_object_unref(font);
    }
    pango_font_description_free(description);
    known = m.metrics.emplace(key, made).first;
  }
  // Unhinted metrics grow in proportion to the size; the angle does not.
  double f = (std::isfinite(size) && size > 0 ? std::min(size, 10000.0) : 12) / kMetricsSize;
  KRFontMetrics scaled = known->second;
  for (double* v : {&scaled.ascender, &scaled.descender, &scaled.capHeight, &scaled.xHeight, &scaled.digitHeight})
    *v *= f;
  return scaled;
}

namespace {

// The KRFont for a pango font, made once.
std::shared_ptr<const KRFont> fontFor(TextMachinery& m, PangoFont* pango) {
  cairo_scaled_font_t* scaled = pango_cairo_font_get_scaled_font(PANGO_CAIRO_FONT(pango));
  if (!scaled) return nullptr;
  auto known = m.fonts.find(scaled);
  if (known != m.fonts.end()) return known->second;
  PangoFontDescription* description = pango_font_describe(pango);
  std::string family = pango_font_description_get_family(description) ? pango_font_description_get_family(description) : "";
  double size = pango_font_description_get_size(description) / static_cast<double>(PANGO_SCALE);
  pango_font_description_free(description);
  std::string file;
  int index = 0;
  if (FcPattern* pattern = pango_fc_font_get_pattern(PANGO_FC_FONT(pango))) {
    FcChar8* path = nullptr;
    if (FcPatternGetString(pattern, FC_FILE, 0, &path) == FcResultMatch) file = reinterpret_cast<char*>(path);
    FcPatternGetInteger(pattern, FC_INDEX, 0, &index);
  }
  std::shared_ptr<const KRFont> font(new KRFont(scaled, family, size, file, index));
  m.fonts.emplace(scaled, font);
  return font;
}

}  // namespace

KRShapedText TextSystem::shape(const std::string& text, const KRTextAttributes& attributes) {
  std::lock_guard guard(lock());
  TextMachinery& m = machinery();
  KRShapedText shaped;
  PangoLayout* layout = layoutFor(m.measuring, text, attributes);
  shaped.measure = measureLayout(layout);
  double scale = PANGO_SCALE;
  PangoLayoutIter* iter = pango_layout_get_iter(layout);
  int firstBaseline = pango_layout_iter_get_baseline(iter);
  do {
    PangoGlyphItem* item = pango_layout_iter_get_run_readonly(iter);
    if (!item) continue;  // the end of a line
    PangoRectangle logical;
    pango_layout_iter_get_run_extents(iter, nullptr, &logical);
    double lineDrop = (pango_layout_iter_get_baseline(iter) - firstBaseline) / scale;
    KRGlyphRun run;
    run.font = fontFor(m, item->item->analysis.font);
    if (!run.font) continue;
    PangoGlyphString* glyphs = item->glyphs;
    int x = logical.x;
    for (int i = 0; i < glyphs->num_glyphs; ++i) {
      const PangoGlyphInfo& info = glyphs->glyphs[i];
      // Empty glyphs (line breaks, ignorables) take no ink.
      if (info.glyph != PANGO_GLYPH_EMPTY && !(info.glyph & PANGO_GLYPH_UNKNOWN_FLAG))
        run.glyphs.push_back({info.glyph, (x + info.geometry.x_offset) / scale,
                              -(lineDrop + info.geometry.y_offset / scale)});
      x += info.geometry.width;
    }
    if (!run.glyphs.empty()) shaped.runs.push_back(std::move(run));
  } while (pango_layout_iter_next_run(iter));
  pango_layout_iter_free(iter);
  g_object_unref(layout);
  return shaped;
}

void TextSystem::draw(GraphicsContext& context, const std::string& text, const KRTextAttributes& attributes,
                      KRPoint origin) {
  std::lock_guard guard(lock());
  context.drawText(shape(text, attributes), {origin.x, origin.y + attributes.baselineOffset}, attributes.color);
}

KRFont::KRFont(cairo_scaled_font_t* font, std::string family, double size, std::string file, int faceIndex)
    : scaledFont_(cairo_scaled_font_reference(font)),
      family_(std::move(family)),
      size_(size),
      file_(std::move(file)),
      faceIndex_(faceIndex) {}

KRFont::~KRFont() { cairo_scaled_font_destroy(scaledFont_); }

}  // namespace orrelin
