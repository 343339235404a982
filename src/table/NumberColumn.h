#pragma once
// What the kinds that hold only numbers share (binary number columns and
// their data-store sibling): the numbers with their mask, the row
// operations on them, and a data entry that is a binary data file in the
// package (or the arrays inline when there is no package).

#include "table/ColumnFiles.h"
#include "table/NumberRows.h"
#include "table/OrrelinColumn.h"

namespace orrelin {

class NumberColumn : public OrrelinColumn {
 public:
  bool isNumberColumn() const override { return true; }
  std::shared_ptr<const KRDoubleArrayContainer> numberVersion() override { return rows_.values(); }
  std::shared_ptr<const KRUCharArrayContainer> whichAreIncluded() override { return rows_.mask(); }
  long howManyEntries() override { return rows_.length(); }

  // Typed text is read as a cell is (a number or a formula of constants).
  bool setString(const std::string& text, long index) override;
  bool setData(const std::vector<double>& values, const RowIndices& indices) override;
  bool addRowIndices(const RowIndices& indices, const std::vector<std::string>& strings) override;
  bool addEmptyLines(long count, long intoRow) override;
  bool removeRowNumbers(const RowIndices& rows) override;
  bool reorderRows(const std::vector<long>& order) override;
  bool prepareForInput() override;
  bool setStringList(const std::vector<std::string>& strings) override;
  bool setNumbers(const std::vector<double>& values, const std::vector<std::uint8_t>& mask) override;
  // Takes arrays over without copying them (see NumberRows::adopt).
  void adoptNumbers(std::shared_ptr<KRDoubleArrayContainer> values, std::shared_ptr<KRUCharArrayContainer> mask);

  bool takesDataEntry() const override { return true; }
  std::optional<PropertyList> propertyToSaveWithInfo(PlistDictionary& info) override;

  // Whether the file last written or read still holds the numbers.
  bool binaryFileSameAsData() const { return binaryFile_.sameAsData; }

 protected:
  bool readDataEntry(const PropertyList& data, const std::string& packagePath) override;
  void numbersEdited(bool appendOnly);

  NumberRows rows_;
  ColumnFile binaryFile_;
};

}  // namespace orrelin
