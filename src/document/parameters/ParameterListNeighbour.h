#pragma once
// What the definitions list needs of the data beside it in a document (the
// table): the column names that parameters may not take, and somewhere to
// announce the names that started or stopped resolving. The document's data
// holder implements it; the list keeps a weak reference.

#include <map>
#include <string>
#include <vector>

namespace orrelin {

// Names that started or stopped resolving to a parameter in one validation
// pass, each with its change kind: "Added" (the name now resolves, possibly
// to another parameter than before) or "Removed".
using ParameterListChanges = std::map<std::string, std::string>;

class ParameterListNeighbour {
 public:
  virtual ~ParameterListNeighbour() = default;

  // The names of the table's columns. A parameter may not take one, because
  // formulas would not know which of the two a name means.
  virtual std::vector<std::string> columnNames() const = 0;

  // The validated parameter names changed. The changes go on to every column
  // and command, so those that use the names look them up again. Not called
  // when a validation pass changed nothing.
  virtual void parameterListChanged(const ParameterListChanges& changes) = 0;
};

}  // namespace orrelin
