#include "table/NumberColumn.h"

#include "table/CellText.h"
#include "table/ColumnFiles.h"
#include "table/TableMessages.h"

namespace orrelin {

bool NumberColumn::setString(const std::string& text, long index) {
  if (!canBeModified() || index < 0) return false;
  const CellReading reading = readCellText(text);
  const bool appended = index >= rows_.length();
  rows_.set(index, reading.value, reading.valid);
  numbersEdited(appended);
  return true;
}

bool NumberColumn::setData(const std::vector<double>& values, const RowIndices& indices) {
  if (!canBeModified() || indices.empty()) return false;
  bool appended = true;
  const long before = rows_.length();
  for (std::size_t k = 0; k < indices.size() && k < values.size(); ++k) {
    if (indices[k] < 0) continue;
    appended = appended && indices[k] >= before;
    rows_.set(indices[k], values[k], true);
  }
  numbersEdited(appended);
  return true;
}

bool NumberColumn::addRowIndices(const RowIndices& indices, const std::vector<std::string>& strings) {
  if (!canBeModified()) return false;
  const RowIndices positions = normalizedRows(indices);
  if (positions.empty()) return false;
  const NumberRows read = readCellTexts(strings);
  const bool appended = positions.front() >= rows_.length();
  rows_.insertRows(positions, read.valueVector(), read.maskVector());
  numbersEdited(appended);
  return true;
}

bool NumberColumn::addEmptyLines(long count, long intoRow) {
  if (!canBeModified() || count <= 0 || intoRow < 0) return false;
  const bool appended = intoRow >= rows_.length();
  rows_.insertRows(consecutiveRows(intoRow, count), {}, {});
  numbersEdited(appended);
  return true;
}

bool NumberColumn::removeRowNumbers(const RowIndices& rows) {
  if (!canBeModified()) return false;
  const long before = rows_.length();
  rows_.removeRows(normalizedRows(rows));
  if (rows_.length() == before) return false;
  numbersEdited(false);
  return true;
}

bool NumberColumn::reorderRows(const std::vector<long>& order) {
  if (!canBeModified()) return false;
  rows_.reorder(order);
  numbersEdited(false);
  return true;
}

bool NumberColumn::prepareForInput() { return setNumbers({}, {}); }

bool NumberColumn::setStringList(const std::vector<std::string>& strings) {
  if (!canBeModified()) return false;
  rows_ = readCellTexts(strings);
  numbersEdited(false);
  return true;
}

bool NumberColumn::setNumbers(const std::vector<double>& values, const std::vector<std::uint8_t>& mask) {
  if (!canBeModified()) return false;
  rows_ = NumberRows(values, mask);
  numbersEdited(false);
  return true;
}

void NumberColumn::adoptNumbers(std::shared_ptr<KRDoubleArrayContainer> values,
                                std::shared_ptr<KRUCharArrayContainer> mask) {
  rows_ = NumberRows::adopt(std::move(values), std::move(mask));
  numbersEdited(false);
}

std::optional<PropertyList> NumberColumn::propertyToSaveWithInfo(PlistDictionary& info) {
  if (!savesIntoPackage(info)) return inlineNumbers(rows_);
  auto name = saveNumbersFile(rows_, NumbersFolder::Binary, info, binaryFile_);
  // A file that could not be written leaves the numbers inline rather than
  // losing them.
  if (!name) return inlineNumbers(rows_);
  PlistDictionary entry;
  entry[table_text::kFile] = *name;
  return entry;
}

bool NumberColumn::readDataEntry(const PropertyList& data, const std::string& packagePath) {
  std::optional<NumberRows> rows;
  if (auto name = data.stringForKey(table_text::kFile)) {
    rows = readNumbersFile(NumbersFolder::Binary, *name, packagePath, binaryFile_);
  } else {
    rows = readInlineNumbers(data);
  }
  if (!rows) return false;
  rows_ = std::move(*rows);
  updateSerialNumber();
  return true;
}

void NumberColumn::numbersEdited(bool appendOnly) {
  binaryFile_.sameAsData = false;
  columnChanged(appendOnly);
}

}  // namespace orrelin
