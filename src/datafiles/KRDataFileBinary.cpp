#include "KRDataFileBinary.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "datafiles/BinaryScanner.h"
#include "datafiles/DataFileMessages.h"
#include "datafiles/ElementConversion.h"
#include "datafiles/FileCreation.h"
#include "datafiles/IndexFileReader.h"
#include "datafiles/OpenDataFiles.h"
#include "platform/FileWriting.h"
#include "platform/KRMessageCenter.h"
#include "platform/Paths.h"
#include "platform/PropertyListSerialization.h"
#include "platform/TextEncoding.h"

namespace orrelin {

namespace {

using binaryformat::kHeaderSize;
using binaryformat::kMagicSize;

// Converting reads go through a buffer of this size, so a large variable
// saved in another type needs no second copy of itself.
constexpr std::size_t kConversionChunk = 1 << 20;

void post(const std::string& message) { KRMessageCenter::addMessage(message); }

// Writes every part at offset, carrying on after short writes.
bool writeAllAt(int fd, std::vector<iovec> parts, std::uint64_t offset) {
  std::size_t index = 0;
  while (index < parts.size() && parts[index].iov_len == 0) ++index;
  while (index < parts.size()) {
    const int count = static_cast<int>(std::min<std::size_t>(parts.size() - index, IOV_MAX));
    ssize_t written = ::pwritev(fd, &parts[index], count, static_cast<off_t>(offset));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    offset += static_cast<std::uint64_t>(written);
    auto left = static_cast<std::size_t>(written);
    while (index < parts.size() && left >= parts[index].iov_len) {
      left -= parts[index].iov_len;
      ++index;
    }
    if (left > 0) {
      parts[index].iov_base = static_cast<char*>(parts[index].iov_base) + left;
      parts[index].iov_len -= left;
    }
    while (index < parts.size() && parts[index].iov_len == 0) ++index;
  }
  return true;
}

std::optional<std::uint64_t> lengthOf(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}

// A whole file in memory without copying it: the index of a large data file
// is read once, front to back.
class MappedFile {
 public:
  explicit MappedFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
      size_ = static_cast<std::size_t>(info.st_size);
      void* address = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
      if (address != MAP_FAILED) {
        address_ = address;
      } else {
        size_ = 0;
      }
    }
    ::close(fd);
  }
  ~MappedFile() {
    if (address_) ::munmap(address_, size_);
  }
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  bool isOpen() const { return address_ != nullptr; }
  std::string_view bytes() const { return {static_cast<const char*>(address_), size_}; }

 private:
  void* address_ = nullptr;
  std::size_t size_ = 0;
};

// The number a single element stands for, read from its bytes in host order.
double numberFromBytes(const std::uint8_t* bytes, KRDataFileKind kind) {
  double value = 0;
  convertElements(kind, bytes, KRDataFileKind::Double, &value, 1);
  return value;
}

}  // namespace

KRDataFileBinary::KRDataFileBinary(std::string path) : path_(std::move(path)) {}

KRDataFileBinary::~KRDataFileBinary() {
  std::lock_guard guard(lock_);
  if (pending_) commitPendingLocked();
  closeHandleLocked();
}

// ---------------------------------------------------------------------------
// Opening

bool KRDataFileBinary::openHandle(bool reportFailure) {
  int fd = openForUpdate(path_);
  writable_ = fd >= 0;
  if (fd < 0) fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd >= 0) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
      ::close(fd);
      fd = -1;
    }
  }
  if (fd < 0) {
    if (reportFailure) post(messages::couldNotReopen(path_));
    return false;
  }
  fd_ = fd;
  OpenDataFiles::shared().opened(this);
  return true;
}

