#pragma once
// A text split into lines without copying it: each line is a view into the
// text, which must outlive the list. Line feed, carriage return and the pair
// carriage return + line feed all end a line; a line end at the very end
// does not start another line.

#include <string_view>
#include <vector>

namespace orrelin {

using ImportLines = std::vector<std::string_view>;

class KRBigTextFile {
 public:
  static ImportLines splitStringIntoLines(std::string_view text);
  // The same into a list given (its room is kept).
  static void splitStringIntoLines(std::string_view text, ImportLines& lines);
};

}  // namespace orrelin
