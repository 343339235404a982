// The whole-array operations of both families: shape rules, their messages
// on each family's channel, sorting, searching, filtering and conversion.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <random>

#include "NumericTestSupport.h"
#include "numeric/LockedArrays.h"
#include "numeric/MVArrays.h"

using namespace orrelin;
using testing_support::Lines;
using testing_support::ReportedMessages;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct Locked {
  using Doubles = MutableDoubleArray;
  using Floats = MutableFloatArray;
  using Ints = MutableIntArray;
  using Chars = MutableCharacterArray;
};
struct Plain {
  using Doubles = MVMutableDoubleArray;
  using Floats = MVMutableFloatArray;
  using Ints = MVMutableIntArray;
  using Chars = MVMutableCharArray;
};

// 0, 1, 2, ... in an m x n x o array.
template <class M>
M counting(long m, long n = 1, long o = 1) {
  M array(m, n, o);
  for (long p = 0; p < array.Length(); ++p) array.MutablePointer()[p] = typename M::Element(p);
  return array;
}

template <class M>
std::vector<typename M::Element> elements(const M& array) {
  return {array.Pointer(), array.Pointer() + array.Length()};
}

template <class M>
std::array<int, 3> shape(const M& array) {
  return {array.m(), array.n(), array.o()};
}

// A misuse, the line it reports (the same in both families) and that it
// gives the empty array.
struct MisuseCase {
  const char* name;
  std::function<int()> locked;  // length of the result
  std::function<int()> plain;
  const char* line;
};

#define MISUSE(label, expression, text)      \
  MisuseCase {                               \
    label,                                   \
        [] {                                 \
          using F = Locked;                  \
          return int((expression).Length()); \
        },                                   \
        [] {                                 \
          using F = Plain;                   \
          return int((expression).Length()); \
        },                                   \
        text                                 \
  }

class ArrayMisuse : public ::testing::TestWithParam<MisuseCase> {};

TEST_P(ArrayMisuse, ReportsOnTheFamilysChannelAndGivesTheEmptyArray) {
  const auto& c = GetParam();
  ReportedMessages messages;
  EXPECT_EQ(c.locked(), 0);
  EXPECT_EQ(messages.centre(), Lines{c.line});
  EXPECT_TRUE(messages.errorList().empty());
  EXPECT_EQ(c.plain(), 0);
  EXPECT_EQ(messages.errorList(), Lines{c.line});
  EXPECT_TRUE(messages.centre().empty());
}

