#include <gtest/gtest.h>

#include "axes/UnitConstants.h"
#include "axes/VKExtraAxisCommand.h"

namespace orrelin {
namespace {

std::shared_ptr<VKExtraAxisCommand> makeExtraAxis(PlistDictionary list) {
  auto axis = std::make_shared<VKExtraAxisCommand>();
  axis->finishConnections();
  list["Type"] = "Extra Axis";
  axis->fillFromPropertyList(list);
  axis->establishDependencyConnections();
  return axis;
}

TEST(UnitConstants, TheResourceGivesEveryQuantityABaseUnitAndUsableSizes) {
  const auto& constants = UnitConstants::shared();
  for (const char* quantity :
       {"Length", "Mass", "Time", "Area", "Volume", "Speed", "Pressure", "Energy", "Power", "Angle"}) {
    auto units = constants.unitsOf(quantity);
    ASSERT_GE(units.size(), 4u) << quantity;
    for (const auto& unit : units) {
      auto same = constants.conversion(unit, unit);
      ASSERT_TRUE(same) << unit;
      EXPECT_DOUBLE_EQ(same->scale, 1);
      EXPECT_EQ(constants.quantityOf(unit), quantity);
    }
  }
  EXPECT_EQ(constants.temperatureScales().size(), 4u);
}

TEST(UnitConstants, ConversionsBetweenUnitsAndTemperatures) {
  const auto& constants = UnitConstants::shared();
  struct Case {
    const char* from;
    const char* to;
    double value;
    double expected;
  } cases[] = {{"m", "ft", 1, 3.280839895013123}, {"mi", "km", 1, 1.609344}, {"lb", "kg", 1, 0.45359237},
               {"h", "s", 2, 7200},               {"atm", "kPa", 1, 101.325}, {"deg", "rad", 180, M_PI},
               {"kWh", "J", 1, 3.6e6},            {"L", "m³", 1000, 1}};
  for (const auto& c : cases) {
    auto conversion = constants.conversion(c.from, c.to);
    ASSERT_TRUE(conversion) << c.from;
    EXPECT_NEAR(conversion->toAxis(c.value), c.expected, 1e-9 * std::fabs(c.expected)) << c.from << " " << c.to;
    EXPECT_NEAR(conversion->toGraph(conversion->toAxis(c.value)), c.value, 1e-9 * std::fabs(c.value));
  }
  EXPECT_FALSE(constants.conversion("m", "kg"));
  EXPECT_FALSE(constants.conversion("m", "furlong"));
  EXPECT_FALSE(constants.conversion("", "m"));

  struct Degrees {
    const char* from;
    const char* to;
    double value;
    double expected;
  } temperatures[] = {{"Celsius", "Fahrenheit", 100, 212}, {"Fahrenheit", "Celsius", 32, 0},
                      {"Kelvin", "Celsius", 0, -273.15},   {"Celsius", "Kelvin", -40, 233.15},
                      {"Fahrenheit", "Celsius", -40, -40}, {"Rankine", "Fahrenheit", 0, -459.67}};
  for (const auto& t : temperatures) {
    auto conversion = constants.temperatureConversion(t.from, t.to);
    ASSERT_TRUE(conversion) << t.from;
    EXPECT_NEAR(conversion->toAxis(t.value), t.expected, 1e-9) << t.from << " " << t.to;
  }
  EXPECT_FALSE(constants.temperatureConversion("Celsius", "Réaumur"));
}

TEST(UnitConstants, ADamagedTableKeepsOnlyItsUsableEntries) {
  PlistDictionary units{{"Length", PlistDictionary{{"m", 1.0}, {"ft", 0.3048}, {"bad", "x"}, {"zero", 0.0}}},
                        {"Broken", "not a dictionary"}};
  UnitConstants table(PlistDictionary{{"Units", units}, {"Temperatures", PlistDictionary{{"C", "hot"}}}});
  EXPECT_TRUE(table.conversion("m", "ft"));
  EXPECT_FALSE(table.quantityOf("bad"));
  EXPECT_FALSE(table.quantityOf("zero"));
  EXPECT_TRUE(table.temperatureScales().empty());
  EXPECT_TRUE(UnitConstants(PropertyList("nonsense")).unitsOf("Length").empty());
}

TEST(ExtraAxis, ConvertsTheGraphRangeOrExplainsWhyNot) {
  auto none = makeExtraAxis({});
  EXPECT_EQ(none->axisRangeFor(KRBoundingRange::between(2, 5)), KRBoundingRange::between(2, 5));
  EXPECT_FALSE(none->hasErrorExplanation());

  auto feet = makeExtraAxis({{"Unit Conversion", 2}, {"Graph Units", "m"}, {"Axis Units", "ft"}});
  auto range = feet->axisRangeFor(KRBoundingRange::between(0, 10));
  EXPECT_NEAR(range.maxR, 32.80839895013123, 1e-9);

  auto fahrenheit = makeExtraAxis({{"Unit Conversion", 3}, {"Graph Temperature", 1}, {"Axis Temperature", 2}});
  range = fahrenheit->axisRangeFor(KRBoundingRange::between(0, 100));
  EXPECT_NEAR(range.minR, 32, 1e-9);
  EXPECT_NEAR(range.maxR, 212, 1e-9);

  // Origin 32 and unit 1.8 turn Fahrenheit numbers into Celsius ones; a
  // negative unit turns the axis around but the range stays in order.
  auto own = makeExtraAxis({{"Unit Conversion", 4}, {"OU Origin", "32"}, {"OU Unit", "1.8"}});
  range = own->axisRangeFor(KRBoundingRange::between(32, 212));
  EXPECT_NEAR(range.minR, 0, 1e-9);
  EXPECT_NEAR(range.maxR, 100, 1e-9);
  auto turned = makeExtraAxis({{"Unit Conversion", 4}, {"OU Unit", "-2"}});
  EXPECT_EQ(turned->axisRangeFor(KRBoundingRange::between(0, 4)), KRBoundingRange::between(-2, 0));

  auto mixed = makeExtraAxis({{"Unit Conversion", 2}, {"Graph Units", "m"}, {"Axis Units", "kg"}});
  EXPECT_TRUE(mixed->axisRangeFor(KRBoundingRange::between(0, 1)).isInvalid());
  EXPECT_EQ(mixed->errorExplanation(), "The units \"m\" and \"kg\" cannot be converted into each other.");
  auto noUnit = makeExtraAxis({{"Unit Conversion", 4}, {"OU Unit", "0"}});
  EXPECT_TRUE(noUnit->hasErrorExplanation());

  // Mending the setting clears the explanation.
  mixed->axisUnits()->setText("cm");
  EXPECT_FALSE(mixed->hasErrorExplanation());
  EXPECT_NEAR(mixed->axisRangeFor(KRBoundingRange::between(0, 1)).maxR, 100, 1e-9);
}


TEST(ExtraAxis, DrawsItsTicksBesideThePlotAreaAtTheConvertedPlaces) {
  // Celsius on the graph, Fahrenheit on the extra axis.
  auto axis = makeExtraAxis({{"Unit Conversion", 3}, {"Graph Temperature", 1}, {"Axis Temperature", 2},
                             {"Suffix", "\\degreeF"}, {"Exclude Numbers", "100"}});
  KR1DPlotDrawingInfo record;
  record.graphRegion = KRRect(100, 50, 200, 150);
  record.setXLinearShift(0, 1);      // x: page = data
  record.setYLinearShift(50 / 1.5, 1.5);  // y: 0 to 100 over 50 to 200
  record.boundingBox = {100, 300, 0, 100, 0};
  record.startOfAreaToTheRight = 330;  // the layout put something on the right

  auto ticks = axis->ticksFor(KRBoundingRange::between(0, 100), 150);
  ASSERT_TRUE(ticks);
  const auto& major = ticks->axis->majorTickMarks();
  ASSERT_GE(major.size(), 3u);
  for (double value : major) {
    EXPECT_GE(value, 32 - 1e-9);
    EXPECT_LE(value, 212 + 1e-9);
  }
  for (const auto& label : ticks->axis->majorTickMarkLabels()) {
    EXPECT_EQ(label.substr(label.size() - 8), "\\degreeF");
    EXPECT_NE(label, "100\\degreeF");  // excluded from the labels
  }

  KRDrawingInformation information;
  auto drawing = axis->computeDrawingObjectForScale(record, information);
  KRRect box = drawing->boundingRectangle();
  EXPECT_GE(box.minX(), 330 - 1);  // beyond what is already on the right
  EXPECT_GE(box.minY(), 50 - 8);
  EXPECT_LE(box.maxY(), 200 + 8);
  EXPECT_GT(axis->spaceToTheRight(), 20);
  EXPECT_EQ(axis->spaceForPlotTitle(), 0);

  // Without a conversion there is nothing to draw.
  auto mixed = makeExtraAxis({{"Unit Conversion", 2}, {"Graph Units", "m"}, {"Axis Units", "kg"}});
  EXPECT_TRUE(mixed->computeDrawingObjectForScale(record, information)->isEmpty());
  EXPECT_FALSE(mixed->ticksFor(KRBoundingRange::between(0, 100), 150));
}

TEST(ExtraAxis, TickChoicesWorkInTheAxisUnits) {
  // Metres on the graph, feet on the extra axis: 0 to 10 m is 0 to 32.8 ft.
  PlistDictionary feet{{"Unit Conversion", 2}, {"Graph Units", "m"}, {"Axis Units", "ft"}};
  const auto graphRange = KRBoundingRange::between(0, 10);

  auto stride = feet;
  stride["Ticks Choice"] = 2;
  stride["Ticks Stride"] = "10";
  auto ticks = makeExtraAxis(stride)->ticksFor(graphRange, 300);
  ASSERT_TRUE(ticks);
  EXPECT_EQ(ticks->axis->majorTickMarks(), (std::vector<double>{0, 10, 20, 30}));

  auto given = feet;
  given["Ticks Choice"] = 3;
  given["Major Ticks Values"] = "5, 25, 50";
  given["Minor Ticks Values"] = "15";
  given["Prefix"] = "~";
  ticks = makeExtraAxis(given)->ticksFor(graphRange, 300);
  ASSERT_TRUE(ticks);
  EXPECT_EQ(ticks->axis->majorTickMarks(), (std::vector<double>{5, 25}));  // 50 ft is beyond 10 m
  EXPECT_EQ(ticks->axis->minorTickMarks(), (std::vector<double>{15}));
  EXPECT_EQ(ticks->axis->majorTickMarkLabels(), (std::vector<std::string>{"~5", "~25"}));

  // Automatic ticks keep the Unicode minus; excluded numbers lose their label only.
  PlistDictionary below{{"Unit Conversion", 4}, {"OU Origin", "10"}, {"Exclude Numbers", "0"}};
  ticks = makeExtraAxis(below)->ticksFor(graphRange, 300);
  ASSERT_TRUE(ticks);
  const auto& labels = ticks->axis->majorTickMarkLabels();
  ASSERT_FALSE(labels.empty());
  EXPECT_EQ(labels.front().rfind("\u2212", 0), 0u) << labels.front();
  for (const auto& label : labels) EXPECT_NE(label, "0");

  // A logarithmic extra axis over values that are not all positive has no ticks.
  PlistDictionary logarithmic{{"Unit Conversion", 4}, {"OU Origin", "5"}, {"Axis Type", 2}};
  EXPECT_FALSE(makeExtraAxis(logarithmic)->ticksFor(graphRange, 300));
}

TEST(ExtraAxis, AxisRangeDrawsAPartAndPositionInsideKeepsItInTheFrame) {
  KR1DPlotDrawingInfo record;
  record.graphRegion = KRRect(100, 50, 200, 100);
  record.setXLinearShift(50, 2);
  record.setYLinearShift(50, 1);  // y: 0 to 100 over 50 to 150
  record.boundingBox = {0, 100, 0, 100, 0};
  record.yValueForOverallTitle = 160;
  const auto graphRange = KRBoundingRange::between(0, 100);

  // Only 20 to 60 of the axis is drawn (an open side reaches the end).
  auto part = makeExtraAxis({{"Axis Location", 1}, {"Axis Range", PlistDictionary{{"Min", "20"}, {"Max", "60"}}}});
  EXPECT_EQ(part->drawnAxisRange(graphRange), KRBoundingRange::between(20, 60));
  auto ticks = part->ticksFor(graphRange, 200);
  ASSERT_TRUE(ticks);
  for (double value : ticks->axis->majorTickMarks()) {
    EXPECT_GE(value, 20);
    EXPECT_LE(value, 60);
  }
  KRDrawingInformation information;
  KRRect box = part->computeDrawingObjectForScale(record, information)->boundingRectangle();
  EXPECT_GE(box.minX(), record.transformX(20) - 15);  // numbers are centred on their ticks
  EXPECT_LE(box.maxX(), record.transformX(60) + 15);
  EXPECT_GE(box.minY(), 160 - 1);  // above what the layout put over the plot area

  auto open = makeExtraAxis({{"Axis Range", PlistDictionary{{"Min", "90"}, {"Max", ""}}}});
  EXPECT_EQ(open->drawnAxisRange(graphRange), KRBoundingRange::between(90, 100));
  auto outside = makeExtraAxis({{"Axis Range", PlistDictionary{{"Min", "200"}, {"Max", "300"}}}});
  EXPECT_FALSE(outside->ticksFor(graphRange, 200));
  auto broken = makeExtraAxis({{"Axis Range", PlistDictionary{{"Min", "nothing"}, {"Max", "1"}}}});
  EXPECT_FALSE(broken->ticksFor(graphRange, 200));
  EXPECT_TRUE(broken->hasErrorExplanation());

  // A title farther out asks for that much more room.
  auto near = makeExtraAxis({{"Axis Title", "Feet"}});
  auto far = makeExtraAxis({{"Axis Title", "Feet"}, {"Axis Title Offset", "10"}, {"Axis Title Position", 3}});
  EXPECT_EQ(far->spaceToTheRight(), near->spaceToTheRight() + 10);

  // Inside: on the frame's right edge, the numbers to its left, no room asked for.
  auto inside = makeExtraAxis({{"Axis Location", 2}, {"Position Inside", true}});
  EXPECT_EQ(inside->spaceToTheRight(), 0);
  box = inside->computeDrawingObjectForScale(record, information)->boundingRectangle();
  EXPECT_LE(box.maxX(), record.graphRegion.maxX() + 1);
  EXPECT_GE(box.minX(), record.graphRegion.minX());
}

TEST(ExtraAxis, StoresEveryKeyOfItsKind) {
  auto axis = makeExtraAxis({});
  PropertyList stored = axis->propertyList();
  for (const char* key :
       {"Unit Conversion", "Graph Units", "Axis Units", "Graph Temperature", "Axis Temperature", "OU Origin",
        "OU Unit", "Axis Type", "Axis Location", "Axis Range", "Prefix", "Suffix", "Position Inside",
        "Title Offset", "Exclude Numbers", "Axis Title", "Axis Title Position", "Axis Title Offset",
        "Major Grid Lines", "Minor Grid Lines", "Draw Background", "Background Color", "Axis Color",
        "Axis Font Style", "Drawing Style", "Orientation", "Tick Locations", "Tick Labels", "Categories",
        "Ticks Choice", "Ticks Stride", "Ticks Between", "Major Ticks Values", "Minor Ticks Values",
        "Degree/Radians", "Currency", "Currency Negative", "Currency Negative Red", "X Label Height",
        "Y Label Width"})
    EXPECT_TRUE(stored.find(key)) << key;
  // The tick-choice settings are stored once, under their own names only.
  EXPECT_FALSE(stored.find("X Ticks Choice"));
  EXPECT_FALSE(stored.find("X Dates With Two Lines"));
}

}  // namespace
}  // namespace orrelin
