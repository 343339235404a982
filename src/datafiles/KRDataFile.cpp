#include "KRDataFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>

#include "datafiles/DataFileMessages.h"
#include "datafiles/KRDataFileBinary.h"
#include "platform/KRMessageCenter.h"
#include "platform/Paths.h"

namespace orrelin {

namespace {

void post(const std::string& message) { KRMessageCenter::addMessage(message); }

// Endings of the readers that are still to come.
constexpr std::array<const char*, 4> kEndingsNotReadYet{"ascii", "mvascii", "mat", "mvdata"};
// Structure types of those readers.
constexpr std::array<const char*, 3> kTypesNotReadYet{"Ascii", "MatBinary", "DataFileStack"};

// Tells a file of another ending apart by its first bytes: a binary data
// file renamed by its user still opens.
enum class Sniffed { CannotOpen, Empty, Binary, Other };

Sniffed sniff(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Sniffed::CannotOpen;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    ::close(fd);
    return Sniffed::CannotOpen;
  }
  char magic[binaryformat::kMagicSize];
  ssize_t got = ::pread(fd, magic, sizeof magic, 0);
  ::close(fd);
  if (got == 0) return Sniffed::Empty;
  if (got < 0) return Sniffed::CannotOpen;
  auto order = binaryformat::classifyMagic(std::string_view(magic, static_cast<std::size_t>(got)));
  return order == binaryformat::MagicOrder::Unknown ? Sniffed::Other : Sniffed::Binary;
}

}  // namespace

std::shared_ptr<KRDataFile> KRDataFile::openFileName(const std::string& path, KRDataFileProgress* progress) {
  const std::string ending = asciiLowercase(pathExtension(path));
  if (ending == "mvbin") return KRDataFileBinary::openFileName(path, progress);
  for (const char* other : kEndingsNotReadYet) {
    if (ending == other) {
      post(messages::formatNotSupportedYet(path, ending));
      return nullptr;
    }
  }
  switch (sniff(path)) {
    case Sniffed::CannotOpen: post(messages::couldNotOpenFile(path)); return nullptr;
    case Sniffed::Empty: post(messages::fileIsEmpty(path)); return nullptr;
    case Sniffed::Binary: return KRDataFileBinary::openFileName(path, progress);
    case Sniffed::Other: post(messages::invalidFormat(path)); return nullptr;
  }
  return nullptr;
}

std::shared_ptr<KRDataFile> KRDataFile::openFileName(const std::string& name, const std::string& fileContainer,
                                                     KRDataFileProgress* progress) {
  if (name.empty() || name[0] == '/' || fileContainer.empty()) return openFileName(name, progress);
  return openFileName(appendPathComponent(fileContainer, name), progress);
}

std::shared_ptr<KRDataFile> KRDataFile::openNewFileWithName(const std::string& path) {
  return KRDataFileBinary::openNewFileWithName(path);
}

std::shared_ptr<KRDataFile> KRDataFile::createFromStructure(const PropertyList& structure) {
  const auto type = structure.stringForKey("Type");
  if (type == KRDataFileBinary::kTypeName) return KRDataFileBinary::createFromStructure(structure);
  for (const char* other : kTypesNotReadYet) {
    if (type == other) {
      post(messages::structureTypeNotSupportedYet(*type));
      return nullptr;
    }
  }
  post(messages::unexpectedStructureType());
  return nullptr;
}

std::vector<std::string> KRDataFile::variablesWithPrefix(const std::string& prefix) const {
  std::vector<std::string> names;
  for (auto& name : variablesNames())
    if (name.compare(0, prefix.size(), prefix) == 0) names.push_back(std::move(name));
  return names;
}

bool KRDataFile::contains(const char* name) const {
  if (!name) {
    post(messages::containsNilName());
    return false;
  }
  return contains(std::string(name));
}

bool KRDataFile::isANumber(const std::string& name) const {
  auto info = entryInfo(name);
  return info && !info->isAString && info->m == 1 && info->n == 1 && info->o == 1;
}

bool KRDataFile::isAString(const std::string& name) const {
  auto info = entryInfo(name);
  return info && info->isAString;
}

bool KRDataFile::isADoubleArray(const std::string& name) const {
  auto info = entryInfo(name);
  return info && !info->isAString && info->kind == KRDataFileKind::Double;
}

bool KRDataFile::isAFloatArray(const std::string& name) const {
  auto info = entryInfo(name);
  return info && !info->isAString && info->kind == KRDataFileKind::Float;
}

bool KRDataFile::isAnIntArray(const std::string& name) const {
  auto info = entryInfo(name);
  return info && !info->isAString && info->kind != KRDataFileKind::Double && info->kind != KRDataFileKind::Float;
}

bool KRDataFile::getSizeOfVariable(const std::string& name, std::int32_t& m, std::int32_t& n, std::int32_t& o) const {
  auto info = entryInfo(name);
  if (!info) return false;
  m = info->m;
  n = info->n;
  o = info->o;
  return true;
}

bool KRDataFile::writeEntryWithName(const std::string& name, const void*, std::int32_t, std::int32_t, std::int32_t,
                                    std::int32_t) {
  post(messages::couldNotWrite(name, fileName()));
  return false;
}

