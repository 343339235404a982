#pragma once
// Where the data of file-backed columns goes when a document is saved: text
// lists above 100000 entries into the package's "Ascii" folder, numbers with
// their mask into binary data files of the "Binary" and "Cache" folders.
// The save information (a dictionary every column writer shares) names the
// package ("Wrapper"), counts the files of each kind and remembers which
// folders this save created. Without a package everything stays inline in
// the property list.

#include <optional>
#include <string>
#include <vector>

#include "platform/PropertyList.h"
#include "table/NumberRows.h"

namespace orrelin {

// Text lists longer than this go to a file of their own.
inline constexpr std::size_t kLargestInlineList = 100000;

// A file a column last wrote or read: its name in its folder, the file
// system's number for it, and whether it still holds the column's data.
// Saving over a package whose file is unchanged links that file into the
// new package instead of writing it again.
struct ColumnFile {
  std::string name;
  std::uint64_t fileNumber = 0;
  bool sameAsData = false;
};

// The data entry of a text list: the strings themselves, or {"File": name}
// when the list is long and there is a package to write into. A file that
// cannot be written is reported and the list stays inline, so nothing is
// lost. The record of the list's file is brought up to date.
PropertyList saveStringList(const std::vector<std::string>& strings, PlistDictionary& info, ColumnFile& file);
// The strings of such an entry; none, with a message, when the entry names
// a file that cannot be read. Entries that are not strings read as "".
std::optional<std::vector<std::string>> readStringList(const PropertyList& data, const std::string& packagePath,
                                                       ColumnFile& file);

enum class NumbersFolder { Binary, Cache };

// Writes the numbers ("Numbers") and mask ("Mask") into a new binary data
// file of the folder and gives its name; none, with a message, when there is
// no package or the file cannot be written.
std::optional<std::string> saveNumbersFile(const NumberRows& rows, NumbersFolder folder, PlistDictionary& info,
                                           ColumnFile& file);
std::optional<NumberRows> readNumbersFile(NumbersFolder folder, const std::string& fileName,
                                          const std::string& packagePath, ColumnFile& file);

// Numbers and mask inline, in the array dictionary form.
PropertyList inlineNumbers(const NumberRows& rows);
std::optional<NumberRows> readInlineNumbers(const PropertyList& data);

// Whether the save information names a package to write files into.
bool savesIntoPackage(const PlistDictionary& info);

}  // namespace orrelin
