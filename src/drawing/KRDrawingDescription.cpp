#include "drawing/KRDrawingDescription.h"

#include <charconv>
#include <cstdio>
#include <cmath>
#include <map>
#include <mutex>
#include <vector>

#include "drawing/KRDrawingBasic.h"
#include "drawing/KRDrawingBitmap.h"
#include "drawing/KRDrawingCollections.h"
#include "drawing/KRDrawingGradient.h"
#include "drawing/KRDrawingGroup.h"
#include "drawing/KRDrawingPathFromObj.h"
#include "drawing/KRDrawingRepeated.h"
#include "drawing/KRDrawingText.h"
#include "drawing/KRDrawingTwoColorNoise.h"
#include "drawing/KRDrawingMessages.h"
#include "drawing/KRSVGStream.h"
#include "platform/KRMessageCenter.h"
#include "platform/PropertyListSerialization.h"

namespace orrelin {

using namespace drawing_messages;

namespace {

struct TypeName {
  const char* type;
  const char* className;
};

constexpr TypeName kTypeNames[] = {
    {"Group", "KRDrawingGroup"},
    {"Text", "KRDrawingText"},
    {"Drawing Path", "KRDrawingPathFromObj"},
    {"Cubic Bezier", "KRDrawingCubicBezier"},
    {"Bezier Path", "KRDrawingPathBezier"},
    {"Bitmap", "KRDrawingBitmap"},
    {"PDF", "KRDrawingPDF"},
    {"Circles", "KRDrawingPathCircleCollection"},
    {"Repeated", "KRDrawingRepeated"},
    {"Circle", "KRDrawingPathCircle"},
    {"Lines", "KRDrawingPathLineCollection"},
    {"Expression Text", "KRDrawingExpressionText"},
    {"Color Gradient", "KRDrawingGradient"},
    {"Rectangle", "KRDrawingPathRectangle"},
    {"Two Color Noise", "KRDrawingTwoColorNoise"},
    {"CGPath", "KRDrawingPathFromCGPath"},
};

struct Readers {
  std::mutex lock;
  std::map<std::string, KRDrawingTypes::Reader> byClass;
};

Readers& readers() {
  // The kinds of this library that read their descriptions.
  static Readers* shared = [] {
    auto* r = new Readers;
    r->byClass["KRDrawingGroup"] = &KRDrawingGroup::createFromMVG;
    r->byClass["KRDrawingPathRectangle"] = &KRDrawingPathRectangle::createFromMVG;
    r->byClass["KRDrawingPathCircle"] = &KRDrawingPathCircle::createFromMVG;
    r->byClass["KRDrawingPathCircleCollection"] = &KRDrawingPathCircleCollection::createFromMVG;
    r->byClass["KRDrawingPathLineCollection"] = &KRDrawingPathLineCollection::createFromMVG;
    r->byClass["KRDrawingCubicBezier"] = &KRDrawingCubicBezier::createFromMVG;
    r->byClass["KRDrawingPathFromObj"] = &KRDrawingPathFromObj::createFromMVG;
    r->byClass["KRDrawingPathBezier"] = &KRDrawingPathBezier::createFromMVG;
    r->byClass["KRDrawingPathFromCGPath"] = &KRDrawingPathFromCGPath::createFromMVG;
    r->byClass["KRDrawingText"] = &KRDrawingText::createFromMVG;
    r->byClass["KRDrawingBitmap"] = &KRDrawingBitmap::createFromMVG;
    r->byClass["KRDrawingPDF"] = &KRDrawingPDF::createFromMVG;
    r->byClass["KRDrawingRepeated"] = &KRDrawingRepeated::createFromMVG;
    r->byClass["KRDrawingGradient"] = &KRDrawingGradient::createFromMVG;
    r->byClass["KRDrawingTwoColorNoise"] = &KRDrawingTwoColorNoise::createFromMVG;
    return r;
  }();
  return *shared;
}

// The numbers of a text such as "{{1, 2}, {3, 4}}" or "RGB (0.5,1,0)" after
// its first count characters are skipped; none unless exactly count numbers.
std::optional<std::vector<double>> numbersIn(std::string_view text, std::size_t count) {
  std::vector<double> numbers;
  const char* at = text.data();
  const char* end = text.data() + text.size();
  while (at < end) {
    if ((*at >= '0' && *at <= '9') || *at == '-' || *at == '+' || *at == '.') {
      double value = 0;
      auto result = std::from_chars(at, end, value);
      if (result.ec != std::errc()) return std::nullopt;
      numbers.push_back(value);
      at = result.ptr;
    } else {
      ++at;
    }
  }
  if (numbers.size() != count) return std::nullopt;
  return numbers;
}

std::string joined(std::initializer_list<double> values) {
  std::string out;
  for (double v : values) out += (out.empty() ? "" : ",") + KRSVGStream::number(v);
  return out;
}

}  // namespace

const std::map<std::string, std::string>& KRDrawingTypes::typeNamesToClassNames() {
  static const std::map<std::string, std::string> table = [] {
    std::map<std::string, std::string> made;
    for (const auto& entry : kTypeNames) made[entry.type] = entry.className;
    return made;
  }();
  return table;
}

const std::map<std::string, std::string>& KRDrawingTypes::classNamesToTypeNames() {
  static const std::map<std::string, std::string> table = [] {
    std::map<std::string, std::string> made;
    for (const auto& entry : kTypeNames) made[entry.className] = entry.type;
    return made;
  }();
  return table;
}

void KRDrawingTypes::registerReader(const std::string& className, Reader reader) {
  Readers& r = readers();
  std::lock_guard guard(r.lock);
  r.byClass[className] = reader;
}

std::shared_ptr<KRDrawingBasic> KRDrawingTypes::createFromMVG(const PropertyList& description) {
  auto type = description.stringForKey("Type");
  if (!type) return nullptr;
  const auto& classes = typeNamesToClassNames();
  auto className = classes.find(*type);
  Reader reader = nullptr;
  if (className != classes.end()) {
    Readers& r = readers();
    std::lock_guard guard(r.lock);
    auto found = r.byClass.find(className->second);
    if (found != r.byClass.end()) reader = found->second;
  }
  if (!reader) {
    KRMessageCenter::addMessage(formatMessage(kUnknownDrawingType, type->c_str()));
    return nullptr;
  }
  return reader(description);
}

namespace drawing_description {

std::optional<PropertyList> newDescription(const char* type) {
  std::optional<PropertyList> description{PlistDictionary{}};
  description->dictionary()["Type"] = type;
  return description;
}

std::string pointText(KRPoint p) { return "{" + KRSVGStream::number(p.x) + ", " + KRSVGStream::number(p.y) + "}"; }
std::string sizeText(KRSize s) {
  return "{" + KRSVGStream::number(s.width) + ", " + KRSVGStream::number(s.height) + "}";
}
std::string rectText(const KRRect& r) { return "{" + pointText(r.origin) + ", " + sizeText(r.size) + "}"; }

std::optional<KRPoint> pointFromText(std::string_view text) {
  auto n = numbersIn(text, 2);
  if (!n) return std::nullopt;
  return KRPoint{(*n)[0], (*n)[1]};
}

std::optional<KRSize> sizeFromText(std::string_view text) {
  auto n = numbersIn(text, 2);
  if (!n) return std::nullopt;
  return KRSize{(*n)[0], (*n)[1]};
}

std::optional<KRRect> rectFromText(std::string_view text) {
  auto n = numbersIn(text, 4);
  if (!n) return std::nullopt;
  return KRRect{(*n)[0], (*n)[1], (*n)[2], (*n)[3]};
}

std::string colorText(const KRColor& c) {
  const auto& v = c.components;
  bool opaque = c.alpha == 1;
  switch (c.space) {
    case KRColor::Space::RGB:
      return opaque ? "RGB (" + joined({v[0], v[1], v[2]}) + ")" : "RGBA (" + joined({v[0], v[1], v[2], c.alpha}) + ")";
    case KRColor::Space::CMYK:
      return opaque ? "CMYK (" + joined({v[0], v[1], v[2], v[3]}) + ")"
                    : "CMYKA (" + joined({v[0], v[1], v[2], v[3], c.alpha}) + ")";
    case KRColor::Space::Grey: break;
  }
  return opaque ? "W (" + joined({v[0]}) + ")" : "WA (" + joined({v[0], c.alpha}) + ")";
}

std::optional<KRColor> colorFromText(std::string_view text) {
  auto space = text.substr(0, text.find(' '));
  struct Form {
    std::string_view name;
    std::size_t count;
  };
  for (Form form : {Form{"RGB", 3}, Form{"RGBA", 4}, Form{"CMYK", 4}, Form{"CMYKA", 5}, Form{"W", 1}, Form{"WA", 2},
                    Form{"B", 1}, Form{"BA", 2}}) {
    if (space != form.name) continue;
    auto n = numbersIn(text.substr(space.size()), form.count);
    if (!n) return std::nullopt;
    const auto& v = *n;
    if (form.name.starts_with("RGB")) return KRColor::rgb(v[0], v[1], v[2], form.count == 4 ? v[3] : 1);
    if (form.name.starts_with("CMYK")) return KRColor::cmyk(v[0], v[1], v[2], v[3], form.count == 5 ? v[4] : 1);
    if (form.name.starts_with("W")) return KRColor::grey(v[0], form.count == 2 ? v[1] : 1);
    return KRColor::grey(1 - v[0], form.count == 2 ? v[1] : 1);
  }
  return std::nullopt;
}

namespace {

struct CatalogEntry {
  const char* name;
  KRColor color;
};

// The "System" catalog: the plain colour names, then the interface colours
// with the values of a light appearance.
const std::vector<CatalogEntry>& systemCatalog() {
  static const std::vector<CatalogEntry> entries = {
      {"blackColor", KRColor::black()},
      {"whiteColor", KRColor::white()},
      {"grayColor", KRColor::grey(0.5)},
      {"darkGrayColor", KRColor::grey(1.0 / 3)},
      {"lightGrayColor", KRColor::grey(2.0 / 3)},
      {"redColor", KRColor::rgb(1, 0, 0)},
      {"greenColor", KRColor::rgb(0, 1, 0)},
      {"blueColor", KRColor::rgb(0, 0, 1)},
      {"cyanColor", KRColor::rgb(0, 1, 1)},
      {"magentaColor", KRColor::rgb(1, 0, 1)},
      {"yellowColor", KRColor::rgb(1, 1, 0)},
      {"orangeColor", KRColor::rgb(1, 0.5, 0)},
      {"purpleColor", KRColor::rgb(0.5, 0, 0.5)},
      {"brownColor", KRColor::rgb(0.6, 0.4, 0.2)},
      {"clearColor", KRColor::grey(0, 0)},
      {"controlColor", KRColor::white()},
      {"controlBackgroundColor", KRColor::white()},
      {"controlTextColor", KRColor::black()},
      {"disabledControlTextColor", KRColor::grey(0, 0.25)},
      {"textColor", KRColor::black()},
      {"textBackgroundColor", KRColor::white()},
      {"selectedTextColor", KRColor::black()},
      {"selectedTextBackgroundColor", KRColor::rgb(0.7, 0.84, 1)},
      {"labelColor", KRColor::grey(0, 0.85)},
      {"secondaryLabelColor", KRColor::grey(0, 0.5)},
      {"linkColor", KRColor::rgb(0, 0.41, 0.85)},
      {"windowBackgroundColor", KRColor::grey(0.93)},
      {"windowFrameColor", KRColor::grey(0.67)},
      {"windowFrameTextColor", KRColor::black()},
      {"gridColor", KRColor::grey(0.8)},
      {"headerColor", KRColor::white()},
      {"headerTextColor", KRColor::black()},
      {"highlightColor", KRColor::white()},
      {"shadowColor", KRColor::black()},
  };
  return entries;
}

constexpr const char* kSystemCatalog = "System";

// The blank-separated numbers of an archived colour's component text
// ("0.5 0.25 1", sometimes ending in a NUL byte).
std::vector<double> componentsOf(const PropertyList& value) {
  std::string text;
  if (value.isData()) text.assign(value.data().begin(), value.data().end());
  else if (value.isString()) text = value.string();
  std::vector<double> numbers;
  std::size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && (text[at] == ' ' || text[at] == '\0' || text[at] == '\n')) ++at;
    std::size_t end = at;
    while (end < text.size() && text[end] != ' ' && text[end] != '\0' && text[end] != '\n') ++end;
    if (end == at) break;
    double number = 0;
    auto [stop, error] = std::from_chars(text.data() + at, text.data() + end, number);
    if (error != std::errc() || stop != text.data() + end || !std::isfinite(number)) return {};
    numbers.push_back(number);
    at = end;
  }
  return numbers;
}

// A string of the archive's objects by its index; none when it is not one.
std::optional<std::string> archivedString(const PlistArray& objects, const PropertyList& object, const char* key) {
  auto index = object.integerForKey(key);
  if (!index || *index < 0 || static_cast<std::uint64_t>(*index) >= objects.size()) return std::nullopt;
  const PropertyList& value = objects[static_cast<std::size_t>(*index)];
  if (!value.isString()) return std::nullopt;
  return value.string();
}

// One colour object of a keyed archive. A catalog colour refers to the
// colour it stands for ("NSColor"); depth bounds such chains in a damaged
// archive.
std::optional<KRColor> archivedColor(const PlistArray& objects, const PropertyList& object, int depth) {
  if (depth > 8 || !object.isDictionary()) return std::nullopt;
  auto space = object.integerForKey("NSColorSpace");
  if (!space) return std::nullopt;
  auto components = [&](const char* key) {
    const PropertyList* value = object.find(key);
    return value ? componentsOf(*value) : std::vector<double>{};
  };
  switch (*space) {
    case 1:
    case 2: {  // calibrated and device RGB
      auto c = components("NSRGB");
      if (c.size() == 3 || c.size() == 4) return KRColor::rgb(c[0], c[1], c[2], c.size() == 4 ? c[3] : 1);
      return std::nullopt;
    }
    case 3:
    case 4: {  // calibrated and device white
      auto c = components("NSWhite");
      if (c.size() == 1 || c.size() == 2) return KRColor::grey(c[0], c.size() == 2 ? c[1] : 1);
      return std::nullopt;
    }
    case 5: {  // device CMYK
      auto c = components("NSCMYK");
      if (c.size() == 4 || c.size() == 5) return KRColor::cmyk(c[0], c[1], c[2], c[3], c.size() == 5 ? c[4] : 1);
      return std::nullopt;
    }
    case 6: {  // catalog colour: its own name first, then the colour it stands for
      if (auto name = archivedString(objects, object, "NSColorName"))
        if (auto color = catalogColor(archivedString(objects, object, "NSCatalogName").value_or(kSystemCatalog), *name))
          return color;
      if (auto reference = object.integerForKey("NSColor")) {
        if (*reference >= 0 && static_cast<std::uint64_t>(*reference) < objects.size())
          return archivedColor(objects, objects[static_cast<std::size_t>(*reference)], depth + 1);
      }
      return std::nullopt;
    }
    default: return std::nullopt;
  }
}

// A colour object as the archive keeps it; components with every digit
// of a double, so they read back exactly.
PropertyList colorObject(const KRColor& color) {
  std::vector<double> values;
  const char* key = "NSWhite";
  int space = 4;
  switch (color.space) {
    case KRColor::Space::RGB:
      values = {color.components[0], color.components[1], color.components[2]};
      key = "NSRGB";
      space = 2;
      break;
    case KRColor::Space::CMYK:
      values = {color.components[0], color.components[1], color.components[2], color.components[3]};
      key = "NSCMYK";
      space = 5;
      break;
    case KRColor::Space::Grey: values = {color.components[0]}; break;
  }
  if (color.alpha != 1) values.push_back(color.alpha);
  std::string text;
  for (double v : values) {
    char number[32];
    std::snprintf(number, sizeof number, "%.17g", v);
    text += (text.empty() ? "" : " ") + std::string(number);
  }
  PlistDictionary object;
  object["NSColorSpace"] = space;
  object[key] = PlistData(text.begin(), text.end());
  return object;
}

PlistData keyedArchive(PlistArray objects) {
  PlistDictionary top;
  top["root"] = 1;
  PlistDictionary archive;
  archive["$archiver"] = "NSKeyedArchiver";
  archive["$version"] = 100000;
  archive["$top"] = std::move(top);
  archive["$objects"] = std::move(objects);
  std::string bytes = serializePropertyList(PropertyList(std::move(archive)), PlistFormat::Binary);
  return PlistData(bytes.begin(), bytes.end());
}

}  // namespace

