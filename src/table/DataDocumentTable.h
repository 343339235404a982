#pragma once
// The document's table: the ordered list of columns, the row-number column
// always first. It hands out the columns' identity numbers, keeps the row
// count, lists columns by name as one column sees them (groups hide their
// columns from outside), and tells the columns and the document when names
// or the order of columns change.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "graph/dependency/VKDependencyBase.h"
#include "platform/PropertyList.h"
#include "table/OrrelinColumn.h"

namespace orrelin {

class ParameterLookup;
class TableOwner;
class VKDataColumnNumber;
class KRDataFileProgress;
class ImportProgress;
struct ParsedColumns;

using ColumnNameMap = std::map<std::string, ColumnPtr>;

class DataDocumentTable : public VKDependencyBase {
 public:
  // A table holding only the row-number column.
  static std::shared_ptr<DataDocumentTable> create(const std::shared_ptr<DependencyDocument>& document = nullptr);
  ~DataDocumentTable() override;

  const std::vector<ColumnPtr>& columns() const { return columns_; }
  long numberOfColumns() const { return long(columns_.size()); }
  ColumnPtr columnAtIndex(long index) const;
  // -1 when the column is not in the table.
  long indexOfColumn(const OrrelinColumn* column) const;
  ColumnPtr columnWithSerialNumber(std::int64_t columnSerialNumber) const;
  std::shared_ptr<VKDataColumnNumber> rowNumberColumn() const;

  // Inserting: position 0 belongs to the row-number column, so a column
  // goes at 1 or later (a larger index appends). A column already in a
  // table is refused.
  bool insertColumn(const ColumnPtr& column, long atIndexNumber);
  bool addDataColumn(const ColumnPtr& column, long atLocation) { return insertColumn(column, atLocation); }
  // After the last selected column, or at the end when none is selected.
  bool addDataColumnAfterSelection(const ColumnPtr& column, const RowIndices& selectedColumns);
  // Appends a whole list at once, as a document being read does; a list
  // that does not start with a row-number column gets one. Names are
  // resolved once, after the last column is in.
  void appendColumns(const std::vector<ColumnPtr>& columns);

  // Removing: the row-number column stays, except in removeAllColumns.
  bool removeColumnNumber(long index);
  bool removeColumns(const RowIndices& indexes);
  void removeAllColumns();
  bool moveColumnFrom(long from, long to);
  // Puts converted in the place of original, handing over the identity
  // number so that whatever refers to the column keeps working.
  bool replacedColumn(const ColumnPtr& original, const ColumnPtr& converted);

  // Renames several columns at once (one notice for all).
  void setColumnNames(const std::vector<std::pair<ColumnPtr, std::string>>& names);
  // Each chosen column takes its first row as its name and loses that row.
  bool moveFirstRowToTitles(const RowIndices& columnIndexes);
  // Row operations on chosen columns; withData holds the texts of the new
  // rows, one list per column.
  bool addRowIndices(const RowIndices& rows, const RowIndices& toColumns, const std::vector<std::vector<std::string>>& withData);
  bool removeRowNumbers(const RowIndices& rows, const RowIndices& fromColumns);
  bool reorderRows(const std::vector<long>& order, const RowIndices& inColumns);

  // The names of the columns that have one, in table order (parameters may
  // not take them).
  std::vector<std::string> columnNames() const;

  // The longest column decides the row count, which the row-number column
  // then shows.
  long recomputeNumberOfRows();
  long numberOfRows() const { return numberOfRows_; }

  // Name lookup as one column sees it: its own group first (with the groups
  // nested in it), then each enclosing level outward without the groups
  // nested there; the first column in table order wins within a level. A
  // column not in the table sees nothing. Without strings, only number
  // columns are listed. Kept until columns change.
  std::shared_ptr<const ColumnNameMap> columnsByNameVisibleFrom(const OrrelinColumn& column, bool allowStrings);
  // Every column by name, as from outside all groups: the top level first,
  // then the columns inside groups, each time the first in table order.
  std::shared_ptr<const ColumnNameMap> columnsByNameAllowStrings(bool allowStrings);
  // The name as it has to be written in a formula: unchanged when it reads
  // as one plain name, otherwise between double quotes.
  static std::string makeSafeForExpression(const std::string& name);

