#pragma once
// Columns connected to an entry of the data store: "UUID" names the data
// object and "Column Used" the column of it that this column shows. The data
// store itself is not connected here, so the columns show the values saved
// with the document (and say so); they cannot be edited.

#include "table/NumberColumn.h"
#include "table/TextColumn.h"

namespace orrelin {

// The settings both kinds share.
class VKDataColumnDataObject {
 public:
  static std::string uuid(const OrrelinColumn& column);
  static std::string columnUsed(const OrrelinColumn& column);
};

class VKDataColumnDataObjectString final : public TextColumn {
 public:
  static std::shared_ptr<VKDataColumnDataObjectString> createEmptyFor(
      const std::shared_ptr<DependencyDocument>& document = nullptr);
  std::string type() const override;
  bool isStringColumn() const override { return true; }
  bool connectedToDataSource() const override { return true; }
  std::string whyNoValues() override;
  // The texts from the store (or the copy saved with the document).
  void setTexts(std::vector<std::string> strings);

  std::optional<PropertyList> propertyToSaveWithInfo(PlistDictionary& info) override;

 protected:
  void textsChanged(long) override {}
  bool readDataEntry(const PropertyList& data, const std::string& packagePath) override;
};

class VKDataColumnDataObjectBinary final : public NumberColumn {
 public:
  static std::shared_ptr<VKDataColumnDataObjectBinary> createEmptyFor(
      const std::shared_ptr<DependencyDocument>& document = nullptr);
  std::string type() const override;
  bool connectedToDataSource() const override { return true; }
  std::string whyNoValues() override;
  // The numbers from the store (or the copy saved with the document).
  void setValues(const std::vector<double>& values, const std::vector<std::uint8_t>& mask);
};

}  // namespace orrelin