std::shared_ptr<KRDataFileBinary> KRDataFileBinary::openFileName(const std::string& path,
                                                                 KRDataFileProgress* progress) {
  std::shared_ptr<KRDataFileBinary> file(new KRDataFileBinary(path));
  std::lock_guard guard(file->lock_);
  if (!file->openHandle(false)) {
    post(messages::couldNotOpenFile(path));
    return nullptr;
  }
  const auto length = lengthOf(file->fd_);
  if (!length) {
    post(messages::couldNotOpenFile(path));
    return nullptr;
  }
  if (*length == 0) {
    post(messages::fileIsEmpty(path));
    return nullptr;
  }
  if (file->loadFromIndexLocked(*length)) return file;

  FileByteSource source(file->fd_);
  ScanRequest request;
  request.fileLength = *length;
  request.fileName = path;
  request.progress = progress;
  ScanResult scan = scanBinaryDataFile(source, request);
  if (!scan.validMagic || scan.aborted) return nullptr;
  file->needToSwap_ = scan.needToSwap;
  file->mergeLocked(scan);
  return file;
}

bool KRDataFileBinary::loadFromIndexLocked(std::uint64_t fileLength) {
  const std::string indexPath = nameOfIndexFile();
  MappedFile mapped(indexPath);
  if (!mapped.isOpen()) return false;
  const std::string_view bytes = mapped.bytes();
  IndexContents index;
  IndexReading reading = readBinaryIndex(bytes, index);
  // The general reader takes the other forms; a binary one that the fast
  // reader could not make sense of is damaged, and not handed on.
  if (reading == IndexReading::NotHandled && bytes.substr(0, 6) != "bplist") {
    auto parsed = parsePropertyList(bytes);
    reading = parsed ? readIndexPropertyList(*parsed, index) : IndexReading::Unusable;
  }
  if (reading != IndexReading::Usable || index.length != fileLength) return false;

  // The magic still decides the byte order; the index does not record it.
  char magic[kMagicSize];
  FileByteSource source(fd_);
  if (source.readAt(0, magic, sizeof magic) != sizeof magic) return false;
  const auto order = binaryformat::classifyMagic(std::string_view(magic, sizeof magic));
  if (order == binaryformat::MagicOrder::Unknown) return false;

  // One entry that does not fit the file makes the whole index suspect.
  for (const auto& [name, entry] : index.entries) {
    if (entry.offsetInFile < kMagicSize + kHeaderSize || entry.offsetInFile > fileLength ||
        entry.requiredSize() > fileLength - entry.offsetInFile)
      return false;
  }
  table_.assign(std::move(index.entries));
  needToSwap_ = order == binaryformat::MagicOrder::Swapped;
  lengthRead_ = fileLength;
  entriesScanned_ = static_cast<long long>(table_.size());
  return true;
}

ScanResult KRDataFileBinary::scanOnLocked(std::uint64_t fileLength, KRDataFileProgress* progress) {
  FileByteSource source(fd_);
  ScanRequest request;
  request.fileLength = fileLength;
  request.startOffset = lengthRead_;
  request.needToSwap = needToSwap_;
  request.fileName = path_;
  request.entriesBefore = entriesScanned_;
  request.progress = progress;
  return scanBinaryDataFile(source, request);
}

void KRDataFileBinary::mergeLocked(ScanResult& scan) {
  table_.reserve(table_.size() + scan.entries.size());
  for (auto& [name, entry] : scan.entries) table_.insertOrAssign(std::move(name), std::move(entry));
  entriesScanned_ += static_cast<long long>(scan.entries.size());
  lengthRead_ = scan.until;
}

std::shared_ptr<KRDataFileBinary> KRDataFileBinary::openNewFileWithName(const std::string& path) {
  if (auto problem = creationProblem(path)) {
    post(*problem);
    return nullptr;
  }
  std::shared_ptr<KRDataFileBinary> file(new KRDataFileBinary(resolvedTargetPath(path)));
  auto pending = std::make_unique<AtomicFile>(file->path_);
  if (pending->fileDescriptor() < 0) {
    KRMessageCenter::addMessage(messages::couldNotCreate(path), pending->error());
    return nullptr;
  }
  std::lock_guard guard(file->lock_);
  file->fd_ = pending->fileDescriptor();
  file->writable_ = true;
  file->pending_ = std::move(pending);
  return file;
}

