// The PostScript target: a PostScript or Encapsulated PostScript document.
// Colours reach PostScript as cairo writes them: a neutral colour as a grey
// (so pure black is put down with black ink alone), any other as RGB.

#include <cairo-ps.h>

#include "platform/CairoGraphicsContext.h"

namespace orrelin {

using namespace cairo_support;

std::shared_ptr<GraphicsContext> GraphicsContext::createForPostScript(KRSize pageSize, bool eps) {
  return makeDocumentContext(pageSize, true, [&](std::vector<std::uint8_t>* bytes) {
    cairo_surface_t* surface =
        cairo_ps_surface_create_for_stream(appendToVector, bytes, pageSize.width, pageSize.height);
    cairo_ps_surface_set_eps(surface, eps ? 1 : 0);
    return surface;
  });
}

}  // namespace orrelin
