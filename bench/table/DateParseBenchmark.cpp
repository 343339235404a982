// Reading date entries into time values: a numeric pattern (read by the
// shortcut) and one with month names (read by ICU), on one thread and
// shared among the processors.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/DateFormatting.h"
#include "table/VKDataColumnDate.h"

using namespace orrelin;

namespace {

std::vector<std::string> entries(const char* pattern, long count) {
  const auto formatter = DateFormatter::withPattern(pattern, "en_US");
  std::vector<std::string> texts;
  for (long k = 0; k < count; ++k) texts.push_back(formatter->format(-631152000.0 + double((k * 2654435761L) % 3155760000L)));
  return texts;
}

void parse(benchmark::State& state, const char* pattern) {
  const auto texts = entries(pattern, state.range(0));
  const PlistDictionary format{{"ICU Format", pattern}};
  for (auto _ : state) benchmark::DoNotOptimize(VKDataColumnDate::parseStrings(texts, format));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void NumericPattern(benchmark::State& state) { parse(state, "yyyy-MM-dd HH:mm:ss"); }
void MonthNames(benchmark::State& state) { parse(state, "d MMM yyyy HH:mm:ss"); }

}  // namespace

// Below and above the length from which the work is shared.
BENCHMARK(NumericPattern)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(MonthNames)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
