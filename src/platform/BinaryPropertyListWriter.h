#pragma once
// Writes the binary property-list form ("bplist00"): every object once, in
// a table of offsets after them. Equal leaves (texts, numbers, dates, data)
// are stored once and referred to from every place they occur, so a list of
// many records with the same keys stays small; the work grows linearly with
// the size of the tree.

#include <string>

#include "platform/PropertyList.h"

namespace orrelin {

// Text that is not valid UTF-8 is stored with U+FFFD in place of the bad
// bytes: the binary form holds text only as ASCII or UTF-16.
std::string writeBinaryPropertyList(const PropertyList& value);

}  // namespace orrelin