  // Text import (the import code defines these). An overwrite pool is the
  // set of positions an import may write into; none means the import picks
  // its columns itself. Each gives the positions it wrote.
  // Every column but the row numbers, by position: the pool of a batch run.
  RowIndices displayedColumnIndexesExceptRowNumber() const;
  // The batch tool's import: never adds columns.
  RowIndices overwriteByImportingFile(const std::string& path, const RowIndices& overwriteColumns);
  // The interactive import; false, with a message, when the file was refused
  // or could not be read.
  bool importAll(const std::string& path, const std::optional<RowIndices>& overwriteColumns, long startAddingColumn,
                 bool binary, RowIndices& columnsWritten, ImportProgress* progress = nullptr);
  RowIndices insertLines(const std::vector<std::string_view>& lines, const std::optional<RowIndices>& overwriteColumns,
                         long startAddingColumn, bool allowAddingColumns, bool knownToBeTab, bool recordUndo,
                         KRDataFileProgress* progress);
  bool insertColumns(ParsedColumns columns, const std::optional<RowIndices>& overwriteColumns, bool createBinaryColumns,
                     RowIndices& columnsWritten, bool recordUndo);
  static bool understandThisStringAsNumber(std::string_view text);

  // The columns connect to what they read; once, after a document is read.
  void finishConnections();
  // Brings every formula column up to date.
  void updateExpressionColumns();
  // Names, kinds or the order of columns changed: lookups are rebuilt,
  // formulas resolve their names again and the document hears of it.
  void columnListChanged();
  // Parameters came or went (their names decide what formulas and cells
  // mean); called after the parameter names were checked. Each column looks
  // its names up again and changes only when one resolves differently. (A
  // parameter's value travels through the dependency graph alone.)
  void parameterListChanged();

  void setDocument(std::shared_ptr<DependencyDocument> document) override;

  // Where the columns look parameters up; none resolves while there is none.
  void setParameters(std::shared_ptr<const ParameterLookup> parameters);
  std::shared_ptr<const ParameterLookup> parameters() const { return parameters_.lock(); }
  // Who hears of column list changes and takes undo actions; may be none.
  void setOwner(std::shared_ptr<TableOwner> owner);
  std::shared_ptr<TableOwner> owner() const { return owner_.lock(); }

  // The stored form: one description per column (entry 0 the row-number
  // column) and one data entry per column that takes one, in table order.
  // Files go into the package the save information names.
  std::pair<PlistArray, PlistArray> columnDescription(PlistDictionary& info);
  // Replaces every column by those the descriptions make, pairing data
  // entries with the data-taking descriptions by counting. Descriptions of
  // unknown kinds are skipped. Gives the number of columns made.
  long setFromColumnDescriptions(const PlistArray& descriptions, const PlistArray& data,
                                 const std::string& packagePath = "");

 private:
  DataDocumentTable() = default;
  void adopt(const ColumnPtr& column);
  void release(const ColumnPtr& column);
  std::int64_t nextColumnSerialNumber() const;
  void clearLookups() { lookups_.clear(); }

  std::vector<ColumnPtr> columns_;
  long numberOfRows_ = 0;
  std::weak_ptr<const ParameterLookup> parameters_;
  std::weak_ptr<TableOwner> owner_;
  // Lookups by the asking column's identity number (0 for the view from
  // outside all groups) and whether strings were allowed.
  std::map<std::pair<std::int64_t, bool>, std::shared_ptr<const ColumnNameMap>> lookups_;
};

}  // namespace orrelin
