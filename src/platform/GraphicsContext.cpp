#include "platform/GraphicsContext.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <jpeglib.h>
#include <poppler.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <limits>
#include <mutex>

namespace orrelin {

namespace {

std::uint64_t nextContextIdentifier() {
  static std::atomic<std::uint64_t> counter{0};
  return ++counter;
}

bool finite(double v) { return std::isfinite(v); }

// Device coordinates are kept well inside the range the rasteriser's fixed
// point numbers can hold; a point beyond it is pulled back onto the border.
constexpr double kDeviceLimit = 4.0e6;

// The largest raster made for a layer or a shadow, per side.
constexpr int kMaxRasterSide = 16384;

KRAffineTransform fromCairo(const cairo_matrix_t& m) { return {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0}; }

cairo_matrix_t toCairo(const KRAffineTransform& t) {
  cairo_matrix_t m;
  cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
  return m;
}

cairo_filter_t filterFor(KRInterpolation quality) {
  switch (quality) {
    case KRInterpolation::None: return CAIRO_FILTER_NEAREST;
    case KRInterpolation::Low: return CAIRO_FILTER_BILINEAR;
    case KRInterpolation::High: return CAIRO_FILTER_BEST;
    case KRInterpolation::Medium:
    case KRInterpolation::Default: break;
  }
  return CAIRO_FILTER_GOOD;
}

// Three box blurs approximate a Gaussian of the given standard deviation.
void blurAlpha(unsigned char* data, int width, int height, int stride, double sigma) {
  if (sigma < 0.5 || width <= 0 || height <= 0) return;
  int radius = std::max(1, static_cast<int>(std::lround(std::sqrt(12 * sigma * sigma / 3 + 1) / 2)));
  std::vector<unsigned char> line(static_cast<std::size_t>(std::max(width, height)));
  auto boxPass = [&](unsigned char* start, int count, int step) {
    int window = 2 * radius + 1;
    int sum = 0;
    for (int i = -radius; i <= radius; ++i) sum += (i >= 0 && i < count) ? start[i * step] : 0;
    for (int i = 0; i < count; ++i) {
      line[i] = static_cast<unsigned char>(sum / window);
      int out = i - radius, in = i + radius + 1;
      if (out >= 0) sum -= start[out * step];
      if (in < count) sum += start[in * step];
    }
    for (int i = 0; i < count; ++i) start[i * step] = line[i];
  };
  for (int pass = 0; pass < 3; ++pass) {
    for (int y = 0; y < height; ++y) boxPass(data + y * stride, width, 1);
    for (int x = 0; x < width; ++x) boxPass(data + x, height, stride);
  }
}

cairo_status_t appendToVector(void* closure, const unsigned char* data, unsigned int length) {
  auto* bytes = static_cast<std::vector<std::uint8_t>*>(closure);
  bytes->insert(bytes->end(), data, data + length);
  return CAIRO_STATUS_SUCCESS;
}

struct ReadCursor {
  const std::vector<std::uint8_t>* bytes;
  std::size_t at = 0;
};

cairo_status_t readFromVector(void* closure, unsigned char* data, unsigned int length) {
  auto* cursor = static_cast<ReadCursor*>(closure);
  if (cursor->at + length > cursor->bytes->size()) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(data, cursor->bytes->data() + cursor->at, length);
  cursor->at += length;
  return CAIRO_STATUS_SUCCESS;
}

// Writes premultiplied device pixels for one straight RGBA value.
inline std::uint32_t premultipliedPixel(double r, double g, double b, double a) {
  auto clamp = [](double v) { return v < 0 ? 0.0 : v > 1 ? 1.0 : v; };
  a = clamp(a);
  auto channel = [&](double v) { return static_cast<std::uint32_t>(std::lround(clamp(v) * a * 255)); };
  return (static_cast<std::uint32_t>(std::lround(a * 255)) << 24) | (channel(r) << 16) | (channel(g) << 8) |
         channel(b);
}

cairo_surface_t* newImageSurface(int width, int height) {
  if (width <= 0 || height <= 0 || width > 32767 || height > 32767) return nullptr;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  return surface;
}

struct JpegError {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

void jpegFail(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1); }

// Decodes a JPEG file into a bitmap; false when it is not one.
bool readJpeg(const std::string& path, KRBitmapRep& bitmap) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  jpeg_decompress_struct info;
  JpegError error;
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = jpegFail;
  if (setjmp(error.jump)) {
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file);
  jpeg_read_header(&info, TRUE);
  bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = cmyk ? JCS_CMYK : info.num_components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_start_decompress(&info);
  bitmap.pixelsWide = static_cast<int>(info.output_width);
  bitmap.pixelsHigh = static_cast<int>(info.output_height);
  bitmap.samplesPerPixel = info.output_components;
  bitmap.bitsPerSample = 8;
  bitmap.hasAlpha = false;
  bitmap.colorModel = cmyk ? KRBitmapRep::ColorModel::CMYK
                           : info.output_components == 1 ? KRBitmapRep::ColorModel::Grey
                                                         : KRBitmapRep::ColorModel::RGB;
  bitmap.bytesPerRow = bitmap.pixelsWide * bitmap.samplesPerPixel;
  bitmap.data.resize(static_cast<std::size_t>(bitmap.bytesPerRow) * bitmap.pixelsHigh);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = bitmap.data.data() + static_cast<std::size_t>(info.output_scanline) * bitmap.bytesPerRow;
    jpeg_read_scanlines(&info, &row, 1);
  }
  // Adobe writes CMYK JPEGs inverted.
  if (cmyk && info.saw_Adobe_marker)
    for (auto& sample : bitmap.data) sample = static_cast<std::uint8_t>(255 - sample);
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  std::fclose(file);
  return true;
}

thread_local std::shared_ptr<GraphicsContext> currentContext;

// The clip's extent in device space: x0, y0, x1, y1.
std::array<double, 4> deviceClipExtents(cairo_t* cr) {
  std::array<double, 4> e{};
  cairo_save(cr);
  cairo_identity_matrix(cr);
  cairo_clip_extents(cr, &e[0], &e[1], &e[2], &e[3]);
  cairo_restore(cr);
  return e;
}

// Lays a raster of pixelsWide x pixelsHigh (rows top first) over rect in a
// y-up user space.
void mapRasterIntoRect(cairo_t* cr, const KRRect& rect, double pixelsWide, double pixelsHigh) {
  cairo_translate(cr, rect.origin.x, rect.origin.y + rect.size.height);
  cairo_scale(cr, rect.size.width / pixelsWide, -rect.size.height / pixelsHigh);
}

