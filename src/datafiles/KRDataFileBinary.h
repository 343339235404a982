#pragma once
// The binary data file: an append-only file of named arrays and strings.
// Opening reads the headers only (or the index file beside it); values are
// read when asked for. One lock serialises every operation on an object, so
// the interface thread and background work may share it.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "datafiles/EntryTable.h"
#include "datafiles/KRDataFile.h"
#include "datafiles/KRDataFileBinaryEntry.h"

namespace orrelin {

class AtomicFile;
class OpenDataFiles;
struct ScanResult;

class KRDataFileBinary : public KRDataFile {
 public:
  static constexpr const char* kTypeName = "MVBinary";

  // Nothing (with a message) when the file cannot be opened, is empty or does
  // not start with a magic of the format, or when the user stops the scan.
  static std::shared_ptr<KRDataFileBinary> openFileName(const std::string& path,
                                                        KRDataFileProgress* progress = nullptr);
  static std::shared_ptr<KRDataFileBinary> openNewFileWithName(const std::string& path);
  static std::shared_ptr<KRDataFileBinary> createFromStructure(const PropertyList& structure);

  ~KRDataFileBinary() override;
  KRDataFileBinary(const KRDataFileBinary&) = delete;
  KRDataFileBinary& operator=(const KRDataFileBinary&) = delete;

  std::string dataFileType() const override { return kTypeName; }
  std::string fileName() const override { return path_; }

  std::vector<std::string> variablesNames() const override;
  std::optional<KRDataFileEntryInfo> entryInfo(const std::string& name) const override;
  std::optional<std::uint64_t> locationOfDataFor(const std::string& name) const override;
  std::uint64_t fileSizeInBytes() const override;
  PropertyList theContent() const override;
  PropertyList structure() const override;
  // The entry as kept in memory, cached value included.
  std::optional<KRDataFileBinaryEntry> entryFor(const std::string& name) const;
  bool needToSwap() const;

  bool readVariable(const std::string& name, KRDataFileKind resultKind, const Destination& destination) override;
  std::optional<std::string> readRawString(const std::string& name) override;
  std::optional<double> readNumber(const std::string& name) override;

  bool writeEntryWithName(const std::string& name, const void* bytes, std::int32_t typeCode, std::int32_t m,
                          std::int32_t n, std::int32_t o) override;

  int updateFile(KRDataFileProgress* progress = nullptr) override;
  bool generateIndexFile() override;
  bool removeIndexFile() override;
  std::string nameOfIndexFile() const override;
  bool flush() override;
  // Closes the file handle; the next use opens it again. A new file is
  // moved into place here, or, when a write to it failed, dropped so that
  // the file it was to replace stays as it was.
  void closeFile() override;

  // Whether the file handle is open now (the open-file cap may close it).
  bool isOpen() const;
  // Opens the file again when it was closed: read-write, else read-only.
  bool makeSureFileIsOpen();

  // At most this many data files are kept open in the process; the least
  // recently used ones beyond it are closed and open again when next used.
  static std::size_t openFileCap();
  static void setOpenFileCap(std::size_t cap);
  static std::size_t numberOfOpenFiles();
  // Closes files beyond the cap; busy ones are left for the next time.
  static void enforceOpenCap();

 private:
  friend class OpenDataFiles;
  explicit KRDataFileBinary(std::string path);

  bool makeSureFileIsOpenLocked();
  void closeHandleLocked();
  // Called by the open-file list with its own lock held; false when busy.
  bool closeForOpenCap();
  bool openHandle(bool reportFailure);
  bool loadFromIndexLocked(std::uint64_t fileLength);
  // Reads the headers from where this object stopped up to fileLength.
  ScanResult scanOnLocked(std::uint64_t fileLength, KRDataFileProgress* progress);
  void mergeLocked(ScanResult& scan);
  bool readBytesLocked(std::uint64_t offset, void* buffer, std::uint64_t count);
  // count elements of the given size at offset, in host order; a failure
  // is reported for the variable name.
  bool readElementsLocked(const std::string& name, std::uint64_t offset, void* buffer, std::uint64_t count,
                          std::size_t unit);
  bool appendLocked(const std::string& name, const void* bytes, const KRDataFileBinaryEntry& entry);
  bool catchUpWithDiskLocked(const std::string& variable);
  bool writeIndexLocked();
  PropertyList contentLocked() const;
  void commitPendingLocked();

  mutable std::mutex lock_;
  const std::string path_;
  int fd_ = -1;
  bool writable_ = false;
  // A new file under construction, moved over path_ by closeFile().
  std::unique_ptr<AtomicFile> pending_;
  bool pendingWriteFailed_ = false;
  bool indexWanted_ = false;

  EntryTable table_;
  std::uint64_t lengthRead_ = 0;  // the file is read up to here
  bool needToSwap_ = false;
  long long entriesScanned_ = 0;  // numbers entries in damage messages
  bool indexMayExist_ = true;     // cleared once a write deleted the index
};

}  // namespace orrelin
