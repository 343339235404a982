#include "table/import/TextDecoding.h"

#include <unicode/ucnv.h>
#include <unicode/ucsdet.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <optional>

#include "platform/TextEncoding.h"

namespace orrelin {

namespace {

// Below this confidence (0-100) the detector's guess is not taken.
constexpr int32_t kDetectorConfidence = 30;
// The detector looks at this many bytes from the start.
constexpr std::size_t kDetectorSample = 1 << 16;

bool startsWith(std::string_view bytes, std::string_view prefix) { return bytes.substr(0, prefix.size()) == prefix; }

// Whether the bytes are well-formed UTF-8.
bool wellFormedUTF8(std::string_view bytes) {
  bool malformed = false;
  return wellFormedUTF8Length(bytes, malformed) == bytes.size() && !malformed;
}

void appendUTF8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out.push_back(char(code));
  } else if (code < 0x800) {
    out.push_back(char(0xC0 | (code >> 6)));
    out.push_back(char(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(char(0xE0 | (code >> 12)));
    out.push_back(char(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(char(0x80 | (code & 0x3F)));
  } else {
    out.push_back(char(0xF0 | (code >> 18)));
    out.push_back(char(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(char(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(char(0x80 | (code & 0x3F)));
  }
}

// The detector's best guess, or "" when it has none it is sure enough of.
std::string detectedCharset(std::string_view bytes) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<UCharsetDetector, decltype(&ucsdet_close)> detector(ucsdet_open(&status), ucsdet_close);
  if (U_FAILURE(status)) return {};
  const std::string_view sample = bytes.substr(0, kDetectorSample);
  ucsdet_setText(detector.get(), sample.data(), int32_t(sample.size()), &status);
  const UCharsetMatch* match = ucsdet_detect(detector.get(), &status);
  if (U_FAILURE(status) || !match) return {};
  const int32_t confidence = ucsdet_getConfidence(match, &status);
  const char* name = ucsdet_getName(match, &status);
  if (U_FAILURE(status) || !name || confidence < kDetectorConfidence) return {};
  return name;
}

// The bytes in the named charset as UTF-8; none when ICU has no converter
// for it. Bytes the charset cannot map become U+FFFD.
std::optional<std::string> convertToUTF8(std::string_view bytes, const std::string& charset) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<UConverter, decltype(&ucnv_close)> source(ucnv_open(charset.c_str(), &status), ucnv_close);
  if (U_FAILURE(status)) return std::nullopt;
  std::unique_ptr<UConverter, decltype(&ucnv_close)> target(ucnv_open("UTF-8", &status), ucnv_close);
  if (U_FAILURE(status)) return std::nullopt;
  std::string output;
  output.reserve(bytes.size() + bytes.size() / 2 + 16);
  const char* in = bytes.data();
  const char* inEnd = in + bytes.size();
  char block[1 << 16];
  UChar pivot[1 << 12];
  UChar* pivotSource = pivot;
  UChar* pivotTarget = pivot;
  bool reset = true;
  for (;;) {
    char* out = block;
    status = U_ZERO_ERROR;
    ucnv_convertEx(target.get(), source.get(), &out, block + sizeof block, &in, inEnd, pivot, &pivotSource,
                   &pivotTarget, pivot + std::size(pivot), reset, true, &status);
    reset = false;
    output.append(block, std::size_t(out - block));
    if (status == U_BUFFER_OVERFLOW_ERROR) continue;
    if (U_FAILURE(status)) return std::nullopt;
    return output;
  }
}

bool hasMacRomanLetters(std::string_view bytes) {
  return std::any_of(bytes.begin(), bytes.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x80 && b <= 0x9F;
  });
}

}  // namespace

std::size_t wellFormedUTF8Length(std::string_view bytes, bool& malformed) {
  malformed = false;
  const auto* begin = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* p = begin;
  const auto* end = p + bytes.size();
  while (p < end) {
    // Plain ASCII, the bulk of data files, is checked eight bytes at a time.
    if (end - p >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p, 8);
      if ((word & 0x8080808080808080ull) == 0) {
        p += 8;
        continue;
      }
    }
    const unsigned char c = *p;
    if (c < 0x80) {
      ++p;
      continue;
    }
    int length;
    std::uint32_t lowest;
    if ((c & 0xE0) == 0xC0) {
      length = 2, lowest = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
      length = 3, lowest = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
      length = 4, lowest = 0x10000;
    } else {
      malformed = true;
      break;
    }
    const int available = int(std::min<std::ptrdiff_t>(end - p, length));
    std::uint32_t code = c & (0x7F >> length);
    for (int k = 1; k < available; ++k) {
      if ((p[k] & 0xC0) != 0x80) {
        malformed = true;
        return std::size_t(p - begin);
      }
      code = (code << 6) | (p[k] & 0x3F);
    }
    // A character cut off by the end of the bytes may be finished by the
    // bytes that follow.
    if (available < length) break;
    if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      malformed = true;
      break;
    }
    p += length;
  }
  return std::size_t(p - begin);
}

std::string utf8FromUTF16(std::string_view bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  const std::size_t units = bytes.size() / 2;
  const auto unit = [&](std::size_t k) -> std::uint32_t {
    const auto a = static_cast<unsigned char>(bytes[2 * k]);
    const auto b = static_cast<unsigned char>(bytes[2 * k + 1]);
    return bigEndian ? (std::uint32_t(a) << 8 | b) : (std::uint32_t(b) << 8 | a);
  };
  for (std::size_t k = 0; k < units; ++k) {
    const std::uint32_t u = unit(k);
    if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units) {
      const std::uint32_t low = unit(k + 1);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        appendUTF8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        ++k;
        continue;
      }
    }
    appendUTF8(out, (u >= 0xD800 && u <= 0xDFFF) ? 0xFFFD : u);
  }
  return out;
}

DecodedText decodeText(std::string bytes) {
  if (startsWith(bytes, "\xEF\xBB\xBF")) {
    bytes.erase(0, 3);
    if (!wellFormedUTF8(bytes)) bytes = replacingInvalidUTF8(bytes);
    return {std::move(bytes), "UTF-8"};
  }
  if (startsWith(bytes, "\xFF\xFE")) return {utf8FromUTF16(std::string_view(bytes).substr(2), false), "UTF-16LE"};
  if (startsWith(bytes, "\xFE\xFF")) return {utf8FromUTF16(std::string_view(bytes).substr(2), true), "UTF-16BE"};
  if (wellFormedUTF8(bytes)) return {std::move(bytes), "UTF-8"};
  std::string charset = detectedCharset(bytes);
  if (!charset.empty() && charset != "UTF-8") {
    if (auto converted = convertToUTF8(bytes, charset)) return {std::move(*converted), charset};
  }
  charset = hasMacRomanLetters(bytes) ? "macintosh" : "ISO-8859-1";
  if (auto converted = convertToUTF8(bytes, charset)) return {std::move(*converted), charset};
  return {replacingInvalidUTF8(bytes), "UTF-8"};
}

}  // namespace orrelin
