#include "table/TextColumn.h"

#include <stdexcept>

#include "table/ColumnFiles.h"
#include "table/TableMessages.h"

namespace orrelin {

std::string TextColumn::stringVersionForRow(long row) {
  return row >= 0 && row < long(stringVersion_.size()) ? textOfRow(std::size_t(row)) : std::string();
}

std::string TextColumn::textOfRow(std::size_t row) const {
  if (stringVersion_.form(row) == number_forms::kKept) return stringVersion_.text(row);
  char buffer[number_forms::kLongestText];
  return std::string(stringVersion_.textOf(row, numberOfCodedRow(row), buffer));
}

std::vector<std::string> TextColumn::allTexts() const {
  if (!stringVersion_.coded()) return stringVersion_.toVector();
  std::vector<std::string> texts;
  texts.reserve(stringVersion_.size());
  for (std::size_t r = 0; r < stringVersion_.size(); ++r) texts.push_back(textOfRow(r));
  return texts;
}

bool TextColumn::setString(const std::string& text, long index) {
  if (!canBeModified() || index < 0) return false;
  const bool appended = index >= long(stringVersion_.size());
  stringVersion_.set(std::size_t(index), text);
  textsChanged(index);
  textsEdited(appended);
  return true;
}

bool TextColumn::addRowIndices(const RowIndices& indices, const std::vector<std::string>& strings) {
  if (!canBeModified()) return false;
  const RowIndices positions = normalizedRows(indices);
  if (positions.empty()) return false;
  const bool appended = positions.front() >= long(stringVersion_.size());
  stringVersion_.insertRows(positions, strings);
  rowsInserted(positions);
  textsEdited(appended);
  return true;
}

bool TextColumn::addEmptyLines(long count, long intoRow) {
  if (!canBeModified() || count <= 0 || intoRow < 0) return false;
  return addRowIndices(consecutiveRows(intoRow, count), {});
}

bool TextColumn::removeRowNumbers(const RowIndices& rows) {
  if (!canBeModified()) return false;
  const std::size_t before = stringVersion_.size();
  const RowIndices positions = normalizedRows(rows);
  stringVersion_.removeRows(positions);
  if (stringVersion_.size() == before) return false;
  rowsRemoved(positions);
  textsEdited(false);
  return true;
}

bool TextColumn::reorderRows(const std::vector<long>& order) {
  if (!canBeModified()) return false;
  stringVersion_.reorderRows(order);
  rowsReordered(order);
  textsEdited(false);
  return true;
}

bool TextColumn::prepareForInput() { return setStringList({}); }

bool TextColumn::setStringList(const std::vector<std::string>& strings) { return takeStringList(strings); }

bool TextColumn::takeStringList(std::vector<std::string> strings) {
  if (!canBeModified()) return false;
  CellTextStore texts(strings);
  std::vector<std::string>().swap(strings);
  return takeTexts(std::move(texts));
}

bool TextColumn::takeTexts(CellTextStore texts) {
  if (!canBeModified()) return false;
  if (texts.coded()) throw std::logic_error("a column takes texts only from a store that is not coded");
  stringVersion_ = std::move(texts);
  textsChanged(-1);
  textsEdited(false);
  return true;
}

bool TextColumn::transformTexts(const std::function<std::string(const std::string&)>& rule) {
  if (!canBeModified()) return false;
  bool changed = false;
  for (std::size_t r = 0; r < stringVersion_.size(); ++r) {
    const std::string entry = textOfRow(r);
    std::string cleaned = rule(entry);
    if (cleaned != entry) {
      stringVersion_.set(r, cleaned);
      changed = true;
    }
  }
  if (changed) {
    textsChanged(-1);
    textsEdited(false);
  }
  return changed;
}

PropertyList TextColumn::saveTexts(PlistDictionary& info) {
  return saveStringList(allTexts(), info, asciiFile_);
}

bool TextColumn::readTexts(const PropertyList& data, const std::string& packagePath) {
  auto strings = readStringList(data, packagePath, asciiFile_);
  if (!strings) return false;
  assignTexts(std::move(*strings));
  return true;
}

void TextColumn::assignTexts(std::vector<std::string> strings) {
  stringVersion_ = CellTextStore(strings);
  textsChanged(-1);
  updateSerialNumber();
}

void TextColumn::textsEdited(bool appendOnly) {
  asciiFile_.sameAsData = false;
  columnChanged(appendOnly);
}

}  // namespace orrelin
