#include "table/import/OrrelinAsciiParser.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <new>
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
// From this many numbers to copy on, the chunks are joined on two threads.
constexpr std::size_t kParallelCombine = std::size_t(1) << 17;

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

bool endsField(const char* p, const char* end) { return p == end || *p == ',' || *p == '\t' || *p == '\r'; }

// A field that is a plain decimal number with the separator or the line's
// end right after it, read in the same pass that finds where it ends. Gives
// that end, or null when the field needs the general reading (blanks,
// quotes, formulas, texts).
const char* plainField(const char* p, const char* end, double& value) {
  const char* stop = readDecimalNumberAt(p, end, value);
  return stop && endsField(stop, end) ? stop : nullptr;
}

// Gathers the columns of one chunk, record by record.
class ChunkParser {
 public:
  // Room is made for the rows of `roomFor` bytes of lines like the first.
  // The first chunk (which may hold the header) gathers into arrays.
  ChunkParser(bool first, std::uint64_t roomFor) : headerPending_(first), intoArrays_(first), roomFor_(roomFor) {}

  // Complete lines (the last one may lack its line end).
  void parseLines(std::string_view text) {
    if (headerPending_ && result_.rows == 0 && text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end && result_.error.empty()) {
      const char* stop = static_cast<const char*>(std::memchr(p, '\n', std::size_t(end - p)));
      if (!stop) stop = end;
      // A carriage return ends a line too (alone or before the line feed).
      while (p < stop) p = parseLine(p, stop);
      p = stop < end ? stop + 1 : end;
    }
  }

  OrrelinAsciiParser::ChunkResult finish() { return std::move(result_); }