// Paints such a raster with the given opacity.
void paintRaster(cairo_t* cr, const KRRect& rect, cairo_surface_t* raster, double pixelsWide, double pixelsHigh,
                 cairo_filter_t filter, cairo_extend_t extend, double opacity) {
  cairo_save(cr);
  mapRasterIntoRect(cr, rect, pixelsWide, pixelsHigh);
  cairo_set_source_surface(cr, raster, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), filter);
  cairo_pattern_set_extend(cairo_get_source(cr), extend);
  cairo_new_path(cr);
  cairo_rectangle(cr, 0, 0, pixelsWide, pixelsHigh);
  cairo_clip(cr);
  cairo_paint_with_alpha(cr, opacity);
  cairo_restore(cr);
}

}  // namespace

// ---------------------------------------------------------------- geometry

KRRect KRRect::unionWith(const KRRect& other) const {
  if (other.isNull()) return isNull() ? KRRect{} : *this;
  if (isNull()) return other;
  double x0 = std::min(minX(), other.minX()), y0 = std::min(minY(), other.minY());
  double x1 = std::max(maxX(), other.maxX()), y1 = std::max(maxY(), other.maxY());
  return {x0, y0, x1 - x0, y1 - y0};
}

KRRect KRRect::intersection(const KRRect& other) const {
  double x0 = std::max(minX(), other.minX()), y0 = std::max(minY(), other.minY());
  double x1 = std::min(maxX(), other.maxX()), y1 = std::min(maxY(), other.maxY());
  if (!(x1 > x0 && y1 > y0)) return {};
  return {x0, y0, x1 - x0, y1 - y0};
}

KRRect KRRect::enclosing(const KRPoint* points, std::size_t count) {
  double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
  for (std::size_t i = 0; i < count; ++i) {
    const KRPoint& p = points[i];
    if (!finite(p.x) || !finite(p.y)) continue;
    x0 = std::min(x0, p.x);
    x1 = std::max(x1, p.x);
    y0 = std::min(y0, p.y);
    y1 = std::max(y1, p.y);
  }
  if (x0 > x1) return {};
  return {x0, y0, x1 - x0, y1 - y0};
}

KRAffineTransform KRAffineTransform::rotation(double angle) {
  double c = std::cos(angle), s = std::sin(angle);
  return {c, s, -s, c, 0, 0};
}

KRAffineTransform KRAffineTransform::then(const KRAffineTransform& n) const {
  return {a * n.a + b * n.c,          a * n.b + b * n.d,          c * n.a + d * n.c,
          c * n.b + d * n.d,          tx * n.a + ty * n.c + n.tx, tx * n.b + ty * n.d + n.ty};
}

KRRect KRAffineTransform::applyToRect(const KRRect& r) const {
  KRPoint corners[4] = {apply({r.minX(), r.minY()}), apply({r.maxX(), r.minY()}), apply({r.minX(), r.maxY()}),
                        apply({r.maxX(), r.maxY()})};
  double x0 = corners[0].x, x1 = x0, y0 = corners[0].y, y1 = y0;
  for (const auto& p : corners) {
    x0 = std::min(x0, p.x);
    x1 = std::max(x1, p.x);
    y0 = std::min(y0, p.y);
    y1 = std::max(y1, p.y);
  }
  return {x0, y0, x1 - x0, y1 - y0};
}

bool KRAffineTransform::isInvertible() const {
  double det = determinant();
  return finite(a) && finite(b) && finite(c) && finite(d) && finite(tx) && finite(ty) && finite(det) &&
         std::fabs(det) > 1e-300;
}

KRAffineTransform KRAffineTransform::inverted() const {
  double det = determinant();
  return {d / det, -b / det, -c / det, a / det, (c * ty - d * tx) / det, (b * tx - a * ty) / det};
}

std::array<double, 3> KRColor::rgbComponents() const {
  switch (space) {
    case Space::RGB: return {components[0], components[1], components[2]};
    case Space::Grey: return {components[0], components[0], components[0]};
    case Space::CMYK: {
      double k = components[3];
      return {(1 - components[0]) * (1 - k), (1 - components[1]) * (1 - k), (1 - components[2]) * (1 - k)};
    }
  }
  return {0, 0, 0};
}

KRColor KRColor::deviceRGB() const {
  auto c = rgbComponents();
  return rgb(c[0], c[1], c[2], alpha);
}

bool KRColor::isPureBlack() const {
  switch (space) {
    case Space::RGB: return components[0] == 0 && components[1] == 0 && components[2] == 0;
    case Space::Grey: return components[0] == 0;
    case Space::CMYK:
      return components[3] == 1 || (components[0] == 1 && components[1] == 1 && components[2] == 1);
  }
  return false;
}

bool KRColor::isPureWhite() const {
  switch (space) {
    case Space::RGB: return components[0] == 1 && components[1] == 1 && components[2] == 1;
    case Space::Grey: return components[0] == 1;
    case Space::CMYK:
      return components[0] == 0 && components[1] == 0 && components[2] == 0 && components[3] == 0;
  }
  return false;
}

// ---------------------------------------------------------------- images

KRImage::KRImage(cairo_surface_t* surface)
    : surface_(surface),
      width_(cairo_image_surface_get_width(surface)),
      height_(cairo_image_surface_get_height(surface)) {}

KRImage::~KRImage() { cairo_surface_destroy(surface_); }

std::shared_ptr<KRImage> KRImage::create(int width, int height) {
  cairo_surface_t* surface = newImageSurface(width, height);
  if (!surface) return nullptr;
  return std::shared_ptr<KRImage>(new KRImage(surface));
}

std::shared_ptr<KRImage> KRImage::createFromRGBA(int width, int height, const std::uint8_t* rgba,
                                                 std::size_t bytesPerRow) {
  if (!rgba || bytesPerRow < static_cast<std::size_t>(width) * 4) return nullptr;
  cairo_surface_t* surface = newImageSurface(width, height);
  if (!surface) return nullptr;
  cairo_surface_flush(surface);
  unsigned char* out = cairo_image_surface_get_data(surface);
  int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* in = rgba + static_cast<std::size_t>(y) * bytesPerRow;
    auto* row = reinterpret_cast<std::uint32_t*>(out + static_cast<std::size_t>(y) * stride);
    for (int x = 0; x < width; ++x, in += 4) {
      std::uint32_t a = in[3];
      auto mul = [a](std::uint32_t v) { return (v * a + 127) / 255; };
      row[x] = (a << 24) | (mul(in[0]) << 16) | (mul(in[1]) << 8) | mul(in[2]);
    }
  }
  cairo_surface_mark_dirty(surface);
  return std::shared_ptr<KRImage>(new KRImage(surface));
}

