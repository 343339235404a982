// Imports one text file into a table, the way the batch tool or the
// interactive binary import does it, and prints the rows and a checksum of
// the first column so runs can be compared with another tool's:
//   table_import_file overwrite FILE   four typed-in columns filled by the
//                                      batch tool's overwrite import
//   table_import_file binary FILE      binary number columns made by the
//                                      parallel parser
// compare_import_pandas.sh times it as a whole process next to pandas.

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "table/DataDocumentTable.h"
#include "table/VKDataColumnSpecified.h"

using namespace orrelin;

int main(int argc, char** argv) {
  if (argc != 3 || (std::strcmp(argv[1], "overwrite") != 0 && std::strcmp(argv[1], "binary") != 0)) {
    std::fprintf(stderr, "usage: %s overwrite|binary FILE\n", argv[0]);
    return 2;
  }
  auto table = DataDocumentTable::create();
  RowIndices written;
  if (std::strcmp(argv[1], "overwrite") == 0) {
    for (long k = 1; k <= 4; ++k) table->insertColumn(VKDataColumnSpecified::createEmptyFor(), k);
    written = table->overwriteByImportingFile(argv[2], table->displayedColumnIndexesExceptRowNumber());
  } else if (!table->importAll(argv[2], std::nullopt, -1, true, written)) {
    return 1;
  }
  if (written.empty()) return 1;
  auto first = table->columnAtIndex(written.front());
  const auto values = first->numberVersion();
  const auto mask = first->whichAreIncluded();
  double sum = 0;
  for (long r = 0; r < values->length(); ++r)
    if (mask->constPointer()[r]) sum += values->constDoublePointer()[r];
  std::printf("columns %zu rows %ld first \"%s\" checksum %.9e\n", written.size(), table->numberOfRows(),
              first->name().c_str(), sum);
  return 0;
}
