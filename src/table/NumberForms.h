#pragma once
// The printed forms a number's text can take ("%.{d}f", "%.{d}e", a plain
// integer), each with a one-byte code. A cell whose text is exactly what its
// form gives for the cell's number need not keep the text: the code and the
// number make it again, byte for byte.
//
// A text is given a form only when its shape alone says that the number read
// from it (correctly rounded) prints back to it: canonical digits, at most
// fifteen significant digits, and a power of ten in the normal range of a
// double.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace orrelin::number_forms {

// The text is kept as it is.
constexpr std::uint8_t kKept = 0;
// The empty text; no number is needed to make it.
constexpr std::uint8_t kEmpty = 1;
// "%.{d}f" for d = code - kFixed (d = 0 is a plain integer).
constexpr std::uint8_t kFixed = 2;
constexpr int kMostFixedDecimals = 20;
// "%.{d}e" for d = code - kExponent.
constexpr std::uint8_t kExponent = 64;
constexpr int kMostExponentDecimals = 14;

// Room enough for any text a form makes.
constexpr std::size_t kLongestText = 48;

// The form the text is in, kKept when it is in none (or an empty text:
// kEmpty).
std::uint8_t formOfText(std::string_view text);
// The same, and for a text in a form (kFixed or above) its number, as the
// decimal reader gives it (correctly rounded), in the same pass.
std::uint8_t readInForm(std::string_view text, double& value);
// The number in a form that starts at p, read as far as it goes (to the
// first character that cannot go on it, or to end): gives where it stops,
// with its form (kFixed or above) and, when asked for, its number; null
// when what starts there is not a number in a form. A text is in a form
// exactly when this reads all of it.
const char* readFormAt(const char* p, const char* end, std::uint8_t& form, double* value);
// The text of the number in the form (not kKept); writes at most
// kLongestText characters and gives their count.
std::size_t writeInForm(std::uint8_t form, double value, char* out);

}  // namespace orrelin::number_forms
