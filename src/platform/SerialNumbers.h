#pragma once

#include <cstdint>

namespace orrelin {

// Process-wide unique numbers, 1, 2, 3, ... handed out under a lock; drawing
// objects take their serial numbers from here.
std::int64_t nextUniqueSerialNumber();

}  // namespace orrelin
