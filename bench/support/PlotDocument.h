#pragma once
// A document just big enough for a plot command outside the application: a
// table with its definitions, columns by name and number, no graphs, no undo.
// The benchmark and the example pictures use it until the layout and the
// document land.

#include <memory>
#include <string>
#include <vector>

#include "document/parameters/VKDefinedObjectsController.h"
#include "graph/commandbase/CommandDocument.h"
#include "table/DataDocumentTable.h"
#include "table/DocumentData.h"
#include "table/VKDataColumnBinary.h"

namespace orrelin::bench {

class PlotDocument final : public CommandDocument, public std::enable_shared_from_this<PlotDocument> {
 public:
  static std::shared_ptr<PlotDocument> create() {
    auto document = std::make_shared<PlotDocument>();
    document->data = DocumentData::create(document);
    document->table = document->data->table();
    return document;
  }
  ~PlotDocument() override {
    if (data) data->setDocument(nullptr);
  }

  std::shared_ptr<OrrelinColumn> addColumn(const std::string& name, const std::vector<double>& values) {
    auto column = VKDataColumnBinary::createEmptyFor(shared_from_this());
    column->setName(name);
    column->setNumbers(values, std::vector<std::uint8_t>(values.size(), 1));
    table->insertColumn(column, table->numberOfColumns());
    return column;
  }

  const ParameterLookup& parameters() const override { return data->definitions(); }
  std::shared_ptr<OrrelinColumn> columnWithName(const std::string& name) override {
    auto map = table->columnsByNameAllowStrings(true);
    auto found = map->find(name);
    return found == map->end() ? nullptr : found->second;
  }
  std::shared_ptr<OrrelinColumn> columnWithIdentity(std::int64_t number) override {
    return table->columnWithSerialNumber(number);
  }
  std::vector<std::shared_ptr<VKCommandGraph>> graphs() const override { return {}; }
  std::shared_ptr<VKCommandGraph> currentGraph() const override { return nullptr; }
  UndoManager* undoManager() override { return nullptr; }
  void entryChanged(VKDependencyBase* sender) override { (void)sender; }
  void presentException(const std::exception& exception, const std::string& message) override {
    (void)exception;
    (void)message;
  }

  std::shared_ptr<DocumentData> data;
  std::shared_ptr<DataDocumentTable> table;
};

}  // namespace orrelin::bench
