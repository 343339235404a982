// A date column of 10^6 entries "yyyy-MM-dd HH:mm:ss" read from a text file
// into time values, as a whole process, so that its time compares with
// pandas.to_datetime given the same format (dates_pandas.py,
// compare_dates_pandas.sh).
//
//   table_date_column write FILE [entries]   writes the entries
//   table_date_column FILE                   reads them into a date column

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/DateFormatting.h"
#include "table/VKDataColumnDate.h"

using namespace orrelin;

namespace {

constexpr const char* kPattern = "yyyy-MM-dd HH:mm:ss";

int writeEntries(const char* path, long count) {
  const auto formatter = DateFormatter::withPattern(kPattern, "en_US");
  std::FILE* file = std::fopen(path, "w");
  if (!file || !formatter) return 1;
  // Moments scattered over the hundred years from 1950.
  for (long k = 0; k < count; ++k) {
    const double time = -631152000.0 + double((k * 2654435761L) % 3155760000L);
    std::fprintf(file, "%s\n", formatter->format(time).c_str());
  }
  return std::fclose(file) == 0 ? 0 : 1;
}

int readEntries(const char* path) {
  std::ifstream file(path);
  std::vector<std::string> entries;
  for (std::string line; std::getline(file, line);) entries.push_back(std::move(line));
  auto column = VKDataColumnDate::createEmptyFor();
  column->setFormat({{"ICU Format", kPattern}});
  column->setStringList(entries);
  const auto values = column->numberVersion();
  const auto mask = column->whichAreIncluded();
  long valid = 0;
  long long sum = 0;
  for (long k = 0; k < values->length(); ++k) {
    if (!mask->constPointer()[k]) continue;
    ++valid;
    sum += (long long)values->constDoublePointer()[k];
  }
  std::printf("entries %ld valid %ld checksum %lld\n", long(entries.size()), valid, sum);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "write") return writeEntries(argv[2], argc > 3 ? std::atol(argv[3]) : 1000000);
  if (argc == 2) return readEntries(argv[1]);
  std::fprintf(stderr, "usage: table_date_column write FILE [entries] | table_date_column FILE\n");
  return 2;
}
