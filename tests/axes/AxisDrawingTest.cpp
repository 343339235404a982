#include <gtest/gtest.h>

#include <functional>

#include "axes/AxisDrawing.h"
#include "mathtext/KRDrawingExpressionText.h"

namespace orrelin {
namespace {

AxisLook makeLook(int tickStyle = 1) {
  AxisLook look;
  look.numberFont = KRDrawingStyleFont::styleWithFont("Helvetica", 12);
  look.titleFont = KRDrawingStyleFont::styleWithFont("Helvetica", 14);
  look.tickStyle = tickStyle;
  return look;
}

AxisTicks ticks(std::vector<double> major, std::vector<std::string> labels, std::vector<double> minor = {}) {
  AxisTicks result;
  result.axis = KRAxis::initWithMajor(std::move(major), std::move(labels), std::move(minor));
  return result;
}

// Data 0 to 10 on the page interval 100 to 300.
AxisPlacement placement(AxisSide side, double position) {
  AxisPlacement p;
  p.side = side;
  p.position = position;
  p.start = 100;
  p.end = 300;
  p.map = [](double v) { return 100 + 20 * v; };
  return p;
}

void collect(const std::shared_ptr<KRDrawingBasic>& object, std::vector<std::shared_ptr<KRDrawingBasic>>& texts,
             std::vector<std::shared_ptr<KRDrawingBasic>>& paths) {
  if (auto group = std::dynamic_pointer_cast<KRDrawingGroup>(object)) {
    for (std::size_t i = 0; i < group->count(); ++i) collect(group->objectAtIndex(i), texts, paths);
  } else if (std::dynamic_pointer_cast<KRDrawingExpressionText>(object)) {
    texts.push_back(object);
  } else {
    paths.push_back(object);
  }
}

TEST(AxisDrawing, NumbersSitBeyondTheTicksOnEachSideAndOnlyInsideTheInterval) {
  // 12 lies outside the interval and is left out.
  AxisTicks t = ticks({0, 5, 10, 12}, {"0", "5", "10", "12"}, {2.5, 7.5});
  AxisContent content;
  content.ticks = &t;
  const AxisLook look = makeLook();
  const double reach = look.tickOutside() + look.numberGap();
  struct Case {
    AxisSide side;
    std::function<bool(const KRRect&)> beyond;
  } cases[] = {
      {AxisSide::Bottom, [&](const KRRect& r) { return r.maxY() <= 50 - reach + 0.5; }},
      {AxisSide::Top, [&](const KRRect& r) { return r.minY() >= 50 + reach - 0.5; }},
      {AxisSide::Left, [&](const KRRect& r) { return r.maxX() <= 50 - reach + 0.5; }},
      {AxisSide::Right, [&](const KRRect& r) { return r.minX() >= 50 + reach - 0.5; }},
  };
  for (const auto& each : cases) {
    SCOPED_TRACE(static_cast<int>(each.side));
    auto drawing = calculateAxis(content, look, placement(each.side, 50), 0);
    std::vector<std::shared_ptr<KRDrawingBasic>> texts, paths;
    collect(drawing, texts, paths);
    ASSERT_EQ(texts.size(), 3u);
    for (const auto& text : texts) EXPECT_TRUE(each.beyond(text->boundingRectangle()));
    // The room asked for covers every number.
    double space = tickAndNumberSpace(content, look, each.side);
    for (const auto& text : texts) {
      KRRect r = text->boundingRectangle();
      double far = each.side == AxisSide::Bottom ? 50 - r.minY()
                   : each.side == AxisSide::Top  ? r.maxY() - 50
                   : each.side == AxisSide::Left ? 50 - r.minX()
                                                 : r.maxX() - 50;
      EXPECT_LE(far, space + 0.5);
    }
  }
}

TEST(AxisDrawing, TickStylesPutTheMarksOutsideInsideOrAcross) {
  AxisTicks t = ticks({0, 5, 10}, {"", "", ""});
  AxisContent content;
  content.ticks = &t;
  content.drawLine = false;
  content.drawLabels = false;
  const struct {
    int style;
    double low, high;  // the marks' extent in y around the line at 50
  } cases[] = {{1, 46, 50}, {2, 50, 54}, {3, 48, 52}};
  for (const auto& each : cases) {
    AxisLook look = makeLook(each.style);
    auto drawing = calculateAxis(content, look, placement(AxisSide::Bottom, 50), 0);
    KRRect r = drawing->boundingRectangle();
    EXPECT_NEAR(r.minY(), each.low, 1) << each.style;
    EXPECT_NEAR(r.maxY(), each.high, 1) << each.style;
  }
  // Mirrored marks point into the plot area from the far side.
  AxisPlacement top = placement(AxisSide::Top, 200);
  KRRect mirrored = mirroredTickMarks(t, makeLook(), top)->boundingRectangle();
  EXPECT_LE(mirrored.maxY(), 200.5);
  EXPECT_GE(mirrored.minY(), 195);
}

TEST(AxisDrawing, TitlesAndReservedSpace) {
  AxisTicks t = ticks({0, 10}, {"0", "10"});
  AxisContent content;
  content.ticks = &t;
  const AxisLook look = makeLook();
  EXPECT_EQ(titleSpace("", look), 0);
  EXPECT_GT(titleSpace("Time", look), 14);
  content.reservedLabelSpace = 40;
  EXPECT_DOUBLE_EQ(tickAndNumberSpace(content, look, AxisSide::Left), look.tickOutside() + look.numberGap() + 40);
  content.drawLabels = false;
  EXPECT_DOUBLE_EQ(tickAndNumberSpace(content, look, AxisSide::Left), look.tickOutside());
  // The title of a left axis stands left of the distance it is given.
  content.title = "Height";
  auto drawing = calculateAxis(content, look, placement(AxisSide::Left, 80), 30);
  std::vector<std::shared_ptr<KRDrawingBasic>> texts, paths;
  collect(drawing, texts, paths);
  ASSERT_EQ(texts.size(), 1u);
  KRRect title = texts[0]->boundingRectangle();
  EXPECT_LE(title.maxX(), 80 - 30 - look.titleGap() + 0.5);
  EXPECT_GT(title.height(), title.width());  // reads upwards
  EXPECT_NEAR(title.midY(), 200, 1);
}

// Titles flush with either end of the axis, or farther out, on a horizontal
// and on a vertical axis (whose titles read upwards, so its start is at the bottom).
TEST(AxisDrawing, TitlesAtTheStartOrTheEndAndFartherOut) {
  AxisTicks t = ticks({}, {});
  const AxisLook look = makeLook();
  struct Case {
    AxisSide side;
    AxisContent::TitlePlace place;
    double offset;
  } cases[] = {{AxisSide::Top, AxisContent::TitlePlace::AtStart, 0},
               {AxisSide::Top, AxisContent::TitlePlace::AtEnd, 0},
               {AxisSide::Right, AxisContent::TitlePlace::AtStart, 0},
               {AxisSide::Right, AxisContent::TitlePlace::AtEnd, 12},
               {AxisSide::Bottom, AxisContent::TitlePlace::Centered, 12}};
  for (const auto& c : cases) {
    AxisContent content;
    content.ticks = &t;
    content.title = "Temperature";
    content.titlePlace = c.place;
    content.titleOffset = c.offset;
    auto drawing = calculateAxis(content, look, placement(c.side, 400), 20);
    std::vector<std::shared_ptr<KRDrawingBasic>> texts, paths;
    collect(drawing, texts, paths);
    ASSERT_EQ(texts.size(), 1u);
    KRRect title = texts[0]->boundingRectangle();
    const bool horizontal = isHorizontal(c.side);
    const double low = horizontal ? title.minX() : title.minY();
    const double high = horizontal ? title.maxX() : title.maxY();
    switch (c.place) {
      case AxisContent::TitlePlace::AtStart:
        EXPECT_NEAR(low, 100, 1.5);
        EXPECT_LT(high, 250);
        break;
      case AxisContent::TitlePlace::AtEnd:
        EXPECT_NEAR(high, 300, 1.5);
        EXPECT_GT(low, 150);
        break;
      case AxisContent::TitlePlace::Centered:
        EXPECT_NEAR((low + high) / 2, 200, 1);
        break;
    }
    // Outward from the line at 400: the nearer edge of the title.
    const double nearEdge = c.side == AxisSide::Top     ? title.minY()
                            : c.side == AxisSide::Right ? title.minX()
                            : c.side == AxisSide::Bottom ? 400 - title.maxY()
                                                         : 400 - title.maxX();
    const double expected = c.side == AxisSide::Bottom ? 20 + look.titleGap() + c.offset
                                                       : 400 + 20 + look.titleGap() + c.offset;
    EXPECT_NEAR(nearEdge, expected, 1.5) << static_cast<int>(c.side) << " " << static_cast<int>(c.place);
  }
}

TEST(AxisDrawing, TheAreaOfAnAxisHoldsItsNumbersAndTitleFromTheLineOut) {
  AxisTicks t = ticks({0, 5, 10}, {"0", "5", "10"});
  const AxisLook look = makeLook();
  struct Case {
    AxisSide side;
    double offset, shift;
  } cases[] = {{AxisSide::Top, 0, 0},  {AxisSide::Right, 6, -150}, {AxisSide::Bottom, 0, 300},
               {AxisSide::Left, -10, 0},  // a title pulled in over the numbers
               {AxisSide::Right, 0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.side));
    AxisContent content;
    content.ticks = &t;
    content.title = "Temperature";
    content.titleOffset = c.offset;
    content.titleShift = c.shift;
    const AxisPlacement where = placement(c.side, 400);
    const double numbers = tickAndNumberSpace(content, look, c.side);
    KRRect area = axisArea(content, look, where, numbers);
    std::vector<std::shared_ptr<KRDrawingBasic>> texts, paths;
    collect(calculateAxis(content, look, where, numbers), texts, paths);
    ASSERT_EQ(texts.size(), 4u);
    KRRect all = texts[0]->boundingRectangle();
    for (const auto& text : texts) all = all.unionWith(text->boundingRectangle());
    // Across: from the line exactly, out to the farthest text; along: the
    // texts and at least the axis's interval.
    const bool horizontal = isHorizontal(c.side);
    const double lineSide = c.side == AxisSide::Top ? area.minY() : c.side == AxisSide::Bottom ? area.maxY()
                            : c.side == AxisSide::Right ? area.minX() : area.maxX();
    EXPECT_DOUBLE_EQ(lineSide, 400);
    const double farSide = c.side == AxisSide::Top ? area.maxY() - all.maxY() : c.side == AxisSide::Bottom ? all.minY() - area.minY()
                           : c.side == AxisSide::Right ? area.maxX() - all.maxX() : all.minX() - area.minX();
    EXPECT_GE(farSide, -0.5);
    EXPECT_LE(farSide, 1);
    EXPECT_LE(horizontal ? area.minX() : area.minY(), std::min(100.0, horizontal ? all.minX() : all.minY()) + 1e-9);
    EXPECT_GE(horizontal ? area.maxX() : area.maxY(), std::max(300.0, horizontal ? all.maxX() : all.maxY()) - 1e-9);
    EXPECT_LE(horizontal ? area.minX() : area.minY(), horizontal ? all.minX() : all.minY());
  }
  AxisPlacement unmapped = placement(AxisSide::Top, 0);
  unmapped.map = nullptr;
  AxisContent content;
  EXPECT_TRUE(axisArea(content, look, unmapped, 0).isNull());
}

TEST(AxisDrawing, GridLinesAtTheTicksInsideTheRectangle) {
  AxisTicks t = ticks({0, 5, 10, 15}, {"0", "5", "10", "15"}, {2.5, 7.5});
  auto map = [](double v) { return 100 + 20 * v; };
  auto major = KRDrawingStyleCurve::createWithColor(KRColor::grey(0.8), 0.5);
  auto minor = KRDrawingStyleCurve::createWithColor(KRColor::grey(0.9), 0.25);
  KRRect across(100, 20, 200, 80);
  auto majorOnly = gridLines(t, true, map, across, major, nullptr);
  ASSERT_EQ(majorOnly->count(), 1u);
  KRRect r = majorOnly->boundingRectangle();
  EXPECT_NEAR(r.minX(), 100, 0.5);
  EXPECT_NEAR(r.maxX(), 300, 0.5);  // 15 lies outside
  EXPECT_NEAR(r.minY(), 20, 0.5);
  EXPECT_NEAR(r.maxY(), 100, 0.5);
  EXPECT_EQ(gridLines(t, false, map, KRRect(0, 100, 50, 200), major, minor)->count(), 2u);
  EXPECT_TRUE(gridLines(t, true, map, across, nullptr, nullptr)->isEmpty());
  AxisTicks none;
  EXPECT_TRUE(gridLines(none, true, map, across, major, minor)->isEmpty());
}

}  // namespace
}  // namespace orrelin