std::shared_ptr<KRImage> KRImage::createFromBitmap(const KRBitmapRep& bitmap) {
  using Model = KRBitmapRep::ColorModel;
  int colorSamples = bitmap.colorModel == Model::Grey ? 1 : bitmap.colorModel == Model::RGB ? 3 : 4;
  int bytesPerSample = bitmap.bitsPerSample / 8;
  bool layoutKnown = !bitmap.isPlanar && (bitmap.bitsPerSample == 8 || bitmap.bitsPerSample == 16) &&
                     bitmap.samplesPerPixel == colorSamples + (bitmap.hasAlpha ? 1 : 0) &&
                     bitmap.pixelsWide > 0 && bitmap.pixelsHigh > 0;
  if (!layoutKnown) return nullptr;
  std::size_t rowBytes = static_cast<std::size_t>(bitmap.pixelsWide) * bitmap.samplesPerPixel * bytesPerSample;
  if (bitmap.bytesPerRow < 0 || static_cast<std::size_t>(bitmap.bytesPerRow) < rowBytes ||
      bitmap.data.size() < static_cast<std::size_t>(bitmap.bytesPerRow) * (bitmap.pixelsHigh - 1) + rowBytes)
    return nullptr;
  cairo_surface_t* surface = newImageSurface(bitmap.pixelsWide, bitmap.pixelsHigh);
  if (!surface) return nullptr;
  cairo_surface_flush(surface);
  unsigned char* out = cairo_image_surface_get_data(surface);
  int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < bitmap.pixelsHigh; ++y) {
    const std::uint8_t* in = bitmap.data.data() + static_cast<std::size_t>(y) * bitmap.bytesPerRow;
    auto* row = reinterpret_cast<std::uint32_t*>(out + static_cast<std::size_t>(y) * stride);
    for (int x = 0; x < bitmap.pixelsWide; ++x) {
      double s[5];
      for (int k = 0; k < bitmap.samplesPerPixel; ++k) {
        // 16-bit samples are stored in the host's order.
        s[k] = bytesPerSample == 1 ? in[0] / 255.0 : *reinterpret_cast<const std::uint16_t*>(in) / 65535.0;
        in += bytesPerSample;
      }
      double a = bitmap.hasAlpha ? s[colorSamples] : 1;
      if (bitmap.hasAlpha && bitmap.alphaPremultiplied && a > 0)
        for (int k = 0; k < colorSamples; ++k) s[k] /= a;
      double r, g, b;
      if (bitmap.colorModel == Model::Grey) {
        r = g = b = s[0];
      } else if (bitmap.colorModel == Model::RGB) {
        r = s[0], g = s[1], b = s[2];
      } else {
        r = (1 - s[0]) * (1 - s[3]), g = (1 - s[1]) * (1 - s[3]), b = (1 - s[2]) * (1 - s[3]);
      }
      row[x] = premultipliedPixel(r, g, b, a);
    }
  }
  cairo_surface_mark_dirty(surface);
  return std::shared_ptr<KRImage>(new KRImage(surface));
}

std::shared_ptr<KRImage> KRImage::createFromPNGData(const std::vector<std::uint8_t>& png) {
  ReadCursor cursor{&png};
  cairo_surface_t* read = cairo_image_surface_create_from_png_stream(readFromVector, &cursor);
  if (cairo_surface_status(read) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(read);
    return nullptr;
  }
  // Grey or opaque PNGs come back in other formats; keep one format throughout.
  if (cairo_image_surface_get_format(read) == CAIRO_FORMAT_ARGB32) return std::shared_ptr<KRImage>(new KRImage(read));
  cairo_surface_t* surface = newImageSurface(cairo_image_surface_get_width(read), cairo_image_surface_get_height(read));
  if (!surface) {
    cairo_surface_destroy(read);
    return nullptr;
  }
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_surface(cr, read, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_destroy(read);
  return std::shared_ptr<KRImage>(new KRImage(surface));
}

std::shared_ptr<KRImage> KRImage::createFromFile(const std::string& path, std::string* error) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    if (error) *error = "Could not open the image file " + path + ".";
    return nullptr;
  }
  unsigned char head[8] = {};
  std::size_t got = std::fread(head, 1, sizeof head, file);
  std::vector<std::uint8_t> bytes;
  if (got == sizeof head && std::memcmp(head, "\x89PNG\r\n\x1a\n", 8) == 0) {
    bytes.assign(head, head + got);
    unsigned char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(file);
    auto image = createFromPNGData(bytes);
    if (!image && error) *error = "The image file " + path + " is a damaged PNG file.";
    return image;
  }
  std::fclose(file);
  if (got >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) {
    KRBitmapRep bitmap;
    std::shared_ptr<KRImage> image;
    if (readJpeg(path, bitmap)) image = createFromBitmap(bitmap);
    if (!image && error) *error = "The image file " + path + " is a damaged JPEG file.";
    return image;
  }
  if (error) *error = "The image file " + path + " is neither a PNG nor a JPEG file.";
  return nullptr;
}

std::shared_ptr<KRImage> KRImage::render(int width, int height,
                                         const std::function<void(GraphicsContext&)>& draw) {
  auto context = GraphicsContext::createForImage({static_cast<double>(width), static_cast<double>(height)}, 1);
  if (!context) return nullptr;
  draw(*context);
  return context->image();
}

KRPixel KRImage::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
  cairo_surface_flush(surface_);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  int stride = cairo_image_surface_get_stride(surface_);
  std::uint32_t v = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::size_t>(y) * stride)[x];
  std::uint32_t a = v >> 24;
  auto un = [a](std::uint32_t c) { return static_cast<std::uint8_t>(a == 0 ? 0 : std::min(255u, (c * 255 + a / 2) / a)); };
  return {un((v >> 16) & 0xFF), un((v >> 8) & 0xFF), un(v & 0xFF), static_cast<std::uint8_t>(a)};
}

bool KRImage::hasTransparentPixels() const {
  cairo_surface_flush(surface_);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  int stride = cairo_image_surface_get_stride(surface_);
  for (int y = 0; y < height_; ++y) {
    auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
    for (int x = 0; x < width_; ++x)
      if ((row[x] >> 24) != 0xFF) return true;
  }
  return false;
}

