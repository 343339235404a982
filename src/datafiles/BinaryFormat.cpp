#include "BinaryFormat.h"

#include <cstdio>
#include <cstring>

#include "datafiles/DataFileMessages.h"

namespace orrelin::binaryformat {

std::optional<TypeInfo> typeInfoForCode(std::int32_t typeCode) {
  switch (typeCode) {
    case kTypeDouble: return TypeInfo{KRDataFileKind::Double, false};
    case kTypeFloat: return TypeInfo{KRDataFileKind::Float, false};
    case kTypeInt: return TypeInfo{KRDataFileKind::Int, false};
    case kTypeShort: return TypeInfo{KRDataFileKind::Short, false};
    case kTypeUShort: return TypeInfo{KRDataFileKind::UShort, false};
    case kTypeChar: return TypeInfo{KRDataFileKind::Char, false};
    case kTypeUChar: return TypeInfo{KRDataFileKind::UChar, false};
    case kTypeString: return TypeInfo{KRDataFileKind::UChar, true};
    default: return std::nullopt;
  }
}

std::int32_t typeCodeFor(KRDataFileKind kind, bool isString) {
  if (isString) return kTypeString;
  switch (kind) {
    case KRDataFileKind::Double: return kTypeDouble;
    case KRDataFileKind::Float: return kTypeFloat;
    case KRDataFileKind::Int: return kTypeInt;
    case KRDataFileKind::Short: return kTypeShort;
    case KRDataFileKind::UShort: return kTypeUShort;
    case KRDataFileKind::Char: return kTypeChar;
    case KRDataFileKind::UChar: return kTypeUChar;
  }
  return 0;
}

std::size_t elementSize(KRDataFileKind kind) {
  switch (kind) {
    case KRDataFileKind::Double: return 8;
    case KRDataFileKind::Float:
    case KRDataFileKind::Int: return 4;
    case KRDataFileKind::Short:
    case KRDataFileKind::UShort: return 2;
    case KRDataFileKind::Char:
    case KRDataFileKind::UChar: return 1;
  }
  return 0;
}

bool isValidKind(int kind) { return kind >= 0 && kind <= 6; }

std::string descriptionText(KRDataFileKind kind, bool isString, std::int32_t m, std::int32_t n, std::int32_t o) {
  const char* format = nullptr;
  if (isString) {
    format = "A string with size (%dx%dx%d).";
  } else {
    switch (kind) {
      case KRDataFileKind::Double: format = "A double precision array (%dx%dx%d)."; break;
      case KRDataFileKind::Float: format = "A single precision array (%dx%dx%d)."; break;
      case KRDataFileKind::Int: format = "A 4 byte integer array (%dx%dx%d)."; break;
      case KRDataFileKind::Short: format = "A 2 byte signed integer array (%dx%dx%d)."; break;
      case KRDataFileKind::UShort: format = "A 2 byte unsigned integer array (%dx%dx%d)."; break;
      case KRDataFileKind::Char: format = "A 1 byte integer array (%dx%dx%d)."; break;
      case KRDataFileKind::UChar: format = "A 1 byte unsigned integer array (%dx%dx%d)."; break;
    }
  }
  if (!format) return messages::unknownVariableType();
  char text[128];
  std::snprintf(text, sizeof text, format, m, n, o);
  return text;
}

MagicOrder classifyMagic(std::string_view first24Bytes) {
  if (first24Bytes.size() < kMagicSize) return MagicOrder::Unknown;
  first24Bytes = first24Bytes.substr(0, kMagicSize);
  if (first24Bytes == kHostMagic) return MagicOrder::Host;
  if (first24Bytes == (kHostIsLittleEndian ? kMagicBigEndian : kMagicLittleEndian)) return MagicOrder::Swapped;
  if (first24Bytes == kMagicVersion1) return kHostIsLittleEndian ? MagicOrder::Swapped : MagicOrder::Host;
  return MagicOrder::Unknown;
}

namespace {

template <typename T>
T load(const std::uint8_t* bytes, bool swap) {
  T value;
  std::memcpy(&value, bytes, sizeof value);
  if (!swap) return value;
  if constexpr (sizeof(T) == 4) {
    return static_cast<T>(swapped32(static_cast<std::uint32_t>(value)));
  } else {
    return static_cast<T>(swapped64(static_cast<std::uint64_t>(value)));
  }
}

template <typename T>
void store(T value, std::uint8_t* bytes) {
  std::memcpy(bytes, &value, sizeof value);
}

template <typename T, typename Swap>
void swapAll(void* data, std::size_t count, Swap swap) {
  auto* bytes = static_cast<std::uint8_t*>(data);
  for (std::size_t i = 0; i < count; ++i) {
    T unit;
    std::memcpy(&unit, bytes + i * sizeof(T), sizeof(T));
    unit = swap(unit);
    std::memcpy(bytes + i * sizeof(T), &unit, sizeof(T));
  }
}

}  // namespace

EntryHeader decodeHeader(const std::uint8_t* bytes, bool swap) {
  EntryHeader header;
  header.entryLength = load<std::int64_t>(bytes, swap);
  header.typeCode = load<std::int32_t>(bytes + 8, swap);
  header.m = load<std::int32_t>(bytes + 12, swap);
  header.n = load<std::int32_t>(bytes + 16, swap);
  header.o = load<std::int32_t>(bytes + 20, swap);
  header.nameLength = load<std::int32_t>(bytes + 24, swap);
  return header;
}

void encodeHeader(const EntryHeader& header, std::uint8_t* bytes) {
  store(header.entryLength, bytes);
  store(header.typeCode, bytes + 8);
  store(header.m, bytes + 12);
  store(header.n, bytes + 16);
  store(header.o, bytes + 20);
  store(header.nameLength, bytes + 24);
}

void swapHeader(std::uint8_t* bytes) {
  swapElements(bytes, 1, 8);
  swapElements(bytes + 8, 5, 4);
}

bool swapElements(void* data, std::size_t count, std::size_t unitSize) {
  switch (unitSize) {
    case 1: return true;
    case 2: swapAll<std::uint16_t>(data, count, swapped16); return true;
    case 4: swapAll<std::uint32_t>(data, count, swapped32); return true;
    case 8: swapAll<std::uint64_t>(data, count, swapped64); return true;
    default: return false;
  }
}

std::optional<std::uint64_t> dataBytes(std::int32_t m, std::int32_t n, std::int32_t o, std::size_t size) {
  if (m < 0 || n < 0 || o < 0) return std::nullopt;
  unsigned __int128 total = static_cast<unsigned __int128>(m) * static_cast<unsigned __int128>(n) *
                            static_cast<unsigned __int128>(o) * size;
  if (total > static_cast<unsigned __int128>(INT64_MAX)) return std::nullopt;
  return static_cast<std::uint64_t>(total);
}

}  // namespace orrelin::binaryformat
