// Any bytes given as a binary data file: the scan keeps only entries that lie
// wholly inside the file, and opening and reading every variable gives values
// or messages, never a fault.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "datafiles/BinaryScanner.h"
#include "datafiles/KRDataFileBinary.h"
#include "platform/KRMessageCenter.h"

using namespace orrelin;

namespace {

void checkScan(const std::uint8_t* data, std::size_t size) {
  MemoryByteSource source(data, size);
  ScanRequest request;
  request.fileLength = size;
  request.fileName = "fuzz.mvbin";
  request.report = [](const std::string&) {};
  ScanResult result = scanBinaryDataFile(source, request);
  if (!result.validMagic) return;
  if (result.until > size || result.until < 24) std::abort();
  for (const auto& [name, entry] : result.entries) {
    if (entry.offsetInFile > result.until || entry.requiredSize() > result.until - entry.offsetInFile) std::abort();
    if (name.find('\0') != std::string::npos) std::abort();
  }
}

void openAndReadEverything(const std::uint8_t* data, std::size_t size) {
  // An in-memory file, reached by a path like any other.
  int fd = ::memfd_create("fuzz.mvbin", MFD_CLOEXEC);
  if (fd < 0) return;
  if (::write(fd, data, size) != static_cast<ssize_t>(size)) {
    ::close(fd);
    return;
  }
  const std::string path = "/proc/self/fd/" + std::to_string(fd);
  if (auto file = KRDataFileBinary::openFileName(path)) {
    for (const auto& name : file->variablesNames()) {
      auto info = file->entryInfo(name);
      // Only what the file can hold is ever allocated.
      if (!info || info->length() > size) continue;
      file->readValues<double>(name);
      file->readValues<std::int8_t>(name);
      file->readNumber(name);
      file->readRawString(name);
    }
    file->updateFile();
  }
  ::close(fd);
  KRMessageCenter::sharedCenter()->removeAllMessages();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  checkScan(data, size);
  openAndReadEverything(data, size);
  return 0;
}
