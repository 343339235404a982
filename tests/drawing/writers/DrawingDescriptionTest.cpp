#include <gtest/gtest.h>

#include "WriterTestSupport.h"
#include "drawing/KRDrawingBitmap.h"
#include "drawing/KRDrawingDescription.h"
#include "drawing/KRDrawingGradient.h"
#include "drawing/KRDrawingOutput.h"
#include "drawing/KRDrawingRepeated.h"
#include "drawing/KRDrawingTwoColorNoise.h"
#include "drawing/writers/VKDrawingView.h"
#include "platform/KRPDFDocument.h"
#include "platform/PropertyList.h"
#include "platform/PropertyListSerialization.h"
#include "support/MessageCapture.h"
#include "support/TemporaryFolder.h"

using namespace orrelin;
using namespace orrelin::writer_testing;

namespace {

std::shared_ptr<KRDrawingStyleCurve> fullStyle() {
  auto style = KRDrawingStyleCurve::createWithColor(KRColor::cmyk(0.1, 0.2, 0.3, 0.4, 0.5), 2.5);
  style->changeLineCap(KRLineCap::Round);
  style->changeLineJoin(KRLineJoin::Bevel);
  float dashes[] = {4, 2, 1};
  style->setDashPattern(dashes, 3, 1.5f);
  return style;
}

// One object of every kind this library reads, each with the keys it can carry.
std::vector<std::shared_ptr<KRDrawingBasic>> everyKind() {
  std::vector<std::shared_ptr<KRDrawingBasic>> kinds;
  auto loops = KRDrawingPathFromObj::createFromPath(KRContainerPath2D::createWithLoops({{{1, 2}, {3, 4}, {5, 1}}}));
  loops->setFillCurve(true);
  loops->setXLinear(true, 1.5, 2, false, -3, 40);
  loops->setStyle(fullStyle());
  loops->setDescriptionString("curve");
  kinds.push_back(loops);

  auto bezier = std::make_shared<KRBezierPath>();
  bezier->moveTo({0, 0});
  bezier->curveTo({1, 2}, {3, 4}, {5, 6});
  bezier->lineTo({7, 1});
  bezier->closePath();
  kinds.push_back(KRDrawingPathBezier::withPath(bezier));
  auto platform = std::make_shared<KRBezierPath>(*bezier);
  platform->quadCurveTo({8, 8}, {9, 0});
  kinds.push_back(KRDrawingPathFromCGPath::createWithCGPath(platform));

  auto cubic = KRDrawingCubicBezier::createWithArray(doubles(2, {0, 4, 0, 0, 1, 2, 3, 2, 4, 0}));
  cubic->setFillCurve(true);
  kinds.push_back(cubic);
  auto circles = KRDrawingPathCircleCollection::createFromArray(floats(3, {1, 2, 3, 4, 5, -6}));
  circles->setFillCurve(true);
  kinds.push_back(circles);
  kinds.push_back(KRDrawingPathLineCollection::createLines(floats(4, {0, 0, 1, 1, 2, 2, 3, 3}),
                                                           floats(4, {1, 0, 0, 1, 0, 1, 0, 0.5})));
  kinds.push_back(KRDrawingPathLineCollection::createLines(floats(4, {0, 0, 1, 1}), nullptr));
  auto circle = KRDrawingPathCircle::createWithCenter({3, 4}, 5);
  circle->setFillCurve(true);
  kinds.push_back(circle);
  kinds.push_back(KRDrawingPathRectangle::createWithRect({1, 2, 3, 4}));

  auto text = KRDrawingText::string("a_{1}^2 \\alpha", {10, 20},
                                    KRDrawingStyleFont::styleWithFont("Times", 14, KRColor::rgb(0, 0.5, 1)),
                                    KRDrawingText::Right, KRDrawingText::CenterNumbers, 30);
  text->setDrawSubscriptSuperscript(true);
  text->drawingSize();  // measured, so its description records the size
  kinds.push_back(text);

  auto pixels = KRImage::create(3, 2);
  auto bitmap = KRDrawingBitmap::createCG(KRImage::render(3, 2, [](GraphicsContext& gc) {
                                            gc.setFillColor(KRColor::rgb(1, 0.5, 0));
                                            gc.addRect({0, 0, 2, 1});
                                            gc.fillPath();
                                          }),
                                          {0, 0, 30, 20});
  bitmap->setInterpolation(KRInterpolation::None);
  bitmap->setDescriptionString("picture");
  kinds.push_back(bitmap);

  auto pdf = KRPDFDocument::createWithData(renderToPDF(*KRDrawingPathRectangle::createWithRect({1, 1, 5, 5}), {0, 0, 10, 10}));
  kinds.push_back(KRDrawingPDF::createWithPDF(pdf, {5, 5, 20, 20}));

  auto stencil = KRDrawingGroup::createWithDrawingObject(KRDrawingPathCircle::createWithCenter({2, 2}, 2));
  kinds.push_back(KRDrawingRepeated::drawing(stencil, {4, 4}, {2, 2}, floats(2, {10, 10, 20, 15})));
  kinds.push_back(KRDrawingGradient::createWithColors(doubles(5, {0, 1, 0, 0, 1, 1, 0, 0, 1, 0.25}), "", {0, 0},
                                                      {10, 5}, {0, 0, 10, 5}));
  kinds.push_back(KRDrawingTwoColorNoise::createInsideRectangle({0, 0, 20, 10}, KRColor::grey(0.2, 0.9),
                                                                KRColor::rgb(1, 1, 0.5), 0.3, 4, 0.5, {1, 2}));

  auto group = KRDrawingGroup::create();
  group->addObject(KRDrawingPathRectangle::createWithRect({0, 0, 1, 1}));
  group->setShiftBy({3, 4});
  group->shiftBy({3, 4}, 2, 0.5);
  group->rotateAround({1, 1}, 0.25);
  group->setAlpha(0.5);
  group->setCrop(KRDrawingPathRectangle::createWithRect({0, 0, 2, 2}));
  group->setStyle(fullStyle());
  group->setGroupFrame({0, 0, 9, 9});
  group->setUseLayerHint(true);
  group->setDescriptionString("group");
  kinds.push_back(group);
  return kinds;
}

}  // namespace

