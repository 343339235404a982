#pragma once
// The row-number column, always first in the table: row r holds r + 1 (rows
// count from 1, as subscripts in formulas do). Its length is the table's
// row count; formulas that use it may ask for more rows, which it numbers
// on without changing what the table shows.

#include "table/OrrelinColumn.h"

namespace orrelin {

class VKDataColumnNumber final : public OrrelinColumn {
 public:
  VKDataColumnNumber();
  static std::shared_ptr<VKDataColumnNumber> createEmptyFor(const std::shared_ptr<DependencyDocument>& document = nullptr);

  std::string type() const override;
  bool isRowNumberColumn() const override { return true; }
  bool isNumberColumn() const override { return true; }

  long howManyEntries() override { return rowCount_; }
  std::shared_ptr<const KRDoubleArrayContainer> numberVersion() override;
  std::shared_ptr<const KRUCharArrayContainer> whichAreIncluded() override;

  // The table's row count; the values change when it does.
  void setNumberOfRows(long rows);
  // Row numbers for at least length rows (possibly more).
  std::shared_ptr<const KRDoubleArrayContainer> numberVersionForLength(long length);
  void prepareForLength(long length) override { numberVersionForLength(length); }

 protected:
  void writeOwnDescription(PlistDictionary& description, PlistDictionary& info) override;

 private:
  long rowCount_ = 0;
  std::shared_ptr<KRDoubleArrayContainer> numbered_;  // 1, 2, 3 ... for at least rowCount_ rows
  std::shared_ptr<const KRDoubleArrayContainer> exact_;
  std::shared_ptr<const KRUCharArrayContainer> mask_;
};

}  // namespace orrelin
