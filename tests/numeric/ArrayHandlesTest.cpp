// Shape, sharing and counting rules of both array families, their
// out-of-range behaviour and the locked family's limits and locking.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <new>
#include <thread>
#include <vector>

#include "NumericTestSupport.h"
#include "numeric/LockedArrays.h"
#include "numeric/MVArrays.h"

using namespace orrelin;
using testing_support::Lines;
using testing_support::ReportedMessages;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

template <class M>
class EveryArrayType : public ::testing::Test {};

using MutableTypes =
    ::testing::Types<MutableDoubleArray, MutableFloatArray, MutableIntArray, MutableCharacterArray,
                     MutableUCharArray, MutableIntegerArray, MutableUIntegerArray, MVMutableShortArray,
                     MVMutableUShortArray, MVMutableDoubleArray, MVMutableFloatArray, MVMutableIntArray,
                     MVMutableCharArray, MVMutableUCharArray, MVMutableShortIntArray,
                     MVMutableUShortIntArray>;
TYPED_TEST_SUITE(EveryArrayType, MutableTypes);

TYPED_TEST(EveryArrayType, AnyZeroDimensionGivesTheEmptyArray) {
  for (auto dims : {std::array<long, 3>{0, 5, 5}, {5, 0, 5}, {5, 5, 0}, {0, 0, 0}}) {
    TypeParam array(dims[0], dims[1], dims[2]);
    EXPECT_EQ((std::array<int, 4>{array.m(), array.n(), array.o(), array.Length()}), (std::array<int, 4>{}));
    EXPECT_TRUE(array.IsEmpty());
    EXPECT_EQ(array.Pointer(), nullptr);
  }
}

TYPED_TEST(EveryArrayType, ElementsAreStoredColumnMajor) {
  ReportedMessages messages;
  TypeParam array(3, 2, 2);
  for (int p = 0; p < array.Length(); ++p) array.MutablePointer()[p] = typename TypeParam::Element(p);
  EXPECT_EQ(array(2, 1), 5);
  EXPECT_EQ(array(1, 1, 1), 1 + 1 * 3 + 1 * 6);
  EXPECT_EQ(array(7), 7);
  EXPECT_EQ(array.NotEmpty(), true);
  array(2, 1) = 9;
  EXPECT_EQ(array.Pointer()[5], 9);
  EXPECT_TRUE(messages.centre().empty());
  EXPECT_TRUE(messages.errorList().empty());
}

TYPED_TEST(EveryArrayType, HandlesShareUntilCopied) {
  TypeParam a(4);
  a = 1;
  typename TypeParam::ImmutableArray shared = a;
  auto copy = a.Copy();
  a(2) = 7;
  EXPECT_EQ(shared(2), 7);
  EXPECT_EQ(copy(2), 1);
  EXPECT_EQ(a.ReferenceCount(), 2);
  EXPECT_EQ(copy.ReferenceCount(), 1);
  EXPECT_TRUE(shared.SharesStorageWith(a));
  EXPECT_FALSE(copy.SharesStorageWith(a));
}

TYPED_TEST(EveryArrayType, AssignmentReleasesTheOldStorageAndSharesTheNew) {
  TypeParam a(2), b(3);
  TypeParam c = a;
  EXPECT_EQ(a.ReferenceCount(), 2);
  c = b;
  EXPECT_EQ(a.ReferenceCount(), 1);
  EXPECT_EQ(b.ReferenceCount(), 2);
  EXPECT_EQ(c.Length(), 3);
  c = c;  // to itself: nothing changes
  c = b;  // to a handle of the same storage: nothing changes
  EXPECT_EQ(b.ReferenceCount(), 2);
  {
    typename TypeParam::ImmutableArray d = c;
    EXPECT_EQ(b.ReferenceCount(), 3);
  }
  EXPECT_EQ(b.ReferenceCount(), 2);
}

