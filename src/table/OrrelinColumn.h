#pragma once
// A column of the document's table. Every kind of column (typed-in values,
// binary numbers, text, dates, formulas, structural columns ...) is an
// OrrelinColumn; the kind decides what it holds and which operations apply.
// An operation that does not apply to a kind does nothing and answers false
// (or nothing).
//
// Numbers come as a double array with a byte mask of the same length, 1 for
// a row that holds a valid value and 0 for an empty or invalid one; both are
// exactly howManyEntries() long. The arrays handed out never change: an edit
// makes new ones. serialNumber() grows whenever the values change, so a
// reader that remembers it knows when to read again.
//
// Columns live on the main thread with the rest of the dependency graph.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "graph/dependency/VKDependencyBase.h"
#include "numeric/KRDoubleArrayContainer.h"
#include "numeric/KRUCharArrayContainer.h"
#include "platform/PropertyList.h"
#include "table/ColumnProperties.h"
#include "table/RowEditing.h"
#include "document/parameters/ParameterLookup.h"
#include "graph/dependency/DependencyDocument.h"

namespace orrelin {

class DataDocumentTable;

// The value of one row as the table shows it: nothing, a number or a text.
using ColumnObjectValue = std::variant<std::monostate, double, std::string>;

class OrrelinColumn : public VKDependencyBase {
 public:
  using VKDependencyBase::entryChanged;

  ~OrrelinColumn() override;

  // Identity and naming. The name is the "Name" setting.
  std::string name() const;
  void setName(const std::string& name);
  bool nameIsSet() const { return !name().empty(); }
  // The name, or "Untitled" for a column without one.
  std::string displayName() const;
  // The kind's "Type" in the stored form.
  virtual std::string type() const = 0;
  // The identity number that commands and token texts use to find the
  // column across renames; the table gives it out and a conversion hands it
  // to the new column.
  std::int64_t columnSerialNumber() const { return columnSerialNumber_; }
  void setColumnSerialNumber(std::int64_t number) { columnSerialNumber_ = number; }
  void takeSerialNumberFrom(const OrrelinColumn& other);
  // The change counter, taken from a process-wide sequence, so two values
  // of the same column or of two columns are never confused. Formula
  // columns bring themselves up to date before they answer.
  virtual std::int32_t serialNumber() { return serialNumber_; }
  void updateSerialNumber();
  // The serial number before the last change that only appended rows (or
  // the current one after any other change): a reader that has seen this
  // serial number only needs to read the rows it has not seen.
  std::int32_t columnAppendedSince() const { return columnAppendedSince_; }

  // Kind tests.
  virtual bool isRowNumberColumn() const { return false; }
  virtual bool isNumberColumn() const { return false; }
  virtual bool isStringColumn() const { return false; }
  virtual bool isDateColumn() const { return false; }
  // 1 for a group's open collapser, 2 for its close collapser, 0 otherwise.
  virtual int collapserType() const { return 0; }
  // Whether typing, pasting and importing may change the values.
  virtual bool canBeModified() const { return false; }
  virtual bool connectedToDataSource() const { return false; }
  // Number and text columns hold values; structural columns do not.
  bool holdsValues() const { return isNumberColumn() || isStringColumn(); }

  // Values. Kinds without numbers give empty arrays.
  virtual std::shared_ptr<const KRDoubleArrayContainer> numberVersion();
  virtual std::shared_ptr<const KRUCharArrayContainer> whichAreIncluded();
  virtual long howManyEntries() { return 0; }
  long numberOfItems() { return howManyEntries(); }
  // NaN for a row that is invalid or past the end.
  double valueAtRow(long row);
  // Mask set and value finite.
  bool validEntryAtIndex(long row);
  // The row as text: the text itself for text kinds, the number that reads
  // back exactly for number kinds, "" for an invalid row or one past the end.
  virtual std::string stringVersionForRow(long row);
  std::vector<std::string> stringVersionForRows();
  // The entries as held: the texts of text kinds, else the rows as text.
  virtual std::vector<std::string> stringList() { return stringVersionForRows(); }
  virtual ColumnObjectValue objectValueForRow(long row);
  // Why the column has no values, or only some: a formula's error, or a
  // kind that depends on something this library cannot reach. Empty when
  // all is well.
  virtual std::string whyNoValues() { return {}; }

