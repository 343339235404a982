#include "table/ColumnFiles.h"

#include <cstdio>
#include <filesystem>

#include "datafiles/KRDataFile.h"
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

}  // namespace

bool savesIntoPackage(const PlistDictionary& info) { return !packageOf(info).empty(); }

PropertyList saveStringList(const std::vector<std::string>& strings, PlistDictionary& info, std::string* fileName) {
  PlistArray list(strings.begin(), strings.end());
  if (strings.size() <= kLargestInlineList || !savesIntoPackage(info)) return list;
  const std::string folder = folderFor(kAscii, info);
  if (folder.empty()) return list;
  const std::string name = nextFileName(kAscii, info);
  std::string error;
  if (!writePropertyListFile(PropertyList(list), folder + "/" + name, PlistFormat::Binary, WriteMode::Atomic, &error)) {
    KRMessageCenter::addMessage(std::string(kCouldNotWrite) + name + "\"", error);
    return list;
  }
  if (fileName) *fileName = name;
  PlistDictionary entry;
  entry[text::kFile] = name;
  return entry;
}

std::optional<std::vector<std::string>> readStringList(const PropertyList& data, const std::string& packagePath) {
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
    fromFile = readPropertyListFile(pathInPackage(packagePath, text::kAsciiFolder, *name), &error);
    if (!fromFile || !fromFile->isArray()) {
      KRMessageCenter::addMessage(std::string(kCouldNotRead) + *name + "\"", error);
      return std::nullopt;
    }
    list = &fromFile->array();
  }
  std::vector<std::string> strings;
  strings.reserve(list->size());
  for (const auto& entry : *list) strings.push_back(entry.isString() ? entry.string() : std::string());
  return strings;
}

std::optional<std::string> saveNumbersFile(const NumberRows& rows, NumbersFolder folder, PlistDictionary& info) {
  if (!savesIntoPackage(info)) return std::nullopt;
  const FolderKeys& keys = keysFor(folder);
  const std::string directory = folderFor(keys, info);
  if (directory.empty()) return std::nullopt;
  const std::string name = nextFileName(keys, info);
  auto file = KRDataFile::openNewFileWithName(directory + "/" + name);
  if (!file) return std::nullopt;  // the data file library has said why
  const bool written = file->writeDoubleArray(*rows.values(), text::kNumbers) &&
                       file->writeUCharArray(*rows.mask(), text::kMask);
  if (!written) {
    // Dropped uncommitted, so no half-written file stays behind.
    KRMessageCenter::addMessage(std::string(kCouldNotWrite) + name + "\"");
    return std::nullopt;
  }
  file->closeFile();
  if (!std::filesystem::exists(directory + "/" + name)) {
    KRMessageCenter::addMessage(std::string(kCouldNotWrite) + name + "\"");
    return std::nullopt;
  }
  return name;
}

std::optional<NumberRows> readNumbersFile(NumbersFolder folder, const std::string& fileName,
                                          const std::string& packagePath) {
  if (!readableName(packagePath, fileName)) {
    KRMessageCenter::addMessage(std::string(kCouldNotRead) + fileName + "\"");
    return std::nullopt;
  }
  auto file = KRDataFile::openFileName(pathInPackage(packagePath, keysFor(folder).folder, fileName));
  if (!file) return std::nullopt;
  auto values = file->readDoubleArray(text::kNumbers);
  if (!values) {
    KRMessageCenter::addMessage(std::string(kCouldNotRead) + fileName + "\"");
    return std::nullopt;
  }
  auto mask = file->readUCharArray(text::kMask);
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
