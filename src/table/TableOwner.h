#pragma once
// What the table needs of whoever holds it beside the definitions list (the
// document's data holder): to hear that the names, kinds or order of columns
// changed, and to record undo actions for changes the table makes itself.

#include <functional>
#include <string>

namespace orrelin {

class DataDocumentTable;

class TableOwner {
 public:
  virtual ~TableOwner() = default;

  // Parameter names are checked against column names, so the holder has the
  // parameters revalidated.
  virtual void tableColumnsChanged(DataDocumentTable& table) = 0;

  // Registers an action that undoes a change the table made (the names an
  // import gave to columns). Without an undo manager, as in a batch run,
  // nothing is recorded.
  virtual void registerUndo(const std::string& actionName, std::function<void()> undo) {
    (void)actionName;
    (void)undo;
  }
};

}  // namespace orrelin