std::optional<KRColor> catalogColor(const std::string& catalog, const std::string& name) {
  if (catalog != kSystemCatalog) return std::nullopt;
  for (const auto& entry : systemCatalog())
    if (name == entry.name) return entry.color;
  return std::nullopt;
}

const std::vector<std::string>& catalogColorNames(const std::string& catalog) {
  static const std::vector<std::string> none;
  static const std::vector<std::string> system = [] {
    std::vector<std::string> names;
    for (const auto& entry : systemCatalog()) names.emplace_back(entry.name);
    return names;
  }();
  return catalog == kSystemCatalog ? system : none;
}

PropertyList catalogColorDescription(const std::string& catalog, const std::string& name) {
  PlistDictionary d;
  d["Catalog"] = catalog;
  d["Color"] = name;
  return d;
}

PlistData colorArchive(const KRColor& color) { return keyedArchive({"$null", colorObject(color)}); }

PlistData catalogColorArchive(const std::string& catalog, const std::string& name) {
  PlistDictionary named;
  named["NSColorSpace"] = 6;
  named["NSCatalogName"] = 2;
  named["NSColorName"] = 3;
  PlistArray objects{"$null", PropertyList(), PropertyList(catalog), PropertyList(name)};
  if (auto color = catalogColor(catalog, name)) {
    named["NSColor"] = 4;
    objects.push_back(colorObject(*color));
  }
  objects[1] = std::move(named);
  return keyedArchive(std::move(objects));
}

