#include "table/import/ImportTargets.h"

#include <algorithm>

#include "platform/KRMessageCenter.h"
#include "table/TableOwner.h"
#include "table/import/ImportMessages.h"

namespace orrelin {

ImportTargets importTargets(const DataDocumentTable& table, const std::optional<RowIndices>& overwriteColumns,
                            long startAddingColumn) {
  RowIndices positions;
  if (overwriteColumns) {
    positions = *overwriteColumns;
    if (!positions.empty() && positions.front() == 0) positions.erase(positions.begin());
  } else if (startAddingColumn < 0) {
    positions = table.displayedColumnIndexesExceptRowNumber();
  }
  ImportTargets targets;
  for (long position : positions) {
    ColumnPtr column = table.columnAtIndex(position);
    // Formula columns and the other computed kinds are passed over.
    if (!column || !column->canBeModified()) continue;
    targets.hasDateOrText = targets.hasDateOrText || column->isDateColumn() || column->isStringColumn();
    targets.columns.push_back(std::move(column));
  }
  return targets;
}

RowIndices finishImport(DataDocumentTable& table, const std::vector<ImportedColumn>& written, long startAddingColumn,
                        bool recordUndo) {
  std::vector<std::pair<ColumnPtr, std::string>> renames, oldNames;
  std::vector<ColumnPtr> added;
  for (const ImportedColumn& imported : written) {
    if (imported.isNew) {
      if (!imported.header.empty()) imported.column->setName(imported.header);
      added.push_back(imported.column);
    } else if (!imported.header.empty() && imported.column->name() != imported.header) {
      renames.emplace_back(imported.column, imported.header);
      oldNames.emplace_back(imported.column, imported.column->name());
    }
  }
  if (startAddingColumn >= 1 && startAddingColumn < table.numberOfColumns()) {
    long insertAt = startAddingColumn;
    for (const ColumnPtr& column : added) {
      table.insertColumn(column, insertAt);
      insertAt = table.indexOfColumn(column.get()) + 1;
    }
  } else if (!added.empty()) {
    // At the end, all at once.
    table.appendColumns(added);
  }
  if (!renames.empty()) {
    table.setColumnNames(renames);
    auto owner = table.owner();
    if (recordUndo && owner) {
      std::weak_ptr<VKDependencyBase> weakTable = table.shared_from_this();
      owner->registerUndo(import_text::kUndoColumnNames, [weakTable, oldNames] {
        if (auto owner = std::static_pointer_cast<DataDocumentTable>(weakTable.lock())) owner->setColumnNames(oldNames);
      });
    }
  }
  table.recomputeNumberOfRows();
  table.updateExpressionColumns();
  RowIndices positions;
  for (const ImportedColumn& imported : written) {
    const long position = table.indexOfColumn(imported.column.get());
    if (position >= 0) positions.push_back(position);
  }
  return normalizedRows(std::move(positions));
}

void reportDroppedFields(long dropped) {
  if (dropped > 0) KRMessageCenter::addMessage(import_text::fillIn(import_text::kFieldsDropped, std::to_string(dropped)));
}

}  // namespace orrelin
