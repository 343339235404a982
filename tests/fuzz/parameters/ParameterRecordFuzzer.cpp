// Two kinds of outside data reach the definitions list: the parameter record
// of a document and the batch tool's colour-scheme overrides. An odd first
// byte reads the rest as a stored record (XML), which must then write itself out
// the same way after a second reading; an even one reads lines of overrides.

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "document/parameters/VKDefinedObjectsController.h"
#include "fuzz/FuzzSupport.h"
#include "platform/KRMessageCenter.h"
#include "platform/PropertyListSerialization.h"

namespace {

class FuzzDocument : public orrelin::DependencyDocument, public orrelin::ParameterListNeighbour {
 public:
  std::vector<std::string> columnNames() const override { return {"#", "x", "y"}; }
  void parameterListChanged(const orrelin::ParameterListChanges&) override {}
  void entryChanged(orrelin::VKDependencyBase*) override {}
  void presentException(const std::exception&, const std::string&) override {}
};

void readRecord(std::string_view bytes) {
  // Only the XML form: the binary reader has a fuzzer of its own, and this
  // one is about what the list does with whatever a record holds.
  if (bytes.starts_with("bplist")) return;
  auto record = orrelin::parsePropertyList(bytes);
  if (!record) return;
  auto document = std::make_shared<FuzzDocument>();
  orrelin::VKDefinedObjectsController list;
  list.setDocument(document);
  list.setNeighbour(document);
  list.fillFromPropertyList(*record);
  for (const auto& name : list.listOfParameterNames()) {
    list.valueForParameter(name);
    list.changeParameter(name, "1");
  }
  orrelin::PropertyList written = list.propertyList();

  orrelin::VKDefinedObjectsController again;
  again.setDocument(document);
  again.setNeighbour(document);
  again.fillFromPropertyList(written);
  if (!(again.propertyList() == written)) std::abort();
  list.setDocument(nullptr);
  again.setDocument(nullptr);
}

void overrideSchemes(std::string_view text) {
  orrelin::VKDefinedObjectsController list;
  auto scheme = list.addColorScheme("col");
  for (int i = 0; i < 3; ++i) scheme->addLine({});
  std::vector<std::string> arguments;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    arguments.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  std::ostringstream out;
  list.overwriteColorSchemesFromCommandLine(arguments, out);
  if (scheme->numberOfLines() != 3) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orrelin::fuzz::silenceSharedMessageCenter();
  if (size == 0) return 0;
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] & 1)
    readRecord(rest);
  else
    overrideSchemes(rest);
  return 0;
}
