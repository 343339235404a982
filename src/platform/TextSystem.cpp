#include "platform/TextSystem.h"

#include "platform/FontConfiguration.h"
#include "platform/GraphicsContext.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <hb-ot.h>
#include <hb.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <tuple>
#include <unordered_map>

#if defined(__SANITIZE_ADDRESS__)
#define ORREL_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORREL_LEAK_CHECKED 1
#endif
#endif

#ifdef ORREL_LEAK_CHECKED
// fontconfig keeps the values of its patterns behind encoded offsets, so the
// leak checker cannot see that the patterns the font caches hold for the
// life of the process are still in use. Tell it so for every program that
// draws text.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif

// How text is laid out. A text is cut into lines at its line breaks, each
// line into runs of one font and one script; each run is shaped by HarfBuzz
// in its own direction (so a right-to-left text comes out in visual order)
// and the runs are placed left to right in the order they have in the text.
// A text mixing directions is therefore not reordered as a whole: a Hebrew
// or Arabic word inside Latin text reads correctly, but Latin words or
// digits inside a right-to-left sentence keep their logical place, and
// digits within a right-to-left word come out reversed.
//
// Positions are unhinted and exact: every HarfBuzz font works in the units
// of its own em, scaled to points here, so a text measures the same at
// every size and resolution.

namespace orrelin {

namespace {

// The size metrics are measured at, for enough precision in the ink heights.
constexpr double kMetricsSize = 100;
// A tab advances to the next multiple of this many spaces from the line start.
constexpr int kTabSpaces = 8;
constexpr hb_codepoint_t kReplacement = 0xFFFD;

double usableSize(double size) { return std::isfinite(size) && size > 0 ? std::min(size, 10000.0) : 12; }

// One font file's face, as fontconfig prepared it for the faces that use it
// (with any synthetic emboldening or slant it asks for).
struct FontSource {
  FcPattern* pattern = nullptr;  // owned
  FcCharSet* charset = nullptr;  // the pattern's
  std::string file, family;
  int index = 0;
  hb_font_t* hb = nullptr;  // shared by every source of the same file and face
  double unitsPerEm = 1000;
  hb_font_extents_t extents{};
  // The slant fontconfig adds to an upright face drawn as italic (identity otherwise).
  double shearX = 0;
  cairo_font_face_t* cairoFace = nullptr;
  cairo_matrix_t fcMatrix{};
  std::map<double, std::shared_ptr<const KRFont>> sized;
  std::unordered_map<hb_codepoint_t, hb_glyph_extents_t> inks;

