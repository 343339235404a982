#pragma once
// The 2-D graphics context the display list draws into, with the value types
// it speaks in (points, rectangles, transforms, colours) and the pixel and
// PDF page objects it can paint. Page coordinates are points with y pointing
// up; each target maps them onto its own device space.
//
// The colour, line and shadow settings live in a stack of states that
// saveGState/restoreGState push and pop, like the clip and the transform.
// Fill and stroke colours are separate settings, and the alpha set with
// setAlpha multiplies every colour, image and layer drawn afterwards.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct _cairo;
struct _cairo_surface;

namespace orrelin {

struct KRPoint {
  double x = 0;
  double y = 0;
  friend bool operator==(const KRPoint&, const KRPoint&) = default;
};

struct KRSize {
  double width = 0;
  double height = 0;
  friend bool operator==(const KRSize&, const KRSize&) = default;
};

struct KRRect {
  KRPoint origin;
  KRSize size;

  KRRect() = default;
  KRRect(double x, double y, double width, double height) : origin{x, y}, size{width, height} {}
  KRRect(KRPoint o, KRSize s) : origin(o), size(s) {}

  double minX() const { return size.width < 0 ? origin.x + size.width : origin.x; }
  double maxX() const { return size.width < 0 ? origin.x : origin.x + size.width; }
  double minY() const { return size.height < 0 ? origin.y + size.height : origin.y; }
  double maxY() const { return size.height < 0 ? origin.y : origin.y + size.height; }
  double midX() const { return origin.x + size.width / 2; }
  double midY() const { return origin.y + size.height / 2; }
  double width() const { return size.width; }
  double height() const { return size.height; }
  // Empty: no area (a zero, negative or NaN width or height).
  bool isEmpty() const { return !(size.width > 0 && size.height > 0); }
  // Null: nothing at all (a negative or NaN side, or both sides zero). A
  // horizontal line's rectangle is empty but not null.
  bool isNull() const {
    return !(size.width >= 0 && size.height >= 0) || (size.width == 0 && size.height == 0) ||
           !(origin.x == origin.x && origin.y == origin.y);
  }

  // The same rectangle with a non-negative width and height.
  KRRect standardized() const { return {minX(), minY(), maxX() - minX(), maxY() - minY()}; }
  KRRect insetBy(double dx, double dy) const {
    KRRect r = standardized();
    return {r.origin.x + dx, r.origin.y + dy, r.size.width - 2 * dx, r.size.height - 2 * dy};
  }
  KRRect offsetBy(double dx, double dy) const {
    return {origin.x + dx, origin.y + dy, size.width, size.height};
  }
  // The smallest rectangle holding both; a null side is ignored.
  KRRect unionWith(const KRRect& other) const;
  // The common part; the zero rectangle when they do not overlap.
  KRRect intersection(const KRRect& other) const;
  bool intersects(const KRRect& other) const { return !intersection(other).isEmpty(); }
  // Inside or on the edge.
  bool contains(KRPoint p) const {
    return p.x >= minX() && p.x <= maxX() && p.y >= minY() && p.y <= maxY();
  }
  // The smallest rectangle holding every point given.
  static KRRect enclosing(const KRPoint* points, std::size_t count);

  friend bool operator==(const KRRect&, const KRRect&) = default;
};

// Maps (x, y) to (a x + c y + tx, b x + d y + ty).
struct KRAffineTransform {
  double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

