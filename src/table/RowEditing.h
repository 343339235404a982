#pragma once
// The row operations every column kind shares (insert rows at positions,
// remove rows, put rows in a new order), written once for the text lists and
// the number arrays that the kinds hold.

#include <algorithm>
#include <cstddef>
#include <vector>

namespace orrelin {

// Row positions, ascending and without repeats.
using RowIndices = std::vector<long>;

// Sorts and drops repeats and negative positions.
RowIndices normalizedRows(RowIndices rows);
// from, from + 1, ..., from + count - 1.
RowIndices consecutiveRows(long from, long count);

// Inserts the items so that item k ends up at position positions[k] of the
// result (positions ascending, as normalizedRows gives them). A position past
// the end of what is there appends; rows are never left undefined: a gap is
// filled with empty.
template <class T>
std::vector<T> insertedRows(const std::vector<T>& rows, const RowIndices& positions, const std::vector<T>& items,
                            const T& empty) {
  std::vector<T> result;
  result.reserve(rows.size() + positions.size());
  std::size_t from = 0;
  for (std::size_t k = 0; k < positions.size(); ++k) {
    const auto at = static_cast<std::size_t>(positions[k]);
    while (result.size() < at && from < rows.size()) result.push_back(rows[from++]);
    while (result.size() < at) result.push_back(empty);
    result.push_back(k < items.size() ? items[k] : empty);
  }
  while (from < rows.size()) result.push_back(rows[from++]);
  return result;
}

// The rows without those at the given positions (positions past the end are
// ignored).
template <class T>
std::vector<T> removedRows(const std::vector<T>& rows, const RowIndices& positions) {
  std::vector<T> result;
  result.reserve(rows.size());
  std::size_t next = 0;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    while (next < positions.size() && positions[next] < long(r)) ++next;
    if (next < positions.size() && positions[next] == long(r)) continue;
    result.push_back(rows[r]);
  }
  return result;
}

// Row k of the result is row order[k] of the rows (empty when the column has
// no such row); rows at and after order.size() stay where they are.
template <class T>
std::vector<T> reorderedRows(const std::vector<T>& rows, const std::vector<long>& order, const T& empty) {
  std::vector<T> result(std::max(rows.size(), order.size()), empty);
  for (std::size_t k = 0; k < order.size(); ++k) {
    const long from = order[k];
    if (from >= 0 && std::size_t(from) < rows.size()) result[k] = rows[std::size_t(from)];
  }
  for (std::size_t k = order.size(); k < rows.size(); ++k) result[k] = rows[k];
  // A column that was shorter than the order keeps only the rows it has
  // something in.
  while (result.size() > rows.size() && result.back() == empty) result.pop_back();
  return result;
}

}  // namespace orrelin
