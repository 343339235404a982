#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>
#include <thread>
#include <vector>

#include "expression/KRExpression.h"
#include "numeric/KRDoubleArrayContainer.h"
#include "numeric/KRFloatArrayContainer.h"

using namespace orrelin;

namespace {

std::shared_ptr<KRDoubleArrayContainer> ramp(std::size_t n, double start, double step) {
  auto array = KRDoubleArrayContainer::createArrayOfLength(static_cast<long>(n));
  double* data = array->mutableDoublePointer();
  for (std::size_t k = 0; k < n; ++k) data[k] = start + step * static_cast<double>(k);
  return array;
}

const double* dataOf(const std::optional<KRValue>& value) {
  return value && value->arrayContainer() ? value->arrayContainer()->constDoublePointer() : nullptr;
}

class CountingProgress final : public KRExpressionProgress {
 public:
  explicit CountingProgress(int abortAfter = -1) : abortAfter_(abortAfter) {}
  void setFractionDone(double fraction) override { fractions.push_back(fraction); }
  bool userAborted() override { return abortAfter_ >= 0 && static_cast<int>(fractions.size()) >= abortAfter_; }
  std::vector<double> fractions;

 private:
  int abortAfter_;
};

TEST(ColumnEvaluation, BlocksGiveEveryElementAsAlone) {
  // Long enough for many blocks and several threads; the lengths differ.
  const std::size_t n = 100003;
  auto x = ramp(n, -3, 0.001);
  auto y = ramp(n - 11, 5, -0.002);
  auto e = KRExpression::createFromString("sin(x)*exp(-y/10)+x^2+a*max(x,y)-mod(x,0.3)/angle(y,1)+signswitch(x,1,y)");
  CountingProgress progress;
  KRExpressionEvaluationErrorHandler errors;
  auto column = e->evaluateWithArguments({{"x", KRValue::array(x)}, {"y", KRValue::array(y)}, {"a", 2.0}}, -1, &progress, &errors);
  ASSERT_TRUE(column && column->arrayContainer()) << errors.errorString();
  ASSERT_EQ(column->arrayContainer()->length(), static_cast<long>(n - 11));
  const double* out = dataOf(column);
  for (std::size_t k = 0; k < n - 11; k += 997) {
    const double xv = x->valueAtIndex(long(k)), yv = y->valueAtIndex(long(k));
    const auto expected = e->evaluateNumberWithArguments({{"x", xv}, {"y", yv}, {"a", 2}});
    ASSERT_TRUE(expected);
    EXPECT_EQ(out[k], *expected) << k;
  }
  ASSERT_FALSE(progress.fractions.empty());
  EXPECT_EQ(progress.fractions.back(), 1.0);
  for (std::size_t k = 1; k < progress.fractions.size(); ++k) EXPECT_GE(progress.fractions[k], progress.fractions[k - 1]);
  EXPECT_EQ(errors.errorString(), "No error.");
}

// Runs the helper calls on threads of its own, beside the caller.
class ThreadWorkers final : public KRExpressionWorkers {
 public:
  unsigned helperCount() const override { return 3; }
  void runAlongside(const std::vector<std::function<void()>>& helpers, const std::function<void()>& own) override {
    ++calls;
    std::vector<std::thread> threads;
    for (const auto& helper : helpers) threads.emplace_back(helper);
    own();
    for (auto& thread : threads) thread.join();
  }
  int calls = 0;
};

class ThreadRecordingProgress final : public KRExpressionProgress {
 public:
  void setFractionDone(double) override { threads.insert(std::this_thread::get_id()); }
  bool userAborted() override { return false; }
  std::set<std::thread::id> threads;
};

TEST(ColumnEvaluation, WorkersShareTheBlocksWhileProgressStaysWithTheCaller) {
  const std::size_t n = 200000;
  auto x = ramp(n, -5, 0.0001);
  auto e = KRExpression::createFromString("sin(x)*x^2 - mod(x,0.7)");
  const auto alone = e->evaluateWithArguments({{"x", KRValue::array(x)}}, -1);
  ThreadWorkers workers;
  ThreadRecordingProgress progress;
  const auto shared = e->evaluateWithArguments({{"x", KRValue::array(x)}}, -1, &progress, nullptr, nullptr, &workers);
  ASSERT_TRUE(dataOf(alone) && dataOf(shared));
  EXPECT_EQ(workers.calls, 1);
  EXPECT_TRUE(std::equal(dataOf(alone), dataOf(alone) + n, dataOf(shared)));
  EXPECT_EQ(progress.threads, std::set<std::thread::id>{std::this_thread::get_id()});
}

TEST(ColumnEvaluation, GeneralEvaluatorPathsAgreeWithSingleValues) {
  const std::size_t n = 40000;
  auto x = ramp(n, 0, 1);
  KRFunctionDictionary functions;
  functions["f"] = KRUserFunction::withExpression(KRExpression::createFromString("a^2+1"), {"a"});
  for (const char* formula : {"fact(mod(x,20))", "seconds(2000,1,1,0,0,x)", "f(x)/3", "norm(x,3)"}) {
    auto e = KRExpression::createFromString(formula, &functions, nullptr);
    ASSERT_TRUE(e) << formula;
    auto column = e->evaluateWithArguments({{"x", KRValue::array(x)}}, -1, nullptr, nullptr, &functions);
    ASSERT_TRUE(dataOf(column)) << formula;
    for (std::size_t k = 0; k < n; k += 1234) {
      KRExpressionArgument one({{"x", double(k)}}, &functions);
      auto expected = e->evaluateWithArguments(one);
      ASSERT_TRUE(expected && expected->isNumber()) << formula;
      EXPECT_EQ(dataOf(column)[k], expected->number()) << formula << " at " << k;
    }
  }
}

TEST(ColumnEvaluation, LengthIsTheShortestArrayCappedByTheMaximum) {
  auto x = ramp(10, 1, 1);
  auto y = ramp(7, 1, 1);
  auto e = KRExpression::createFromString("x+y");
  EXPECT_EQ(e->evaluateWithArguments({{"x", KRValue::array(x)}, {"y", KRValue::array(y)}}, -1)->arrayContainer()->length(), 7);
  EXPECT_EQ(e->evaluateWithArguments({{"x", KRValue::array(x)}, {"y", KRValue::array(y)}}, 5)->arrayContainer()->length(), 5);
  // Without arrays the formula is worked out once, to a number.
  auto once = e->evaluateWithArguments({{"x", 2.0}, {"y", 3.0}}, -1);
  ASSERT_TRUE(once && once->isNumber());
  EXPECT_EQ(once->number(), 5);
  // A constant over a column fills it.
  auto constant = KRExpression::createFromString("x*0+4")->evaluateWithArguments({{"x", KRValue::array(x)}}, -1);
  EXPECT_EQ(dataOf(constant)[9], 4);
  // Lists of columns are worked out whole.
  auto list = KRExpression::createFromString("(x,2x)")->evaluateWithArguments({{"x", KRValue::array(x)}}, -1);
  ASSERT_TRUE(list && list->listEntries());
  EXPECT_EQ(dataOf((*list->listEntries())[1])[9], 20);
}

TEST(ColumnEvaluation, AbortStopsBetweenBlocksAndGivesNothing) {
  auto x = ramp(2000000, 0, 1);
  CountingProgress progress(2);
  KRExpressionEvaluationErrorHandler errors;
  auto column = KRExpression::createFromString("sqrt(x)+1")->evaluateWithArguments({{"x", KRValue::array(x)}}, -1, &progress, &errors);
  EXPECT_FALSE(column);
  EXPECT_EQ(errors.errorString(), "The computation was stopped");
  EXPECT_GE(progress.fractions.size(), 2u);
  EXPECT_LT(progress.fractions.back(), 1.0);
}

TEST(ColumnEvaluation, FailuresAndUnknownNames) {
  auto x = ramp(50000, 0, 1);
  KRExpressionEvaluationErrorHandler errors;
  EXPECT_FALSE(KRExpression::createFromString("x+z")->evaluateWithArguments({{"x", KRValue::array(x)}}, -1, nullptr, &errors));
  EXPECT_EQ(errors.errorString(), "The argument to an operator is nil");
  EXPECT_FALSE(KRExpression::createFromString("z")->evaluateWithArguments({{"x", KRValue::array(x)}}, -1, nullptr, &errors));
  EXPECT_EQ(errors.errorString(), "Unknown argument (z)");
  EXPECT_FALSE(KRExpression::createFromString("()")->evaluateWithArguments({{"x", KRValue::array(x)}}, -1, nullptr, &errors));
  EXPECT_EQ(errors.errorString(), "The expression is empty");
}

TEST(ColumnEvaluation, ASubscriptedArrayGivenAsAnArgumentIsKeptWholeAndDoesNotLimitTheLength) {
  KRFunctionDictionary functions;
  functions["v"] = KRUserFunction::subscripted();
  auto e = KRExpression::createFromString("v(i)+x", &functions, nullptr);
  ASSERT_TRUE(e);
  auto v = ramp(5, 10, 10);  // 10, 20, ..., 50
  const std::size_t n = 50000;  // many blocks, each picking from all of v
  auto i = KRDoubleArrayContainer::createArrayOfLength(long(n));
  for (std::size_t k = 0; k < n; ++k) i->setValue(double(5 - k % 5), long(k));
  auto x = ramp(n + 7, 0, 0);
  KRExpressionEvaluationErrorHandler errors;
  auto column = e->evaluateWithArguments({{"v", KRValue::array(v)}, {"i", KRValue::array(i)}, {"x", KRValue::array(x)}},
                                         -1, nullptr, &errors);
  ASSERT_TRUE(dataOf(column)) << errors.errorString();
  ASSERT_EQ(column->arrayContainer()->length(), long(n));
  for (std::size_t k = 0; k < n; k += 4999) EXPECT_EQ(dataOf(column)[k], 10.0 * double(5 - k % 5)) << k;
  EXPECT_FALSE(errors.hasSubscriptError()) << errors.errorString();

  // Alone with a number it is worked out once.
  auto once = KRExpression::createFromString("v(j)", &functions, nullptr)
                  ->evaluateWithArguments({{"v", KRValue::array(v)}, {"j", 4.0}}, -1);
  ASSERT_TRUE(once && once->isNumber());
  EXPECT_EQ(once->number(), 40);
}

TEST(ColumnEvaluation, FloatColumnsCountAsTheirDoubleValues) {
  const long n = 40000;
  auto floats = KRFloatArrayContainer::createArrayOfLength(n);
  auto doubles = KRDoubleArrayContainer::createArrayOfLength(n);
  for (long k = 0; k < n; ++k) {
    floats->setValue(float(k) * 0.37f - 5000.5f, k);
    doubles->setValue(double(floats->valueAtIndex(k)), k);
  }
  auto index = ramp(std::size_t(n), 1, 0);
  KRFunctionDictionary functions;
  functions["f"] = KRUserFunction::withExpression(KRExpression::createFromString("a^2+1"), {"a"});
  functions["v"] = KRUserFunction::subscripted();
  // Compiled blocks (one name used twice), blocks of the general evaluator,
  // the whole length at once, and a subscripted float array.
  for (const char* formula : {"sin(x)*x+x^2", "x", "fact(mod(floor(abs(x)),20))+x", "f(x)/3", "v(i)+x"}) {
    auto e = KRExpression::createFromString(formula, &functions, nullptr);
    ASSERT_TRUE(e) << formula;
    auto fromFloats = e->evaluateWithArguments(
        {{"x", KRValue::array(floats)}, {"v", KRValue::array(floats)}, {"i", KRValue::array(index)}}, -1, nullptr, nullptr,
        &functions);
    auto fromDoubles = e->evaluateWithArguments(
        {{"x", KRValue::array(doubles)}, {"v", KRValue::array(doubles)}, {"i", KRValue::array(index)}}, -1, nullptr,
        nullptr, &functions);
    ASSERT_TRUE(dataOf(fromFloats) && dataOf(fromDoubles)) << formula;
    ASSERT_EQ(fromFloats->arrayContainer()->length(), n) << formula;
    for (long k = 0; k < n; k += 997) EXPECT_EQ(dataOf(fromFloats)[k], dataOf(fromDoubles)[k]) << formula << " at " << k;
  }
  // Outside column evaluation too.
  auto plain = KRExpression::createFromString("2*x")->evaluateWithArguments({{"x", KRValue::array(floats)}});
  ASSERT_TRUE(dataOf(plain));
  EXPECT_EQ(dataOf(plain)[n - 1], 2 * doubles->valueAtIndex(n - 1));
}

}  // namespace
