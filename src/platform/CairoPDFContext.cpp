// The document targets (PDF here, PostScript beside it), and the recorded
// layers that every vector target draws through.

#include <cairo-pdf.h>

#include <cmath>

#include "platform/CairoGraphicsContext.h"
#include "platform/DocumentCompression.h"
#include "platform/DocumentNumbers.h"

namespace orrelin {

using namespace cairo_support;

namespace {

// A recorded drawing of a layer.
class CairoRecordingContext : public CairoVectorContext {
 public:
  CairoRecordingContext(cairo_surface_t* surface, KRSize size)
      : CairoVectorContext(surface, size, {1, 0, 0, -1, 0, size.height}) {}
};

}  // namespace

bool usableDocumentSize(KRSize size) {
  return size.width > 0 && size.height > 0 && std::isfinite(size.width) && std::isfinite(size.height);
}

std::shared_ptr<GraphicsLayer> CairoVectorContext::createLayer(KRSize size) {
  if (!usableDocumentSize(size)) return nullptr;
  cairo_rectangle_t extents{0, 0, size.width, size.height};
  cairo_surface_t* surface = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  auto context = std::make_shared<CairoRecordingContext>(surface, size);
  return std::make_shared<CairoLayer>(size, std::move(context), identifier(), size.width, size.height);
}

CairoDocumentContext::CairoDocumentContext(cairo_surface_t* surface, KRSize pageSize,
                                           std::unique_ptr<std::vector<std::uint8_t>> bytes, bool postScript)
    : CairoVectorContext(surface, pageSize, {1, 0, 0, -1, 0, pageSize.height}),
      bytes_(std::move(bytes)),
      postScript_(postScript) {}

CairoDocumentContext::~CairoDocumentContext() {
  // The surface writes its last bytes when finished; they must still have
  // somewhere to go.
  cairo_surface_finish(surface());
}

void CairoDocumentContext::showPage() {
  if (!finished_) cairo_show_page(cr());
}

std::vector<std::uint8_t> CairoDocumentContext::finishDocument() {
  if (!finished_) {
    cairo_surface_finish(surface());
    finished_ = true;
  }
  if (cairo_surface_status(surface()) != CAIRO_STATUS_SUCCESS) return {};
  return *bytes_;
}

std::shared_ptr<GraphicsContext> makeDocumentContext(
    KRSize pageSize, bool postScript, const std::function<cairo_surface_t*(std::vector<std::uint8_t>*)>& makeSurface) {
  // Without zlib's own stream set-up no stream could be compressed. The calls
  // also keep the program's own versions of the library functions cairo
  // uses for documents linked in.
  if (!usableDocumentSize(pageSize) || !documentCompressionReady() || !documentNumbersReady()) return nullptr;
  auto bytes = std::make_unique<std::vector<std::uint8_t>>();
  cairo_surface_t* surface = makeSurface(bytes.get());
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  return std::make_shared<CairoDocumentContext>(surface, pageSize, std::move(bytes), postScript);
}

std::shared_ptr<GraphicsContext> GraphicsContext::createForPDF(KRSize pageSize) {
  return makeDocumentContext(pageSize, false, [&](std::vector<std::uint8_t>* bytes) {
    return cairo_pdf_surface_create_for_stream(appendToVector, bytes, pageSize.width, pageSize.height);
  });
}

}  // namespace orrelin
