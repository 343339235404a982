#include "ApplicationMode.h"

#include <sys/stat.h>

#include <iostream>

#include "cli/HandOffTicket.h"
#include "platform/Paths.h"
#include "platform/PropertyListSerialization.h"
#include "platform/UserDefaults.h"

namespace orrelin {

namespace {

bool isDirectory(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool describeTicket(const std::string& path, std::ostream& out, std::ostream& err) {
  std::string error;
  auto value = readPropertyListFile(path, &error);
  if (!value) {
    err << "orrelin: The ticket \"" << path << "\" could not be read: " << error << '\n';
    return false;
  }
  std::vector<std::string> problems;
  auto ticket = HandOffTicket::fromPropertyList(*value, problems);
  if (!ticket) {
    err << "orrelin: The ticket \"" << path << "\" is not a dictionary of settings.\n";
    return false;
  }
  for (const auto& problem : problems) err << "orrelin: " << problem << '\n';

  out << "Ticket " << path << '\n';
  if (ticket->script)
    out << "  Template: " << *ticket->script << '\n';
  else
    out << "  Template: none (a new, empty document)\n";
  out << "  Data files:" << (ticket->fileNames.empty() ? " none" : "") << '\n';
  for (const auto& file : ticket->fileNames) out << "    " << file << '\n';
  out << "  Variables:" << (ticket->parameters.empty() ? " none" : "") << '\n';
  for (const auto& [name, value] : ticket->parameters) out << "    " << name << " = " << value << '\n';
  out << "  Color schemes:" << (ticket->colorSchemes.empty() ? " none" : "") << '\n';
  for (const auto& scheme : ticket->colorSchemes) out << "    " << scheme << '\n';
  return true;
}

bool describeDocument(const std::string& path, std::ostream& out, std::ostream& err) {
  if (!isDirectory(path)) {
    err << "orrelin: The document \"" << path << "\" could not be found.\n";
    return false;
  }
  out << "Document " << path << '\n';
  return true;
}

}  // namespace

int runApplication(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err) {
  // Font smoothing from 2 points up.
  for (const char* key : {"AppleScreenAdvanceThreshold", "AppleSmoothFontsSizeThreshold", "AppleAntiAliasingThreshold"})
    UserDefaults::standard().setInteger(key, 2);

  std::vector<std::string> paths;
  for (std::size_t i = 1; i < argv.size(); ++i)
    if (!argv[i].empty() && argv[i][0] != '-') paths.push_back(argv[i]);

  if (paths.empty()) {
    err << "orrelin: The desktop window is not available yet in this version.\n"
        << "Use orrel to make graphs from the command line (orrel -help).\n";
    return 1;
  }

  bool allRead = true;
  for (const auto& path : paths) {
    const std::string extension = asciiLowercase(pathExtension(path));
    if (extension == "orrelticket")
      allRead = describeTicket(path, out, err) && allRead;
    else if (extension == "orrel" || extension == "velar")
      allRead = describeDocument(path, out, err) && allRead;
    else {
      err << "orrelin: \"" << path << "\" is neither an Orrelin document nor a ticket.\n";
      allRead = false;
    }
  }
  if (allRead) out << "Opening documents in a window is not available yet in this version.\n";
  return allRead ? 0 : 1;
}

int runApplication(const std::vector<std::string>& argv) { return runApplication(argv, std::cout, std::cerr); }

}  // namespace orrelin