  // Editing (kinds that can be modified). Rows are counted from 0; a row past
  // the end grows the column.
  virtual bool modifyCell(const std::string& text, long index) { return setString(text, index); }
  virtual bool setString(const std::string& text, long index);
  virtual bool setData(const std::vector<double>& values, const RowIndices& indices);
  // New rows at the given positions of the result (ascending), with texts.
  virtual bool addRowIndices(const RowIndices& indices, const std::vector<std::string>& strings);
  // New rows at the given positions, taking the first rows of another column.
  bool addRowIndicesWithDataFrom(const RowIndices& indices, OrrelinColumn& source);
  virtual bool addEmptyLines(long count, long intoRow);
  virtual bool removeRowNumbers(const RowIndices& rows);
  bool removeRowRange(long from, long length);
  // Row k becomes what row order[k] was (empty when there was no such
  // row); rows from order.size() on stay where they are.
  virtual bool reorderRows(const std::vector<long>& order);
  // Makes the numbers available for at least this many rows (the row-number
  // column numbers further rows); other kinds have nothing to prepare.
  virtual void prepareForLength(long length) { (void)length; }
  // Empties the column before an import writes it anew.
  virtual bool prepareForInput();
  // Replaces every entry (imports, conversions).
  virtual bool setStringList(const std::vector<std::string>& strings);
  virtual bool setNumbers(const std::vector<double>& values, const std::vector<std::uint8_t>& mask);

  // Text clean-up on the column's entries; false for kinds without texts.
  bool removeComma();
  bool removePeriodChangeCommaToPeriod();
  bool changeCommaToPeriod();
  bool removeQuote();

  // A new column of another kind holding this one's entries, with its name
  // and width; the table puts it in this one's place (replacedColumn). Null
  // when this kind has nothing to convert.
  virtual std::shared_ptr<OrrelinColumn> convertToSpecifiedColumn();
  virtual std::shared_ptr<OrrelinColumn> convertToBinaryColumn();
  virtual std::shared_ptr<OrrelinColumn> convertToStringColumn();
  virtual std::shared_ptr<OrrelinColumn> convertToDateColumn();

  // Stored form. The description holds every setting under its name plus
  // "Type", "Open" and "Width" and the kind's own keys. Kinds that keep
  // their data outside the description give it as a separate entry
  // (propertyToSaveWithInfo), writing files into the package named by the
  // save information when there is one; without a package everything stays
  // inline.
  PropertyList propertyListDescription(PlistDictionary& info);
  PropertyList propertyListDescription();
  virtual bool takesDataEntry() const { return false; }
  virtual std::optional<PropertyList> propertyToSaveWithInfo(PlistDictionary& info);
  std::optional<PropertyList> propertyToSaveWithInfo();
  virtual void setFromPropertyList(const PropertyList& description);
  // The column as one property list, for copying between documents.
  PropertyList versionForCopy();
  static std::shared_ptr<OrrelinColumn> setFromCopyInfo(const PropertyList& copy);

  // Column properties for expressions (x.max ...). None, with the message
  // in error, for an ending that is not a property or a column that has no
  // numbers. Results are kept until the values change.
  std::optional<ColumnProperty> columnPropertyWithName(std::string_view ending, std::string* error = nullptr);

  // Dependencies. Columns that read others connect to them after the whole
  // table exists.
  virtual void establishDependencyConnections() {}
  virtual void connectMissingSuppliers() {}
  virtual void disconnectUnwantedSuppliers() {}
  void entryChanged(VKDependencyBase* sender, DependencyVisitSet& alreadySentFor) override;
  // Whether the column reads the parameter of that name. A change of its
  // value reaches the column through the dependency graph.
  virtual bool parameterValueChangeAffectsColumn(const std::string& name) {
    (void)name;
    return false;
  }
  // Whether this column reads other, directly or through columns it reads.
  bool containsDependenceOn(const OrrelinColumn& other, DependencyVisitSet& knownResults) const;
  // Column names or the set of parameters changed: names are resolved again.
  virtual void columnNamesOrVariableNamesChanged() {}
  // Formula columns compute what is pending; others have nothing to do.
  virtual void makeSureThingsAreUpToDate() {}

