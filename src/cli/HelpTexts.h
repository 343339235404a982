#pragma once
// The tool's help pages.

#include <string>
#include <vector>

namespace orrelin {

// The lines of the page for a topic: "output", "examples" and "colorscheme"
// (compared exactly); any other topic gives the general help. Each entry is
// printed followed by a line end.
const std::vector<std::string>& helpLines(const std::string& topic);

}  // namespace orrelin
