#include "KRDataFileBinaryEntry.h"

#include <limits>

namespace orrelin {

namespace {

constexpr int kStringFlag = 32;

bool isFloatingKind(KRDataFileKind kind) { return kind == KRDataFileKind::Double || kind == KRDataFileKind::Float; }

// A non-negative integer value up to limit, whether kept signed or unsigned.
std::optional<std::uint64_t> nonNegative(const PropertyList* value, std::uint64_t limit) {
  if (!value || !value->isInteger()) return std::nullopt;
  if (!value->isUnsignedInteger() && value->integer() < 0) return std::nullopt;
  std::uint64_t v = value->unsignedInteger();
  if (v > limit) return std::nullopt;
  return v;
}

std::optional<std::int32_t> dimension(const PropertyList& form, const char* key) {
  auto v = nonNegative(form.find(key), static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()));
  if (!v) return std::nullopt;
  return static_cast<std::int32_t>(*v);
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
  auto offset = nonNegative(form.find("O"), static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()));
  auto flags = nonNegative(form.find("F"), 2 * kStringFlag);
  auto m = dimension(form, "m");
  auto n = dimension(form, "n");
  auto o = dimension(form, "o");
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
  if (const PropertyList* value = form.find("V")) {
    if (entry.isAString) {
      if (!value->isString() || value->string().size() != entry.length()) return std::nullopt;
      entry.cachedString = value->string();
    } else {
      if (!value->isNumber() || !entry.isANumber()) return std::nullopt;
      entry.cachedNumber = value->real();
    }
  }
  return entry;
}

}  // namespace orrelin