// Every kind written, read back and written again gives the same
// description, and the rebuilt object draws the same pixels.
TEST(DrawingDescription, EveryKindRoundTripsWithAllItsKeys) {
  for (const auto& object : everyKind()) {
    ASSERT_TRUE(object);
    SCOPED_TRACE(object->className());
    auto description = object->mvgDescription();
    ASSERT_TRUE(description);
    auto type = description->stringForKey("Type");
    ASSERT_TRUE(type);
    EXPECT_EQ(KRDrawingTypes::typeNamesToClassNames().at(*type), object->className());
    // Through the stored form, as a file carries it.
    auto stored = parsePropertyList(serializePropertyList(*description, PlistFormat::XML));
    ASSERT_TRUE(stored);
    auto rebuilt = KRDrawingTypes::createFromMVG(*stored);
    ASSERT_TRUE(rebuilt);
    EXPECT_STREQ(rebuilt->className(), object->className());
    EXPECT_EQ(rebuilt->mvgDescription(), description);

    auto before = renderToImage(*object, {-5, -5, 40, 40}), after = renderToImage(*rebuilt, {-5, -5, 40, 40});
    ASSERT_TRUE(before && after);
    EXPECT_EQ(before->rgbaData(), after->rgbaData());
  }
}

TEST(DrawingDescription, SpecialKeysAndColourTexts) {
  // Alignment and curve-style names.
  auto text = KRDrawingText::string("t", {0, 0}, nullptr, KRDrawingText::Center, KRDrawingText::TopLetters);
  auto d = text->mvgDescription();
  EXPECT_EQ(d->stringForKey("Horizontal"), "Center");
  EXPECT_EQ(d->stringForKey("Vertical"), "Top Letters");
  EXPECT_FALSE(d->find("Rotation"));
  EXPECT_FALSE(d->find("Draw Sub/Superscript"));
  PropertyList style = fullStyle()->mvgDescription();
  EXPECT_EQ(style.stringForKey("Color"), "CMYKA (0.1,0.2,0.3,0.4,0.5)");
  EXPECT_EQ(style.stringForKey("Line Cap"), "Round");
  EXPECT_EQ(style.stringForKey("Line Join"), "Bevel");
  EXPECT_EQ(style.numberForKey("Pattern Offset"), 1.5);

  // Colours by name from a catalog, and the black-level forms.
  using drawing_description::colorForKey;
  PropertyList colours(PlistDictionary{
      {"Named", PlistDictionary{{"Catalog", "System"}, {"Color", "redColor"}}},
      {"Black", "BA (0.25,0.5)"},
      {"Archived", PlistDictionary{{"Archived", PlistData{1, 2, 3}}}},
  });
  EXPECT_EQ(colorForKey(colours, "Named"), KRColor::rgb(1, 0, 0));
  EXPECT_EQ(colorForKey(colours, "Black"), KRColor::grey(0.75, 0.5));
  MessageCapture messages;
  EXPECT_FALSE(colorForKey(colours, "Archived"));
  EXPECT_TRUE(messages.saw("The archived color under \"Archived\" cannot be read."));
}