  bool covers(hb_codepoint_t c) const { return charset && FcCharSetHasChar(charset, c); }
  const hb_glyph_extents_t& ink(hb_codepoint_t glyph) {
    auto known = inks.find(glyph);
    if (known != inks.end()) return known->second;
    hb_glyph_extents_t e{};
    if (!hb_font_get_glyph_extents(hb, glyph, &e)) e = {};
    return inks.emplace(glyph, e).first->second;
  }
};

// The fonts of one face: the best match, and the rest of the families'
// fonts in order for characters the best match lacks (sorted only when a
// text first needs one).
struct FaceFonts {
  FcPattern* request = nullptr;  // owned
  FontSource* primary = nullptr;
  bool sorted = false;
  FcFontSet* candidates = nullptr;   // owned once sorted
  std::vector<FontSource*> prepared;  // per candidate, made when first used
};

// The whole text machinery of the process, used under the lock.
struct TextMachinery {
  FcConfig* config = nullptr;
  cairo_font_options_t* options = nullptr;
  std::map<std::tuple<std::string, bool, bool>, FaceFonts> faces;
  std::map<std::pair<std::string, int>, hb_font_t*> hbFonts;
  std::map<std::string, FontSource*> sources;
  // Metrics at the reference size, per face.
  std::map<std::tuple<std::string, bool, bool>, KRFontMetrics> metrics;
  hb_buffer_t* buffer = nullptr;
};

TextMachinery& machinery() {
  // Never destroyed: text may be measured while the process ends.
  static TextMachinery* shared = [] {
    auto* m = new TextMachinery;
    // Our own fonts only, whatever else the machine has.
    m->config = FontConfiguration::shared();
    // Hinting and rounding would tie widths to a device; without them a text
    // measures and draws the same at every resolution.
    m->options = cairo_font_options_create();
    cairo_font_options_set_hint_style(m->options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(m->options, CAIRO_HINT_METRICS_OFF);
    m->buffer = hb_buffer_create();
    return m;
  }();
  return *shared;
}

std::string lowercase(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

hb_font_t* hbFontFor(TextMachinery& m, const std::string& file, int index) {
  auto key = std::make_pair(file, index);
  auto known = m.hbFonts.find(key);
  if (known != m.hbFonts.end()) return known->second;
  hb_blob_t* blob = hb_blob_create_from_file(file.c_str());
  hb_face_t* face = hb_face_create(blob, static_cast<unsigned>(index));
  hb_blob_destroy(blob);
  hb_font_t* font = hb_font_create(face);
  hb_face_destroy(face);
  hb_ot_font_set_funcs(font);
  // In font units: positions come out exact, and unhinted.
  int upem = static_cast<int>(hb_face_get_upem(hb_font_get_face(font)));
  hb_font_set_scale(font, upem, upem);
  m.hbFonts.emplace(key, font);
  return font;
}

// The source for a prepared pattern; takes the pattern over.
FontSource* sourceFor(TextMachinery& m, FcPattern* prepared) {
  FcChar8* path = nullptr;
  std::string file;
  if (FcPatternGetString(prepared, FC_FILE, 0, &path) == FcResultMatch) file = reinterpret_cast<char*>(path);
  int index = 0;
  FcPatternGetInteger(prepared, FC_INDEX, 0, &index);
  FcBool embolden = FcFalse;
  FcPatternGetBool(prepared, FC_EMBOLDEN, 0, &embolden);
  FcMatrix* fc = nullptr;
  FcMatrix matrix{1, 0, 0, 1};
  if (FcPatternGetMatrix(prepared, FC_MATRIX, 0, &fc) == FcResultMatch && fc) matrix = *fc;
  std::string key = file + '\n' + std::to_string(index) + '\n' + (embolden ? "b" : "") + '\n' +
                    std::to_string(matrix.xx) + ' ' + std::to_string(matrix.xy) + ' ' + std::to_string(matrix.yx) +
                    ' ' + std::to_string(matrix.yy);
  auto known = m.sources.find(key);
  if (known != m.sources.end()) {
    FcPatternDestroy(prepared);
    return known->second;
  }
  auto* s = new FontSource;
  s->pattern = prepared;
  s->file = file;
  s->index = index;
  FcChar8* family = nullptr;
  if (FcPatternGetString(prepared, FC_FAMILY, 0, &family) == FcResultMatch)
    s->family = reinterpret_cast<char*>(family);
  FcPatternGetCharSet(prepared, FC_CHARSET, 0, &s->charset);
  s->hb = hbFontFor(m, file, index);
  s->unitsPerEm = hb_face_get_upem(hb_font_get_face(s->hb));
  hb_font_get_h_extents(s->hb, &s->extents);
  // fontconfig's matrix is y up; cairo's font space is y down.
  cairo_matrix_init(&s->fcMatrix, matrix.xx, -matrix.yx, -matrix.xy, matrix.yy, 0, 0);
  s->shearX = matrix.xy;
  // Synthetic emboldening is read from the pattern by cairo itself.
  s->cairoFace = cairo_ft_font_face_create_for_pattern(prepared);
  m.sources.emplace(key, s);
  return s;
}

FaceFonts& faceFonts(TextMachinery& m, const KRFontFace& face) {
  auto key = std::make_tuple(face.family, face.bold, face.italic);
  auto known = m.faces.find(key);
  if (known != m.faces.end()) return known->second;
  FaceFonts& made = m.faces[key];
  FcPattern* request = FcPatternCreate();
  // A list of families ("Helvetica, Arial") is tried in order.
  std::size_t start = 0;
  while (start <= face.family.size()) {
    std::size_t comma = face.family.find(',', start);
    if (comma == std::string::npos) comma = face.family.size();
    std::string name = face.family.substr(start, comma - start);
    name.erase(0, name.find_first_not_of(" \t"));
    name.erase(name.find_last_not_of(" \t") + 1);
    if (!name.empty()) FcPatternAddString(request, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    start = comma + 1;
  }
  FcPatternAddInteger(request, FC_WEIGHT, face.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(request, FC_SLANT, face.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(m.config, request, FcMatchPattern);
  // The rendering options travel in the pattern to the font cairo makes.
  cairo_ft_font_options_substitute(m.options, request);
  FcDefaultSubstitute(request);
  made.request = request;
  FcResult result;
  FcPattern* match = FcFontMatch(m.config, request, &result);
  if (!match) {
    // Only when the configuration has no fonts at all; a text then has no glyphs.
    return made;
  }
  made.primary = sourceFor(m, match);
  return made;
}

// The first font of the face's fallbacks that has the character, if any.
FontSource* fallbackFor(TextMachinery& m, FaceFonts& face, hb_codepoint_t c) {
  if (!face.sorted) {
    face.sorted = true;
    FcResult result;
    face.candidates = FcFontSort(m.config, face.request, FcTrue, nullptr, &result);
    if (face.candidates) face.prepared.assign(static_cast<std::size_t>(face.candidates->nfont), nullptr);
  }
  if (!face.candidates) return nullptr;
  for (int i = 0; i < face.candidates->nfont; ++i) {
    FcCharSet* charset = nullptr;
    if (FcPatternGetCharSet(face.candidates->fonts[i], FC_CHARSET, 0, &charset) != FcResultMatch ||
        !FcCharSetHasChar(charset, c))
      continue;
    auto& source = face.prepared[static_cast<std::size_t>(i)];
    if (!source) source = sourceFor(m, FcFontRenderPrepare(m.config, face.request, face.candidates->fonts[i]));
    return source;
  }
  return nullptr;
}

std::shared_ptr<const KRFont> sizedFont(TextMachinery& m, FontSource& source, double size) {
  auto known = source.sized.find(size);
  if (known != source.sized.end()) return known->second;
  cairo_matrix_t fontMatrix, identity;
  cairo_matrix_init_scale(&fontMatrix, size, size);
  cairo_matrix_multiply(&fontMatrix, &source.fcMatrix, &fontMatrix);
  cairo_matrix_init_identity(&identity);
  cairo_scaled_font_t* scaled = cairo_scaled_font_create(source.cairoFace, &fontMatrix, &identity, m.options);
  std::shared_ptr<const KRFont> font(new KRFont(scaled, source.family, size, source.file, source.index));
  cairo_scaled_font_destroy(scaled);
  source.sized.emplace(size, font);
  return font;
}

// The text as code points. Each byte that does not begin a well-formed
// UTF-8 sequence becomes one U+FFFD, so a damaged text shows what is valid.
std::vector<hb_codepoint_t> decode(const std::string& text) {
  std::vector<hb_codepoint_t> out;
  out.reserve(text.size());
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t n = text.size(), i = 0;
  while (i < n) {
    unsigned char b = s[i];
    if (b < 0x80 && b != 0) {
      out.push_back(b);
      ++i;
      continue;
    }
    std::size_t length = b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
    hb_codepoint_t c = length == 2 ? b & 0x1Fu : length == 3 ? b & 0x0Fu : b & 0x07u;
    bool ok = length > 0 && i + length <= n;
    for (std::size_t k = 1; ok && k < length; ++k) {
      if ((s[i + k] & 0xC0) != 0x80) ok = false;
      c = (c << 6) | (s[i + k] & 0x3Fu);
    }
    // Over-long forms, surrogates and values past the last plane.
    if (ok && ((length == 3 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) ||
               (length == 4 && (c < 0x10000 || c > 0x10FFFF))))
      ok = false;
    if (ok) {
      out.push_back(c);
      i += length;
    } else {
      out.push_back(kReplacement);
      ++i;
    }
  }
  return out;
}

bool isLineBreak(hb_codepoint_t c) { return c == '\n' || c == '\r' || c == 0x2028 || c == 0x2029; }

// Characters that never choose a font of their own: they stay with the run
// they are in (and so do variation selectors, which belong to the
// character before them).
bool staysWithRun(hb_unicode_general_category_t category) {
  switch (category) {
    case HB_UNICODE_GENERAL_CATEGORY_SPACE_SEPARATOR:
    case HB_UNICODE_GENERAL_CATEGORY_CONTROL:
    case HB_UNICODE_GENERAL_CATEGORY_FORMAT:
    case HB_UNICODE_GENERAL_CATEGORY_UNASSIGNED:
      return true;
    default:
      return false;
  }
}

bool isMark(hb_unicode_general_category_t category) {
  return category == HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK ||
         category == HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK ||
         category == HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK;
}

bool isNeutralScript(hb_script_t script) {
  return script == HB_SCRIPT_COMMON || script == HB_SCRIPT_INHERITED || script == HB_SCRIPT_UNKNOWN;
}

struct Piece {
  std::size_t start, end;  // code points
  FontSource* font;
  hb_script_t script;
};

bool isRightToLeft(hb_script_t script) {
  return hb_script_get_horizontal_direction(script) == HB_DIRECTION_RTL;
}

// Blanks and punctuation between a right-to-left word and left-to-right text
// belong to the left-to-right side, so that they stay between the two
// rather than move to the far side of the word.
void moveNeutralsOutOfRightToLeft(std::vector<Piece>& pieces, const std::vector<hb_codepoint_t>& text) {
  hb_unicode_funcs_t* unicode = hb_unicode_funcs_get_default();
  auto neutral = [&](std::size_t i) { return isNeutralScript(hb_unicode_script(unicode, text[i])); };
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    Piece& p = pieces[i];
    if (!isRightToLeft(p.script)) continue;
    if (i + 1 < pieces.size() && !isRightToLeft(pieces[i + 1].script)) {
      while (p.end - p.start > 1 && neutral(p.end - 1)) pieces[i + 1].start = --p.end;
    }
    if (i > 0 && !isRightToLeft(pieces[i - 1].script)) {
      while (p.end - p.start > 1 && neutral(p.start)) pieces[i - 1].end = ++p.start;
    }
  }
}

// The line cut into runs of one font and one script.
std::vector<Piece> itemize(TextMachinery& m, FaceFonts& face, const std::vector<hb_codepoint_t>& text,
                           std::size_t start, std::size_t end) {
  std::vector<Piece> pieces;
  hb_unicode_funcs_t* unicode = hb_unicode_funcs_get_default();
  FontSource* current = nullptr;
  hb_script_t script = HB_SCRIPT_COMMON;
  for (std::size_t i = start; i < end; ++i) {
    hb_codepoint_t c = text[i];
    auto category = hb_unicode_general_category(unicode, c);
    FontSource* font = nullptr;
    bool selector = (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0100 && c <= 0xE01EF);
    if (current && (staysWithRun(category) || selector || (isMark(category) && current->covers(c)))) {
      font = current;
    } else if (face.primary->covers(c) || staysWithRun(category)) {
      font = face.primary;
    } else {
      font = fallbackFor(m, face, c);
      // No font has it: the primary font's missing glyph holds its place.
      if (!font) font = face.primary;
    }
    hb_script_t own = hb_unicode_script(unicode, c);
    bool otherScript = !isNeutralScript(own) && !isNeutralScript(script) && own != script;
    if (pieces.empty() || font != current || otherScript) {
      pieces.push_back({i, i + 1, font, own});
      current = font;
      script = own;
    } else {
      pieces.back().end = i + 1;
      if (isNeutralScript(script)) script = pieces.back().script = own;
    }
  }
  moveNeutralsOutOfRightToLeft(pieces, text);
  return pieces;
}

void addInk(KRTextMeasure& m, bool& any, FontSource& font, const hb_glyph_extents_t& e, double scale, double x,
            double y) {
  if (e.width == 0 || e.height == 0) return;
  double left = e.x_bearing * scale, right = (e.x_bearing + e.width) * scale;
  double top = e.y_bearing * scale, bottom = (e.y_bearing + e.height) * scale;
  if (font.shearX != 0) {
    // The slant moves the marks' right by their height above the base line.
    double shifts[2] = {font.shearX * top, font.shearX * bottom};
    left += std::min(shifts[0], shifts[1]);
    right += std::max(shifts[0], shifts[1]);
  }
  left += x, right += x, top += y, bottom += y;
  if (!any) {
    m.inkLeft = left, m.inkRight = right, m.inkTop = top, m.inkBottom = bottom;
    any = true;
  } else {
    m.inkLeft = std::min(m.inkLeft, left), m.inkRight = std::max(m.inkRight, right);
    m.inkTop = std::max(m.inkTop, top), m.inkBottom = std::min(m.inkBottom, bottom);
  }
}

KRShapedText layOut(const std::string& text, const KRTextAttributes& attributes, bool withGlyphs) {
  TextMachinery& m = machinery();
  KRShapedText out;
  FaceFonts& face = faceFonts(m, attributes.face);
  if (!face.primary) return out;
  double size = usableSize(attributes.fontSize);
  std::vector<hb_codepoint_t> codes = decode(text);
  KRTextMeasure& measure = out.measure;
  bool anyInk = false;
  double firstAscent = 0, baseline = 0, previousDescent = 0;
  std::size_t lineStart = 0;
  for (int line = 0;; ++line) {
    std::size_t lineEnd = lineStart;
    while (lineEnd < codes.size() && !isLineBreak(codes[lineEnd])) ++lineEnd;
    std::vector<Piece> pieces = itemize(m, face, codes, lineStart, lineEnd);
    // The line's height is that of the fonts it uses, the face's own when empty.
    double ascent = 0, descent = 0;
    if (pieces.empty()) {
      ascent = face.primary->extents.ascender * size / face.primary->unitsPerEm;
      descent = -face.primary->extents.descender * size / face.primary->unitsPerEm;
    }
    for (const Piece& p : pieces) {
      ascent = std::max(ascent, p.font->extents.ascender * size / p.font->unitsPerEm);
      descent = std::max(descent, -p.font->extents.descender * size / p.font->unitsPerEm);
    }
    if (line == 0) {
      firstAscent = ascent;
    } else {
      baseline -= previousDescent + ascent;
    }
    previousDescent = descent;
    double x = 0;
    for (const Piece& p : pieces) {
      FontSource& font = *p.font;
      double scale = size / font.unitsPerEm;
      hb_buffer_t* buffer = m.buffer;
      hb_buffer_clear_contents(buffer);
      hb_buffer_add_utf32(buffer, codes.data(), static_cast<int>(codes.size()), static_cast<unsigned>(p.start),
                          static_cast<int>(p.end - p.start));
      hb_buffer_guess_segment_properties(buffer);
      hb_shape(font.hb, buffer, nullptr, 0);
      unsigned count = 0;
      hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &count);
      hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, &count);
      KRGlyphRun run;
      if (withGlyphs) {
        run.font = sizedFont(m, font, size);
        run.glyphs.reserve(count);
      }
      for (unsigned g = 0; g < count; ++g) {
        hb_codepoint_t c = codes[infos[g].cluster];
        double advance = positions[g].x_advance * scale;
        bool drawn = infos[g].codepoint != 0;
        if (c == '\t') {
          double space = 0;
          hb_position_t spaceAdvance = 0;
          hb_codepoint_t spaceGlyph = 0;
          if (hb_font_get_nominal_glyph(font.hb, ' ', &spaceGlyph))
            spaceAdvance = hb_font_get_glyph_h_advance(font.hb, spaceGlyph);
          space = spaceAdvance * scale * kTabSpaces;
          advance = space > 0 ? (std::floor(x / space + 1e-9) + 1) * space - x : 0;
          drawn = false;
        } else if (c < 0x20 || c == 0x7F) {
          // Other control characters take no room and show nothing.
          advance = 0;
          drawn = false;
        }
        if (drawn) {
          double gx = x + positions[g].x_offset * scale;
          double gy = baseline + positions[g].y_offset * scale;
          addInk(measure, anyInk, font, font.ink(infos[g].codepoint), scale, gx, gy);
          if (withGlyphs) run.glyphs.push_back({infos[g].codepoint, gx, gy});
        }
        x += advance;
      }
      if (withGlyphs && !run.glyphs.empty()) {
        if (!out.runs.empty() && out.runs.back().font == run.font)
          out.runs.back().glyphs.insert(out.runs.back().glyphs.end(), run.glyphs.begin(), run.glyphs.end());
        else
          out.runs.push_back(std::move(run));
      }
    }
    measure.width = std::max(measure.width, x);
    if (lineEnd >= codes.size()) break;
    // A carriage return and line feed together end one line.
    lineStart = lineEnd + (codes[lineEnd] == '\r' && lineEnd + 1 < codes.size() && codes[lineEnd + 1] == '\n' ? 2 : 1);
  }
  measure.ascent = firstAscent;
  measure.descent = previousDescent - baseline;
  return out;
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
  const FontSource* primary = faceFonts(machinery(), face).primary;
  return primary ? primary->family : std::string();
}

KRTextMeasure TextSystem::measure(const std::string& text, const KRTextAttributes& attributes) {
  std::lock_guard guard(lock());
  return layOut(text, attributes, false).measure;
}

KRFontMetrics TextSystem::fontMetrics(const KRFontFace& face, double size) {
  std::lock_guard guard(lock());
  TextMachinery& m = machinery();
  auto key = std::make_tuple(face.family, face.bold, face.italic);
  auto known = m.metrics.find(key);
  if (known == m.metrics.end()) {
    KRFontMetrics made;
    if (FontSource* primary = faceFonts(m, face).primary) {
      made.familyName = primary->family;
      double scale = kMetricsSize / primary->unitsPerEm;
      made.ascender = primary->extents.ascender * scale;
      made.descender = primary->extents.descender * scale;
      made.italicAngle = hb_style_get_value(primary->hb, HB_STYLE_TAG_SLANT_ANGLE);
    }
    // Heights of letters and digits from the marks themselves; every font has them.
    KRTextAttributes attributes;
    attributes.face = face;
    attributes.fontSize = kMetricsSize;
    made.capHeight = measure("H", attributes).inkTop;
    made.xHeight = measure("x", attributes).inkTop;
    made.digitHeight = measure("0123456789", attributes).inkTop;
    known = m.metrics.emplace(key, made).first;
  }
  // Unhinted metrics grow in proportion to the size; the angle does not.
  double f = usableSize(size) / kMetricsSize;
  KRFontMetrics scaled = known->second;
  for (double* v : {&scaled.ascender, &scaled.descender, &scaled.capHeight, &scaled.xHeight, &scaled.digitHeight})
    *v *= f;
  return scaled;
}

KRShapedText TextSystem::shape(const std::string& text, const KRTextAttributes& attributes) {
  std::lock_guard guard(lock());
  return layOut(text, attributes, true);
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
