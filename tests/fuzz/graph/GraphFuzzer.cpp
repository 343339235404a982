// A graph's stored array comes from a document on disk. The input is read
// as a property list (XML) and made into a graph; the graph must load
// without a fault, lay itself out on a small page (whatever its settings
// say) and write a list that reads back to the same list.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "graph/DataDocumentDrawing.h"
#include "platform/KRMessageCenter.h"
#include "platform/PropertyListSerialization.h"

namespace {

using namespace orrelin;

bool holdsNaN(const PropertyList& value) {
  if (value.isReal()) return std::isnan(value.real());
  if (value.isArray())
    for (const auto& each : value.array())
      if (holdsNaN(each)) return true;
  if (value.isDictionary())
    for (const auto& [key, each] : value.dictionary())
      if (holdsNaN(each)) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool quiet = [] {
    KRMessageCenter::sharedCenter()->setRefresh([](const std::vector<KRMessage>&) {});
    return true;
  }();
  (void)quiet;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  if (text.starts_with("bplist")) return 0;  // the binary reader has a fuzzer of its own
  auto list = parsePropertyList(text);
  if (!list) return 0;
  auto graph = DataDocumentDrawing::createFromPropertyList(*list);
  graph->createGraphic({200, 150}, 1, false, {}, KRRect());
  PropertyList written = graph->propertyList();
  auto again = DataDocumentDrawing::createFromPropertyList(written);
  if (!holdsNaN(written) && !(again->propertyList() == written)) std::abort();
  KRMessageCenter::sharedCenter()->removeAllMessages();
  return 0;
}
