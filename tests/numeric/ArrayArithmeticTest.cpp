// Element-wise arithmetic of both families: the size rule and its messages,
// the number forms, and IEEE behaviour without checks.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "NumericTestSupport.h"
#include "numeric/LockedArrays.h"
#include "numeric/MVArrays.h"

using namespace orrelin;
using testing_support::Lines;
using testing_support::ReportedMessages;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

template <class M>
std::vector<typename M::Element> elements(const M& array) {
  return {array.Pointer(), array.Pointer() + array.Length()};
}

struct MismatchCase {
  const char* name;
  std::function<long()> run;  // gives the length of the result, or of A for the in-place forms
  const char* line;
  bool toCentre;
};

template <class M>
M column() {
  return M::WithValues({1, 2, 3}, 3, 1);
}
template <class M>
M row() {
  return M::WithValues({1, 2, 3}, 1, 3);
}

class ArithmeticMismatch : public ::testing::TestWithParam<MismatchCase> {};

TEST_P(ArithmeticMismatch, ReportsAndLeavesNothingChanged) {
  ReportedMessages messages;
  EXPECT_EQ(GetParam().run(), GetParam().line[0] == 'A' || GetParam().line[0] == 'M' ? 3 : 0);
  auto lines = GetParam().toCentre ? messages.centre() : messages.errorList();
  EXPECT_EQ(lines, Lines{GetParam().line});
}

template <class M, class Op>
std::function<long()> binary(Op op) {
  return [op] { return long(op(column<M>(), row<M>()).Length()); };
}
template <class M, class Op>
std::function<long()> inPlace(Op op) {
  return [op] {
    M a = column<M>();
    op(a, row<M>());
    EXPECT_EQ(elements(a), (std::vector<typename M::Element>{1, 2, 3}));
    return long(a.Length());
  };
}

using PD = MVMutableDoubleArray;
using PF = MVMutableFloatArray;
using LD = MutableDoubleArray;
using LF = MutableFloatArray;

INSTANTIATE_TEST_SUITE_P(
    EveryOperator, ArithmeticMismatch,
    ::testing::Values(MismatchCase{"PlainAdd", binary<PD>(std::plus<>()),
                                   "DoubleArray+DoubleArray: Incompatible sizes.", false},
                      MismatchCase{"PlainSubtract", binary<PD>(std::minus<>()),
                                   "DoubleArray-DoubleArray: Incompatible sizes.", false},
                      MismatchCase{"PlainMultiply", binary<PD>(std::multiplies<>()),
                                   "DoubleArray*DoubleArray: Incompatible sizes.", false},
                      MismatchCase{"PlainDivide", binary<PD>(std::divides<>()),
                                   "DoubleArray/DoubleArray: Incompatible sizes.", false},
                      MismatchCase{"PlainFloatAdd", binary<PF>(std::plus<>()),
                                   "FloatArray+FloatArray: Incompatible sizes.", false},
                      MismatchCase{"PlainPlusEquals", inPlace<PD>([](auto& a, const auto& b) { a += b; }),
                                   "A+=B: Incompatible sizes.", false},
                      MismatchCase{"PlainMinusEquals", inPlace<PD>([](auto& a, const auto& b) { a -= b; }),
                                   "A-=B: Incompatible sizes.", false},
                      MismatchCase{"PlainTimesEquals", inPlace<PF>([](auto& a, const auto& b) { a *= b; }),
                                   "A*=B: Incompatible sizes.", false},
                      MismatchCase{"PlainDivideEquals", inPlace<PD>([](auto& a, const auto& b) { a /= b; }),
                                   "A/=B: Incompatible sizes.", false},
                      MismatchCase{"LockedAdd", binary<LD>(std::plus<>()),
                                   "DoubleArray+DoubleArray: Arrays have to have the same size.", true},
                      MismatchCase{"LockedSubtract", binary<LD>(std::minus<>()),
                                   "DoubleArray-DoubleArray: Arrays have to have the same size.", true},
                      MismatchCase{"LockedMultiply", binary<LD>(std::multiplies<>()),
                                   "DoubleArray*DoubleArray: Arrays have to have the same size.", true},
                      MismatchCase{"LockedDivide", binary<LF>(std::divides<>()),
                                   "FloatArray/FloatArray: Arrays have to have the same size.", true},
                      MismatchCase{"LockedPlusEquals", inPlace<LD>([](auto& a, const auto& b) { a += b; }),
                                   "MutableDoubleArray::operator+=: Array has incorrect size.", true},
                      MismatchCase{"LockedDivideEquals", inPlace<LF>([](auto& a, const auto& b) { a /= b; }),
                                   "MutableFloatArray::operator/=: Array has incorrect size.", true},
                      MismatchCase{"LockedAddTimesNumber",
                                   inPlace<LD>([](auto& a, const auto& b) { a.AddArrayTimesNumber(b, 2); }),
                                   "MutableDoubleArray::SubtractArrayTimesNumber: Array has incorrect size.",
                                   true}),
    [](const auto& info) { return std::string(info.param.name); });

