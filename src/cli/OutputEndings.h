#pragma once
// The output file endings the tool writes, and which of them are bitmaps
// that need the bitmap rendering context.

#include <optional>
#include <string>
#include <string_view>

namespace orrelin {

enum class OutputKind { PDF, EPS, SVG, DrawingDescription, Document, PNG, JPEG, TIFF, Movie };

struct OutputEnding {
  std::string_view ending;
  OutputKind kind;
  bool needsBitmapContext;
  // The destination the drawing of the form is built for (none for the
  // forms that are not one drawing).
  const char* destination;
};

// The ending compared after lower-casing; none when the tool cannot write it.
std::optional<OutputEnding> outputEndingFor(std::string_view extension);

}  // namespace orrelin
