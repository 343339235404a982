#pragma once
// Where the data of file-backed columns goes when a document is saved: text
// lists above 100000 entries into the package's "Ascii" folder, numbers with
// their mask into binary data files of the "Binary" and "Cache" folders.
// The save information (a dictionary every column writer shares) names the
// package ("Wrapper"), counts the files of each kind and remembers which
// folders this save created. Without a package everything stays inline in
// the property list.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/PropertyList.h"
#include "table/NumberRows.h"

namespace orrelin {

class KRDataFile;

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
// no package or the file cannot be made. While a DeferredColumnWrites is
// active on the calling thread the file is made here and filled on the task
// queue's thread; the save learns whether that worked from finish().
std::optional<std::string> saveNumbersFile(const NumberRows& rows, NumbersFolder folder, PlistDictionary& info,
                                           ColumnFile& file);
std::optional<NumberRows> readNumbersFile(NumbersFolder folder, const std::string& fileName,
                                          const std::string& packagePath, ColumnFile& file);

// The binary data files of one save are filled on the task queue's thread,
// one after the other, while the save goes on with the next columns. Active
// on the thread that makes it, for as long as it lives (the innermost one
// when they nest). finish() waits for every file and gives back those that
// could not be written, with the numbers they were to hold, so the save can
// keep them some other way; the destructor waits too.
class DeferredColumnWrites {
 public:
  struct Failure {
    NumbersFolder folder;
    std::string name;
    NumberRows rows;
  };

  DeferredColumnWrites();
  ~DeferredColumnWrites();
  DeferredColumnWrites(const DeferredColumnWrites&) = delete;
  DeferredColumnWrites& operator=(const DeferredColumnWrites&) = delete;

  // The one active on the calling thread, or none.
  static DeferredColumnWrites* current();

  // Files that could not be written are reported to the message centre.
  std::vector<Failure> finish();
  // Queues the filling of a file that was just made.
  void add(NumbersFolder folder, std::string name, std::string path, const NumberRows& rows,
           std::shared_ptr<KRDataFile> file, ColumnFile& record);

 private:
  struct Pending;
  std::vector<std::unique_ptr<Pending>> pending_;
  DeferredColumnWrites* previous_;
};

// Numbers and mask inline, in the array dictionary form.
PropertyList inlineNumbers(const NumberRows& rows);
std::optional<NumberRows> readInlineNumbers(const PropertyList& data);

// Whether the save information names a package to write files into.
bool savesIntoPackage(const PlistDictionary& info);

}  // namespace orrelin
