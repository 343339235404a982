#pragma once
// The document side of the batch run: the template opened without windows,
// the data files imported into its free columns one after the other, the
// drawing size and the variable and colour-scheme overrides applied. What
// comes out is what the output step writes from.

#include <memory>

#include "cli/BatchOutput.h"
#include "cli/ToolContext.h"

namespace orrelin {

class OrrelinDocument;

// An open document as the output step sees it: its current graph at the
// size its canvas settings give (else the size it was saved with), its
// animation and movie settings. Closing it ends the document.
std::unique_ptr<BatchDocument> batchDocumentFor(std::shared_ptr<OrrelinDocument> document);

// None when the template cannot be read.
std::unique_ptr<BatchDocument> openTemplateDocument(const CommandLineRequest& request, ToolContext& context);

}  // namespace orrelin
