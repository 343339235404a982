#pragma once
// The line parser in its two steps: reading the records of the lines into
// texts column by column (the lines may go once this is done, so a file's
// text and its texts are not held at the same time), and writing them into
// the table.

#include <optional>
#include <string>
#include <vector>

#include "datafiles/KRDataFileProgress.h"
#include "table/CellTextStore.h"
#include "table/import/ImportTargets.h"
#include "table/import/KRBigTextFile.h"

namespace orrelin {

// The fields of a run of records, column by column.
struct Gathered {
  std::vector<CellTextStore> texts;
  // For the columns whose stores are coded (typed-in targets and new
  // columns): the number of each row held in a form, NaN for the others.
  std::vector<std::vector<double>> numbers;
  // Whether a column first met in a record codes its store: per target, and
  // for the columns beyond them.
  std::vector<bool> codedTargets;
  bool codedBeyondTargets = false;
  long rows = 0;
  // Fields past the widest record the import keeps.
  long dropped = 0;
  bool stopped = false;
};

struct ParsedLines {
  ImportTargets targets;
  std::vector<std::string> headers;
  Gathered gathered;
};

// None when there is nothing to import or the user stopped it.
std::optional<ParsedLines> parseLines(const DataDocumentTable& table, const ImportLines& lines,
                                      const std::optional<RowIndices>& overwriteColumns, long startAddingColumn,
                                      bool allowAddingColumns, bool knownToBeTab, KRDataFileProgress* progress);
RowIndices writeParsedLines(DataDocumentTable& table, ParsedLines parsed, long startAddingColumn, bool recordUndo);

}  // namespace orrelin
