#pragma once
// Dates: text entries as typed or imported, each with its time value
// (seconds since 1970-01-01 00:00:00 GMT) and a validity mask. The format
// settings say how an entry is read ("Format", "Date Type", "ICU Format",
// ...); they are kept and stored as given. The values are kept with the
// entries and stored beside them in a binary data file once the column has
// more than 999 entries.
//
// Reading an entry with a date format is the work of the date formats,
// which this column does not have yet: an edited entry has no value until
// one is given to it (setValues).

#include "table/NumberRows.h"
#include "table/TextColumn.h"

namespace orrelin {

class VKDataColumnDate final : public TextColumn {
 public:
  // Above this many entries the values are stored in a file of their own.
  static constexpr long kLargestColumnWithoutValueFile = 999;

  static std::shared_ptr<VKDataColumnDate> createEmptyFor(const std::shared_ptr<TableDocument>& document = nullptr);

  std::string type() const override;
  bool isDateColumn() const override { return true; }
  bool isNumberColumn() const override { return true; }
  bool canBeModified() const override { return true; }

  std::shared_ptr<const KRDoubleArrayContainer> numberVersion() override { return values_.values(); }
  std::shared_ptr<const KRUCharArrayContainer> whichAreIncluded() override { return values_.mask(); }
  // "out of bounds" past the end.
  std::string stringVersionForRow(long row) override;

  // The format settings as one dictionary, and all of them replaced.
  PropertyList format() const;
  void setFormat(const PropertyList& format);
  // The time values of the entries (a mask byte of 0 for an entry without
  // one); the entries stay as they are.
  void setValues(const std::vector<double>& values, const std::vector<std::uint8_t>& mask);
  // The time value of one entry; none when it cannot be read.
  std::optional<double> timeInSecondsFromString(const std::string& entry) const;
  // Whether the current format reads the text as a date.
  bool understandsString(const std::string& text) const { return timeInSecondsFromString(text).has_value(); }

  // Writes the values into a binary data file of the package when the
  // column is long enough to need one; its name, or none.
  std::optional<std::string> saveOptionalFile(PlistDictionary& info);

  std::optional<PropertyList> propertyToSaveWithInfo(PlistDictionary& info) override;
  std::shared_ptr<OrrelinColumn> convertToSpecifiedColumn() override;

  // Reads the values file a description names.
  bool readValueFile(const PropertyList& description, const std::string& packagePath);

 protected:
  void textsChanged(long row) override;
  // The values move with their entries; they are not read again.
  void rowsInserted(const RowIndices& positions) override;
  void rowsRemoved(const RowIndices& positions) override;
  void rowsReordered(const std::vector<long>& order) override;
  bool isOwnDescriptionKey(const std::string& key) const override;
  void writeOwnDescription(PlistDictionary& description, PlistDictionary& info) override;
  bool readDataEntry(const PropertyList& data, const std::string& packagePath) override;

 private:
  NumberRows values_;
  // The file of the values last written or read.
  ColumnFile valueFile_;
};

}  // namespace orrelin
