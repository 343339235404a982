// The layout pass of a graph with 4 axes (two x, two y), titles and 10
// commands whose drawings are cached:
//   LayoutUnchanged       a pass when nothing changed
//   AssembleDirectly      the same cached command drawings and the axes of
//                         the last pass put into one list directly
//   LayoutAfterOneChange  a pass after one command changed (it recomputes)
//   RedrawUnchanged       what a screen does when nothing changed: the pass
//                         and painting its result into a 600 x 400 image
//   PaintDirectly         painting the directly assembled list
// RedrawUnchanged / PaintDirectly is the layout's cost on a redraw.

#include <benchmark/benchmark.h>

#include <cmath>

#include "ExampleCurve.h"
#include "drawing/KRDrawingOutput.h"
#include "axes/VKAxisSettings.h"
#include "graph/VKCanvasSettings.h"
#include "graph/commandbase/VKCommandFactory.h"

namespace orrelin {
namespace {

constexpr KRSize kPage{600, 400};

struct Graph {
  std::shared_ptr<DataDocumentDrawing> graph = DataDocumentDrawing::create();
  std::vector<std::shared_ptr<examples::ExampleCurve>> curves;

  Graph() {
    auto set = [](DataDrawingCommand& command, const std::string& key, PropertyList value) {
      command.objectWithName(key)->setFromPropertyList(&value);
    };
    set(*graph->mainAxis(), "X Title", PropertyList("Time (s)"));
    set(*graph->mainAxis(), "Y Title", PropertyList("Signal \\alpha^2"));
    set(*graph->canvasSettings(), "Title", PropertyList("Ten signals"));
    graph->canvasSettings()->stackingChoice().setTag(VKCanvasSettings::kJoinStack);
    for (const char* type : {"X Axis", "Y Axis"}) {
      auto axis = std::dynamic_pointer_cast<VKDrawingCommand>(VKCommandFactory::shared().createCommand(type));
      set(*axis, type[0] == 'X' ? "X Title" : "Y Title", PropertyList("Second axis"));
      graph->addCommand(axis);
    }
    for (int c = 0; c < 10; ++c) {
      std::vector<KRPoint> points;
      for (int i = 0; i < 1000; ++i) points.push_back({i * 0.01, std::sin(i * 0.01 * (c + 1)) + c});
      curves.push_back(examples::addCurve(*graph, points, KRColor::rgb(0.1 * c, 0.3, 0.6), c % 2, (c / 2) % 2));
    }
    pass();  // fills the caches
  }
  std::shared_ptr<KRDrawingGroup> pass() { return graph->createGraphic(kPage, 1, false, {}, KRRect()); }
};

void LayoutUnchanged(benchmark::State& state) {
  Graph g;
  for (auto _ : state) benchmark::DoNotOptimize(g.pass());
}
BENCHMARK(LayoutUnchanged)->Unit(benchmark::kMicrosecond);

void AssembleDirectly(benchmark::State& state) {
  Graph g;
  auto last = g.pass();
  // The background and foreground of the last pass hold its axes, grid and box.
  auto background = last->objectAtIndex(0);
  auto foreground = last->objectAtIndex(2);
  for (auto _ : state) {
    auto result = KRDrawingGroup::createWithCapacity(4);
    result->addObject(background);
    auto commands = KRDrawingGroup::createWithCapacity(10);
    for (const auto& curve : g.curves) commands->addObject(curve->cachedFinalDrawing());
    result->addObject(commands);
    result->addObject(foreground);
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(AssembleDirectly)->Unit(benchmark::kMicrosecond);

void LayoutAfterOneChange(benchmark::State& state) {
  Graph g;
  for (auto _ : state) {
    g.curves[3]->clearCachedDrawing();
    benchmark::DoNotOptimize(g.pass());
  }
}
BENCHMARK(LayoutAfterOneChange)->Unit(benchmark::kMicrosecond);

std::shared_ptr<KRDrawingGroup> assembled(Graph& g, const std::shared_ptr<KRDrawingGroup>& last) {
  auto result = KRDrawingGroup::createWithCapacity(4);
  result->addObject(last->objectAtIndex(0));
  auto commands = KRDrawingGroup::createWithCapacity(10);
  for (const auto& curve : g.curves) commands->addObject(curve->cachedFinalDrawing());
  result->addObject(commands);
  result->addObject(last->objectAtIndex(2));
  return result;
}

void RedrawUnchanged(benchmark::State& state) {
  Graph g;
  const KRRect page(0, 0, kPage.width, kPage.height);
  for (auto _ : state) benchmark::DoNotOptimize(renderToImage(*g.pass(), page));
}
BENCHMARK(RedrawUnchanged)->Unit(benchmark::kMicrosecond);

void PaintDirectly(benchmark::State& state) {
  Graph g;
  auto list = assembled(g, g.pass());
  const KRRect page(0, 0, kPage.width, kPage.height);
  for (auto _ : state) benchmark::DoNotOptimize(renderToImage(*list, page));
}
BENCHMARK(PaintDirectly)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orrelin

BENCHMARK_MAIN();
