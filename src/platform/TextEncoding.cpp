#include "TextEncoding.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <vector>

namespace orrelin {

namespace {

struct Converter {
  UConverter* handle = nullptr;
  explicit Converter(const char* name) {
    UErrorCode status = U_ZERO_ERROR;
    handle = ucnv_open(name, &status);
    if (U_FAILURE(status)) handle = nullptr;
  }
  ~Converter() {
    if (handle) ucnv_close(handle);
  }
};

// Converts through UTF-16 between two ICU converters, substituting "?".
std::string convert(std::string_view input, const char* from, const char* to) {
  Converter source(from), target(to);
  if (!source.handle || !target.handle) return std::string(input);
  UErrorCode status = U_ZERO_ERROR;
  ucnv_setSubstChars(target.handle, "?", 1, &status);
  status = U_ZERO_ERROR;
  ucnv_setToUCallBack(source.handle, UCNV_TO_U_CALLBACK_SUBSTITUTE, nullptr, nullptr, nullptr, &status);
  status = U_ZERO_ERROR;
  std::vector<char> output(input.size() * 4 + 16);
  char* out = output.data();
  const char* in = input.data();
  ucnv_convertEx(target.handle, source.handle, &out, output.data() + output.size(), &in,
                 input.data() + input.size(), nullptr, nullptr, nullptr, nullptr, true, true, &status);
  if (U_FAILURE(status)) return std::string(input);
  return std::string(output.data(), static_cast<std::size_t>(out - output.data()));
}

}  // namespace

std::string convertToMacOSRoman(std::string_view utf8) {
  return convert(utf8, "UTF-8", "macintosh");
}

bool isValidUTF8(std::string_view text) {
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = 0;
  if (text.size() > INT32_MAX) return false;
  u_strFromUTF8(nullptr, 0, &length, text.data(), static_cast<int32_t>(text.size()), &status);
  return status == U_BUFFER_OVERFLOW_ERROR || status == U_STRING_NOT_TERMINATED_WARNING || U_SUCCESS(status);
}

std::u16string utf16ReplacingInvalidUTF8(std::string_view text) {
  if (text.size() >= INT32_MAX) return std::u16string();
  // Never more UTF-16 units than UTF-8 bytes.
  std::u16string wide(text.size(), u'\0');
  int32_t wideLength = 0, substitutions = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8WithSub(wide.data(), static_cast<int32_t>(wide.size()), &wideLength, text.data(),
                       static_cast<int32_t>(text.size()), 0xFFFD, &substitutions, &status);
  if (U_FAILURE(status)) return std::u16string();
  wide.resize(static_cast<std::size_t>(wideLength));
  return wide;
}

std::string replacingInvalidUTF8(std::string_view text) {
  if (isValidUTF8(text)) return std::string(text);
  const std::u16string wide = utf16ReplacingInvalidUTF8(text);
  std::string result(wide.size() * 3 + 1, '\0');
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strToUTF8(result.data(), static_cast<int32_t>(result.size()), &length, wide.data(),
              static_cast<int32_t>(wide.size()), &status);
  if (U_FAILURE(status)) return std::string();
  result.resize(static_cast<std::size_t>(length));
  return result;
}

std::string convertFromMacOSRoman(std::string_view bytes) { return convert(bytes, "macintosh", "UTF-8"); }

}  // namespace orrelin
