// The stored form of a table's columns, as read from a document: any
// property list makes columns or is skipped, every column answers for its
// values and properties, and what is written back reads back the same.
//
// Input: a property list (XML or binary) holding an array of two arrays,
// the column descriptions and the column data entries.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/KRMessageCenter.h"
#include "platform/PropertyListSerialization.h"
#include "table/DataDocumentTable.h"
#include "table/VKDataColumnDate.h"

using namespace orrelin;

namespace {

void touchEveryColumn(DataDocumentTable& table) {
  for (const auto& column : table.columns()) {
    const long rows = column->howManyEntries();
    const auto values = column->numberVersion();
    const auto mask = column->whichAreIncluded();
    if (column->isNumberColumn() && (values->length() != rows || mask->length() != rows)) std::abort();
    column->stringVersionForRows();
    column->whyNoValues();
    for (const char* ending : {"max", "median", "rank", "sortedindex", "unwrap360", "nothing"})
      column->columnPropertyWithName(ending);
    if (auto dates = std::dynamic_pointer_cast<VKDataColumnDate>(column)) {
      for (long r = -1; r <= rows; ++r) dates->toolTipForRow(r);
      // Every candidate format is tried on each entry: only for a few.
      if (rows <= 2) dates->formatsThatWork();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  static const bool quiet = [] {
    // Messages collect in a centre of this thread and are dropped.
    KRMessageCenter::setCenterForCurrentThread(std::make_shared<KRMessageCenter>());
    return true;
  }();
  (void)quiet;
  auto input = parsePropertyList(std::string_view(reinterpret_cast<const char*>(bytes), size));
  if (!input || !input->isArray() || input->array().size() != 2) return 0;
  const PropertyList& descriptions = input->array()[0];
  const PropertyList& data = input->array()[1];
  if (!descriptions.isArray() || !data.isArray()) return 0;

  auto table = DataDocumentTable::create();
  table->setFromColumnDescriptions(descriptions.array(), data.array());
  touchEveryColumn(*table);
  PlistDictionary info;
  const auto [written, writtenData] = table->columnDescription(info);

  auto again = DataDocumentTable::create();
  again->setFromColumnDescriptions(written, writtenData);
  touchEveryColumn(*again);
  PlistDictionary infoAgain;
  const auto [rewritten, rewrittenData] = again->columnDescription(infoAgain);
  // Compared as written, so that a NaN compares equal to itself.
  const auto text = [](const PlistArray& list) { return serializePropertyList(PropertyList(list), PlistFormat::XML); };
  if (text(rewritten) != text(written) || text(rewrittenData) != text(writtenData)) std::abort();
  KRMessageCenter::currentCenter()->removeAllMessages();
  return 0;
}
