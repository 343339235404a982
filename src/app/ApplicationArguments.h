#pragma once
// The application's own command line: the documents and tickets to open and,
// while the desktop window is not there, the file that shows what the window
// would show, with the writer settings the batch tool also takes.

#include <optional>
#include <string>
#include <vector>

#include "cli/CommandLineArguments.h"

namespace orrelin {

struct ApplicationArguments {
  // Documents (".orrel", ".velar") and tickets (".orrelticket"), in order.
  std::vector<std::string> paths;
  // -output FILE; none when not given.
  std::optional<std::string> outputPath;
  // The writer settings in the batch tool's form: "dpi", "quality",
  // "alpha", "nosmoothing", and for movies "range", "duration", "fps",
  // "qt", "qtquality".
  CommandLineRequest writerSettings;
  bool help = false;
  // Words that could not be understood; each is one line to show.
  std::vector<std::string> problems;
};

// Reads argv[1] on. Switches begin with "-" or "--" and are compared
// ignoring case; switches the application does not know (the platform's,
// "-timing") are passed over without taking the word after them.
ApplicationArguments parseApplicationArguments(const std::vector<std::string>& argv);

// The text of "orrelin --help", one entry per line.
const std::vector<std::string>& applicationHelpLines();

}  // namespace orrelin
