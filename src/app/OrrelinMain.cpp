#include "OrrelinMain.h"

#include "app/ApplicationMode.h"
#include "cli/CommandLine.h"
#include "platform/DesktopServices.h"
#include "platform/Paths.h"
#include "platform/Timing.h"

namespace orrelin {

bool isToolMode(const std::vector<std::string>& argv) {
  if (argv.size() > 1 && argv[1] == "-cmdline") return true;
  for (const auto& word : argv) {
    const std::string lower = asciiLowercase(word);
    if (lower == "-script" || lower == "-file") return true;
  }
  return false;
}

int orrelinMain(int argc, char** argv) {
  std::vector<std::string> arguments(argv, argv + argc);
  for (const auto& word : arguments) {
    if (asciiLowercase(word) == "-timing") {
      DesktopServices::system().logLine("Timing is enabled. Will output redraw times as well as setup times.");
      setIfIShouldPrintTiming(true);
      break;
    }
  }
  if (isToolMode(arguments)) return commandLine(argc, argv);
  return runApplication(arguments);
}

}  // namespace orrelin
