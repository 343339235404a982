#pragma once
// The printing of numbers in PDF and PostScript documents (see
// DocumentNumbers.cpp for how cairo's number printing is taken over).

#include <cstddef>

namespace orrelin {

// Prints value with `precision` decimals as snprintf's "%.*f" does in the C
// locale: at most size - 1 characters and a terminating zero into out; gives
// the length of the whole text (or -1 for a precision to_chars cannot give).
int printFixed(char* out, std::size_t size, double value, int precision);

// Always true. The document targets call it, which keeps the replacement
// linked into every program that writes documents.
bool documentNumbersReady();

}  // namespace orrelin
