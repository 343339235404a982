#include "BatchRun.h"

#include <memory>

#include "cli/BatchOutput.h"
#include "cli/OutputEndings.h"
#include "platform/DesktopServices.h"
#include "platform/Paths.h"
#include "platform/TextEncoding.h"

namespace orrelin {

namespace {

// Messages that quote a path are printed in Mac OS Roman, as scripts that
// read the tool's output have always received them.
void printQuotingPath(std::ostream& out, const std::string& text) {
  out << convertToMacOSRoman(text) << '\n';
}

}  // namespace

int runBatch(const CommandLineRequest& request, const std::string& outputPath, ToolContext& context) {
  if (!request.scriptPath) {
    context.out << "orrel: Need to specify a Orrelin file -script pathname. -? for more help\n";
    return 1;
  }
  const std::string& script = *request.scriptPath;
  if (!context.desktop.fileExists(script)) {
    printQuotingPath(context.out, "orrel: The Orrelin file \"" + script + "\" could not be found");
    return 1;
  }
  const std::string extension = pathExtension(outputPath);
  auto ending = outputEndingFor(extension);
  if (!ending) {
    printQuotingPath(context.out,
                     "orrel: Unsupported file extension for \"" + outputPath + "\".  Use -? to see full list");
    return 1;
  }

  // Bitmaps and movies are rendered off screen; the rendering needs no
  // window server here, but the step is still announced when debugging.
  if (ending->needsBitmapContext && request.hasSwitch("debug"))
    context.desktop.logLine("Starting the window server, since output ending is " + std::string(ending->ending));

  if (!context.openTemplate) {
    // Opening the template, importing the data files and the overrides come
    // with the document layers; until then say so plainly and write nothing.
    context.err << "orrel: Writing " << asciiLowercase(extension)
                << " output is not available yet in this version of orrel; no file was written.\n";
    return 1;
  }
  std::unique_ptr<BatchDocument> document = context.openTemplate(request, context);
  return writeBatchOutput(request, outputPath, document.get(), context);
}

}  // namespace orrelin
