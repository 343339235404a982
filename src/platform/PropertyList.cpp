#include "PropertyList.h"

namespace orrelin {

namespace {
const PlistDictionary kEmptyDictionary;
const PlistArray kEmptyArray;
const std::string kEmptyString;
const PlistData kEmptyData;
}  // namespace

PropertyList::Kind PropertyList::kind() const {
  switch (value_.index()) {
    case 0: return Kind::Dictionary;
    case 1: return Kind::Array;
    case 2: return Kind::String;
    case 3:
    case 4: return Kind::Integer;
    case 5: return Kind::Real;
    case 6: return Kind::Boolean;
    case 7: return Kind::Date;
    default: return Kind::Data;
  }
}

const PlistDictionary& PropertyList::dictionary() const {
  auto* d = std::get_if<PlistDictionary>(&value_);
  return d ? *d : kEmptyDictionary;
}

PlistDictionary& PropertyList::dictionary() {
  if (!std::holds_alternative<PlistDictionary>(value_)) value_ = PlistDictionary{};
  return std::get<PlistDictionary>(value_);
}

const PlistArray& PropertyList::array() const {
  auto* a = std::get_if<PlistArray>(&value_);
  return a ? *a : kEmptyArray;
}

PlistArray& PropertyList::array() {
  if (!std::holds_alternative<PlistArray>(value_)) value_ = PlistArray{};
  return std::get<PlistArray>(value_);
}

const std::string& PropertyList::string() const {
  auto* s = std::get_if<std::string>(&value_);
  return s ? *s : kEmptyString;
}

std::int64_t PropertyList::integer() const {
  if (auto* i = std::get_if<std::int64_t>(&value_)) return *i;
  if (auto* u = std::get_if<std::uint64_t>(&value_)) return static_cast<std::int64_t>(*u);
  if (auto* r = std::get_if<double>(&value_)) {
    // Out-of-range conversion is undefined; clamp instead.
    if (!(*r == *r)) return 0;
    if (*r >= 9.2233720368547758e18) return INT64_MAX;
    if (*r <= -9.2233720368547758e18) return INT64_MIN;
    return static_cast<std::int64_t>(*r);
  }
  if (auto* b = std::get_if<bool>(&value_)) return *b ? 1 : 0;
  return 0;
}

std::uint64_t PropertyList::unsignedInteger() const {
  if (auto* u = std::get_if<std::uint64_t>(&value_)) return *u;
  return static_cast<std::uint64_t>(integer());
}

double PropertyList::real() const {
  if (auto* r = std::get_if<double>(&value_)) return *r;
  if (auto* i = std::get_if<std::int64_t>(&value_)) return static_cast<double>(*i);
  if (auto* u = std::get_if<std::uint64_t>(&value_)) return static_cast<double>(*u);
  if (auto* b = std::get_if<bool>(&value_)) return *b ? 1.0 : 0.0;
  return 0.0;
}

bool PropertyList::boolean() const {
  if (auto* b = std::get_if<bool>(&value_)) return *b;
  if (isInteger()) return unsignedInteger() != 0;
  if (auto* r = std::get_if<double>(&value_)) return *r != 0.0;
  return false;
}

PlistDate PropertyList::date() const {
  auto* d = std::get_if<PlistDate>(&value_);
  return d ? *d : PlistDate{};
}

const PlistData& PropertyList::data() const {
  auto* d = std::get_if<PlistData>(&value_);
  return d ? *d : kEmptyData;
}

const PropertyList* PropertyList::find(const std::string& key) const {
  auto* d = std::get_if<PlistDictionary>(&value_);
  if (!d) return nullptr;
  auto it = d->find(key);
  return it == d->end() ? nullptr : &it->second;
}

std::optional<std::string> PropertyList::stringForKey(const std::string& key) const {
  auto* v = find(key);
  if (!v || !v->isString()) return std::nullopt;
  return v->string();
}

std::optional<std::int64_t> PropertyList::integerForKey(const std::string& key) const {
  auto* v = find(key);
  if (!v || !v->isNumber()) return std::nullopt;
  return v->integer();
}

std::optional<double> PropertyList::numberForKey(const std::string& key) const {
  auto* v = find(key);
  if (!v || !v->isNumber()) return std::nullopt;
  return v->real();
}

std::optional<bool> PropertyList::booleanForKey(const std::string& key) const {
  auto* v = find(key);
  if (!v || !(v->isBoolean() || v->isNumber())) return std::nullopt;
  return v->boolean();
}

const PlistDictionary* PropertyList::dictionaryForKey(const std::string& key) const {
  auto* v = find(key);
  return v && v->isDictionary() ? &v->dictionary() : nullptr;
}

const PlistArray* PropertyList::arrayForKey(const std::string& key) const {
  auto* v = find(key);
  return v && v->isArray() ? &v->array() : nullptr;
}

bool PropertyList::operator==(const PropertyList& other) const {
  if (isInteger() && other.isInteger()) {
    bool negativeHere = !isUnsignedInteger() && integer() < 0;
    bool negativeThere = !other.isUnsignedInteger() && other.integer() < 0;
    return negativeHere == negativeThere && unsignedInteger() == other.unsignedInteger();
  }
  return value_ == other.value_;
}

}  // namespace orrelin
