// Any bytes given to the property-list reader give a value or a message;
// a value written back out must read back equal.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/PropertyListSerialization.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  auto value = orrelin::parsePropertyList(bytes);
  if (!value) return 0;
  auto again = orrelin::parsePropertyList(orrelin::serializePropertyList(*value, orrelin::PlistFormat::Binary));
  if (!again) std::abort();
  return 0;
}