std::optional<KRColor> colorFromArchive(const PlistData& archive) {
  auto list = parsePropertyList(std::string_view(reinterpret_cast<const char*>(archive.data()), archive.size()));
  if (!list) return std::nullopt;
  const PlistArray* objects = list->arrayForKey("$objects");
  const PlistDictionary* top = list->dictionaryForKey("$top");
  if (!objects || !top) return std::nullopt;
  auto root = top->find("root");
  if (root == top->end() || !root->second.isInteger() || root->second.integer() < 0) return std::nullopt;
  auto index = static_cast<std::uint64_t>(root->second.integer());
  if (index >= objects->size()) return std::nullopt;
  return archivedColor(*objects, (*objects)[index], 0);
}

PropertyList archivedColorDescription(const KRColor& color) {
  PlistDictionary d;
  d["Archived"] = colorArchive(color);
  return d;
}

std::optional<KRColor> colorForKey(const PropertyList& description, const std::string& key) {
  const PropertyList* value = description.find(key);
  if (!value) return std::nullopt;
  auto reported = [](std::string message) -> std::optional<KRColor> {
    KRMessageCenter::addMessage(message);
    return std::nullopt;
  };
  if (value->isString()) {
    if (auto color = colorFromText(value->string())) return color;
    return reported(formatMessage(kUnreadableColorText, value->string().c_str()));
  }
  const PropertyList* archived = value->isData() ? value : value->find("Archived");
  if (archived && archived->isData()) {
    if (auto color = colorFromArchive(archived->data())) return color;
    return reported(formatMessage(kUnreadableArchivedColor, key.c_str()));
  }
  if (auto name = value->stringForKey("Color")) {
    std::string catalog = value->stringForKey("Catalog").value_or("");
    if (auto color = catalogColor(catalog, *name)) return color;
    return reported(formatMessage(kUnknownCatalogColor, name->c_str(), catalog.c_str()));
  }
  return reported(formatMessage(kUnknownColorForm, key.c_str()));
}