std::vector<std::uint8_t> KRImage::rgbaData() const {
  std::vector<std::uint8_t> out(static_cast<std::size_t>(width_) * height_ * 4);
  std::size_t at = 0;
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      KRPixel p = pixel(x, y);
      out[at++] = p.red;
      out[at++] = p.green;
      out[at++] = p.blue;
      out[at++] = p.alpha;
    }
  return out;
}

std::vector<std::uint8_t> KRImage::pngData() const {
  std::vector<std::uint8_t> bytes;
  if (cairo_surface_write_to_png_stream(surface_, appendToVector, &bytes) != CAIRO_STATUS_SUCCESS) bytes.clear();
  return bytes;
}

std::size_t KRImage::memoryUsed() const {
  return sizeof(*this) + static_cast<std::size_t>(cairo_image_surface_get_stride(surface_)) * height_;
}

// ---------------------------------------------------------------- PDF pages

struct KRPDFDocument::Document {
  PopplerDocument* poppler = nullptr;
  GBytes* bytes = nullptr;
  // A poppler document is not safe to use from two threads at once.
  std::mutex lock;
};

KRPDFDocument::KRPDFDocument(std::vector<std::uint8_t> bytes, Document* document)
    : bytes_(std::move(bytes)), document_(document) {}

KRPDFDocument::~KRPDFDocument() {
  if (document_->poppler) g_object_unref(document_->poppler);
  if (document_->bytes) g_bytes_unref(document_->bytes);
  delete document_;
}

std::shared_ptr<KRPDFDocument> KRPDFDocument::createWithData(std::vector<std::uint8_t> bytes, std::string* error) {
  if (bytes.empty()) {
    if (error) *error = "The PDF data is empty.";
    return nullptr;
  }
  auto* document = new Document;
  std::shared_ptr<KRPDFDocument> pdf(new KRPDFDocument(std::move(bytes), document));
  // The bytes live in pdf, which outlives the poppler document.
  document->bytes = g_bytes_new_static(pdf->bytes_.data(), pdf->bytes_.size());
  GError* gerror = nullptr;
  document->poppler = poppler_document_new_from_bytes(document->bytes, nullptr, &gerror);
  if (!document->poppler) {
    if (error) *error = std::string("The PDF data can not be read: ") + (gerror ? gerror->message : "unknown error");
    if (gerror) g_error_free(gerror);
    return nullptr;
  }
  return pdf;
}

int KRPDFDocument::pageCount() const {
  std::lock_guard guard(document_->lock);
  return poppler_document_get_n_pages(document_->poppler);
}

KRSize KRPDFDocument::pageSize(int page) const {
  std::lock_guard guard(document_->lock);
  if (page < 0 || page >= poppler_document_get_n_pages(document_->poppler)) return {};
  PopplerPage* p = poppler_document_get_page(document_->poppler, page);
  if (!p) return {};
  double w = 0, h = 0;
  poppler_page_get_size(p, &w, &h);
  g_object_unref(p);
  return {w, h};
}

// ---------------------------------------------------------------- context

GraphicsContext::GraphicsContext(cairo_surface_t* surface, bool vector, KRSize pageSize,
                                 const KRAffineTransform& pageToDevice)
    : surface_(surface),
      cr_(cairo_create(surface)),
      vector_(vector),
      pageSize_(pageSize),
      pageToDevice_(pageToDevice),
      deviceScale_(std::max(std::hypot(pageToDevice.a, pageToDevice.b), std::hypot(pageToDevice.c, pageToDevice.d))),
      identifier_(nextContextIdentifier()) {
  states_.emplace_back();
  cairo_matrix_t m = toCairo(pageToDevice);
  cairo_set_matrix(cr_, &m);
  cairo_set_line_width(cr_, 1);
  cairo_set_miter_limit(cr_, 10);
}

GraphicsContext::~GraphicsContext() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

std::shared_ptr<GraphicsContext> GraphicsContext::createForImage(KRSize pageSize, double scale) {
  if (!(scale > 0) || !finite(scale) || !(pageSize.width > 0) || !(pageSize.height > 0)) return nullptr;
  double w = std::round(pageSize.width * scale), h = std::round(pageSize.height * scale);
  if (w < 1 || h < 1 || w > 32767 || h > 32767) return nullptr;
  cairo_surface_t* surface = newImageSurface(static_cast<int>(w), static_cast<int>(h));
  if (!surface) return nullptr;
  return std::shared_ptr<GraphicsContext>(
      new GraphicsContext(surface, false, pageSize, {scale, 0, 0, -scale, 0, h}));
}

