// Any bytes given to the property-list reader give a value or a message;
// a value written back out must read back, and once text that is not UTF-8
// has been mended, writing what was read gives the same bytes again.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/PropertyListSerialization.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  auto value = orrelin::parsePropertyList(bytes);
  if (!value) return 0;
  using orrelin::PlistFormat;
  const std::string written = orrelin::serializePropertyList(*value, PlistFormat::Binary);
  auto again = orrelin::parsePropertyList(written);
  if (!again) std::abort();
  const std::string rewritten = orrelin::serializePropertyList(*again, PlistFormat::Binary);
  auto third = orrelin::parsePropertyList(rewritten);
  if (!third || orrelin::serializePropertyList(*third, PlistFormat::Binary) != rewritten) std::abort();
  return 0;
}
