#pragma once
// Application mode. The desktop window is a later addition: until it exists
// the application opens the documents and tickets it is given the way the
// window would (a ticket becomes a new untitled document with its data
// files and overrides applied) and writes what the window would show to a
// file: the one -output names, else a PDF in the temporary folder.

#include <ostream>
#include <string>
#include <vector>

#include "document/ORDocumentController.h"

namespace orrelin {

class DesktopServices;

struct ApplicationContext {
  ApplicationContext(DesktopServices& desktop, std::ostream& out, std::ostream& err)
      : desktop(desktop), out(out), err(err) {}

  DesktopServices& desktop;
  std::ostream& out;
  std::ostream& err;
  // Opens the files and keeps the recent documents.
  ORDocumentController documentController;
};

// 0 when every file was opened and its output written, 1 otherwise.
int runApplication(const std::vector<std::string>& argv, ApplicationContext& context);
// The same with this machine's desktop and the standard streams; the
// messages posted on the way reach standard error before it returns.
int runApplication(const std::vector<std::string>& argv);

}  // namespace orrelin
