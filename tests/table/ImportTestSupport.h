#pragma once
// Helpers for the import tests: a table with typed-in columns to fill, files
// written into a temporary folder, and the columns read back as texts.

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "table/TableTestSupport.h"
#include "table/VKDataColumnSpecified.h"

namespace orrelin::testing_support {

// A document whose table holds `count` empty typed-in columns named c1, c2 ...
inline std::shared_ptr<TestDocument> documentWithTypedInColumns(int count) {
  auto document = TestDocument::create();
  for (int k = 1; k <= count; ++k) {
    auto column = VKDataColumnSpecified::createEmptyFor(document);
    column->setName("c" + std::to_string(k));
    document->table->insertColumn(column, k);
  }
  return document;
}

// A document that keeps the undo actions registered with it.
class UndoRecordingDocument final : public TableDocument {
 public:
  static std::shared_ptr<UndoRecordingDocument> create() {
    auto document = std::make_shared<UndoRecordingDocument>();
    document->table = DataDocumentTable::create(document);
    return document;
  }
  std::optional<double> valueForParameter(const std::string&) override { return std::nullopt; }
  std::optional<std::string> stringForParameter(const std::string&) override { return std::nullopt; }
  std::shared_ptr<VKDependencyBase> parameterWithName(const std::string&) override { return nullptr; }
  void tableColumnsChanged(DataDocumentTable&) override { ++columnListNotices; }
  std::vector<std::string> columnNames() const override { return {}; }
  void parameterListChanged(const ParameterListChanges&) override {}
  void entryChanged(VKDependencyBase*) override {}
  void presentException(const std::exception&, const std::string&) override {}
  void registerUndo(const std::string& actionName, std::function<void()> undo) override {
    undoNames.push_back(actionName);
    undos.push_back(std::move(undo));
  }

  std::shared_ptr<DataDocumentTable> table;
  int columnListNotices = 0;
  std::vector<std::string> undoNames;
  std::vector<std::function<void()>> undos;
};

inline void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::vector<std::string> textsOf(OrrelinColumn& column) { return column.stringList(); }

inline std::vector<std::string> namesOf(const DataDocumentTable& table) {
  std::vector<std::string> names;
  for (long k = 1; k < table.numberOfColumns(); ++k) names.push_back(table.columnAtIndex(k)->name());
  return names;
}

}  // namespace orrelin::testing_support
