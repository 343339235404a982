#include "OutputEndings.h"

#include <array>

#include "platform/Paths.h"

namespace orrelin {

namespace {
constexpr std::array<OutputEnding, 11> kEndings = {{
    {"pdf", OutputKind::PDF, false},
    {"eps", OutputKind::EPS, false},
    {"svg", OutputKind::SVG, false},
    {"mvg", OutputKind::DrawingDescription, false},
    {"orrel", OutputKind::Document, false},
    {"png", OutputKind::PNG, true},
    {"jpg", OutputKind::JPEG, true},
    {"jpeg", OutputKind::JPEG, true},
    {"tiff", OutputKind::TIFF, true},
    {"tif", OutputKind::TIFF, true},
    {"mov", OutputKind::Movie, true},
}};
}  // namespace

std::optional<OutputEnding> outputEndingFor(std::string_view extension) {
  std::string lower = asciiLowercase(extension);
  for (const auto& entry : kEndings)
    if (entry.ending == lower) return entry;
  return std::nullopt;
}

}  // namespace orrelin
