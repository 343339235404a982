#pragma once
// The batch run's last steps, once the template is open with the data and
// overrides applied: the movie, the document copy, or the drawing written in
// the form the output ending names; then the document is closed.

#include <optional>
#include <string>

#include "cli/CommandLineArguments.h"
#include "cli/ToolContext.h"

namespace orrelin {

class KRAnimationTarget;
class KRDrawingSource;
class VKQuickTimeController;

// What the output step asks of the opened template.
class BatchDocument {
 public:
  virtual ~BatchDocument() = default;
  // The current graph: its drawing view size and fresh drawings of it.
  virtual KRDrawingSource& currentGraph() = 0;
  // The animation parameter the movie steps.
  virtual KRAnimationTarget& animation() = 0;
  virtual VKQuickTimeController& quickTimeController() = 0;
  // Saves a copy of the document as a package at path; false, with the
  // reason in error, when it could not.
  virtual bool writeToURL(const std::string& path, std::string* error) = 0;
  // Ends the document.
  virtual void disconnectBeforeClosing() = 0;
};

// The settings the switches give the output.
struct BatchOutputOptions {
  bool alpha = false;      // "alpha" present with no value or "yes"
  double scale = 1;        // bitmap pixels per point, from "dpi"
  bool antialias = true;   // off with "nosmoothing"
  double jpegQuality = 0.8;

  static BatchOutputOptions fromRequest(const CommandLineRequest& request);
};

// Pixels per point for the "dpi" value: the formula's value divided by 72;
// 1 without a value or a finite result, or for a scale of 0 or less; at
// most 500.
double batchBitmapScale(const std::optional<std::string>& dpiText);
// A switch value read as a whole number the way the tool always has: the
// leading number of the text, 0 when there is none.
int batchIntegerValue(const std::string& text);
// The same for a floating-point number.
double batchDoubleValue(const std::string& text);

// Writes the output named by outputPath (its ending already known to be
// one the tool writes) from the document, closes the document and returns
// the exit status: 0 when the run went through (whatever the writer did),
// -2 when there was no drawing or no document.
int writeBatchOutput(const CommandLineRequest& request, const std::string& outputPath, BatchDocument* document,
                     ToolContext& context);

}  // namespace orrelin
