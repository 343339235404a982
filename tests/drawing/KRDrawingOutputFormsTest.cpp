#include <gtest/gtest.h>

#include "DrawingTestSupport.h"
#include "drawing/KRDrawingCollections.h"
#include "drawing/KRDrawingDescription.h"
#include "drawing/KRDrawingGroup.h"
#include "platform/PropertyListSerialization.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

std::string svgOf(const KRDrawingBasic& object, double shiftYBy = 300) {
  KRSVGStream stream;
  KRSVGInfo info;
  object.addToSVGStream(stream, "", shiftYBy, info);
  return stream.text();
}

std::shared_ptr<KRFloatArrayContainer> circleArray(std::initializer_list<float> values) {
  auto array = KRFloatArrayContainer::createArrayOfSizeM(3, static_cast<long>(values.size()) / 3);
  std::copy(values.begin(), values.end(), array->mutablePointer());
  return array;
}

}  // namespace

TEST(KRSVGStream, NumbersAreWrittenAsPercentGInEveryLocaleAndColoursAsText) {
  for (const auto& [value, text] : std::vector<std::pair<double, std::string>>{
           {0.1234567, "0.123457"}, {1e-7, "1e-07"}, {100000, "100000"}, {1e6, "1e+06"}, {-2.5, "-2.5"}, {300, "300"}})
    EXPECT_EQ(KRSVGStream::number(value), text);
  EXPECT_EQ(KRSVGStream::colorText(KRColor::rgb(0, 0, 0, 0.5)), "\"black\"");
  EXPECT_EQ(KRSVGStream::colorText(KRColor::grey(1)), "\"white\"");
  EXPECT_EQ(KRSVGStream::colorText(KRColor::rgb(1, 0.5, 0.2)), "\"rgb(255,128,51)\"");
  EXPECT_EQ(KRSVGStream::escaped("a<b & \"c\" 'd'>"), "a&lt;b &amp; &quot;c&quot; &#x27;d&#x27;&gt;");
  KRSVGStream stream;
  stream.append("%s<x a=\"%g\" n=\"%d\" p=\"50%%\"/>", "  ", 0.5, 3);
  EXPECT_EQ(stream.text(), "  <x a=\"0.5\" n=\"3\" p=\"50%\"/>");
  KRSVGInfo info;
  EXPECT_EQ(info.uniqueIdentifier("Clip Paths", "clipPath"), "clipPath");
  EXPECT_EQ(info.uniqueIdentifier("Clip Paths", "clipPath"), "clipPath2");
  EXPECT_EQ(info.uniqueIdentifier("Gradient Names", "clipPath"), "clipPath");
  EXPECT_EQ(info.uniqueIdentifier("Clip Paths", "clipPath"), "clipPath3");
}

TEST(KRSVGStream, LongPathDataIsWrappedAfterTheLimitWithAnIndentedContinuation) {
  auto zigzag = std::make_shared<KRBezierPath>();
  zigzag->moveTo({0, 0});
  for (int i = 1; i <= 40; ++i) zigzag->lineTo({i * 10.5, (i % 2) * 20.25});
  auto path = KRDrawingPathBezier::withPath(zigzag);
  std::string svg = svgOf(*path, 100);
  ASSERT_EQ(svg.rfind("<path d=\"M 0 100 L 10.5 79.75 ", 0), 0u);
  EXPECT_EQ(svg.substr(svg.size() - 4), "\"/>\n");
  // Lines end once they pass 70 characters; every later one starts with nine blanks.
  std::size_t start = 0, lines = 0;
  while (start < svg.size()) {
    std::size_t end = svg.find('\n', start);
    std::string line = svg.substr(start, end - start);
    if (lines > 0) {
      EXPECT_EQ(line.rfind("         ", 0), 0u) << line;
    }
    if (end + 1 < svg.size()) {
      EXPECT_GT(line.size(), 70u) << line;
    }
    EXPECT_LT(line.size(), 100u) << line;
    start = end + 1;
    ++lines;
  }
  EXPECT_GT(lines, 5u);
}

