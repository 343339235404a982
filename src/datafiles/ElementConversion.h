#pragma once
// Converting elements from the type a variable was saved as to the type a
// reader asks for. Integers and floats widen exactly; narrowing saturates at
// the limits of the result type and takes NaN as 0, so no value of a file can
// lead to an undefined conversion.

#include <cstddef>

#include "datafiles/BinaryFormat.h"

namespace orrelin {

void convertElements(KRDataFileKind from, const void* source, KRDataFileKind to, void* destination,
                     std::size_t count);

}  // namespace orrelin
