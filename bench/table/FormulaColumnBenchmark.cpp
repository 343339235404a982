// A formula column over two columns of 10^7 rows, sin(x)*exp(-y/10)+x^2 (the
// formula of the formula library's column benchmark):
//   LibraryColumnEvaluation  the formula library evaluating the same arrays
//                            directly, the floor for the column;
//   FirstComputation         the column computing (its key, the evaluation,
//                            the mask of both columns, storing the result);
//   ReadWithNothingChanged   reading the values again;
//   ReadAfterANoticeOnly     reading after a change notice that changed
//                            nothing, so only the key is built and compared.
// Each reports how many evaluations the column made in its loop.
//
//   make bench && build-bench/bin/table_formula_column_benchmark

#include <benchmark/benchmark.h>

#include "expression/KRExpression.h"
#include "support/Linspace.h"
#include "table/DataDocumentTable.h"
#include "table/VKDataColumnBinary.h"
#include "table/VKDataColumnExpression.h"

using namespace orrelin;
using bench_support::linspace;

namespace {

constexpr long kRows = 10000000;
constexpr const char* kFormula = "sin(x)*exp(-y/10)+x^2";

std::shared_ptr<KRUCharArrayContainer> allValid(long n) {
  auto mask = KRUCharArrayContainer::createArrayOfLength(n);
  mask->setAllValues(1);
  return mask;
}

// One table for every benchmark: x, y and the formula column.
struct Fixture {
  Fixture() : table(DataDocumentTable::create()) {
    x = VKDataColumnBinary::createEmptyFor();
    x->setName("x");
    x->adoptNumbers(linspace(0, 100, kRows), allValid(kRows));
    y = VKDataColumnBinary::createEmptyFor();
    y->setName("y");
    y->adoptNumbers(linspace(-50, 50, kRows), allValid(kRows));
    formula = VKDataColumnExpression::createEmptyFor();
    formula->setName("f");
    table->insertColumn(x, 1);
    table->insertColumn(y, 2);
    table->insertColumn(formula, 3);
    formula->setExpressionString(kFormula);
  }
  std::shared_ptr<DataDocumentTable> table;
  std::shared_ptr<VKDataColumnBinary> x, y;
  std::shared_ptr<VKDataColumnExpression> formula;
};

Fixture& fixture() {
  static Fixture shared;
  return shared;
}

void LibraryColumnEvaluation(benchmark::State& state) {
  auto& f = fixture();
  auto expression = KRExpression::createFromString(kFormula);
  const std::map<std::string, KRValue, std::less<>> arguments{{"x", KRValue::array(f.x->numberVersion())},
                                                              {"y", KRValue::array(f.y->numberVersion())}};
  for (auto _ : state) {
    auto value = expression->evaluateWithArguments(arguments, kRows);
    benchmark::DoNotOptimize(value);
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

void FirstComputation(benchmark::State& state) {
  auto& f = fixture();
  const long before = f.formula->numberOfComputations();
  for (auto _ : state) {
    f.formula->recomputeAll();
    benchmark::DoNotOptimize(f.formula->numberVersion());
  }
  state.SetItemsProcessed(state.iterations() * kRows);
  state.counters["evaluations"] = double(f.formula->numberOfComputations() - before);
  if (f.formula->howManyEntries() != kRows) state.SkipWithError(f.formula->errorMessage().c_str());
}

void ReadWithNothingChanged(benchmark::State& state) {
  auto& f = fixture();
  f.formula->numberVersion();
  const long before = f.formula->numberOfComputations();
  for (auto _ : state) benchmark::DoNotOptimize(f.formula->numberVersion());
  state.counters["evaluations"] = double(f.formula->numberOfComputations() - before);
}

void ReadAfterANoticeOnly(benchmark::State& state) {
  auto& f = fixture();
  f.formula->numberVersion();
  const long before = f.formula->numberOfComputations();
  for (auto _ : state) {
    f.x->thisControllerChanged();
    benchmark::DoNotOptimize(f.formula->numberVersion());
  }
  state.counters["evaluations"] = double(f.formula->numberOfComputations() - before);
}

}  // namespace

BENCHMARK(LibraryColumnEvaluation)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(FirstComputation)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(ReadWithNothingChanged)->Unit(benchmark::kNanosecond);
BENCHMARK(ReadAfterANoticeOnly)->Unit(benchmark::kNanosecond);

BENCHMARK_MAIN();
