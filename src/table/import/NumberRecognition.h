#pragma once
// Whether an imported text is a number, and which. The rules, in order:
// commas, blanks, "$", double quotes and parentheses around the text do not
// count; blanks and tabs before it neither; a text that starts with "$" is a
// currency value whose commas group thousands; the rest is read as a formula
// that must give one value. A formula that gives two values and has a comma
// is read once more with the comma as the decimal separator (1.234,5 is
// 1234.5). So 12, -3.5e2, 1/3 and pi are numbers and abc is not.
//
// Plain decimal numbers, the bulk of every data file, are read directly; the
// formula reader gives the same value for them.

#include <optional>
#include <string_view>

namespace orrelin {

std::optional<double> numberFromImportedText(std::string_view text);
bool understandsAsNumber(std::string_view text);

// The same without the direct reading of plain numbers: every text goes
// through the formula reader. For checking that the two agree.
std::optional<double> numberFromImportedTextByFormula(std::string_view text);

// A plain decimal number (an optional sign, digits with at most one point,
// an optional exponent) and nothing else; none for anything else, and for
// numbers too large or too small for a double, which the formula reader
// decides.
std::optional<double> plainDecimalNumber(std::string_view text);

}  // namespace orrelin
