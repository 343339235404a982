#pragma once
// What the table and its columns need of the document that owns them. The
// document sits at the top of the library stack, so columns reach it only
// through this interface (and the interfaces of the libraries below, which
// it extends); OrrelinDocument implements it.

#include <memory>
#include <optional>
#include <string>

#include "graph/dependency/DependencyDocument.h"

namespace orrelin {

class DataDocumentTable;
class VKDependencyBase;

class TableDocument : public DependencyDocument {
 public:
  // The value of the number parameter of that name; none when no valid
  // parameter has the name or the parameter is not a number.
  virtual std::optional<double> valueForParameter(const std::string& name) = 0;
  // The text of the text parameter of that name; none otherwise.
  virtual std::optional<std::string> stringForParameter(const std::string& name) = 0;
  // The parameter itself, so that a column can become its consumer; null
  // when no valid parameter has the name.
  virtual std::shared_ptr<VKDependencyBase> parameterWithName(const std::string& name) = 0;

  // The names, kinds or order of the table's columns changed. Parameter
  // names are checked against column names, so the document revalidates.
  virtual void tableColumnsChanged(DataDocumentTable& table) = 0;
};

}  // namespace orrelin
