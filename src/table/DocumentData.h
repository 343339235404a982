#pragma once
// The data a document holds, its table and its definitions list, wired to
// each other: parameter names are checked against the column names whenever
// columns change, the names that parameters gained or lost go to the columns,
// and formula columns and cells look parameters up in the list. The document
// holds one and is the owner that every entity of its dependency graph
// reports to; the two halves never reach the document, or each other, any
// other way.
//
// Everything here runs on the main thread.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "document/parameters/ParameterListNeighbour.h"
#include "document/parameters/VKDefinedObjectsController.h"
#include "graph/dependency/DependencyDocument.h"
#include "table/DataDocumentTable.h"
#include "table/TableOwner.h"

namespace orrelin {

class DocumentData final : public ParameterListNeighbour,
                           public TableOwner,
                           public std::enable_shared_from_this<DocumentData> {
 public:
  using UndoRegistration = std::function<void(const std::string& actionName, std::function<void()> undo)>;

  // An empty table (the row-number column) and an empty definitions list,
  // wired. The document may come later (setDocument).
  static std::shared_ptr<DocumentData> create(const std::shared_ptr<DependencyDocument>& document = nullptr);
  // Every entity leaves the dependency graph.
  ~DocumentData() override;
  DocumentData(const DocumentData&) = delete;
  DocumentData& operator=(const DocumentData&) = delete;

  const std::shared_ptr<DataDocumentTable>& table() const { return table_; }
  VKDefinedObjectsController& definitions() { return *definitions_; }
  const VKDefinedObjectsController& definitions() const { return *definitions_; }

  // The document the entities report changes and problems to. None detaches
  // them all from the dependency graph (the document is closing).
  void setDocument(const std::shared_ptr<DependencyDocument>& document);
  // Where undo actions of the table go (the document's undo manager); none,
  // as in a batch run, records nothing.
  void setUndoRegistration(UndoRegistration registration) { undoRegistration_ = std::move(registration); }
  // Who else hears of names that began or stopped resolving to a parameter
  // once the columns have (the document, for its commands).
  using ParameterListListener = std::function<void(const ParameterListChanges& changes)>;
  void setParameterListListener(ParameterListListener listener) { parameterListListener_ = std::move(listener); }

  // The definitions list's side.
  std::vector<std::string> columnNames() const override;
  void parameterListChanged(const ParameterListChanges& changes) override;
  // The table's side.
  void tableColumnsChanged(DataDocumentTable& table) override;
  void registerUndo(const std::string& actionName, std::function<void()> undo) override;

 private:
  DocumentData() = default;

  std::shared_ptr<VKDefinedObjectsController> definitions_;
  std::shared_ptr<DataDocumentTable> table_;
  UndoRegistration undoRegistration_;
  ParameterListListener parameterListListener_;
};

}  // namespace orrelin
