#pragma once
// The ticks and labels of one axis for the layout, from the axis's settings:
// date axes, given locations or categories, angles, money, automatic numbers,
// with the prefix and suffix around every label. Results are kept per axis
// and reused while the range, the length and the settings stay the same.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "axes/AxisControllers.h"
#include "axes/ticks/KRAxis.h"
#include "axes/ticks/VKDateAxis.h"
#include "graph/commandbase/KRBoundingRange.h"
#include "platform/PropertyList.h"

namespace orrelin {

// What the tick choice hands to the tick computation: none for automatic
// ticks, a number for a stride, or a dictionary (see docs/axis-settings.md).
std::optional<PropertyList> tickLocationsFor(const AxisControllers& axis);

struct AxisTicks {
  // The major, very major and minor ticks with the first line of labels.
  std::shared_ptr<KRAxis> axis;
  // Date axes: the second line of labels (empty when not allowed).
  std::vector<VKDateAxisLabel> secondLine;
  bool isDate = false;
};

// What one axis computation depends on besides the settings.
struct AxisTickRequest {
  // The range to show, and the range before padding (what the data spans).
  KRBoundingRange range;
  KRBoundingRange unchangedRange;
  bool allowMultipleLines = true;
  bool linear = true;
  double length = 0;
  bool isDate = false;
  bool isInteger = false;
  double fontSize = 12;
  // Write decimal numbers and money with a decimal comma.
  bool decimalComma = false;
  // The date column's language for month names; English when empty.
  std::string language;
  // The tick choice as tickLocationsFor gives it.
  std::optional<PropertyList> locations;
  // Automatic numbers: major ticks at least this far apart (the layout asks
  // for more room when the labels would touch).
  double minimumSpacing = 0;
  bool operator==(const AxisTickRequest&) const = default;
};

// The minimum distance between automatic major ticks for the number font
// size before and after the digit factor.
double automaticMajorSpacing(double fontSize);
double automaticMajorSpacing(double fontSize, double min, double max);

// Computes the ticks of the axis. An unusable range (invalid, not finite,
// no width) or length gives an empty axis.
AxisTicks computeAxisTicks(const AxisControllers& axis, const AxisTickRequest& request);

// The kept results of one command's axes, keyed by "X Label Cache %d" and
// "Y Label Cache %d". A result is reused while the request and the
// command's change count are those it was made for.
class AxisLabelCache {
 public:
  const AxisTicks* find(const std::string& key, const AxisTickRequest& request, int changeCount) const;
  void store(const std::string& key, const AxisTickRequest& request, int changeCount, AxisTicks ticks);
  void clear() { entries_.clear(); }

 private:
  struct Entry {
    AxisTickRequest request;
    int changeCount;
    AxisTicks ticks;
  };
  std::map<std::string, Entry> entries_;
};

}  // namespace orrelin