std::shared_ptr<KRDataFileBinary> KRDataFileBinary::createFromStructure(const PropertyList& structure) {
  auto path = structure.stringForKey("File");
  if (!path || path->empty()) {
    post(messages::unexpectedStructureType());
    return nullptr;
  }
  const PlistDictionary* content = structure.dictionaryForKey("Content");
  const PropertyList* length = structure.find("Length");
  std::shared_ptr<KRDataFileBinary> file(new KRDataFileBinary(*path));
  bool usable = content && length && length->isInteger() && (length->isUnsignedInteger() || length->integer() >= 0);
  if (usable) {
    std::lock_guard guard(file->lock_);
    const std::uint64_t fileLength = length->unsignedInteger();
    for (const auto& [name, form] : *content) {
      auto entry = KRDataFileBinaryEntry::fromDictionaryForm(form);
      if (!entry || entry->offsetInFile > fileLength || entry->requiredSize() > fileLength - entry->offsetInFile) {
        usable = false;
        break;
      }
      file->table_.insertOrAssign(name, std::move(*entry));
    }
    file->lengthRead_ = fileLength;
    file->needToSwap_ = structure.stringForKey("Swap") == "YES";
    file->entriesScanned_ = static_cast<long long>(file->table_.size());
  }
  // A description that does not hold together is no reason to lose the
  // file: read it again instead.
  if (!usable) return openFileName(*path);
  return file;
}

// ---------------------------------------------------------------------------
// The file handle and the open-file cap

bool KRDataFileBinary::makeSureFileIsOpenLocked() {
  if (fd_ >= 0) {
    if (!pending_) OpenDataFiles::shared().used(this);
    return true;
  }
  return openHandle(true);
}

bool KRDataFileBinary::makeSureFileIsOpen() {
  std::lock_guard guard(lock_);
  return makeSureFileIsOpenLocked();
}

void KRDataFileBinary::closeHandleLocked() {
  if (pending_ || fd_ < 0) return;
  OpenDataFiles::shared().closed(this);
  ::close(fd_);
  fd_ = -1;
}

bool KRDataFileBinary::closeForOpenCap() {
  std::unique_lock guard(lock_, std::try_to_lock);
  if (!guard.owns_lock() || pending_ || fd_ < 0) return false;
  ::close(fd_);
  fd_ = -1;
  return true;
}

bool KRDataFileBinary::isOpen() const {
  std::lock_guard guard(lock_);
  return fd_ >= 0;
}

std::size_t KRDataFileBinary::openFileCap() { return OpenDataFiles::shared().cap(); }
void KRDataFileBinary::setOpenFileCap(std::size_t cap) { OpenDataFiles::shared().setCap(cap); }
std::size_t KRDataFileBinary::numberOfOpenFiles() { return OpenDataFiles::shared().count(); }
void KRDataFileBinary::enforceOpenCap() { OpenDataFiles::shared().enforceCap(); }

void KRDataFileBinary::closeFile() {
  std::lock_guard guard(lock_);
  if (pending_) {
    commitPendingLocked();
    return;
  }
  closeHandleLocked();
}

void KRDataFileBinary::commitPendingLocked() {
  std::unique_ptr<AtomicFile> pending = std::move(pending_);
  fd_ = -1;  // the pending file owns its descriptor
  bool committed = false;
  if (!pendingWriteFailed_) {
    // A finished file always starts with its magic, even with no variables.
    bool ok = true;
    if (lengthRead_ == 0) {
      ok = writeAllAt(pending->fileDescriptor(),
                      {iovec{const_cast<char*>(binaryformat::kHostMagic.data()), kMagicSize}}, 0);
      if (ok) lengthRead_ = kMagicSize;
    }
    committed = ok && pending->commit();
    if (!committed) KRMessageCenter::addMessage(messages::couldNotCreate(path_), pending->error());
  } else {
    post(messages::couldNotCreate(path_));
  }
  pending.reset();
  if (committed) {
    if (indexWanted_) writeIndexLocked();
    return;
  }
  // The file it was to replace is still there; describe that one again.
  table_.clear();
  lengthRead_ = 0;
  entriesScanned_ = 0;
  needToSwap_ = false;
  if (openHandle(false)) {
    if (auto length = lengthOf(fd_)) {
      FileByteSource source(fd_);
      ScanRequest request;
      request.fileLength = *length;
      request.fileName = path_;
      ScanResult scan = scanBinaryDataFile(source, request);
      if (scan.validMagic) {
        needToSwap_ = scan.needToSwap;
        mergeLocked(scan);
      }
    }
  }
}

