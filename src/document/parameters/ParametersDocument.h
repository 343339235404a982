#pragma once
// What the definitions list and its parameters need of the document that owns
// them. The document sits at the top of the library stack, so the parameters
// reach it only through this interface; OrrelinDocument implements it.

#include <map>
#include <string>
#include <vector>

#include "graph/dependency/DependencyDocument.h"

namespace orrelin {

// Names that started or stopped resolving to a parameter in one validation
// pass, each with its change kind: "Added" (the name now resolves, possibly
// to another parameter than before) or "Removed".
using ParameterListChanges = std::map<std::string, std::string>;

class ParametersDocument : public DependencyDocument {
 public:
  // The names of the table's columns. A parameter may not take one, because
  // formulas would not know which of the two a name means.
  virtual std::vector<std::string> columnNames() const = 0;

  // The validated parameter names changed. The document passes the changes to
  // every column and command, so those that use the names look them up again
  // and recompute. Not called when a validation pass changed nothing.
  virtual void parameterListChanged(const ParameterListChanges& changes) = 0;
};

}  // namespace orrelin
