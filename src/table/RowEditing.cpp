#include "table/RowEditing.h"

#include <algorithm>

namespace orrelin {

RowIndices normalizedRows(RowIndices rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  rows.erase(rows.begin(), std::lower_bound(rows.begin(), rows.end(), 0L));
  return rows;
}

RowIndices consecutiveRows(long from, long count) {
  RowIndices rows;
  for (long k = 0; k < count; ++k) rows.push_back(from + k);
  return rows;
}

}  // namespace orrelin
