#pragma once
// What the commands, their settings and the graphs need of the document that
// owns them. The document sits at the top of the library stack, so the
// command base reaches it only through this interface; OrrelinDocument
// implements it.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/parameters/ParameterLookup.h"
#include "graph/dependency/DependencyDocument.h"

namespace orrelin {

class OrrelinColumn;
class UndoManager;
class VKCommandGraph;

class CommandDocument : public DependencyDocument {
 public:
  // The document's parameters as formulas see them (its definitions list).
  virtual const ParameterLookup& parameters() const = 0;

  // Columns as the commands see them: by name at the top level of the table
  // (text columns included), and by the identity number that survives renames.
  // Null when there is none.
  virtual std::shared_ptr<OrrelinColumn> columnWithName(const std::string& name) = 0;
  virtual std::shared_ptr<OrrelinColumn> columnWithIdentity(std::int64_t columnSerialNumber) = 0;

  // The graphs in document order and the one shown.
  virtual std::vector<std::shared_ptr<VKCommandGraph>> graphs() const = 0;
  virtual std::shared_ptr<VKCommandGraph> currentGraph() const = 0;

  // Where settings register the actions that take their changes back; null
  // when changes are not recorded (a batch run, a document being read).
  virtual UndoManager* undoManager() = 0;

  // The menus that list commands changed (a command was added, removed,
  // renamed); sent to every command, column and defined object.
  virtual void updateDrawingCommandMenus() {}
};

}  // namespace orrelin
