#pragma once
// Numbers read from the entries of a text column, each the way a typed-in
// cell is read. The "Column" setting names the text column (as this column
// sees names); the column reads it as its consumer and reads it again only
// when its serial number has changed.

#include "table/ComputedColumn.h"

namespace orrelin {

class VKDataColumnNumberFromString final : public ComputedColumn {
 public:
  static std::shared_ptr<VKDataColumnNumberFromString> createEmptyFor(
      const std::shared_ptr<DependencyDocument>& document = nullptr);

  std::string type() const override;
  std::string whyNoValues() override;

  std::string sourceColumnName() const;
  void setSourceColumnName(const std::string& name);
  bool isValid();

  void makeSureThingsAreUpToDate() override;
  void establishDependencyConnections() override { connectToSource(); }
  void connectMissingSuppliers() override { connectToSource(); }
  void disconnectUnwantedSuppliers() override { connectToSource(); }
  void columnNamesOrVariableNamesChanged() override { connectToSource(); }

 protected:
  void supplierChanged(VKDependencyBase* sender) override;
  void settingChanged(const std::string& name) override;

 private:
  ColumnPtr sourceColumn() const;
  void connectToSource();

  std::int32_t cacheBasedOnStringColumn_ = -1;
  bool isValid_ = false;
  bool cacheUpToDate_ = false;
  std::string reason_;
};

}  // namespace orrelin
