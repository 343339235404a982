#pragma once
// A small document for the command base's tests: a table, a definitions
// list, graphs whose pictures are built by asking every command for its
// drawing, an in-memory undo stack and the update cycle.

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "document/parameters/VKDefinedObjectsController.h"
#include "drawing/KRDrawingPath.h"
#include "graph/commandbase/CommandDocument.h"
#include "graph/commandbase/InputControllers.h"
#include "graph/commandbase/VKCommandGraph.h"
#include "graph/commandbase/VKDrawingCommand.h"
#include "platform/UndoManager.h"
#include "table/DataDocumentTable.h"
#include "table/DocumentData.h"
#include "table/VKDataColumnSpecified.h"

namespace orrelin::testing_support {

class TestCommandDocument final : public CommandDocument, public std::enable_shared_from_this<TestCommandDocument> {
 public:
  static std::shared_ptr<TestCommandDocument> create() {
    auto document = std::make_shared<TestCommandDocument>();
    document->data = DocumentData::create(document);
    document->table = document->data->table();
    // Names that began or stopped resolving reach the columns through the
    // data holder and the commands through the document, as in a real one.
    std::weak_ptr<TestCommandDocument> weak = document;
    document->data->setParameterListListener([weak](const ParameterListChanges& changes) {
      if (auto owner = weak.lock())
        for (auto& graph : owner->graphList)
          for (auto& command : graph->commands()) command->parameterListChanged(changes);
    });
    return document;
  }
  TestCommandDocument() : cycle(*this) {}
  ~TestCommandDocument() override {
    for (auto& graph : graphList) graph->setDocument(nullptr);
    if (data) data->setDocument(nullptr);
  }

  // A typed-in number column with the values, appended to the table.
  std::shared_ptr<OrrelinColumn> addColumn(const std::string& name, const std::vector<std::string>& cells) {
    auto column = VKDataColumnSpecified::createEmptyFor(shared_from_this());
    column->setName(name);
    column->setStringList(cells);
    table->insertColumn(column, table->numberOfColumns());
    return column;
  }
  void setParameter(const std::string& name, const std::string& text) {
    auto& definitions = data->definitions();
    auto parameter = definitions.parameterWithName(name);
    if (!parameter) parameter = definitions.addParameterValue(name);
    parameter->setValue(text);
  }
  void addGraph(std::shared_ptr<VKCommandGraph> graph) {
    graph->setDocument(shared_from_this());
    graphList.push_back(graph);
    if (!current) current = graph;
  }

  std::shared_ptr<OrrelinColumn> columnWithName(const std::string& name) override {
    auto map = table->columnsByNameAllowStrings(true);
    auto found = map->find(name);
    return found == map->end() ? nullptr : found->second;
  }
  std::shared_ptr<OrrelinColumn> columnWithIdentity(std::int64_t number) override {
    return table->columnWithSerialNumber(number);
  }
  std::vector<std::shared_ptr<VKCommandGraph>> graphs() const override { return graphList; }
  std::shared_ptr<VKCommandGraph> currentGraph() const override { return current; }
  UndoManager* undoManager() override { return &undo; }
  void updateDrawingCommandMenus() override { ++menuUpdates; }

  const ParameterLookup& parameters() const override { return data->definitions(); }
  void entryChanged(VKDependencyBase* sender) override {
    ++changeNotices;
    cycle.entryChanged(sender);
  }
  void presentException(const std::exception& exception, const std::string& message) override {
    presented.push_back(message + ": " + exception.what());
  }

  std::shared_ptr<DocumentData> data;
  std::shared_ptr<DataDocumentTable> table;
  std::vector<std::shared_ptr<VKCommandGraph>> graphList;
  std::shared_ptr<VKCommandGraph> current;
  InMemoryUndoManager undo;
  VKUpdateCycle cycle;
  int changeNotices = 0;
  int menuUpdates = 0;
  std::vector<std::string> presented;
};

// A scaling record for a 100 by 100 point plot area at the origin, data 0 to 10.
inline std::shared_ptr<KR1DPlotDrawingInfo> makeRecord(double scale = 10, bool independent = false) {
  auto record = std::make_shared<KR1DPlotDrawingInfo>();
  record->graphRegion = KRRect(0, 0, 100, 100);
  record->drawRegion = record->graphRegion;
  record->axisRegion = record->graphRegion;
  record->setXLinearShift(0, scale);
  record->setYLinearShift(0, scale);
  record->destinationIsResolutionIndependent = independent;
  return record;
}

// A plot-like command: draws one rectangle per valid value of its "Y"
// column, counts its computations, leaves a hit rectangle and a double-click
// target, and offers an outline to crop others with.
class CountingCommand : public VKDrawingCommand {
 public:
  explicit CountingCommand(std::string type = "Plot") : type_(std::move(type)) {}
  std::string type() const override { return type_; }
  bool canBeCropped() const override { return true; }
  void finishConnections() override {
    y = std::make_shared<VKColumnSelector>();
    connect(y, "Y");
    VKDrawingCommand::finishConnections();
  }
  std::shared_ptr<KRDrawingGroup> computeDrawingObjectForScale(const KR1DPlotDrawingInfo& record,
                                                               KRDrawingInformation& information) override {
    ++computations;
    if (throwWhenComputing) throw std::runtime_error("broken data");
    auto group = KRDrawingGroup::create();
    if (auto column = y->column()) {
      for (long row = 0; row < column->howManyEntries(); ++row)
        if (column->validEntryAtIndex(row))
          group->addObject(KRDrawingPathRectangle::createWithRect(
              KRRect(record.transformX(row), record.transformY(column->valueAtRow(row)), 1, 1)));
    }
    information.hitRects.push_back({KRRect(0, 0, 5, 5), this, {}});
    information.doubleClick.push_back({KRRect(0, 0, 5, 5), this, {}});
    return group;
  }
  std::shared_ptr<KRDrawingPath> computeCroppingPathForScale(const KR1DPlotDrawingInfo& record) override {
    ++outlineComputations;
    (void)record;
    return outline;
  }

  std::shared_ptr<VKColumnSelector> y;
  std::shared_ptr<KRDrawingPath> outline = KRDrawingPathRectangle::createWithRect(KRRect(0, 0, 50, 50));
  int computations = 0;
  int outlineComputations = 0;
  bool throwWhenComputing = false;

 private:
  std::string type_;
};

inline std::shared_ptr<CountingCommand> makeCountingCommand(std::string type = "Plot") {
  auto command = std::make_shared<CountingCommand>(std::move(type));
  command->finishConnections();
  return command;
}

// A graph whose picture is every drawn command's drawing for one fixed record.
class TestGraph : public VKCommandGraph {
 public:
  std::shared_ptr<KRDrawingGroup> createGraphic(KRSize size, double scale, bool send, const PlistDictionary& info,
                                                const KRRect& outputRect) override {
    (void)size;
    (void)info;
    (void)outputRect;
    ++passes;
    auto picture = KRDrawingGroup::create();
    KRDrawingInformation information;
    for (const auto& each : commands()) {
      auto command = std::dynamic_pointer_cast<VKDrawingCommand>(each);
      if (!command || !command->shouldDrawInStandardView()) continue;
      if (auto drawing = command->drawingObjectForScale(record, scale, information)) picture->addObject(drawing);
    }
    lastInformation = information;
    if (send && drawingView()) drawingView()->setGraphic(picture);
    return picture;
  }

  std::shared_ptr<const KR1DPlotDrawingInfo> record = makeRecord();
  KRDrawingInformation lastInformation;
  int passes = 0;
};

}  // namespace orrelin::testing_support
