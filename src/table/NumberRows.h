#pragma once
// The numbers of a column with their validity mask: a double array and a
// byte array of one length (1 for a row that holds a valid value, 0 for an
// empty or invalid row). Readers get the arrays themselves and may keep
// them; a change after that works on a copy, so what a reader holds never
// changes under it.
//
// Large arrays that the rows let go of (replaced by an edit, or with the
// rows) are freed on the memory manager's thread, so that dropping a big
// column never stalls the main thread.

#include <cstdint>
#include <memory>
#include <vector>

#include "numeric/KRDoubleArrayContainer.h"
#include "numeric/KRUCharArrayContainer.h"
#include "table/RowEditing.h"

namespace orrelin {

class NumberRows {
 public:
  // Arrays of at least this many rows are freed in the background.
  static constexpr long kLargeRows = 65536;

  NumberRows();
  NumberRows(const NumberRows&) = default;
  NumberRows(NumberRows&&) noexcept = default;
  NumberRows& operator=(const NumberRows& other);
  NumberRows& operator=(NumberRows&& other);
  ~NumberRows();
  // Takes the arrays as they are (the mask cut or padded with 1 to the
  // length of the values, a missing mask meaning every row is valid).
  NumberRows(std::shared_ptr<const KRDoubleArrayContainer> values, std::shared_ptr<const KRUCharArrayContainer> mask);
  NumberRows(const std::vector<double>& values, const std::vector<std::uint8_t>& mask);
  // Takes mutable arrays over without copying them (a large column read
  // from a file); the caller does not write to them afterwards. A mask of
  // another length is made to fit as above.
  static NumberRows adopt(std::shared_ptr<KRDoubleArrayContainer> values, std::shared_ptr<KRUCharArrayContainer> mask);
  // The same with a mask that another column holds too (it is copied before
  // either writes to it); it must hold 0 and 1 only and fit the values.
  static NumberRows adopt(std::shared_ptr<KRDoubleArrayContainer> values,
                          std::shared_ptr<const KRUCharArrayContainer> sharedMask);

  long length() const { return values_->length(); }
  std::shared_ptr<const KRDoubleArrayContainer> values() const { return values_; }
  std::shared_ptr<const KRUCharArrayContainer> mask() const { return mask_; }
  const double* valuePointer() const { return values_->constDoublePointer(); }
  const std::uint8_t* maskPointer() const { return mask_->constPointer(); }

  // NaN for a row past the end.
  double value(long row) const;
  // Set in the mask; false past the end.
  bool included(long row) const;
  // Included and finite: the rows that statistics and formulas count.
  bool valid(long row) const;

  // Sets one row, growing the column with invalid rows when the row is past
  // the end.
  void set(long row, double value, bool included);
  void resize(long length);
  void clear() { resize(0); }

  void insertRows(const RowIndices& positions, const std::vector<double>& values, const std::vector<std::uint8_t>& mask);
  void removeRows(const RowIndices& positions);
  void reorder(const std::vector<long>& order);

  std::vector<double> valueVector() const;
  std::vector<std::uint8_t> maskVector() const;

 private:
  void assign(const std::vector<double>& values, const std::vector<std::uint8_t>& mask);
  // Rebuilds the arrays from a plan: row k of the result is row plan[k] of
  // the current arrays, or, for plan[k] = -2 - j, the j-th of the extra
  // values; -1 gives an empty row.
  void gather(const std::vector<long>& plan, const std::vector<double>& extraValues,
              const std::vector<std::uint8_t>& extraMask);
  // Makes sure no reader shares the arrays before they are written to.
  void makeWritable();
  // Puts new arrays in place of the current ones, which are let go of.
  void replaceArrays(std::shared_ptr<KRDoubleArrayContainer> values, std::shared_ptr<KRUCharArrayContainer> mask);

  std::shared_ptr<KRDoubleArrayContainer> values_;
  std::shared_ptr<KRUCharArrayContainer> mask_;
};

}  // namespace orrelin
