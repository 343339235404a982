#include "CommandLine.h"

#include <cstdlib>
#include <iostream>

#include "cli/BatchRun.h"
#include "cli/CommandLineArguments.h"
#include "cli/HandOffTicket.h"
#include "cli/HelpTexts.h"
#include "cli/TemplateDocument.h"
#include "platform/DesktopServices.h"
#include "platform/KRMessageCenter.h"
#include "platform/MainThreadQueue.h"
#include "platform/PropertyListSerialization.h"

namespace orrelin {

namespace {

int handOff(const CommandLineRequest& request, ToolContext& context) {
  const std::string ticketPath = newTicketPath(context.desktop);
  std::string error;
  // The application reads the ticket as soon as it is asked to open it, so
  // it is written straight to its place.
  if (!writePropertyListFile(HandOffTicket::fromRequest(request).propertyList(), ticketPath, PlistFormat::XML,
                             WriteMode::InPlace, &error)) {
    context.err << "orrel: Could not write the ticket for Orrelin: " << error << '\n';
    return -1;
  }
  if (context.desktop.openFileWithApplication(ticketPath, "Orrelin")) return 1;
  context.err << "orrel: Could not start Orrelin to open the ticket " << ticketPath << '\n';
  return -1;
}

// Messages posted during the run reach standard error before the tool ends,
// also when it ends through exit().
void deliverPendingMessages() {
  MainThreadQueue::shared().drain();
  KRMessageCenter::sharedCenter()->updateShownMessages();
}

}  // namespace

int commandLine(const std::vector<std::string>& argv, ToolContext& context) {
  std::vector<std::string> words;
  if (argv.size() > 2) words.assign(argv.begin() + 2, argv.end());
  const auto workDirectory = context.desktop.currentDirectory();
  const CommandLineRequest request =
      parseCommandLine(words, workDirectory, [&](const std::string& line) { context.desktop.logLine(line); });

  if (auto topic = request.helpTopic()) {
    for (const auto& line : helpLines(*topic)) context.out << line << '\n';
    return 0;
  }
  if (!request.scriptPath && request.fileNames.empty()) {
    context.out << "Need to specify at least a Orrelin file or a data file.\n"
                << "Use the flag -? to get more help.\n";
    return 0;
  }
  const auto outputPath = request.outputPath();
  if (!outputPath) return handOff(request, context);
  return runBatch(request, *outputPath, context);
}

int commandLine(int argc, char** argv) {
  static bool registered = false;
  if (!registered) {
    registered = true;
    std::atexit(deliverPendingMessages);
  }
  std::vector<std::string> arguments(argv, argv + argc);
  ToolContext context{DesktopServices::system(), std::cout, std::cerr};
  context.openTemplate = openTemplateDocument;
  int status = commandLine(arguments, context);
  std::cout.flush();
  deliverPendingMessages();
  return status;
}

}  // namespace orrelin
