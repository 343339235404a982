#pragma once
// The document side of the batch run: the template opened without windows,
// the data files imported into its free columns one after the other, the
// drawing size and the variable and colour-scheme overrides applied. What
// comes out is what the output step writes from.

#include <memory>

#include "cli/BatchOutput.h"
#include "cli/ToolContext.h"

namespace orrelin {

// None when the template cannot be read.
std::unique_ptr<BatchDocument> openTemplateDocument(const CommandLineRequest& request, ToolContext& context);

}  // namespace orrelin
