#pragma once
// Which columns an import writes, and what happens once it has: the columns
// of the overwrite pool that can be modified, in pool order, take the
// imported columns one after another; further imported columns become new
// columns (when adding is allowed) at the start-adding position, or at the
// end of the table when none is given. Afterwards the written columns take
// their header names, the table counts its rows again and formula columns
// catch up.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "table/DataDocumentTable.h"

namespace orrelin {

// A record keeps at most this many fields; the rest are counted as dropped.
// (A line of a billion commas would otherwise ask for a billion columns.)
inline constexpr std::size_t kMaximumImportedColumns = 4096;

struct ImportTargets {
  // The columns to fill, in order.
  std::vector<ColumnPtr> columns;
  // Whether a date or text column is among them.
  bool hasDateOrText = false;
};

// The pool (without position 0 when it comes first); without a pool and
// without a start-adding position, every column after the row numbers.
ImportTargets importTargets(const DataDocumentTable& table, const std::optional<RowIndices>& overwriteColumns,
                            long startAddingColumn);

struct ImportedColumn {
  ColumnPtr column;
  // "" leaves the name alone.
  std::string header;
  // Not yet in the table.
  bool isNew = false;
};

// Inserts the new columns, renames the written ones after their headers (one
// undo action restoring the old names when recordUndo is on), brings the
// table up to date and gives the positions written.
RowIndices finishImport(DataDocumentTable& table, const std::vector<ImportedColumn>& written, long startAddingColumn,
                        bool recordUndo);

// Tells the user how many fields had no column to go to.
void reportDroppedFields(long dropped);

}  // namespace orrelin
