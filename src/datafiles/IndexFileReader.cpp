#include "IndexFileReader.h"

#include "platform/BinaryPropertyList.h"

#include <algorithm>
#include <optional>

namespace orrelin {

namespace {

using Fields = KRDataFileBinaryEntry::Fields;

KRDataFileBinaryEntry::Integer integer(const BinaryPropertyList& list, BinaryPropertyList::Ref ref) {
  auto value = list.integer(ref);
  return {value.present, value.negative, value.value};
}

// V: a number, a string, or something else.
void value(const BinaryPropertyList& list, BinaryPropertyList::Ref ref, Fields& fields) {
  fields.valueKind = Fields::Value::Other;
  const auto kind = list.kind(ref);
  if (auto v = kind == BinaryPropertyList::ObjectKind::Integer ? list.integer(ref) : BinaryPropertyList::Integer{};
      v.present) {
    fields.valueKind = Fields::Value::Number;
    fields.number = v.negative ? static_cast<double>(static_cast<std::int64_t>(v.value)) : static_cast<double>(v.value);
  } else if (auto real = list.real(ref)) {
    fields.valueKind = Fields::Value::Number;
    fields.number = *real;
  } else if (auto text = list.string(ref)) {
    fields.valueKind = Fields::Value::String;
    fields.text = std::move(*text);
  }
}

}  // namespace

IndexReading readBinaryIndex(std::string_view bytes, IndexContents& contents) {
  auto list = BinaryPropertyList::open(bytes);
  if (!list) return IndexReading::NotHandled;
  auto top = list->dictionary(list->top());
  if (!top) return IndexReading::Unusable;

  std::optional<std::uint64_t> entriesRef;
  KRDataFileBinaryEntry::Integer length;
  for (std::uint64_t i = 0; i < top->count; ++i) {
    auto key = list->string(list->keyRef(*top, i));
    if (key == "Length") length = integer(*list, list->valueRef(*top, i));
    else if (key == "Entries") entriesRef = list->valueRef(*top, i);
  }
  if (!length.present || length.negative || !entriesRef) return IndexReading::Unusable;
  auto entries = list->dictionary(*entriesRef);
  if (!entries) return IndexReading::Unusable;

  contents.length = length.value;
  contents.entries.clear();
  contents.entries.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(entries->count, 1u << 24)));
  for (std::uint64_t i = 0; i < entries->count; ++i) {
    auto name = list->string(list->keyRef(*entries, i));
    auto form = list->dictionary(list->valueRef(*entries, i));
    if (!name || !form) return IndexReading::Unusable;
    Fields fields;
    for (std::uint64_t k = 0; k < form->count; ++k) {
      const std::uint64_t keyRef = list->keyRef(*form, k);
      const std::uint64_t valueRef = list->valueRef(*form, k);
      switch (list->singleCharacter(keyRef)) {
        case 'O': fields.offset = integer(*list, valueRef); break;
        case 'm': fields.m = integer(*list, valueRef); break;
        case 'n': fields.n = integer(*list, valueRef); break;
        case 'o': fields.o = integer(*list, valueRef); break;
        case 'F': fields.flags = integer(*list, valueRef); break;
        case 'V': value(*list, valueRef, fields); break;
        default: break;
      }
    }
    auto entry = KRDataFileBinaryEntry::fromFields(fields);
    if (!entry) return IndexReading::Unusable;
    contents.entries.emplace_back(std::move(*name), std::move(*entry));
  }
  return IndexReading::Usable;
}

IndexReading readIndexPropertyList(const PropertyList& index, IndexContents& contents) {
  if (!index.isDictionary()) return IndexReading::Unusable;
  const PropertyList* length = index.find("Length");
  const PlistDictionary* entries = index.dictionaryForKey("Entries");
  if (!length || !length->isInteger() || !entries) return IndexReading::Unusable;
  if (!length->isUnsignedInteger() && length->integer() < 0) return IndexReading::Unusable;
  contents.length = length->unsignedInteger();
  contents.entries.clear();
  contents.entries.reserve(entries->size());
  for (const auto& [name, form] : *entries) {
    auto entry = KRDataFileBinaryEntry::fromDictionaryForm(form);
    if (!entry) return IndexReading::Unusable;
    contents.entries.emplace_back(name, std::move(*entry));
  }
  return IndexReading::Usable;
}

}  // namespace orrelin