  static KRAffineTransform translation(double dx, double dy) { return {1, 0, 0, 1, dx, dy}; }
  static KRAffineTransform scaling(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
  // Counter-clockwise by angle radians in a y-up space.
  static KRAffineTransform rotation(double angle);

  // This transform first, then next.
  KRAffineTransform then(const KRAffineTransform& next) const;
  KRPoint apply(KRPoint p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
  // The rectangle enclosing the four mapped corners.
  KRRect applyToRect(const KRRect& r) const;
  double determinant() const { return a * d - b * c; }
  bool isInvertible() const;
  // Only meaningful when isInvertible().
  KRAffineTransform inverted() const;
  bool isIdentity() const { return a == 1 && b == 0 && c == 0 && d == 1 && tx == 0 && ty == 0; }

  friend bool operator==(const KRAffineTransform&, const KRAffineTransform&) = default;
};

// A colour in one of the three colour spaces the drawing uses. The devices
// behind this context are all RGB, so grey and CMYK are converted when they
// are painted; the space is kept so that callers can still tell, for example,
// a pure CMYK black sent for printing.
struct KRColor {
  enum class Space { RGB, Grey, CMYK };

  Space space = Space::Grey;
  std::array<double, 4> components{0, 0, 0, 0};
  double alpha = 1;

  static KRColor rgb(double r, double g, double b, double a = 1) { return {Space::RGB, {r, g, b, 0}, a}; }
  static KRColor grey(double w, double a = 1) { return {Space::Grey, {w, 0, 0, 0}, a}; }
  static KRColor cmyk(double c, double m, double y, double k, double a = 1) {
    return {Space::CMYK, {c, m, y, k}, a};
  }
  static KRColor black() { return grey(0); }
  static KRColor white() { return grey(1); }

  int numberOfComponents() const { return space == Space::RGB ? 3 : space == Space::Grey ? 1 : 4; }
  // Red, green and blue in [0, 1] (CMYK by the plain complement rule).
  std::array<double, 3> rgbComponents() const;
  KRColor deviceRGB() const;
  KRColor withAlpha(double a) const {
    KRColor copy = *this;
    copy.alpha = a;
    return copy;
  }
  // The colour components are exactly black (or white), whatever the alpha.
  bool isPureBlack() const;
  bool isPureWhite() const;

  friend bool operator==(const KRColor&, const KRColor&) = default;
};

enum class KRLineCap { Butt = 0, Round = 1, Square = 2 };
enum class KRLineJoin { Miter = 0, Round = 1, Bevel = 2 };
enum class KRFillRule { Winding, EvenOdd };
// Image interpolation quality, numbered as the drawing records store it.
enum class KRInterpolation { Default = 0, None = 1, Low = 2, High = 3, Medium = 4 };

// One pixel with straight (not premultiplied) components.
struct KRPixel {
  std::uint8_t red = 0, green = 0, blue = 0, alpha = 0;
  friend bool operator==(const KRPixel&, const KRPixel&) = default;
};

// Raw pixels as a decoder or a caller hands them over: samples interleaved
// per pixel, rows top first. Which layouts can be turned into an image is
// decided by KRImage::createFromBitmap.
struct KRBitmapRep {
  enum class ColorModel { Grey, RGB, CMYK };
  int pixelsWide = 0;
  int pixelsHigh = 0;
  int bitsPerSample = 8;
  int samplesPerPixel = 4;
  bool hasAlpha = true;  // the last sample of each pixel
  bool alphaPremultiplied = false;
  bool isPlanar = false;
  int bytesPerRow = 0;
  ColorModel colorModel = ColorModel::RGB;
  std::vector<std::uint8_t> data;
};

// A raster image (premultiplied 8-bit RGBA in device order, rows top first).
// Immutable once made, so one image can be shared by any number of drawing
// objects and threads.
class KRImage {
 public:
  ~KRImage();
  KRImage(const KRImage&) = delete;
  KRImage& operator=(const KRImage&) = delete;

  // A fully transparent image; nullptr for a size that is not positive or too large.
  static std::shared_ptr<KRImage> create(int width, int height);
  // From straight RGBA bytes, rows top first.
  static std::shared_ptr<KRImage> createFromRGBA(int width, int height, const std::uint8_t* rgba,
                                                 std::size_t bytesPerRow);
  // nullptr when the layout is not one this system draws.
  static std::shared_ptr<KRImage> createFromBitmap(const KRBitmapRep& bitmap);
  static std::shared_ptr<KRImage> createFromPNGData(const std::vector<std::uint8_t>& png);
  // PNG and JPEG files; nullptr with a reason in error otherwise.
  static std::shared_ptr<KRImage> createFromFile(const std::string& path, std::string* error = nullptr);
  // Makes an image by drawing into a fresh context of the pixel size, whose
  // page coordinates run over the image with one point per pixel.
  static std::shared_ptr<KRImage> render(int width, int height,
                                         const std::function<void(class GraphicsContext&)>& draw);

  int width() const { return width_; }
  int height() const { return height_; }
  // (0, 0) is the top left pixel; outside the image a transparent pixel.
  KRPixel pixel(int x, int y) const;
  bool hasTransparentPixels() const;
  // The same pixels with straight RGBA, rows top first.
  std::vector<std::uint8_t> rgbaData() const;
  std::vector<std::uint8_t> pngData() const;
  std::size_t memoryUsed() const;

 private:
  friend class GraphicsContext;
  explicit KRImage(_cairo_surface* surface);
  _cairo_surface* surface_;
  int width_;
  int height_;
};

// A PDF document whose pages can be drawn as vector graphics.
class KRPDFDocument {
 public:
  ~KRPDFDocument();
  KRPDFDocument(const KRPDFDocument&) = delete;
  KRPDFDocument& operator=(const KRPDFDocument&) = delete;

  // nullptr with a reason in error when the bytes are not a readable PDF.
  static std::shared_ptr<KRPDFDocument> createWithData(std::vector<std::uint8_t> bytes,
                                                       std::string* error = nullptr);
  int pageCount() const;
  // The media box of a page in points; zero size for a page that does not exist.
  KRSize pageSize(int page) const;
  const std::vector<std::uint8_t>& data() const { return bytes_; }

 private:
  friend class GraphicsContext;
  struct Document;
  KRPDFDocument(std::vector<std::uint8_t> bytes, Document* document);
  std::vector<std::uint8_t> bytes_;
  Document* document_;
};

struct KRGradientStop {
  double position = 0;
  KRColor color;
};

class GraphicsLayer;

class GraphicsContext {
 public:
  ~GraphicsContext();
  GraphicsContext(const GraphicsContext&) = delete;
  GraphicsContext& operator=(const GraphicsContext&) = delete;

  // A raster target of round(width × scale) by round(height × scale) pixels,
  // transparent to begin with; the page rectangle (0, 0, width, height) fills it.
  static std::shared_ptr<GraphicsContext> createForImage(KRSize pageSize, double scale = 1);
  // A PDF document in memory whose first page has the given size in points.
  static std::shared_ptr<GraphicsContext> createForPDF(KRSize pageSize);

  // The context drawing happens in on this thread (set by whoever drives a
  // drawing pass, for code that has no context handed to it).
  static std::shared_ptr<GraphicsContext> current();
  static void setCurrent(std::shared_ptr<GraphicsContext> context);

  // Unique per context, so caches can tell which context they were made for.
  std::uint64_t identifier() const { return identifier_; }
  bool isVectorTarget() const { return vector_; }
  KRSize pageSize() const { return pageSize_; }
  // Device units per page point of this target (pixels for images, 1 for PDF).
  double deviceScale() const { return deviceScale_; }

  // State.
  void saveGState();
  // A restore without a matching save is ignored.
  void restoreGState();
  int gStateDepth() const { return static_cast<int>(states_.size()) - 1; }
  void setAlpha(double alpha);
  double alpha() const { return state().alpha; }
  void setShouldAntialias(bool on);
  bool shouldAntialias() const { return state().antialias; }

  // Transforms. A transform that cannot be inverted (a zero scale, a value
  // that is not finite) leaves nothing visible, so drawing is suppressed
  // until the state it was set in is restored.
  void concatCTM(const KRAffineTransform& transform);
  void translateCTM(double dx, double dy) { concatCTM(KRAffineTransform::translation(dx, dy)); }
  void scaleCTM(double sx, double sy) { concatCTM(KRAffineTransform::scaling(sx, sy)); }
  void rotateCTM(double angle) { concatCTM(KRAffineTransform::rotation(angle)); }
  // From the current user space to page coordinates.
  KRAffineTransform currentTransform() const;

  // Shadows, cast by everything drawn while set. Offset and blur are in page
  // points and are not changed by the current transform. Without a colour
  // the shadow is black at one third opacity.
  void setShadow(KRSize offset, double blur);
  void setShadow(KRSize offset, double blur, const KRColor& color);
  void clearShadow();

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
  void addIndexedLines(const double* xy, const int* indices, std::size_t count, bool close);
  void curveTo(double c1x, double c1y, double c2x, double c2y, double x, double y);
  void quadCurveTo(double cx, double cy, double x, double y);
  // From startAngle to endAngle (radians, counter-clockwise from the x axis
  // in a y-up space); clockwise walks the other way.
  void addArc(double cx, double cy, double radius, double startAngle, double endAngle, bool clockwise);
  void addRect(const KRRect& rect);
  void closePath();
  bool pathIsEmpty() const;

  // Painting; each consumes the current path.
  void fillPath(KRFillRule rule = KRFillRule::Winding);
  void strokePath();
  void clipToPath(KRFillRule rule = KRFillRule::Winding);
  void clipToRect(const KRRect& rect);
  // The clip in page coordinates (the whole target when there is none).
  KRRect clipBoundingBox() const;

  // Colours and lines.
  void setFillColor(const KRColor& color);
  void setStrokeColor(const KRColor& color);
  const KRColor& fillColor() const { return state().fill; }
  const KRColor& strokeColor() const { return state().stroke; }
  void setLineWidth(double width);
  double lineWidth() const;
  void setLineCap(KRLineCap cap);
  KRLineCap lineCap() const;
  void setLineJoin(KRLineJoin join);
  KRLineJoin lineJoin() const;
  void setMiterLimit(double limit);
  // Empty lengths: solid. Lengths that are negative, not finite or all zero
  // cannot be drawn and also give a solid line.
  void setLineDash(const std::vector<double>& lengths, double phase);
  std::vector<double> lineDash(double* phase = nullptr) const;

  // Images, PDF pages, shadings.
  void drawImage(const KRRect& rect, const KRImage& image, KRInterpolation quality = KRInterpolation::Default);
  // A page that does not exist draws nothing.
  void drawPDFPage(const KRRect& rect, const KRPDFDocument& document, int page);
  // Fills the clip with an axial shading, the end colours extended beyond the
  // two points.
  void drawLinearGradient(const std::vector<KRGradientStop>& stops, KRPoint start, KRPoint end);

  // Off-screen layers: a layer of the given size in the current user space,
  // with as many pixels as that size covers on this device (a recorded
  // vector drawing on vector targets).
  std::shared_ptr<GraphicsLayer> createLayer(KRSize size);
  void drawLayer(const KRRect& rect, const GraphicsLayer& layer);
  // The layer drawn once per position, each time into the rectangle of the
  // given size whose origin is (x[i] − shift.x, y[i] − shift.y); xy holds
  // the positions as x, y pairs.
  void drawLayerRepeatedly(const GraphicsLayer& layer, KRSize size, const float* xy, std::size_t count,
                           KRPoint shift);

  // Raster targets: the pixels drawn so far.
  std::shared_ptr<KRImage> image();
  // PDF targets: starts the next page.
  void showPage();
  // PDF targets: ends the document and gives its bytes (empty after an error).
  std::vector<std::uint8_t> finishPDF();

  // Set when the graphics library refused an operation; drawing after that is lost.
  bool hasError() const;
  std::string errorText() const;

 private:
  friend class TextSystem;
  friend class GraphicsLayer;

  struct State {
    KRColor fill = KRColor::black();
    KRColor stroke = KRColor::black();
    double alpha = 1;
    bool antialias = true;
    bool hasShadow = false;
    KRSize shadowOffset;
    double shadowBlur = 0;
    KRColor shadowColor = KRColor::grey(0, 1.0 / 3);
    bool suppressed = false;  // a singular transform is in effect
  };

  GraphicsContext(_cairo_surface* surface, bool vector, KRSize pageSize, const KRAffineTransform& pageToDevice);
  const State& state() const { return states_.back(); }
  State& state() { return states_.back(); }
  bool drawingSuppressed() const { return state().suppressed; }
  void setSource(const KRColor& color);
  // Runs a painting operation, first as the shadow when one is set. extents
  // is the area the operation covers in device space.
  void paint(const std::array<double, 4>& deviceExtents, const std::function<void(_cairo*)>& operation);
  std::array<double, 4> userRectToDevice(const KRRect& rect) const;

  _cairo_surface* surface_;
  _cairo* cr_;
  bool vector_;
  KRSize pageSize_;
  KRAffineTransform pageToDevice_;
  double deviceScale_;
  std::uint64_t identifier_;
  std::vector<State> states_;
  bool pathBroken_ = true;  // the next point starts a subpath
  std::shared_ptr<std::vector<std::uint8_t>> pdfBytes_;
  bool finished_ = false;
};

// An off-screen drawing that can be painted into other contexts; it is made
// by a context and suits that context's device.
class GraphicsLayer {
 public:
  KRSize size() const { return size_; }
  const std::shared_ptr<GraphicsContext>& context() const { return context_; }
  // The identifier of the context the layer was made for.
  std::uint64_t ownerIdentifier() const { return owner_; }
  std::size_t memoryUsed() const;

 private:
  friend class GraphicsContext;
  GraphicsLayer() = default;
  KRSize size_;
  double pixelsWide_ = 0, pixelsHigh_ = 0;
  std::shared_ptr<GraphicsContext> context_;
  std::uint64_t owner_ = 0;
};

}  // namespace orrelin
