#pragma once
// The drawing targets cairo draws: what they share. The raster image, the
// PDF and PostScript documents and the layers differ only in their surface,
// their layers and what they hand back when finished.

#include <array>
#include <cmath>
#include <functional>

#include "platform/CairoSupport.h"
#include "platform/GraphicsContext.h"

namespace orrelin {

class CairoGraphicsContext : public GraphicsContext {
 public:
  ~CairoGraphicsContext() override;

  KRRect clipBoundingBox() const override;
  void addIndexedLines(const double* xy, const int* indices, std::size_t count, bool close) override;
  void addCircles(const float* xyr, std::size_t count) override;
  void strokeLineSegments(const float* segments, std::size_t count, const float* colors, int colorRows,
                          bool opaque) override;
  bool hasError() const override;
  std::string errorText() const override;

  cairo_surface_t* surface() const { return surface_; }

 protected:
  // Takes the surface over; pageToDevice maps page points to its device space.
  CairoGraphicsContext(cairo_surface_t* surface, KRSize pageSize, const KRAffineTransform& pageToDevice);

  void pushTargetState() override { cairo_save(cr_); }
  void popTargetState() override { cairo_restore(cr_); }
  void targetConcat(const KRAffineTransform& transform) override;
  void pathClear() override;
  void pathMoveTo(double x, double y) override;
  void pathLineTo(double x, double y) override;
  void pathCurveTo(double c1x, double c1y, double c2x, double c2y, double x, double y) override;
  void pathArc(double cx, double cy, double radius, double startAngle, double endAngle, bool clockwise,
               bool newSubpath) override;
  void pathClose() override { cairo_close_path(cr_); }
  bool pathEmpty() const override;
  bool pathCurrentPoint(double& x, double& y) const override;
  void fillCurrentPath(KRFillRule rule) override;
  void strokeCurrentPath() override;
  void clipCurrentPath(KRFillRule rule) override;
  void paintImage(const KRRect& rect, const KRImage& image, KRInterpolation quality) override;
  void paintGlyphs(const KRGlyphRun& run, KRPoint origin, const KRColor& color) override;
  void paintLayer(const KRRect& rect, const GraphicsLayer& layer) override;
  void paintPDFPage(const KRRect& rect, const KRPDFDocument& document, int page) override;
  void paintLinearGradient(const std::vector<KRGradientStop>& stops, KRPoint start, KRPoint end) override;

  cairo_t* cr() const { return cr_; }
  // Sets the colour as the source, with the state's alpha.
  void setSource(const KRColor& color);
  // The state's line settings and antialiasing onto a cairo context.
  void applyLineSettings(cairo_t* target) const;
  // Runs a painting operation as the shadow, when one is set: the
  // operation's coverage, blurred, moved by the offset and painted in the
  // shadow colour. deviceExtents (x0, y0, x1, y1) bounds what the operation
  // covers in device space; operation draws with opaque black.
  void castShadow(const std::array<double, 4>& deviceExtents, const std::function<void(cairo_t*)>& operation);
  std::array<double, 4> userRectToDevice(const KRRect& rect) const;
  // Device pixels per shadow pixel: vector targets get a finer shadow raster.
  virtual double shadowResolution() const { return 1; }

 private:
  // How crowded the current path is: its segments, and the box in device
  // space that its points lie in.
  struct PathCrowding {
    std::size_t segments = 0;
    double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    void add(KRPoint device, bool segment);
    void clear() { *this = PathCrowding(); }
    bool crowded() const;
  };
  // Strokes the current path, a crowded one in an opaque colour, piece by
  // piece.
  void strokeInPieces();

  cairo_surface_t* surface_;
  cairo_t* cr_;
  PathCrowding crowding_;
};

// A layer drawn by cairo: a raster or a recording surface with the context
// that draws into it.
class CairoLayer : public GraphicsLayer {
 public:
  CairoLayer(KRSize size, std::shared_ptr<CairoGraphicsContext> context, std::uint64_t owner, double pixelsWide,
             double pixelsHigh)
      : GraphicsLayer(size, context, owner), cairoContext_(std::move(context)), wide_(pixelsWide), high_(pixelsHigh) {}
  cairo_surface_t* surface() const { return cairoContext_->surface(); }
  double pixelsWide() const { return wide_; }
  double pixelsHigh() const { return high_; }
  std::size_t memoryUsed() const override {
    return sizeof(*this) + static_cast<std::size_t>(wide_ * high_ * 4);
  }

 private:
  std::shared_ptr<CairoGraphicsContext> cairoContext_;
  double wide_, high_;
};

// A page size a document or a recorded layer can have.
bool usableDocumentSize(KRSize size);

// A document target over the surface that makeSurface makes writing into
// the bytes it is given; nullptr when the size or the surface is unusable.
std::shared_ptr<GraphicsContext> makeDocumentContext(
    KRSize pageSize, bool postScript, const std::function<cairo_surface_t*(std::vector<std::uint8_t>*)>& makeSurface);

// The targets that stay vectors: the documents and their recorded layers.
class CairoVectorContext : public CairoGraphicsContext {
 public:
  bool isVectorTarget() const override { return true; }
  // A recorded drawing, replayed as vectors wherever it is drawn.
  std::shared_ptr<GraphicsLayer> createLayer(KRSize size) override;

 protected:
  using CairoGraphicsContext::CairoGraphicsContext;
  double shadowResolution() const override { return 2; }
};

// A document written into memory: PDF or PostScript.
class CairoDocumentContext : public CairoVectorContext {
 public:
  // The surface writes into bytes (with cairo_support::appendToVector).
  CairoDocumentContext(cairo_surface_t* surface, KRSize pageSize, std::unique_ptr<std::vector<std::uint8_t>> bytes,
                       bool postScript);
  ~CairoDocumentContext() override;

  bool isPostScriptTarget() const override { return postScript_; }
  void showPage() override;
  std::vector<std::uint8_t> finishDocument() override;

 private:
  std::unique_ptr<std::vector<std::uint8_t>> bytes_;
  bool postScript_;
  bool finished_ = false;
};

}  // namespace orrelin
