#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "table/ColumnProperties.h"
#include "table/VKDataColumnBinary.h"
#include "table/VKDataColumnString.h"

using namespace orrelin;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Rows 0..5: 3, (empty), -1, NaN, 7, 3; so the valid values are 3, -1, 7, 3.
std::shared_ptr<VKDataColumnBinary> handMade() {
  auto column = VKDataColumnBinary::createEmptyFor();
  column->setName("x");
  column->setNumbers({3, 99, -1, kNaN, 7, 3}, {1, 0, 1, 1, 1, 1});
  return column;
}

double numberProperty(OrrelinColumn& column, const char* ending) {
  std::string error;
  auto property = column.columnPropertyWithName(ending, &error);
  EXPECT_TRUE(property) << ending << ": " << error;
  EXPECT_FALSE(property && property->isArray) << ending;
  return property ? property->number : kNaN;
}

// The array property as values, with NaN for masked elements.
std::vector<double> arrayProperty(OrrelinColumn& column, const char* ending) {
  auto property = column.columnPropertyWithName(ending);
  EXPECT_TRUE(property && property->isArray) << ending;
  std::vector<double> values;
  if (!property || !property->isArray) return values;
  EXPECT_EQ(property->array->length(), property->mask->length());
  for (long k = 0; k < property->array->length(); ++k)
    values.push_back(property->mask->valueAtIndex(k) ? property->array->valueAtIndex(k) : kNaN);
  return values;
}

void expectSame(const std::vector<double>& actual, const std::vector<double>& expected, const char* what) {
  ASSERT_EQ(actual.size(), expected.size()) << what;
  for (std::size_t k = 0; k < actual.size(); ++k) {
    if (std::isnan(expected[k]))
      EXPECT_TRUE(std::isnan(actual[k])) << what << " at " << k << " is " << actual[k];
    else
      EXPECT_DOUBLE_EQ(actual[k], expected[k]) << what << " at " << k;
  }
}

struct NumberCase {
  const char* ending;
  double expected;
};

