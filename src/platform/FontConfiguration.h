#pragma once
// The fonts the application draws with. Text is laid out over the font
// packages the application installs (DejaVu, Liberation, STIX) through a
// font configuration of its own, never the machine's: whatever else is
// installed, a family name resolves to the same font everywhere, so a
// document gives the same picture on every machine.

#include <string>
#include <vector>

struct _FcConfig;

namespace orrelin {

// A family name that documents use for a font we do not ship, and the
// family of ours that stands in for it (with the same metrics where one
// exists).
struct KRFontStandIn {
  const char* family;
  const char* standIn;
};

class FontConfiguration {
 public:
  // The folders whose fonts are used.
  static const std::vector<std::string>& fontFolders();
  // The names with a stand-in, and the family used for any other name.
  static const std::vector<KRFontStandIn>& standIns();
  static const char* defaultFamily();

  // The configuration, made once; used under the text system's lock.
  static _FcConfig* shared();
  // The families of the fonts found in the folders.
  static const std::vector<std::string>& families();
  // A family of our own or a name with a stand-in (letter case and blanks
  // are not significant, as for the font matching itself).
  static bool knowsFamily(const std::string& name);
};

}  // namespace orrelin
