#pragma once
// The 2-D graphics context the display list draws into. Page coordinates
// are points with y pointing up; each target maps them onto its own device.
//
// GraphicsContext is the interface every drawing target implements. It
// keeps what all targets share: the stack of graphics states (colours,
// alpha, line settings with their checks, shadow settings, the current
// transform), and the rules for the current path (points that are not
// finite break it). A target implements a few primitives: its own state and
// clip, the path, filling, stroking and clipping with it, images, glyphs.
// The operations that a target can do better than through the primitives
// (circle and line collections, stamped layers, gradients, PDF pages) have
// defaults built from the primitives, and a target overrides them where it
// pays.
//
// Targets: a raster image, a PDF document and a PostScript (EPS) document,
// all drawn by cairo. The alpha set with setAlpha multiplies every colour,
// image, glyph and layer drawn afterwards.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/KRColor.h"
#include "platform/KRFont.h"
#include "platform/KRImage.h"
#include "platform/KRPDFDocument.h"
#include "platform/PageGeometry.h"

namespace orrelin {

enum class KRLineCap { Butt = 0, Round = 1, Square = 2 };
enum class KRLineJoin { Miter = 0, Round = 1, Bevel = 2 };
enum class KRFillRule { Winding, EvenOdd };
// Image interpolation quality, numbered as the drawing records store it.
enum class KRInterpolation { Default = 0, None = 1, Low = 2, High = 3, Medium = 4 };

struct KRGradientStop {
  double position = 0;
  KRColor color;
};

class GraphicsContext;

// An off-screen drawing that can be painted into other contexts; it is made
// by a context and suits that context's device.
class GraphicsLayer {
 public:
  virtual ~GraphicsLayer() = default;
  KRSize size() const { return size_; }
  const std::shared_ptr<GraphicsContext>& context() const { return context_; }
  // The identifier of the context the layer was made for.
  std::uint64_t ownerIdentifier() const { return owner_; }
  virtual std::size_t memoryUsed() const { return sizeof(*this); }

 protected:
  GraphicsLayer(KRSize size, std::shared_ptr<GraphicsContext> context, std::uint64_t owner)
      : size_(size), context_(std::move(context)), owner_(owner) {}

 private:
  KRSize size_;
  std::shared_ptr<GraphicsContext> context_;
  std::uint64_t owner_;
};

class GraphicsContext {
 public:
  virtual ~GraphicsContext() = default;
  GraphicsContext(const GraphicsContext&) = delete;
  GraphicsContext& operator=(const GraphicsContext&) = delete;

  // A raster target of round(width × scale) by round(height × scale) pixels,
  // transparent to begin with; the page rectangle (0, 0, width, height) fills it.
  static std::shared_ptr<GraphicsContext> createForImage(KRSize pageSize, double scale = 1);
  // A PDF document in memory whose first page has the given size in points.
  static std::shared_ptr<GraphicsContext> createForPDF(KRSize pageSize);
  // A PostScript document in memory of the page size; with eps, an
  // Encapsulated PostScript file of one page.
  static std::shared_ptr<GraphicsContext> createForPostScript(KRSize pageSize, bool eps);

  // The context drawing happens in on this thread (set by whoever drives a
  // drawing pass, for code that has no context handed to it).
  static std::shared_ptr<GraphicsContext> current();
  static void setCurrent(std::shared_ptr<GraphicsContext> context);

  // Unique per context, so caches can tell which context they were made for.
  std::uint64_t identifier() const { return identifier_; }
  // Resolution-independent targets: drawing stays vectors.
  virtual bool isVectorTarget() const = 0;
  // PostScript targets, where printers are told pure black is black ink.
  virtual bool isPostScriptTarget() const { return false; }
  KRSize pageSize() const { return pageSize_; }
  // Device units per page point of this target (pixels for images, 1 for documents).
  double deviceScale() const { return deviceScale_; }

  // State.
  void saveGState();
  // A restore without a matching save is ignored.
  void restoreGState();
  int gStateDepth() const { return static_cast<int>(states_.size()) - 1; }
  void setAlpha(double alpha);
  double alpha() const { return state().alpha; }
  void setShouldAntialias(bool on) { state().antialias = on; }
  bool shouldAntialias() const { return state().antialias; }

  // Transforms. A transform that cannot be inverted (a zero scale, a value
  // that is not finite) leaves nothing visible, so drawing is suppressed
  // until the state it was set in is restored.
  void concatCTM(const KRAffineTransform& transform);
  void translateCTM(double dx, double dy) { concatCTM(KRAffineTransform::translation(dx, dy)); }
  void scaleCTM(double sx, double sy) { concatCTM(KRAffineTransform::scaling(sx, sy)); }
  void rotateCTM(double angle) { concatCTM(KRAffineTransform::rotation(angle)); }
  // From the current user space to page coordinates.
  KRAffineTransform currentTransform() const { return state().transform; }

