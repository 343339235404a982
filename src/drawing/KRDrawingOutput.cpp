#include "drawing/KRDrawingOutput.h"

#include "drawing/KRDrawingContext.h"
#include "platform/FileWriting.h"

namespace orrelin {

std::shared_ptr<KRImage> renderToImage(const KRDrawingBasic& drawing, const KRRect& area,
                                       const KRRenderOptions& options) {
  KRRect page = area.standardized();
  auto gc = GraphicsContext::createForImage(page.size, options.scale);
  if (!gc) return nullptr;
  if (options.background) {
    gc->setFillColor(*options.background);
    gc->addRect({0, 0, page.width(), page.height()});
    gc->fillPath();
  }
  gc->translateCTM(-page.origin.x, -page.origin.y);
  KRDrawingContext context(gc);
  context.setSmoothing(options.smoothing);
  context.setDrawingToScreen(options.drawingToScreen);
  drawing.drawToCurrentContext(context);
  return gc->image();
}

namespace {

std::vector<std::uint8_t> renderToDocument(const KRDrawingBasic& drawing, const KRRect& page,
                                           const std::shared_ptr<GraphicsContext>& gc) {
  if (!gc) return {};
  gc->translateCTM(-page.origin.x, -page.origin.y);
  KRDrawingContext context(gc);
  drawing.drawToCurrentContext(context);
  return gc->finishDocument();
}

}  // namespace

std::vector<std::uint8_t> renderToPDF(const KRDrawingBasic& drawing, const KRRect& area) {
  KRRect page = area.standardized();
  return renderToDocument(drawing, page, GraphicsContext::createForPDF(page.size));
}

std::vector<std::uint8_t> renderToPostScript(const KRDrawingBasic& drawing, const KRRect& area, bool eps) {
  KRRect page = area.standardized();
  return renderToDocument(drawing, page, GraphicsContext::createForPostScript(page.size, eps));
}

bool writePNG(const KRDrawingBasic& drawing, const KRRect& area, const std::string& path,
              const KRRenderOptions& options, std::string* error) {
  auto image = renderToImage(drawing, area, options);
  if (!image) {
    if (error) *error = "The drawing is too large or too small for an image.";
    return false;
  }
  auto png = image->pngData();
  return writeFile(path, png, WriteMode::Atomic, error);
}

bool writePDF(const KRDrawingBasic& drawing, const KRRect& area, const std::string& path, std::string* error) {
  auto pdf = renderToPDF(drawing, area);
  if (pdf.empty()) {
    if (error) *error = "The drawing could not be made into a PDF page.";
    return false;
  }
  return writeFile(path, pdf, WriteMode::Atomic, error);
}

}  // namespace orrelin
