// Index files from any bytes.
//  - The bytes themselves go to the fast reader of the binary form, which
//    must never fault.
//  - The bytes also steer the making of an index (names, fields present or
//    missing, values in and out of range, cached values of any kind); its
//    binary form read by the fast reader and by the general property-list
//    reader must give the same verdict and the same entries.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "datafiles/IndexFileReader.h"
#include "platform/PropertyListSerialization.h"

using namespace orrelin;

namespace {

class Recipe {
 public:
  Recipe(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool more() const { return at_ < size_; }
  std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::uint64_t wide() {
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v = v << 8 | byte();
    return v;
  }

  PropertyList value() {
    switch (byte() % 8) {
      case 0: return PropertyList(static_cast<std::int64_t>(byte()) - 8);  // small, maybe negative
      case 1: return PropertyList(wide());                                  // any unsigned
      case 2: return PropertyList(static_cast<std::int64_t>(wide()));       // any signed
      case 3: return PropertyList(static_cast<double>(byte()) / 4);
      case 4: return PropertyList(std::string(byte() % 5, 'a'));
      case 5: return PropertyList(byte() % 2 == 0);
      case 6: return PropertyList(PlistArray{});
      default: return PropertyList(static_cast<std::int64_t>(byte() % 70));  // plausible flags
    }
  }

  PropertyList index() {
    PlistDictionary entries;
    const int count = byte() % 8;
    for (int i = 0; i < count; ++i) {
      PlistDictionary form;
      const std::uint8_t present = byte();
      const char* keys[] = {"O", "m", "n", "o", "F", "V", "x"};
      for (int k = 0; k < 7; ++k)
        if (present & (1 << k)) form[keys[k]] = value();
      // Names of ASCII and of characters the binary form keeps as UTF-16.
      std::string name = "v" + std::to_string(byte());
      if (byte() % 3 == 0) name += "\xCE\xB1\xF0\x9F\x98\x80";
      entries[name] = byte() % 16 == 0 ? value() : PropertyList(std::move(form));
    }
    PlistDictionary index;
    if (byte() % 8 != 0) index["Length"] = value();
    if (byte() % 8 != 0) index["Entries"] = PropertyList(std::move(entries));
    return PropertyList(std::move(index));
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

bool sameNumber(const std::optional<double>& a, const std::optional<double>& b) {
  if (a.has_value() != b.has_value()) return false;
  return !a || *a == *b || (std::isnan(*a) && std::isnan(*b));
}

bool sameEntry(const KRDataFileBinaryEntry& a, const KRDataFileBinaryEntry& b) {
  return a.offsetInFile == b.offsetInFile && a.type == b.type && a.isAString == b.isAString && a.m == b.m &&
         a.n == b.n && a.o == b.o && sameNumber(a.cachedNumber, b.cachedNumber) && a.cachedString == b.cachedString;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  IndexContents raw;
  readBinaryIndex(std::string_view(reinterpret_cast<const char*>(data), size), raw);

  Recipe recipe(data, size);
  const std::string bytes = serializePropertyList(recipe.index(), PlistFormat::Binary);
  IndexContents fast;
  const IndexReading fastReading = readBinaryIndex(bytes, fast);
  auto parsed = parsePropertyList(bytes);
  if (!parsed) std::abort();
  IndexContents general;
  const IndexReading generalReading = readIndexPropertyList(*parsed, general);
  if (fastReading != generalReading) std::abort();
  if (fastReading != IndexReading::Usable) return 0;
  if (fast.length != general.length || fast.entries.size() != general.entries.size()) std::abort();
  // Both in name order: the general reader's dictionary is sorted, and the
  // binary form keeps that order.
  for (std::size_t i = 0; i < fast.entries.size(); ++i) {
    if (fast.entries[i].first != general.entries[i].first ||
        !sameEntry(fast.entries[i].second, general.entries[i].second))
      std::abort();
  }
  return 0;
}
