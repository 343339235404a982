#pragma once
// The command-line tool.

#include <string>
#include <vector>

#include "cli/ToolContext.h"

namespace orrelin {

// The tool on the process's own desktop and streams; argv[1] is the mode
// word and parsing starts at argv[2]. Returns the exit status.
int commandLine(int argc, char** argv);

// The same with every outside service given.
int commandLine(const std::vector<std::string>& argv, ToolContext& context);

}  // namespace orrelin
