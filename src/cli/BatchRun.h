#pragma once
// The batch run: the tool's work when an output file is named.

#include <string>

#include "cli/CommandLineArguments.h"
#include "cli/ToolContext.h"

namespace orrelin {

// Validates the request (template named and present, output ending known),
// opens the template through the context's opener and writes the output;
// returns the tool's exit status.
int runBatch(const CommandLineRequest& request, const std::string& outputPath, ToolContext& context);

}  // namespace orrelin
