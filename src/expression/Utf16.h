#pragma once
// Formulas are typed as UTF-8 but positions inside them count UTF-16 code
// units, the unit the editing fields of the application use. These helpers
// convert between the two without depending on a locale.

#include <string>
#include <string_view>

namespace orrelin {

// Bytes that are not well-formed UTF-8 become U+FFFD, one per bad byte.
std::u16string utf16FromUtf8(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string utf8FromUtf16(std::u16string_view text);

}  // namespace orrelin