bool KRDataFile::writeString(const std::string& text, const std::string& name) {
  if (name.empty()) {
    post(messages::emptyVariableName());
    return false;
  }
  if (text.size() > static_cast<std::size_t>(INT32_MAX)) {
    post(messages::couldNotWrite(name, fileName()));
    return false;
  }
  return writeEntryWithName(name, text.data(), binaryformat::kTypeString, 1, static_cast<std::int32_t>(text.size()),
                            1);
}

template <class Container>
std::shared_ptr<Container> KRDataFile::readContainer(const std::string& name) {
  using Element = typename Container::Element;
  std::shared_ptr<Container> array;
  // The array is made once the shape is known, and the values go straight
  // into its storage.
  const bool read = readVariable(name, kindOf<Element>(), [&](const KRDataFileEntryInfo& shape) -> void* {
    array = Container::createArrayOfSizeM(shape.m, shape.n, shape.o);
    return array ? array->mutablePointer() : nullptr;
  });
  return read ? array : nullptr;
}

template <class Container>
bool KRDataFile::writeContainer(const Container& array, const std::string& name) {
  using Element = typename Container::Element;
  return writeEntryWithName(name, array.constPointer(), binaryformat::typeCodeFor(kindOf<Element>(), false),
                            array.m(), array.n(), array.o());
}

std::shared_ptr<KRDoubleArrayContainer> KRDataFile::readDoubleArray(const std::string& name) {
  return readContainer<KRDoubleArrayContainer>(name);
}
std::shared_ptr<KRFloatArrayContainer> KRDataFile::readFloatArray(const std::string& name) {
  return readContainer<KRFloatArrayContainer>(name);
}
std::shared_ptr<KRIntArrayContainer> KRDataFile::readIntArray(const std::string& name) {
  return readContainer<KRIntArrayContainer>(name);
}
std::shared_ptr<KRShortArrayContainer> KRDataFile::readShortArray(const std::string& name) {
  return readContainer<KRShortArrayContainer>(name);
}
std::shared_ptr<KRUShortArrayContainer> KRDataFile::readUShortArray(const std::string& name) {
  return readContainer<KRUShortArrayContainer>(name);
}
std::shared_ptr<KRCharacterArrayContainer> KRDataFile::readCharacterArray(const std::string& name) {
  return readContainer<KRCharacterArrayContainer>(name);
}
std::shared_ptr<KRUCharArrayContainer> KRDataFile::readUCharArray(const std::string& name) {
  return readContainer<KRUCharArrayContainer>(name);
}

bool KRDataFile::writeDoubleArray(const KRDoubleArrayContainer& array, const std::string& name) {
  return writeContainer(array, name);
}
bool KRDataFile::writeFloatArray(const KRFloatArrayContainer& array, const std::string& name) {
  return writeContainer(array, name);
}
bool KRDataFile::writeIntArray(const KRIntArrayContainer& array, const std::string& name) {
  return writeContainer(array, name);
}
bool KRDataFile::writeShortArray(const KRShortArrayContainer& array, const std::string& name) {
  return writeContainer(array, name);
}
bool KRDataFile::writeUShortArray(const KRUShortArrayContainer& array, const std::string& name) {
  return writeContainer(array, name);
}
bool KRDataFile::writeCharacterArray(const KRCharacterArrayContainer& array, const std::string& name) {
  return writeContainer(array, name);
}
bool KRDataFile::writeUCharArray(const KRUCharArrayContainer& array, const std::string& name) {
  return writeContainer(array, name);
}

bool KRDataFile::removeVariables(const std::vector<std::string>& names, KRDataFileProgress*) {
  if (names.empty()) return true;
  post(messages::cannotRemoveVariables());
  return false;
}

bool KRDataFile::copyInto(KRDataFile& destination, KRDataFileProgress* progress, const std::set<std::string>& leaveOut) {
  const auto names = variablesNames();
  bool ok = true;
  std::size_t done = 0;
  for (const auto& name : names) {
    if (progress) {
      progress->setProgress(names.empty() ? 1.0 : static_cast<double>(done) / static_cast<double>(names.size()));
      if (progress->userAborted()) return false;
    }
    ++done;
    if (leaveOut.count(name)) continue;
    auto info = entryInfo(name);
    if (!info) continue;
    if (info->isAString) {
      auto text = readRawString(name);
      ok = text && destination.writeString(*text, name) && ok;
      continue;
    }
    // Copied in the type it was saved as, byte for byte in host order.
    std::vector<std::uint8_t> bytes;
    KRDataFileEntryInfo shape;
    const bool read = readVariable(name, info->kind, [&](const KRDataFileEntryInfo& s) -> void* {
      shape = s;
      bytes.resize(static_cast<std::size_t>(s.length() * binaryformat::elementSize(info->kind)));
      return bytes.data();
    });
    ok = read &&
         destination.writeEntryWithName(name, bytes.data(), binaryformat::typeCodeFor(info->kind, false), shape.m,
                                        shape.n, shape.o) &&
         ok;
  }
  if (progress) progress->setProgress(1.0);
  return ok;
}

}  // namespace orrelin
