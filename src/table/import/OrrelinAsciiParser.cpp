#include "table/import/OrrelinAsciiParser.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <thread>

#include "table/DecimalNumber.h"
#include "table/import/ImportMessages.h"
#include "table/import/ImportTargets.h"
#include "table/import/NumberRecognition.h"
#include "table/import/TextDecoding.h"
#include "table/import/TextFileReading.h"

namespace orrelin {

namespace {

constexpr std::size_t kReadBlock = std::size_t(1) << 22;
// Chunk boundaries are moved to the next line end in steps of this many bytes.
constexpr std::size_t kBoundaryStep = 100;
constexpr double kEmpty = std::numeric_limits<double>::quiet_NaN();

std::string_view withoutBlanksAndQuotes(std::string_view field) {
  while (!field.empty() && (field.front() == ' ' || field.front() == '\r')) field.remove_prefix(1);
  while (!field.empty() && (field.back() == ' ' || field.back() == '\r')) field.remove_suffix(1);
  if (field.size() >= 2 && field.front() == '"' && field.back() == '"') field = field.substr(1, field.size() - 2);
  return field;
}

// A field's number; plain decimal numbers are read directly, anything else
// as the line parser reads it.
bool fieldValue(std::string_view field, double& value) {
  field = withoutBlanksAndQuotes(field);
  if (field.empty()) return false;
  if (auto number = readDecimalNumber(field)) {
    value = *number;
    return true;
  }
  if (auto number = numberFromImportedText(field)) {
    value = *number;
    return true;
  }
  return false;
}

// Gathers the columns of one chunk, record by record.
class ChunkParser {
 public:
  ChunkParser(bool mayHoldHeader, std::uint64_t bytes) : headerPending_(mayHoldHeader), bytes_(bytes) {}

  // Complete lines (the last one may lack its line end).
  void parseLines(std::string_view text) {
    if (headerPending_ && result_.rows == 0 && text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
      const char* stop = static_cast<const char*>(std::memchr(p, '\n', std::size_t(end - p)));
      if (!stop) stop = end;
      // A carriage return ends a line too (alone or before the line feed).
      const char* q = p;
      while (const char* cr = static_cast<const char*>(std::memchr(q, '\r', std::size_t(stop - q)))) {
        parseLine(std::string_view(q, std::size_t(cr - q)));
        q = cr + 1;
      }
      parseLine(std::string_view(q, std::size_t(stop - q)));
      p = stop < end ? stop + 1 : end;
    }
  }

  OrrelinAsciiParser::ChunkResult finish() {
    for (auto& column : result_.columns) column.resize(std::size_t(result_.rows), kEmpty);
    for (auto& mask : result_.masks) mask.resize(std::size_t(result_.rows), 0);
    return std::move(result_);
  }

 private:
  void parseLine(std::string_view line) {
    if (line.empty()) return;
    if (headerPending_) {
      headerPending_ = false;
      if (takeHeader(line)) return;
    }
    const long row = result_.rows;
    std::size_t column = 0;
    const char* p = line.data();
    const char* end = p + line.size();
    for (;;) {
      const char* stop = p;
      while (stop < end && *stop != ',' && *stop != '\t') ++stop;
      if (column < kMaximumImportedColumns) {
        if (column >= result_.columns.size()) addColumn(line.size());
        double value;
        const bool valid = fieldValue(std::string_view(p, std::size_t(stop - p)), value);
        result_.columns[column].push_back(valid ? value : kEmpty);
        result_.masks[column].push_back(valid ? 1 : 0);
      } else {
        ++result_.droppedFields;
      }
      ++column;
      if (stop >= end || stop + 1 >= end) break;
      p = stop + 1;
    }
    // Columns this record is too short for are empty here.
    for (std::size_t c = column; c < result_.columns.size(); ++c) {
      result_.columns[c].push_back(kEmpty);
      result_.masks[c].push_back(0);
    }
    result_.rows = row + 1;
  }

  // The first line names the columns when none of its fields is a number.
  bool takeHeader(std::string_view line) {
    std::vector<std::string_view> fields;
    const char* p = line.data();
    const char* end = p + line.size();
    for (;;) {
      const char* stop = p;
      while (stop < end && *stop != ',' && *stop != '\t') ++stop;
      fields.emplace_back(p, std::size_t(stop - p));
      double ignored;
      if (fieldValue(fields.back(), ignored)) return false;
      if (stop >= end || stop + 1 >= end || fields.size() >= kMaximumImportedColumns) break;
      p = stop + 1;
    }
    for (std::string_view field : fields) result_.headers.push_back(decodeText(std::string(withoutBlanksAndQuotes(field))).text);
    return true;
  }

