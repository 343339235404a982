#pragma once
// Rendering a drawing into an image, a PDF page or a PostScript page: the
// plain output path that the writers build on and that bitmap versions of
// objects use.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "drawing/KRDrawingBasic.h"

namespace orrelin {

struct KRRenderOptions {
  double scale = 1;                   // pixels per point
  std::optional<KRColor> background;  // none: transparent
  bool smoothing = true;              // antialiasing
  bool drawingToScreen = false;
};

// The part of the page inside area, with area's lower left corner at the
// image's lower left. nullptr when no image of that size can be made.
std::shared_ptr<KRImage> renderToImage(const KRDrawingBasic& drawing, const KRRect& area,
                                       const KRRenderOptions& options = {});
// A one-page PDF of the area; empty when it cannot be made.
std::vector<std::uint8_t> renderToPDF(const KRDrawingBasic& drawing, const KRRect& area);
// The same as a PostScript document, or with eps an Encapsulated PostScript file.
std::vector<std::uint8_t> renderToPostScript(const KRDrawingBasic& drawing, const KRRect& area, bool eps);

// The same, written to a file without ever leaving a half-written one;
// false with the reason in error.
bool writePNG(const KRDrawingBasic& drawing, const KRRect& area, const std::string& path,
              const KRRenderOptions& options = {}, std::string* error = nullptr);
bool writePDF(const KRDrawingBasic& drawing, const KRRect& area, const std::string& path, std::string* error = nullptr);

}  // namespace orrelin
