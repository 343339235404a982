#include "platform/TextSystem.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <hb-ot.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>

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

// One font map and two contexts for the whole process, used under the lock:
// one context measures, the other is pointed at each target it draws into.
struct TextMachinery {
  PangoFontMap* fontMap = nullptr;
  PangoContext* measuring = nullptr;
  PangoContext* drawing = nullptr;
  std::map<std::string, bool> availability;
  std::map<std::string, std::string> familiesUsed;
  std::string defaultFamily;
};

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
    m->fontMap = pango_cairo_font_map_new();
    m->measuring = pango_font_map_create_context(m->fontMap);
    m->drawing = pango_font_map_create_context(m->fontMap);
    makeResolutionIndependent(m->measuring);
    makeResolutionIndependent(m->drawing);
    return m;
  }();
  return *shared;
}

std::string lowercase(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The family fontconfig picks for a requested family name.
std::string matchedFamily(const std::string& family) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  std::string matched;
  FcChar8* name = nullptr;
  if (match && FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch) matched = reinterpret_cast<char*>(name);
  if (match) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  return matched;
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
  TextMachinery& m = machinery();
  auto known = m.availability.find(name);
  if (known != m.availability.end()) return known->second;
  if (m.defaultFamily.empty()) m.defaultFamily = matchedFamily("Orrelin-No-Such-Font-Family");
  std::string matched = matchedFamily(name);
  // A family that ends up at the same font as a name nobody has is missing,
  // unless it is that font itself.
  bool available = !name.empty() && !matched.empty() &&
                   (lowercase(matched) == lowercase(name) || matched != m.defaultFamily);
  m.availability[name] = available;
  return available;
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
  std::string family = matchedFamily(face.family);
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
  KRFontMetrics metrics;
  metrics.familyName = familyUsedFor(face);
  KRTextAttributes attributes;
  attributes.face = face;
  attributes.fontSize = size;
  PangoContext* context = machinery().measuring;
  PangoFontDescription* description = describe(face, size);
  PangoFontMetrics* pm = pango_context_get_metrics(context, description, nullptr);
  metrics.ascender = pango_font_metrics_get_ascent(pm) / static_cast<double>(PANGO_SCALE);
  metrics.descender = -pango_font_metrics_get_descent(pm) / static_cast<double>(PANGO_SCALE);
  pango_font_metrics_unref(pm);
  // Heights of letters and digits from the marks themselves; every font has them.
  metrics.capHeight = measure("H", attributes).inkTop;
  metrics.xHeight = measure("x", attributes).inkTop;
  metrics.digitHeight = measure("0123456789", attributes).inkTop;
  PangoFont* font = pango_context_load_font(context, description);
  if (font) {
    hb_font_t* hb = pango_font_get_hb_font(font);
    if (hb) metrics.italicAngle = hb_style_get_value(hb, HB_STYLE_TAG_SLANT_ANGLE);
    g_object_unref(font);
  }
  pango_font_description_free(description);
  return metrics;
}

void TextSystem::draw(GraphicsContext& context, const std::string& text, const KRTextAttributes& attributes,
                      KRPoint origin) {
  if (text.empty() || context.drawingSuppressed() || !std::isfinite(origin.x) || !std::isfinite(origin.y)) return;
  std::lock_guard guard(lock());
  TextMachinery& m = machinery();
  cairo_t* cr = context.cr_;
  cairo_save(cr);
  cairo_new_path(cr);
  // Text reads upright in the y-up page: flip the y axis at the base line.
  cairo_translate(cr, origin.x, origin.y + attributes.baselineOffset);
  cairo_scale(cr, 1, -1);
  pango_cairo_update_context(cr, m.drawing);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_antialias(options, context.shouldAntialias() ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
  pango_cairo_context_set_font_options(m.drawing, options);
  cairo_font_options_destroy(options);
  PangoLayout* layout = layoutFor(m.drawing, text, attributes);
  double baseline = pango_layout_get_baseline(layout) / static_cast<double>(PANGO_SCALE);
  auto show = [&](cairo_t* target) {
    cairo_move_to(target, 0, -baseline);
    pango_cairo_show_layout(target, layout);
  };
  if (context.state().hasShadow) {
    KRTextMeasure measured = measureLayout(layout);
    // The flipped text space: y grows downwards from the base line.
    KRRect inkBox{measured.inkLeft, -measured.inkTop, measured.inkRight - measured.inkLeft,
                  measured.inkTop - measured.inkBottom};
    context.paint(context.userRectToDevice(inkBox), [&](cairo_t* shadow) { show(shadow); });
  }
  auto rgb = attributes.color.rgbComponents();
  cairo_set_source_rgba(cr, rgb[0], rgb[1], rgb[2], std::clamp(attributes.color.alpha, 0.0, 1.0) * context.alpha());
  show(cr);
  g_object_unref(layout);
  cairo_restore(cr);
}

}  // namespace orrelin
