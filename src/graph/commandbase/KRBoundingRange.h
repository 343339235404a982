#pragma once
// The range a command reports to the layout along one axis. "Invalid" means
// nothing is known, "empty" that the range is known to hold nothing; union and
// intersection ignore invalid ranges.

#include <algorithm>

namespace orrelin {

struct KRBoundingRange {
  double minR = 0;
  double maxR = 0;
  bool isEmpty = true;
  bool couldBeFound = false;

  static KRBoundingRange invalid() { return {}; }
  static KRBoundingRange empty() { return {0, 0, true, true}; }
  // The range between the two values, in either order.
  static KRBoundingRange between(double a, double b) { return {std::min(a, b), std::max(a, b), false, true}; }

  bool isInvalid() const { return isEmpty && !couldBeFound; }
  bool isValid() const { return !isEmpty && couldBeFound && minR <= maxR; }
  double width() const { return isValid() ? maxR - minR : 0; }
  bool contains(double value) const { return isValid() && value >= minR && value <= maxR; }

  // Both ranges together. An invalid side is ignored; empty with empty stays empty.
  KRBoundingRange unionWith(const KRBoundingRange& other) const;
  // The common part: empty when the two do not overlap. An invalid side is ignored.
  KRBoundingRange intersectionWith(const KRBoundingRange& other) const;

  friend bool operator==(const KRBoundingRange&, const KRBoundingRange&) = default;
};

}  // namespace orrelin
