// The plot command's own work on 10^6 rows, against copying the same data
// (the limit any pass over it meets): preparing the runs from two columns,
// thinning the line for a 640 x 480 point graph, and the whole drawing.
//
//   build-bench/bin/plot_benchmark

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "commands/PlotSimplification.h"
#include "commands/VKPlotCommand.h"
#include "support/PlotFrame.h"

using namespace orrelin;

namespace {

constexpr long kRows = 1000000;

struct Data {
  std::vector<double> x, y;
  Data() : x(kRows), y(kRows) {
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0, 0.05);
    for (long i = 0; i < kRows; ++i) {
      x[std::size_t(i)] = 100.0 * double(i) / double(kRows - 1);
      y[std::size_t(i)] = std::sin(x[std::size_t(i)]) + 0.3 * std::sin(7.3 * x[std::size_t(i)]) + noise(random);
    }
  }
};

const Data& data() {
  static const Data made;
  return made;
}

struct Plot {
  std::shared_ptr<bench::PlotDocument> document = bench::PlotDocument::create();
  std::shared_ptr<VKPlotCommand> command = std::make_shared<VKPlotCommand>();
  Plot() {
    command->finishConnections();
    command->setDocument(document);
    command->setXColumn(document->addColumn("x", data().x), document->addColumn("y", data().y));
  }
};

void BM_CopyTwoColumns(benchmark::State& state) {
  std::vector<double> into(2 * kRows);
  for (auto _ : state) {
    std::memcpy(into.data(), data().x.data(), kRows * sizeof(double));
    std::memcpy(into.data() + kRows, data().y.data(), kRows * sizeof(double));
    benchmark::DoNotOptimize(into.data());
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_CopyTwoColumns)->Unit(benchmark::kMillisecond);

void BM_PlotPrepareRuns(benchmark::State& state) {
  Plot plot;
  bool shifted = false;
  for (auto _ : state) {
    // A new offset makes the runs stale each time.
    shifted = !shifted;
    plot.command->offset()->setText(shifted ? "0,1" : "0,0");
    plot.command->updateCacheXLinear(true, true);
    benchmark::DoNotOptimize(plot.command->cachedPlot().columns().data());
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_PlotPrepareRuns)->Unit(benchmark::kMillisecond);

void BM_PlotThinLine(benchmark::State& state) {
  Plot plot;
  bench::PlotFrame frame({640, 480});
  auto record = frame.recordFor(*plot.command, false);
  for (auto _ : state) benchmark::DoNotOptimize(plot.command->computePathForScale(*record).size());
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_PlotThinLine)->Unit(benchmark::kMillisecond);

void BM_PlotDrawing(benchmark::State& state) {
  Plot plot;
  bench::PlotFrame frame({640, 480});
  auto record = frame.recordFor(*plot.command, false);
  KRDrawingInformation information;
  for (auto _ : state) benchmark::DoNotOptimize(plot.command->computeDrawingObjectForScale(*record, information));
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_PlotDrawing)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
