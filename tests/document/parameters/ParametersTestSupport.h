#pragma once
// A small document for the definitions list, a node that counts the change
// notices reaching it, and a message centre of the test's own.

#include <memory>
#include <string>
#include <vector>

#include "document/parameters/ParameterListNeighbour.h"
#include "document/parameters/VKDefinedObjectsController.h"
#include "graph/dependency/DependencyDocument.h"
#include "graph/dependency/VKDependencyBase.h"
#include "support/MessageCapture.h"

namespace orrelin::testing_support {

class TestDocument : public DependencyDocument, public ParameterListNeighbour {
 public:
  std::vector<std::string> columnNames() const override { return columns; }
  void parameterListChanged(const ParameterListChanges& changes) override { announcements.push_back(changes); }
  void entryChanged(VKDependencyBase*) override { ++entriesChanged; }
  void presentException(const std::exception&, const std::string&) override {}

  std::vector<std::string> columns;
  std::vector<ParameterListChanges> announcements;
  int entriesChanged = 0;
};

// Reads a parameter, as a column or a command would: counts each notice and
// records the value the parameter has when the notice arrives.
class Consumer : public VKDependencyBase {
 public:
  using VKDependencyBase::entryChanged;
  void entryChanged(VKDependencyBase* sender, DependencyVisitSet& alreadySentFor) override {
    if (alreadySentFor.contains(this)) return;
    ++notices;
    if (auto* parameter = dynamic_cast<VKParameterController*>(sender)) seen.push_back(parameter->valueOfVariable());
    VKDependencyBase::entryChanged(sender, alreadySentFor);
  }
  int notices = 0;
  std::vector<double> seen;
};

// A definitions list owned by a test document.
struct Definitions {
  Definitions();
  ~Definitions();
  std::shared_ptr<TestDocument> document;
  VKDefinedObjectsController list;
  // Makes a consumer that reads the parameter.
  std::shared_ptr<Consumer> consumerOf(const std::shared_ptr<VKDependencyBase>& parameter);
  std::vector<std::shared_ptr<Consumer>> consumers;
};

}  // namespace orrelin::testing_support
