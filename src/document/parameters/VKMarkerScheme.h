#pragma once
// A named marker scheme: an ordered list of lines, each with a marker tag and
// the texts that say which values get it ("value", "range", "match") and how
// the legend names it ("title"). The lines' texts mean the same as those of a
// colour scheme. Commands that pick markers by scheme are its clients.

#include <cstddef>
#include <string>
#include <vector>

#include "document/parameters/VKDefinedObject.h"
#include "document/parameters/VKSchemeLine.h"

namespace orrelin {

class VKMarkerScheme final : public VKDefinedObject {
 public:
  struct Line : VKSchemeLine {
    // A tag of the marker menu.
    int marker = 2;
    bool operator==(const Line&) const = default;
  };

  std::string type() const override;

  const std::vector<Line>& lines() const { return lines_; }
  std::size_t numberOfLines() const { return lines_.size(); }
  void setLines(std::vector<Line> lines);
  void addLine(Line line);

  // "Lines": one dictionary per line with "Value", "Range", "Match", "Title"
  // and "Marker" (an integer).
  PropertyList propertyList() const override;
  void fillFromPropertyList(const PropertyList& list) override;
  // Whether a stored entry is one this version reads: "Lines" an array of
  // dictionaries. Others are kept as read, so that nothing is lost.
  static bool canRead(const PropertyList& entry);

 private:
  std::vector<Line> lines_;
};

}  // namespace orrelin
