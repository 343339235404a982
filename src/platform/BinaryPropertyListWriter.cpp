#include "BinaryPropertyListWriter.h"

#include "platform/TextEncoding.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace orrelin {

namespace {

constexpr std::size_t kTrailerSize = 32;

// The object kinds, in the high half of a marker byte.
enum Marker : std::uint8_t {
  kInteger = 0x1, kReal = 0x2, kDate = 0x3, kData = 0x4, kASCII = 0x5, kUTF16 = 0x6,
  kArray = 0xA, kDictionary = 0xD,
};

void appendBigEndian(std::string& out, std::uint64_t value, std::size_t size) {
  for (std::size_t i = size; i-- > 0;) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The fewest of 1, 2, 4 or 8 bytes that hold value.
std::size_t widthFor(std::uint64_t value) {
  if (value <= 0xFF) return 1;
  if (value <= 0xFFFF) return 2;
  if (value <= 0xFFFFFFFF) return 4;
  return 8;
}

// Readers take the one-, two- and four-byte forms as unsigned and the
// eight-byte form as signed; unsigned values past the signed range take the
// sixteen-byte form with an empty high half.
void appendInteger(std::string& out, std::uint64_t bits, bool negative) {
  if (negative) {
    out += static_cast<char>(kInteger << 4 | 3);
    appendBigEndian(out, bits, 8);
  } else if (bits > static_cast<std::uint64_t>(INT64_MAX)) {
    out += static_cast<char>(kInteger << 4 | 4);
    appendBigEndian(out, 0, 8);
    appendBigEndian(out, bits, 8);
  } else {
    const std::size_t size = widthFor(bits);
    out += static_cast<char>(kInteger << 4 | std::countr_zero(size));
    appendBigEndian(out, bits, size);
  }
}

// A marker with its count: in the low half below 15, else in an integer
// that follows.
void appendMarker(std::string& out, Marker marker, std::uint64_t count) {
  if (count < 15) {
    out += static_cast<char>(marker << 4 | count);
    return;
  }
  out += static_cast<char>(marker << 4 | 0xF);
  appendInteger(out, count, false);
}

void appendDouble(std::string& out, double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  appendBigEndian(out, bits, 8);
}

// ASCII text as its bytes; any other as UTF-16.
std::string encodedText(const std::string& text) {
  std::string out;
  if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    appendMarker(out, kASCII, text.size());
    out += text;
    return out;
  }
  const std::u16string units = utf16ReplacingInvalidUTF8(text);
  appendMarker(out, kUTF16, units.size());
  out.reserve(out.size() + 2 * units.size());
  for (char16_t unit : units) appendBigEndian(out, unit, 2);
  return out;
}

std::string encodedLeaf(const PropertyList& value) {
  std::string out;
  switch (value.kind()) {
    case PropertyList::Kind::String: return encodedText(value.string());
    case PropertyList::Kind::Integer:
      if (value.isUnsignedInteger()) appendInteger(out, value.unsignedInteger(), false);
      else appendInteger(out, static_cast<std::uint64_t>(value.integer()), value.integer() < 0);
      break;
    case PropertyList::Kind::Real:
      out += static_cast<char>(kReal << 4 | 3);
      appendDouble(out, value.real());
      break;
    case PropertyList::Kind::Boolean: out += static_cast<char>(value.boolean() ? 0x09 : 0x08); break;
    case PropertyList::Kind::Date: {
      const double since2001 = value.date().secondsSince2001();
      out += static_cast<char>(kDate << 4 | 3);
      appendDouble(out, std::isfinite(since2001) ? since2001 : 0);
      break;
    }
    case PropertyList::Kind::Data: {
      const auto& bytes = value.data();
      appendMarker(out, kData, bytes.size());
      out.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
      break;
    }
    case PropertyList::Kind::Array:
    case PropertyList::Kind::Dictionary: break;  // containers are not leaves
  }
  return out;
}

class Writer {
 public:
  std::string write(const PropertyList& top) {
    const std::uint64_t topRef = add(top);
    const std::size_t refSize = widthFor(objects_.size() - 1);

    std::string out = "bplist00";
    std::vector<std::uint64_t> offsets;
    offsets.reserve(objects_.size());
    for (const Object& object : objects_) {
      offsets.push_back(out.size());
      if (object.leaf) {
        out += *object.leaf;
        continue;
      }
      appendMarker(out, object.marker, object.members);
      const std::size_t refs = object.marker == kDictionary ? 2 * object.members : object.members;
      for (std::size_t k = 0; k < refs; ++k) appendBigEndian(out, refs_[object.firstRef + k], refSize);
    }

    const std::uint64_t table = out.size();
    const std::size_t offsetSize = widthFor(offsets.empty() ? 0 : offsets.back());
    for (std::uint64_t offset : offsets) appendBigEndian(out, offset, offsetSize);
    out.append(6, '\0');
    out += static_cast<char>(offsetSize);
    out += static_cast<char>(refSize);
    appendBigEndian(out, objects_.size(), 8);
    appendBigEndian(out, topRef, 8);
    appendBigEndian(out, table, 8);
    return out;
  }

 private:
  // A leaf points at its encoded bytes (the key of leaves_); a container
  // has its members' references at firstRef in refs_, a dictionary its
  // keys' and then its values'.
  struct Object {
    const std::string* leaf = nullptr;
    Marker marker = kArray;
    std::uint64_t members = 0;
    std::size_t firstRef = 0;
  };

  std::uint64_t leaf(std::string bytes) {
    auto [at, inserted] = leaves_.try_emplace(std::move(bytes), objects_.size());
    if (inserted) objects_.push_back({&at->first});
    return at->second;
  }

  // Containers are numbered before their members, so the top object is 0.
  std::uint64_t add(const PropertyList& value) {
    const std::uint64_t index = objects_.size();
    std::vector<std::uint64_t> members;
    if (value.isArray()) {
      objects_.push_back({nullptr, kArray, value.array().size()});
      members.reserve(value.array().size());
      for (const auto& item : value.array()) members.push_back(add(item));
    } else if (value.isDictionary()) {
      const auto& dictionary = value.dictionary();
      objects_.push_back({nullptr, kDictionary, dictionary.size()});
      members.reserve(2 * dictionary.size());
      for (const auto& entry : dictionary) members.push_back(leaf(encodedText(entry.first)));
      for (const auto& entry : dictionary) members.push_back(add(entry.second));
    } else {
      return leaf(encodedLeaf(value));
    }
    objects_[index].firstRef = refs_.size();
    refs_.insert(refs_.end(), members.begin(), members.end());
    return index;
  }

  std::vector<Object> objects_;
  std::vector<std::uint64_t> refs_;
  std::unordered_map<std::string, std::uint64_t> leaves_;
};

}  // namespace

std::string writeBinaryPropertyList(const PropertyList& value) { return Writer().write(value); }

}  // namespace orrelin
