#pragma once
// A reference-counted holder of one IntArray (see KRArrayContainer.h).

#include "numeric/KRArrayContainer.h"

namespace orrelin {

inline constexpr ContainerInfo kIntContainerInfo{"KRIntArrayContainer",
                                                 "int",
                                                 "integer",
                                                 "Integer",
                                                 "integer",
                                                 false,
                                                 "Failed at converting an array (sizes didn't match)."};

class KRIntArrayContainer final : public KRArrayContainer<KRIntArrayContainer, IntArray, kIntContainerInfo> {
 public:
  using KRArrayContainer::KRArrayContainer;
};

}  // namespace orrelin
