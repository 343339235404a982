#pragma once
// The line parser in its two steps: reading the records of the lines into
// texts column by column (the lines may go once this is done, so a file's
// text and its texts are not held at the same time), and writing them into
// the table.

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "datafiles/KRDataFileProgress.h"
#include "numeric/KRDoubleArrayContainer.h"
#include "table/CellTextStore.h"
#include "table/import/ImportTargets.h"
#include "table/import/KRBigTextFile.h"

namespace orrelin {

// The numbers of a coded column as they are gathered, straight into an
// array with room to spare, so that the column takes the array as it is
// instead of a copy.
class GatheredNumbers {
 public:
  std::size_t size() const { return size_; }
  const double* data() const { return data_; }
  double operator[](std::size_t row) const { return data_[row]; }
  // Room for `rows` numbers, a guess: pages never written cost only
  // address space, and a guess beyond the most an array holds is cut to
  // that, so that only rows that really come past it fail.
  void reserve(std::size_t rows);
  void push_back(double value) {
    if (size_ == room_) makeRoomFor(size_ + 1);
    data_[size_++] = value;
  }
  // Fills rows up to `rows` with the value (or drops the rows past it).
  void resize(std::size_t rows, double value);
  // Adds the other's numbers at the end and frees them.
  void append(GatheredNumbers&& more);
  // The array, exactly size() long; this is left empty.
  std::shared_ptr<KRDoubleArrayContainer> take();

 private:
  // Room for `rows` that must fit, grown by half at least, so that a column
  // growing block by block is copied only a few times. Throws bad_alloc
  // (after the array's own message) when they cannot.
  void makeRoomFor(std::size_t rows);
  void moveInto(std::size_t room);

  std::shared_ptr<KRDoubleArrayContainer> array_;
  double* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t room_ = 0;
};

// The fields of a run of records, column by column.
struct Gathered {
  std::vector<CellTextStore> texts;
  // For the columns whose stores are coded (typed-in targets and new
  // columns): the number of each row held in a form, NaN for the others.
  std::vector<GatheredNumbers> numbers;
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
// Bytes read at a time from a text file.
inline constexpr std::size_t kImportBlockSize = std::size_t(1) << 22;

// The same for a text file. UTF-8 text (with or without its byte-order
// mark) is read and gathered in blocks of `blockSize` bytes, so that the
// whole text is never held; other encodings are decoded as a whole first
// (readInBlocks tells which way it went). None, with the reason in `error`,
// when the file cannot be read or changes while it is read.
std::optional<ParsedLines> parseTextFile(const DataDocumentTable& table, const std::string& path,
                                         const std::optional<RowIndices>& overwriteColumns, long startAddingColumn,
                                         bool allowAddingColumns, KRDataFileProgress* progress, std::string* error,
                                         std::size_t blockSize = kImportBlockSize, bool* readInBlocks = nullptr);
RowIndices writeParsedLines(DataDocumentTable& table, ParsedLines parsed, long startAddingColumn, bool recordUndo);

}  // namespace orrelin
