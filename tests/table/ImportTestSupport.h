#pragma once
// Helpers for the import tests: a table with typed-in columns to fill, files
// written into a temporary folder, and the columns read back as texts.

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "table/TableOwner.h"
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

// The holder of a table that keeps the undo actions registered with it and
// counts the column list notices.
class UndoRecordingDocument final : public TableOwner, public std::enable_shared_from_this<UndoRecordingDocument> {
 public:
  static std::shared_ptr<UndoRecordingDocument> create() {
    auto document = std::make_shared<UndoRecordingDocument>();
    document->table = DataDocumentTable::create();
    document->table->setOwner(document);
    return document;
  }
  void tableColumnsChanged(DataDocumentTable&) override { ++columnListNotices; }
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