  // Shadows, cast by everything drawn while set. Offset and blur are in page
  // points and are not changed by the current transform. Without a colour
  // the shadow is black at one third opacity.
  void setShadow(KRSize offset, double blur);
  void setShadow(KRSize offset, double blur, const KRColor& color);
  void clearShadow() { state().hasShadow = false; }

  // The current path. Points that are not finite break the path: the next
  // finite point starts a new subpath.
  void beginPath();
  void moveTo(double x, double y);
  void lineTo(double x, double y);
  // A polyline: move to the first point, lines to the rest.
  void addLines(const KRPoint* points, std::size_t count);
  // The same through points picked by index from x, y pairs: point k is
  // (xy[2 * indices[k]], xy[2 * indices[k] + 1]); closed when asked. The
  // indices must lie inside xy.
  virtual void addIndexedLines(const double* xy, const int* indices, std::size_t count, bool close);
  // Full circles from (x, y, radius) triples: a positive radius runs
  // counter-clockwise, a negative one clockwise with its absolute value, so
  // that inside a filled set it cuts a hole. Triples with a value that is
  // not finite are left out.
  virtual void addCircles(const float* xyr, std::size_t count);
  void curveTo(double c1x, double c1y, double c2x, double c2y, double x, double y);
  void quadCurveTo(double cx, double cy, double x, double y);
  // From startAngle to endAngle (radians, counter-clockwise from the x axis
  // in a y-up space); clockwise walks the other way.
  void addArc(double cx, double cy, double radius, double startAngle, double endAngle, bool clockwise);
  void addRect(const KRRect& rect);
  void closePath();
  bool pathIsEmpty() const { return pathEmpty(); }

  // Painting; each consumes the current path.
  void fillPath(KRFillRule rule = KRFillRule::Winding);
  void strokePath();
  void clipToPath(KRFillRule rule = KRFillRule::Winding);
  void clipToRect(const KRRect& rect);
  // The clip in the current user space (the whole target when there is none).
  virtual KRRect clipBoundingBox() const = 0;
  // Segments from (x1, y1, x2, y2) quadruples, stroked with the current
  // settings: all in the stroke colour, or with colors (RGB or RGBA per
  // segment, colorRows 3 or 4) each in its own. opaque ignores the colours'
  // alpha. Uses and clears the current path.
  virtual void strokeLineSegments(const float* segments, std::size_t count, const float* colors = nullptr,
                                  int colorRows = 0, bool opaque = false);

  // Colours and lines.
  void setFillColor(const KRColor& color) { state().fill = color; }
  void setStrokeColor(const KRColor& color) { state().stroke = color; }
  const KRColor& fillColor() const { return state().fill; }
  const KRColor& strokeColor() const { return state().stroke; }
  // A width that is negative or not finite is taken as 0 (the thinnest line).
  void setLineWidth(double width);
  double lineWidth() const { return state().lineWidth; }
  void setLineCap(KRLineCap cap) { state().lineCap = cap; }
  KRLineCap lineCap() const { return state().lineCap; }
  void setLineJoin(KRLineJoin join) { state().lineJoin = join; }
  KRLineJoin lineJoin() const { return state().lineJoin; }
  void setMiterLimit(double limit);
  double miterLimit() const { return state().miterLimit; }
  // Empty lengths: solid. Lengths that are negative, not finite or all zero
  // cannot be drawn and also give a solid line.
  void setLineDash(const std::vector<double>& lengths, double phase);
  std::vector<double> lineDash(double* phase = nullptr) const;

  // Images, PDF pages, shadings, text.
  void drawImage(const KRRect& rect, const KRImage& image, KRInterpolation quality = KRInterpolation::Default);
  // A page that does not exist draws nothing.
  void drawPDFPage(const KRRect& rect, const KRPDFDocument& document, int page);
  // Fills the clip with an axial shading, the end colours extended beyond the
  // two points.
  void drawLinearGradient(const std::vector<KRGradientStop>& stops, KRPoint start, KRPoint end);
  // Shaped text with its origin on the base line at origin (in the current
  // user space, y up), in the colour.
  void drawText(const KRShapedText& text, KRPoint origin, const KRColor& color);

