#pragma once

#include <string>
#include <vector>

namespace orrelin {

// The executable's entry: chooses tool or application mode from the
// arguments and returns the exit status.
int orrelinMain(int argc, char** argv);

// True when the arguments ask for tool mode: the mode word "-cmdline" at
// index 1, or "-script" / "-file" anywhere (ignoring case).
bool isToolMode(const std::vector<std::string>& argv);

}  // namespace orrelin
