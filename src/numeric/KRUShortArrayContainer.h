#pragma once
// A reference-counted holder of one MVUShortArray (see KRArrayContainer.h).

#include "numeric/KRArrayContainer.h"

namespace orrelin {

inline constexpr ContainerInfo kUShortContainerInfo{"KRUShortArrayContainer",
                                                    "short int",
                                                    "unsigned short",
                                                    "UShort",
                                                    "unsigned short",
                                                    false,
                                                    "Failed at converting an array (sizes didn't match)."};

class KRUShortArrayContainer final
    : public KRArrayContainer<KRUShortArrayContainer, MVUShortArray, kUShortContainerInfo> {
 public:
  using KRArrayContainer::KRArrayContainer;
};

}  // namespace orrelin
