// Number writing against the C library's "%.6g" on the same values, and the
// time to compute a whole linear axis (ticks and labels). Date axes: many
// axes over ranges from a second to 500 years, and one long axis of daily
// ticks over two years, against the C library's gmtime_r and strftime writing a day label
// for as many ticks.
//
//   build-bench/bin/ticks_benchmark --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "axes/ticks/KRAxis.h"
#include "axes/ticks/KRNumberFormatter.h"
#include "axes/ticks/LinearTicks.h"
#include "axes/ticks/VKDateAxis.h"

using namespace orrelin;

namespace {

constexpr std::size_t kNumbers = 1000000;
constexpr std::size_t kAxes = 100000;

// Values as tables and legends hold them: magnitudes from 1e-12 to 1e12,
// either sign, full-precision mantissas.
const std::vector<double>& numbers() {
  static const std::vector<double> values = [] {
    std::mt19937_64 engine(1);
    std::uniform_real_distribution<double> exponent(-12, 12);
    std::vector<double> result(kNumbers);
    for (auto& value : result) value = std::pow(10.0, exponent(engine)) * (engine() & 1 ? -1 : 1);
    return result;
  }();
  return values;
}

struct Range {
  double min, max, length;
};

// Data ranges as graphs have them: any offset and width, 100 to 1000 points.
const std::vector<Range>& ranges() {
  static const std::vector<Range> values = [] {
    std::mt19937_64 engine(2);
    std::uniform_real_distribution<double> exponent(-6, 6), offset(-1, 1), length(100, 1000);
    std::vector<Range> result(kAxes);
    for (auto& range : result) {
      double width = std::pow(10.0, exponent(engine));
      double min = offset(engine) * width * 3;
      range = {min, min + width, length(engine)};
    }
    return result;
  }();
  return values;
}

void ConvertNumber(benchmark::State& state) {
  auto formatter = KRNumberFormatter::createWithSignificantDigits(6, false);
  std::string text;
  for (auto _ : state) {
    for (double value : numbers()) {
      text.clear();
      formatter.appendNumber(text, value);
      benchmark::DoNotOptimize(text.data());
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kNumbers));
}
BENCHMARK(ConvertNumber)->Unit(benchmark::kMillisecond);

void ConvertNumberToNewText(benchmark::State& state) {
  auto formatter = KRNumberFormatter::createWithSignificantDigits(6, false);
  for (auto _ : state) {
    for (double value : numbers()) benchmark::DoNotOptimize(formatter.convertNumber(value));
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kNumbers));
}
BENCHMARK(ConvertNumberToNewText)->Unit(benchmark::kMillisecond);

void SnprintfG6(benchmark::State& state) {
  char text[32];
  for (auto _ : state) {
    for (double value : numbers()) {
      std::snprintf(text, sizeof text, "%.6g", value);
      benchmark::DoNotOptimize(text);
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kNumbers));
}
BENCHMARK(SnprintfG6)->Unit(benchmark::kMillisecond);

void LinearAxisWithLabels(benchmark::State& state) {
  for (auto _ : state) {
    for (const auto& range : ranges())
      benchmark::DoNotOptimize(KRAxis::linearAxisWithMin(range.min, range.max, range.length, 50, 10));
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kAxes));
}
BENCHMARK(LinearAxisWithLabels)->Unit(benchmark::kMillisecond);

void LinearTickValuesOnly(benchmark::State& state) {
  for (auto _ : state) {
    for (const auto& range : ranges())
      benchmark::DoNotOptimize(computeLinearTicks(range.min, range.max, range.length, 50, 10));
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kAxes));
}
BENCHMARK(LinearTickValuesOnly)->Unit(benchmark::kMillisecond);

// Date ranges from a second to 500 years, starting anywhere from 1900 to
// 2100, over 100 to 1000 points.
const std::vector<Range>& dateRanges() {
  static const std::vector<Range> values = [] {
    std::mt19937_64 engine(3);
    std::uniform_real_distribution<double> exponent(0, std::log10(500 * 365.25 * 86400)), start(-2.2e9, 4.1e9),
        length(100, 1000);
    std::vector<Range> result(kAxes / 10);
    for (auto& range : result) {
      double min = start(engine);
      range = {min, min + std::pow(10.0, exponent(engine)), length(engine)};
    }
    return result;
  }();
  return values;
}

void DateAxes(benchmark::State& state) {
  VKDateAxis::shortMonthLabels("us");
  for (auto _ : state) {
    for (const auto& range : dateRanges())
      benchmark::DoNotOptimize(
          VKDateAxis::withMinValue(range.min, range.max, range.length, 40, range.min, range.max, true, "us"));
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * dateRanges().size()));
}
BENCHMARK(DateAxes)->Unit(benchmark::kMillisecond);

// 1 January 2006 to 31 December 2007, a tick a day: 730 ticks and labels.
constexpr double kLongStart = 1136073600, kLongEnd = 1199059200;

void LongDateAxis(benchmark::State& state) {
  std::size_t ticks = 0;
  for (auto _ : state) {
    auto axis = VKDateAxis::withMinValue(kLongStart, kLongEnd, 730 * 40, 40, kLongStart, kLongEnd, true, "us");
    ticks = axis->majorTickMarks().size();
    benchmark::DoNotOptimize(axis);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * ticks));
}
BENCHMARK(LongDateAxis)->Unit(benchmark::kMillisecond);

// The C library's share of the same job: the calendar parts and a day
// label of every tick.
void GmtimeStrftimeDays(benchmark::State& state) {
  char text[32];
  std::size_t ticks = 0;
  for (auto _ : state) {
    ticks = 0;
    for (double tick = kLongStart; tick <= kLongEnd; tick += 86400, ++ticks) {
      const std::time_t time = std::time_t(tick);
      std::tm parts{};
      gmtime_r(&time, &parts);
      std::strftime(text, sizeof text, parts.tm_mday == 1 ? "%b" : "%e", &parts);
      benchmark::DoNotOptimize(text);
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * ticks));
}
BENCHMARK(GmtimeStrftimeDays)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
