#pragma once
// The tool's argument grammar and what it collects.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace orrelin {

struct CommandLineRequest {
  // Lower-case switch name (without the leading "-") to its value; "" when
  // the switch had none.
  std::map<std::string, std::string> switches;
  // Variable name to value text, from -v / -variable / -p / -parameter.
  std::map<std::string, std::string> parameters;
  // The -cs / -colorscheme arguments in command-line order.
  std::vector<std::string> colorSchemes;
  // Data files, absolute, in command-line order.
  std::vector<std::string> fileNames;
  std::optional<std::string> workDirectory;
  std::optional<std::string> scriptPath;
  // The last plain argument with an output ending.
  std::optional<std::string> positionalOutputPath;

  bool hasSwitch(const std::string& name) const { return switches.count(name) != 0; }
  std::optional<std::string> switchValue(const std::string& name) const;
  // The value of the first of "help", "-help" and "?" that is present.
  std::optional<std::string> helpTopic() const;
  // The "output" switch when present, else the positional output.
  std::optional<std::string> outputPath() const;
};

// Reads the words after the mode word (argv[2] on). log receives the
// diagnostics the grammar writes to the system log.
CommandLineRequest parseCommandLine(const std::vector<std::string>& words,
                                    const std::optional<std::string>& workDirectory,
                                    const std::function<void(const std::string&)>& log);

}  // namespace orrelin
