#pragma once
// Values typed in or imported as text: each cell keeps its text as typed and
// the number read from it (a plain number, or a formula such as 1/3). A cell
// whose formula names parameters keeps its parsed formula, the column counts
// the parameters its cells use and reads them as their consumer; when one of
// them changes, those cells are worked out again.
//
// After a bulk read, a cell whose text is exactly what a number form gives
// for its number keeps only the form's code (the column codes its store
// when at least half its rows are such); the text is made again when asked.

#include <map>
#include <memory>

#include "table/NumberRows.h"
#include "table/TextColumn.h"

namespace orrelin {

class KRExpression;
class VKParameterController;

class VKDataColumnSpecified final : public TextColumn {
 public:
  // From this many formula cells on, the parsed formulas are freed in the
  // background when the column lets go of them.
  static constexpr long kManyCachedExpressions = 1000;

  ~VKDataColumnSpecified() override;
  static std::shared_ptr<VKDataColumnSpecified> createEmptyFor(const std::shared_ptr<DependencyDocument>& document = nullptr);

  std::string type() const override;
  bool isNumberColumn() const override { return true; }
  bool canBeModified() const override { return true; }

  std::shared_ptr<const KRDoubleArrayContainer> numberVersion() override;
  std::shared_ptr<const KRUCharArrayContainer> whichAreIncluded() override;

  std::optional<PropertyList> propertyToSaveWithInfo(PlistDictionary& info) override;

  // Takes imported cells: a coded store and, per row, the number of each row
  // held in a form (the other rows are read from their texts). The array of
  // numbers becomes the column's own.
  bool takeCellsInForms(CellTextStore texts, std::shared_ptr<KRDoubleArrayContainer> numbers);

  // The cells that hold formulas with names, and how often each name occurs
  // in them.
  long howManyCachedExpressions() const { return howManyCachedExpressions_; }
  const std::map<std::string, int, std::less<>>& parametersUsed() const { return parametersUsed_; }
  // The parsed formula of a cell that uses names; none for any other cell.
  std::shared_ptr<const KRExpression> cachedExpression(long row) const;
  bool needToRecomputeExpressions() const { return needToRecomputeExpressions_; }
  // Works the formula cells out again with the parameters' current values;
  // a new serial number, and true, only when a value changed.
  bool recomputeExpressionsNow();

  void establishDependencyConnections() override { connectToParameters(); }
  void connectMissingSuppliers() override { connectToParameters(); }
  void disconnectUnwantedSuppliers() override { connectToParameters(); }
  bool parameterValueChangeAffectsColumn(const std::string& name) override;
  // The cells are worked out again only when a name they use now means
  // another parameter (or none, or one where there was none); the clients
  // hear of it only when values changed.
  void columnNamesOrVariableNamesChanged() override;

 protected:
  void textsChanged(long row) override;
  double numberOfCodedRow(std::size_t row) const override { return numbers_.value(long(row)); }
  void rowsInserted(const RowIndices& positions) override;
  void rowsRemoved(const RowIndices& positions) override;
  void rowsReordered(const std::vector<long>& order) override;
  bool readDataEntry(const PropertyList& data, const std::string& packagePath) override;
  void supplierChanged(VKDependencyBase* sender) override;

 private:
  // Reads one cell into the numbers and the formula bookkeeping.
  void readCell(long row);
  // The rows of a coded store moved with their numbers: the kept ones are
  // read again (their formulas are counted afresh).
  void readKeptRows();
  // Holds in their forms the cells whose texts their numbers make again,
  // when that is at least half of them.
  void codeRowsInForms();
  // The value of a formula cell with the document's parameters; none when a
  // name does not resolve.
  std::optional<double> evaluateCell(const KRExpression& expression) const;
  // Lets go of every parsed formula.
  void releaseCachedExpressions();
  // Works the formula cells out again; true when a value or its validity
  // changed. Takes no serial number.
  bool workOutFormulaCells();
  // Consumer of exactly the parameters the cells use, as the names resolve
  // now; true when a name resolves differently than when the cells were
  // last worked out.
  bool connectToParameters();

  NumberRows numbers_;
  std::vector<std::shared_ptr<const KRExpression>> cachedExpressions_;  // per row, once a cell has one
  long howManyCachedExpressions_ = 0;
  std::map<std::string, int, std::less<>> parametersUsed_;
  bool needToRecomputeExpressions_ = false;
  // What each name the cells use resolved to when they were last worked out
  // (empty for a name that resolved to nothing). Compared by owner, so a
  // parameter that is gone never matches one that came in its place.
  std::map<std::string, std::weak_ptr<VKParameterController>, std::less<>> resolvedParameters_;
};

}  // namespace orrelin