INSTANTIATE_TEST_SUITE_P(
    EveryMessage, ArrayMisuse,
    ::testing::Values(
        MISUSE("IncreaseNegative", IncreaseSize(counting<F::Doubles>(4, 3), -1),
               "IncreaseSize(Array,Length): Length needs to be >0."),
        MISUSE("IncreaseNotMultipleOfM", IncreaseSize(counting<F::Doubles>(4, 3), 6),
               "IncreaseSize(Array,Length): Length needs to be a multiple of m"),
        MISUSE("IncreaseNotMultipleOfMN", IncreaseSize(counting<F::Doubles>(2, 2, 2), 2),
               "IncreaseSize(Array,Length): Length needs to be a multiple of m*n"),
        MISUSE("TruncateEmpty", TruncateSize(F::Doubles(), 3), "TruncateSize(Array,Length): Array is empty."),
        MISUSE("TruncateTooLong", TruncateSize(counting<F::Doubles>(4, 3), 13),
               "TruncateSize(Array,Length): Invalid length."),
        MISUSE("TruncateNegative", TruncateSize(counting<F::Doubles>(4), -2),
               "TruncateSize(Array,Length): Invalid length."),
        MISUSE("TruncateNotWholeColumns", TruncateSize(counting<F::Doubles>(4, 3), 5),
               "TruncateSize(Array,Length): Invalid new dimension"),
        MISUSE("TruncateNotWholePlanes", TruncateSize(counting<F::Doubles>(2, 2, 3), 6),
               "TruncateSize(Array,Length): Invalid new dimension"),
        MISUSE("CropNegative", CropLength(counting<F::Doubles>(4, 3), -1), "CropLength(DoubleArray,len): len<0."),
        MISUSE("CropTooLong", CropLength(counting<F::Doubles>(4, 3), 13),
               "CropLength(DoubleArray,len): len>length of array."),
        MISUSE("ExtractColumnsOf3D", ExtractColumns(counting<F::Doubles>(2, 2, 2), 1),
               "ExtractColumns: Can only extract columns from a 2D array."),
        MISUSE("ExtractTooManyColumns", ExtractColumns(counting<F::Doubles>(4, 3), 4),
               "ExtractColumns: Asking for too many columns.  Returning empty."),
        MISUSE("RegionOfDoubles", Region(counting<F::Doubles>(4, 3), 3, 2, 0, 1),
               "Region of double array, incorrect offsets."),
        MISUSE("RegionOfFloats", Region(counting<F::Floats>(4, 3), 0, 1, -1, 1),
               "Region of float array, incorrect offsets."),
        MISUSE("RegionOfInts", Region(counting<F::Ints>(2, 2, 2), 0, 1, 0, 1, 1, 2),
               "Region of int array, incorrect offsets."),
        MISUSE("RegionOfChars", SubArray(counting<F::Chars>(4), 2, 3),
               "Region of char array, incorrect offsets."),
        MISUSE("Reshape", Reshape(counting<F::Doubles>(4, 3), 5, 2, 1),
               "Internal error: DoubleArray::Reshape: Invalid new size."),
        // 2^40 cubed wraps to 0 in 64 bits, the length of the empty array.
        MISUSE("ReshapeOverflowing", Reshape(F::Doubles(), 1L << 40, 1L << 40, 1L << 40),
               "Internal error: DoubleArray::Reshape: Invalid new size."),
        MISUSE("ExtractEntries", ExtractEntries(counting<F::Doubles>(4, 3), F::Ints::WithValues({0, 12})),
               "ExtractEntries(DoubleArray,IntArray): Index out of range"),
        MISUSE("CombineColumns", CombineColumns(counting<F::Doubles>(4, 3), counting<F::Doubles>(3, 3)),
               "CombineColumns: The arrays need the same number of rows and one plane.")),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ArrayMisuse, SortingValuesAndIndicesOfDifferentLengths) {
  ReportedMessages messages;
  auto values = MVMutableDoubleArray::WithValues({3, 1, 2});
  auto indices = MVMutableIntArray::WithValues({0, 1});
  Sort(values, indices);
  EXPECT_EQ(elements(values), (std::vector<double>{3, 1, 2}));
  EXPECT_EQ(messages.errorList(), Lines{"SortDoubleAndInt: Incompatible sizes."});
}

template <class F>
class ShapeRules : public ::testing::Test {};
using Families = ::testing::Types<Locked, Plain>;
TYPED_TEST_SUITE(ShapeRules, Families);

TYPED_TEST(ShapeRules, IncreaseSizeGrowsTheLastUsedDimension) {
  using D = typename TypeParam::Doubles;
  auto grown = IncreaseSize(counting<D>(4, 3), 8);
  EXPECT_EQ(shape(grown), (std::array<int, 3>{4, 5, 1}));
  EXPECT_TRUE(std::equal(grown.Pointer(), grown.Pointer() + 12, counting<D>(12).Pointer()));
  EXPECT_EQ(shape(IncreaseSize(counting<D>(4), 3)), (std::array<int, 3>{7, 1, 1}));
  EXPECT_EQ(shape(IncreaseSize(counting<D>(2, 3, 2), 12)), (std::array<int, 3>{2, 3, 4}));
  EXPECT_EQ(shape(IncreaseSize(D(), 2)), (std::array<int, 3>{2, 1, 1}));
  EXPECT_EQ(shape(IncreaseSize(counting<D>(1, 3), 2)), (std::array<int, 3>{1, 5, 1}));
}

TYPED_TEST(ShapeRules, TruncateAndCropKeepTheFirstElements) {
  using D = typename TypeParam::Doubles;
  ReportedMessages messages;
  auto cut = TruncateSize(counting<D>(4, 3), 8);
  EXPECT_EQ(shape(cut), (std::array<int, 3>{4, 2, 1}));
  EXPECT_EQ(elements(cut), elements(counting<D>(8)));
  EXPECT_EQ(shape(TruncateSize(counting<D>(2, 2, 3), 8)), (std::array<int, 3>{2, 2, 2}));
  EXPECT_EQ(shape(TruncateSize(counting<D>(5), 2)), (std::array<int, 3>{2, 1, 1}));
  EXPECT_TRUE(TruncateSize(counting<D>(4, 3), 0).IsEmpty());
  EXPECT_TRUE(TruncateSize(D(), 0).IsEmpty());
  auto cropped = CropLength(counting<D>(4, 3), 5);
  EXPECT_EQ(shape(cropped), (std::array<int, 3>{5, 1, 1}));
  EXPECT_EQ(elements(cropped), elements(counting<D>(5)));
  EXPECT_TRUE(CropLength(counting<D>(4, 3), 0).IsEmpty());
  EXPECT_TRUE(messages.of<D>().empty());
}