TEST(KRDrawingGroup, SVGFlipsYAndWritesCropsDescriptionsAndStyles) {
  auto rect = KRDrawingPathRectangle::createWithRect({10, 0, 20, 30});
  auto dashed = KRDrawingStyleCurve::createWithColor(KRColor::black(), 0);
  float dashes[] = {3, 2};
  dashed->setDashPattern(dashes, 2, 0);
  rect->setStyle(dashed);
  auto first = KRDrawingGroup::createWithDrawingObject(rect);
  first->setCrop(KRDrawingPathRectangle::createWithRect({0, 0, 50, 50}));
  first->setDescriptionString("the \"first\" one");
  auto second = KRDrawingGroup::createWithDrawingObject(KRDrawingPathCircle::createWithCenter({5, 0}, 2));
  second->setCrop(KRDrawingPathCircle::createWithCenter({5, 0}, 10));
  second->setShiftBy({100, 50});
  auto root = KRDrawingGroup::create();
  root->addObject(first);
  root->addObject(second);
  EXPECT_EQ(svgOf(*root),
            "<g>\n"
            "  <defs>\n"
            "    <clipPath id=\"clipPath\">\n"
            "      <rect x=\"0\" y=\"250\" width=\"50\" height=\"50\"/>\n"
            "    </clipPath>\n"
            "  </defs>\n"
            "  <g id=\"the first one\" clip-path=\"url(#clipPath)\">\n"
            "    <rect x=\"10\" y=\"270\" width=\"20\" height=\"30\" stroke=\"black\" stroke-dasharray=\"3,2\" "
            "fill=\"none\" stroke-width=\"1\"/>\n"
            "  </g>\n"
            "  <defs>\n"
            "    <clipPath id=\"clipPath2\">\n"
            "      <circle cx=\"5\" cy=\"300\" r=\"10\"/>\n"
            "    </clipPath>\n"
            "  </defs>\n"
            "  <g clip-path=\"url(#clipPath2)\" transform=\"translate(100,250)\">\n"
            "    <circle cx=\"5\" cy=\"0\" r=\"2\"/>\n"
            "  </g>\n"
            "</g>\n");
}

TEST(KRDrawingGroup, KindsWithoutAnSVGFormAreReportedAndLeftOut) {
  MessageCapture messages;
  auto lines = KRFloatArrayContainer::createArrayOfSizeM(4, 1);
  auto root = KRDrawingGroup::create();
  root->addObject(KRDrawingPathLineCollection::createLines(lines, nullptr));
  auto circles = KRDrawingPathCircleCollection::createFromArray(circleArray({1, 2, 3, 4, 5, -6}));
  circles->setStyle(KRDrawingStyleCurve::color(KRColor::rgb(1, 0, 0, 0.5), true));
  root->addObject(circles);
  EXPECT_EQ(svgOf(*root, 10),
            "<g>\n"
            "  <g fill=\"rgb(255,0,0)\" opacity=\"0.5\" stroke=\"none\">\n"
            "    <circle cx=\"1\" cy=\"8\" r=\"3\"/>\n"
            "    <circle cx=\"4\" cy=\"5\" r=\"6\"/>\n"
            "</g>\n"
            "</g>\n");
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Missing addToSVGStream for KRDrawingPathLineCollection"});
}

TEST(KRDrawingGroup, TheTypeTablesNameEveryKindBothWays) {
  const auto& toClass = KRDrawingGroup::typeNamesToClassNames();
  const auto& toType = KRDrawingGroup::classNamesToTypeNames();
  EXPECT_EQ(toClass.size(), 16u);
  EXPECT_EQ(toType.size(), 16u);
  for (const auto& [type, className] : toClass) EXPECT_EQ(toType.at(className), type);
  EXPECT_EQ(toClass.at("Circles"), "KRDrawingPathCircleCollection");
  EXPECT_EQ(toClass.at("Expression Text"), "KRDrawingExpressionText");
  EXPECT_EQ(toType.at("KRDrawingPathFromCGPath"), "CGPath");
}