  // The table the column is in, and the parameters its names may mean
  // (those of the table's document; none outside a table).
  std::shared_ptr<DataDocumentTable> table() const { return table_.lock(); }
  void setTable(const std::shared_ptr<DataDocumentTable>& table);
  std::shared_ptr<const ParameterLookup> parameters() const;

  // Settings by name (the name, formats, a formula's text ...), each a
  // property list as stored.
  const PlistDictionary& propertyByName() const { return propertyByName_; }
  const PropertyList* setting(const std::string& name) const;
  std::string stringSetting(const std::string& name) const;
  void setSetting(const std::string& name, PropertyList value);
  void removeSetting(const std::string& name);

  float width = 100;
  bool columnSettingOpen = false;
  std::uint32_t lastLocation = 0;

 protected:
  OrrelinColumn() = default;

  // The values changed: a new serial number, and every client and the
  // document hear of it.
  void columnChanged(bool appendOnly = false);
  // A supplier (a column or parameter this one reads) changed; called once
  // per change notice, before the notice goes on to this column's clients.
  virtual void supplierChanged(VKDependencyBase* sender) { (void)sender; }
  // A setting changed; the kind reacts (a formula parses its new text).
  virtual void settingChanged(const std::string& name) { (void)name; }
  // Keys of the description that the kind reads and writes itself rather
  // than keeping them among its settings.
  virtual bool isOwnDescriptionKey(const std::string& key) const {
    (void)key;
    return false;
  }
  virtual void writeOwnDescription(PlistDictionary& description, PlistDictionary& info) {
    (void)description;
    (void)info;
  }
  virtual void readOwnDescription(const PropertyList& description) { (void)description; }
  // Reads a data entry written by propertyToSaveWithInfo; packagePath is
  // the package the files of the entry are in ("" when inline only).
  virtual bool readDataEntry(const PropertyList& data, const std::string& packagePath) {
    (void)data;
    (void)packagePath;
    return false;
  }
  // Texts of the kinds that hold them, changed by one rule (clean-up).
  virtual bool transformTexts(const std::function<std::string(const std::string&)>& rule) {
    (void)rule;
    return false;
  }
  // Makes the column read exactly these: suppliers not among them are
  // dropped (unless keepOthers), and each one missing is connected unless it
  // would close a cycle.
  void connectToSuppliers(const DependencyList& wanted, bool keepOthers = false);
  // Copies name, width and settings panel state into a converted column.
  std::shared_ptr<OrrelinColumn> carryOver(std::shared_ptr<OrrelinColumn> converted) const;

  friend std::shared_ptr<OrrelinColumn> createColumnFromDescription(const PropertyList&, const PropertyList*,
                                                                     const std::string&);

 private:
  PlistDictionary propertyByName_;
  std::int32_t serialNumber_ = 0;
  std::int32_t columnAppendedSince_ = 0;
  std::int64_t columnSerialNumber_ = 0;
  std::weak_ptr<DataDocumentTable> table_;

  // Properties already computed, valid while the serial number is this one.
  std::map<ColumnPropertyKind, ColumnProperty> propertyCache_;
  std::int32_t propertyCacheSerial_ = -1;
};

using ColumnPtr = std::shared_ptr<OrrelinColumn>;

// A new column of kind T for a document (or for none yet).
template <class T>
std::shared_ptr<T> makeColumnFor(const std::shared_ptr<DependencyDocument>& document) {
  auto column = std::make_shared<T>();
  if (document) column->setDocument(document);
  return column;
}

// The next number of the process-wide change counter.
std::int32_t nextColumnSerialNumber();

// Makes a column of the kind the description's "Type" names, gives it the
// data entry (for kinds that take one; the package holds the entry's files)
// and its settings. Null for a "Type" that names no column kind.
std::shared_ptr<OrrelinColumn> createColumnFromDescription(const PropertyList& description, const PropertyList* data,
                                                           const std::string& packagePath = "");
// Whether columns of that "Type" take an entry of the column data array.
bool columnTypeTakesDataEntry(const std::string& type);

}  // namespace orrelin
