#include "table/ColumnFiles.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <future>

#include "datafiles/KRDataFile.h"
#include "graph/dependency/VKTaskQue.h"
#include "platform/KRMessageCenter.h"
#include "platform/PropertyListSerialization.h"
#include "table/TableMessages.h"

namespace orrelin {

namespace text = table_text;

namespace {

constexpr const char* kCouldNotWrite = "Could not write the column data file \"";
constexpr const char* kCouldNotRead = "Could not read the column data file \"";

struct FolderKeys {
  const char* folder;
  const char* counter;
  const char* createdFlag;
  const char* pattern;
};

constexpr FolderKeys kAscii{text::kAsciiFolder, text::kNextAsciiNumber, text::kAsciiDataCreated, text::kAsciiFilePattern};
constexpr FolderKeys kBinary{text::kBinaryFolder, text::kNextBinaryNumber, text::kBinaryDataCreated,
                             text::kBinaryFilePattern};
constexpr FolderKeys kCache{text::kCacheFolder, text::kNextCacheNumber, text::kCacheDataCreated, text::kCacheFilePattern};

const FolderKeys& keysFor(NumbersFolder folder) { return folder == NumbersFolder::Binary ? kBinary : kCache; }

std::string packageOf(const PlistDictionary& info) {
  const auto found = info.find(text::kWrapper);
  return found != info.end() && found->second.isString() ? found->second.string() : std::string();
}

// The folder of the package the file goes into, created when missing (and
// then remembered as created by this save); "" when it cannot be made.
std::string folderFor(const FolderKeys& keys, PlistDictionary& info) {
  const std::string folder = packageOf(info) + "/" + keys.folder;
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) {
    if (!std::filesystem::create_directory(folder, error)) {
      KRMessageCenter::addMessage(std::string(kCouldNotWrite) + folder + "\"", error.message());
      return {};
    }
    auto& created = info[text::kCreatedDictionaries];
    if (!created.isArray()) created = PlistArray{};
    created.array().push_back(std::string(keys.folder));
  }
  info[keys.createdFlag] = true;
  return folder;
}

// The next file name of the kind; the counter counts from 1 within a save.
std::string nextFileName(const FolderKeys& keys, PlistDictionary& info) {
  std::int64_t number = 1;
  if (const auto found = info.find(keys.counter); found != info.end() && found->second.isNumber())
    number = found->second.integer();
  info[keys.counter] = number + 1;
  char name[64];
  std::snprintf(name, sizeof name, keys.pattern, int(number));
  return name;
}

std::string pathInPackage(const std::string& packagePath, const char* folder, const std::string& fileName) {
  return packagePath + "/" + folder + "/" + fileName;
}

// A stored file name names a file of the package's folder and nothing else:
// no package, an empty name or one that leads out of the folder reads
// nothing.
bool readableName(const std::string& packagePath, const std::string& fileName) {
  return !packagePath.empty() && !fileName.empty() && fileName.find('/') == std::string::npos && fileName != "." &&
         fileName != "..";
}

// The file itself must be a plain file of the package: a symbolic link could
// lead anywhere.
bool plainFileInPackage(const std::string& path) {
  struct stat status;
  return ::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// The file system's number of a file; 0 when there is no such file.
std::uint64_t fileNumberOf(const std::string& path) {
  struct stat status;
  return ::stat(path.c_str(), &status) == 0 ? std::uint64_t(status.st_ino) : 0;
}

// Puts the file the column last wrote or read into the new package under
// newPath, when it still holds the column's data and is still the same file
// in the package being saved over: a hard link, else a copy.
bool reuseUnchangedFile(const FolderKeys& keys, const ColumnFile& file, const PlistDictionary& info,
                        const std::string& newPath) {
  const auto original = info.find(text::kOriginalURL);
  if (!file.sameAsData || file.name.empty() || file.fileNumber == 0 || original == info.end() ||
      !original->second.isString())
    return false;
  const std::string oldPath = pathInPackage(original->second.string(), keys.folder, file.name);
  if (fileNumberOf(oldPath) != file.fileNumber) return false;
  std::error_code error;
  if (std::filesystem::equivalent(oldPath, newPath, error)) return true;
  std::filesystem::create_hard_link(oldPath, newPath, error);
  if (error) std::filesystem::copy_file(oldPath, newPath, std::filesystem::copy_options::overwrite_existing, error);
  return !error;
}

void remember(ColumnFile& file, const std::string& name, const std::string& path) {
  file.name = name;
  file.fileNumber = fileNumberOf(path);
  file.sameAsData = true;
}

// Fills one file on the task queue's thread.
struct FileFilling {
  std::shared_ptr<KRDataFile> file;
  NumberRows rows;
  std::string path;
  std::promise<bool> written;

  void run() {
    bool ok = file->writeDoubleArray(*rows.values(), text::kNumbers) && file->writeUCharArray(*rows.mask(), text::kMask);
    // Uncommitted, a file is dropped whole, so no half-written file stays.
    if (ok) file->closeFile();
    file.reset();
    ok = ok && std::filesystem::exists(path);
    written.set_value(ok);
  }
};

thread_local DeferredColumnWrites* activeWrites = nullptr;

}  // namespace

struct DeferredColumnWrites::Pending {
  NumbersFolder folder;
  std::string name;
  std::string path;
  NumberRows rows;
  ColumnFile* record;
  std::future<bool> written;
};

DeferredColumnWrites::DeferredColumnWrites() : previous_(activeWrites) { activeWrites = this; }

DeferredColumnWrites::~DeferredColumnWrites() {
  finish();
  activeWrites = previous_;
}

DeferredColumnWrites* DeferredColumnWrites::current() { return activeWrites; }

void DeferredColumnWrites::add(NumbersFolder folder, std::string name, std::string path, const NumberRows& rows,
                               std::shared_ptr<KRDataFile> file, ColumnFile& record) {
  auto filling = std::make_shared<FileFilling>();
  filling->file = std::move(file);
  filling->rows = rows;
  filling->path = path;
  auto pending = std::make_unique<Pending>(Pending{folder, std::move(name), std::move(path), rows, &record,
                                                   filling->written.get_future()});
  pending_.push_back(std::move(pending));
  VKTaskQue::shared().addObject(std::move(filling), &FileFilling::run);
}

std::vector<DeferredColumnWrites::Failure> DeferredColumnWrites::finish() {
  std::vector<Failure> failures;
  for (auto& pending : pending_) {
    bool written = false;
    try {
      written = pending->written.get();
    } catch (const std::future_error&) {
      written = false;  // the call never ran to its end
    }
    if (written) {
      remember(*pending->record, pending->name, pending->path);
    } else {
      KRMessageCenter::addMessage(std::string(kCouldNotWrite) + pending->name + "\"");
      failures.push_back({pending->folder, pending->name, std::move(pending->rows)});
    }
  }
  pending_.clear();
  return failures;
}

bool savesIntoPackage(const PlistDictionary& info) { return !packageOf(info).empty(); }

PropertyList saveStringList(const std::vector<std::string>& strings, PlistDictionary& info, ColumnFile& file) {
  PlistArray list(strings.begin(), strings.end());
  if (strings.size() <= kLargestInlineList || !savesIntoPackage(info)) return list;
  const std::string folder = folderFor(kAscii, info);
  if (folder.empty()) return list;
  const std::string name = nextFileName(kAscii, info);
  const std::string path = folder + "/" + name;
  std::string error;
  if (!reuseUnchangedFile(kAscii, file, info, path) &&
      !writePropertyListFile(PropertyList(list), path, PlistFormat::Binary, WriteMode::Atomic, &error)) {
    KRMessageCenter::addMessage(std::string(kCouldNotWrite) + name + "\"", error);
    return list;
  }
  remember(file, name, path);
  PlistDictionary entry;
  entry[text::kFile] = name;
  return entry;
}

std::optional<std::vector<std::string>> readStringList(const PropertyList& data, const std::string& packagePath,
                                                       ColumnFile& file) {
  const PlistArray* list = data.isArray() ? &data.array() : nullptr;
  std::optional<PropertyList> fromFile;
  if (!list) {
    const auto name = data.stringForKey(text::kFile);
    if (!name) return std::nullopt;
    if (!readableName(packagePath, *name)) {
      KRMessageCenter::addMessage(std::string(kCouldNotRead) + *name + "\"");
      return std::nullopt;
    }
    std::string error;
    const std::string path = pathInPackage(packagePath, text::kAsciiFolder, *name);
    if (!plainFileInPackage(path)) {
      KRMessageCenter::addMessage(std::string(kCouldNotRead) + *name + "\"");
      return std::nullopt;
    }
    fromFile = readPropertyListFile(path, &error);
    if (!fromFile || !fromFile->isArray()) {
      KRMessageCenter::addMessage(std::string(kCouldNotRead) + *name + "\"", error);
      return std::nullopt;
    }
    list = &fromFile->array();
    remember(file, *name, path);
  }
  std::vector<std::string> strings;
  strings.reserve(list->size());
  for (const auto& entry : *list) strings.push_back(entry.isString() ? entry.string() : std::string());
  return strings;
}

std::optional<std::string> saveNumbersFile(const NumberRows& rows, NumbersFolder folder, PlistDictionary& info,
                                           ColumnFile& record) {
  if (!savesIntoPackage(info)) return std::nullopt;
  const FolderKeys& keys = keysFor(folder);
  const std::string directory = folderFor(keys, info);
  if (directory.empty()) return std::nullopt;
  const std::string name = nextFileName(keys, info);
  const std::string path = directory + "/" + name;
  if (reuseUnchangedFile(keys, record, info, path)) {
    remember(record, name, path);
    return name;
  }
  auto file = KRDataFile::openNewFileWithName(path);
  if (!file) return std::nullopt;  // the data file library has said why
  if (auto* deferred = DeferredColumnWrites::current()) {
    deferred->add(folder, name, path, rows, std::move(file), record);
    return name;
  }
  const bool written = file->writeDoubleArray(*rows.values(), text::kNumbers) &&
                       file->writeUCharArray(*rows.mask(), text::kMask);
  if (!written) {
    // Dropped uncommitted, so no half-written file stays behind.
    KRMessageCenter::addMessage(std::string(kCouldNotWrite) + name + "\"");
    return std::nullopt;
  }
  file->closeFile();
  if (!std::filesystem::exists(path)) {
    KRMessageCenter::addMessage(std::string(kCouldNotWrite) + name + "\"");
    return std::nullopt;
  }
  remember(record, name, path);
  return name;
}

std::optional<NumberRows> readNumbersFile(NumbersFolder folder, const std::string& fileName,
                                          const std::string& packagePath, ColumnFile& record) {
  if (!readableName(packagePath, fileName)) {
    KRMessageCenter::addMessage(std::string(kCouldNotRead) + fileName + "\"");
    return std::nullopt;
  }
  const std::string path = pathInPackage(packagePath, keysFor(folder).folder, fileName);
  if (!plainFileInPackage(path)) {
    KRMessageCenter::addMessage(std::string(kCouldNotRead) + fileName + "\"");
    return std::nullopt;
  }
  auto file = KRDataFile::openFileName(path);
  if (!file) return std::nullopt;
  auto values = file->readDoubleArray(text::kNumbers);
  if (!values) {
    KRMessageCenter::addMessage(std::string(kCouldNotRead) + fileName + "\"");
    return std::nullopt;
  }
  auto mask = file->readUCharArray(text::kMask);
  remember(record, fileName, path);
  return NumberRows::adopt(std::move(values), std::move(mask));
}

PropertyList inlineNumbers(const NumberRows& rows) {
  PlistDictionary entry;
  if (rows.length() == 0) return entry;  // an empty column has no arrays to write
  if (auto values = rows.values()->convertToRawFormat()) entry[text::kNumbers] = std::move(*values);
  if (auto mask = rows.mask()->convertToRawFormat()) entry[text::kMask] = std::move(*mask);
  return entry;
}

std::optional<NumberRows> readInlineNumbers(const PropertyList& data) {
  if (!data.isDictionary()) return std::nullopt;
  const PropertyList* values = data.find(text::kNumbers);
  if (!values) return NumberRows();
  auto numbers = KRDoubleArrayContainer::convertFromRawFormat(*values);
  if (!numbers) return std::nullopt;
  std::shared_ptr<KRUCharArrayContainer> mask;
  if (const PropertyList* stored = data.find(text::kMask)) mask = KRUCharArrayContainer::convertFromRawFormat(*stored);
  return NumberRows::adopt(std::move(numbers), std::move(mask));
}

}  // namespace orrelin
