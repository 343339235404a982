#include "platform/FontConfiguration.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <set>

namespace orrelin {

namespace {

// Lower case without blanks: how fontconfig compares family names.
std::string folded(const std::string& name) {
  std::string out;
  for (char c : name)
    if (c != ' ') out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string xmlEscaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string configurationText() {
  std::string xml =
      "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n<fontconfig>\n";
  for (const auto& folder : FontConfiguration::fontFolders()) xml += "  <dir>" + xmlEscaped(folder) + "</dir>\n";
  // The machine's caches of the same folders, so nothing is scanned twice.
  xml += "  <cachedir>/var/cache/fontconfig</cachedir>\n  <cachedir prefix=\"xdg\">fontconfig</cachedir>\n";
  for (const auto& alias : FontConfiguration::standIns())
    xml += std::string("  <alias binding=\"same\"><family>") + xmlEscaped(alias.family) + "</family><prefer><family>" +
           xmlEscaped(alias.standIn) + "</family></prefer></alias>\n";
  // Every request ends with our default and then the symbols font, so that
  // an unknown name and characters the chosen font lacks always land on
  // the same fonts.
  xml += std::string("  <match target=\"pattern\"><edit name=\"family\" mode=\"append_last\">") + "<string>" +
         FontConfiguration::defaultFamily() + "</string><string>STIXGeneral</string></edit></match>\n";
  xml += "</fontconfig>\n";
  return xml;
}

}  // namespace

const std::vector<std::string>& FontConfiguration::fontFolders() {
  // Where Debian's fonts-dejavu-core and -extra, fonts-liberation2 and
  // fonts-stix put their files.
  static const std::vector<std::string> folders = {
      "/usr/share/fonts/truetype/dejavu",
      "/usr/share/fonts/truetype/liberation2",
      "/usr/share/fonts/opentype/stix",
      "/usr/share/fonts/opentype/stix-word",
  };
  return folders;
}

const std::vector<KRFontStandIn>& FontConfiguration::standIns() {
  static const std::vector<KRFontStandIn> table = {
      // Liberation has the metrics of these three families.
      {"Helvetica", "Liberation Sans"},
      {"Arial", "Liberation Sans"},
      {"Times", "Liberation Serif"},
      {"Times New Roman", "Liberation Serif"},
      {"Courier", "Liberation Mono"},
      {"Courier New", "Liberation Mono"},
      // The generic names.
      {"sans-serif", "DejaVu Sans"},
      {"serif", "DejaVu Serif"},
      {"monospace", "DejaVu Sans Mono"},
      // The symbols font of labels' big operators and arrows.
      {"Apple Symbols", "STIXGeneral"},
  };
  return table;
}

const char* FontConfiguration::defaultFamily() { return "DejaVu Sans"; }

FcConfig* FontConfiguration::shared() {
  // Never destroyed: fonts may be in use while the process ends.
  static FcConfig* config = [] {
    FcConfig* made = FcConfigCreate();
    std::string text = configurationText();
    FcConfigParseAndLoadFromMemory(made, reinterpret_cast<const FcChar8*>(text.c_str()), FcTrue);
    FcConfigBuildFonts(made);
    // Ours is also the configuration of every caller that names none (cairo's
    // own font look-ups, the text layout's start-up). Otherwise the first of
    // them would read the machine's whole configuration, some sixty files
    // and the caches of every font folder, only for it to go unused.
    FcConfigSetCurrent(made);
    return made;
  }();
  return config;
}

const std::vector<std::string>& FontConfiguration::families() {
  static const std::vector<std::string> names = [] {
    std::set<std::string> found;
    FcFontSet* fonts = FcConfigGetFonts(shared(), FcSetSystem);
    for (int i = 0; fonts && i < fonts->nfont; ++i) {
      FcChar8* family = nullptr;
      // The first family name is the font's own; later ones are localised.
      if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch)
        found.insert(reinterpret_cast<const char*>(family));
    }
    return std::vector<std::string>(found.begin(), found.end());
  }();
  return names;
}

bool FontConfiguration::knowsFamily(const std::string& name) {
  std::string key = folded(name);
  if (key.empty()) return false;
  const auto& own = families();
  if (std::any_of(own.begin(), own.end(), [&](const std::string& f) { return folded(f) == key; })) return true;
  const auto& aliases = standIns();
  return std::any_of(aliases.begin(), aliases.end(), [&](const KRFontStandIn& a) { return folded(a.family) == key; });
}

}  // namespace orrelin
