#include "app/ApplicationArguments.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "platform/Paths.h"

namespace orrelin {

namespace {

// Writer settings that take the next word as their value unless it is
// itself a switch.
constexpr std::array<std::string_view, 7> kValueSwitches = {"dpi", "quality", "range", "duration",
                                                             "fps", "qt",      "qtquality"};
// Writer settings that are on by being present.
constexpr std::array<std::string_view, 2> kFlagSwitches = {"alpha", "nosmoothing"};

bool isOneOf(const std::string& name, const auto& names) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

ApplicationArguments parseApplicationArguments(const std::vector<std::string>& argv) {
  ApplicationArguments arguments;
  for (std::size_t i = 1; i < argv.size(); ++i) {
    const std::string& word = argv[i];
    if (word.empty()) continue;
    if (word[0] != '-') {
      arguments.paths.push_back(word);
      continue;
    }
    const std::string name = asciiLowercase(word.substr(word.size() > 1 && word[1] == '-' ? 2 : 1));
    const bool hasNext = i + 1 < argv.size();
    if (name == "help" || name == "?" || name == "h") {
      arguments.help = true;
    } else if (name == "output" || name == "o") {
      if (!hasNext || argv[i + 1].empty()) {
        arguments.problems.push_back("orrelin: " + word + " needs the name of the file to write.");
        continue;
      }
      arguments.outputPath = argv[++i];
    } else if (isOneOf(name, kValueSwitches)) {
      std::string value;
      if (hasNext && (argv[i + 1].empty() || argv[i + 1][0] != '-')) value = argv[++i];
      arguments.writerSettings.switches[name] = value;
    } else if (isOneOf(name, kFlagSwitches)) {
      arguments.writerSettings.switches[name] = "";
    }
  }
  return arguments;
}

const std::vector<std::string>& applicationHelpLines() {
  static const std::vector<std::string> lines = {
      "Orrelin, graphs of scientific and business data.",
      "",
      "Usage:",
      "orrelin [documents and tickets] [-output file.end] [writer flags]",
      "",
      "document.orrel        : opened as it was saved.",
      "ticket.orrelticket    : a job handed over by orrel (orrel without -output).",
      "                        Its template is opened as a new untitled document",
      "                        and the data files and overrides are applied; the",
      "                        template itself is never changed.",
      "",
      "The desktop window is not available yet in this version.  Instead the",
      "graph the window would show is written to a file:",
      "-output path          : the file to write; its ending chooses the format,",
      "                        any ending orrel writes (orrel -help output).",
      "                        Only one document or ticket goes with -output.",
      "                        An .orrel output saves the opened document there.",
      "without -output       : each graph is written as PDF into the temporary",
      "                        folder, named after the opened file; the path is",
      "                        printed.",
      "-dpi, -quality, -alpha, -nosmoothing",
      "                      : bitmap settings, as for orrel.",
      "-range, -duration, -fps, -QT, -QTQuality",
      "                      : movie settings, as for orrel.",
      "",
      "orrel -help           : the command-line tool.",
      "",
  };
  return lines;
}

}  // namespace orrelin
