#pragma once
// A reference-counted holder of one UCharArray (see KRArrayContainer.h).

#include "numeric/KRArrayContainer.h"

namespace orrelin {

inline constexpr ContainerInfo kUCharContainerInfo{"KRUCharArrayContainer",
                                                   "char",
                                                   "unsigned character",
                                                   "UChar",
                                                   "unsigned character",
                                                   false,
                                                   "Failed at converting an array (sizes did not match)."};

class KRUCharArrayContainer final
    : public KRArrayContainer<KRUCharArrayContainer, UCharArray, kUCharContainerInfo> {
 public:
  using KRArrayContainer::KRArrayContainer;
};

}  // namespace orrelin
