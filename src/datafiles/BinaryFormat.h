#pragma once
// The byte layout of a binary data file: a 24-byte magic naming the byte
// order, then entries one after the other, each a 28-byte header, the
// zero-terminated name and the elements in column-major order.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orrelin {

// The element type of a variable as the rest of the system sees it; the
// numbers are those kept in the index file.
enum class KRDataFileKind : int {
  Double = 0,
  Float = 1,
  Int = 2,
  Short = 3,
  UShort = 4,
  Char = 5,
  UChar = 6,
};

namespace binaryformat {

constexpr std::size_t kMagicSize = 24;
constexpr std::size_t kHeaderSize = 28;
// A name takes 1 to 255 bytes with its terminating zero.
constexpr int kMaximumNameLength = 255;

constexpr std::string_view kMagicBigEndian{"Mirovane Binary File BE\0", kMagicSize};
constexpr std::string_view kMagicLittleEndian{"Mirovane Binary File LE\0", kMagicSize};
// The first version of the format, always big-endian.
constexpr std::string_view kMagicVersion1{"Mirovane Binary File v1\0", kMagicSize};

constexpr bool kHostIsLittleEndian = std::endian::native == std::endian::little;
constexpr std::string_view kHostMagic = kHostIsLittleEndian ? kMagicLittleEndian : kMagicBigEndian;

// Type codes of the file.
constexpr std::int32_t kTypeDouble = 1;
constexpr std::int32_t kTypeFloat = 2;
constexpr std::int32_t kTypeInt = 8;
constexpr std::int32_t kTypeUShort = 9;
constexpr std::int32_t kTypeShort = 10;
constexpr std::int32_t kTypeUChar = 11;
constexpr std::int32_t kTypeChar = 12;
constexpr std::int32_t kTypeString = 20;

struct TypeInfo {
  KRDataFileKind kind;
  bool isString;
};

// None for a code the format does not define.
std::optional<TypeInfo> typeInfoForCode(std::int32_t typeCode);
std::int32_t typeCodeFor(KRDataFileKind kind, bool isString);
std::size_t elementSize(KRDataFileKind kind);
// Whether the value is one of the seven kinds.
bool isValidKind(int kind);

// "A double precision array (3x2x1)." and its siblings.
std::string descriptionText(KRDataFileKind kind, bool isString, std::int32_t m, std::int32_t n, std::int32_t o);

// The magic at the start of a file decides the byte order of the rest.
enum class MagicOrder { Host, Swapped, Unknown };
MagicOrder classifyMagic(std::string_view first24Bytes);

struct EntryHeader {
  std::int64_t entryLength = 0;
  std::int32_t typeCode = 0;
  std::int32_t m = 0;
  std::int32_t n = 0;
  std::int32_t o = 0;
  std::int32_t nameLength = 0;
};

// Reads or writes the 28 header bytes; swap turns every field around.
EntryHeader decodeHeader(const std::uint8_t* bytes, bool swap);
void encodeHeader(const EntryHeader& header, std::uint8_t* bytes);
// Turns the six fields of an encoded header around in place.
void swapHeader(std::uint8_t* bytes);

// Turns every element of the given size around in place; sizes other than
// 1, 2, 4 and 8 are refused ("Invalid unit size").
bool swapElements(void* data, std::size_t count, std::size_t unitSize);

inline std::uint16_t swapped16(std::uint16_t v) { return __builtin_bswap16(v); }
inline std::uint32_t swapped32(std::uint32_t v) { return __builtin_bswap32(v); }
inline std::uint64_t swapped64(std::uint64_t v) { return __builtin_bswap64(v); }

// The element bytes of a variable, or none when m·n·o·size does not fit in
// 63 bits (only a damaged header asks for that).
std::optional<std::uint64_t> dataBytes(std::int32_t m, std::int32_t n, std::int32_t o, std::size_t elementSize);

}  // namespace binaryformat
}  // namespace orrelin
