#include "table/DataDocumentTable.h"

#include <algorithm>

#include "expression/KRExpression.h"
#include "platform/KRMessageCenter.h"
#include "table/ColumnFiles.h"
#include "table/TableOwner.h"
#include "table/TableMessages.h"
#include "table/VKDataColumnNumber.h"

namespace orrelin {

namespace text = table_text;

std::shared_ptr<DataDocumentTable> DataDocumentTable::create(const std::shared_ptr<DependencyDocument>& document) {
  std::shared_ptr<DataDocumentTable> table(new DataDocumentTable());
  if (document) table->VKDependencyBase::setDocument(document);
  table->appendColumns({VKDataColumnNumber::createEmptyFor()});
  return table;
}

DataDocumentTable::~DataDocumentTable() {
  // The document is closing: the columns leave the dependency graph.
  for (const auto& column : columns_) column->setDocument(nullptr);
}

ColumnPtr DataDocumentTable::columnAtIndex(long index) const {
  return index >= 0 && index < long(columns_.size()) ? columns_[std::size_t(index)] : nullptr;
}

long DataDocumentTable::indexOfColumn(const OrrelinColumn* column) const {
  for (std::size_t k = 0; k < columns_.size(); ++k)
    if (columns_[k].get() == column) return long(k);
  return -1;
}

ColumnPtr DataDocumentTable::columnWithSerialNumber(std::int64_t columnSerialNumber) const {
  for (const auto& column : columns_)
    if (column->columnSerialNumber() == columnSerialNumber) return column;
  return nullptr;
}

std::shared_ptr<VKDataColumnNumber> DataDocumentTable::rowNumberColumn() const {
  return columns_.empty() ? nullptr : std::dynamic_pointer_cast<VKDataColumnNumber>(columns_.front());
}

std::int64_t DataDocumentTable::nextColumnSerialNumber() const {
  std::int64_t largest = 0;
  for (const auto& column : columns_) largest = std::max(largest, column->columnSerialNumber());
  return largest + 1;
}

void DataDocumentTable::adopt(const ColumnPtr& column) {
  column->setTable(std::static_pointer_cast<DataDocumentTable>(shared_from_this()));
  if (auto owner = document()) column->setDocument(owner);
  const auto sameNumber = std::count_if(columns_.begin(), columns_.end(), [&](const ColumnPtr& other) {
    return other->columnSerialNumber() == column->columnSerialNumber();
  });
  if (column->columnSerialNumber() <= 0 || sameNumber > 1) column->setColumnSerialNumber(nextColumnSerialNumber());
}

void DataDocumentTable::release(const ColumnPtr& column) {
  // Whatever read the column hears that it went, then the links go.
  column->thisControllerChanged();
  column->setDocument(nullptr);
  column->setTable(nullptr);
}

bool DataDocumentTable::insertColumn(const ColumnPtr& column, long atIndexNumber) {
  if (!column || column->table() || (column->isRowNumberColumn() && rowNumberColumn())) return false;
  const long index = std::clamp(atIndexNumber, 1L, long(columns_.size()));
  columns_.insert(columns_.begin() + index, column);
  adopt(column);
  columnListChanged();
  recomputeNumberOfRows();
  return true;
}

bool DataDocumentTable::addDataColumnAfterSelection(const ColumnPtr& column, const RowIndices& selectedColumns) {
  long after = long(columns_.size()) - 1;
  if (!selectedColumns.empty()) after = *std::max_element(selectedColumns.begin(), selectedColumns.end());
  return insertColumn(column, after + 1);
}

void DataDocumentTable::appendColumns(const std::vector<ColumnPtr>& columns) {
  for (const auto& column : columns) {
    if (!column || column->table()) continue;
    if (column->isRowNumberColumn()) {
      // Only ever first.
      if (!columns_.empty()) continue;
    } else if (columns_.empty()) {
      auto rowNumbers = VKDataColumnNumber::createEmptyFor();
      columns_.push_back(rowNumbers);
      adopt(rowNumbers);
    }
    columns_.push_back(column);
    adopt(column);
  }
  columnListChanged();
  recomputeNumberOfRows();
}

bool DataDocumentTable::removeColumnNumber(long index) { return removeColumns({index}); }

bool DataDocumentTable::removeColumns(const RowIndices& indexes) {
  RowIndices positions = normalizedRows(indexes);
  std::erase_if(positions, [&](long p) { return p < 1 || p >= long(columns_.size()); });
  if (positions.empty()) return false;
  for (auto p = positions.rbegin(); p != positions.rend(); ++p) {
    const ColumnPtr column = columns_[std::size_t(*p)];
    columns_.erase(columns_.begin() + *p);
    release(column);
  }
  columnListChanged();
  recomputeNumberOfRows();
  return true;
}

void DataDocumentTable::removeAllColumns() {
  std::vector<ColumnPtr> removed;
  removed.swap(columns_);
  for (const auto& column : removed) release(column);
  numberOfRows_ = 0;
  columnListChanged();
}

bool DataDocumentTable::moveColumnFrom(long from, long to) {
  const long count = long(columns_.size());
  if (from < 1 || from >= count || to < 1 || to >= count || from == to) return false;
  ColumnPtr column = columns_[std::size_t(from)];
  columns_.erase(columns_.begin() + from);
  columns_.insert(columns_.begin() + to, column);
  columnListChanged();
  return true;
}

bool DataDocumentTable::replacedColumn(const ColumnPtr& original, const ColumnPtr& converted) {
  const long index = indexOfColumn(original.get());
  if (index < 1 || !converted || converted->table()) return false;
  converted->takeSerialNumberFrom(*original);
  release(original);
  columns_[std::size_t(index)] = converted;
  adopt(converted);
  columnListChanged();
  recomputeNumberOfRows();
  return true;
}

void DataDocumentTable::setColumnNames(const std::vector<std::pair<ColumnPtr, std::string>>& names) {
  for (const auto& [column, name] : names)
    if (column && column->table().get() == this) column->setSetting(text::kName, name);
  columnListChanged();
}

bool DataDocumentTable::moveFirstRowToTitles(const RowIndices& columnIndexes) {
  bool moved = false;
  for (long index : normalizedRows(columnIndexes)) {
    const ColumnPtr column = columnAtIndex(index);
    if (index < 1 || !column || !column->canBeModified() || column->howManyEntries() == 0) continue;
    column->setSetting(text::kName, column->stringVersionForRow(0));
    column->removeRowNumbers({0});
    moved = true;
  }
  if (moved) {
    columnListChanged();
    recomputeNumberOfRows();
  }
  return moved;
}

bool DataDocumentTable::addRowIndices(const RowIndices& rows, const RowIndices& toColumns,
                                      const std::vector<std::vector<std::string>>& withData) {
  bool added = false;
  for (std::size_t k = 0; k < toColumns.size(); ++k) {
    const ColumnPtr column = columnAtIndex(toColumns[k]);
    if (column && toColumns[k] > 0)
      added = column->addRowIndices(rows, k < withData.size() ? withData[k] : std::vector<std::string>{}) || added;
  }
  recomputeNumberOfRows();
  return added;
}

bool DataDocumentTable::removeRowNumbers(const RowIndices& rows, const RowIndices& fromColumns) {
  bool removed = false;
  for (long index : fromColumns)
    if (const ColumnPtr column = columnAtIndex(index); column && index > 0) removed = column->removeRowNumbers(rows) || removed;
  recomputeNumberOfRows();
  return removed;
}

bool DataDocumentTable::reorderRows(const std::vector<long>& order, const RowIndices& inColumns) {
  bool reordered = false;
  for (long index : inColumns)
    if (const ColumnPtr column = columnAtIndex(index); column && index > 0) reordered = column->reorderRows(order) || reordered;
  recomputeNumberOfRows();
  return reordered;
}

std::vector<std::string> DataDocumentTable::columnNames() const {
  std::vector<std::string> names;
  for (const auto& column : columns_)
    if (column->nameIsSet()) names.push_back(column->name());
  return names;
}

long DataDocumentTable::recomputeNumberOfRows() {
  long rows = 0;
  for (const auto& column : columns_)
    if (!column->isRowNumberColumn() && column->holdsValues()) rows = std::max(rows, column->howManyEntries());
  numberOfRows_ = rows;
  if (auto rowNumbers = rowNumberColumn()) rowNumbers->setNumberOfRows(rows);
  return rows;
}

namespace {

// Walks one level of the table from start: the columns directly in it are
// handed to take, a nested group is skipped whole (or walked into, when
// intoNested is set), and the level ends at its close collapser or the end.
// A close without an open at the top level is passed over.
template <class Take>
void walkLevel(const std::vector<ColumnPtr>& columns, std::size_t start, bool topLevel, bool intoNested, Take take) {
  int depth = 0;
  for (std::size_t p = start; p < columns.size(); ++p) {
    const int kind = columns[p]->collapserType();
    if (kind == 1) {
      ++depth;
    } else if (kind == 2) {
      if (depth > 0)
        --depth;
      else if (!topLevel)
        return;
    } else if (depth == 0 || intoNested) {
      take(columns[p]);
    }
  }
}

}  // namespace

std::shared_ptr<const ColumnNameMap> DataDocumentTable::columnsByNameVisibleFrom(const OrrelinColumn& asking,
                                                                                 bool allowStrings) {
  const long position = indexOfColumn(&asking);
  if (position < 0) return std::make_shared<const ColumnNameMap>();
  const auto key = std::make_pair(asking.columnSerialNumber(), allowStrings);
  if (auto cached = lookups_.find(key); cached != lookups_.end()) return cached->second;

  // The groups that hold the asking column, innermost last; -1 is the top
  // level.
  std::vector<long> levels{-1};
  for (long p = 0; p < position; ++p) {
    const int kind = columns_[std::size_t(p)]->collapserType();
    if (kind == 1) {
      levels.push_back(p);
    } else if (kind == 2) {
      if (levels.size() == 1)
        KRMessageCenter::addMessage(text::kStructureCorrupt, text::kNestingInvalid);
      else
        levels.pop_back();
    }
  }

  auto map = std::make_shared<ColumnNameMap>();
  const auto take = [&](const ColumnPtr& column) {
    if (column.get() == &asking || !column->holdsValues()) return;
    if (!allowStrings && !column->isNumberColumn()) return;
    const std::string name = column->name();
    if (!name.empty()) map->emplace(name, column);
  };
  // The asking column's own group sees into the groups nested in it; the
  // levels around it see only their own columns.
  for (auto level = levels.rbegin(); level != levels.rend(); ++level) {
    const bool top = *level < 0;
    const bool innermost = level == levels.rbegin();
    walkLevel(columns_, top ? 1 : std::size_t(*level + 1), top, innermost && !top, take);
  }
  if (const auto rowNumbers = rowNumberColumn()) take(rowNumbers);
  lookups_[key] = map;
  return map;
}

std::shared_ptr<const ColumnNameMap> DataDocumentTable::columnsByNameAllowStrings(bool allowStrings) {
  const auto key = std::make_pair(std::int64_t(0), allowStrings);
  if (auto cached = lookups_.find(key); cached != lookups_.end()) return cached->second;
  auto map = std::make_shared<ColumnNameMap>();
  const auto take = [&](const ColumnPtr& column) {
    if (!column->holdsValues() || (!allowStrings && !column->isNumberColumn())) return;
    const std::string name = column->name();
    if (!name.empty()) map->emplace(name, column);
  };
  walkLevel(columns_, 1, true, false, take);
  walkLevel(columns_, 1, true, true, take);
  if (const auto rowNumbers = rowNumberColumn()) take(rowNumbers);
  lookups_[key] = map;
  return map;
}

std::string DataDocumentTable::makeSafeForExpression(const std::string& name) {
  const auto expression = KRExpression::createFromString(name);
  if (expression && expression->theEntry() && expression->theEntry()->expType() == KRExpressionConstantType &&
      static_cast<const KRExpressionConstant&>(*expression->theEntry()).constantName == name)
    return name;
  return "\"" + name + "\"";
}

void DataDocumentTable::finishConnections() {
  for (const auto& column : columns_) column->establishDependencyConnections();
}

void DataDocumentTable::updateExpressionColumns() {
  for (const auto& column : columns_) column->makeSureThingsAreUpToDate();
}

void DataDocumentTable::columnListChanged() {
  clearLookups();
  for (std::size_t k = 0; k < columns_.size(); ++k) columns_[k]->lastLocation = std::uint32_t(k);
  // A copy: a column that resolves its names may not change the list, but
  // the walk should not depend on that.
  const auto columns = columns_;
  for (const auto& column : columns) column->columnNamesOrVariableNamesChanged();
  if (auto holder = owner()) holder->tableColumnsChanged(*this);
}

void DataDocumentTable::parameterListChanged() {
  const auto columns = columns_;
  for (const auto& column : columns) column->columnNamesOrVariableNamesChanged();
}

void DataDocumentTable::setParameters(std::shared_ptr<const ParameterLookup> parameters) {
  parameters_ = parameters;
  parameterListChanged();
}

void DataDocumentTable::setOwner(std::shared_ptr<TableOwner> owner) { owner_ = owner; }

void DataDocumentTable::setDocument(std::shared_ptr<DependencyDocument> document) {
  VKDependencyBase::setDocument(document);
  for (const auto& column : columns_) column->setDocument(document);
  if (document) columnListChanged();
}

namespace {

// A binary data file that could not be filled: a column's numbers go inline
// instead, a date column's value file and a text column's number cache are
// left out (both are read back from the texts).
void keepWhatFailed(const DeferredColumnWrites::Failure& failure, PlistArray& descriptions, PlistArray& data) {
  const auto names = [&](const PropertyList& entry, const char* key) {
    return entry.isDictionary() && entry.stringForKey(key) == std::optional<std::string>(failure.name);
  };
  if (failure.folder == NumbersFolder::Binary) {
    for (auto& entry : data)
      if (names(entry, text::kFile)) entry = inlineNumbers(failure.rows);
    for (auto& description : descriptions)
      if (names(description, text::kFileName)) description.dictionary().erase(text::kFileName);
  } else {
    for (auto& entry : data)
      if (names(entry, text::kCacheFile)) entry.dictionary().erase(text::kCacheFile);
  }
}

}  // namespace

std::pair<PlistArray, PlistArray> DataDocumentTable::columnDescription(PlistDictionary& info) {
  PlistArray descriptions, data;
  // The number files are filled in the background while the next columns
  // are described.
  DeferredColumnWrites writes;
  for (const auto& column : columns_) {
    descriptions.push_back(column->propertyListDescription(info));
    if (!column->takesDataEntry()) continue;
    auto entry = column->propertyToSaveWithInfo(info);
    data.push_back(entry ? std::move(*entry) : PropertyList(PlistArray{}));
  }
  for (const auto& failure : writes.finish()) keepWhatFailed(failure, descriptions, data);
  return {std::move(descriptions), std::move(data)};
}

long DataDocumentTable::setFromColumnDescriptions(const PlistArray& descriptions, const PlistArray& data,
                                                  const std::string& packagePath) {
  std::vector<ColumnPtr> made;
  std::size_t nextData = 0;
  for (const auto& description : descriptions) {
    const auto type = description.stringForKey(text::kType);
    if (!type) continue;
    // Only the kinds that take a data entry count them off.
    const PropertyList* entry = nullptr;
    if (columnTypeTakesDataEntry(*type) && nextData < data.size()) entry = &data[nextData++];
    if (auto column = createColumnFromDescription(description, entry, packagePath)) made.push_back(std::move(column));
  }
  removeAllColumns();
  appendColumns(made);
  return long(made.size());
}

}  // namespace orrelin
