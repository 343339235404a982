#pragma once
// What the table and its columns need of the document that owns them,
// beyond what the parameters need of it. The document sits at the top of the
// library stack, so columns reach it only through this interface;
// OrrelinDocument implements it (the parameter look-ups by asking its
// definitions list).

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "document/parameters/ParametersDocument.h"

namespace orrelin {

class DataDocumentTable;
class VKDependencyBase;

class TableDocument : public ParametersDocument {
 public:
  // The value of the number parameter of that name (NaN when it has none);
  // none when no valid parameter has the name or it is not a number.
  virtual std::optional<double> valueForParameter(const std::string& name) = 0;
  // The text of the text parameter of that name; none otherwise.
  virtual std::optional<std::string> stringForParameter(const std::string& name) = 0;
  // The parameter itself, so that a column can become its consumer; null
  // when no valid parameter has the name.
  virtual std::shared_ptr<VKDependencyBase> parameterWithName(const std::string& name) = 0;

  // The names, kinds or order of the table's columns changed. Parameter
  // names are checked against column names, so the document revalidates.
  virtual void tableColumnsChanged(DataDocumentTable& table) = 0;

  // Registers an action that undoes a change the table made (the names an
  // import gave to columns). A document without an undo manager, such as a
  // batch run's, records nothing.
  virtual void registerUndo(const std::string& actionName, std::function<void()> undo) {
    (void)actionName;
    (void)undo;
  }
};

}  // namespace orrelin
