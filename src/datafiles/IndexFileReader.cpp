#include "IndexFileReader.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>

namespace orrelin {

namespace {

using Fields = KRDataFileBinaryEntry::Fields;

// The objects of a binary property list ("bplist00"): a table of offsets at
// the end, found through a 32-byte trailer, and objects that refer to each
// other by their number.
class BinaryPropertyList {
 public:
  static std::optional<BinaryPropertyList> open(std::string_view bytes) {
    constexpr std::size_t kTrailer = 32;
    if (bytes.size() < 8 + kTrailer || bytes.substr(0, 8) != "bplist00") return std::nullopt;
    BinaryPropertyList list(bytes);
    const auto* trailer = list.data_ + bytes.size() - kTrailer;
    list.offsetSize_ = trailer[6];
    list.refSize_ = trailer[7];
    list.count_ = bigEndian(trailer + 8, 8);
    list.top_ = bigEndian(trailer + 16, 8);
    list.table_ = bigEndian(trailer + 24, 8);
    const std::uint64_t end = bytes.size() - kTrailer;
    if (list.offsetSize_ < 1 || list.offsetSize_ > 8 || list.refSize_ < 1 || list.refSize_ > 8) return std::nullopt;
    if (list.count_ == 0 || list.top_ >= list.count_ || list.table_ < 8 || list.table_ > end) return std::nullopt;
    if (list.count_ > (end - list.table_) / list.offsetSize_) return std::nullopt;
    return list;
  }

  std::uint64_t top() const { return top_; }

  // Where object number `ref` starts; none when out of the object area.
  std::optional<std::uint64_t> offsetOf(std::uint64_t ref) const {
    if (ref >= count_) return std::nullopt;
    std::uint64_t offset = bigEndian(data_ + table_ + ref * offsetSize_, offsetSize_);
    if (offset < 8 || offset >= table_) return std::nullopt;
    return offset;
  }

  struct Collection {
    std::uint64_t count = 0;
    std::uint64_t refs = 0;  // offset of the first reference
  };

  // A dictionary: count keys, then as many values, each a reference.
  std::optional<Collection> dictionary(std::uint64_t ref) const {
    auto at = offsetOf(ref);
    if (!at || (data_[*at] >> 4) != 0xD) return std::nullopt;
    auto collection = counted(*at);
    if (!collection || collection->count > (table_ - collection->refs) / (2 * refSize_)) return std::nullopt;
    return collection;
  }
  std::uint64_t keyRef(const Collection& c, std::uint64_t i) const {
    return bigEndian(data_ + c.refs + i * refSize_, refSize_);
  }
  std::uint64_t valueRef(const Collection& c, std::uint64_t i) const {
    return bigEndian(data_ + c.refs + (c.count + i) * refSize_, refSize_);
  }

  // A string as UTF-8; none for any other object.
  std::optional<std::string> string(std::uint64_t ref) const {
    auto at = offsetOf(ref);
    if (!at) return std::nullopt;
    const int type = data_[*at] >> 4;
    if (type != 0x5 && type != 0x6) return std::nullopt;
    auto c = counted(*at);
    if (!c) return std::nullopt;
    const std::uint64_t bytes = type == 0x5 ? c->count : 2 * c->count;
    if (c->count > table_ || bytes > table_ - c->refs) return std::nullopt;
    const auto* start = data_ + c->refs;
    if (type == 0x5) return std::string(reinterpret_cast<const char*>(start), static_cast<std::size_t>(bytes));
    return fromUTF16(start, static_cast<std::size_t>(c->count));
  }

  // The character of a one-character string key, 0 for any other object;
  // the short ASCII form that writers use is told at a glance.
  char keyCharacter(std::uint64_t ref) const {
    auto at = offsetOf(ref);
    if (!at) return 0;
    if (data_[*at] == 0x51 && *at + 1 < table_) return static_cast<char>(data_[*at + 1]);
    auto text = string(ref);
    return text && text->size() == 1 ? (*text)[0] : 0;
  }

