#pragma once
// A reference-counted holder of one MVShortArray (see KRArrayContainer.h).

#include "numeric/KRArrayContainer.h"

namespace orrelin {

inline constexpr ContainerInfo kShortContainerInfo{"KRShortArrayContainer",
                                                   "short int",
                                                   "short",
                                                   "Short",
                                                   "short",
                                                   false,
                                                   "Failed at converting an array (sizes didn't match)."};

class KRShortArrayContainer final
    : public KRArrayContainer<KRShortArrayContainer, MVShortArray, kShortContainerInfo> {
 public:
  using KRArrayContainer::KRArrayContainer;
};

}  // namespace orrelin
