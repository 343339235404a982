#pragma once
// A setting of a command: a value the user chooses (a column, a number, a
// colour, a menu choice ...) that the command registers under a name. The
// name is also the setting's key in the command's property list, and the
// value's stored form is the setting's own property list.
//
// A setting is a node of the dependency graph: the command is its client, so
// every change of the value reaches the command, and the setting is a client
// of the columns, parameters and commands it names, so their changes reach
// the command through it.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/parameters/ParameterListNeighbour.h"
#include "graph/dependency/VKDependencyBase.h"
#include "platform/PropertyList.h"

namespace orrelin {

class CommandDocument;
class DataDrawingCommand;
class OrrelinColumn;

class VKInputController : public VKDependencyBase {
 public:
  using VKDependencyBase::entryChanged;

  // The class name, for messages and the settings reference.
  virtual const char* className() const = 0;

  // The stored form; none when there is nothing to store.
  virtual std::optional<PropertyList> propertyList() const = 0;
  // Reads the stored form. Null means the key was absent (an older
  // document): the default is taken quietly. A value of the wrong kind also
  // gives the default, with a diagnostic.
  virtual void setFromPropertyList(const PropertyList* value) = 0;

  // Called once the setting has been connected to its command.
  virtual void finishConnections() {}
  // Links the setting to the columns, parameters and commands it names.
  // Called after the whole document has been read, and again whenever
  // a name may resolve differently.
  virtual void establishDependencyConnections() {}

  void setUsedInside(DataDrawingCommand* command, std::string name);
  DataDrawingCommand* usedInside() const { return usedInside_; }
  // The name the command connected the setting under.
  const std::string& settingName() const { return settingName_; }
  CommandDocument* commandDocument() const;

  // Why the setting cannot give its value (a column that does not exist, a
  // formula that does not compute); none when all is well.
  virtual std::optional<std::string> errorExplanation() const { return std::nullopt; }
  // The names of the columns the setting reads.
  virtual void columnNamesUsed(std::vector<std::string>& names) const { (void)names; }

  // Notices the document sends to every command, which passes them on to its
  // settings. Only the kinds that name such things react.
  virtual void parameterValueChanged(const std::string& name) { (void)name; }
  virtual void parameterListChanged(const ParameterListChanges& changes) { (void)changes; }
  virtual void replacedColumn(const OrrelinColumn* old, const std::shared_ptr<OrrelinColumn>& replacement) {
    (void)old;
    (void)replacement;
  }
  virtual void columnsWereRemoved(const std::vector<const OrrelinColumn*>& columns) { (void)columns; }
  virtual void columnTypeMightHaveChanged(const OrrelinColumn* column) { (void)column; }
  virtual void columnsWereReordered() {}
  virtual void updateAllColumnMenus() {}
  virtual void removingDrawingCommand(const DataDrawingCommand* command) { (void)command; }
  virtual void drawingCommandsWereReordered() {}
  virtual void updateDrawingCommandMenus() {}

  // Undo. A selector names a change the setting can make from a property
  // list; every setting answers "setFromPropertyList:".
  virtual bool respondsToSelector(const std::string& selector) const;
  // The argument that would take the change made by selector back: the
  // current value in the selector's form.
  virtual std::optional<PropertyList> undoArgumentFor(const std::string& selector) const;
  // Makes the change and tells the clients; false for a selector the setting
  // does not answer.
  virtual bool perform(const std::string& selector, const PropertyList& argument);
  // A change by the user: recorded for undo with the command, then made.
  void setFromPropertyListRecordUndo(const PropertyList& value);

 protected:
  // The value changed: tell the clients.
  void changed() { thisControllerChanged(); }
  // A stored value of the wrong kind was replaced by the default.
  void reportBadValue(const PropertyList& found, const char* expected) const;
  // Drops every supplier link (before linking anew).
  void disconnectAllSuppliers();
  // Links entity as a supplier unless that would close a cycle.
  bool connectToSupplier(const std::shared_ptr<VKDependencyBase>& entity);

 private:
  DataDrawingCommand* usedInside_ = nullptr;
  std::string settingName_;
};

// A description of a stored value's kind, for messages ("a string", "a dictionary" ...).
const char* propertyListKindDescription(const PropertyList& value);

}  // namespace orrelin
