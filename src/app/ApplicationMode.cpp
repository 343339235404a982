#include "ApplicationMode.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>

#include "app/ApplicationArguments.h"
#include "cli/BatchOutput.h"
#include "cli/HandOffTicket.h"
#include "cli/OutputEndings.h"
#include "cli/TemplateDocument.h"
#include "platform/DesktopServices.h"
#include "platform/KRMessageCenter.h"
#include "platform/MainThreadQueue.h"
#include "platform/Paths.h"
#include "platform/PropertyListSerialization.h"
#include "platform/UserDefaults.h"

namespace orrelin {

namespace fs = std::filesystem;

namespace {

// The path as the file system resolves it, symbolic links and "..".
std::string resolved(const std::string& path) {
  std::error_code ignored;
  fs::path full = fs::weakly_canonical(fs::absolute(path, ignored), ignored);
  return full.empty() ? path : full.string();
}

// Whether writing to output would touch the file or package at source.
bool writesInto(const std::string& output, const std::string& source) {
  const std::string out = resolved(output);
  std::string from = resolved(source);
  while (from.size() > 1 && from.back() == '/') from.pop_back();
  return out == from || out.rfind(from + "/", 0) == 0;
}

// The template a ticket names, after checking the ticket itself; none when
// it names none. False when the ticket cannot be used at all.
bool checkTicket(const std::string& path, std::optional<std::string>& script, std::ostream& err) {
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
  // Keys that the tool never writes are most likely misspelt.
  for (const auto& [key, entry] : value->dictionary())
    if (std::find(ticketKeys().begin(), ticketKeys().end(), key) == ticketKeys().end())
      err << "orrelin: The ticket's \"" << key << "\" entry is not one a ticket holds; it is ignored.\n";
  script = ticket->script;
  return true;
}

// Opens one document or ticket and writes what its window would show.
bool openAndShow(const std::string& path, const std::string& outputPath, const ApplicationArguments& arguments,
                 ApplicationContext& context) {
  const std::string ending = asciiLowercase(pathExtension(path));
  std::optional<std::string> source;
  if (ending == kTicketEnding) {
    if (!checkTicket(path, source, context.err)) return false;
  } else if (ending == "orrel" || ending == "velar") {
    source = path;
  } else {
    context.err << "orrelin: \"" << path << "\" is neither an Orrelin document nor a ticket.\n";
    return false;
  }
  std::vector<std::string> opened{path};
  if (source) opened.push_back(*source);
  for (const std::string& file : opened) {
    if (writesInto(outputPath, file)) {
      context.err << "orrelin: The output \"" << outputPath << "\" would write over \"" << file
                  << "\"; choose another file.\n";
      return false;
    }
  }

  OrrelinDocument::ReadError error;
  auto document = context.documentController.openDocument(path, &error);
  if (!document) {
    context.err << "orrelin: " << error.description;
    if (!error.reason.empty()) context.err << ": " << error.reason;
    context.err << '\n';
    return false;
  }
  // The window would select the columns the ticket's data went into.
  if (!document->columnsImportedByTicket().empty()) {
    context.out << "orrelin: Data imported into the columns";
    for (long index : document->columnsImportedByTicket()) {
      auto column = document->table().columnAtIndex(index);
      context.out << " \"" << (column ? column->name() : std::to_string(index)) << '"';
    }
    context.out << '\n';
  }

  // A file that was there before counts as written only when it changed.
  std::error_code ignored;
  const auto modified = [&] {
    return fs::exists(outputPath, ignored) ? fs::last_write_time(outputPath, ignored) : fs::file_time_type::min();
  };
  const fs::file_time_type before = modified();
  ToolContext tool(context.desktop, context.out, context.err);
  const int status = writeBatchOutput(arguments.writerSettings, outputPath, batchDocumentFor(document).get(), tool);
  const bool written = status == 0 && fs::exists(outputPath, ignored) && modified() != before;
  if (!written) {
    context.err << "orrelin: Nothing was written to \"" << outputPath << "\" for \"" << path << "\".\n";
    return false;
  }
  context.out << "orrelin: \"" << path << "\" is shown in \"" << outputPath << "\"\n";
  return true;
}

// Without -output a graph goes to the temporary folder as a PDF named after
// the opened file.
std::string defaultOutputPath(const std::string& path, const DesktopServices& desktop) {
  std::string name = lastPathComponent(path);
  const std::string ending = pathExtension(name);
  if (!ending.empty()) name.resize(name.size() - ending.size() - 1);
  return appendPathComponent(desktop.temporaryDirectory(), name + ".pdf");
}

}  // namespace

int runApplication(const std::vector<std::string>& argv, ApplicationContext& context) {
  // Font smoothing from 2 points up.
  for (const char* key : {"AppleScreenAdvanceThreshold", "AppleSmoothFontsSizeThreshold", "AppleAntiAliasingThreshold"})
    UserDefaults::standard().setInteger(key, 2);

  const ApplicationArguments arguments = parseApplicationArguments(argv);
  if (arguments.help) {
    for (const auto& line : applicationHelpLines()) context.out << line << '\n';
    return 0;
  }
  for (const auto& problem : arguments.problems) context.err << problem << '\n';
  if (!arguments.problems.empty()) return 1;

  if (arguments.paths.empty()) {
    context.err << "orrelin: The desktop window is not available yet in this version.\n"
                << "Give a document or a ticket to open (orrelin --help), or use orrel (orrel -help).\n";
    return 1;
  }
  if (arguments.outputPath) {
    if (arguments.paths.size() > 1) {
      context.err << "orrelin: -output names one file; give one document or ticket with it.\n";
      return 1;
    }
    if (!outputEndingFor(asciiLowercase(pathExtension(*arguments.outputPath)))) {
      context.err << "orrelin: Unsupported file extension for \"" << *arguments.outputPath
                  << "\".  Use orrelin --help to see what can be written.\n";
      return 1;
    }
  }

  bool allShown = true;
  for (const auto& path : arguments.paths) {
    const std::string output = arguments.outputPath.value_or(defaultOutputPath(path, context.desktop));
    allShown = openAndShow(path, output, arguments, context) && allShown;
  }
  return allShown ? 0 : 1;
}

int runApplication(const std::vector<std::string>& argv) {
  ApplicationContext context(DesktopServices::system(), std::cout, std::cerr);
  const int status = runApplication(argv, context);
  std::cout.flush();
  MainThreadQueue::shared().drain();
  KRMessageCenter::sharedCenter()->updateShownMessages();
  return status;
}

}  // namespace orrelin
