#pragma once
// Random access to the objects of a binary property list ("bplist00"): a
// table of object offsets at the end, found through a 32-byte trailer, and
// objects that refer to each other by number. Nothing is copied on opening,
// so a reader that wants a few keys of a large list pays only for those;
// toPropertyList() builds the whole tree. Every access is bounds-checked, so
// any bytes at all are safe to hand in.

#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "platform/PropertyList.h"

namespace orrelin {

class BinaryPropertyList {
 public:
  using Ref = std::uint64_t;

  enum class ObjectKind { Invalid, Null, Boolean, Integer, Real, Date, Data, String, UID, Array, Set, Dictionary };

  // An integer as stored: the eight-byte form is signed, the sixteen-byte
  // form holds unsigned values past the signed range.
  struct Integer {
    bool present = false;
    bool negative = false;  // a signed value below zero; value holds its bits
    std::uint64_t value = 0;
  };

  // The members of an array or dictionary: count references starting at
  // refs (a dictionary has count keys, then count values).
  struct Collection {
    std::uint64_t count = 0;
    std::uint64_t refs = 0;
  };

  // None when the bytes are not a well-formed binary property list frame
  // (header, trailer, offset table); objects are checked when used.
  static std::optional<BinaryPropertyList> open(std::string_view bytes);

  Ref top() const { return top_; }
  ObjectKind kind(Ref ref) const;

  std::optional<Collection> dictionary(Ref ref) const;
  Ref keyRef(const Collection& c, std::uint64_t i) const { return readRef(c.refs + i * refSize_); }
  Ref valueRef(const Collection& c, std::uint64_t i) const { return readRef(c.refs + (c.count + i) * refSize_); }
  std::optional<Collection> array(Ref ref) const;
  Ref elementRef(const Collection& c, std::uint64_t i) const { return readRef(c.refs + i * refSize_); }

  // Text as UTF-8 (ASCII strings are read as Latin-1, UTF-16 strings are
  // converted, unpaired surrogates becoming U+FFFD); none for other objects.
  std::optional<std::string> string(Ref ref) const;
  // The character of a one-character ASCII string, 0 for anything else: the
  // short keys of compact lists are told at a glance.
  char singleCharacter(Ref ref) const;
  Integer integer(Ref ref) const;
  std::optional<double> real(Ref ref) const;
  std::optional<bool> boolean(Ref ref) const;
  std::optional<double> dateSince2001(Ref ref) const;
  std::optional<PlistData> data(Ref ref) const;
  std::optional<std::uint64_t> uid(Ref ref) const;

  // The whole tree below ref (the top object by default). None, with a
  // message, for a damaged list, a reference cycle, nesting deeper than a
  // few hundred levels or a tree that shared references would blow up.
  std::optional<PropertyList> toPropertyList(std::string* error = nullptr) const;

 private:
  explicit BinaryPropertyList(std::string_view bytes)
      : data_(reinterpret_cast<const std::uint8_t*>(bytes.data())) {}

  // Reading an object's offset and a reference happens for every object
  // touched, so they stay inline.
  std::optional<std::uint64_t> offsetOf(Ref ref) const {
    if (ref >= count_) return std::nullopt;
    std::uint64_t offset = bigEndian(data_ + table_ + ref * offsetSize_, offsetSize_);
    if (offset < 8 || offset >= table_) return std::nullopt;
    return offset;
  }

  std::optional<Collection> counted(std::uint64_t at) const;
  std::optional<Collection> collection(Ref ref, int marker, std::uint64_t refsPerMember) const;
  Ref readRef(std::uint64_t at) const { return bigEndian(data_ + at, refSize_); }
  static std::uint64_t bigEndian(const std::uint8_t* bytes, std::size_t size) {
    // The common widths without a loop; they are read for every object.
    switch (size) {
      case 1: return bytes[0];
      case 2: return static_cast<std::uint64_t>(bytes[0]) << 8 | bytes[1];
      // Some writers use three bytes for references and offsets.
      case 3: return static_cast<std::uint64_t>(bytes[0]) << 16 | static_cast<std::uint64_t>(bytes[1]) << 8 | bytes[2];
      case 4: {
        std::uint32_t v;
        std::memcpy(&v, bytes, 4);
        return std::endian::native == std::endian::little ? __builtin_bswap32(v) : v;
      }
      case 8: {
        std::uint64_t v;
        std::memcpy(&v, bytes, 8);
        return std::endian::native == std::endian::little ? __builtin_bswap64(v) : v;
      }
      default: {
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < size; ++i) v = (v << 8) | bytes[i];
        return v;
      }
    }
  }

  const std::uint8_t* data_;
  std::uint64_t offsetSize_ = 0, refSize_ = 0, count_ = 0, top_ = 0, table_ = 0;
};

}  // namespace orrelin
