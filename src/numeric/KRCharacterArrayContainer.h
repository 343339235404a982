#pragma once
// A reference-counted holder of one CharacterArray (see KRArrayContainer.h).

#include "numeric/KRArrayContainer.h"

namespace orrelin {

inline constexpr ContainerInfo kCharacterContainerInfo{"KRCharacterArrayContainer",
                                                       "char",
                                                       "character",
                                                       "Character",
                                                       "character",
                                                       false,
                                                       "Failed at converting an array (sizes did not match)."};

class KRCharacterArrayContainer final
    : public KRArrayContainer<KRCharacterArrayContainer, CharacterArray, kCharacterContainerInfo> {
 public:
  using KRArrayContainer::KRArrayContainer;
};

}  // namespace orrelin