TYPED_TEST(EveryArrayType, ReshapeKeepsTheElementsAndChecksTheLength) {
  ReportedMessages messages;
  auto a = TypeParam::WithValues({1, 2, 3, 4, 5, 6});
  typename TypeParam::ImmutableArray seen = a;
  a.Reshape(2, 3, 1);
  EXPECT_EQ(seen.m(), 2);  // the storage holds the shape, so every handle sees it
  EXPECT_EQ(seen(1, 2), 6);
  a.Reshape(4, 2, 1);
  EXPECT_EQ(a.m(), 2);
  EXPECT_EQ(a.n(), 3);
  a.ReshapeAsVector();
  EXPECT_EQ(a.m(), 6);
  EXPECT_EQ(a.n(), 1);
  std::string line = std::string("Internal error: ") + TypeParam::info.messageName + "::Reshape: Invalid new size.";
  EXPECT_EQ(messages.of<TypeParam>(), Lines{line});
}

TEST(LockedArrays, NegativeDimensionsAreReportedAndGiveTheEmptyArray) {
  ReportedMessages messages;
  MutableDoubleArray d(-3, 2, 1);
  MutableFloatArray f(2, -1, 4);
  MVMutableShortArray s(1, 1, -2);
  EXPECT_TRUE(d.IsEmpty());
  EXPECT_TRUE(f.IsEmpty());
  EXPECT_TRUE(s.IsEmpty());
  EXPECT_EQ(messages.centre(),
            (Lines{"DoubleArray(P,m,n,o): One of the dimensions is negative (m = -3,n = 2, o = 1)",
                   "FloatArray(P,m,n,o): One of the dimensions is negative (m = 2,n = -1, o = 4)",
                   "MVShortArray(P,m,n,o): One of the dimensions is negative (m = 1,n = 1, o = -2)"}));
}

TEST(MVArrays, NegativeDimensionsAreSilentlyTakenAsZero) {
  ReportedMessages messages;
  MVMutableDoubleArray d(-3, 2, 1);
  EXPECT_TRUE(d.IsEmpty());
  EXPECT_TRUE(messages.errorList().empty());
  EXPECT_TRUE(messages.centre().empty());
}

struct SizeLimitCase {
  const char* type;
  std::function<int(long, long, long)> make;  // gives the length
  long limit;
  const char* message;
};

class LockedSizeLimits : public ::testing::TestWithParam<SizeLimitCase> {};

template <class M>
std::function<int(long, long, long)> maker() {
  return [](long m, long n, long o) { return M(m, n, o).Length(); };
}

TEST_P(LockedSizeLimits, TheProductIsCheckedIn64BitsBeforeAllocating) {
  const auto& c = GetParam();
  ReportedMessages messages;
  EXPECT_EQ(c.make(c.limit + 1, 1, 1), 0);
  // 65536 * 65536 is 0 in 32-bit arithmetic and must not pass as empty.
  EXPECT_EQ(c.make(65536, 65536, 1), 0);
  EXPECT_EQ(c.make(1L << 40, 1L << 40, 1L << 40), 0);
  EXPECT_EQ(c.make(2, 3, 4), 24);
  EXPECT_EQ(messages.centre(), (Lines{c.message, c.message, c.message}));
}

INSTANTIATE_TEST_SUITE_P(EveryType, LockedSizeLimits,
                         ::testing::Values(SizeLimitCase{"Double", maker<MutableDoubleArray>(), 1L << 29,
                                                         "Max size of a double array (4GB) exceeded."},
                                           SizeLimitCase{"Float", maker<MutableFloatArray>(), 1L << 30,
                                                         "Max size of a float array (4GB) exceeded."},
                                           SizeLimitCase{"Int", maker<MutableIntArray>(), 1L << 30,
                                                         "Max size of a integer array (4GB) exceeded."},
                                           SizeLimitCase{"Character", maker<MutableCharacterArray>(),
                                                         1L << 30,
                                                         "Max size of a character array (1GB) exceeded."},
                                           SizeLimitCase{"UChar", maker<MutableUCharArray>(), 1L << 30,
                                                         "Max size of a char array (1GB) exceeded."},
                                           SizeLimitCase{"Short", maker<MVMutableShortArray>(), 1L << 29,
                                                         "Max size of a short int array (3GB) exceeded."},
                                           SizeLimitCase{"UShort", maker<MVMutableUShortArray>(), 1L << 29,
                                                         "Max size of a short int array (2GB) exceeded."}),
                         [](const auto& info) { return std::string(info.param.type); });