bool KRDataFileBinary::flush() {
  std::lock_guard guard(lock_);
  if (fd_ < 0) return true;
  return ::fsync(fd_) == 0 || errno == EINVAL;
}

// ---------------------------------------------------------------------------
// Queries

std::vector<std::string> KRDataFileBinary::variablesNames() const {
  std::lock_guard guard(lock_);
  std::vector<std::pair<std::uint64_t, const std::string*>> order;
  order.reserve(table_.size());
  table_.forEach([&](const std::string& name, const KRDataFileBinaryEntry& entry) {
    order.emplace_back(entry.offsetInFile, &name);
  });
  std::sort(order.begin(), order.end(),
            [](const auto& a, const auto& b) { return a.first != b.first ? a.first < b.first : *a.second < *b.second; });
  std::vector<std::string> names;
  names.reserve(order.size());
  for (const auto& [offset, name] : order) names.push_back(*name);
  return names;
}

std::optional<KRDataFileBinaryEntry> KRDataFileBinary::entryFor(const std::string& name) const {
  std::lock_guard guard(lock_);
  const KRDataFileBinaryEntry* found = table_.find(name);
  if (!found) return std::nullopt;
  return *found;
}

std::optional<KRDataFileEntryInfo> KRDataFileBinary::entryInfo(const std::string& name) const {
  auto entry = entryFor(name);
  if (!entry) return std::nullopt;
  return KRDataFileEntryInfo{entry->type, entry->isAString, entry->m, entry->n, entry->o};
}

std::optional<std::uint64_t> KRDataFileBinary::locationOfDataFor(const std::string& name) const {
  auto entry = entryFor(name);
  if (!entry) return std::nullopt;
  return entry->offsetInFile;
}

std::uint64_t KRDataFileBinary::fileSizeInBytes() const {
  std::lock_guard guard(lock_);
  return lengthRead_;
}

bool KRDataFileBinary::needToSwap() const {
  std::lock_guard guard(lock_);
  return needToSwap_;
}

PropertyList KRDataFileBinary::contentLocked() const {
  PlistDictionary content;
  table_.forEach([&](const std::string& name, const KRDataFileBinaryEntry& entry) {
    content.emplace(name, entry.dictionaryForm());
  });
  return PropertyList(std::move(content));
}

PropertyList KRDataFileBinary::theContent() const {
  std::lock_guard guard(lock_);
  return contentLocked();
}

PropertyList KRDataFileBinary::structure() const {
  std::lock_guard guard(lock_);
  PlistDictionary structure;
  structure["Type"] = PropertyList(kTypeName);
  structure["Content"] = contentLocked();
  structure["File"] = PropertyList(path_);
  structure["Length"] = PropertyList(lengthRead_);
  if (needToSwap_) structure["Swap"] = PropertyList("YES");
  return PropertyList(std::move(structure));
}

// ---------------------------------------------------------------------------
// Reading

bool KRDataFileBinary::readBytesLocked(std::uint64_t offset, void* buffer, std::uint64_t count) {
  if (!makeSureFileIsOpenLocked()) return false;
  FileByteSource source(fd_);
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  // pread moves at most about 2 GB per call; the source carries on.
  return source.readAt(offset, bytes, static_cast<std::size_t>(count)) == count;
}

bool KRDataFileBinary::readElementsLocked(const std::string& name, std::uint64_t offset, void* buffer,
                                          std::uint64_t count, std::size_t unit) {
  if (!readBytesLocked(offset, buffer, count * unit)) {
    post(messages::failedReading(name, path_));
    return false;
  }
  if (needToSwap_ && !binaryformat::swapElements(buffer, static_cast<std::size_t>(count), unit)) {
    post(messages::invalidUnitSize());
    return false;
  }
  return true;
}

