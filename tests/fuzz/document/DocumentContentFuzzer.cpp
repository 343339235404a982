// A document built from any content dictionary and column data array, as a
// package's "Content.plist" and "Columns.plist" give them: it builds without
// a crash, and what it writes builds a document that writes the same again.
//
// Input: a property list (XML or binary) holding an array of two entries,
// the content dictionary and the column data array.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "document/DocumentTexts.h"
#include "document/OrrelinDocument.h"
#include "platform/KRMessageCenter.h"
#include "platform/MainThreadQueue.h"
#include "platform/PropertyListSerialization.h"

using namespace orrelin;

namespace {

// The document built from the pair, and what it writes (without a package,
// so every entry stays inline).
std::pair<PlistDictionary, PlistArray> buildAndWrite(const PropertyList& content, const PropertyList& data) {
  auto document = OrrelinDocument::create(OrrelinDocument::Mode::CommandLine);
  document->fromFile()[document_text::kContent] = content;
  document->fromFile()[document_text::kData] = data;
  document->setFromFile();
  PlistDictionary info;
  PlistArray written;
  PlistDictionary writtenContent = document->contentDictionary(written, info);
  document->disconnectBeforeClosing();
  MainThreadQueue::shared().drain();
  return {std::move(writtenContent), std::move(written)};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  static const bool quiet = [] {
    KRMessageCenter::setCenterForCurrentThread(std::make_shared<KRMessageCenter>());
    return true;
  }();
  (void)quiet;
  auto input = parsePropertyList(std::string_view(reinterpret_cast<const char*>(bytes), size));
  if (!input || !input->isArray() || input->array().size() != 2) return 0;
  const PropertyList& content = input->array()[0];
  if (!content.isDictionary()) return 0;

  const auto first = buildAndWrite(content, input->array()[1]);
  const auto second = buildAndWrite(PropertyList(first.first), PropertyList(first.second));
  // Formula columns with random numbers and the like may differ in values,
  // never in what is stored.
  if (second.first != first.first || second.second != first.second) std::abort();
  KRMessageCenter::currentCenter()->removeAllMessages();
  return 0;
}