TEST(ArrayStorage, FailedAllocationIsReportedAndGivesTheEmptyArray) {
  ReportedMessages messages;
  setElementAllocationFailsForTesting(true);
  MutableDoubleArray locked(10);
  MVMutableFloatArray plain(3, 3);
  setElementAllocationFailsForTesting(false);
  EXPECT_TRUE(locked.IsEmpty());
  EXPECT_TRUE(plain.IsEmpty());
  EXPECT_EQ(messages.centre(), Lines{"Memory allocation failed"});
  EXPECT_EQ(messages.errorList(), Lines{"Memory allocation failed"});
}

TEST(LockedArrays, OutOfRangeAccessIsReportedAndLandsOnTheScratchElement) {
  ReportedMessages messages;
  auto a = MutableDoubleArray::WithValues({1, 2, 3, 4, 5, 6}, 3, 2);
  EXPECT_EQ(a(6), 0);
  EXPECT_EQ(a(3, 0), 0);
  EXPECT_EQ(a(0, 0, 1), 0);
  a(-1) = 42;  // lost: no element of the array changes
  EXPECT_EQ(a, MutableDoubleArray::WithValues({1, 2, 3, 4, 5, 6}, 3, 2));
  const IntArray empty;
  EXPECT_EQ(empty(0), 0);
  EXPECT_EQ(messages.centre(),
            (Lines{"DoubleArray(6) out of range [0,5].", "DoubleArray(3,0) out of range [0,2]x[0,1].",
                   "DoubleArray(0,0,1) out of range [0,2]x[0,1]x[0,0].",
                   "DoubleArray(-1) out of range [0,5].", "IntArray(0) out of range [0,-1]."}));
}

TEST(MVArrays, OutOfRangeAccessIsReportedAndGivesInvalidEntry) {
  ReportedMessages messages;
  auto a = MVMutableDoubleArray::WithValues({1, 2, 3, 4, 5, 6}, 3, 2);
  EXPECT_EQ(a(3, 0), 0);
  EXPECT_EQ(a(6), 0);
  EXPECT_EQ(a(0, 2, 0), 0);
  a(9) = 42;  // lost into the handle's invalidEntry
  EXPECT_EQ(a, MVMutableDoubleArray::WithValues({1, 2, 3, 4, 5, 6}, 3, 2));
  MVMutableIntArray ints(2);
  ints(5);
  EXPECT_EQ(messages.errorList(),
            (Lines{"MVDoubleArray(3,0) is not valid, needs to lie in [0,2]x[0,1].",
                   "MVDoubleArray(6) is not valid, needs to be lie in [0,5].",
                   "MVDoubleArray(0,2,0) is not valid, needs to lie in [0,2]x[0,1]x[0,0].",
                   "MVDoubleArray(9) is not valid, needs to be lie in [0,5].",
                   "MVIntArray(5) is not valid, needs to be lie in [0,1]."}));
}

