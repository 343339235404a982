#pragma once
// What the tool talks to: the desktop and its two output streams. Tests give
// it a stand-in desktop and string streams.

#include <ostream>

namespace orrelin {

class DesktopServices;

struct ToolContext {
  DesktopServices& desktop;
  std::ostream& out;
  std::ostream& err;
};

}  // namespace orrelin
