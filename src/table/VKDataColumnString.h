#pragma once
// Text values. The "Value Type" setting says whether the texts also stand
// for numbers: 3 reads each text as a number (as a typed-in cell is read),
// 4 looks each text up in the column's value map (text to number); any other
// value type (1, the default, and 2) keeps the column text only. A column
// with a numeric value type is also a number column.

#include <utility>
#include <vector>

#include "table/NumberRows.h"
#include "table/TextColumn.h"

namespace orrelin {

class VKDataColumnString final : public TextColumn {
 public:
  static constexpr int kTextOnly = 1;
  static constexpr int kNumberFromText = 3;
  static constexpr int kNumberFromMap = 4;

  static std::shared_ptr<VKDataColumnString> createEmptyFor(const std::shared_ptr<DependencyDocument>& document = nullptr);

  std::string type() const override;
  bool isStringColumn() const override { return true; }
  bool isNumberColumn() const override { return hasNumericValueType(); }
  bool canBeModified() const override { return true; }

  int valueType() const;
  void setValueType(int tag);
  bool hasNumericValueType() const;
  // The text-to-number map, in the order it is shown and stored.
  using ValueMap = std::vector<std::pair<std::string, double>>;
  const ValueMap& tableValueMap() const { return tableValueMap_; }
  void setTableValueMap(ValueMap map);

  std::shared_ptr<const KRDoubleArrayContainer> numberVersion() override;
  std::shared_ptr<const KRUCharArrayContainer> whichAreIncluded() override;

  std::optional<PropertyList> propertyToSaveWithInfo(PlistDictionary& info) override;

 protected:
  void textsChanged(long row) override;
  void settingChanged(const std::string& name) override;
  bool isOwnDescriptionKey(const std::string& key) const override;
  void writeOwnDescription(PlistDictionary& description, PlistDictionary& info) override;
  void readOwnDescription(const PropertyList& description) override;
  bool readDataEntry(const PropertyList& data, const std::string& packagePath) override;

 private:
  void computeNumbers();

  ValueMap tableValueMap_;
  NumberRows numbers_;
  bool numberVersionUpToDate_ = false;
  // The numbers' file last written or read beside a long list.
  ColumnFile cacheFile_;
};

}  // namespace orrelin
