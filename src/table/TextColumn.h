#pragma once
// What the kinds that keep their entries as text share (typed-in values,
// text, dates, text from the data store): the list of strings, the row
// operations on it, and its data entry. Each kind says what a changed text
// means for its numbers (textsChanged).

#include <string>
#include <vector>

#include "table/CellTextStore.h"
#include "table/ColumnFiles.h"
#include "table/OrrelinColumn.h"

namespace orrelin {

class TextColumn : public OrrelinColumn {
 public:
  long howManyEntries() override { return long(stringVersion_.size()); }
  // The entry as held; "" past the end.
  std::string stringVersionForRow(long row) override;
  std::vector<std::string> stringList() override { return allTexts(); }
  // The number of rows in use.
  long lengthOfStringVersion() const { return long(stringVersion_.size()); }
  // How many cells keep their texts (the others make them from their
  // numbers).
  long cellsKeepingTexts() const { return long(stringVersion_.keptTexts()); }

  bool setString(const std::string& text, long index) override;
  bool addRowIndices(const RowIndices& indices, const std::vector<std::string>& strings) override;
  bool addEmptyLines(long count, long intoRow) override;
  bool removeRowNumbers(const RowIndices& rows) override;
  bool reorderRows(const std::vector<long>& order) override;
  bool prepareForInput() override;
  bool setStringList(const std::vector<std::string>& strings) override;
  // The same, taking the list over (imports of many rows).
  bool takeStringList(std::vector<std::string> strings);
  // A store that is not coded (only the column knows the numbers of a
  // coded store's rows).
  bool takeTexts(CellTextStore texts);

  bool takesDataEntry() const override { return true; }
  // Whether the list file last written or read still holds the list.
  bool asciiFileSameAsData() const { return asciiFile_.sameAsData; }

 protected:
  // The texts changed: one row (which may lie past the rows the kind had:
  // the column grew up to it), or all of them (row -1). The kind brings its
  // numbers in line.
  virtual void textsChanged(long row) = 0;
  // The number a row of a coded store is made from (only a kind that codes
  // its store has such rows).
  virtual double numberOfCodedRow(std::size_t row) const {
    (void)row;
    return 0;
  }
  // The text of a row as held, made again when the store holds it in a form.
  std::string textOfRow(std::size_t row) const;
  std::vector<std::string> allTexts() const;
  // Rows came, went or moved; the texts already have. By default the kind
  // reads every text again; a kind whose numbers cannot be read from its
  // texts moves them along instead.
  virtual void rowsInserted(const RowIndices& positions) {
    (void)positions;
    textsChanged(-1);
  }
  virtual void rowsRemoved(const RowIndices& positions) {
    (void)positions;
    textsChanged(-1);
  }
  virtual void rowsReordered(const std::vector<long>& order) {
    (void)order;
    textsChanged(-1);
  }
  bool transformTexts(const std::function<std::string(const std::string&)>& rule) override;
  // The list as a data entry (inline or in the package) and back.
  PropertyList saveTexts(PlistDictionary& info);
  bool readTexts(const PropertyList& data, const std::string& packagePath);
  // Replaces the texts without telling anyone (loading).
  void assignTexts(std::vector<std::string> strings);
  // After an edit: a new serial number and notices.
  void textsEdited(bool appendOnly);

  CellTextStore stringVersion_;
  // The list file last written or read.
  ColumnFile asciiFile_;
};

}  // namespace orrelin