std::shared_ptr<GraphicsContext> GraphicsContext::createForPDF(KRSize pageSize) {
  if (!(pageSize.width > 0) || !(pageSize.height > 0) || !finite(pageSize.width) || !finite(pageSize.height))
    return nullptr;
  auto bytes = std::make_shared<std::vector<std::uint8_t>>();
  cairo_surface_t* surface =
      cairo_pdf_surface_create_for_stream(appendToVector, bytes.get(), pageSize.width, pageSize.height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  std::shared_ptr<GraphicsContext> context(
      new GraphicsContext(surface, true, pageSize, {1, 0, 0, -1, 0, pageSize.height}));
  context->pdfBytes_ = bytes;
  return context;
}

std::shared_ptr<GraphicsContext> GraphicsContext::current() { return currentContext; }
void GraphicsContext::setCurrent(std::shared_ptr<GraphicsContext> context) { currentContext = std::move(context); }

void GraphicsContext::saveGState() {
  cairo_save(cr_);
  states_.push_back(states_.back());
}

void GraphicsContext::restoreGState() {
  if (states_.size() <= 1) return;
  cairo_restore(cr_);
  states_.pop_back();
  pathBroken_ = true;
}

void GraphicsContext::setAlpha(double alpha) {
  state().alpha = finite(alpha) ? std::clamp(alpha, 0.0, 1.0) : 1.0;
}

void GraphicsContext::setShouldAntialias(bool on) {
  state().antialias = on;
  cairo_set_antialias(cr_, on ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
}

void GraphicsContext::concatCTM(const KRAffineTransform& transform) {
  if (!transform.isInvertible()) {
    state().suppressed = true;
    return;
  }
  cairo_matrix_t m = toCairo(transform);
  cairo_transform(cr_, &m);
}

KRAffineTransform GraphicsContext::currentTransform() const {
  cairo_matrix_t m;
  cairo_get_matrix(cr_, &m);
  return fromCairo(m).then(pageToDevice_.inverted());
}

void GraphicsContext::setShadow(KRSize offset, double blur) { setShadow(offset, blur, KRColor::grey(0, 1.0 / 3)); }

void GraphicsContext::setShadow(KRSize offset, double blur, const KRColor& color) {
  if (!finite(offset.width) || !finite(offset.height) || !finite(blur)) return;
  State& s = state();
  s.hasShadow = true;
  s.shadowOffset = offset;
  s.shadowBlur = std::max(0.0, blur);
  s.shadowColor = color;
}

void GraphicsContext::clearShadow() { state().hasShadow = false; }

void GraphicsContext::beginPath() {
  cairo_new_path(cr_);
  pathBroken_ = true;
}

namespace {

// Pulls a user-space point whose device position lies beyond the limit back
// onto the limit, along the device axes.
inline void keepInDeviceRange(cairo_t* cr, double& x, double& y) {
  double dx = x, dy = y;
  cairo_user_to_device(cr, &dx, &dy);
  if (std::fabs(dx) <= kDeviceLimit && std::fabs(dy) <= kDeviceLimit) return;
  dx = std::clamp(dx, -kDeviceLimit, kDeviceLimit);
  dy = std::clamp(dy, -kDeviceLimit, kDeviceLimit);
  cairo_device_to_user(cr, &dx, &dy);
  x = dx;
  y = dy;
}

}  // namespace

void GraphicsContext::moveTo(double x, double y) {
  if (!finite(x) || !finite(y)) {
    pathBroken_ = true;
    return;
  }
  keepInDeviceRange(cr_, x, y);
  cairo_move_to(cr_, x, y);
  pathBroken_ = false;
}

void GraphicsContext::lineTo(double x, double y) {
  if (!finite(x) || !finite(y)) {
    pathBroken_ = true;
    return;
  }
  keepInDeviceRange(cr_, x, y);
  if (pathBroken_) {
    cairo_move_to(cr_, x, y);
    pathBroken_ = false;
  } else {
    cairo_line_to(cr_, x, y);
  }
}

void GraphicsContext::addLines(const KRPoint* points, std::size_t count) {
  if (count == 0) return;
  moveTo(points[0].x, points[0].y);
  for (std::size_t i = 1; i < count; ++i) lineTo(points[i].x, points[i].y);
}

void GraphicsContext::addIndexedLines(const double* xy, const int* indices, std::size_t count, bool close) {
  if (count == 0) return;
  // One matrix for the whole run: the range check is done inline and only
  // points far outside the device take the slow way.
  cairo_matrix_t m;
  cairo_get_matrix(cr_, &m);
  bool broken = true;
  for (std::size_t k = 0; k < count; ++k) {
    const double* p = xy + 2 * static_cast<std::ptrdiff_t>(indices[k]);
    double x = p[0], y = p[1];
    if (!finite(x) || !finite(y)) {
      broken = true;
      continue;
    }
    double dx = m.xx * x + m.xy * y + m.x0, dy = m.yx * x + m.yy * y + m.y0;
    if (!(std::fabs(dx) <= kDeviceLimit && std::fabs(dy) <= kDeviceLimit)) keepInDeviceRange(cr_, x, y);
    if (broken) {
      cairo_move_to(cr_, x, y);
      broken = false;
    } else {
      cairo_line_to(cr_, x, y);
    }
  }
  if (close && !broken) cairo_close_path(cr_);
  pathBroken_ = broken;
}

void GraphicsContext::curveTo(double c1x, double c1y, double c2x, double c2y, double x, double y) {
  if (!finite(c1x) || !finite(c1y) || !finite(c2x) || !finite(c2y) || !finite(x) || !finite(y)) {
    pathBroken_ = true;
    return;
  }
  keepInDeviceRange(cr_, c1x, c1y);
  keepInDeviceRange(cr_, c2x, c2y);
  keepInDeviceRange(cr_, x, y);
  if (pathBroken_) {
    // A curve needs a start; without one it begins at its first control point.
    cairo_move_to(cr_, c1x, c1y);
    pathBroken_ = false;
  }
  cairo_curve_to(cr_, c1x, c1y, c2x, c2y, x, y);
}

void GraphicsContext::quadCurveTo(double cx, double cy, double x, double y) {
  if (!finite(cx) || !finite(cy) || !finite(x) || !finite(y)) {
    pathBroken_ = true;
    return;
  }
  double x0 = cx, y0 = cy;
  if (!pathBroken_ && cairo_has_current_point(cr_)) cairo_get_current_point(cr_, &x0, &y0);
  // The quadratic curve as the cubic with the same shape.
  curveTo(x0 + 2.0 / 3 * (cx - x0), y0 + 2.0 / 3 * (cy - y0), x + 2.0 / 3 * (cx - x), y + 2.0 / 3 * (cy - y), x, y);
}

void GraphicsContext::addArc(double cx, double cy, double radius, double startAngle, double endAngle,
                             bool clockwise) {
  if (!finite(cx) || !finite(cy) || !finite(radius) || !finite(startAngle) || !finite(endAngle)) {
    pathBroken_ = true;
    return;
  }
  radius = std::fabs(radius);
  double sx = cx + radius * std::cos(startAngle), sy = cy + radius * std::sin(startAngle);
  double kx = sx, ky = sy;
  keepInDeviceRange(cr_, kx, ky);
  if (kx != sx || ky != sy) {
    // Too large to draw as an arc: its start point stands in.
    lineTo(kx, ky);
    return;
  }
  if (pathBroken_) cairo_new_sub_path(cr_);
  if (clockwise)
    cairo_arc_negative(cr_, cx, cy, radius, startAngle, endAngle);
  else
    cairo_arc(cr_, cx, cy, radius, startAngle, endAngle);
  pathBroken_ = false;
}

void GraphicsContext::addRect(const KRRect& rect) {
  double x = rect.origin.x, y = rect.origin.y, w = rect.size.width, h = rect.size.height;
  if (!finite(x) || !finite(y) || !finite(w) || !finite(h)) return;
  moveTo(x, y);
  lineTo(x + w, y);
  lineTo(x + w, y + h);
  lineTo(x, y + h);
  closePath();
}

void GraphicsContext::closePath() {
  if (cairo_has_current_point(cr_)) cairo_close_path(cr_);
}

bool GraphicsContext::pathIsEmpty() const {
  cairo_path_t* path = cairo_copy_path(cr_);
  bool empty = path->num_data == 0;
  cairo_path_destroy(path);
  return empty;
}

void GraphicsContext::setSource(const KRColor& color) {
  auto c = color.rgbComponents();
  cairo_set_source_rgba(cr_, c[0], c[1], c[2], std::clamp(color.alpha, 0.0, 1.0) * state().alpha);
}

std::array<double, 4> GraphicsContext::userRectToDevice(const KRRect& rect) const {
  double xs[4] = {rect.minX(), rect.maxX(), rect.minX(), rect.maxX()};
  double ys[4] = {rect.minY(), rect.minY(), rect.maxY(), rect.maxY()};
  double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
  for (int i = 0; i < 4; ++i) {
    cairo_user_to_device(cr_, &xs[i], &ys[i]);
    x0 = std::min(x0, xs[i]);
    x1 = std::max(x1, xs[i]);
    y0 = std::min(y0, ys[i]);
    y1 = std::max(y1, ys[i]);
  }
  return {x0, y0, x1, y1};
}

void GraphicsContext::paint(const std::array<double, 4>& extents, const std::function<void(cairo_t*)>& operation) {
  const State& s = state();
  if (!s.hasShadow || s.shadowColor.alpha <= 0) return;
  // The shadow is the operation's coverage, blurred, moved by the offset and
  // painted in the shadow colour under the operation.
  double scale = vector_ ? 2 : 1;  // vector targets get a finer shadow raster
  double blurDevice = s.shadowBlur * deviceScale_;
  double margin = std::ceil(blurDevice * 1.5) + 2;
  std::array<double, 4> clip = deviceClipExtents(cr_);
  double offX = s.shadowOffset.width * deviceScale_, offY = -s.shadowOffset.height * deviceScale_;
  // Only what can land inside the clip once moved is rendered.
  double x0 = std::max(extents[0], clip[0] - offX) - margin, y0 = std::max(extents[1], clip[1] - offY) - margin;
  double x1 = std::min(extents[2], clip[2] - offX) + margin, y1 = std::min(extents[3], clip[3] - offY) + margin;
  if (!(x1 > x0 && y1 > y0)) return;
  x0 = std::floor(x0);
  y0 = std::floor(y0);
  while ((x1 - x0) * scale > kMaxRasterSide || (y1 - y0) * scale > kMaxRasterSide) scale /= 2;
  int w = static_cast<int>(std::ceil((x1 - x0) * scale)), h = static_cast<int>(std::ceil((y1 - y0) * scale));
  if (w <= 0 || h <= 0) return;
  cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
  if (cairo_surface_status(mask) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(mask);
    return;
  }
  cairo_t* mc = cairo_create(mask);
  cairo_matrix_t userToDevice, toMask;
  cairo_get_matrix(cr_, &userToDevice);
  cairo_matrix_init_scale(&toMask, scale, scale);
  cairo_matrix_translate(&toMask, -x0, -y0);
  cairo_matrix_t combined;
  cairo_matrix_multiply(&combined, &userToDevice, &toMask);
  cairo_set_matrix(mc, &combined);
  cairo_set_antialias(mc, s.antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
  cairo_set_source_rgba(mc, 0, 0, 0, 1);
  operation(mc);
  cairo_destroy(mc);
  cairo_surface_flush(mask);
  blurAlpha(cairo_image_surface_get_data(mask), w, h, cairo_image_surface_get_stride(mask), blurDevice * scale / 2);
  cairo_surface_mark_dirty(mask);

  cairo_save(cr_);
  cairo_identity_matrix(cr_);
  auto c = s.shadowColor.rgbComponents();
  cairo_set_source_rgba(cr_, c[0], c[1], c[2], std::clamp(s.shadowColor.alpha, 0.0, 1.0) * s.alpha);
  cairo_pattern_t* pattern = cairo_pattern_create_for_surface(mask);
  cairo_matrix_t patternMatrix;
  cairo_matrix_init_scale(&patternMatrix, scale, scale);
  cairo_matrix_translate(&patternMatrix, -(x0 + offX), -(y0 + offY));
  cairo_pattern_set_matrix(pattern, &patternMatrix);
  cairo_mask(cr_, pattern);
  cairo_pattern_destroy(pattern);
  cairo_restore(cr_);
  cairo_surface_destroy(mask);
}

void GraphicsContext::fillPath(KRFillRule rule) {
  if (drawingSuppressed()) {
    beginPath();
    return;
  }
  cairo_fill_rule_t cairoRule = rule == KRFillRule::EvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING;
  cairo_set_fill_rule(cr_, cairoRule);
  if (state().hasShadow) {
    double x0, y0, x1, y1;
    cairo_fill_extents(cr_, &x0, &y0, &x1, &y1);
    cairo_path_t* path = cairo_copy_path(cr_);
    paint(userRectToDevice({x0, y0, x1 - x0, y1 - y0}), [&](cairo_t* cr) {
      cairo_append_path(cr, path);
      cairo_set_fill_rule(cr, cairoRule);
      cairo_fill(cr);
    });
    cairo_path_destroy(path);
  }
  setSource(state().fill);
  cairo_fill(cr_);
  pathBroken_ = true;
}

void GraphicsContext::strokePath() {
  if (drawingSuppressed()) {
    beginPath();
    return;
  }
  if (state().hasShadow) {
    double x0, y0, x1, y1;
    cairo_stroke_extents(cr_, &x0, &y0, &x1, &y1);
    cairo_path_t* path = cairo_copy_path(cr_);
    int dashCount = cairo_get_dash_count(cr_);
    std::vector<double> dashes(static_cast<std::size_t>(dashCount));
    double phase = 0;
    if (dashCount > 0) cairo_get_dash(cr_, dashes.data(), &phase);
    paint(userRectToDevice({x0, y0, x1 - x0, y1 - y0}), [&](cairo_t* cr) {
      cairo_append_path(cr, path);
      cairo_set_line_width(cr, cairo_get_line_width(cr_));
      cairo_set_line_cap(cr, cairo_get_line_cap(cr_));
      cairo_set_line_join(cr, cairo_get_line_join(cr_));
      cairo_set_miter_limit(cr, cairo_get_miter_limit(cr_));
      cairo_set_dash(cr, dashes.data(), dashCount, phase);
      cairo_stroke(cr);
    });
    cairo_path_destroy(path);
  }
  setSource(state().stroke);
  cairo_stroke(cr_);
  pathBroken_ = true;
}

void GraphicsContext::clipToPath(KRFillRule rule) {
  cairo_set_fill_rule(cr_, rule == KRFillRule::EvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
  cairo_clip(cr_);
  pathBroken_ = true;
}

void GraphicsContext::clipToRect(const KRRect& rect) {
  cairo_new_path(cr_);
  KRRect r = rect.standardized();
  if (finite(r.origin.x) && finite(r.origin.y) && finite(r.size.width) && finite(r.size.height))
    cairo_rectangle(cr_, r.origin.x, r.origin.y, r.size.width, r.size.height);
  cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
  cairo_clip(cr_);
  pathBroken_ = true;
}

KRRect GraphicsContext::clipBoundingBox() const {
  double x0, y0, x1, y1;
  cairo_clip_extents(cr_, &x0, &y0, &x1, &y1);
  return {x0, y0, x1 - x0, y1 - y0};
}

void GraphicsContext::setFillColor(const KRColor& color) { state().fill = color; }
void GraphicsContext::setStrokeColor(const KRColor& color) { state().stroke = color; }

void GraphicsContext::setLineWidth(double width) {
  cairo_set_line_width(cr_, finite(width) && width > 0 ? width : 0);
}

double GraphicsContext::lineWidth() const { return cairo_get_line_width(cr_); }

void GraphicsContext::setLineCap(KRLineCap cap) {
  cairo_set_line_cap(cr_, cap == KRLineCap::Round    ? CAIRO_LINE_CAP_ROUND
                          : cap == KRLineCap::Square ? CAIRO_LINE_CAP_SQUARE
                                                     : CAIRO_LINE_CAP_BUTT);
}

KRLineCap GraphicsContext::lineCap() const {
  switch (cairo_get_line_cap(cr_)) {
    case CAIRO_LINE_CAP_ROUND: return KRLineCap::Round;
    case CAIRO_LINE_CAP_SQUARE: return KRLineCap::Square;
    default: return KRLineCap::Butt;
  }
}

void GraphicsContext::setLineJoin(KRLineJoin join) {
  cairo_set_line_join(cr_, join == KRLineJoin::Round   ? CAIRO_LINE_JOIN_ROUND
                           : join == KRLineJoin::Bevel ? CAIRO_LINE_JOIN_BEVEL
                                                       : CAIRO_LINE_JOIN_MITER);
}

KRLineJoin GraphicsContext::lineJoin() const {
  switch (cairo_get_line_join(cr_)) {
    case CAIRO_LINE_JOIN_ROUND: return KRLineJoin::Round;
    case CAIRO_LINE_JOIN_BEVEL: return KRLineJoin::Bevel;
    default: return KRLineJoin::Miter;
  }
}

void GraphicsContext::setMiterLimit(double limit) {
  if (finite(limit) && limit >= 1) cairo_set_miter_limit(cr_, limit);
}

void GraphicsContext::setLineDash(const std::vector<double>& lengths, double phase) {
  bool drawable = !lengths.empty() && finite(phase);
  double total = 0;
  for (double v : lengths) {
    if (!finite(v) || v < 0) drawable = false;
    total += v;
  }
  if (!drawable || !(total > 0)) {
    cairo_set_dash(cr_, nullptr, 0, 0);
    return;
  }
  cairo_set_dash(cr_, lengths.data(), static_cast<int>(lengths.size()), phase);
}

std::vector<double> GraphicsContext::lineDash(double* phase) const {
  int count = cairo_get_dash_count(cr_);
  std::vector<double> lengths(static_cast<std::size_t>(count));
  double offset = 0;
  if (count > 0) cairo_get_dash(cr_, lengths.data(), &offset);
  if (phase) *phase = offset;
  return lengths;
}


void GraphicsContext::drawImage(const KRRect& rect, const KRImage& image, KRInterpolation quality) {
  KRRect r = rect.standardized();
  if (drawingSuppressed() || r.isEmpty() || !finite(r.origin.x) || !finite(r.origin.y) || !finite(r.size.width) ||
      !finite(r.size.height))
    return;
  auto operation = [&](cairo_t* cr, double alpha) {
    // Padding keeps the edge pixels sharp when they are interpolated.
    paintRaster(cr, r, image.surface_, image.width(), image.height(), filterFor(quality), CAIRO_EXTEND_PAD, alpha);
  };
  cairo_new_path(cr_);
  if (state().hasShadow) paint(userRectToDevice(r), [&](cairo_t* cr) { operation(cr, 1); });
  operation(cr_, state().alpha);
}

void GraphicsContext::drawPDFPage(const KRRect& rect, const KRPDFDocument& document, int page) {
  KRRect r = rect.standardized();
  if (drawingSuppressed() || r.isEmpty()) return;
  std::lock_guard guard(document.document_->lock);
  if (page < 0 || page >= poppler_document_get_n_pages(document.document_->poppler)) return;
  PopplerPage* p = poppler_document_get_page(document.document_->poppler, page);
  if (!p) return;
  double pw = 0, ph = 0;
  poppler_page_get_size(p, &pw, &ph);
  if (pw > 0 && ph > 0) {
    auto operation = [&](cairo_t* cr, double alpha) {
      cairo_save(cr);
      mapRasterIntoRect(cr, r, pw, ph);
      cairo_new_path(cr);
      cairo_rectangle(cr, 0, 0, pw, ph);
      cairo_clip(cr);
      if (alpha < 1) cairo_push_group(cr);
      poppler_page_render(p, cr);
      if (alpha < 1) {
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, alpha);
      }
      cairo_restore(cr);
    };
    cairo_new_path(cr_);
    if (state().hasShadow) paint(userRectToDevice(r), [&](cairo_t* cr) { operation(cr, 1); });
    operation(cr_, state().alpha);
  }
  g_object_unref(p);
}

void GraphicsContext::drawLinearGradient(const std::vector<KRGradientStop>& stops, KRPoint start, KRPoint end) {
  if (drawingSuppressed() || stops.empty() || !finite(start.x) || !finite(start.y) || !finite(end.x) ||
      !finite(end.y))
    return;
  cairo_pattern_t* pattern = cairo_pattern_create_linear(start.x, start.y, end.x, end.y);
  for (const auto& stop : stops) {
    if (!finite(stop.position)) continue;
    auto c = stop.color.rgbComponents();
    cairo_pattern_add_color_stop_rgba(pattern, std::clamp(stop.position, 0.0, 1.0), c[0], c[1], c[2],
                                      std::clamp(stop.color.alpha, 0.0, 1.0) * state().alpha);
  }
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
  cairo_new_path(cr_);
  if (state().hasShadow)
    paint(deviceClipExtents(cr_), [&](cairo_t* cr) {
      cairo_set_source(cr, pattern);
      cairo_paint(cr);
    });
  cairo_set_source(cr_, pattern);
  cairo_paint(cr_);
  cairo_pattern_destroy(pattern);
}

std::shared_ptr<GraphicsLayer> GraphicsContext::createLayer(KRSize size) {
  if (!(size.width > 0) || !(size.height > 0) || !finite(size.width) || !finite(size.height)) return nullptr;
  std::shared_ptr<GraphicsLayer> layer(new GraphicsLayer);
  layer->size_ = size;
  layer->owner_ = identifier_;
  if (vector_) {
    cairo_rectangle_t extents{0, 0, size.width, size.height};
    cairo_surface_t* surface = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
      cairo_surface_destroy(surface);
      return nullptr;
    }
    layer->pixelsWide_ = size.width;
    layer->pixelsHigh_ = size.height;
    layer->context_.reset(new GraphicsContext(surface, true, size, {1, 0, 0, -1, 0, size.height}));
    return layer;
  }
  // As many pixels as the layer covers on this device.
  cairo_matrix_t m;
  cairo_get_matrix(cr_, &m);
  double sx = std::hypot(m.xx, m.yx), sy = std::hypot(m.xy, m.yy);
  if (!(sx > 0) || !(sy > 0)) return nullptr;
  double w = std::ceil(size.width * sx - 1e-6), h = std::ceil(size.height * sy - 1e-6);
  while (w > kMaxRasterSide || h > kMaxRasterSide) {
    w = std::ceil(w / 2);
    h = std::ceil(h / 2);
  }
  cairo_surface_t* surface = newImageSurface(static_cast<int>(std::max(1.0, w)), static_cast<int>(std::max(1.0, h)));
  if (!surface) return nullptr;
  w = cairo_image_surface_get_width(surface);
  h = cairo_image_surface_get_height(surface);
  layer->pixelsWide_ = w;
  layer->pixelsHigh_ = h;
  layer->context_.reset(new GraphicsContext(surface, false, size, {w / size.width, 0, 0, -h / size.height, 0, h}));
  return layer;
}

void GraphicsContext::drawLayer(const KRRect& rect, const GraphicsLayer& layer) {
  KRRect r = rect.standardized();
  if (drawingSuppressed() || r.isEmpty() || !layer.context_) return;
  cairo_surface_t* source = layer.context_->surface_;
  cairo_surface_flush(source);
  auto operation = [&](cairo_t* cr, double alpha) {
    paintRaster(cr, r, source, layer.pixelsWide_, layer.pixelsHigh_, CAIRO_FILTER_GOOD, CAIRO_EXTEND_NONE, alpha);
  };
  cairo_new_path(cr_);
  if (state().hasShadow) paint(userRectToDevice(r), [&](cairo_t* cr) { operation(cr, 1); });
  operation(cr_, state().alpha);
}

void GraphicsContext::drawLayerRepeatedly(const GraphicsLayer& layer, KRSize size, const float* xy,
                                          std::size_t count, KRPoint shift) {
  if (drawingSuppressed() || !layer.context_ || !(size.width > 0) || !(size.height > 0) || count == 0) return;
  cairo_surface_t* source = layer.context_->surface_;
  cairo_surface_flush(source);
  cairo_pattern_t* pattern = cairo_pattern_create_for_surface(source);
  cairo_pattern_set_filter(pattern, CAIRO_FILTER_GOOD);
  double kx = layer.pixelsWide_ / size.width, ky = layer.pixelsHigh_ / size.height;
  auto stampAll = [&](cairo_t* cr, double alpha) {
    for (std::size_t i = 0; i < count; ++i) {
      double x = static_cast<double>(xy[2 * i]) - shift.x, y = static_cast<double>(xy[2 * i + 1]) - shift.y;
      if (!finite(x) || !finite(y)) continue;
      // User space to the layer's pixels, whose rows run from the top down.
      cairo_matrix_t m;
      cairo_matrix_init(&m, kx, 0, 0, -ky, -x * kx, (y + size.height) * ky);
      cairo_pattern_set_matrix(pattern, &m);
      cairo_set_source(cr, pattern);
      cairo_rectangle(cr, x, y, size.width, size.height);
      if (alpha >= 1) {
        cairo_fill(cr);
      } else {
        cairo_save(cr);
        cairo_clip(cr);
        cairo_paint_with_alpha(cr, alpha);
        cairo_restore(cr);
      }
    }
  };
  cairo_new_path(cr_);
  if (state().hasShadow) paint(deviceClipExtents(cr_), [&](cairo_t* cr) { stampAll(cr, 1); });
  stampAll(cr_, state().alpha);
  cairo_pattern_destroy(pattern);
}

std::shared_ptr<KRImage> GraphicsContext::image() {
  if (vector_) return nullptr;
  cairo_surface_flush(surface_);
  int w = cairo_image_surface_get_width(surface_), h = cairo_image_surface_get_height(surface_);
  cairo_surface_t* copy = newImageSurface(w, h);
  if (!copy) return nullptr;
  cairo_surface_flush(copy);
  int stride = cairo_image_surface_get_stride(surface_);
  std::memcpy(cairo_image_surface_get_data(copy), cairo_image_surface_get_data(surface_),
              static_cast<std::size_t>(stride) * h);
  cairo_surface_mark_dirty(copy);
  return std::shared_ptr<KRImage>(new KRImage(copy));
}

void GraphicsContext::showPage() {
  if (vector_ && pdfBytes_ && !finished_) cairo_show_page(cr_);
}

std::vector<std::uint8_t> GraphicsContext::finishPDF() {
  if (!pdfBytes_) return {};
  if (!finished_) {
    cairo_surface_finish(surface_);
    finished_ = true;
  }
  if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) return {};
  return *pdfBytes_;
}

bool GraphicsContext::hasError() const {
  return cairo_status(cr_) != CAIRO_STATUS_SUCCESS || cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS;
}

std::string GraphicsContext::errorText() const {
  cairo_status_t status = cairo_status(cr_);
  if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(surface_);
  return status == CAIRO_STATUS_SUCCESS ? std::string() : cairo_status_to_string(status);
}

std::size_t GraphicsLayer::memoryUsed() const {
  return sizeof(*this) + static_cast<std::size_t>(pixelsWide_ * pixelsHigh_ * 4);
}

}  // namespace orrelin