bool KRDataFileBinary::readVariable(const std::string& name, KRDataFileKind resultKind,
                                    const Destination& destination) {
  std::lock_guard guard(lock_);
  const KRDataFileBinaryEntry* found = table_.find(name);
  if (!found || found->isAString) return false;
  const KRDataFileBinaryEntry& entry = *found;
  const KRDataFileEntryInfo shape{entry.type, false, entry.m, entry.n, entry.o};
  const std::uint64_t count = entry.length();

  void* into = destination(shape);
  if (count == 0) return true;
  if (!into) return false;
  if (entry.isANumber() && entry.cachedNumber) {
    convertElements(KRDataFileKind::Double, &*entry.cachedNumber, resultKind, into, 1);
    return true;
  }

  const std::size_t unit = entry.elementSize();
  // Straight into the caller's storage in one read.
  if (entry.type == resultKind) return readElementsLocked(name, entry.offsetInFile, into, count, unit);

  std::vector<std::uint8_t> chunk(std::min<std::uint64_t>(kConversionChunk, entry.requiredSize()));
  const std::size_t perChunk = chunk.size() / unit;
  const std::size_t resultUnit = binaryformat::elementSize(resultKind);
  for (std::uint64_t done = 0; done < count;) {
    const auto now = static_cast<std::size_t>(std::min<std::uint64_t>(perChunk, count - done));
    if (!readElementsLocked(name, entry.offsetInFile + done * unit, chunk.data(), now, unit)) return false;
    convertElements(entry.type, chunk.data(), resultKind, static_cast<std::uint8_t*>(into) + done * resultUnit, now);
    done += now;
  }
  return true;
}

std::optional<double> KRDataFileBinary::readNumber(const std::string& name) {
  std::lock_guard guard(lock_);
  KRDataFileBinaryEntry* found = table_.find(name);
  if (!found || found->isAString) return std::nullopt;
  KRDataFileBinaryEntry& entry = *found;
  if (entry.cachedNumber) return entry.cachedNumber;
  if (entry.length() == 0) {
    post(messages::emptyNumber());
    return std::nullopt;
  }
  std::uint8_t unit[8];
  if (!readElementsLocked(name, entry.offsetInFile, unit, 1, entry.elementSize())) return std::nullopt;
  const double value = numberFromBytes(unit, entry.type);
  if (entry.isANumber()) entry.cachedNumber = value;
  return value;
}

std::optional<std::string> KRDataFileBinary::readRawString(const std::string& name) {
  std::lock_guard guard(lock_);
  KRDataFileBinaryEntry* found = table_.find(name);
  if (!found || !found->isAString) return std::nullopt;
  KRDataFileBinaryEntry& entry = *found;
  if (entry.cachedString) return entry.cachedString;
  std::string text(static_cast<std::size_t>(entry.requiredSize()), '\0');
  if (!text.empty() && !readBytesLocked(entry.offsetInFile, text.data(), text.size())) {
    post(messages::failedReading(name, path_));
    return std::nullopt;
  }
  if (text.size() <= KRDataFileBinaryEntry::kCachedStringLimit) entry.cachedString = text;
  return text;
}

// ---------------------------------------------------------------------------
// Writing

