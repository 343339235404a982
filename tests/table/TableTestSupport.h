#pragma once
// A small document for the table's tests: it holds the production wiring of
// a table and a definitions list (DocumentData) and records the changes that
// reach it.

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/parameters/VKDefinedObjectsController.h"
#include "table/DataDocumentTable.h"
#include "table/DocumentData.h"

namespace orrelin::testing_support {

class TestDocument final : public DependencyDocument {
 public:
  static std::shared_ptr<TestDocument> create() {
    auto document = std::make_shared<TestDocument>();
    document->data = DocumentData::create(document);
    document->table = document->data->table();
    return document;
  }

  VKDefinedObjectsController& definitions() { return data->definitions(); }

  // A number parameter given by a formula text; made when it is new.
  void setParameter(const std::string& name, double value) { setParameterText(name, std::to_string(value)); }
  void setParameterText(const std::string& name, const std::string& text) {
    auto parameter = definitions().parameterWithName(name);
    if (!parameter) parameter = definitions().addParameterValue(name);
    parameter->setValue(text);
  }
  void setTextParameter(const std::string& name, const std::string& value) {
    auto parameter = definitions().parameterWithName(name);
    if (!parameter) parameter = definitions().addParameterString(name);
    parameter->setValue(value);
  }
  void removeParameter(const std::string& name) {
    if (auto parameter = definitions().parameterWithName(name)) definitions().deleteParameter(parameter.get());
  }
  std::optional<double> valueForParameter(const std::string& name) { return definitions().valueForParameter(name); }

  void entryChanged(VKDependencyBase* sender) override { changed.push_back(sender); }
  void presentException(const std::exception&, const std::string&) override {}

  std::shared_ptr<DocumentData> data;
  std::shared_ptr<DataDocumentTable> table;
  std::vector<VKDependencyBase*> changed;
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