TYPED_TEST(ShapeRules, BlocksColumnsAndTransposition) {
  using D = typename TypeParam::Doubles;
  auto a = counting<D>(4, 3);  // a(i, j) = i + 4j
  auto columns = ExtractColumns(a, 2);
  EXPECT_EQ(shape(columns), (std::array<int, 3>{4, 2, 1}));
  EXPECT_EQ(columns(3, 1), 7);
  auto region = Region(a, 1, 2, 1, 2);
  EXPECT_EQ(elements(region), (std::vector<double>{5, 6, 9, 10}));
  auto cube = counting<D>(3, 3, 3);
  auto block = Region(cube, 1, 2, 0, 1, 1, 2);
  EXPECT_EQ(elements(block), (std::vector<double>{10, 11, 19, 20}));
  EXPECT_EQ(elements(RegionOfIndices(cube, {1, 0, 1}, {2, 1, 2})), elements(block));
  EXPECT_EQ(elements(SubArray(a, 10, 2)), (std::vector<double>{10, 11}));
  EXPECT_TRUE(Region(a, 4, 0, 0, 3).IsEmpty());
  auto t = Transpose(a);
  EXPECT_EQ(shape(t), (std::array<int, 3>{3, 4, 1}));
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 3; ++j) EXPECT_EQ(t(j, i), a(i, j));
  }
  auto planes = Transpose(counting<D>(2, 3, 2));
  EXPECT_EQ(planes(2, 1, 1), 6 + 1 + 2 * 2);
  auto flipped = FlipJ(a);
  EXPECT_EQ(elements(ExtractColumns(flipped, 1)), (std::vector<double>{8, 9, 10, 11}));
  EXPECT_EQ(flipped(0, 2), 0);
  auto combined = CombineColumns(a, ExtractColumns(a, 1));
  EXPECT_EQ(shape(combined), (std::array<int, 3>{4, 4, 1}));
  EXPECT_EQ(combined(2, 3), 2);
  EXPECT_EQ(shape(CombineColumns(D(), a)), shape(a));
  auto reshaped = Reshape(a, 2, 6);
  EXPECT_EQ(shape(reshaped), (std::array<int, 3>{2, 6, 1}));
  EXPECT_EQ(elements(reshaped), elements(a));
  auto picked = ExtractEntries(a, TypeParam::Ints::WithValues({11, 0, 5, 5}, 2, 2));
  EXPECT_EQ(shape(picked), (std::array<int, 3>{2, 2, 1}));
  EXPECT_EQ(elements(picked), (std::vector<double>{11, 0, 5, 5}));
}

TYPED_TEST(ShapeRules, ResultsNeverShareTheArgumentsStorage) {
  using D = typename TypeParam::Doubles;
  auto a = counting<D>(4, 3);
  auto results = {IncreaseSize(a, 0),
                  TruncateSize(a, 12),
                  CropLength(a, 12),
                  ExtractColumns(a, 3),
                  Region(a, 0, 4, 0, 3),
                  Reshape(a, 4, 3),
                  Sort(a)};
  for (const auto& result : results) {
    EXPECT_FALSE(result.SharesStorageWith(a));
    EXPECT_EQ(result.Length(), 12);
  }
  EXPECT_EQ(a.ReferenceCount(), 1);
}

TYPED_TEST(ShapeRules, FilteringAndConversion) {
  using D = typename TypeParam::Doubles;
  auto a = D::WithValues({1, kNaN, -kInf, 2.7, kInf, -1e12});
  EXPECT_EQ(elements(NonNanAndInf(a)), (std::vector<double>{1, 2.7, -1e12}));
  auto nonFinite = NaNAndInfNumbers(a);
  ASSERT_EQ(nonFinite.Length(), 3);
  EXPECT_TRUE(std::isnan(nonFinite(0)));
  EXPECT_EQ(nonFinite(1), -kInf);
  EXPECT_EQ(nonFinite(2), kInf);
  EXPECT_TRUE(NonNanAndInf(D()).IsEmpty());

  auto ints = ConvertToIntArray(a);
  EXPECT_EQ(elements(ints),
            (std::vector<int>{1, 0, std::numeric_limits<int>::min(), 2, std::numeric_limits<int>::max(),
                              std::numeric_limits<int>::min()}));
  auto chars = ConvertToCharacterArray(TypeParam::Ints::WithValues({300, -5, -300}));
  EXPECT_EQ(elements(chars), (std::vector<signed char>{127, -5, -128}));
  auto shorts = ConvertToUShortArray(D::WithValues({-1, 70000, 12.9}));
  EXPECT_EQ(elements(shorts), (std::vector<unsigned short>{0, 65535, 12}));
  auto floats = ConvertToFloatArray(counting<D>(2, 3));
  EXPECT_EQ(shape(floats), (std::array<int, 3>{2, 3, 1}));
  EXPECT_EQ(floats(1, 2), 5.0f);
  EXPECT_EQ(elements(ConvertToDoubleArray(floats)), elements(counting<D>(6)));
}

