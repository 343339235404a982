#pragma once
// Formulas are typed as UTF-8 but positions inside them count UTF-16 code
// units, the unit the editing fields of the application use. The way there
// is utf16ReplacingInvalidUTF8 (platform/TextEncoding.h); this is the way
// back, without depending on a locale.

#include <string>
#include <string_view>

namespace orrelin {

// Unpaired surrogates become U+FFFD.
std::string utf8FromUtf16(std::u16string_view text);

}  // namespace orrelin
