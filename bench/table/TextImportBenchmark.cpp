// The hot paths of the text import on 200000 rows of four numbers held in
// memory (about 9 MB), each against the floor of only finding the line
// feeds:
//   FindLineFeeds        memchr over the text: the least any import does;
//   SplitIntoLines       the line list the line parser works on;
//   RecogniseNumbers     the number test of header lines, per field;
//   ParseIntoNumbers     the parallel parser's chunk work on one thread;
//   LineParserIntoTable  the overwrite import into four typed-in columns.
// Each reports bytes per second.
//
//   make bench && build-bench/bin/table_text_import_benchmark

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>

#include "table/DataDocumentTable.h"
#include "table/VKDataColumnSpecified.h"
#include "table/import/KRBigTextFile.h"
#include "table/import/NumberRecognition.h"
#include "table/import/OrrelinAsciiParser.h"

using namespace orrelin;

namespace {

const std::string& text() {
  static const std::string made = [] {
    std::mt19937_64 random(1);
    std::normal_distribution<double> normal(0, 100);
    std::string t = "time,voltage,current,temperature\n";
    char line[128];
    for (long r = 0; r < 200000; ++r) {
      std::snprintf(line, sizeof line, "%.4f,%.7f,%.7e,%.6f\n", r * 0.001, normal(random), normal(random) * 1e-5,
                    20 + normal(random) / 20);
      t += line;
    }
    return t;
  }();
  return made;
}

void FindLineFeeds(benchmark::State& state) {
  const std::string& t = text();
  for (auto _ : state) {
    long lines = 0;
    for (const char* p = t.data(); (p = static_cast<const char*>(std::memchr(p, '\n', t.data() + t.size() - p)));
         ++p)
      ++lines;
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(t.size()));
}
BENCHMARK(FindLineFeeds);

void SplitIntoLines(benchmark::State& state) {
  const std::string& t = text();
  for (auto _ : state) benchmark::DoNotOptimize(KRBigTextFile::splitStringIntoLines(t));
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(t.size()));
}
BENCHMARK(SplitIntoLines);

void RecogniseNumbers(benchmark::State& state) {
  const ImportLines lines = KRBigTextFile::splitStringIntoLines(text());
  std::size_t bytes = 0;
  for (auto _ : state) {
    long numbers = 0;
    for (std::size_t k = 1; k < lines.size(); ++k) {
      std::string_view line = lines[k];
      for (std::size_t comma; (comma = line.find(',')) != std::string_view::npos; line.remove_prefix(comma + 1))
        numbers += understandsAsNumber(line.substr(0, comma));
      numbers += understandsAsNumber(line);
    }
    benchmark::DoNotOptimize(numbers);
    bytes += text().size();
  }
  state.SetBytesProcessed(std::int64_t(bytes));
}
BENCHMARK(RecogniseNumbers);

void ParseIntoNumbers(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(OrrelinAsciiParser::parseText(text()));
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text().size()));
}
BENCHMARK(ParseIntoNumbers)->Unit(benchmark::kMillisecond);

void LineParserIntoTable(benchmark::State& state) {
  const ImportLines lines = KRBigTextFile::splitStringIntoLines(text());
  for (auto _ : state) {
    auto table = DataDocumentTable::create();
    for (long k = 1; k <= 4; ++k) table->insertColumn(VKDataColumnSpecified::createEmptyFor(), k);
    benchmark::DoNotOptimize(table->insertLines(lines, RowIndices{1, 2, 3, 4}, -1, false, false, false, nullptr));
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text().size()));
}
BENCHMARK(LineParserIntoTable)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
