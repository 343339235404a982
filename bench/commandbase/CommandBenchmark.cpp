// The command base on the hot paths of the update cycle.
//
// Redraw: a graph of 100 commands whose drawings are cached is redrawn (the
// display pass asks each command for its drawing, which comes from the cache,
// assembles the picture and paints it into a 1000 x 800 image). The limit is
// painting the same cached display lists directly. Compare
// BM_RedrawCachedGraph with BM_PaintCachedDrawingsDirectly.
//
// Change notice: one change of a column that 10^4 settings (and, through
// them, 10^4 commands) read, carried through the dependency graph, with the
// caches cleared and the one update scheduled.

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "document/parameters/VKDefinedObjectsController.h"
#include "drawing/KRDrawingContext.h"
#include "drawing/KRDrawingPath.h"
#include "drawing/KRDrawingStyle.h"
#include "graph/commandbase/CommandDocument.h"
#include "graph/commandbase/InputControllers.h"
#include "graph/commandbase/VKCommandGraph.h"
#include "graph/commandbase/VKDrawingCommand.h"
#include "platform/GraphicsContext.h"
#include "platform/MainThreadQueue.h"
#include "platform/UndoManager.h"

using namespace orrelin;

namespace {

constexpr KRSize kPage{1000, 800};

// Draws 200 small squares spread over the page.
class SquaresCommand : public VKDrawingCommand {
 public:
  explicit SquaresCommand(int seed) : seed_(seed) {}
  std::string type() const override { return "Scatter"; }
  void finishConnections() override {
    y = std::make_shared<VKColumnSelector>();
    connect(y, "Y");
    VKDrawingCommand::finishConnections();
  }
  std::shared_ptr<KRDrawingGroup> computeDrawingObjectForScale(const KR1DPlotDrawingInfo& record,
                                                               KRDrawingInformation&) override {
    auto group = KRDrawingGroup::create();
    auto style = KRDrawingStyleCurve::createWithColor(KRColor::rgb(0.2, 0.3, 0.8), 1);
    for (int i = 0; i < 200; ++i) {
      const double x = (i * 37 + seed_ * 11) % 990, y = (i * 53 + seed_ * 7) % 790;
      auto square = KRDrawingPathRectangle::createWithRect(KRRect(x * record.scaleX, y * record.scaleY, 4, 4));
      square->setStyle(style);
      group->addObject(square);
    }
    return group;
  }
  std::shared_ptr<VKColumnSelector> y;

 private:
  int seed_;
};

class BenchGraph : public VKCommandGraph {
 public:
  BenchGraph() {
    auto made = std::make_shared<KR1DPlotDrawingInfo>();
    made->graphRegion = KRRect(0, 0, kPage.width, kPage.height);
    made->drawRegion = made->graphRegion;
    record = made;
    surface = GraphicsContext::createForImage(kPage);
  }
  std::shared_ptr<KRDrawingGroup> createGraphic(KRSize, double scale, bool send, const PlistDictionary&,
                                                const KRRect&) override {
    auto picture = KRDrawingGroup::createWithCapacity(commands().size());
    KRDrawingInformation information;
    for (const auto& each : commands()) {
      auto command = std::static_pointer_cast<VKDrawingCommand>(each);
      if (!command->shouldDrawInStandardView()) continue;
      if (auto drawing = command->drawingObjectForScale(record, scale, information)) picture->addObject(drawing);
    }
    if (send && drawingView()) drawingView()->setGraphic(picture);
    KRDrawingContext context(surface);
    picture->drawToCurrentContext(context);
    return picture;
  }
  std::shared_ptr<const KR1DPlotDrawingInfo> record;
  std::shared_ptr<GraphicsContext> surface;
};

class BenchDocument : public CommandDocument {
 public:
  std::shared_ptr<OrrelinColumn> columnWithName(const std::string&) override { return nullptr; }
  std::shared_ptr<OrrelinColumn> columnWithIdentity(std::int64_t) override { return nullptr; }
  std::vector<std::shared_ptr<VKCommandGraph>> graphs() const override { return {graph}; }
  std::shared_ptr<VKCommandGraph> currentGraph() const override { return graph; }
  UndoManager* undoManager() override { return &undo; }
  const ParameterLookup& parameters() const override { return definitions; }
  void entryChanged(VKDependencyBase* sender) override { cycle.entryChanged(sender); }
  void presentException(const std::exception&, const std::string&) override {}

  std::shared_ptr<BenchGraph> graph = std::make_shared<BenchGraph>();
  VKDefinedObjectsController definitions;
  NoUndoManager undo;
  VKUpdateCycle cycle{*this};
};

struct Setup {
  std::shared_ptr<BenchDocument> document = std::make_shared<BenchDocument>();
  std::shared_ptr<HeadlessGraphView> view = std::make_shared<HeadlessGraphView>(kPage);
  explicit Setup(int commands) {
    document->graph->setDocument(document);
    document->graph->setDrawingView(view);
    for (int i = 0; i < commands; ++i) {
      auto command = std::make_shared<SquaresCommand>(i);
      command->finishConnections();
      document->graph->addCommand(command);
    }
  }
  ~Setup() { document->graph->setDocument(nullptr); }
  // One display pass.
  void redraw() {
    document->graph->updateGraphWhenPossible();
    document->graph->aboutToRedraw(*view);
  }
};

void BM_RedrawCachedGraph(benchmark::State& state) {
  Setup setup(100);
  setup.redraw();  // fills the caches
  for (auto _ : state) setup.redraw();
  state.SetLabel("100 cached commands");
}
BENCHMARK(BM_RedrawCachedGraph)->Unit(benchmark::kMillisecond);

void BM_PaintCachedDrawingsDirectly(benchmark::State& state) {
  Setup setup(100);
  setup.redraw();
  std::vector<std::shared_ptr<KRDrawingGroup>> drawings;
  for (const auto& command : setup.document->graph->commands()) drawings.push_back(command->cachedFinalDrawing());
  auto surface = GraphicsContext::createForImage(kPage);
  for (auto _ : state) {
    KRDrawingContext context(surface);
    for (const auto& drawing : drawings) drawing->drawToCurrentContext(context);
  }
}
BENCHMARK(BM_PaintCachedDrawingsDirectly)->Unit(benchmark::kMillisecond);

// A column stand-in: any node whose change is sent to its clients.
class Source : public VKDependencyBase {};

void BM_ChangeNoticeThroughGraph(benchmark::State& state) {
  const int clients = static_cast<int>(state.range(0));
  Setup setup(0);
  auto source = std::make_shared<Source>();
  std::vector<std::shared_ptr<SquaresCommand>> commands;
  for (int i = 0; i < clients; ++i) {
    auto command = std::make_shared<SquaresCommand>(i);
    command->finishConnections();
    setup.document->graph->addCommand(command);
    command->y->connectAsSupplier(source);
    commands.push_back(command);
  }
  for (auto _ : state) {
    source->thisControllerChanged();
    setup.document->cycle.updateGraphicNowIfNeeded();
  }
  MainThreadQueue::shared().drain();
  for (const auto& command : commands) command->y->disconnectAsSupplier(source);
  state.SetItemsProcessed(state.iterations() * clients);
  state.SetLabel("suppliers and clients: " + std::to_string(2 * clients));
}
BENCHMARK(BM_ChangeNoticeThroughGraph)->Arg(5000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
