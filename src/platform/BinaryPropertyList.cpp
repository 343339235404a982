#include "BinaryPropertyList.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <unordered_set>
#include <vector>

namespace orrelin {

namespace {

constexpr std::uint64_t kTrailerSize = 32;
// Shared references let a small file describe a huge tree; past this many
// values the file is refused rather than expanded.
constexpr std::uint64_t kMaximumValues = 20'000'000;

void appendUTF8(std::string& out, std::uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string fromUTF16BigEndian(const std::uint8_t* bytes, std::size_t units) {
  std::string out;
  out.reserve(units * 3);
  for (std::size_t i = 0; i < units; ++i) {
    auto unit = static_cast<std::uint32_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]);
    if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units) {
      auto low = static_cast<std::uint32_t>(bytes[2 * i + 2] << 8 | bytes[2 * i + 3]);
      if (low >= 0xDC00 && low < 0xE000) {
        appendUTF8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    appendUTF8(out, unit >= 0xD800 && unit < 0xE000 ? 0xFFFD : unit);
  }
  return out;
}

}  // namespace

std::optional<BinaryPropertyList> BinaryPropertyList::open(std::string_view bytes) {
  if (bytes.size() < 8 + kTrailerSize || bytes.substr(0, 8) != "bplist00") return std::nullopt;
  BinaryPropertyList list(bytes);
  const auto* trailer = list.data_ + bytes.size() - kTrailerSize;
  list.offsetSize_ = trailer[6];
  list.refSize_ = trailer[7];
  list.count_ = BinaryPropertyList::bigEndian(trailer + 8, 8);
  list.top_ = BinaryPropertyList::bigEndian(trailer + 16, 8);
  list.table_ = BinaryPropertyList::bigEndian(trailer + 24, 8);
  const std::uint64_t end = bytes.size() - kTrailerSize;
  if (list.offsetSize_ < 1 || list.offsetSize_ > 8 || list.refSize_ < 1 || list.refSize_ > 8) return std::nullopt;
  if (list.count_ == 0 || list.top_ >= list.count_ || list.table_ < 8 || list.table_ > end) return std::nullopt;
  if (list.count_ > (end - list.table_) / list.offsetSize_) return std::nullopt;
  return list;
}

// The count in the low half of a marker byte, or in the integer that follows
// it when the half is 0xF; refs is where the members (or bytes) begin.
std::optional<BinaryPropertyList::Collection> BinaryPropertyList::counted(std::uint64_t at) const {
  const int low = data_[at] & 0xF;
  if (low != 0xF) return Collection{static_cast<std::uint64_t>(low), at + 1};
  if (at + 1 >= table_ || (data_[at + 1] >> 4) != 0x1) return std::nullopt;
  const int power = data_[at + 1] & 0xF;
  if (power > 3) return std::nullopt;
  const std::uint64_t size = std::uint64_t{1} << power;
  if (size > table_ - at - 2) return std::nullopt;
  return Collection{BinaryPropertyList::bigEndian(data_ + at + 2, static_cast<std::size_t>(size)), at + 2 + size};
}

std::optional<BinaryPropertyList::Collection> BinaryPropertyList::collection(Ref ref, int marker,
                                                                             std::uint64_t refsPerMember) const {
  auto at = offsetOf(ref);
  if (!at || (data_[*at] >> 4) != marker) return std::nullopt;
  auto c = counted(*at);
  if (!c || c->count > (table_ - c->refs) / (refsPerMember * refSize_)) return std::nullopt;
  return c;
}

std::optional<BinaryPropertyList::Collection> BinaryPropertyList::dictionary(Ref ref) const {
  return collection(ref, 0xD, 2);
}

std::optional<BinaryPropertyList::Collection> BinaryPropertyList::array(Ref ref) const {
  if (auto c = collection(ref, 0xA, 1)) return c;
  return collection(ref, 0xC, 1);  // a set reads as an array
}

BinaryPropertyList::ObjectKind BinaryPropertyList::kind(Ref ref) const {
  auto at = offsetOf(ref);
  if (!at) return ObjectKind::Invalid;
  const std::uint8_t marker = data_[*at];
  switch (marker >> 4) {
    case 0x0:
      if (marker == 0x08 || marker == 0x09) return ObjectKind::Boolean;
      return marker == 0x00 ? ObjectKind::Null : ObjectKind::Invalid;
    case 0x1: return ObjectKind::Integer;
    case 0x2: return ObjectKind::Real;
    case 0x3: return marker == 0x33 ? ObjectKind::Date : ObjectKind::Invalid;
    case 0x4: return ObjectKind::Data;
    case 0x5:
    case 0x6: return ObjectKind::String;
    case 0x8: return ObjectKind::UID;
    case 0xA: return ObjectKind::Array;
    case 0xC: return ObjectKind::Set;
    case 0xD: return ObjectKind::Dictionary;
    default: return ObjectKind::Invalid;
  }
}

std::optional<std::string> BinaryPropertyList::string(Ref ref) const {
  auto at = offsetOf(ref);
  if (!at) return std::nullopt;
  const int type = data_[*at] >> 4;
  if (type != 0x5 && type != 0x6) return std::nullopt;
  auto c = counted(*at);
  if (!c || c->count > table_) return std::nullopt;
  const std::uint64_t bytes = type == 0x5 ? c->count : 2 * c->count;
  if (bytes > table_ - c->refs) return std::nullopt;
  const auto* start = data_ + c->refs;
  if (type == 0x6) return fromUTF16BigEndian(start, static_cast<std::size_t>(c->count));
  const auto* end = start + bytes;
  if (std::all_of(start, end, [](std::uint8_t b) { return b < 0x80; }))
    return std::string(reinterpret_cast<const char*>(start), static_cast<std::size_t>(bytes));
  std::string text;
  text.reserve(static_cast<std::size_t>(bytes) * 2);
  for (const auto* p = start; p != end; ++p) appendUTF8(text, *p);
  return text;
}

char BinaryPropertyList::singleCharacter(Ref ref) const {
  auto at = offsetOf(ref);
  if (!at || data_[*at] != 0x51 || *at + 1 >= table_ || data_[*at + 1] >= 0x80) return 0;
  return static_cast<char>(data_[*at + 1]);
}

BinaryPropertyList::Integer BinaryPropertyList::integer(Ref ref) const {
  auto at = offsetOf(ref);
  if (!at || (data_[*at] >> 4) != 0x1) return {};
  const int power = data_[*at] & 0xF;
  if (power > 4) return {};
  const std::uint64_t size = std::uint64_t{1} << power;
  if (size > table_ - *at - 1) return {};
  const auto* start = data_ + *at + 1;
  if (size == 16) {
    // Unsigned values past the signed range; the high half must be empty.
    if (BinaryPropertyList::bigEndian(start, 8) != 0) return {};
    return {true, false, BinaryPropertyList::bigEndian(start + 8, 8)};
  }
  const std::uint64_t bits = BinaryPropertyList::bigEndian(start, static_cast<std::size_t>(size));
  // Only the eight-byte form is signed.
  return {true, size == 8 && static_cast<std::int64_t>(bits) < 0, bits};
}

std::optional<double> BinaryPropertyList::real(Ref ref) const {
  auto at = offsetOf(ref);
  if (!at || (data_[*at] >> 4) != 0x2) return std::nullopt;
  const int power = data_[*at] & 0xF;
  if ((power != 2 && power != 3) || (std::uint64_t{1} << power) > table_ - *at - 1) return std::nullopt;
  const std::uint64_t bits = BinaryPropertyList::bigEndian(data_ + *at + 1, std::size_t{1} << power);
  if (power == 2) {
    float f;
    const auto narrow = static_cast<std::uint32_t>(bits);
    std::memcpy(&f, &narrow, 4);
    return f;
  }
  double d;
  std::memcpy(&d, &bits, 8);
  return d;
}

std::optional<bool> BinaryPropertyList::boolean(Ref ref) const {
  auto at = offsetOf(ref);
  if (!at || (data_[*at] != 0x08 && data_[*at] != 0x09)) return std::nullopt;
  return data_[*at] == 0x09;
}

std::optional<double> BinaryPropertyList::dateSince2001(Ref ref) const {
  auto at = offsetOf(ref);
  if (!at || data_[*at] != 0x33 || 8 > table_ - *at - 1) return std::nullopt;
  const std::uint64_t bits = BinaryPropertyList::bigEndian(data_ + *at + 1, 8);
  double d;
  std::memcpy(&d, &bits, 8);
  return d;
}

std::optional<std::uint64_t> BinaryPropertyList::uid(Ref ref) const {
  auto at = offsetOf(ref);
  if (!at || (data_[*at] >> 4) != 0x8) return std::nullopt;
  const std::uint64_t size = (data_[*at] & 0xF) + 1u;
  if (size > 8 || size > table_ - *at - 1) return std::nullopt;
  return BinaryPropertyList::bigEndian(data_ + *at + 1, static_cast<std::size_t>(size));
}

std::optional<PlistData> BinaryPropertyList::data(Ref ref) const {
  auto at = offsetOf(ref);
  if (!at || (data_[*at] >> 4) != 0x4) return std::nullopt;
  auto c = counted(*at);
  if (!c || c->count > table_ - c->refs) return std::nullopt;
  return PlistData(data_ + c->refs, data_ + c->refs + c->count);
}

namespace {

// Builds the tree depth first, refusing cycles (a reference to an object on
// the current path) and trees that grow past the value budget.
class TreeBuilder {
 public:
  TreeBuilder(const BinaryPropertyList& list, std::string* error) : list_(list), error_(error) {}

