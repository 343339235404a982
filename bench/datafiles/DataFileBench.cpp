// Data-file throughput against the physical limit measured beside it:
//   - writing and reading 10^8 doubles (800 MB) through a data file, against
//     plain write(2) and read(2) of the same bytes;
//   - opening a file of 100,000 variables with its index, against scanning
//     its headers, with the file in the page cache and evicted from it.
// The files live in a temporary folder (ORREL_BENCH_DIR, else $TMPDIR or
// /tmp) that is removed at the end.
//
//   build-bench/bin/bench_datafiles --benchmark_counters_tabular=true

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
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

// Plain bytes into a new file, made durable.
void BM_Write800MB_PlainWrite(benchmark::State& state) {
  const double* data = values().constDoublePointer();
  const std::string file = pathFor("plain.bin");
  for (auto _ : state) {
    int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || !writeAll(fd, data, kBytes) || ::fsync(fd) != 0) state.SkipWithError("plain write failed");
    ::close(fd);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBytes));
}

// A new data file: written beside the target and moved into place, durable.
void BM_Write800MB_DataFile(benchmark::State& state) {
  const KRDoubleArrayContainer& data = values();
  const std::string file = pathFor("data.mvbin");
  for (auto _ : state) {
    auto out = KRDataFile::openNewFileWithName(file);
    if (!out || !out->writeDoubleArray(data, "x"))
      state.SkipWithError("data file write failed");
    out->closeFile();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBytes));
}

// Into freshly allocated memory, as a reader into a new array must.
void BM_Read800MB_PlainRead(benchmark::State& state) {
  const std::string file = pathFor("plain.bin");
  for (auto _ : state) {
    int fd = ::open(file.c_str(), O_RDONLY);
    void* buffer = std::malloc(kBytes);
    if (fd < 0 || !readAll(fd, buffer, kBytes)) state.SkipWithError("plain read failed");
    benchmark::DoNotOptimize(buffer);
    std::free(buffer);
    ::close(fd);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBytes));
}

// Into a new array container, as the document reads a column.
void BM_Read800MB_DataFile(benchmark::State& state) {
  const std::string file = pathFor("data.mvbin");
  for (auto _ : state) {
    auto in = KRDataFile::openFileName(file);
    auto array = in ? in->readDoubleArray("x") : nullptr;
    if (!array || array->length() != static_cast<long>(kDoubles)) state.SkipWithError("data file read failed");
    benchmark::DoNotOptimize(array->constDoublePointer());
  }
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

BENCHMARK(BM_Write800MB_PlainWrite)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Write800MB_DataFile)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Read800MB_PlainRead)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Read800MB_DataFile)->Unit(benchmark::kMillisecond)->Iterations(5);
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
