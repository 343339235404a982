// Parsing speed: 100,000 formulas of 10 to 40 tokens, made from a fixed
// seed so every run parses the same text. Reported as tokens per second;
// the goal is at least one million on one core.

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "expression/KRExpression.h"

using namespace orrelin;

namespace {

class FormulaMaker {
 public:
  explicit FormulaMaker(unsigned seed) : random_(seed) {}

  // A formula of typical shape: names, numbers, calls, brackets, powers.
  std::string make() {
    std::string text;
    const int terms = pick(2, 6);
    for (int k = 0; k < terms; ++k) {
      if (k) text += choose({"+", "-", "*", "/"});
      text += term();
    }
    return text;
  }

 private:
  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  const char* choose(std::initializer_list<const char*> options) {
    return options.begin()[pick(0, static_cast<int>(options.size()) - 1)];
  }
  std::string leaf() {
    switch (pick(0, 3)) {
      case 0: return choose({"x", "y", "amplitude", "t0", "pi"});
      case 1: return std::to_string(pick(1, 999));
      case 2: return std::to_string(pick(0, 99)) + "." + std::to_string(pick(0, 999));
      default: return std::to_string(pick(1, 9)) + "e-" + std::to_string(pick(1, 9));
    }
  }
  std::string term() {
    switch (pick(0, 4)) {
      case 0: return leaf();
      case 1: return leaf() + "^" + std::to_string(pick(2, 3));
      case 2: return std::string(choose({"sin", "exp", "sqrt", "log", "abs"})).append("(").append(leaf()).append("*").append(leaf()).append(")");
      case 3: return std::string("(").append(leaf()).append(choose({"+", "-"})).append(leaf()).append(")");
      default: return std::string("max(").append(leaf()).append(",").append(leaf()).append(")");
    }
  }
  std::mt19937 random_;
};

struct Corpus {
  std::vector<std::string> formulas;
  std::size_t tokens = 0;
};

const Corpus& corpus() {
  static const Corpus made = [] {
    Corpus c;
    FormulaMaker maker(20240601);
    while (c.formulas.size() < 100000) {
      std::string formula = maker.make();
      const auto tokens = KRExpression::splitIntoTokens(formula);
      if (!tokens || tokens->size() < 10 || tokens->size() > 40) continue;
      c.tokens += tokens->size();
      c.formulas.push_back(std::move(formula));
    }
    return c;
  }();
  return made;
}

void BM_ParseFormulas(benchmark::State& state) {
  const Corpus& c = corpus();
  std::size_t parsed = 0;
  for (auto _ : state) {
    for (const auto& formula : c.formulas) {
      auto e = KRExpression::createFromString(formula);
      parsed += e ? 1 : 0;
      benchmark::DoNotOptimize(e);
    }
  }
  if (parsed != c.formulas.size() * state.iterations()) state.SkipWithError("a formula did not parse");
  state.counters["tokens/s"] =
      benchmark::Counter(static_cast<double>(c.tokens) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["formulas"] = static_cast<double>(c.formulas.size());
  state.counters["tokens"] = static_cast<double>(c.tokens);
}
BENCHMARK(BM_ParseFormulas)->Unit(benchmark::kMillisecond);

void BM_TokenizeFormulas(benchmark::State& state) {
  const Corpus& c = corpus();
  for (auto _ : state)
    for (const auto& formula : c.formulas) benchmark::DoNotOptimize(KRExpression::splitIntoTokens(formula));
  state.counters["tokens/s"] =
      benchmark::Counter(static_cast<double>(c.tokens) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TokenizeFormulas)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
