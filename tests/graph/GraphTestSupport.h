#pragma once
// Graphs for the layout's tests: a document to hold them and a command that
// asks for fixed ranges and draws the rectangle of its data range, so the
// mapping the layout hands out can be checked where it lands.

#include <limits>
#include <memory>
#include <string>

#include "drawing/KRDrawingPath.h"
#include "graph/DataDocumentDrawing.h"
#include "graph/commandbase/CommandTestSupport.h"

namespace orrelin::testing_support {

class RangeCommand : public VKDrawingCommand {
 public:
  RangeCommand(KRBoundingRange x, KRBoundingRange y) : x(x), y(y) {}
  std::string type() const override { return "Plot"; }
  KRBoundingRange domainRangeXLinear(bool xLinear, bool yLinear) override {
    lastXLinear = xLinear;
    (void)yLinear;
    return x;
  }
  KRBoundingRange valueRangeXLinear(bool xLinear, bool yLinear) override {
    (void)xLinear;
    lastYLinear = yLinear;
    return y;
  }
  bool xUsesDateAxis() const override { return dates; }
  std::string xDateLocale() const override { return dateLocale; }
  void skippingThisDrawingCommand(bool, bool) override { ++skipped; }
  std::shared_ptr<KRDrawingGroup> computeDrawingObjectForScale(const KR1DPlotDrawingInfo& record,
                                                               KRDrawingInformation&) override {
    ++computations;
    auto group = KRDrawingGroup::create();
    if (!x.isValid() || !y.isValid()) return group;
    KRPoint a = record.transform({x.minR, y.minR}), b = record.transform({x.maxR, y.maxR});
    drawn = KRRect(a.x, a.y, b.x - a.x, b.y - a.y);
    group->addObject(KRDrawingPathRectangle::createWithRect(drawn));
    return group;
  }

  KRBoundingRange x, y;
  bool dates = false;
  std::string dateLocale;
  bool lastXLinear = true, lastYLinear = true;
  int skipped = 0;
  int computations = 0;
  KRRect drawn;
};

inline std::shared_ptr<RangeCommand> addRangeCommand(DataDocumentDrawing& graph, double x0, double x1, double y0,
                                                     double y1) {
  auto command = std::make_shared<RangeCommand>(KRBoundingRange::between(x0, x1), KRBoundingRange::between(y0, y1));
  command->finishConnections();
  graph.addCommand(command);
  return command;
}

// A graph inside a test document, so formulas reach its parameters.
struct GraphInDocument {
  GraphInDocument() : document(TestCommandDocument::create()), graph(DataDocumentDrawing::create()) {
    document->addGraph(graph);
  }
  ~GraphInDocument() { graph->setDocument(nullptr); }
  std::shared_ptr<TestCommandDocument> document;
  std::shared_ptr<DataDocumentDrawing> graph;
};

}  // namespace orrelin::testing_support
