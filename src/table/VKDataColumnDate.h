#pragma once
// Dates: text entries as typed or imported, each read into its time value
// (seconds since 1970-01-01 00:00:00 GMT) with the column's format, and a
// validity mask: an entry the format does not read keeps its text, has no
// value and is masked wherever the values are used.
//
// The format is a dictionary whose first key present decides how entries
// are read (see DateFormats.h); it is kept in the "Format" setting, its kind
// in "Date Type". Older documents keep the pattern text itself under
// "Format", and descriptions may list the dictionary's keys loose; both read
// as the dictionary they stand for.
//
// Values are read when they are first asked for after a change, a long
// column on every processor. They are stored beside the entries in a binary
// data file of the package once the column has more than 999 entries, and
// taken from there when the document is read again.

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "table/DateFormats.h"
#include "table/NumberRows.h"
#include "table/TextColumn.h"

namespace orrelin {

class DateFormatter;
class VKDataColumnExpression;

class VKDataColumnDate final : public TextColumn {
 public:
  // Above this many entries the values are stored in a file of their own.
  static constexpr long kLargestColumnWithoutValueFile = 999;
  // From this many entries on, reading is shared among the processors.
  static constexpr std::size_t kEntriesWorthSharing = 20000;
  // formatsThatWork tries each candidate on this many entries at most.
  static constexpr long kEntriesTried = 200;

  static std::shared_ptr<VKDataColumnDate> createEmptyFor(const std::shared_ptr<DependencyDocument>& document = nullptr);
  VKDataColumnDate();

  std::string type() const override;
  bool isDateColumn() const override { return true; }
  bool isNumberColumn() const override { return true; }
  bool canBeModified() const override { return true; }

  std::shared_ptr<const KRDoubleArrayContainer> numberVersion() override;
  std::shared_ptr<const KRUCharArrayContainer> whichAreIncluded() override;
  std::string whyNoValues() override { return reader().problem; }

  // Row texts: a valid row in the display format, an invalid one as its
  // entry; "out of bounds" past the end. The entry as typed, for editing.
  // The full date, or why the entry is no date.
  std::string stringVersionForRow(long row) override;
  std::string editStringVersionForRow(long row);
  std::string toolTipForRow(long row);

  // The format dictionary in effect, and a new one (entries and display
  // are read again). setDateFormat takes an ICU pattern in the column's
  // localization.
  PlistDictionary format() const;
  void setFormat(const PlistDictionary& format);
  void setDateFormat(const std::string& pattern);
  // The format's kind as the format menus tag it (1 full date ... 6 numeric).
  int formatState() const { return int(reader().kind); }
  static void setLocalization(PlistDictionary& format, int tag);
  // The ICU locale of the format's localization ("de_DE"): the language of
  // month names wherever the column's dates are written, axes too.
  std::string localeName() const;

  // Display format tags 1 ... 12 name the display patterns in order; 0
  // chooses by the values (the date alone when every value is at midnight,
  // with minutes when every value is on a whole minute, else with seconds).
  int displayFormatSelector() const;
  void setDisplayFormatSelector(int tag);
  const std::string& displayPattern();

  // Reads entries with a format dictionary: values and mask, and why
  // nothing reads when the format cannot be used. The result does not
  // depend on how many processors share the work.
  static NumberRows parseStrings(const std::vector<std::string>& strings, const PlistDictionary& format,
                                 std::string* problem = nullptr);
  // One entry with the column's format; none when it does not read.
  std::optional<double> timeInSecondsFromString(const std::string& text) const;
  bool understandsString(const std::string& text) const;

  // The candidate formats that read at least one of the column's first
  // entries (empty entries are not counted), in the order they are tried.
  std::vector<PlistDictionary> formatsThatWork() const;
  // Selects the first candidate that read every entry tried; false when
  // there is none.
  bool pickAGoodFormat();
  void selectFormatThatWasFound(const PlistDictionary& candidate);
  // Reads the first length entries with the text appended; {"Worked": n,
  // "Failed": m}, empty entries counting as neither.
  static PlistDictionary tryFormat(const DateFormatter& formatter, const std::vector<std::string>& stringList,
                                   const std::string& appendString, long length);
  // The gear menu: the candidates (or why there are none), then the
  // conversions and the selection of invalid rows.
  std::vector<std::string> gearMenuTitles() const;
  std::vector<long> invalidRows();

  // Expression columns that read this one: the shortcut titles, and the
  // column of one (null for another title).
  static const std::vector<std::string>& mappingShortcutTitles();
  std::shared_ptr<VKDataColumnExpression> columnForMappingShortcut(const std::string& title) const;

  // Writes the values into a binary data file of the package when the
  // column is long enough to need one; its name, or none.
  std::optional<std::string> saveOptionalFile(PlistDictionary& info);
  std::optional<PropertyList> propertyToSaveWithInfo(PlistDictionary& info) override;
  // Reads the values file a description names, in place of reading the
  // entries again.
  bool readValueFile(const PropertyList& description, const std::string& packagePath);
  bool binaryFileSameAsData() const { return valueFile_.sameAsData; }

  std::shared_ptr<OrrelinColumn> convertToSpecifiedColumn() override;
  std::shared_ptr<OrrelinColumn> convertToStringColumn() override;
  std::shared_ptr<OrrelinColumn> convertToDateColumn() override { return nullptr; }

 protected:
  void textsChanged(long row) override;
  // The values move with their entries; only new entries are read.
  void rowsInserted(const RowIndices& positions) override;
  void rowsRemoved(const RowIndices& positions) override;
  void rowsReordered(const std::vector<long>& order) override;
  void settingChanged(const std::string& name) override;
  bool isOwnDescriptionKey(const std::string& key) const override;
  void writeOwnDescription(PlistDictionary& description, PlistDictionary& info) override;
  bool readDataEntry(const PropertyList& data, const std::string& packagePath) override;

 private:
  // The format as the settings hold it, in whichever form they hold it.
  PlistDictionary storedFormat() const;
  void formatChanged();
  const NumberRows& currentValues();
  void readAllValues();
  // The reader of the current format, made when it is first needed: a
  // column that is only made, as the document does to learn what kind of
  // data a column type takes, never makes the date formatter.
  const DateReader& reader() const;

  mutable std::optional<DateReader> reader_;
  mutable std::mutex readerLock_;
  // Set while setFormat replaces the settings one by one.
  bool applyingFormat_ = false;
  NumberRows values_;
  bool valuesUpToDate_ = true;
  // The display pattern, chosen for the values of this serial number.
  std::string displayPattern_;
  std::int32_t displaySerial_ = -1;
  // The file of the values last written or read.
  ColumnFile valueFile_;
};

}  // namespace orrelin