TEST(KRDrawingGroup, DescriptionsOmitIdentityTransformsAndRoundTrip) {
  auto empty = KRDrawingGroup::create()->mvgDescription();
  ASSERT_TRUE(empty);
  EXPECT_EQ(*empty, PropertyList(PlistDictionary{{"Type", "Group"}, {"Objects", PlistArray{}}}));

  auto circles = KRDrawingPathCircleCollection::createFromArray(circleArray({1, 2, 3, 4, 5, -6}));
  circles->setFillCurve(true);
  auto style = KRDrawingStyleCurve::createWithColor(KRColor::rgb(0.25, 0.5, 1, 0.75), 2.5);
  float dashes[] = {4, 1.5f};
  style->setDashPattern(dashes, 2, 0.5f);
  style->changeLineCap(KRLineCap::Round);
  circles->setStyle(style);
  auto group = KRDrawingGroup::createWithDrawingObject(circles);
  group->addObject(KRDrawingPathRectangle::createWithRect({1, 2, 3, 4}));
  group->addObject(KRDrawingGroup::create());  // empty: left out
  group->setShiftBy({7, 8});
  group->setAlpha(0.5f);
  group->setDescriptionString("graph");
  auto description = group->mvgDescription();
  ASSERT_TRUE(description);
  EXPECT_EQ(description->stringForKey("Shift"), "{7, 8}");
  EXPECT_EQ(description->numberForKey("Alpha"), 0.5);
  EXPECT_FALSE(description->find("Scale X"));
  EXPECT_EQ(description->arrayForKey("Objects")->size(), 2u);

  auto back = std::dynamic_pointer_cast<KRDrawingGroup>(KRDrawingTypes::createFromMVG(*description));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->mvgDescription(), description);
  auto readCircles = std::dynamic_pointer_cast<KRDrawingPathCircleCollection>(back->objectAtIndex(0));
  ASSERT_TRUE(readCircles);
  EXPECT_TRUE(readCircles->fillCurve());
  EXPECT_EQ(readCircles->centersAndRadius()->n(), 2);
  EXPECT_EQ(readCircles->centersAndRadius()->constPointer()[5], -6);
  EXPECT_EQ(readCircles->style()->lineCap(), KRLineCap::Round);
  EXPECT_EQ(readCircles->style()->color(), KRColor::rgb(0.25, 0.5, 1, 0.75));
  auto picture = render(*back, 20, 20), original = render(*group, 20, 20);
  expectSameVisiblePicture(picture, original);
}

TEST(KRDrawingGroup, UnknownOrUnreadableChildrenAreSkippedAndTheRestRebuilt) {
  MessageCapture messages;
  PlistDictionary unknown{{"Type", "Unknown"}};
  PlistDictionary circle{{"Type", "Circle"}, {"Center", "{5, 6}"}, {"Radius", 2.0}};
  PlistDictionary broken{{"Type", "Circle"}, {"Center", "not a point"}, {"Radius", 2.0}};
  PlistDictionary group{{"Type", "Group"}, {"Objects", PlistArray{unknown, circle, broken}}};
  auto back = std::dynamic_pointer_cast<KRDrawingGroup>(KRDrawingGroup::createFromMVG(group));
  ASSERT_TRUE(back);
  ASSERT_EQ(back->count(), 1u);
  auto read = std::dynamic_pointer_cast<KRDrawingPathCircle>(back->objectAtIndex(0));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->center(), (KRPoint{5, 6}));
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Unknown drawing type \"Unknown\" skipped."});
  EXPECT_FALSE(KRDrawingGroup::createFromMVG(PropertyList(PlistDictionary{{"Type", "Circle"}})));
  EXPECT_FALSE(KRDrawingTypes::createFromMVG(PropertyList(PlistArray{})));
}

TEST(KRDrawingDescription, PointsRectanglesAndColoursAsText) {
  using namespace drawing_description;
  EXPECT_EQ(rectText({1.5, -2, 3, 4e-7}), "{{1.5, -2}, {3, 4e-07}}");
  EXPECT_EQ(rectFromText("{{1.5, -2}, {3, 4e-07}}"), KRRect(1.5, -2, 3, 4e-7));
  EXPECT_FALSE(pointFromText("{1}"));
  for (const auto& color : {KRColor::rgb(0.1, 0.2, 0.3), KRColor::rgb(0.1, 0.2, 0.3, 0.4), KRColor::cmyk(0, 0, 0, 1),
                            KRColor::cmyk(0.1, 0.2, 0.3, 0.4, 0.5), KRColor::grey(0.5), KRColor::grey(0.5, 0.25)})
    EXPECT_EQ(colorFromText(colorText(color)), color) << colorText(color);
  EXPECT_EQ(colorText(KRColor::rgb(1, 0, 0.5, 0.25)), "RGBA (1,0,0.5,0.25)");
  EXPECT_EQ(colorFromText("B (0.25)"), KRColor::grey(0.75));
  EXPECT_FALSE(colorFromText("RGB (1,2)"));
  EXPECT_FALSE(colorFromText("HSV (1,2,3)"));
}

