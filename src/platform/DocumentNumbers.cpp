// The printing of numbers in PDF and PostScript documents.
//
// cairo writes every coordinate of a document's content with snprintf, as
// "%f", or "%.*f" and "%.18f" for numbers below 0.1 (then trims the zeros).
// glibc prints a double in fixed notation with multi-precision arithmetic,
// a few thousand instructions a number: for a small plot that is an eighth
// of the whole job, for a large one a tenth. cairo is built with fortified
// string functions, so it calls __snprintf_chk; the program gives its own,
// which the dynamic loader binds every library's calls to because the
// executable comes first in the lookup order. A format that is one of those
// three, with a finite number, in a locale whose decimal point is ".", is
// printed here: exactly in integers when the scaled number fits 64 bits,
// otherwise with std::to_chars. Both give the characters glibc gives (the
// exact binary value rounded half to even; the standard defines to_chars
// with a precision as printf's "%.*f" in the C locale). Every other call
// goes on to glibc unchanged, the buffer check included.

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include <langinfo.h>

#include "platform/DocumentNumbers.h"

extern "C" int __vsnprintf_chk(char* s, std::size_t maxlen, int flag, std::size_t slen, const char* format,
                               va_list arguments);

namespace orrelin {

namespace {

// "%.*f" can ask for any precision; beyond this the call goes to glibc.
constexpr int kMostDecimals = 40;
// 309 digits before the point of the largest double, the point, the
// decimals, a sign.
constexpr std::size_t kLongestFixed = 309 + 1 + kMostDecimals + 1;

enum class FixedFormat { None, Default, Given, Star };

// Which of the fixed formats the text is, with the precision of "%.Nf".
FixedFormat fixedFormat(const char* format, int& precision) {
  if (format[0] != '%') return FixedFormat::None;
  if (format[1] == 'f' && format[2] == 0) return FixedFormat::Default;
  if (format[1] != '.') return FixedFormat::None;
  if (format[2] == '*' && format[3] == 'f' && format[4] == 0) return FixedFormat::Star;
  int digits = 0;
  precision = 0;
  const char* p = format + 2;
  for (; *p >= '0' && *p <= '9' && digits < 3; ++p, ++digits) precision = precision * 10 + (*p - '0');
  if (digits == 0 || p[0] != 'f' || p[1] != 0) return FixedFormat::None;
  return FixedFormat::Given;
}

bool decimalPointIsDot() {
  const char* point = nl_langinfo(RADIXCHAR);
  return point[0] == '.' && point[1] == 0;
}

// Whether a number in a fixed format is printed here rather than by glibc.
bool printsItself(double value, int precision) {
  return std::isfinite(value) && precision >= 0 && precision <= kMostDecimals && decimalPointIsDot();
}

constexpr std::uint64_t kPowersOfTen[] = {1ull,
                                          10ull,
                                          100ull,
                                          1000ull,
                                          10000ull,
                                          100000ull,
                                          1000000ull,
                                          10000000ull,
                                          100000000ull,
                                          1000000000ull,
                                          10000000000ull,
                                          100000000000ull,
                                          1000000000000ull,
                                          10000000000000ull,
                                          100000000000000ull,
                                          1000000000000000ull,
                                          10000000000000000ull,
                                          100000000000000000ull,
                                          1000000000000000000ull,
                                          10000000000000000000ull};

// The common case in integers: a double is m * 2^e exactly, so value *
// 10^precision is m * 10^precision * 2^e, which 128 bits hold for
// precisions up to 19; shifting it right rounds half to even on the bits
// shifted out, as printf rounds the exact value. Gives the digits of the
// rounded |value| * 10^precision (false when they do not fit 64 bits).
bool scaledDigits(double value, int precision, std::uint64_t& digits) {
  if (precision > 19) return false;
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  const int field = int((bits >> 52) & 0x7FF);
  std::uint64_t mantissa = bits & ((std::uint64_t(1) << 52) - 1);
  int exponent = -1074;
  if (field != 0) {
    mantissa |= std::uint64_t(1) << 52;
    exponent = field - 1075;
  }
  using Wide = unsigned __int128;
  const Wide scaled = Wide(mantissa) * kPowersOfTen[precision];  // below 2^117
  Wide rounded;
  if (exponent >= 0) {
    if (exponent > 11) return false;
    rounded = scaled << exponent;
  } else if (-exponent >= 127) {
    rounded = 0;  // less than half of the last decimal
  } else {
    const int shift = -exponent;
    rounded = scaled >> shift;
    const Wide rest = scaled & ((Wide(1) << shift) - 1);
    const Wide half = Wide(1) << (shift - 1);
    if (rest > half || (rest == half && (rounded & 1))) ++rounded;
  }
  if (rounded >> 64) return false;
  digits = std::uint64_t(rounded);
  return true;
}

// The text of a finite value with `precision` decimals.
std::size_t fixedText(double value, int precision, char* text, std::size_t size) {
  std::uint64_t digits;
  if (!scaledDigits(value, precision, digits)) {
    const auto [end, error] = std::to_chars(text, text + size, value, std::chars_format::fixed, precision);
    return error == std::errc() ? std::size_t(end - text) : 0;
  }
  char* p = text;
  if (std::signbit(value)) *p++ = '-';
  // At least one digit before the point.
  char number[24];
  const std::size_t count = std::size_t(std::to_chars(number, number + sizeof number, digits).ptr - number);
  const std::size_t whole = std::size_t(precision) + 1;
  const std::size_t zeros = count < whole ? whole - count : 0;
  const std::size_t all = zeros + count;
  char* start = p;
  std::memset(p, '0', zeros);
  std::memcpy(p + zeros, number, count);
  if (precision > 0) {
    // The decimals move one to the right to make room for the point.
    char* point = start + (all - std::size_t(precision));
    std::memmove(point + 1, point, std::size_t(precision));
    *point = '.';
    return std::size_t(start - text) + all + 1;
  }
  return std::size_t(start - text) + all;
}

}  // namespace

int printFixed(char* out, std::size_t size, double value, int precision) {
  char text[kLongestFixed];
  const std::size_t length = fixedText(value, precision, text, sizeof text);
  if (length == 0) return -1;
  if (size > 0) {
    const std::size_t kept = length < size ? length : size - 1;
    std::memcpy(out, text, kept);
    out[kept] = 0;
  }
  return int(length);
}

bool documentNumbersReady() { return true; }

}  // namespace orrelin

extern "C" int __snprintf_chk(char* s, std::size_t maxlen, int flag, std::size_t slen, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  int precision = 6;
  const orrelin::FixedFormat kind = format && maxlen <= slen ? orrelin::fixedFormat(format, precision)
                                                             : orrelin::FixedFormat::None;
  if (kind != orrelin::FixedFormat::None) {
    // The arguments are only read once the format is known to take them.
    va_list copy;
    va_copy(copy, arguments);
    if (kind == orrelin::FixedFormat::Star) precision = va_arg(copy, int);
    const double value = va_arg(copy, double);
    va_end(copy);
    if (orrelin::printsItself(value, precision)) {
      va_end(arguments);
      return orrelin::printFixed(s, maxlen, value, precision);
    }
  }
  const int written = __vsnprintf_chk(s, maxlen, flag, slen, format, arguments);
  va_end(arguments);
  return written;
}