  void addColumn(std::size_t lineLength) {
    auto& column = result_.columns.emplace_back(std::size_t(result_.rows), kEmpty);
    auto& mask = result_.masks.emplace_back(std::size_t(result_.rows), std::uint8_t(0));
    // Most files have lines of one length: room for as many rows as lines of
    // this one's length fit in the chunk saves regrowing the columns.
    if (result_.rows == 0 && lineLength > 0) {
      const std::size_t expected = std::size_t(bytes_ / (lineLength + 1) + bytes_ / (lineLength + 1) / 8 + 16);
      column.reserve(std::min<std::size_t>(expected, std::size_t(1) << 28));
      mask.reserve(column.capacity());
    }
  }

  bool headerPending_;
  std::uint64_t bytes_;
  OrrelinAsciiParser::ChunkResult result_;
};

// Reads up to length bytes at offset; the count read, or -1.
ssize_t readAt(int fd, char* into, std::size_t length, std::uint64_t offset) {
  std::size_t got = 0;
  while (got < length) {
    const ssize_t n = ::pread(fd, into + got, length - got, off_t(offset + got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    got += std::size_t(n);
  }
  return ssize_t(got);
}

}  // namespace

void ChunkLock::take() {
  std::lock_guard<std::mutex> guard(mutex_);
  held_ = true;
}

void ChunkLock::release() {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    held_ = false;
  }
  released_.notify_all();
}

bool ChunkLock::waitFor(std::chrono::milliseconds time) {
  std::unique_lock<std::mutex> guard(mutex_);
  return released_.wait_for(guard, time, [this] { return !held_; });
}

std::vector<std::uint64_t> OrrelinAsciiParser::chunkBoundaries(int fd, std::uint64_t size) const {
  const unsigned count = chunks_ ? chunks_ : std::max(1u, std::thread::hardware_concurrency());
  std::vector<std::uint64_t> boundaries{0};
  char block[kBoundaryStep];
  for (unsigned k = 1; k < count; ++k) {
    std::uint64_t at = std::max(boundaries.back() + size / count, boundaries.back());
    // Past the next line feed (and a carriage return right after it).
    bool found = false;
    while (at < size && !found) {
      const ssize_t n = readAt(fd, block, kBoundaryStep, at);
      if (n <= 0) break;
      if (const void* lf = std::memchr(block, '\n', std::size_t(n))) {
        at += std::uint64_t(static_cast<const char*>(lf) - block) + 1;
        found = true;
        char next;
        if (at < size && readAt(fd, &next, 1, at) == 1 && next == '\r') ++at;
      } else {
        at += std::uint64_t(n);
      }
    }
    if (at >= size) break;
    boundaries.push_back(at);
  }
  boundaries.push_back(size);
  return boundaries;
}

OrrelinAsciiParser::ChunkResult OrrelinAsciiParser::readInChunk(const ChunkRecord& chunk) {
  struct Releaser {
    const ChunkRecord& chunk;
    ~Releaser() {
      if (chunk.lock) chunk.lock->release();
    }
  } releaser{chunk};
  ChunkResult failed;
  FileDescriptor file(::open(chunk.fileName.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) {
    failed.error = std::strerror(errno);
    return failed;
  }
  ChunkParser parser(chunk.start == 0, chunk.end - chunk.start);
  std::vector<char> buffer;
  std::size_t carried = 0;
  std::uint64_t at = chunk.start;
  while (at < chunk.end) {
    if (stop_.load(std::memory_order_relaxed)) return failed;
    const std::size_t want = std::size_t(std::min<std::uint64_t>(kReadBlock, chunk.end - at));
    buffer.resize(carried + want);
    const ssize_t n = readAt(file.get(), buffer.data() + carried, want, at);
    if (n < 0) {
      failed.error = std::strerror(errno);
      return failed;
    }
    if (std::size_t(n) < want) {
      failed.error = import_text::kFileChangedWhileRead;
      return failed;
    }
    at += std::uint64_t(n);
    bytesDone_.fetch_add(std::uint64_t(n), std::memory_order_relaxed);
    const std::string_view text(buffer.data(), buffer.size());
    // Whole lines now; the piece after the last line end waits for the rest
    // of its line (or for the end of the chunk).
    const std::size_t lineEnd = text.find_last_of("\r\n");
    const std::size_t whole = at >= chunk.end ? text.size() : lineEnd == std::string_view::npos ? 0 : lineEnd + 1;
    parser.parseLines(text.substr(0, whole));
    const std::size_t rest = text.size() - whole;
    std::memmove(buffer.data(), text.data() + whole, rest);
    carried = rest;
  }
  return parser.finish();
}

ParsedColumns OrrelinAsciiParser::combineNumbers(std::vector<ChunkResult> chunks) {
  ParsedColumns combined;
  long rows = 0;
  std::size_t width = 0;
  for (const ChunkResult& chunk : chunks) {
    rows += chunk.rows;
    width = std::max(width, chunk.columns.size());
    if (combined.headers.empty()) combined.headers = chunk.headers;
    combined.droppedFields += chunk.droppedFields;
  }
  for (std::size_t c = 0; c < width; ++c) {
    auto values = KRDoubleArrayContainer::createArrayOfLength(rows);
    auto mask = KRUCharArrayContainer::createArrayOfLength(rows);
    if (!values || !mask) return ParsedColumns{};
    double* v = values->mutableDoublePointer();
    std::uint8_t* m = mask->mutablePointer();
    for (ChunkResult& chunk : chunks) {
      if (c < chunk.columns.size()) {
        std::copy(chunk.columns[c].begin(), chunk.columns[c].end(), v);
        std::copy(chunk.masks[c].begin(), chunk.masks[c].end(), m);
        // Freed as soon as it is copied, so the chunks and the result are
        // not both held whole.
        std::vector<double>().swap(chunk.columns[c]);
        std::vector<std::uint8_t>().swap(chunk.masks[c]);
      } else {
        std::fill(v, v + chunk.rows, kEmpty);
        std::fill(m, m + chunk.rows, std::uint8_t(0));
      }
      v += chunk.rows;
      m += chunk.rows;
    }
    combined.columns.push_back(std::move(values));
    combined.masks.push_back(std::move(mask));
  }
  combined.headers.resize(width);
  return combined;
}

ParsedColumns OrrelinAsciiParser::parseText(std::string_view text) {
  ChunkParser parser(true, text.size());
  parser.parseLines(text);
  std::vector<ChunkResult> chunks;
  chunks.push_back(parser.finish());
  return combineNumbers(std::move(chunks));
}

std::optional<ParsedColumns> OrrelinAsciiParser::readFile(const std::string& path, KRDataFileProgress* progress,
                                                          std::string* error) {
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info {};
  if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || S_ISDIR(info.st_mode)) {
    if (error) *error = std::strerror(file.get() < 0 ? errno : EISDIR);
    return std::nullopt;
  }
  const auto size = std::uint64_t(std::max<off_t>(info.st_size, 0));
  // Text in UTF-16 is made UTF-8 first, in memory.
  char mark[2] = {0, 0};
  if (readAt(file.get(), mark, 2, 0) == 2 &&
      ((mark[0] == '\xFF' && mark[1] == '\xFE') || (mark[0] == '\xFE' && mark[1] == '\xFF'))) {
    std::string bytes(size, '\0');
    if (readAt(file.get(), bytes.data(), size, 0) != ssize_t(size)) {
      if (error) *error = import_text::kFileChangedWhileRead;
      return std::nullopt;
    }
    return parseText(decodeText(std::move(bytes)).text);
  }

  stop_ = false;
  bytesDone_ = 0;
  const std::vector<std::uint64_t> boundaries =
      size < kSingleChunkLimit ? std::vector<std::uint64_t>{0, size} : chunkBoundaries(file.get(), size);
  const std::size_t count = boundaries.size() - 1;
  std::vector<ChunkRecord> records(count);
  std::vector<ChunkResult> results(count);
  std::mutex resultsLock;
  for (std::size_t k = 0; k < count; ++k) {
    records[k] = ChunkRecord{path, boundaries[k], boundaries[k + 1], k, std::make_shared<ChunkLock>()};
    records[k].lock->take();
  }
  const auto parse = [&](std::size_t k) {
    ChunkResult result = readInChunk(records[k]);
    std::lock_guard<std::mutex> guard(resultsLock);
    results[records[k].putInto] = std::move(result);
  };
  if (count == 1) {
    parse(0);
  } else {
    std::vector<std::jthread> workers;
    for (std::size_t k = 0; k < count; ++k) workers.emplace_back(parse, k);
    for (std::size_t k = 0; k < count; ++k) {
      while (!records[k].lock->waitFor(std::chrono::milliseconds(100))) {
        if (progress) progress->setProgress(double(bytesDone_.load()) / double(std::max<std::uint64_t>(size, 1)));
        if (progress && progress->userAborted()) stop_ = true;
      }
    }
  }
  if (stop_) return std::nullopt;
  std::lock_guard<std::mutex> guard(resultsLock);
  for (const ChunkResult& result : results) {
    if (!result.error.empty()) {
      if (error) *error = result.error;
      return std::nullopt;
    }
  }
  if (progress) progress->setProgress(1);
  return combineNumbers(std::move(results));
}

}  // namespace orrelin
