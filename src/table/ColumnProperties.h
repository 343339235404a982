#pragma once
// The properties an expression may ask of a number column (x.max, x.isum
// ...). Each is computed over the valid rows: the rows below the column's
// row count whose mask byte is set and whose value is finite.
//
// The definitions, including those the names alone leave open:
//   length       the number of rows, invalid rows included
//   min, max     smallest and largest valid value (+infinity and -infinity
//                when there is none); range is max - min
//   sum          sum of the valid values (0 when there is none)
//   average      sum / number of valid values (NaN when there is none)
//   sigma, s     root of the summed squared deviations from the average over
//                n, and over n - 1 (NaN for n = 0, and for s also n = 1)
//   median       the valid values sorted ascending, element n / 2 (the upper
//                middle one for an even n); NaN without valid rows
//   first, last  the first and the last valid value; NaN without valid rows
//   count        the number of valid rows
// Array properties give one element per row of the column, valid where the
// row is valid, unless said otherwise:
//   isum         running sum of the valid values
//   rmax, rmin   running maximum and minimum of the valid values so far
//   totalcount   running count of the valid rows (so x.isum/x.totalcount is
//                the running average)
//   delta        the value minus the value of the nearest valid row above;
//                the first valid row has none and is invalid
//   rank         1 for the smallest valid value, n for the largest; equal
//                values share the average of their ranks
//   sortedindex  one element per valid row: the row numbers (counted from
//                1, as subscripts count) of the valid values in ascending
//                order, so y(x.sortedindex) is y ordered by x
//   sortwith     one element per valid row: the valid values in ascending
//                order, the partner of y(x.sortedindex)
//   unwrap2π, unwrap1, unwrap360
//                the values with the jumps of a phase removed: whenever a
//                valid value differs from the previous valid one by more
//                than half the period (2π, 1 or 360), whole periods are
//                added or taken away so that it does not

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "numeric/KRDoubleArrayContainer.h"
#include "numeric/KRUCharArrayContainer.h"

namespace orrelin {

// What a property gives: a number, or an array with its mask.
struct ColumnProperty {
  bool isArray = false;
  double number = 0;
  std::shared_ptr<const KRDoubleArrayContainer> array;
  std::shared_ptr<const KRUCharArrayContainer> mask;
};

enum class ColumnPropertyKind {
  Min, Max, Length, Range, Average, Median, Sigma, S, First, Last, Sum, ISum,
  RMax, RMin, Count, TotalCount, SortedIndex, Rank, SortWith, Delta,
  Unwrap2Pi, Unwrap1, Unwrap360,
};

// The kind named by a property ending ("max", "unwrap2π" ...); none for
// any other text.
std::optional<ColumnPropertyKind> columnPropertyKind(std::string_view ending);
bool columnPropertyIsArray(ColumnPropertyKind kind);

// The property of the first rows of values and mask.
ColumnProperty computeColumnProperty(ColumnPropertyKind kind, const double* values, const std::uint8_t* mask, long rows);

// The message for property names with unknown endings (or for columns that
// have no properties): one name or several, and the list of valid endings.
std::string invalidPropertyMessage(const std::vector<std::string>& names);

}  // namespace orrelin
