#pragma once
// What the tool talks to: the desktop, its two output streams, and the
// document side of the batch run. Tests give it a stand-in desktop, string
// streams and documents of their own.

#include <functional>
#include <memory>
#include <ostream>

namespace orrelin {

class BatchDocument;
class DesktopServices;
struct CommandLineRequest;
struct ToolContext;

// Opens the request's template without windows and applies its data files,
// drawing size, variable and colour-scheme overrides; none when the
// template cannot be read.
using TemplateOpener =
    std::function<std::unique_ptr<BatchDocument>(const CommandLineRequest& request, ToolContext& context)>;

struct ToolContext {
  ToolContext(DesktopServices& desktop, std::ostream& out, std::ostream& err) : desktop(desktop), out(out), err(err) {}

  DesktopServices& desktop;
  std::ostream& out;
  std::ostream& err;
  // Empty until the document layers provide one; the batch run then says
  // that it cannot write output yet.
  TemplateOpener openTemplate = {};
};

}  // namespace orrelin
