#pragma once
// The drawing description's shared parts: the type name of every kind, the
// readers that rebuild an object from its "Type", and how points, sizes,
// rectangles and colours are written as text (numbers as "%g").

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/KRPathGeometry.h"
#include "platform/KRColor.h"
#include "platform/PageGeometry.h"
#include "platform/PropertyList.h"

namespace orrelin {

class KRDrawingBasic;

class KRDrawingTypes {
 public:
  using Reader = std::shared_ptr<KRDrawingBasic> (*)(const PropertyList& description);

  // The two directions of the table of type names ("Circle" and
  // "KRDrawingPathCircle"), made once.
  static const std::map<std::string, std::string>& typeNamesToClassNames();
  static const std::map<std::string, std::string>& classNamesToTypeNames();
  // Kinds made in libraries above this one add their readers here.
  static void registerReader(const std::string& className, Reader reader);
  // The object the description's "Type" names; an unknown type is reported
  // and gives nothing, as does a description its kind cannot read.
  static std::shared_ptr<KRDrawingBasic> createFromMVG(const PropertyList& description);
};

namespace drawing_description {

// A description to be filled in, holding its "Type".
std::optional<PropertyList> newDescription(const char* type);

// "{x, y}", "{width, height}", "{{x, y}, {width, height}}".
std::string pointText(KRPoint point);
std::string sizeText(KRSize size);
std::string rectText(const KRRect& rect);
std::optional<KRPoint> pointFromText(std::string_view text);
std::optional<KRSize> sizeFromText(std::string_view text);
std::optional<KRRect> rectFromText(std::string_view text);
// "RGB (r,g,b)", "RGBA (r,g,b,a)", "CMYK (...)", "CMYKA (...)", "W (w)", "WA (w,a)".
std::string colorText(const KRColor& color);
// Also reads "B (b)" and "BA (b,a)", a black level.
std::optional<KRColor> colorFromText(std::string_view text);
// Catalog colours: a colour kept by name, {"Catalog": "System", "Color":
// "controlTextColor"}. The "System" catalog holds the plain colour names
// ("redColor", ...) and the interface colours, with fixed values. none when
// the catalog or the name is not known.
std::optional<KRColor> catalogColor(const std::string& catalog, const std::string& name);
PropertyList catalogColorDescription(const std::string& catalog, const std::string& name);
const std::vector<std::string>& catalogColorNames(const std::string& catalog);

// Archived colours: a binary keyed archive of one colour object, root at
// index 1 of "$objects". The object has "NSColorSpace" (2 RGB, 4 white, 5
// CMYK, 6 catalog; 1 and 3 are read as 2 and 4) and the components as blank
// separated numbers under "NSRGB", "NSWhite" or "NSCMYK", alpha last unless
// it is 1. A catalog colour has "NSCatalogName" and "NSColorName" (indexes
// of strings in "$objects") and "NSColor", the index of the colour it stands
// for, which is read when the name is not known here.
PlistData colorArchive(const KRColor& color);
PlistData catalogColorArchive(const std::string& catalog, const std::string& name);
// none for anything else or a damaged archive.
std::optional<KRColor> colorFromArchive(const PlistData& archive);
// {"Archived": colorArchive(color)}.
PropertyList archivedColorDescription(const KRColor& color);

// The colour under key: its text, a catalog dictionary, or archived data
// (directly or under "Archived"). none when absent; none and a message when
// present but unreadable.
std::optional<KRColor> colorForKey(const PropertyList& description, const std::string& key);
std::optional<KRPoint> pointForKey(const PropertyList& description, const std::string& key);
std::optional<KRSize> sizeForKey(const PropertyList& description, const std::string& key);
std::optional<KRRect> rectForKey(const PropertyList& description, const std::string& key);

// A path of elements as a list: one array per element, its type code (0
// move, 1 line, 2 quadratic curve, 3 cubic curve, 4 close) followed by the
// x and y of each of its points.
PropertyList elementList(const KRBezierPath& path);
// none when the list cannot be read; problems are reported when report is set.
std::shared_ptr<KRBezierPath> pathFromElementList(const PropertyList& list, bool report);

}  // namespace drawing_description

}  // namespace orrelin
