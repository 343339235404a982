#pragma once
// How the bytes of a text file become UTF-8 text: a UTF-8 byte-order mark or
// UTF-8 that is well formed is taken as it is, a UTF-16 byte-order mark
// decides between the two UTF-16 orders, and anything else is given to the
// charset detector; when that is not sure, bytes in 0x80-0x9F (control
// characters in Latin-1, accented letters in Mac OS Roman) choose Mac OS
// Roman, otherwise Latin-1.

#include <string>
#include <string_view>

namespace orrelin {

struct DecodedText {
  std::string text;
  // The encoding the bytes were read in ("UTF-8", "UTF-16LE", "macintosh",
  // "ISO-8859-1", or the detector's name).
  std::string encoding;
};

// Takes the bytes over, so that UTF-8 (the common case) is not copied.
DecodedText decodeText(std::string bytes);

// How many bytes from the start are well-formed UTF-8 ending on a whole
// character. Short of the end either because a character is cut off by the
// end (which the bytes that follow may finish) or, with `malformed` set,
// because the bytes are not UTF-8.
std::size_t wellFormedUTF8Length(std::string_view bytes, bool& malformed);

// UTF-16 code units in the given byte order as UTF-8; an unpaired surrogate
// becomes U+FFFD and an odd last byte is dropped.
std::string utf8FromUTF16(std::string_view bytes, bool bigEndian);

}  // namespace orrelin
