#pragma once
// The parser for large text files imported as binary number columns. The
// file is cut at line ends into one chunk per processor, each parsed on a
// thread of its own straight from the file; the chunks' columns are then
// joined end to end. Fields are separated by tabs or commas; a field that is
// not a number is an empty (masked) row. When none of the first line's
// fields is a number, the line holds the column names.
//
// Small files (under 2048000 bytes) are parsed as one chunk on the calling
// thread.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "datafiles/KRDataFileProgress.h"
#include "numeric/KRDoubleArrayContainer.h"
#include "numeric/KRUCharArrayContainer.h"

namespace orrelin {

// Imported columns: values, masks (1 for a row that holds a number) and the
// names from the header line ("" where there is none).
struct ParsedColumns {
  std::vector<std::shared_ptr<KRDoubleArrayContainer>> columns;
  std::vector<std::shared_ptr<KRUCharArrayContainer>> masks;
  std::vector<std::string> headers;
  // Fields past the most columns a record may have.
  long droppedFields = 0;
};

// Held from before a chunk's worker starts until the worker has parsed it.
class ChunkLock {
 public:
  void take();
  void release();
  // Waits at most the given time; true once released.
  bool waitFor(std::chrono::milliseconds time);

 private:
  std::mutex mutex_;
  std::condition_variable released_;
  bool held_ = false;
};

class OrrelinAsciiParser {
 public:
  static constexpr std::uint64_t kSingleChunkLimit = 2048000;

  struct ChunkRecord {
    std::string fileName;
    std::uint64_t start = 0;
    std::uint64_t end = 0;
    std::size_t putInto = 0;
    std::shared_ptr<ChunkLock> lock;
  };

  // A chunk's columns. The first chunk's are arrays with room for the whole
  // file's rows, so that they can become the result's; the others' are plain
  // buffers, given back to the system once copied. Either may be longer than
  // the chunk's rows (room not filled); only the first `rows` elements count.
  struct ChunkResult {
    std::vector<std::shared_ptr<KRDoubleArrayContainer>> columns;
    std::vector<std::shared_ptr<KRUCharArrayContainer>> masks;
    std::vector<std::unique_ptr<double[]>> plainColumns;
    std::vector<std::unique_ptr<std::uint8_t[]>> plainMasks;
    std::size_t width() const { return std::max(columns.size(), plainColumns.size()); }
    std::vector<std::string> headers;
    long rows = 0;
    long droppedFields = 0;
    std::string error;
  };

  // Nothing, with the reason in error, when the file cannot be read; nothing
  // and no error when the user stopped it.
  std::optional<ParsedColumns> readFile(const std::string& path, KRDataFileProgress* progress = nullptr,
                                        std::string* error = nullptr);
  // How many chunks files of at least kSingleChunkLimit bytes are cut into
  // (the processor count unless set).
  void setNumberOfChunks(unsigned count) { chunks_ = count; }

  // Parses the chunk's lines from its file.
  ChunkResult readInChunk(const ChunkRecord& chunk);
  // The chunks' columns end to end, in chunk order.
  static ParsedColumns combineNumbers(std::vector<ChunkResult> chunks);
  // A text already in memory, as one chunk.
  static ParsedColumns parseText(std::string_view text);

 private:
  std::vector<std::uint64_t> chunkBoundaries(int fd, std::uint64_t size) const;

  unsigned chunks_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<std::uint64_t> bytesDone_{0};
};

}  // namespace orrelin