// The stencil's shift is written under both keys; either alone is read.
TEST(DrawingDescription, StencilShiftIsReadFromOriginOrCenter) {
  auto stencil = KRDrawingGroup::createWithDrawingObject(KRDrawingPathRectangle::createWithRect({0, 0, 2, 2}));
  auto repeated = KRDrawingRepeated::drawing(stencil, {2, 2}, {1, 0.5}, floats(2, {5, 5}));
  auto description = *repeated->mvgDescription();
  EXPECT_EQ(description.stringForKey("Origin"), "{1, 0.5}");
  EXPECT_EQ(description.stringForKey("Center"), "{1, 0.5}");
  for (const char* dropped : {"Origin", "Center"}) {
    PropertyList one = description;
    one.dictionary().erase(dropped);
    auto rebuilt = std::dynamic_pointer_cast<KRDrawingRepeated>(KRDrawingTypes::createFromMVG(one));
    ASSERT_TRUE(rebuilt);
    EXPECT_EQ(rebuilt->shift(), (KRPoint{1, 0.5})) << "without " << dropped;
  }
  description.dictionary().erase("Origin");
  description.dictionary().erase("Center");
  EXPECT_EQ(std::dynamic_pointer_cast<KRDrawingRepeated>(KRDrawingTypes::createFromMVG(description))->shift(),
            (KRPoint{0, 0}));
}

// Damaged descriptions give no object and a message where there is one;
// the rest of a group is kept.
TEST(DrawingDescription, DamagedDescriptionsAreRefused) {
  MessageCapture messages;
  auto path = [](PlistArray elements) {
    return PropertyList(PlistDictionary{{"Type", "CGPath"}, {"Path", std::move(elements)}});
  };
  EXPECT_FALSE(KRDrawingTypes::createFromMVG(path({PlistArray{0, 1.0}})));
  EXPECT_TRUE(messages.saw("Incorrect array size for CGPath"));
  EXPECT_FALSE(KRDrawingTypes::createFromMVG(path({PlistArray{9, 1.0, 2.0}})));
  EXPECT_FALSE(KRDrawingTypes::createFromMVG(path({"M 1 2"})));
  EXPECT_TRUE(messages.saw("Unexpected type in CGPath"));

  PlistArray children;
  children.push_back(PlistDictionary{{"Type", "Unknown"}});
  children.push_back(PlistDictionary{{"Type", "Circle"}, {"Center", "{1, 2}"}, {"Radius", 3}});
  children.push_back(PlistDictionary{{"Type", "Circle"}, {"Center", "not a point"}, {"Radius", 3}});
  children.push_back(PlistDictionary{{"Type", "Lines"}, {"Lines", "wrong type"}});
  children.push_back(PlistDictionary{{"Type", "Text"}, {"String", 7}, {"Position", "{0, 0}"}});
  children.push_back(PlistDictionary{{"Type", "Bitmap"}, {"CG", PlistData{1, 2, 3}}, {"Rectangle", "{{0, 0}, {1, 1}}"}});
  children.push_back(PlistDictionary{{"Type", "PDF"}, {"PDF", PlistData{'%', 'P'}}, {"Rectangle", "{{0, 0}, {1, 1}}"}});
  children.push_back(PlistDictionary{{"Type", "Repeated"}, {"Object", "x"}, {"Offsets", 1}, {"Size", "{1, 1}"}});
  children.push_back(PlistDictionary{{"Type", "Color Gradient"}, {"Colors", PlistArray{}}});
  children.push_back(PlistDictionary{{"Type", "Two Color Noise"}, {"Inside", "{{0, 0}, {1e9, 1e9}}"}});
  children.push_back(42);
  // A PNG header asking for 100000 x 100000 pixels.
  PlistData huge{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                 0, 1, 0x86, 0xa0, 0, 1, 0x86, 0xa0, 8, 6, 0, 0, 0};
  children.push_back(PlistDictionary{{"Type", "Bitmap"}, {"CG", huge}, {"Rectangle", "{{0, 0}, {1, 1}}"}});
  auto group = std::dynamic_pointer_cast<KRDrawingGroup>(
      KRDrawingTypes::createFromMVG(PlistDictionary{{"Type", "Group"}, {"Objects", children}}));
  ASSERT_TRUE(group);
  ASSERT_EQ(group->count(), 1u);
  EXPECT_STREQ(group->objectAtIndex(0)->className(), "KRDrawingPathCircle");
  EXPECT_TRUE(messages.saw("Unknown drawing type \"Unknown\" skipped."));
  EXPECT_TRUE(messages.saw("A stored image is too large to read; it is left out."));
}

