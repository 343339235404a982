#pragma once
// What an entity of the dependency graph needs of the document that owns it.
// The document sits at the top of the library stack, so entities reach it only
// through this interface; libraries higher up extend it with interfaces of
// their own (parameter and column look-ups, ...), and OrrelinDocument
// implements them all.

#include <exception>
#include <string>

namespace orrelin {

class VKDependencyBase;

class DependencyDocument {
 public:
  virtual ~DependencyDocument() = default;

  // A change of sender (a graph, a column, a parameter ...) reached the
  // document. The document gathers any number of these into one update at the
  // end of the current event.
  virtual void entryChanged(VKDependencyBase* sender) = 0;

  // Shows a problem that an entity ran into to the user, with the entity's own
  // summary of what it was doing.
  virtual void presentException(const std::exception& exception, const std::string& message) = 0;
};

}  // namespace orrelin
