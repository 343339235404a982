// The dictionary form of the array containers, as read from documents: any
// dimensions, byte order and data give a container or a message, and a
// container written back out reads back with the same bytes.
//
// Input: m, n, o as three 32-bit integers, one byte of flags (which keys are
// present, which byte order is claimed), then the "Data" bytes.

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "numeric/KRCharacterArrayContainer.h"
#include "numeric/KRDoubleArrayContainer.h"
#include "numeric/KRFloatArrayContainer.h"
#include "numeric/KRIntArrayContainer.h"
#include "numeric/KRShortArrayContainer.h"
#include "numeric/KRUCharArrayContainer.h"
#include "numeric/KRUShortArrayContainer.h"
#include "platform/KRMessageCenter.h"

using namespace orrelin;

namespace {

template <class Container>
void readAndWriteBack(const PropertyList& raw) {
  auto container = Container::convertFromRawFormat(raw);
  if (!container) return;
  auto written = container->convertToRawFormat();
  if (!written) std::abort();
  auto again = Container::convertFromRawFormat(*written);
  if (!again || again->m() != container->m() || again->n() != container->n() ||
      again->o() != container->o() ||
      std::memcmp(again->constPointer(), container->constPointer(), container->memoryUsed()) != 0) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Each refusal is a message; a centre of this thread's own keeps them from
  // piling up in the shared one.
  static bool once = [] {
    auto center = std::make_shared<KRMessageCenter>();
    center->setRefresh(nullptr);
    KRMessageCenter::setCenterForCurrentThread(center);
    return true;
  }();
  (void)once;
  if (size < 13) return 0;
  std::int32_t dims[3];
  std::memcpy(dims, data, sizeof(dims));
  std::uint8_t flags = data[12];
  PlistDictionary raw;
  const char* keys[3] = {"m", "n", "o"};
  for (int d = 0; d < 3; ++d) {
    if (!(flags & (1 << d))) raw[keys[d]] = dims[d];
  }
  if (!(flags & 8)) raw["Data"] = PlistData(data + 13, data + size);
  if (flags & 16) raw["Endian"] = flags & 32 ? "Big" : "Little";
  PropertyList dictionary(std::move(raw));
  readAndWriteBack<KRDoubleArrayContainer>(dictionary);
  readAndWriteBack<KRFloatArrayContainer>(dictionary);
  readAndWriteBack<KRIntArrayContainer>(dictionary);
  readAndWriteBack<KRCharacterArrayContainer>(dictionary);
  readAndWriteBack<KRUCharArrayContainer>(dictionary);
  readAndWriteBack<KRShortArrayContainer>(dictionary);
  readAndWriteBack<KRUShortArrayContainer>(dictionary);
  KRMessageCenter::currentCenter()->removeAllMessages();
  return 0;
}