  // Off-screen layers: a layer of the given size in the current user space,
  // with as many pixels as that size covers on this device (a recorded
  // vector drawing on vector targets). nullptr where the target has none.
  virtual std::shared_ptr<GraphicsLayer> createLayer(KRSize size);
  void drawLayer(const KRRect& rect, const GraphicsLayer& layer);
  // The layer drawn once per position, each time into the rectangle of the
  // given size whose origin is (x[i] − shift.x, y[i] − shift.y); xy holds
  // the positions as x, y pairs.
  virtual void drawLayerRepeatedly(const GraphicsLayer& layer, KRSize size, const float* xy, std::size_t count,
                                   KRPoint shift);

  // Raster targets: the pixels drawn so far (nullptr elsewhere).
  virtual std::shared_ptr<KRImage> image() { return nullptr; }
  // Document targets: starts the next page.
  virtual void showPage() {}
  // Document targets: ends the document and gives its bytes (empty after
  // an error, and for targets that are not documents).
  virtual std::vector<std::uint8_t> finishDocument() { return {}; }

  // Set when the graphics library refused an operation; drawing after that is lost.
  virtual bool hasError() const { return false; }
  virtual std::string errorText() const { return {}; }

 protected:
  struct State {
    KRColor fill = KRColor::black();
    KRColor stroke = KRColor::black();
    double alpha = 1;
    bool antialias = true;
    double lineWidth = 1;
    KRLineCap lineCap = KRLineCap::Butt;
    KRLineJoin lineJoin = KRLineJoin::Miter;
    double miterLimit = 10;
    std::vector<double> dashes;  // empty: solid
    double dashPhase = 0;
    bool hasShadow = false;
    KRSize shadowOffset;
    double shadowBlur = 0;
    KRColor shadowColor = KRColor::grey(0, 1.0 / 3);
    KRAffineTransform transform;  // user space to page
    bool suppressed = false;      // a singular transform is in effect
  };

  GraphicsContext(KRSize pageSize, double deviceScale);
  const State& state() const { return states_.back(); }
  State& state() { return states_.back(); }
  bool drawingSuppressed() const { return state().suppressed; }
  // Whether the current path's next point starts a new subpath.
  bool pathBroken() const { return pathBroken_; }
  void setPathBroken(bool broken) { pathBroken_ = broken; }

  // ---- the primitives every target implements
  // The target's own state (its clip, at least) is pushed and popped with ours.
  virtual void pushTargetState() = 0;
  virtual void popTargetState() = 0;
  // The transform was multiplied by this one (always invertible).
  virtual void targetConcat(const KRAffineTransform& transform) = 0;
  // Path pieces; all points finite. A curve or arc starts from the current point.
  virtual void pathClear() = 0;
  virtual void pathMoveTo(double x, double y) = 0;
  virtual void pathLineTo(double x, double y) = 0;
  virtual void pathCurveTo(double c1x, double c1y, double c2x, double c2y, double x, double y) = 0;
  // newSubpath: no line from the current point to the arc's start.
  virtual void pathArc(double cx, double cy, double radius, double startAngle, double endAngle, bool clockwise,
                       bool newSubpath) = 0;
  virtual void pathClose() = 0;
  virtual bool pathEmpty() const = 0;
  // The last point of the path; false when there is none.
  virtual bool pathCurrentPoint(double& x, double& y) const = 0;
  // Painting the current path with the state's colours and settings, then
  // clearing it; the shadow, when set, is the target's to cast.
  virtual void fillCurrentPath(KRFillRule rule) = 0;
  virtual void strokeCurrentPath() = 0;
  virtual void clipCurrentPath(KRFillRule rule) = 0;
  // rect is standardized, not empty and finite.
  virtual void paintImage(const KRRect& rect, const KRImage& image, KRInterpolation quality) = 0;
  virtual void paintGlyphs(const KRGlyphRun& run, KRPoint origin, const KRColor& color) = 0;
  virtual void paintLayer(const KRRect& rect, const GraphicsLayer& layer) = 0;

  // ---- the operations with defaults from the primitives
  // Rasterises the page at this target's resolution and paints the image.
  virtual void paintPDFPage(const KRRect& rect, const KRPDFDocument& document, int page);
  // Bands of solid colour across the clip, fine enough not to show steps.
  virtual void paintLinearGradient(const std::vector<KRGradientStop>& stops, KRPoint start, KRPoint end);

 private:
  std::uint64_t identifier_;
  KRSize pageSize_;
  double deviceScale_;
  std::vector<State> states_;
  bool pathBroken_ = true;
};

// The colour at position t of a shading (the end colours beyond the ends).
KRColor colorInGradient(const std::vector<KRGradientStop>& stops, double t);

}  // namespace orrelin
