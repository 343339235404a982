#include "ElementConversion.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

namespace orrelin {

namespace {

template <typename To, typename From>
To convertOne(From value) {
  if constexpr (std::is_floating_point_v<To>) {
    if constexpr (std::is_same_v<To, float> && std::is_same_v<From, double>) {
      // Beyond the float range the value becomes an infinity of its sign.
      if (value > std::numeric_limits<float>::max()) return std::numeric_limits<float>::infinity();
      if (value < -std::numeric_limits<float>::max()) return -std::numeric_limits<float>::infinity();
    }
    return static_cast<To>(value);
  } else if constexpr (std::is_floating_point_v<From>) {
    if (std::isnan(value)) return 0;
    if (value >= static_cast<From>(std::numeric_limits<To>::max())) return std::numeric_limits<To>::max();
    if (value <= static_cast<From>(std::numeric_limits<To>::min())) return std::numeric_limits<To>::min();
    return static_cast<To>(value);
  } else {
    using Wide = std::int64_t;
    const Wide v = static_cast<Wide>(value);
    if (v > static_cast<Wide>(std::numeric_limits<To>::max())) return std::numeric_limits<To>::max();
    if (v < static_cast<Wide>(std::numeric_limits<To>::min())) return std::numeric_limits<To>::min();
    return static_cast<To>(v);
  }
}

template <typename From, typename To>
void convertRun(const void* source, To* destination, std::size_t count) {
  const auto* bytes = static_cast<const std::uint8_t*>(source);
  for (std::size_t i = 0; i < count; ++i) {
    From value;
    std::memcpy(&value, bytes + i * sizeof(From), sizeof(From));
    destination[i] = convertOne<To>(value);
  }
}

template <typename To>
void convertTo(KRDataFileKind from, const void* source, To* destination, std::size_t count) {
  switch (from) {
    case KRDataFileKind::Double: convertRun<double>(source, destination, count); break;
    case KRDataFileKind::Float: convertRun<float>(source, destination, count); break;
    case KRDataFileKind::Int: convertRun<std::int32_t>(source, destination, count); break;
    case KRDataFileKind::Short: convertRun<std::int16_t>(source, destination, count); break;
    case KRDataFileKind::UShort: convertRun<std::uint16_t>(source, destination, count); break;
    case KRDataFileKind::Char: convertRun<std::int8_t>(source, destination, count); break;
    case KRDataFileKind::UChar: convertRun<std::uint8_t>(source, destination, count); break;
  }
}

}  // namespace

void convertElements(KRDataFileKind from, const void* source, KRDataFileKind to, void* destination,
                     std::size_t count) {
  switch (to) {
    case KRDataFileKind::Double: convertTo(from, source, static_cast<double*>(destination), count); break;
    case KRDataFileKind::Float: convertTo(from, source, static_cast<float*>(destination), count); break;
    case KRDataFileKind::Int: convertTo(from, source, static_cast<std::int32_t*>(destination), count); break;
    case KRDataFileKind::Short: convertTo(from, source, static_cast<std::int16_t*>(destination), count); break;
    case KRDataFileKind::UShort: convertTo(from, source, static_cast<std::uint16_t*>(destination), count); break;
    case KRDataFileKind::Char: convertTo(from, source, static_cast<std::int8_t*>(destination), count); break;
    case KRDataFileKind::UChar: convertTo(from, source, static_cast<std::uint8_t*>(destination), count); break;
  }
}

}  // namespace orrelin
