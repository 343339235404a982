// Saving and opening a document with a 10^7-row binary number column and 20
// formula columns over it, against writing and reading the same bytes (the
// numbers and their mask, 90 MB) with plain write(2) (with and without the
// fsync(2) that a save's data file waits for) and read(2); and an
// unchanged save over the package, which links the data file instead of
// writing it, against the first save.
//
// The packages live in a temporary folder (ORREL_BENCH_DIR, else $TMPDIR or
// /tmp) that is removed at the end.
//
//   make bench && build-bench/bin/bench_document

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "document/OrrelinDocument.h"
#include "platform/KRMessageCenter.h"
#include "platform/MainThreadQueue.h"
#include "table/VKDataColumnBinary.h"
#include "table/VKDataColumnExpression.h"

using namespace orrelin;

namespace {

constexpr long kRows = 10'000'000;
constexpr int kFormulas = 20;

std::string gFolder;
int gSaves = 0;

std::string freshPackage() { return gFolder + "/save-" + std::to_string(++gSaves) + ".orrel"; }

std::vector<double>& numbers() {
  static std::vector<double> values = [] {
    std::vector<double> v(kRows);
    for (long i = 0; i < kRows; ++i) v[std::size_t(i)] = double(i) * 0.5;
    return v;
  }();
  return values;
}

std::vector<std::uint8_t>& mask() {
  static std::vector<std::uint8_t> m(kRows, 1);
  return m;
}

std::shared_ptr<OrrelinDocument> makeDocument() {
  auto document = OrrelinDocument::create(OrrelinDocument::Mode::CommandLine);
  document->definitions().addParameterValue("k")->setValue("3");
  auto column = VKDataColumnBinary::createEmptyFor();
  column->setName("b");
  column->setNumbers(numbers(), mask());
  document->table().insertColumn(column, 1);
  for (int i = 0; i < kFormulas; ++i) {
    auto formula = VKDataColumnExpression::createEmptyFor();
    formula->setName("f" + std::to_string(i));
    formula->setExpressionString("b*k + " + std::to_string(i));
    document->table().insertColumn(formula, document->table().numberOfColumns());
  }
  return document;
}

void releaseMessages() {
  MainThreadQueue::shared().drain();
  KRMessageCenter::currentCenter()->removeAllMessages();
}

void BM_SaveNewPackage(benchmark::State& state) {
  auto document = makeDocument();
  for (auto _ : state) {
    const std::string path = freshPackage();
    if (!document->writeToURL(path)) state.SkipWithError("save failed");
  }
  state.SetBytesProcessed(state.iterations() * kRows * 9);
  releaseMessages();
}

void BM_PlainWrite(benchmark::State& state) {
  for (auto _ : state) {
    const std::string path = gFolder + "/plain-" + std::to_string(++gSaves);
    const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    bool ok = fd >= 0 && ::write(fd, numbers().data(), kRows * 8) == kRows * 8 &&
              ::write(fd, mask().data(), kRows) == kRows;
    ok = ::close(fd) == 0 && ok;
    if (!ok) state.SkipWithError("write failed");
  }
  state.SetBytesProcessed(state.iterations() * kRows * 9);
}

// The same, waiting for the disk as the data file of a save does.
void BM_PlainWriteAndSync(benchmark::State& state) {
  for (auto _ : state) {
    const std::string path = gFolder + "/plain-" + std::to_string(++gSaves);
    const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    bool ok = fd >= 0 && ::write(fd, numbers().data(), kRows * 8) == kRows * 8 &&
              ::write(fd, mask().data(), kRows) == kRows && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok) state.SkipWithError("write failed");
  }
  state.SetBytesProcessed(state.iterations() * kRows * 9);
}

