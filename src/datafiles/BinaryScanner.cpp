#include "BinaryScanner.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "datafiles/DataFileMessages.h"
#include "platform/KRMessageCenter.h"
#include "platform/Paths.h"

namespace orrelin {

std::size_t MemoryByteSource::readAt(std::uint64_t offset, void* buffer, std::size_t count) {
  if (offset >= size_) return 0;
  std::size_t n = std::min<std::uint64_t>(count, size_ - offset);
  std::memcpy(buffer, data_ + offset, n);
  return n;
}

std::size_t FileByteSource::readAt(std::uint64_t offset, void* buffer, std::size_t count) {
  std::size_t done = 0;
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  while (done < count) {
    ssize_t n = ::pread(fd_, bytes + done, count - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

namespace {

using binaryformat::kHeaderSize;

// Headers are read through a small window, so a file of many short entries
// costs one read per several entries rather than one per entry.
constexpr std::size_t kWindowSize = 256;

class Window {
 public:
  explicit Window(ByteSource& source) : source_(source) {}

  // True when [offset, offset + count) is in the window after at most one
  // read starting at offset.
  bool cover(std::uint64_t offset, std::size_t count, std::uint64_t fileLength) {
    if (holds(offset, count)) return true;
    std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kWindowSize, fileLength - offset));
    start_ = offset;
    length_ = source_.readAt(offset, bytes_, want);
    return holds(offset, count);
  }
  bool holds(std::uint64_t offset, std::size_t count) const {
    return offset >= start_ && offset - start_ <= length_ && length_ - (offset - start_) >= count;
  }
  const std::uint8_t* at(std::uint64_t offset) const { return bytes_ + (offset - start_); }

 private:
  ByteSource& source_;
  std::uint8_t bytes_[kWindowSize];
  std::uint64_t start_ = 0;
  std::size_t length_ = 0;
};

double numberAt(const std::uint8_t* bytes, KRDataFileKind kind, bool swap) {
  std::uint8_t unit[8];
  const std::size_t size = binaryformat::elementSize(kind);
  std::memcpy(unit, bytes, size);
  if (swap) binaryformat::swapElements(unit, 1, size);
  switch (kind) {
    case KRDataFileKind::Double: { double v; std::memcpy(&v, unit, 8); return v; }
    case KRDataFileKind::Float: { float v; std::memcpy(&v, unit, 4); return v; }
    case KRDataFileKind::Int: { std::int32_t v; std::memcpy(&v, unit, 4); return v; }
    case KRDataFileKind::Short: { std::int16_t v; std::memcpy(&v, unit, 2); return v; }
    case KRDataFileKind::UShort: { std::uint16_t v; std::memcpy(&v, unit, 2); return v; }
    case KRDataFileKind::Char: return static_cast<std::int8_t>(unit[0]);
    case KRDataFileKind::UChar: return unit[0];
  }
  return 0;
}

}  // namespace

ScanResult scanBinaryDataFile(ByteSource& source, const ScanRequest& request) {
  ScanResult result;
  const ScanReport report =
      request.report ? request.report : [](const std::string& message) { KRMessageCenter::addMessage(message); };
  const ScanClock clock = request.clock ? request.clock : [] { return std::chrono::steady_clock::now(); };
  const std::uint64_t fileLength = request.fileLength;

  std::uint64_t position = request.startOffset;
  result.needToSwap = request.needToSwap;
  if (position == 0) {
    char magic[binaryformat::kMagicSize];
    std::size_t got = fileLength >= sizeof magic ? source.readAt(0, magic, sizeof magic) : 0;
    auto order = binaryformat::classifyMagic(std::string_view(magic, got));
    if (order == binaryformat::MagicOrder::Unknown) {
      report(messages::incorrectFormat(lastPathComponent(request.fileName)));
      result.validMagic = false;
      return result;
    }
    result.needToSwap = order == binaryformat::MagicOrder::Swapped;
    position = binaryformat::kMagicSize;
  }
  const bool swap = result.needToSwap;

  Window window(source);
  auto lastReport = clock();
  long long entryNumber = request.entriesBefore;
  while (position <= fileLength && fileLength - position >= kHeaderSize) {
    if (!window.cover(position, kHeaderSize, fileLength)) break;
    ++entryNumber;
    const auto header = binaryformat::decodeHeader(window.at(position), swap);
    if (header.nameLength < 1 || header.nameLength > binaryformat::kMaximumNameLength) {
      report(messages::formatErrorInEntry(lastPathComponent(request.fileName), entryNumber) +
             messages::nameFieldLength(header.nameLength));
      result.stoppedAtDamage = true;
      break;
    }
    const auto type = binaryformat::typeInfoForCode(header.typeCode);
    if (!type) {
      report(messages::incorrectType());
      result.stoppedAtDamage = true;
      break;
    }
    KRDataFileBinaryEntry entry;
    entry.type = type->kind;
    entry.isAString = type->isString;
    entry.m = header.m;
    entry.n = header.n;
    entry.o = header.o;
    const auto data = binaryformat::dataBytes(header.m, header.n, header.o, entry.elementSize());
    const std::uint64_t nameAndHeader = kHeaderSize + static_cast<std::uint64_t>(header.nameLength);
    if (!data || header.entryLength < 0 || static_cast<std::uint64_t>(header.entryLength) < nameAndHeader + *data) {
      report(messages::formatErrorInEntry(lastPathComponent(request.fileName), entryNumber) +
             messages::entryLengthDoesNotFit(header.entryLength));
      result.stoppedAtDamage = true;
      break;
    }
    // An entry that runs past the end is one still being written, or cut
    // short: everything before it stands.
    if (static_cast<std::uint64_t>(header.entryLength) > fileLength - position) break;

    std::string name;
    const std::uint64_t nameOffset = position + kHeaderSize;
    const auto nameLength = static_cast<std::size_t>(header.nameLength);
    if (window.cover(nameOffset, nameLength, fileLength)) {
      name.assign(reinterpret_cast<const char*>(window.at(nameOffset)), nameLength);
    } else {
      name.resize(nameLength);
      if (source.readAt(nameOffset, name.data(), nameLength) != nameLength) break;
    }
    // The name ends at its first zero byte.
    name.resize(std::strlen(name.c_str()));

    entry.offsetInFile = nameOffset + nameLength;
    if (entry.isANumber() && window.holds(entry.offsetInFile, entry.elementSize())) {
      entry.cachedNumber = numberAt(window.at(entry.offsetInFile), entry.type, swap);
    } else if (entry.isAString && entry.length() <= KRDataFileBinaryEntry::kCachedStringLimit &&
               window.holds(entry.offsetInFile, entry.length())) {
      entry.cachedString = std::string(reinterpret_cast<const char*>(window.at(entry.offsetInFile)), entry.length());
    }
    result.entries.emplace_back(std::move(name), std::move(entry));
    position += static_cast<std::uint64_t>(header.entryLength);

    if (request.progress) {
      auto now = clock();
      if (now - lastReport >= request.progressInterval) {
        lastReport = now;
        request.progress->setProgress(fileLength ? static_cast<double>(position) / static_cast<double>(fileLength) : 1.0);
        if (request.progress->userAborted()) {
          result.aborted = true;
          break;
        }
      }
    }
  }
  result.until = position;
  return result;
}

}  // namespace orrelin