TEST(ColumnProperties, NumbersOverTheValidRows) {
  auto x = handMade();
  const double average = 3.0;  // (3 - 1 + 7 + 3) / 4
  const double squares = 0 + 16 + 16 + 0;
  const NumberCase cases[] = {
      {"length", 6},  {"min", -1},   {"max", 7},     {"range", 8},
      {"sum", 12},    {"average", average},          {"sigma", std::sqrt(squares / 4)},
      {"s", std::sqrt(squares / 3)}, {"median", 3}, {"first", 3},
      {"last", 3},    {"count", 4},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(numberProperty(*x, c.ending), c.expected) << c.ending;
}

TEST(ColumnProperties, MedianOfAnEvenCountIsTheUpperMiddleValue) {
  auto x = VKDataColumnBinary::createEmptyFor();
  x->setNumbers({4, 1, 3, 2}, {1, 1, 1, 1});
  EXPECT_EQ(numberProperty(*x, "median"), 3);
}

TEST(ColumnProperties, ColumnWithoutValidRows) {
  auto x = VKDataColumnBinary::createEmptyFor();
  x->setNumbers({1, kInf, 2}, {0, 1, 0});
  EXPECT_EQ(numberProperty(*x, "length"), 3);
  EXPECT_EQ(numberProperty(*x, "count"), 0);
  EXPECT_EQ(numberProperty(*x, "sum"), 0);
  EXPECT_EQ(numberProperty(*x, "min"), kInf);
  EXPECT_EQ(numberProperty(*x, "max"), -kInf);
  for (const char* ending : {"first", "last", "median", "average", "sigma", "s"})
    EXPECT_TRUE(std::isnan(numberProperty(*x, ending))) << ending;
  EXPECT_TRUE(arrayProperty(*x, "sortwith").empty());
}

TEST(ColumnProperties, RunningArraysFollowTheRows) {
  auto x = handMade();
  expectSame(arrayProperty(*x, "isum"), {3, kNaN, 2, kNaN, 9, 12}, "isum");
  expectSame(arrayProperty(*x, "rmax"), {3, kNaN, 3, kNaN, 7, 7}, "rmax");
  expectSame(arrayProperty(*x, "rmin"), {3, kNaN, -1, kNaN, -1, -1}, "rmin");
  expectSame(arrayProperty(*x, "totalcount"), {1, kNaN, 2, kNaN, 3, 4}, "totalcount");
  // Against the nearest valid row above; the first valid row has none.
  expectSame(arrayProperty(*x, "delta"), {kNaN, kNaN, -4, kNaN, 8, -4}, "delta");
}

TEST(ColumnProperties, OrderingArrays) {
  auto x = handMade();
  // Equal values share the average of their ranks.
  expectSame(arrayProperty(*x, "rank"), {2.5, kNaN, 1, kNaN, 4, 2.5}, "rank");
  // Row numbers count from 1; equal values keep their row order.
  expectSame(arrayProperty(*x, "sortedindex"), {3, 1, 6, 5}, "sortedindex");
  expectSame(arrayProperty(*x, "sortwith"), {-1, 3, 3, 7}, "sortwith");
}

TEST(ColumnProperties, UnwrapRemovesWholePeriods) {
  struct Case {
    const char* ending;
    double period;
  };
  for (const Case c : {Case{"unwrap2\u03c0", 2 * std::numbers::pi}, Case{"unwrap1", 1}, Case{"unwrap360", 360}}) {
    const double p = c.period;
    auto x = VKDataColumnBinary::createEmptyFor();
    // A phase rising through two wraps and falling back through one, with an
    // invalid row in between that must not count as a jump.
    x->setNumbers({0.4 * p, 0.9 * p, 0.2 * p, 99, 0.6 * p, 0.05 * p, 0.8 * p}, {1, 1, 1, 0, 1, 1, 1});
    expectSame(arrayProperty(*x, c.ending), {0.4 * p, 0.9 * p, 1.2 * p, kNaN, 1.6 * p, 2.05 * p, 1.8 * p}, c.ending);
  }
}

TEST(ColumnProperties, ResultsAreKeptUntilTheValuesChange) {
  auto x = handMade();
  auto first = x->columnPropertyWithName("isum");
  auto again = x->columnPropertyWithName("isum");
  ASSERT_TRUE(first && again);
  EXPECT_EQ(first->array, again->array) << "computed once";
  x->setData({10}, {0});
  auto changed = x->columnPropertyWithName("isum");
  ASSERT_TRUE(changed);
  EXPECT_NE(changed->array, first->array);
  EXPECT_EQ(changed->array->valueAtIndex(5), 19);
  EXPECT_EQ(numberProperty(*x, "max"), 10);
}

TEST(ColumnProperties, InvalidEndingsListTheValidOnes) {
  const std::string endings =
      "\nValid endings are\n.min, .max, .length, .range, .average, .median,\n.sigma, s, .first, .last, .sum, .isum, "
      ".rmax, .rmin,\n.count, .totalcount, .sortedindex, .rank, .sortwith, .delta,\nunwrap2\u03c0, unwrap1, unwrap360";
  auto x = handMade();
  std::string error;
  EXPECT_FALSE(x->columnPropertyWithName("maximum", &error));
  EXPECT_EQ(error, "Invalid property for column: x.maximum" + endings);
  // Text columns have no properties.
  auto text = VKDataColumnString::createEmptyFor();
  text->setName("t");
  EXPECT_FALSE(text->columnPropertyWithName("max", &error));
  EXPECT_EQ(error, "Invalid property for column: t.max" + endings);
  EXPECT_EQ(invalidPropertyMessage({"a.b", "c.d"}), "Invalid property for columns:\na.b, c.d" + endings);
}

}  // namespace
