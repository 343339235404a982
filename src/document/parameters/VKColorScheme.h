#pragma once
// A named colour scheme: an ordered list of lines, each with a colour and the
// texts that say which values get it ("value", "range", "match") and how the
// legend names it ("title"). Commands that colour by scheme are its clients
// and hear of every change.

#include <cstddef>
#include <string>
#include <vector>

#include "document/parameters/VKDefinedObject.h"
#include "document/parameters/VKSchemeLine.h"

namespace orrelin {

class VKColorScheme final : public VKDefinedObject {
 public:
  // Red, green, blue and alpha, each from 0 to 1.
  struct Color {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;
    bool operator==(const Color&) const = default;
  };
  struct Line : VKSchemeLine {
    Color color;
    bool operator==(const Line&) const = default;
  };

  std::string type() const override;

  const std::vector<Line>& lines() const { return lines_; }
  std::size_t numberOfLines() const { return lines_.size(); }
  void setLines(std::vector<Line> lines);
  void addLine(Line line);
  // Lines count from 0 here; a line that does not exist is not changed and
  // the setter answers false.
  bool removeLine(std::size_t line);
  bool setValue(std::size_t line, std::string text);
  bool setRange(std::size_t line, std::string text);
  bool setMatch(std::size_t line, std::string text);
  bool setTitle(std::size_t line, std::string text);
  bool setColor(std::size_t line, Color color);

  PropertyList propertyList() const override;
  void fillFromPropertyList(const PropertyList& list) override;

 private:
  bool setText(std::size_t line, std::string Line::*field, std::string text);

  std::vector<Line> lines_;
};

}  // namespace orrelin
