#pragma once
// Where one variable of a binary data file lies and what it holds, with the
// value itself when it is a single number or a short string.

#include <cstdint>
#include <optional>
#include <string>

#include "datafiles/BinaryFormat.h"
#include "platform/PropertyList.h"

namespace orrelin {

struct KRDataFileBinaryEntry {
  // Strings up to this many bytes are kept in memory once seen.
  static constexpr std::size_t kCachedStringLimit = 39;

  std::uint64_t offsetInFile = 0;  // where the elements start
  KRDataFileKind type = KRDataFileKind::Double;
  bool isAString = false;
  std::int32_t m = 0;
  std::int32_t n = 0;
  std::int32_t o = 0;
  std::optional<double> cachedNumber;       // a 1x1x1 number of any kind, exact in a double
  std::optional<std::string> cachedString;  // a string of at most kCachedStringLimit bytes

  std::uint64_t length() const {
    return static_cast<std::uint64_t>(m) * static_cast<std::uint64_t>(n) * static_cast<std::uint64_t>(o);
  }
  std::size_t elementSize() const { return isAString ? 1 : binaryformat::elementSize(type); }
  // Bytes of data in the file.
  std::uint64_t requiredSize() const { return length() * elementSize(); }
  bool isANumber() const { return !isAString && m == 1 && n == 1 && o == 1; }
  std::string description() const { return binaryformat::descriptionText(type, isAString, m, n, o); }

  // The form kept in the index file and the structure dictionary:
  // {"O", "m", "n", "o", "F" (kind, +32 for a string), "V" (cached value)}.
  PropertyList dictionaryForm() const;
  // None when a key is missing or a value is out of its range.
  static std::optional<KRDataFileBinaryEntry> fromDictionaryForm(const PropertyList& form);

  // The values of the dictionary form as any reader of it finds them, so
  // that every reader applies the same rules.
  struct Integer {
    bool present = false;
    bool negative = false;    // a signed value below zero; value holds its bits
    std::uint64_t value = 0;
  };
  struct Fields {
    Integer offset, m, n, o, flags;
    enum class Value { None, Number, String, Other } valueKind = Value::None;
    double number = 0;
    std::string text;
  };
  static std::optional<KRDataFileBinaryEntry> fromFields(const Fields& fields);
};

}  // namespace orrelin
