// Data-file throughput against the physical limit measured beside it:
//   - writing and reading 10^8 doubles (800 MB) through a data file, against
//     plain write(2) and read(2) of the same bytes;
//   - opening a file of 100,000 variables with its index, against scanning
//     its headers, with the file in the page cache and evicted from it.
// The files live in a temporary folder (ORREL_BENCH_DIR, else $TMPDIR or
// /tmp) that is removed at the end.
//
//   make bench && build-bench/bin/bench_datafiles

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "datafiles/KRDataFile.h"
#include "datafiles/KRDataFileBinary.h"

using namespace orrelin;

namespace {

constexpr std::size_t kDoubles = 100'000'000;
constexpr std::size_t kBytes = kDoubles * sizeof(double);
constexpr int kVariables = 100'000;
constexpr int kVariableLength = 100;

std::string gFolder;

std::string pathFor(const std::string& name) { return gFolder + "/" + name; }

// 800 MB of doubles in an array container, touched once so that no page
// fault is timed.
const KRDoubleArrayContainer& values() {
  static std::shared_ptr<KRDoubleArrayContainer> array = [] {
    auto a = KRDoubleArrayContainer::createArrayOfLength(static_cast<long>(kDoubles));
    double* d = a->mutableDoublePointer();
    for (std::size_t i = 0; i < kDoubles; ++i) d[i] = static_cast<double>(i) * 0.5;
    return a;
  }();
  return *array;
}

bool writeAll(int fd, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::write(fd, bytes, size);
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool readAll(int fd, void* data, std::size_t size) {
  auto* bytes = static_cast<char*>(data);
  while (size > 0) {
    ssize_t n = ::read(fd, bytes, size);
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

void evictFromPageCache(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return;
  ::fdatasync(fd);
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
  ::close(fd);
}

// ---------------------------------------------------------------------------
// 800 MB out and in
//
// On a shared virtual machine the cost of fresh memory and page cache drifts
// by several times within a minute, so each round times the plain way and
// the data file one right after the other, in alternating order, and the
// counters give the throughput of each and the ratio of their times.

using Clock = std::chrono::steady_clock;

double secondsOf(const std::function<void()>& job) {
  const auto start = Clock::now();
  job();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Throughput of each side over all rounds, and the median of the rounds'
// ratios (plain time / data file time), which one slow round cannot move.
struct Pairs {
  std::vector<double> plain, dataFile;

  void add(double plainSeconds, double dataFileSeconds) {
    plain.push_back(plainSeconds);
    dataFile.push_back(dataFileSeconds);
  }
  void report(benchmark::State& state, const char* plainName) const {
    double plainTotal = 0, dataFileTotal = 0;
    std::vector<double> ratios;
    for (std::size_t i = 0; i < plain.size(); ++i) {
      plainTotal += plain[i];
      dataFileTotal += dataFile[i];
      ratios.push_back(plain[i] / dataFile[i]);
    }
    std::sort(ratios.begin(), ratios.end());
    const double megabytes = static_cast<double>(plain.size()) * kBytes / 1e6;
    state.counters[std::string(plainName) + "_MB/s"] = megabytes / plainTotal;
    state.counters["datafile_MB/s"] = megabytes / dataFileTotal;
    state.counters["median_ratio"] = ratios.empty() ? 0 : ratios[ratios.size() / 2];
    state.counters["min_ratio"] = ratios.empty() ? 0 : ratios.front();
  }
};

// One untimed round first (the first use of fresh memory on this machine
// costs many times what any later one does), then rounds in alternating
// order; before each round runs untimed.
void runPairs(benchmark::State& state, const char* plainName, const std::function<void()>& plain,
              const std::function<void()>& dataFile, const std::function<void()>& before = [] {}) {
  plain();
  dataFile();
  Pairs pairs;
  int round = 0;
  for (auto _ : state) {
    before();
    if (round++ % 2 == 0) {
      const double p = secondsOf(plain);
      pairs.add(p, secondsOf(dataFile));
    } else {
      const double d = secondsOf(dataFile);
      pairs.add(secondsOf(plain), d);
    }
  }
  pairs.report(state, plainName);
}

// Both writes start with no file of their name (removed untimed), so both
// take fresh page-cache pages, and both end with the data on disk. The data
// file is written beside its target and renamed into place.
void BM_Write800MB(benchmark::State& state) {
  const KRDoubleArrayContainer& array = values();
  const std::string plainFile = pathFor("plain.bin");
  const std::string dataFile = pathFor("data.mvbin");
  auto plain = [&] {
    ::unlink(plainFile.c_str());
    int fd = ::open(plainFile.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0 || !writeAll(fd, array.constDoublePointer(), kBytes) || ::fsync(fd) != 0)
      state.SkipWithError("plain write failed");
    ::close(fd);
  };
  auto dataFileWrite = [&] {
    auto out = KRDataFile::openNewFileWithName(dataFile);
    if (!out || !out->writeDoubleArray(array, "x")) state.SkipWithError("data file write failed");
    out->closeFile();
  };
  runPairs(state, "write", plain, dataFileWrite, [&] {
    ::unlink(plainFile.c_str());
    ::unlink(dataFile.c_str());
  });
}

// Memory allocated as the arrays allocate theirs: aligned, in huge pages
// where the system has them.
void* arrayLikeAllocation(std::size_t bytes) {
  constexpr std::size_t kHuge = 2 << 20;
  const std::size_t rounded = (bytes + kHuge - 1) / kHuge * kHuge;
  void* data = std::aligned_alloc(kHuge, rounded);
  if (data) ::madvise(data, rounded, MADV_HUGEPAGE);
  return data;
}

bool plainRead(void* into) {
  int fd = ::open(pathFor("plain.bin").c_str(), O_RDONLY);
  const bool ok = fd >= 0 && readAll(fd, into, kBytes);
  ::close(fd);
  benchmark::DoNotOptimize(into);
  return ok;
}

// The plain read takes the bytes into new memory, as any reader of a new
// array must; the data file reads them into a new array container, as the
// document reads a column.
void ensureFilesToRead() {
  const std::string plainFile = pathFor("plain.bin");
  if (::access(plainFile.c_str(), F_OK) != 0) {
    int fd = ::open(plainFile.c_str(), O_WRONLY | O_CREAT, 0644);
    writeAll(fd, values().constDoublePointer(), kBytes);
    ::close(fd);
  }
  const std::string dataFile = pathFor("data.mvbin");
  if (::access(dataFile.c_str(), F_OK) != 0) {
    auto out = KRDataFile::openNewFileWithName(dataFile);
    out->writeDoubleArray(values(), "x");
  }
}

void BM_Read800MB(benchmark::State& state) {
  ensureFilesToRead();
  auto plain = [&] {
    void* buffer = arrayLikeAllocation(kBytes);
    if (!plainRead(buffer)) state.SkipWithError("plain read failed");
    std::free(buffer);
  };
  auto dataFileRead = [&] {
    auto in = KRDataFile::openFileName(pathFor("data.mvbin"));
    auto array = in ? in->readDoubleArray("x") : nullptr;
    if (!array || array->length() != static_cast<long>(kDoubles)) state.SkipWithError("data file read failed");
    benchmark::DoNotOptimize(array ? array->constDoublePointer() : nullptr);
  };
  runPairs(state, "read", plain, dataFileRead);
}

// Into memory touched beforehand: only the copy out of the page cache is
// left, the limit for any reader.
void BM_Read800MB_CopyLimit(benchmark::State& state) {
  ensureFilesToRead();
  void* buffer = arrayLikeAllocation(kBytes);
  std::memset(buffer, 0, kBytes);
  for (auto _ : state)
    if (!plainRead(buffer)) state.SkipWithError("plain read failed");
  std::free(buffer);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBytes));
}

// ---------------------------------------------------------------------------
// Opening 100,000 variables

const std::string& manyVariablesFile() {
  static std::string file = [] {
    std::string path = pathFor("many.mvbin");
    auto out = KRDataFile::openNewFileWithName(path);
    std::vector<double> column(kVariableLength);
    for (int i = 0; i < kVariables; ++i) {
      for (int j = 0; j < kVariableLength; ++j) column[static_cast<std::size_t>(j)] = i + j * 1e-3;
      out->writeArray("Column " + std::to_string(i), column.data(), kVariableLength, 1, 1);
    }
    out->closeFile();
    return path;
  }();
  return file;
}

void openMany(benchmark::State& state, bool withIndex, bool cold) {
  const std::string& file = manyVariablesFile();
  {
    auto data = KRDataFileBinary::openFileName(file);
    if (withIndex) data->generateIndexFile();
    else data->removeIndexFile();
  }
  const std::string index = pathFor("many.index");
  for (auto _ : state) {
    if (cold) {
      state.PauseTiming();
      evictFromPageCache(file);
      evictFromPageCache(index);
      state.ResumeTiming();
    }
    auto data = KRDataFileBinary::openFileName(file);
    // Checking and dropping the table are not part of opening.
    state.PauseTiming();
    if (!data || data->variablesNames().size() != static_cast<std::size_t>(kVariables))
      state.SkipWithError("opening failed");
    data.reset();
    state.ResumeTiming();
  }
  state.counters["variables"] = kVariables;
}

void BM_Open100kVariables_Scan(benchmark::State& state) { openMany(state, false, false); }
void BM_Open100kVariables_Index(benchmark::State& state) { openMany(state, true, false); }
void BM_Open100kVariables_ScanColdCache(benchmark::State& state) { openMany(state, false, true); }
void BM_Open100kVariables_IndexColdCache(benchmark::State& state) { openMany(state, true, true); }

}  // namespace

BENCHMARK(BM_Write800MB)->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(BM_Read800MB)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_Read800MB_CopyLimit)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Open100kVariables_Scan)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_Open100kVariables_Index)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_Open100kVariables_ScanColdCache)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Open100kVariables_IndexColdCache)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv) {
  const char* base = std::getenv("ORREL_BENCH_DIR");
  if (!base || !*base) base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/orrel-bench-XXXXXX";
  if (!::mkdtemp(pattern.data())) return 1;
  gFolder = pattern;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ignored;
  std::filesystem::remove_all(gFolder, ignored);
  return 0;
}
