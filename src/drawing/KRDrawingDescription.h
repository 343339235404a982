#pragma once
// The drawing description's shared parts: the type name of every kind, the
// readers that rebuild an object from its "Type", and how points, sizes,
// rectangles and colours are written as text (numbers as "%g").

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

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
// The colour under key: its text, or a dictionary with "Catalog" and "Color"
// (a named catalog colour; only the plain colour names are known), or
// archived data (directly or under "Archived"). none when absent or unreadable.
// A colour kept as a keyed archive (the desktop platform's archived colour
// object): RGB, white and CMYK components, and catalog colours by name or by
// the colour they carry. none for anything else or a damaged archive.
std::optional<KRColor> colorFromArchive(const PlistData& archive);
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
