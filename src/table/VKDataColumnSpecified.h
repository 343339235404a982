#pragma once
// Values typed in or imported as text: each cell keeps its text as typed and
// the number read from it (a plain number, or a formula such as 1/3). A cell
// whose formula names parameters keeps its parsed formula, the column counts
// the parameters its cells use and reads them as their consumer; when one of
// them changes, those cells are worked out again.

#include <map>
#include <memory>

#include "table/NumberRows.h"
#include "table/TextColumn.h"

namespace orrelin {

class KRExpression;

class VKDataColumnSpecified final : public TextColumn {
 public:
  static std::shared_ptr<VKDataColumnSpecified> createEmptyFor(const std::shared_ptr<TableDocument>& document = nullptr);

  std::string type() const override;
  bool isNumberColumn() const override { return true; }
  bool canBeModified() const override { return true; }

  std::shared_ptr<const KRDoubleArrayContainer> numberVersion() override;
  std::shared_ptr<const KRUCharArrayContainer> whichAreIncluded() override;

  std::optional<PropertyList> propertyToSaveWithInfo(PlistDictionary& info) override;

  // The cells that hold formulas with names, and how often each name occurs
  // in them.
  long howManyCachedExpressions() const { return howManyCachedExpressions_; }
  const std::map<std::string, int, std::less<>>& parametersUsed() const { return parametersUsed_; }
  bool needToRecomputeExpressions() const { return needToRecomputeExpressions_; }
  // Works the formula cells out again with the parameters' current values.
  void recomputeExpressionsNow();

  void establishDependencyConnections() override { connectToParameters(); }
  void connectMissingSuppliers() override { connectToParameters(); }
  void disconnectUnwantedSuppliers() override { connectToParameters(); }
  void parameterValueChanged(const std::string& name) override;
  bool parameterValueChangeAffectsColumn(const std::string& name) override;
  void columnNamesOrVariableNamesChanged() override;

 protected:
  void textsChanged(long row) override;
  bool readDataEntry(const PropertyList& data, const std::string& packagePath) override;
  void supplierChanged(VKDependencyBase* sender) override;

 private:
  // Reads one cell into the numbers and the formula bookkeeping.
  void readCell(long row);
  // The value of a formula cell with the document's parameters; none when a
  // name does not resolve.
  std::optional<double> evaluateCell(const KRExpression& expression) const;
  // Consumer of exactly the parameters the cells use.
  void connectToParameters();

  NumberRows numbers_;
  std::vector<std::shared_ptr<const KRExpression>> cachedExpressions_;  // per row, once a cell has one
  long howManyCachedExpressions_ = 0;
  std::map<std::string, int, std::less<>> parametersUsed_;
  bool needToRecomputeExpressions_ = false;
};

}  // namespace orrelin