TYPED_TEST(ShapeRules, SearchingAndRemovingRepeats) {
  using I = typename TypeParam::Ints;
  auto sorted = I::WithValues({-4, 1, 1, 3, 8, 8, 8, 20});
  EXPECT_EQ(FindEntry(sorted, 8), 4);
  EXPECT_EQ(FindEntry(sorted, 2), -1);
  EXPECT_EQ(FindEntryInSorted(sorted, 1), 1);
  EXPECT_EQ(FindEntryInSorted(sorted, 20), 7);
  EXPECT_EQ(FindEntryInSorted(sorted, -4), 0);
  EXPECT_EQ(FindEntryInSorted(sorted, 5), -1);
  EXPECT_EQ(FindEntryInSorted(sorted, 21), -1);
  EXPECT_EQ(FindEntryInSorted(I(), 0), -1);
  typename I::ImmutableArray seen = sorted;
  sorted.RemoveIdenticalEntriesFromSortedList();
  EXPECT_EQ(elements(seen), (std::vector<int>{-4, 1, 3, 8, 20}));
  I empty;
  empty.RemoveIdenticalEntriesFromSortedList();
  EXPECT_TRUE(empty.IsEmpty());
}

// Many repeated values, so that a sort which mishandles equal keys shows.
template <class D>
D randomValues(long count, bool withNaN) {
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> value(-50, 50);
  D array(count);
  for (long p = 0; p < count; ++p) {
    array.MutablePointer()[p] = withNaN && p % 97 == 3 ? kNaN : value(random) * 0.5;
  }
  return array;
}

TYPED_TEST(ShapeRules, SortingGivesAscendingValuesWithNaNLast) {
  using D = typename TypeParam::Doubles;
  auto values = randomValues<D>(5000, true);
  auto sorted = Sort(values);
  EXPECT_EQ(shape(sorted), (std::array<int, 3>{5000, 1, 1}));
  long nanCount =
      std::count_if(values.Pointer(), values.Pointer() + 5000, [](double v) { return std::isnan(v); });
  long finite = 5000 - nanCount;
  EXPECT_TRUE(std::is_sorted(sorted.Pointer(), sorted.Pointer() + finite));
  EXPECT_TRUE(std::all_of(sorted.Pointer() + finite, sorted.Pointer() + 5000,
                          [](double v) { return std::isnan(v); }));
  auto expected = elements(values);
  std::sort(expected.begin(), expected.end(),
            [](double a, double b) { return !std::isnan(a) && (std::isnan(b) || a < b); });
  EXPECT_TRUE(std::equal(sorted.Pointer(), sorted.Pointer() + finite, expected.begin()));

  auto order = SortedOrder(values);
  std::vector<int> positions = elements(order);
  std::sort(positions.begin(), positions.end());
  for (int p = 0; p < 5000; ++p) ASSERT_EQ(positions[p], p);  // a permutation
  for (long p = 1; p < finite; ++p) ASSERT_LE(values(order(p - 1)), values(order(p)));
  for (long p = finite; p < 5000; ++p) ASSERT_TRUE(std::isnan(values(order(p))));

  auto inPlace = values.Copy();
  auto indices = counting<typename TypeParam::Ints>(5000);
  Sort(inPlace, indices);
  for (long p = 0; p < finite; ++p) {
    ASSERT_EQ(inPlace(p), sorted(p));
    ASSERT_EQ(values(indices(p)), inPlace(p));  // the same permutation
  }
  auto small = D::WithValues({2, 1});
  small.Sort();
  EXPECT_EQ(elements(small), (std::vector<double>{1, 2}));
}

}  // namespace
