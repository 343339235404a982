// A graph's stored array comes from a document on disk. The input is read
// as a property list (XML) and made into a graph; the graph must load
// without a fault, lay itself out on a small page (whatever its settings
// say) and write a list that reads back to the same list.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "graph/DataDocumentDrawing.h"
#include "platform/KRMessageCenter.h"
#include "platform/PropertyListSerialization.h"

using namespace orrelin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::silenceSharedMessageCenter();
  std::string_view text(reinterpret_cast<const char*>(data), size);
  if (text.starts_with("bplist")) return 0;  // the binary reader has a fuzzer of its own
  auto list = parsePropertyList(text);
  if (!list) return 0;
  auto graph = DataDocumentDrawing::createFromPropertyList(*list);
  graph->createGraphic({200, 150}, 1, false, {}, KRRect());
  PropertyList written = graph->propertyList();
  auto again = DataDocumentDrawing::createFromPropertyList(written);
  if (!fuzz::holdsNaN(written) && !(again->propertyList() == written)) std::abort();
  KRMessageCenter::sharedCenter()->removeAllMessages();
  return 0;
}
