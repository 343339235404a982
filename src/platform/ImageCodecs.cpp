// The image codecs: PNG through cairo, JPEG through libjpeg.

#include <cairo.h>

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>

// libjpeg's header needs size_t and FILE declared before it.
#include <jpeglib.h>

#include "platform/CairoSupport.h"
#include "platform/KRImage.h"

namespace orrelin {

namespace {

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

}  // namespace

std::shared_ptr<KRImage> KRImage::createFromPNGData(const std::vector<std::uint8_t>& png) {
  ReadCursor cursor{&png};
  cairo_surface_t* read = cairo_image_surface_create_from_png_stream(readFromVector, &cursor);
  if (cairo_surface_status(read) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(read);
    return nullptr;
  }
  // Grey or opaque PNGs come back in other formats; keep one format throughout.
  if (cairo_image_surface_get_format(read) == CAIRO_FORMAT_ARGB32) return std::shared_ptr<KRImage>(new KRImage(read));
  cairo_surface_t* surface = cairo_support::newImageSurface(cairo_image_surface_get_width(read), cairo_image_surface_get_height(read));
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

std::vector<std::uint8_t> KRImage::pngData() const {
  std::vector<std::uint8_t> bytes;
  if (cairo_surface_write_to_png_stream(surface_, cairo_support::appendToVector, &bytes) != CAIRO_STATUS_SUCCESS) bytes.clear();
  return bytes;
}

}  // namespace orrelin