bool KRDataFileBinary::writeEntryWithName(const std::string& name, const void* bytes, std::int32_t typeCode,
                                          std::int32_t m, std::int32_t n, std::int32_t o) {
  std::lock_guard guard(lock_);
  if (name.empty()) {
    post(messages::emptyVariableName());
    return false;
  }
  if (name.size() + 1 > static_cast<std::size_t>(binaryformat::kMaximumNameLength)) {
    post(messages::nameTooLong(name));
    return false;
  }
  if (table_.contains(name)) {
    post(messages::entryAlreadyExists());
    return false;
  }
  const auto type = binaryformat::typeInfoForCode(typeCode);
  if (!type || m < 0 || n < 0 || o < 0) {
    post(messages::couldNotWrite(name, path_));
    return false;
  }
  KRDataFileBinaryEntry entry;
  entry.type = type->kind;
  entry.isAString = type->isString;
  entry.m = m;
  entry.n = n;
  entry.o = o;
  // An empty array has no shape worth keeping; an empty string stays 1x0x1.
  if (entry.length() == 0 && !entry.isAString) entry.m = entry.n = entry.o = 0;
  if (entry.length() > 0 && !bytes) {
    post(messages::couldNotWrite(name, path_));
    return false;
  }
  if (!makeSureFileIsOpenLocked()) return false;
  if (!writable_) {
    post(messages::fileIsReadOnly(path_));
    return false;
  }
  if (!catchUpWithDiskLocked(name)) return false;
  if (table_.contains(name)) {  // added by another program in the meantime
    post(messages::entryAlreadyExists());
    return false;
  }
  return appendLocked(name, bytes, entry);
}

bool KRDataFileBinary::catchUpWithDiskLocked(const std::string& variable) {
  // Another program may have appended since this file was read: pick up
  // its variables so that the new one goes after them.
  auto length = lengthOf(fd_);
  if (!length || *length < lengthRead_) {
    post(messages::couldNotWrite(variable, path_));
    return false;
  }
  if (*length == lengthRead_) return true;
  if (lengthRead_ == 0) {
    // Not the file this object described; nothing sensible to append to.
    post(messages::couldNotWrite(variable, path_));
    return false;
  }
  ScanResult scan = scanOnLocked(*length, nullptr);
  mergeLocked(scan);
  if (lengthRead_ != *length) {
    post(messages::incompleteTail(path_));
    return false;
  }
  return true;
}

bool KRDataFileBinary::appendLocked(const std::string& name, const void* bytes, const KRDataFileBinaryEntry& entry) {
  const std::uint64_t dataBytes = entry.requiredSize();
  const std::uint64_t start = lengthRead_ == 0 ? kMagicSize : lengthRead_;
  // Names are at most 254 bytes, data at most 2^31-1 cubed elements: the
  // header's 64-bit length cannot overflow for anything a caller can hold.
  binaryformat::EntryHeader header;
  header.nameLength = static_cast<std::int32_t>(name.size() + 1);
  header.entryLength = static_cast<std::int64_t>(kHeaderSize + name.size() + 1 + dataBytes);
  header.typeCode = binaryformat::typeCodeFor(entry.type, entry.isAString);
  header.m = entry.m;
  header.n = entry.n;
  header.o = entry.o;
  std::vector<std::uint8_t> head(kHeaderSize + name.size() + 1);
  binaryformat::encodeHeader(header, head.data());
  if (needToSwap_) binaryformat::swapHeader(head.data());
  std::memcpy(head.data() + kHeaderSize, name.data(), name.size());
  head.back() = 0;

  std::vector<iovec> parts;
  if (lengthRead_ == 0) parts.push_back({const_cast<char*>(binaryformat::kHostMagic.data()), kMagicSize});
  parts.push_back({head.data(), head.size()});
  const std::uint64_t writeAt = lengthRead_;
  bool written = false;
  if (!needToSwap_ || entry.elementSize() == 1) {
    parts.push_back({const_cast<void*>(bytes), static_cast<std::size_t>(dataBytes)});
    written = writeAllAt(fd_, parts, writeAt);
  } else {
    // A file of the other byte order gets its new entries in that order too,
    // or no reader could make sense of them.
    written = writeAllAt(fd_, parts, writeAt);
    std::vector<std::uint8_t> chunk(std::min<std::uint64_t>(kConversionChunk, dataBytes));
    const std::size_t unit = entry.elementSize();
    for (std::uint64_t done = 0; written && done < dataBytes;) {
      const auto now = static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), dataBytes - done));
      std::memcpy(chunk.data(), static_cast<const std::uint8_t*>(bytes) + done, now);
      binaryformat::swapElements(chunk.data(), now / unit, unit);
      written = writeAllAt(fd_, {iovec{chunk.data(), now}}, writeAt + head.size() + done);
      done += now;
    }
  }
  if (!written) {
    KRMessageCenter::addMessage(messages::couldNotWrite(name, path_), std::strerror(errno));
    if (pending_) {
      // The new file is incomplete now; closing it keeps the old one.
      pendingWriteFailed_ = true;
    } else {
      // Take back whatever part of the entry made it, so the file ends where
      // it did before.
      (void)::ftruncate(fd_, static_cast<off_t>(writeAt));
    }
    return false;
  }

  KRDataFileBinaryEntry added = entry;
  added.offsetInFile = start + head.size();
  if (added.isANumber()) {
    added.cachedNumber = numberFromBytes(static_cast<const std::uint8_t*>(bytes), added.type);
  } else if (added.isAString && dataBytes <= KRDataFileBinaryEntry::kCachedStringLimit) {
    added.cachedString = std::string(static_cast<const char*>(bytes), static_cast<std::size_t>(dataBytes));
  }
  table_.insertOrAssign(name, std::move(added));
  lengthRead_ = start + head.size() + dataBytes;
  ++entriesScanned_;
  if (indexMayExist_) {
    ::unlink(nameOfIndexFile().c_str());
    indexMayExist_ = false;
  }
  indexWanted_ = false;
  return true;
}