// A keyed archive as the desktop platform writes one colour object; object
// references are kept as plain numbers once read.
static PlistData archiveOf(PlistArray objects) {
  PlistDictionary top;
  top["root"] = 1;
  PlistDictionary archive;
  archive["$archiver"] = "NSKeyedArchiver";
  archive["$top"] = top;
  archive["$objects"] = std::move(objects);
  std::string bytes = serializePropertyList(PropertyList(archive), PlistFormat::Binary);
  return PlistData(bytes.begin(), bytes.end());
}

static PropertyList colorObject(int space, const char* key, std::string components) {
  PlistDictionary color;
  color["NSColorSpace"] = space;
  color[key] = PlistData(components.begin(), components.end());
  return color;
}

TEST(KRDrawingDescription, ArchivedAndCatalogColoursAreReadByTheirSpace) {
  using namespace drawing_description;
  EXPECT_EQ(colorFromArchive(archiveOf({"$null", colorObject(2, "NSRGB", std::string("1 0.5 0", 8))})),
            KRColor::rgb(1, 0.5, 0));
  EXPECT_EQ(colorFromArchive(archiveOf({"$null", colorObject(1, "NSRGB", "0 0 1 0.25")})),
            KRColor::rgb(0, 0, 1, 0.25));
  EXPECT_EQ(colorFromArchive(archiveOf({"$null", colorObject(3, "NSWhite", "0.5")})), KRColor::grey(0.5));
  EXPECT_EQ(colorFromArchive(archiveOf({"$null", colorObject(5, "NSCMYK", "0 1 0 0 1")})),
            KRColor::cmyk(0, 1, 0, 0, 1));
  // A catalog colour unknown by name falls back to the colour it carries.
  PlistDictionary named;
  named["NSColorSpace"] = 6;
  named["NSColorName"] = 2;
  named["NSColor"] = 3;
  EXPECT_EQ(colorFromArchive(archiveOf({"$null", named, "someThemeColor", colorObject(4, "NSWhite", "1")})),
            KRColor::white());
  EXPECT_EQ(colorFromArchive(archiveOf({"$null", named, "redColor", colorObject(4, "NSWhite", "1")})),
            KRColor::rgb(1, 0, 0));

  // Damaged archives give none: wrong counts, text, a reference loop, a root
  // beyond the objects, bytes that are not a property list.
  EXPECT_FALSE(colorFromArchive(archiveOf({"$null", colorObject(2, "NSRGB", "1 0")})));
  EXPECT_FALSE(colorFromArchive(archiveOf({"$null", colorObject(2, "NSRGB", "red green blue")})));
  PlistDictionary loop;
  loop["NSColorSpace"] = 6;
  loop["NSColor"] = 1;
  EXPECT_FALSE(colorFromArchive(archiveOf({"$null", loop})));
  EXPECT_FALSE(colorFromArchive(archiveOf({"$null"})));
  EXPECT_FALSE(colorFromArchive(PlistData{'x', 'y'}));

  // The description keys: a colour under a key as data or under "Archived",
  // and a catalog dictionary.
  PlistDictionary description;
  description["A"] = archiveOf({"$null", colorObject(4, "NSWhite", "0.25 0.5")});
  PlistDictionary wrapped;
  wrapped["Archived"] = archiveOf({"$null", colorObject(2, "NSRGB", "0 1 0")});
  description["B"] = wrapped;
  PlistDictionary catalog;
  catalog["Catalog"] = "System";
  catalog["Color"] = "blueColor";
  description["C"] = catalog;
  PropertyList list(description);
  EXPECT_EQ(colorForKey(list, "A"), KRColor::grey(0.25, 0.5));
  EXPECT_EQ(colorForKey(list, "B"), KRColor::rgb(0, 1, 0));
  EXPECT_EQ(colorForKey(list, "C"), KRColor::rgb(0, 0, 1));
}

