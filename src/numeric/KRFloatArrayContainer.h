#pragma once
// A reference-counted holder of one FloatArray (see KRArrayContainer.h).

#include "numeric/KRArrayContainer.h"

namespace orrelin {

inline constexpr ContainerInfo kFloatContainerInfo{"KRFloatArrayContainer",
                                                   "float",
                                                   "float",
                                                   "Float",
                                                   "floating",
                                                   true,
                                                   "Failed at converting an array (sizes did not match)."};

class KRFloatArrayContainer final
    : public KRArrayContainer<KRFloatArrayContainer, FloatArray, kFloatContainerInfo> {
 public:
  using KRArrayContainer::KRArrayContainer;
  // A float container has no doubles to hand out: both refuse with a message.
  const double* constDoublePointer() const;
  double* mutableDoublePointer();
};

}  // namespace orrelin