 private:
  // The line from p on, up to a carriage return or stop; gives where the
  // next line starts.
  const char* parseLine(const char* p, const char* stop) {
    const char* const lineStart = p;
    const auto lineEnd = [&] {
      const void* cr = std::memchr(lineStart, '\r', std::size_t(stop - lineStart));
      return cr ? static_cast<const char*>(cr) : stop;
    };
    if (*p == '\r') return p + 1;  // an empty line
    if (headerPending_) {
      headerPending_ = false;
      const char* end = lineEnd();
      if (takeHeader(std::string_view(p, std::size_t(end - p)))) return end < stop ? end + 1 : stop;
    }
    const std::size_t row = std::size_t(result_.rows);
    std::size_t column = 0;
    for (;;) {
      double value;
      const char* fieldEnd = plainField(p, stop, value);
      bool valid = fieldEnd != nullptr;
      if (!valid) {
        fieldEnd = p;
        while (!endsField(fieldEnd, stop)) ++fieldEnd;
        valid = fieldValue(std::string_view(p, std::size_t(fieldEnd - p)), value);
      }
      if (column < kMaximumImportedColumns) {
        if (column >= values_.size() && !addColumn(std::size_t(lineEnd() - lineStart))) return stop;
        if (row >= room_ && !makeRoom()) return stop;
        values_[column][row] = valid ? value : kEmpty;
        masks_[column][row] = valid ? 1 : 0;
      } else {
        ++result_.droppedFields;
      }
      ++column;
      p = fieldEnd;
      if (p >= stop || *p == '\r') break;
      // A separator right before the line's end starts no further field.
      if (++p >= stop || *p == '\r') break;
    }
    // Columns this record is too short for are empty here.
    if (column < values_.size() && row >= room_ && !makeRoom()) return stop;
    for (std::size_t c = column; c < values_.size(); ++c) {
      values_[c][row] = kEmpty;
      masks_[c][row] = 0;
    }
    ++result_.rows;
    return p < stop ? p + 1 : stop;
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

  // A new column, empty in the rows so far. The first column made decides
  // the room: most files have lines of one length, so room for as many rows
  // as lines of this one's length fit saves growing the columns; room never
  // filled costs only address space.
  bool addColumn(std::size_t lineLength) {
    if (room_ == 0) {
      const std::uint64_t lines = roomFor_ / (std::max<std::size_t>(lineLength, 1) + 1);
      room_ = std::size_t(std::min<std::uint64_t>(lines + lines / 8 + 16, kMostRoom));
      room_ = std::max(room_, std::size_t(result_.rows) + 1);
    }
    if (!allocate(values_.size(), room_)) return false;
    std::fill_n(values_.back(), result_.rows, kEmpty);
    std::fill_n(masks_.back(), result_.rows, std::uint8_t(0));
    return true;
  }

  // Twice the room in every column.
  bool makeRoom() {
    for (std::size_t c = 0; c < values_.size(); ++c)
      if (!allocate(c, room_ * 2)) return false;
    room_ *= 2;
    return true;
  }

  // Column c made anew with the given room and the rows so far copied over,
  // or, when c is the number of columns, one more column (its elements not
  // set).
  bool allocate(std::size_t c, std::size_t room) {
    const std::size_t rows = c < values_.size() ? std::size_t(result_.rows) : 0;
    double* values;
    std::uint8_t* mask;
    if (intoArrays_) {
      auto valueArray = KRDoubleArrayContainer::createArrayOfLength(long(room));
      auto maskArray = KRUCharArrayContainer::createArrayOfLength(long(room));
      if (!valueArray || !maskArray) return failed();
      values = valueArray->mutableDoublePointer();
      mask = maskArray->mutablePointer();
      copyRows(c, rows, values, mask);
      place(result_.columns, c, std::move(valueArray));
      place(result_.masks, c, std::move(maskArray));
    } else {
      std::unique_ptr<double[]> valueBlock(new (std::nothrow) double[room]);
      std::unique_ptr<std::uint8_t[]> maskBlock(new (std::nothrow) std::uint8_t[room]);
      if (!valueBlock || !maskBlock) return failed();
      values = valueBlock.get();
      mask = maskBlock.get();
      copyRows(c, rows, values, mask);
      place(result_.plainColumns, c, std::move(valueBlock));
      place(result_.plainMasks, c, std::move(maskBlock));
    }
    place(values_, c, values);
    place(masks_, c, mask);
    return true;
  }

  void copyRows(std::size_t c, std::size_t rows, double* values, std::uint8_t* mask) const {
    if (rows == 0) return;
    std::copy_n(values_[c], rows, values);
    std::copy_n(masks_[c], rows, mask);
  }

  // Puts the item at position c, or after the last when c is the count.
  template <typename T>
  static void place(std::vector<T>& list, std::size_t c, T item) {
    if (c == list.size())
      list.push_back(std::move(item));
    else
      list[c] = std::move(item);
  }

  bool failed() {
    result_.error = std::strerror(ENOMEM);
    return false;
  }

  // At most this many rows of room are made at first.
  static constexpr std::uint64_t kMostRoom = std::uint64_t(1) << 27;

  bool headerPending_;
  bool intoArrays_;
  std::uint64_t roomFor_;
  // Rows the columns have room for, and where their elements are.
  std::size_t room_ = 0;
  std::vector<double*> values_;
  std::vector<std::uint8_t*> masks_;
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
  // The first chunk's columns become the result's, so they are given room
  // for the whole file's rows; the other chunks' are copied onto their ends.
  std::uint64_t roomFor = chunk.end - chunk.start;
  struct stat info {};
  if (chunk.start == 0 && ::fstat(file.get(), &info) == 0) roomFor = std::max(roomFor, std::uint64_t(info.st_size));
  ChunkParser parser(chunk.start == 0, roomFor);
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
    if (!chunk.error.empty()) return ParsedColumns{};
    rows += chunk.rows;
    width = std::max(width, chunk.width());
    if (combined.headers.empty()) combined.headers = chunk.headers;
    combined.droppedFields += chunk.droppedFields;
  }
  combined.columns.resize(width);
  combined.masks.resize(width);
  // Each column on its own: only its own elements of the chunks are touched.
  const auto combine = [&](std::size_t c) {
    // The first chunk's column when it has room for every row; a new one
    // otherwise.
    std::shared_ptr<KRDoubleArrayContainer> values;
    std::shared_ptr<KRUCharArrayContainer> mask;
    std::size_t from = 0;
    if (!chunks.empty() && c < chunks.front().columns.size() && chunks.front().columns[c]->length() >= rows) {
      values = std::move(chunks.front().columns[c]);
      mask = std::move(chunks.front().masks[c]);
      from = 1;
    } else {
      values = KRDoubleArrayContainer::createArrayOfLength(rows);
      mask = KRUCharArrayContainer::createArrayOfLength(rows);
      if (!values || !mask) return;
    }
    double* v = values->mutableDoublePointer();
    std::uint8_t* m = mask->mutablePointer();
    for (std::size_t k = 0; k < chunks.size(); ++k) {
      ChunkResult& chunk = chunks[k];
      if (k < from) {
        // Already in place.
      } else if (c < chunk.columns.size()) {
        std::copy_n(chunk.columns[c]->constDoublePointer(), chunk.rows, v);
        std::copy_n(chunk.masks[c]->constPointer(), chunk.rows, m);
        chunk.columns[c].reset();
        chunk.masks[c].reset();
      } else if (c < chunk.plainColumns.size()) {
        std::copy_n(chunk.plainColumns[c].get(), chunk.rows, v);
        std::copy_n(chunk.plainMasks[c].get(), chunk.rows, m);
        // Freed as soon as it is copied, so the chunks and the result are
        // not both held whole.
        chunk.plainColumns[c].reset();
        chunk.plainMasks[c].reset();
      } else {
        std::fill_n(v, chunk.rows, kEmpty);
        std::fill_n(m, chunk.rows, std::uint8_t(0));
      }
      v += chunk.rows;
      m += chunk.rows;
    }
    values->shortenInPlaceTo(rows);
    mask->shortenInPlaceTo(rows);
    combined.columns[c] = std::move(values);
    combined.masks[c] = std::move(mask);
  };
  // The copying (mostly the first touch of the result's pages) is shared
  // with a second thread when there is much of it.
  const std::size_t copied = std::size_t(rows - (chunks.empty() ? 0 : chunks.front().rows));
  if (width >= 2 && copied * width >= kParallelCombine) {
    std::jthread other([&] {
      for (std::size_t c = 1; c < width; c += 2) combine(c);
    });
    for (std::size_t c = 0; c < width; c += 2) combine(c);
  } else {
    for (std::size_t c = 0; c < width; ++c) combine(c);
  }
  for (std::size_t c = 0; c < width; ++c)
    if (!combined.columns[c]) return ParsedColumns{};
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
