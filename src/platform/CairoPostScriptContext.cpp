// The PostScript target: a PostScript or Encapsulated PostScript document.
// Colours reach PostScript as cairo writes them: a neutral colour as a grey
// (so pure black is put down with black ink alone), any other as RGB.

#include <cairo-ps.h>

#include "platform/CairoGraphicsContext.h"

namespace orrelin {

using namespace cairo_support;

std::shared_ptr<GraphicsContext> GraphicsContext::createForPostScript(KRSize pageSize, bool eps) {
  if (!usableDocumentSize(pageSize)) return nullptr;
  auto bytes = std::make_unique<std::vector<std::uint8_t>>();
  cairo_surface_t* surface =
      cairo_ps_surface_create_for_stream(appendToVector, bytes.get(), pageSize.width, pageSize.height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  cairo_ps_surface_set_eps(surface, eps ? 1 : 0);
  return std::make_shared<CairoDocumentContext>(surface, pageSize, std::move(bytes), true);
}

}  // namespace orrelin
