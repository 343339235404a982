#pragma once
// A small document for the table's tests: number and text parameters that
// columns can read (each a node of the dependency graph, so a change
// reaches its consumers), and a record of what the table told it.

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "table/DataDocumentTable.h"
#include "table/TableDocument.h"

namespace orrelin::testing_support {

class TestParameter final : public VKDependencyBase {
 public:
  std::optional<double> number;
  std::optional<std::string> text;
};

class TestDocument final : public TableDocument, public std::enable_shared_from_this<TestDocument> {
 public:
  static std::shared_ptr<TestDocument> create() {
    auto document = std::make_shared<TestDocument>();
    document->table = DataDocumentTable::create(document);
    return document;
  }
  ~TestDocument() override {
    for (auto& [name, parameter] : parameters_) parameter->setDocument(nullptr);
  }

  // A number parameter; a new one is announced as a new parameter would be.
  void setParameter(const std::string& name, double value) {
    auto& parameter = parameters_[name];
    const bool added = !parameter;
    if (added) parameter = std::make_shared<TestParameter>();
    parameter->number = value;
    parameter->text.reset();
    if (added)
      table->parameterListChanged();
    else
      parameter->thisControllerChanged();
  }
  void setTextParameter(const std::string& name, const std::string& value) {
    auto& parameter = parameters_[name];
    if (!parameter) parameter = std::make_shared<TestParameter>();
    parameter->text = value;
    parameter->number.reset();
    table->parameterListChanged();
  }
  void removeParameter(const std::string& name) {
    if (auto found = parameters_.find(name); found != parameters_.end()) {
      found->second->setDocument(nullptr);
      parameters_.erase(found);
    }
    table->parameterListChanged();
  }

  std::optional<double> valueForParameter(const std::string& name) override {
    auto found = parameters_.find(name);
    return found == parameters_.end() ? std::nullopt : found->second->number;
  }
  std::optional<std::string> stringForParameter(const std::string& name) override {
    auto found = parameters_.find(name);
    return found == parameters_.end() ? std::nullopt : found->second->text;
  }
  std::shared_ptr<VKDependencyBase> parameterWithName(const std::string& name) override {
    auto found = parameters_.find(name);
    return found == parameters_.end() ? nullptr : found->second;
  }
  void tableColumnsChanged(DataDocumentTable&) override { ++columnListNotices; }
  void entryChanged(VKDependencyBase* sender) override { changed.push_back(sender); }
  void presentException(const std::exception&, const std::string&) override {}

  std::shared_ptr<DataDocumentTable> table;
  int columnListNotices = 0;
  std::vector<VKDependencyBase*> changed;

 private:
  std::map<std::string, std::shared_ptr<TestParameter>> parameters_;
};

// The rows of a column as the test compares them: the value of every valid
// row, and NaN for the others.
inline std::vector<double> validValues(OrrelinColumn& column) {
  std::vector<double> values;
  for (long r = 0; r < column.howManyEntries(); ++r) values.push_back(column.valueAtRow(r));
  return values;
}

// The same values, NaN counting as equal to NaN.
inline bool sameValues(const std::vector<double>& a, const std::vector<double>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](double x, double y) { return x == y || (x != x && y != y); });
}

inline std::vector<int> maskOf(OrrelinColumn& column) {
  const auto mask = column.whichAreIncluded();
  return std::vector<int>(mask->constPointer(), mask->constPointer() + mask->length());
}

}  // namespace orrelin::testing_support