// Groups nested deeper than the reader allows are cut off with a message
// instead of running out of stack.
TEST(DrawingDescription, DeepNestingIsCutOff) {
  MessageCapture messages;
  PropertyList nested(PlistDictionary{{"Type", "Circle"}, {"Center", "{0, 0}"}, {"Radius", 1}});
  // As deep as a file can bring them: the property-list readers refuse
  // deeper lists, and each group takes two levels (its dictionary and its
  // "Objects" array).
  for (int i = 0; i < kMaximumPropertyListDepth / 2; ++i) {
    PlistArray objects;
    objects.push_back(std::move(nested));
    PlistDictionary group;
    group["Type"] = "Group";
    group["Objects"] = std::move(objects);
    nested = PropertyList(std::move(group));
  }
  auto group = KRDrawingTypes::createFromMVG(nested);
  EXPECT_TRUE(group);
  EXPECT_TRUE(messages.saw("A drawing description nests groups deeper than 200 levels; the deeper groups are skipped."));
}

// The drawing description file holds the size and a group with the graph;
// read back, it draws the same pixels.
TEST(DrawingDescription, SavedFileReadsBackToTheSamePicture) {
  TemporaryFolder folder;
  VKDrawingView view;
  view.setGraphic(plotWithoutText(), {200, 100});
  ASSERT_TRUE(view.saveMVGInto(folder.path("plot.mvg")));
  auto list = readPropertyListFile(folder.path("plot.mvg"));
  ASSERT_TRUE(list);
  EXPECT_EQ(list->stringForKey("Size"), "{200, 100}");
  ASSERT_TRUE(list->find("Graphic"));
  EXPECT_EQ(list->find("Graphic")->stringForKey("Type"), "Group");

  auto read = readMVGFile(folder.path("plot.mvg"));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->size, (KRSize{200, 100}));
  VKDrawingView again;
  again.setGraphic(read->graphic, read->size);
  auto before = view.imageWithScale(1, true), after = again.imageWithScale(1, true);
  ASSERT_TRUE(before && after);
  EXPECT_EQ(before->rgbaData(), after->rgbaData());

  MessageCapture messages;
  ASSERT_TRUE(writeFile(folder.path("bad.mvg"), std::vector<std::uint8_t>{'<', 'x'}, WriteMode::Atomic));
  std::string error;
  EXPECT_FALSE(readMVGFile(folder.path("bad.mvg"), &error));
  EXPECT_NE(error.find("bad.mvg"), std::string::npos);
  EXPECT_FALSE(drawingFromMVGData(serializePropertyList(PlistDictionary{{"Size", "{1, 1}"}}, PlistFormat::XML)));
}
