#pragma once
// Conversions between UTF-8 and the legacy encodings some outputs still use.

#include <string>
#include <string_view>

namespace orrelin {

// UTF-8 text in Mac OS Roman bytes; characters that encoding lacks, and bytes
// that are not UTF-8, become "?".
std::string convertToMacOSRoman(std::string_view utf8);

// The text with every byte sequence that is not well-formed UTF-8 replaced
// by U+FFFD; well-formed text comes back unchanged.
std::string replacingInvalidUTF8(std::string_view text);
bool isValidUTF8(std::string_view text);
// The text in UTF-16, every sequence that is not well-formed UTF-8 becoming
// U+FFFD.
std::u16string utf16ReplacingInvalidUTF8(std::string_view text);

// Mac OS Roman bytes as UTF-8 text.
std::string convertFromMacOSRoman(std::string_view bytes);

}  // namespace orrelin
