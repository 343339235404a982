#include "CommandLineArguments.h"

#include "cli/OutputEndings.h"
#include "platform/Paths.h"

namespace orrelin {

namespace {

bool isOneOf(const std::string& name, std::initializer_list<const char*> candidates) {
  for (const char* candidate : candidates)
    if (equalsIgnoringAsciiCase(name, candidate)) return true;
  return false;
}

void addVariable(CommandLineRequest& request, const std::string& assignment,
                 const std::function<void(const std::string&)>& log) {
  auto equals = assignment.find('=');
  if (equals == std::string::npos) {
    log("Variable needs to be specified as -v value=name or -variable value=name");
    return;
  }
  std::string name = assignment.substr(0, equals);
  if (name.empty()) return;
  request.parameters[name] = assignment.substr(equals + 1);
}

}  // namespace

std::optional<std::string> CommandLineRequest::switchValue(const std::string& name) const {
  auto it = switches.find(name);
  if (it == switches.end()) return std::nullopt;
  return it->second;
}

std::optional<std::string> CommandLineRequest::helpTopic() const {
  for (const char* name : {"help", "-help", "?"})
    if (auto topic = switchValue(name)) return topic;
  return std::nullopt;
}

std::optional<std::string> CommandLineRequest::outputPath() const {
  if (auto output = switchValue("output")) return output;
  return positionalOutputPath;
}

CommandLineRequest parseCommandLine(const std::vector<std::string>& words,
                                    const std::optional<std::string>& workDirectory,
                                    const std::function<void(const std::string&)>& log) {
  CommandLineRequest request;
  request.workDirectory = workDirectory;
  const std::size_t count = words.size();
  for (std::size_t i = 0; i < count; ++i) {
    const std::string& word = words[i];
    if (word.empty()) continue;
    const bool hasNext = i + 1 < count;

    if (word[0] == '-') {
      const std::string name = word.substr(1);
      if (isOneOf(name, {"script", "s", "file", "f"})) {
        if (hasNext) {
          // An empty word names no template, so it leaves the script unset.
          if (!words[i + 1].empty()) request.scriptPath = words[i + 1];
          ++i;
        }
      } else if (isOneOf(name, {"parameter", "p", "variable", "v"})) {
        if (hasNext) addVariable(request, words[++i], log);
      } else if (isOneOf(name, {"colorscheme", "cs"})) {
        if (hasNext) request.colorSchemes.push_back(words[++i]);
      } else {
        // A word that does not begin with "-" (an empty word included) is the
        // switch's value.
        std::string value;
        if (hasNext && (words[i + 1].empty() || words[i + 1][0] != '-')) value = words[++i];
        request.switches[asciiLowercase(name)] = value;
      }
      continue;
    }

    std::string path = word;
    if (path[0] != '/' && workDirectory) path = appendPathComponent(*workDirectory, path);
    const std::string extension = asciiLowercase(pathExtension(path));
    if (extension == "orrel") {
      if (!request.scriptPath) request.scriptPath = path;
    } else if (outputEndingFor(extension)) {
      request.positionalOutputPath = path;
    } else {
      request.fileNames.push_back(path);
    }
  }
  return request;
}

}  // namespace orrelin