// Save and plain write + fsync taken in turn, each after the disk has caught
// up with what came before, so that writeback left over from one does not
// land on the other: the figure to read is the median ratio.
bool plainWriteAndSync(const std::string& path) {
  const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
  bool ok = fd >= 0 && ::write(fd, numbers().data(), kRows * 8) == kRows * 8 &&
            ::write(fd, mask().data(), kRows) == kRows && ::fsync(fd) == 0;
  return ::close(fd) == 0 && ok;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

void BM_SaveAgainstPlainWriteAndSyncInTurn(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  auto document = makeDocument();
  std::vector<double> plain, saves, ratios;
  for (auto _ : state) {
    ::sync();
    const auto t0 = Clock::now();
    if (!plainWriteAndSync(gFolder + "/plain-" + std::to_string(++gSaves))) state.SkipWithError("write failed");
    const auto t1 = Clock::now();
    ::sync();
    const auto t2 = Clock::now();
    if (!document->writeToURL(freshPackage())) state.SkipWithError("save failed");
    const auto t3 = Clock::now();
    const double p = std::chrono::duration<double, std::milli>(t1 - t0).count();
    const double s = std::chrono::duration<double, std::milli>(t3 - t2).count();
    plain.push_back(p);
    saves.push_back(s);
    ratios.push_back(s / p);
    state.SetIterationTime((s + p) / 1000);
  }
  state.counters["plain_ms"] = median(plain);
  state.counters["save_ms"] = median(saves);
  state.counters["ratio"] = median(ratios);
  releaseMessages();
}

std::string& savedPackage() {
  static std::string path = [] {
    const std::string p = gFolder + "/opened.orrel";
    makeDocument()->saveToURL(p);
    return p;
  }();
  return path;
}

void BM_OpenPackage(benchmark::State& state) {
  const std::string path = savedPackage();
  for (auto _ : state) {
    auto document = OrrelinDocument::createCommandLineFrom(path);
    if (!document || document->table().columnAtIndex(2)->valueAtRow(kRows - 1) != (kRows - 1) * 1.5)
      state.SkipWithError("open failed");
  }
  state.SetBytesProcessed(state.iterations() * kRows * 9);
  releaseMessages();
}

void BM_OpenPackageWithoutFormulas(benchmark::State& state) {
  static const std::string path = [] {
    auto document = OrrelinDocument::create(OrrelinDocument::Mode::CommandLine);
    auto column = VKDataColumnBinary::createEmptyFor();
    column->setNumbers(numbers(), mask());
    document->table().insertColumn(column, 1);
    const std::string p = gFolder + "/numbers-only.orrel";
    document->saveToURL(p);
    return p;
  }();
  for (auto _ : state) {
    auto document = OrrelinDocument::createCommandLineFrom(path);
    if (!document || document->table().columnAtIndex(1)->howManyEntries() != kRows) state.SkipWithError("open failed");
  }
  state.SetBytesProcessed(state.iterations() * kRows * 9);
  releaseMessages();
}

void BM_PlainRead(benchmark::State& state) {
  const std::string path = gFolder + "/plain-read";
  {
    const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    (void)!::write(fd, numbers().data(), kRows * 8);
    (void)!::write(fd, mask().data(), kRows);
    ::close(fd);
  }
  std::vector<double> values;
  std::vector<std::uint8_t> flags;
  for (auto _ : state) {
    values.assign(kRows, 0);
    flags.assign(kRows, 0);
    const int fd = ::open(path.c_str(), O_RDONLY);
    bool ok = fd >= 0 && ::read(fd, values.data(), kRows * 8) == kRows * 8 && ::read(fd, flags.data(), kRows) == kRows;
    ::close(fd);
    if (!ok) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(values.data());
  }
  state.SetBytesProcessed(state.iterations() * kRows * 9);
}

// The document as read from its package saves over it: the data file is
// linked, only the property lists are written.
void BM_UnchangedSaveOverPackage(benchmark::State& state) {
  const std::string path = gFolder + "/resaved.orrel";
  makeDocument()->saveToURL(path);
  auto document = OrrelinDocument::create(OrrelinDocument::Mode::CommandLine);
  document->redirectReadFromURL(path, "Orrelin Document");
  for (auto _ : state)
    if (!document->saveToURL(path)) state.SkipWithError("save failed");
  releaseMessages();
}

BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_PlainWriteAndSync)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_SaveNewPackage)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_SaveAgainstPlainWriteAndSyncInTurn)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(9);
BENCHMARK(BM_UnchangedSaveOverPackage)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_OpenPackageWithoutFormulas)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_OpenPackage)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  const char* base = std::getenv("ORREL_BENCH_DIR");
  if (!base || !*base) base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/orrel-bench-XXXXXX";
  if (!::mkdtemp(pattern.data())) return 1;
  gFolder = pattern;
  KRMessageCenter::setCenterForCurrentThread(std::make_shared<KRMessageCenter>());
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ignored;
  std::filesystem::remove_all(gFolder, ignored);
  return 0;
}