  KRDataFileBinaryEntry::Integer integer(std::uint64_t ref) const {
    auto at = offsetOf(ref);
    if (!at || (data_[*at] >> 4) != 0x1) return {};
    const int power = data_[*at] & 0xF;
    if (power > 4) return {};
    const std::uint64_t size = std::uint64_t{1} << power;
    if (size > table_ - *at - 1) return {};
    const auto* start = data_ + *at + 1;
    if (size == 16) {
      // Unsigned values past the signed range; the high half must be empty.
      if (bigEndian(start, 8) != 0) return {true, true, 0};
      return {true, false, bigEndian(start + 8, 8)};
    }
    const std::uint64_t bits = bigEndian(start, static_cast<std::size_t>(size));
    // Only the eight-byte form is signed.
    return {true, size == 8 && static_cast<std::int64_t>(bits) < 0, bits};
  }

  // V: a number, a string, or something else.
  void value(std::uint64_t ref, Fields& fields) const {
    fields.valueKind = Fields::Value::Other;
    auto at = offsetOf(ref);
    if (!at) return;
    const int type = data_[*at] >> 4;
    if (type == 0x1) {
      auto v = integer(ref);
      if (!v.present) return;
      fields.valueKind = Fields::Value::Number;
      fields.number = v.negative ? static_cast<double>(static_cast<std::int64_t>(v.value)) : static_cast<double>(v.value);
    } else if (type == 0x2) {
      const int power = data_[*at] & 0xF;
      if ((power != 2 && power != 3) || (std::uint64_t{1} << power) > table_ - *at - 1) return;
      const std::uint64_t bits = bigEndian(data_ + *at + 1, std::size_t{1} << power);
      if (power == 2) {
        float f;
        const auto narrow = static_cast<std::uint32_t>(bits);
        std::memcpy(&f, &narrow, 4);
        fields.number = f;
      } else {
        std::memcpy(&fields.number, &bits, 8);
      }
      fields.valueKind = Fields::Value::Number;
    } else if (auto text = string(ref)) {
      fields.valueKind = Fields::Value::String;
      fields.text = std::move(*text);
    }
  }

 private:
  explicit BinaryPropertyList(std::string_view bytes) : data_(reinterpret_cast<const std::uint8_t*>(bytes.data())) {}

  static std::uint64_t bigEndian(const std::uint8_t* bytes, std::size_t size) {
    // The common widths in one load each; they are read for every object.
    switch (size) {
      case 1: return bytes[0];
      case 2: return static_cast<std::uint64_t>(bytes[0]) << 8 | bytes[1];
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

  // The count in the low half of a marker byte, or in the integer that
  // follows it when the half is 0xF.
  std::optional<Collection> counted(std::uint64_t at) const {
    const int low = data_[at] & 0xF;
    if (low != 0xF) return Collection{static_cast<std::uint64_t>(low), at + 1};
    if (at + 1 >= table_ || (data_[at + 1] >> 4) != 0x1) return std::nullopt;
    const int power = data_[at + 1] & 0xF;
    if (power > 3) return std::nullopt;
    const std::uint64_t size = std::uint64_t{1} << power;
    if (size > table_ - at - 2) return std::nullopt;
    return Collection{bigEndian(data_ + at + 2, static_cast<std::size_t>(size)), at + 2 + size};
  }

  static std::string fromUTF16(const std::uint8_t* bytes, std::size_t units) {
    std::string out;
    out.reserve(units * 3);
    auto put = [&](std::uint32_t c) {
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
    };
    for (std::size_t i = 0; i < units; ++i) {
      std::uint32_t unit = static_cast<std::uint32_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]);
      if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units) {
        std::uint32_t low = static_cast<std::uint32_t>(bytes[2 * i + 2] << 8 | bytes[2 * i + 3]);
        if (low >= 0xDC00 && low < 0xE000) {
          put(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
          ++i;
          continue;
        }
      }
      put(unit >= 0xD800 && unit < 0xE000 ? 0xFFFD : unit);
    }
    return out;
  }

  const std::uint8_t* data_;
  std::uint64_t offsetSize_ = 0, refSize_ = 0, count_ = 0, top_ = 0, table_ = 0;
};

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
    if (key == "Length") length = list->integer(list->valueRef(*top, i));
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
      switch (list->keyCharacter(keyRef)) {
        case 'O': fields.offset = list->integer(valueRef); break;
        case 'm': fields.m = list->integer(valueRef); break;
        case 'n': fields.n = list->integer(valueRef); break;
        case 'o': fields.o = list->integer(valueRef); break;
        case 'F': fields.flags = list->integer(valueRef); break;
        case 'V': list->value(valueRef, fields); break;
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