TEST(MVArrays, CheckedReadWritesOutOfBoundsToStandardError) {
  ReportedMessages messages;
  auto a = MVMutableDoubleArray::WithValues({1, 2, 3, 4}, 2, 2);
  testing::internal::CaptureStderr();
  EXPECT_EQ(a.e(1, 1), 4);
  EXPECT_EQ(a.e(2, 0), 0);
  EXPECT_EQ(a.e(4), 0);
  EXPECT_EQ(a.e(0, 0, 1), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Out of bounds\nOut of bounds\nOut of bounds\n");
  EXPECT_TRUE(messages.errorList().empty());
}

TEST(MVArrays, StorageCountsHandlesAndMutableHandles) {
  MVMutableDoubleArray a(3);
  EXPECT_EQ(a.ReferenceCount(), 1);
  EXPECT_EQ(a.MutableReferences(), 1);
  {
    MVDoubleArray reader = a;
    EXPECT_EQ(a.ReferenceCount(), 2);
    EXPECT_EQ(a.MutableReferences(), 1);
    MVMutableDoubleArray writer = a;
    EXPECT_EQ(a.ReferenceCount(), 3);
    EXPECT_EQ(a.MutableReferences(), 2);
    MVMutableDoubleArray other(2);
    writer = other;
    EXPECT_EQ(a.ReferenceCount(), 2);
    EXPECT_EQ(a.MutableReferences(), 1);
    EXPECT_EQ(other.ReferenceCount(), 2);
    EXPECT_EQ(other.MutableReferences(), 2);
    reader = other;
    EXPECT_EQ(other.ReferenceCount(), 3);
    EXPECT_EQ(other.MutableReferences(), 2);
  }
  EXPECT_EQ(a.ReferenceCount(), 1);
  EXPECT_EQ(a.MutableReferences(), 1);
  MVDoubleArray plain;
  EXPECT_EQ(plain.ReferenceCount(), 1);
  EXPECT_EQ(plain.MutableReferences(), 0);
}

// A handle that can give up its storage before it is destroyed: the one way
// to have a destructor find no storage without undefined behaviour.
class ReleasedEarly : public DoubleArray {
 public:
  explicit ReleasedEarly(const DoubleArray& other) : DoubleArray(other) {}
  using DoubleArray::releaseStorage;
};

TEST(LockedArrays, DestroyingAHandleThatHoldsNoStorageIsReported) {
  ReportedMessages messages;
  MutableDoubleArray kept(4);
  {
    ReleasedEarly handle(kept);
    EXPECT_EQ(kept.ReferenceCount(), 2);
    handle.releaseStorage();
    EXPECT_EQ(kept.ReferenceCount(), 1);
    EXPECT_TRUE(messages.centre().empty());
  }
  EXPECT_EQ(kept.ReferenceCount(), 1);
  EXPECT_EQ(messages.centre(), Lines{"DoubleArray::~DoubleArray: Calling it twice"});
}

TEST(LockedArrays, AStorageSharedAndDroppedFromSeveralThreadsEndsAtTheRightCount) {
  MutableDoubleArray origin(1000);
  DoubleArray other = MutableDoubleArray(10);
  constexpr int kThreads = 4;
  constexpr int kRounds = 20000;
  std::vector<std::thread> threads;
  std::vector<std::vector<DoubleArray>> kept(kThreads);
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int r = 0; r < kRounds; ++r) {
        DoubleArray a = origin;
        DoubleArray b;
        b = a;
        b = other;
        a = b;
        if (r % 1000 == 0) kept[t].push_back(origin);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(origin.ReferenceCount(), 1 + kThreads * (kRounds / 1000));
  EXPECT_EQ(other.ReferenceCount(), 1);
  kept.clear();
  EXPECT_EQ(origin.ReferenceCount(), 1);
}

TEST(LockedArrays, ExtremesSkipNaNAndInfinities) {
  auto a = MutableDoubleArray::WithValues({kNaN, 2, -kInf, 5, kInf});
  EXPECT_EQ(a.Minimum(), 2);
  EXPECT_EQ(a.Maximum(), 5);
  EXPECT_EQ(a.IndexOfMinimumValue(), 1);
  EXPECT_EQ(a.IndexOfMaximumValue(), 3);
  double min = -1, max = -1;
  EXPECT_TRUE(a.calculateMinMax(min, max));
  EXPECT_EQ(min, 2);
  EXPECT_EQ(max, 5);
  EXPECT_TRUE(a.ContainsNonFiniteNumbers());

  auto none = MutableFloatArray::WithValues({float(kNaN), float(kInf)});
  float fmin = -1, fmax = -1;
  EXPECT_FALSE(none.calculateMinMax(fmin, fmax));
  EXPECT_EQ(fmin, 0);
  EXPECT_EQ(fmax, 0);
  EXPECT_EQ(none.Minimum(), 0);
  EXPECT_EQ(none.Maximum(), 0);
  EXPECT_EQ(none.IndexOfMinimumValue(), -1);
  EXPECT_FALSE(MutableDoubleArray::WithValues({1, 2}).ContainsNonFiniteNumbers());
}

TEST(MVArrays, ExtremesLetInfinitiesCountButNeverNaN) {
  auto a = MVMutableDoubleArray::WithValues({kNaN, 2, -kInf});
  EXPECT_EQ(Minimum(a), -kInf);
  EXPECT_EQ(Maximum(a), 2);
  auto onlyNaN = MVMutableFloatArray::WithValues({float(kNaN)});
  EXPECT_EQ(Minimum(onlyNaN), std::numeric_limits<float>::infinity());
  MVDoubleArray empty;
  EXPECT_EQ(Minimum(empty), kInf);
  EXPECT_EQ(Maximum(empty), -kInf);
}

TEST(ArrayQueries, IntegerQueriesCountAndWiden) {
  auto a = MutableIntArray::WithValues({4, -2, 7, 4, 0});
  EXPECT_TRUE(a.Contains(7));
  EXPECT_FALSE(a.Contains(5));
  EXPECT_EQ(a.Count(4), 2);
  EXPECT_EQ(a.Sum(), 13);
  int min = 99, max = 99;
  a.Range(min, max);
  EXPECT_EQ(min, -2);
  EXPECT_EQ(max, 7);
  IntArray empty;
  empty.Range(min, max);
  EXPECT_EQ(min, 0);
  EXPECT_EQ(max, 0);
  EXPECT_FALSE(empty.Contains(0));
  auto big = MutableIntArray::WithValues({2000000000, 2000000000});
  EXPECT_EQ(big.Sum(), 4000000000LL);  // no 32-bit wrap
  EXPECT_EQ(MVMutableDoubleArray::WithValues({3, 1, 3}).Find(3), 0);
  EXPECT_EQ(MVMutableDoubleArray::WithValues({3, 1, 3}).Find(2), -1);
}

TEST(ArrayQueries, EqualityNeedsEqualDimensionsAndNeverHoldsWithNaN) {
  auto a = MutableDoubleArray::WithValues({1, 2, 3, 4}, 2, 2);
  EXPECT_EQ(a, a.Copy());
  EXPECT_NE(a, MutableDoubleArray::WithValues({1, 2, 3, 4}, 4, 1));
  auto withNaN = MVMutableDoubleArray::WithValues({1, kNaN});
  EXPECT_NE(withNaN, withNaN);
  EXPECT_EQ(MVDoubleArray(), MVMutableDoubleArray(0, 3));
}

TEST(MVList, OutOfRangeIsReportedAndGivesAScratchElement) {
  ReportedMessages messages;
  MVMutableList<std::string> list(3);
  list(1) = "b";
  MVList<std::string> shared = list;
  EXPECT_EQ(shared(1), "b");
  EXPECT_EQ(shared.Length(), 3);
  list(3) = "lost";
  auto copy = list.Copy();
  copy(0) = "a";
  EXPECT_EQ(list(0), "");
  EXPECT_EQ(messages.errorList(), (Lines{"MVList<T>(3) is not valid, needs to be lie in [0,2]."}));
}

TEST(MVArraySortingPair, IsOrderedByValueAlone) {
  MVArraySortingPair a{1.0, 7}, b{2.0, 3}, c{1.0, 2};
  EXPECT_TRUE(a < b);
  EXPECT_FALSE(a < c);
  EXPECT_FALSE(c < a);
}

}  // namespace
