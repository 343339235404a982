// The line parser on any bytes: the text is decoded as a file would be,
// split into lines and imported into a table with a typed-in, a text and a
// date column and adding allowed: every column written has as many rows as
// the others, with values and mask of one length. The paste-special
// splitting and the parallel parser's chunk work take the same text.
//
// Input: the bytes of a text file; the first byte chooses whether the
// separator is known to be a tab.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/KRMessageCenter.h"
#include "table/DataDocumentTable.h"
#include "table/VKDataColumnDate.h"
#include "table/VKDataColumnSpecified.h"
#include "table/VKDataColumnString.h"
#include "table/import/DataDocumentTable_PasteSpecial.h"
#include "table/import/KRBigTextFile.h"
#include "table/import/OrrelinAsciiParser.h"
#include "table/import/TextDecoding.h"

using namespace orrelin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool quiet = [] {
    KRMessageCenter::setCenterForCurrentThread(std::make_shared<KRMessageCenter>());
    return true;
  }();
  (void)quiet;
  if (size == 0) return 0;
  const bool knownToBeTab = data[0] & 1;
  const DecodedText decoded = decodeText(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  const ImportLines lines = KRBigTextFile::splitStringIntoLines(decoded.text);

  auto table = DataDocumentTable::create();
  table->insertColumn(VKDataColumnSpecified::createEmptyFor(), 1);
  table->insertColumn(VKDataColumnString::createEmptyFor(), 2);
  table->insertColumn(VKDataColumnDate::createEmptyFor(), 3);
  const RowIndices written = table->insertLines(lines, std::nullopt, -1, true, knownToBeTab, false, nullptr);
  long rows = -1;
  for (long position : written) {
    const auto column = table->columnAtIndex(position);
    if (!column) std::abort();
    if (rows < 0) rows = column->howManyEntries();
    if (column->howManyEntries() != rows) std::abort();
    if (column->numberVersion()->length() != column->whichAreIncluded()->length()) std::abort();
  }
  DataDocumentTable_PasteSpecial::convertLinesToColumns(lines, knownToBeTab);
  DataDocumentTable_PasteSpecial::convertEachLineToColumn(lines, !knownToBeTab);

  const ParsedColumns parsed = OrrelinAsciiParser::parseText(decoded.text);
  if (parsed.columns.size() != parsed.masks.size() || parsed.headers.size() != parsed.columns.size()) std::abort();
  for (std::size_t c = 0; c < parsed.columns.size(); ++c)
    if (parsed.columns[c]->length() != parsed.columns.front()->length() ||
        parsed.masks[c]->length() != parsed.columns[c]->length())
      std::abort();
  KRMessageCenter::currentCenter()->removeAllMessages();
  return 0;
}