  std::optional<PropertyList> build(BinaryPropertyList::Ref ref, int depth) {
    if (depth > kMaximumPropertyListDepth) return fail("The property list is nested too deeply.");
    if (++values_ > kMaximumValues) return fail("The property list is too large.");
    using Kind = BinaryPropertyList::ObjectKind;
    switch (list_.kind(ref)) {
      case Kind::Dictionary: return members(ref, depth, true);
      case Kind::Array:
      case Kind::Set: return members(ref, depth, false);
      case Kind::String:
        if (auto text = list_.string(ref)) return PropertyList(std::move(*text));
        break;
      case Kind::Integer: {
        auto value = list_.integer(ref);
        if (!value.present) break;
        if (value.negative || value.value <= static_cast<std::uint64_t>(INT64_MAX))
          return PropertyList(static_cast<std::int64_t>(value.value));
        return PropertyList(value.value);
      }
      case Kind::UID:
        // Keyed archives' object references, kept as their number.
        if (auto value = list_.uid(ref)) return PropertyList(*value);
        break;
      case Kind::Real:
        if (auto value = list_.real(ref)) return PropertyList(*value);
        break;
      case Kind::Boolean:
        if (auto value = list_.boolean(ref)) return PropertyList(*value);
        break;
      case Kind::Date:
        if (auto value = list_.dateSince2001(ref)) return PropertyList(PlistDate::sinceYear2001(*value));
        break;
      case Kind::Data:
        if (auto value = list_.data(ref)) return PropertyList(std::move(*value));
        break;
      case Kind::Null:
      case Kind::Invalid: break;
    }
    return fail("The file is not a property list.");
  }