std::optional<KRPoint> pointForKey(const PropertyList& description, const std::string& key) {
  auto text = description.stringForKey(key);
  return text ? pointFromText(*text) : std::nullopt;
}

std::optional<KRSize> sizeForKey(const PropertyList& description, const std::string& key) {
  auto text = description.stringForKey(key);
  return text ? sizeFromText(*text) : std::nullopt;
}

std::optional<KRRect> rectForKey(const PropertyList& description, const std::string& key) {
  auto text = description.stringForKey(key);
  return text ? rectFromText(*text) : std::nullopt;
}

PropertyList elementList(const KRBezierPath& path) {
  PlistArray list;
  list.reserve(path.elementCount());
  for (const auto& element : path.elements()) {
    PlistArray entry;
    entry.emplace_back(static_cast<int>(element.type));
    int points = KRBezierPath::pointCount(element.type);
    for (int i = 0; i < points; ++i) {
      entry.emplace_back(element.points[static_cast<std::size_t>(i)].x);
      entry.emplace_back(element.points[static_cast<std::size_t>(i)].y);
    }
    list.emplace_back(std::move(entry));
  }
  return list;
}

std::shared_ptr<KRBezierPath> pathFromElementList(const PropertyList& list, bool report) {
  auto fail = [report](const char* message) -> std::shared_ptr<KRBezierPath> {
    if (report) KRMessageCenter::addMessage(message);
    return nullptr;
  };
  if (!list.isArray()) return fail(kUnexpectedCGPathType);
  auto path = std::make_shared<KRBezierPath>();
  for (const auto& entry : list.array()) {
    if (!entry.isArray() || entry.array().empty() || !entry.array()[0].isInteger()) return fail(kUnexpectedCGPathType);
    const PlistArray& values = entry.array();
    std::int64_t code = values[0].integer();
    if (code < 0 || code > static_cast<int>(KRBezierPath::ElementType::ClosePath)) return fail(kUnexpectedCGPathType);
    auto type = static_cast<KRBezierPath::ElementType>(code);
    int points = KRBezierPath::pointCount(type);
    if (values.size() != static_cast<std::size_t>(1 + 2 * points)) return fail(kIncorrectCGPathSize);
    std::array<KRPoint, 3> p{};
    for (int i = 0; i < points; ++i) {
      const PropertyList& x = values[static_cast<std::size_t>(1 + 2 * i)];
      const PropertyList& y = values[static_cast<std::size_t>(2 + 2 * i)];
      if (!x.isNumber() || !y.isNumber()) return fail(kUnexpectedCGPathType);
      p[static_cast<std::size_t>(i)] = {x.real(), y.real()};
    }
    switch (type) {
      case KRBezierPath::ElementType::MoveTo: path->moveTo(p[0]); break;
      case KRBezierPath::ElementType::LineTo: path->lineTo(p[0]); break;
      case KRBezierPath::ElementType::QuadCurveTo: path->quadCurveTo(p[0], p[1]); break;
      case KRBezierPath::ElementType::CurveTo: path->curveTo(p[0], p[1], p[2]); break;
      case KRBezierPath::ElementType::ClosePath: path->closePath(); break;
    }
  }
  return path;
}

}  // namespace drawing_description

}  // namespace orrelin