// ---------------------------------------------------------------------------
// Updating and the index file

int KRDataFileBinary::updateFile(KRDataFileProgress* progress) {
  std::lock_guard guard(lock_);
  if (pending_) return 0;
  if (!makeSureFileIsOpenLocked()) return -1;
  struct stat onDisk {};
  struct stat held {};
  if (::stat(path_.c_str(), &onDisk) != 0 || ::fstat(fd_, &held) != 0) return -1;
  // Another file in its place counts as replaced, whatever its length.
  if (onDisk.st_ino != held.st_ino || onDisk.st_dev != held.st_dev) return -1;
  const auto length = static_cast<std::uint64_t>(onDisk.st_size);
  if (length < lengthRead_) return -1;
  if (length == lengthRead_) return 0;

  ScanResult scan = scanOnLocked(length, progress);
  if (lengthRead_ == 0) {
    if (!scan.validMagic) return 0;
    needToSwap_ = scan.needToSwap;
  }
  const bool added = !scan.entries.empty();
  mergeLocked(scan);
  return added ? 1 : 0;
}

std::string KRDataFileBinary::nameOfIndexFile() const {
  const std::string extension = pathExtension(path_);
  const std::string stem = extension.empty() ? path_ : path_.substr(0, path_.size() - extension.size() - 1);
  return stem + ".index";
}

bool KRDataFileBinary::writeIndexLocked() {
  bool allText = true;
  table_.forEach([&](const std::string& name, const KRDataFileBinaryEntry&) { allText = allText && isValidUTF8(name); });
  if (!allText) {
    // A property list keeps only text; a name of other bytes would come
    // back as another name, so such a file goes without an index.
    ::unlink(nameOfIndexFile().c_str());
    return false;
  }
  PlistDictionary index;
  index["Length"] = PropertyList(lengthRead_);
  index["Entries"] = contentLocked();
  std::string error;
  // Not atomic: a torn index does not parse or fails its length check, and
  // the file is then scanned as if there were none.
  if (!writePropertyListFile(PropertyList(std::move(index)), nameOfIndexFile(), PlistFormat::Binary,
                             WriteMode::InPlace, &error)) {
    KRMessageCenter::addMessage(messages::couldNotCreate(nameOfIndexFile()), error);
    return false;
  }
  indexMayExist_ = true;
  return true;
}

bool KRDataFileBinary::generateIndexFile() {
  std::lock_guard guard(lock_);
  if (pending_) {
    // Written once the new file is in place, so it describes that file.
    indexWanted_ = true;
    return true;
  }
  return writeIndexLocked();
}

bool KRDataFileBinary::removeIndexFile() {
  std::lock_guard guard(lock_);
  indexWanted_ = false;
  return ::unlink(nameOfIndexFile().c_str()) == 0 || errno == ENOENT;
}

}  // namespace orrelin
