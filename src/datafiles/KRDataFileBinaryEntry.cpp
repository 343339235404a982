#include "KRDataFileBinaryEntry.h"

#include <limits>

namespace orrelin {

namespace {

constexpr int kStringFlag = 32;

bool isFloatingKind(KRDataFileKind kind) { return kind == KRDataFileKind::Double || kind == KRDataFileKind::Float; }

using Integer = KRDataFileBinaryEntry::Integer;

std::optional<std::uint64_t> nonNegative(const Integer& value, std::uint64_t limit) {
  if (!value.present || value.negative || value.value > limit) return std::nullopt;
  return value.value;
}

std::optional<std::int32_t> dimension(const Integer& value) {
  auto v = nonNegative(value, static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()));
  if (!v) return std::nullopt;
  return static_cast<std::int32_t>(*v);
}

Integer integerField(const PropertyList& form, const char* key) {
  const PropertyList* value = form.find(key);
  if (!value || !value->isInteger()) return {};
  const bool negative = !value->isUnsignedInteger() && value->integer() < 0;
  return Integer{true, negative, value->unsignedInteger()};
}

}  // namespace

PropertyList KRDataFileBinaryEntry::dictionaryForm() const {
  PlistDictionary form;
  form["O"] = PropertyList(offsetInFile);
  form["m"] = PropertyList(m);
  form["n"] = PropertyList(n);
  form["o"] = PropertyList(o);
  form["F"] = PropertyList(static_cast<int>(type) + (isAString ? kStringFlag : 0));
  if (isAString && cachedString) {
    form["V"] = PropertyList(*cachedString);
  } else if (!isAString && cachedNumber) {
    // Integers stay integers so that the value reads back with its kind.
    if (isFloatingKind(type))
      form["V"] = PropertyList(*cachedNumber);
    else
      form["V"] = PropertyList(static_cast<std::int64_t>(*cachedNumber));
  }
  return PropertyList(std::move(form));
}

std::optional<KRDataFileBinaryEntry> KRDataFileBinaryEntry::fromDictionaryForm(const PropertyList& form) {
  if (!form.isDictionary()) return std::nullopt;
  Fields fields;
  fields.offset = integerField(form, "O");
  fields.m = integerField(form, "m");
  fields.n = integerField(form, "n");
  fields.o = integerField(form, "o");
  fields.flags = integerField(form, "F");
  if (const PropertyList* value = form.find("V")) {
    if (value->isNumber()) {
      fields.valueKind = Fields::Value::Number;
      fields.number = value->real();
    } else if (value->isString()) {
      fields.valueKind = Fields::Value::String;
      fields.text = value->string();
    } else {
      fields.valueKind = Fields::Value::Other;
    }
  }
  return fromFields(fields);
}

std::optional<KRDataFileBinaryEntry> KRDataFileBinaryEntry::fromFields(const Fields& fields) {
  auto offset = nonNegative(fields.offset, static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()));
  auto flags = nonNegative(fields.flags, 2 * kStringFlag);
  auto m = dimension(fields.m);
  auto n = dimension(fields.n);
  auto o = dimension(fields.o);
  if (!offset || !flags || !m || !n || !o) return std::nullopt;
  const int kind = static_cast<int>(*flags % kStringFlag);
  const int flag = static_cast<int>(*flags / kStringFlag);
  if (!binaryformat::isValidKind(kind) || flag > 1) return std::nullopt;

  KRDataFileBinaryEntry entry;
  entry.offsetInFile = *offset;
  entry.type = static_cast<KRDataFileKind>(kind);
  entry.isAString = flag == 1;
  entry.m = *m;
  entry.n = *n;
  entry.o = *o;
  if (!binaryformat::dataBytes(entry.m, entry.n, entry.o, entry.elementSize())) return std::nullopt;
  switch (fields.valueKind) {
    case Fields::Value::None: break;
    case Fields::Value::String:
      if (!entry.isAString || fields.text.size() != entry.length()) return std::nullopt;
      entry.cachedString = fields.text;
      break;
    case Fields::Value::Number:
      if (!entry.isANumber()) return std::nullopt;
      entry.cachedNumber = fields.number;
      break;
    case Fields::Value::Other: return std::nullopt;
  }
  return entry;
}

}  // namespace orrelin
