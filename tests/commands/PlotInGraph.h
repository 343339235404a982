#pragma once
// A plot command inside a test graph and document, with columns made from
// cell texts: the fixture the plot command's tests start from.

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "commands/VKPlotCommand.h"
#include "graph/commandbase/CommandTestSupport.h"

namespace orrelin::testing_support {

// Cell texts for numbers; NaN gives an empty cell.
inline std::vector<std::string> texts(std::initializer_list<double> values) {
  std::vector<std::string> cells;
  for (double v : values) cells.push_back(std::isnan(v) ? std::string() : std::to_string(v));
  return cells;
}

class PlotInGraph : public ::testing::Test {
 protected:
  void SetUp() override {
    document = TestCommandDocument::create();
    graph = std::make_shared<TestGraph>();
    document->addGraph(graph);
    plot = std::make_shared<VKPlotCommand>();
    plot->finishConnections();
    graph->addCommand(plot);
  }
  std::shared_ptr<OrrelinColumn> column(const std::string& name, const std::vector<std::string>& cells) {
    return document->addColumn(name, cells);
  }

  std::shared_ptr<TestCommandDocument> document;
  std::shared_ptr<TestGraph> graph;
  std::shared_ptr<VKPlotCommand> plot;
};

}  // namespace orrelin::testing_support