// Colours we would write as archives or by catalog name read back as the
// same colour, through a stored description as a file carries it.
TEST(KRDrawingDescription, ArchivedAndCatalogColoursRoundTrip) {
  using namespace drawing_description;
  MessageCapture messages;
  auto throughFile = [](PropertyList colour) {
    auto stored = parsePropertyList(
        serializePropertyList(PropertyList(PlistDictionary{{"Color", std::move(colour)}}), PlistFormat::XML));
    return stored ? colorForKey(*stored, "Color") : std::nullopt;
  };
  for (const auto& color : {KRColor::rgb(0.1, 0.2, 0.3), KRColor::rgb(1.0 / 3, 0, 1, 0.4), KRColor::grey(0.7),
                            KRColor::grey(0.25, 0.5), KRColor::cmyk(0.1, 0.2, 0.3, 0.4),
                            KRColor::cmyk(0, 1, 0, 0.5, 0.75), KRColor::grey(0, 0)}) {
    SCOPED_TRACE(colorText(color));
    EXPECT_EQ(colorFromArchive(colorArchive(color)), color);
    EXPECT_EQ(throughFile(archivedColorDescription(color)), color);
    EXPECT_EQ(throughFile(colorArchive(color)), color);
  }
  ASSERT_GE(catalogColorNames("System").size(), 30u);
  EXPECT_TRUE(catalogColorNames("Crayons").empty());
  for (const auto& name : catalogColorNames("System")) {
    SCOPED_TRACE(name);
    auto color = catalogColor("System", name);
    ASSERT_TRUE(color);
    EXPECT_EQ(throughFile(catalogColorDescription("System", name)), color);
    EXPECT_EQ(colorFromArchive(catalogColorArchive("System", name)), color);
  }
  EXPECT_EQ(catalogColor("System", "controlTextColor"), KRColor::black());
  EXPECT_EQ(catalogColor("System", "windowBackgroundColor"), KRColor::grey(0.93));
  // A catalog colour archived elsewhere under a name not known here still
  // carries the colour it stands for.
  PlistDictionary named{{"NSColorSpace", 6}, {"NSCatalogName", 2}, {"NSColorName", 3}, {"NSColor", 4}};
  EXPECT_EQ(colorFromArchive(archiveOf({"$null", named, "Developer", "accentColor", colorObject(2, "NSRGB", "0 0.5 1")})),
            KRColor::rgb(0, 0.5, 1));
  EXPECT_TRUE(messages.texts().empty());

  // Curve and font styles take the same forms.
  PropertyList curve(PlistDictionary{{"Color", catalogColorDescription("System", "gridColor")}, {"Line Width", 2}});
  EXPECT_EQ(KRDrawingStyleCurve::createFromMVG(curve)->color(), KRColor::grey(0.8));
  PropertyList font(PlistDictionary{{"Font", "Helvetica"}, {"Size", 9},
                                    {"Color", archivedColorDescription(KRColor::rgb(0, 0.25, 0.5))}});
  EXPECT_EQ(KRDrawingStyleFont::createFromMVG(font)->color(), KRColor::rgb(0, 0.25, 0.5));
}

// A colour present but unreadable is reported by its form; the style keeps
// its default and a kind that needs the colour is not built.
TEST(KRDrawingDescription, UnreadableColoursAreReported) {
  using namespace drawing_description;
  struct Case {
    PropertyList value;
    std::string message;
  };
  const Case cases[] = {
      {"HSB (1,2,3)", "The color text \"HSB (1,2,3)\" cannot be read."},
      {"RGB (1,0)", "The color text \"RGB (1,0)\" cannot be read."},
      {catalogColorDescription("System", "accentColor"), "The color \"accentColor\" of the catalog \"System\" is not known."},
      {catalogColorDescription("Crayons", "redColor"), "The color \"redColor\" of the catalog \"Crayons\" is not known."},
      {PlistDictionary{{"Color", "redColor"}}, "The color \"redColor\" of the catalog \"\" is not known."},
      {PlistDictionary{{"Archived", PlistData{'b', 'p', 'l', 'i', 's', 't'}}},
       "The archived color under \"Color\" cannot be read."},
      {archiveOf({"$null", colorObject(7, "NSPattern", "1")}), "The archived color under \"Color\" cannot be read."},
      {PlistDictionary{{"Archived", "not data"}},
       "The color under \"Color\" is neither a color text, a catalog color nor archived data."},
      {PlistArray{1, 0, 0}, "The color under \"Color\" is neither a color text, a catalog color nor archived data."},
      {3.5, "The color under \"Color\" is neither a color text, a catalog color nor archived data."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    MessageCapture messages;
    PropertyList description(PlistDictionary{{"Color", c.value}, {"Line Width", 3}});
    EXPECT_FALSE(colorForKey(description, "Color"));
    EXPECT_EQ(messages.texts(), std::vector<std::string>{c.message});
    auto style = KRDrawingStyleCurve::createFromMVG(description);
    ASSERT_TRUE(style);
    EXPECT_EQ(style->color(), KRDrawingStyleCurve().color());
    EXPECT_EQ(style->lineWidth(), 3);
  }
  MessageCapture messages;
  EXPECT_FALSE(colorForKey(PropertyList(PlistDictionary{}), "Color"));
  EXPECT_TRUE(messages.texts().empty());
}
