#include "graph/commandbase/KRBoundingRange.h"

namespace orrelin {

KRBoundingRange KRBoundingRange::unionWith(const KRBoundingRange& other) const {
  if (other.isInvalid()) return *this;
  if (isInvalid()) return other;
  if (!other.isValid()) return isValid() ? *this : empty();
  if (!isValid()) return other;
  return {std::min(minR, other.minR), std::max(maxR, other.maxR), false, true};
}

KRBoundingRange KRBoundingRange::intersectionWith(const KRBoundingRange& other) const {
  if (other.isInvalid()) return *this;
  if (isInvalid()) return other;
  if (!isValid() || !other.isValid()) return empty();
  const double low = std::max(minR, other.minR);
  const double high = std::min(maxR, other.maxR);
  if (low > high) return empty();
  return {low, high, false, true};
}

}  // namespace orrelin