 private:
  std::optional<PropertyList> members(BinaryPropertyList::Ref ref, int depth, bool isDictionary) {
    if (!onPath_.insert(ref).second) return fail("The property list refers to itself.");
    std::optional<PropertyList> result;
    auto c = isDictionary ? list_.dictionary(ref) : list_.array(ref);
    if (c && isDictionary) {
      PlistDictionary dict;
      bool ok = true;
      for (std::uint64_t i = 0; ok && i < c->count; ++i) {
        auto key = list_.string(list_.keyRef(*c, i));
        auto value = key ? build(list_.valueRef(*c, i), depth + 1) : std::nullopt;
        ok = key && value;
        if (ok) dict.insert_or_assign(std::move(*key), std::move(*value));
      }
      if (ok) result = PropertyList(std::move(dict));
    } else if (c) {
      PlistArray array;
      array.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(c->count, 1u << 20)));
      bool ok = true;
      for (std::uint64_t i = 0; ok && i < c->count; ++i) {
        auto value = build(list_.elementRef(*c, i), depth + 1);
        ok = value.has_value();
        if (ok) array.push_back(std::move(*value));
      }
      if (ok) result = PropertyList(std::move(array));
    }
    onPath_.erase(ref);
    if (!result) return fail("The file is not a property list.");
    return result;
  }

  std::optional<PropertyList> fail(const char* message) {
    if (error_ && error_->empty()) *error_ = message;
    return std::nullopt;
  }

  const BinaryPropertyList& list_;
  std::string* error_;
  std::unordered_set<BinaryPropertyList::Ref> onPath_;
  std::uint64_t values_ = 0;
};

}  // namespace

std::optional<PropertyList> BinaryPropertyList::toPropertyList(std::string* error) const {
  std::string message;
  auto tree = TreeBuilder(*this, &message).build(top_, 0);
  if (!tree && error) *error = message;
  return tree;
}

}  // namespace orrelin