template <class M>
class Arithmetic : public ::testing::Test {};
using FloatingTypes =
    ::testing::Types<MVMutableDoubleArray, MVMutableFloatArray, MutableDoubleArray, MutableFloatArray>;
TYPED_TEST_SUITE(Arithmetic, FloatingTypes);

TYPED_TEST(Arithmetic, ArrayWithArrayIsElementWiseIntoANewArray) {
  using T = typename TypeParam::Element;
  auto a = TypeParam::WithValues({1, 2, 3, 4, 5, 6}, 2, 3);
  auto b = TypeParam::WithValues({6, 5, 4, 3, 2, 1}, 2, 3);
  typename TypeParam::ImmutableArray constB = b;
  auto sum = a + constB;
  EXPECT_EQ(sum.m(), 2);
  EXPECT_EQ(sum.n(), 3);
  EXPECT_EQ(elements(sum), (std::vector<T>{7, 7, 7, 7, 7, 7}));
  EXPECT_EQ(elements(a - b), (std::vector<T>{-5, -3, -1, 1, 3, 5}));
  EXPECT_EQ(elements(a * b), (std::vector<T>{6, 10, 12, 12, 10, 6}));
  EXPECT_EQ(elements(b / a), (std::vector<T>{6, T(5) / 2, T(4) / 3, T(3) / 4, T(2) / 5, T(1) / 6}));
  EXPECT_EQ(elements(a), (std::vector<T>{1, 2, 3, 4, 5, 6}));  // arguments unchanged
  EXPECT_TRUE((TypeParam() + TypeParam()).IsEmpty());
  auto c = a.Copy();
  c += b;
  c -= a;
  c *= a;
  c /= b;
  EXPECT_EQ(elements(c), elements(a));
  c += c;  // the same array on both sides
  EXPECT_EQ(elements(c), (std::vector<T>{2, 4, 6, 8, 10, 12}));
}

TYPED_TEST(Arithmetic, NumbersInBothOrders) {
  using T = typename TypeParam::Element;
  auto a = TypeParam::WithValues({1, 5, 7, 10});
  EXPECT_EQ(elements(a + T(2)), (std::vector<T>{3, 7, 9, 12}));
  EXPECT_EQ(elements(T(2) + a), (std::vector<T>{3, 7, 9, 12}));
  EXPECT_EQ(elements(T(2) - a), (std::vector<T>{1, -3, -5, -8}));
  EXPECT_EQ(elements(a * T(3)), (std::vector<T>{3, 15, 21, 30}));
  EXPECT_EQ(elements(T(3) * a), (std::vector<T>{3, 15, 21, 30}));
  EXPECT_EQ(elements(T(10) / a), (std::vector<T>{10, 2, T(10) / 7, 1}));
  EXPECT_EQ(elements(-a), (std::vector<T>{-1, -5, -7, -10}));
  // Division by a number multiplies by its reciprocal, which is not always
  // the same as dividing.
  T x = 3;
  auto divided = a / x;
  bool someDiffer = false;
  for (long p = 0; p < a.Length(); ++p) {
    EXPECT_EQ(divided(p), a(p) * (T(1) / x));
    someDiffer |= divided(p) != a(p) / x;
  }
  EXPECT_TRUE(someDiffer);
  auto b = a.Copy();
  b /= x;
  EXPECT_EQ(elements(b), elements(divided));
  b = a.Copy();
  b -= T(0.1);
  EXPECT_EQ(elements(b), elements(a + T(-0.1)));
  b *= T(2);
  b += T(1);
  EXPECT_EQ(b(0), (T(1) + T(-0.1)) * 2 + 1);
}

TYPED_TEST(Arithmetic, NothingIsCheckedSoInfinitiesAndNaNPropagate) {
  using T = typename TypeParam::Element;
  auto a = TypeParam::WithValues({1, 0, -1, 2});
  auto zeros = TypeParam::WithValues({0, 0, 0, 1});
  auto q = a / zeros;
  EXPECT_EQ(q(0), std::numeric_limits<T>::infinity());
  EXPECT_TRUE(std::isnan(q(1)));
  EXPECT_EQ(q(2), -std::numeric_limits<T>::infinity());
  auto r = q * T(0) + T(1);
  for (long p = 0; p < 3; ++p) EXPECT_TRUE(std::isnan(r(p)));
  EXPECT_EQ(r(3), 1);
  EXPECT_EQ((T(1) / zeros)(0), std::numeric_limits<T>::infinity());
}

TEST(Arithmetic, AddArrayTimesNumberAddsAMultipleInPlace) {
  auto a = MutableDoubleArray::WithValues({1, 2, 3});
  a.AddArrayTimesNumber(MutableDoubleArray::WithValues({1, -1, kInf}), 2);
  EXPECT_EQ(elements(a), (std::vector<double>{3, 0, kInf}));
}

}  // namespace
