#include "OutputEndings.h"

#include <array>

#include "drawing/writers/KRDrawingSource.h"
#include "platform/Paths.h"

namespace orrelin {

namespace {
constexpr std::array<OutputEnding, 11> kEndings = {{
    {"pdf", OutputKind::PDF, false, drawing_destination::kPDF},
    {"eps", OutputKind::EPS, false, drawing_destination::kEPS},
    {"svg", OutputKind::SVG, false, drawing_destination::kSVG},
    {"mvg", OutputKind::DrawingDescription, false, drawing_destination::kMVG},
    {"orrel", OutputKind::Document, false, drawing_destination::kNone},
    {"png", OutputKind::PNG, true, drawing_destination::kImage},
    {"jpg", OutputKind::JPEG, true, drawing_destination::kImage},
    {"jpeg", OutputKind::JPEG, true, drawing_destination::kImage},
    {"tiff", OutputKind::TIFF, true, drawing_destination::kImage},
    {"tif", OutputKind::TIFF, true, drawing_destination::kImage},
    {"mov", OutputKind::Movie, true, drawing_destination::kNone},
}};
}  // namespace

std::optional<OutputEnding> outputEndingFor(std::string_view extension) {
  std::string lower = asciiLowercase(extension);
  for (const auto& entry : kEndings)
    if (entry.ending == lower) return entry;
  return std::nullopt;
}

}  // namespace orrelin
