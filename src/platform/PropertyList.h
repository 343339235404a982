#pragma once
// One value type for every property list the system reads or writes:
// dictionaries with string keys, arrays, strings, signed and unsigned 64-bit
// integers, reals, booleans, dates and raw data.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace orrelin {

class PropertyList;

using PlistDictionary = std::map<std::string, PropertyList>;
using PlistArray = std::vector<PropertyList>;
using PlistData = std::vector<std::uint8_t>;

// A point in time as seconds since 1970-01-01 00:00:00 GMT. The stored
// forms count from 2001-01-01 instead.
struct PlistDate {
  static constexpr double kSecondsFrom1970To2001 = 978307200.0;
  static PlistDate sinceYear2001(double seconds) { return {seconds + kSecondsFrom1970To2001}; }
  double secondsSince2001() const { return secondsSince1970 - kSecondsFrom1970To2001; }

  double secondsSince1970 = 0;
  bool operator==(const PlistDate&) const = default;
};

// Both readers refuse lists nested deeper than this, so a hostile file cannot
// exhaust the stack.
inline constexpr int kMaximumPropertyListDepth = 512;

class PropertyList {
 public:
  enum class Kind { Dictionary, Array, String, Integer, Real, Boolean, Date, Data };

  PropertyList() : value_(PlistDictionary{}) {}
  PropertyList(PlistDictionary v) : value_(std::move(v)) {}
  PropertyList(PlistArray v) : value_(std::move(v)) {}
  PropertyList(std::string v) : value_(std::move(v)) {}
  PropertyList(const char* v) : value_(std::string(v)) {}
  PropertyList(std::int64_t v) : value_(v) {}
  PropertyList(int v) : value_(static_cast<std::int64_t>(v)) {}
  PropertyList(long long v) : value_(static_cast<std::int64_t>(v)) {}
  PropertyList(std::uint64_t v) : value_(v) {}
  PropertyList(unsigned v) : value_(static_cast<std::int64_t>(v)) {}
  PropertyList(double v) : value_(v) {}
  PropertyList(bool v) : value_(v) {}
  PropertyList(PlistDate v) : value_(v) {}
  PropertyList(PlistData v) : value_(std::move(v)) {}

  Kind kind() const;
  bool isDictionary() const { return kind() == Kind::Dictionary; }
  bool isArray() const { return kind() == Kind::Array; }
  bool isString() const { return kind() == Kind::String; }
  bool isInteger() const { return kind() == Kind::Integer; }
  // An integer that was made from, or read as, an unsigned 64-bit value.
  bool isUnsignedInteger() const { return std::holds_alternative<std::uint64_t>(value_); }
  bool isReal() const { return kind() == Kind::Real; }
  bool isNumber() const { return isInteger() || isReal(); }
  bool isBoolean() const { return kind() == Kind::Boolean; }
  bool isDate() const { return kind() == Kind::Date; }
  bool isData() const { return kind() == Kind::Data; }

  // Typed access; each asserts nothing and returns a neutral value when the
  // kind differs, so readers of foreign files never fault on a wrong type.
  const PlistDictionary& dictionary() const;
  PlistDictionary& dictionary();
  const PlistArray& array() const;
  PlistArray& array();
  const std::string& string() const;
  std::int64_t integer() const;        // reals are truncated, booleans give 0 or 1
  std::uint64_t unsignedInteger() const;
  double real() const;                 // integers converted
  bool boolean() const;
  PlistDate date() const;
  const PlistData& data() const;

  // Dictionary conveniences: none when this is not a dictionary or the key is
  // absent or of another kind.
  const PropertyList* find(const std::string& key) const;
  std::optional<std::string> stringForKey(const std::string& key) const;
  std::optional<std::int64_t> integerForKey(const std::string& key) const;
  std::optional<double> numberForKey(const std::string& key) const;
  std::optional<bool> booleanForKey(const std::string& key) const;
  const PlistDictionary* dictionaryForKey(const std::string& key) const;
  const PlistArray* arrayForKey(const std::string& key) const;

  // Integers compare by value whatever their signedness.
  bool operator==(const PropertyList& other) const;
  bool operator!=(const PropertyList& other) const { return !(*this == other); }

 private:
  std::variant<PlistDictionary, PlistArray, std::string, std::int64_t, std::uint64_t, double, bool,
               PlistDate, PlistData>
      value_;
};

}  // namespace orrelin
