#pragma once
// A reference-counted holder of one DoubleArray (see KRArrayContainer.h).

#include "numeric/KRArrayContainer.h"

namespace orrelin {

inline constexpr ContainerInfo kDoubleContainerInfo{"KRDoubleArrayContainer",
                                                    "double",
                                                    "double",
                                                    "Double",
                                                    "double",
                                                    true,
                                                    "Failed at converting an array (sizes did not match)."};

class KRDoubleArrayContainer final
    : public KRArrayContainer<KRDoubleArrayContainer, DoubleArray, kDoubleContainerInfo> {
 public:
  using KRArrayContainer::KRArrayContainer;
  const double* constDoublePointer() const { return constPointer(); }
  double* mutableDoublePointer() { return mutablePointer(); }
  bool isEqualToDoubleArray(const KRDoubleArrayContainer& other) const { return isEqualTo(other); }
};

}  // namespace orrelin
