#pragma once
// The source text of a small standalone C program that prints the variables
// of a binary data file. Every package whose "Binary" folder a save creates
// carries a copy as "converter.c", so the numbers stay readable without this
// application.

#include <string_view>

namespace orrelin {

std::string_view binaryConverterSource();

}  // namespace orrelin
