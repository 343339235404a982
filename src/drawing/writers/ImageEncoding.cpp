#include "drawing/writers/ImageEncoding.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <jpeglib.h>
#include <openjpeg.h>
#include <png.h>
#include <tiffio.h>

#include "platform/KRMessageCenter.h"
#include "platform/SharedLibrary.h"

namespace orrelin::image_encoding {

namespace {

// Straight 8-bit samples of the image: RGBA, RGB or grey, rows top first.
std::vector<std::uint8_t> samples(const KRImage& image, int channels) {
  std::vector<std::uint8_t> rgba = image.rgbaData();
  if (channels == 4) return rgba;
  std::size_t pixels = static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(image.height());
  std::vector<std::uint8_t> out(pixels * static_cast<std::size_t>(channels));
  for (std::size_t i = 0; i < pixels; ++i) {
    const std::uint8_t* p = &rgba[4 * i];
    if (channels == 3) {
      std::memcpy(&out[3 * i], p, 3);
    } else {
      // Luminance by the Rec. 601 weights, as grey-scale previews use.
      out[i] = static_cast<std::uint8_t>(std::lround(0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2]));
    }
  }
  return out;
}

double validDpi(double dpi) { return std::isfinite(dpi) && dpi > 0 ? dpi : 72; }

// ---------------------------------------------------------------- PNG

void pngWrite(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void pngFlush(png_structp) {}

// ---------------------------------------------------------------- libraries

// libtiff and OpenJPEG are opened when the first TIFF (or EPS preview) or
// JPEG 2000 file is written instead of when the program starts: they bring
// eight shared objects of their own that no other output needs. A library
// that cannot be loaded makes its encoder refuse, with the loader's reason
// in the message center.
#define ORREL_TIFF_FUNCTIONS(X) \
  X(TIFFSetErrorHandler) X(TIFFSetWarningHandler) X(TIFFClientOpen) X(TIFFSetField) X(TIFFDefaultStripSize) \
  X(TIFFWriteScanline) X(TIFFClose)
#define ORREL_OPENJPEG_FUNCTIONS(X) \
  X(opj_create_compress) \
  X(opj_destroy_codec) \
  X(opj_encode) \
  X(opj_end_compress) \
  X(opj_image_create) \
  X(opj_image_destroy) \
  X(opj_set_default_encoder_parameters) \
  X(opj_set_error_handler) \
  X(opj_set_info_handler) \
  X(opj_set_warning_handler) \
  X(opj_setup_encoder) \
  X(opj_start_compress) \
  X(opj_stream_create) \
  X(opj_stream_destroy) \
  X(opj_stream_set_seek_function) \
  X(opj_stream_set_skip_function) \
  X(opj_stream_set_user_data) \
  X(opj_stream_set_write_function)

#define ORREL_FUNCTION_POINTER(name) decltype(&::name) name = nullptr;
#define ORREL_BIND_FUNCTION(name) found = library.bind(functions.name, #name) && found;

struct TIFFLibrary {
  ORREL_TIFF_FUNCTIONS(ORREL_FUNCTION_POINTER)
  bool found = false;
  std::string error;
};

struct OpenJPEGLibrary {
  ORREL_OPENJPEG_FUNCTIONS(ORREL_FUNCTION_POINTER)
  bool found = false;
  std::string error;
};

// Errors go into the result (an empty file), not to standard error.
void tiffQuiet(const char*, const char*, va_list) {}

const TIFFLibrary& tiffLibrary() {
  static const TIFFLibrary loaded = [] {
    static SharedLibrary library(ORREL_TIFF_FILE);
    TIFFLibrary functions;
    bool found = true;
    ORREL_TIFF_FUNCTIONS(ORREL_BIND_FUNCTION)
    functions.found = found;
    if (found) {
      functions.TIFFSetErrorHandler(tiffQuiet);
      functions.TIFFSetWarningHandler(tiffQuiet);
    } else {
      functions.error = "TIFF files are written with libtiff, but " + library.error();
    }
    return functions;
  }();
  if (!loaded.found) KRMessageCenter::addMessage(loaded.error);
  return loaded;
}

const OpenJPEGLibrary& openjpegLibrary() {
  static const OpenJPEGLibrary loaded = [] {
    static SharedLibrary library(ORREL_OPENJP2_FILE);
    OpenJPEGLibrary functions;
    bool found = true;
    ORREL_OPENJPEG_FUNCTIONS(ORREL_BIND_FUNCTION)
    functions.found = found;
    if (!found) functions.error = "JPEG 2000 files are written with OpenJPEG, but " + library.error();
    return functions;
  }();
  if (!loaded.found) KRMessageCenter::addMessage(loaded.error);
  return loaded;
}

#undef ORREL_FUNCTION_POINTER
#undef ORREL_BIND_FUNCTION

// ---------------------------------------------------------------- TIFF in memory

struct MemoryFile {
  std::vector<std::uint8_t> bytes;
  std::size_t position = 0;
};

tsize_t tiffRead(thandle_t handle, tdata_t data, tsize_t size) {
  auto* file = static_cast<MemoryFile*>(handle);
  std::size_t available = file->position < file->bytes.size() ? file->bytes.size() - file->position : 0;
  std::size_t n = std::min(available, static_cast<std::size_t>(size));
  if (n > 0) std::memcpy(data, file->bytes.data() + file->position, n);
  file->position += n;
  return static_cast<tsize_t>(n);
}

tsize_t tiffWrite(thandle_t handle, tdata_t data, tsize_t size) {
  auto* file = static_cast<MemoryFile*>(handle);
  std::size_t n = static_cast<std::size_t>(size);
  if (file->position + n > file->bytes.size()) file->bytes.resize(file->position + n);
  std::memcpy(file->bytes.data() + file->position, data, n);
  file->position += n;
  return size;
}

toff_t tiffSeek(thandle_t handle, toff_t offset, int whence) {
  auto* file = static_cast<MemoryFile*>(handle);
  std::size_t base = whence == SEEK_CUR ? file->position : whence == SEEK_END ? file->bytes.size() : 0;
  file->position = base + static_cast<std::size_t>(offset);
  return file->position;
}

int tiffClose(thandle_t) { return 0; }
toff_t tiffSize(thandle_t handle) { return static_cast<MemoryFile*>(handle)->bytes.size(); }
int tiffMap(thandle_t, tdata_t*, toff_t*) { return 0; }
void tiffUnmap(thandle_t, tdata_t, toff_t) {}

std::vector<std::uint8_t> encodeTIFFSamples(const KRImage& image, int channels, double dpi, bool lzw) {
  const TIFFLibrary& libtiff = tiffLibrary();
  if (!libtiff.found) return {};
  MemoryFile file;
  TIFF* tiff = libtiff.TIFFClientOpen("memory", "w", &file, tiffRead, tiffWrite, tiffSeek, tiffClose, tiffSize,
                                      tiffMap, tiffUnmap);
  if (!tiff) return {};
  int width = image.width(), height = image.height();
  libtiff.TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(width));
  libtiff.TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(height));
  libtiff.TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
  libtiff.TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, channels);
  libtiff.TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  libtiff.TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, channels == 1 ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB);
  libtiff.TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
  if (channels == 4) {
    std::uint16_t extra = EXTRASAMPLE_UNASSALPHA;
    libtiff.TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, &extra);
  }
  libtiff.TIFFSetField(tiff, TIFFTAG_COMPRESSION, lzw ? COMPRESSION_LZW : COMPRESSION_NONE);
  if (lzw) libtiff.TIFFSetField(tiff, TIFFTAG_PREDICTOR, PREDICTOR_NONE);
  libtiff.TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
  libtiff.TIFFSetField(tiff, TIFFTAG_XRESOLUTION, static_cast<float>(dpi));
  libtiff.TIFFSetField(tiff, TIFFTAG_YRESOLUTION, static_cast<float>(dpi));
  libtiff.TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, libtiff.TIFFDefaultStripSize(tiff, 0));
  std::vector<std::uint8_t> pixels = samples(image, channels);
  std::size_t stride = static_cast<std::size_t>(width) * static_cast<std::size_t>(channels);
  bool ok = true;
  for (int row = 0; row < height && ok; ++row)
    ok = libtiff.TIFFWriteScanline(tiff, pixels.data() + stride * static_cast<std::size_t>(row),
                                   static_cast<std::uint32_t>(row), 0) >= 0;
  libtiff.TIFFClose(tiff);
  if (!ok) return {};
  return std::move(file.bytes);
}

// ---------------------------------------------------------------- JPEG

struct JPEGError {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

[[noreturn]] void jpegFail(j_common_ptr info) { std::longjmp(reinterpret_cast<JPEGError*>(info->err)->jump, 1); }
void jpegQuiet(j_common_ptr, int) {}

// ---------------------------------------------------------------- JPEG 2000

OPJ_SIZE_T opjWrite(void* data, OPJ_SIZE_T size, void* user) {
  auto* file = static_cast<MemoryFile*>(user);
  tiffWrite(file, data, static_cast<tsize_t>(size));
  return size;
}

OPJ_OFF_T opjSkip(OPJ_OFF_T size, void* user) {
  auto* file = static_cast<MemoryFile*>(user);
  file->position += static_cast<std::size_t>(size);
  if (file->position > file->bytes.size()) file->bytes.resize(file->position);
  return size;
}

OPJ_BOOL opjSeek(OPJ_OFF_T position, void* user) {
  static_cast<MemoryFile*>(user)->position = static_cast<std::size_t>(position);
  return OPJ_TRUE;
}

void opjQuiet(const char*, void*) {}

}  // namespace

std::vector<std::uint8_t> encodePNG(const KRImage& image, double dpi, bool alpha) {
  std::vector<std::uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return {};
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return {};
  }
  int channels = alpha ? 4 : 3;
  std::vector<std::uint8_t> pixels = samples(image, channels);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, pngWrite, pngFlush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()), static_cast<png_uint_32>(image.height()), 8,
               alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  // Graphs are flat colours, lines and text: row filters gain little on
  // them, and zlib's level 3 without a filter writes them within about a
  // tenth of the size of its default level 6 with adaptive filters, in a
  // quarter to a third of the time. Dense noise compresses worse (a plot of
  // 10^6 noisy points: 106 kB against 76 kB).
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_compression_level(png, 3);
  auto perMetre = static_cast<png_uint_32>(std::lround(validDpi(dpi) / 0.0254));
  png_set_pHYs(png, info, perMetre, perMetre, PNG_RESOLUTION_METER);
  png_write_info(png, info);
  std::size_t stride = static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(channels);
  for (int row = 0; row < image.height(); ++row) png_write_row(png, pixels.data() + stride * static_cast<std::size_t>(row));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

std::vector<std::uint8_t> encodeTIFF(const KRImage& image, double dpi, bool alpha) {
  return encodeTIFFSamples(image, alpha ? 4 : 3, validDpi(dpi), false);
}

std::vector<std::uint8_t> encodeGreyTIFF(const KRImage& image, double dpi) {
  return encodeTIFFSamples(image, 1, validDpi(dpi), true);
}

std::vector<std::uint8_t> encodeJPEG(const KRImage& image, double quality, double dpi) {
  std::vector<std::uint8_t> pixels = samples(image, 3);
  jpeg_compress_struct info;
  JPEGError error;
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = jpegFail;
  error.manager.emit_message = jpegQuiet;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  if (setjmp(error.jump)) {
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return {};
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(image.width());
  info.image_height = static_cast<JDIMENSION>(image.height());
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  double q = std::isfinite(quality) ? std::clamp(quality, 0.0, 1.0) : 0.9;
  jpeg_set_quality(&info, static_cast<int>(std::lround(q * 100)), TRUE);
  info.write_JFIF_header = TRUE;
  info.density_unit = 1;  // dots per inch
  auto density = static_cast<UINT16>(std::clamp(std::lround(validDpi(dpi)), 1L, 65535L));
  info.X_density = density;
  info.Y_density = density;
  jpeg_start_compress(&info, TRUE);
  std::size_t stride = static_cast<std::size_t>(image.width()) * 3;
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = pixels.data() + stride * info.next_scanline;
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<std::uint8_t> out(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return out;
}

std::vector<std::uint8_t> encodeJPEG2000(const KRImage& image, double quality) {
  const OpenJPEGLibrary& openjpeg = openjpegLibrary();
  if (!openjpeg.found) return {};
  int width = image.width(), height = image.height();
  opj_image_cmptparm_t parameters[3];
  std::memset(parameters, 0, sizeof parameters);
  for (auto& component : parameters) {
    component.dx = component.dy = 1;
    component.w = static_cast<OPJ_UINT32>(width);
    component.h = static_cast<OPJ_UINT32>(height);
    component.prec = 8;
    component.sgnd = 0;
  }
  opj_image_t* picture = openjpeg.opj_image_create(3, parameters, OPJ_CLRSPC_SRGB);
  if (!picture) return {};
  picture->x0 = picture->y0 = 0;
  picture->x1 = static_cast<OPJ_UINT32>(width);
  picture->y1 = static_cast<OPJ_UINT32>(height);
  std::vector<std::uint8_t> pixels = samples(image, 3);
  std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  for (std::size_t i = 0; i < count; ++i)
    for (int c = 0; c < 3; ++c) picture->comps[c].data[i] = pixels[3 * i + static_cast<std::size_t>(c)];

  opj_cparameters_t settings;
  openjpeg.opj_set_default_encoder_parameters(&settings);
  double q = std::isfinite(quality) ? std::clamp(quality, 0.0, 1.0) : 1.0;
  settings.tcp_numlayers = 1;
  settings.tcp_rates[0] = q >= 1 ? 0 : static_cast<float>(1 + 49 * (1 - q));  // 0: lossless
  settings.cp_disto_alloc = 1;
  settings.irreversible = q < 1 ? 1 : 0;
  settings.tcp_mct = 1;
  // Fewer resolution levels for images too small for the default five.
  while (settings.numresolution > 1 && (std::min(width, height) >> (settings.numresolution - 1)) < 1)
    --settings.numresolution;

  std::vector<std::uint8_t> out;
  opj_codec_t* codec = openjpeg.opj_create_compress(OPJ_CODEC_JP2);
  openjpeg.opj_set_error_handler(codec, opjQuiet, nullptr);
  openjpeg.opj_set_warning_handler(codec, opjQuiet, nullptr);
  openjpeg.opj_set_info_handler(codec, opjQuiet, nullptr);
  MemoryFile file;
  opj_stream_t* stream = openjpeg.opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_FALSE);
  openjpeg.opj_stream_set_user_data(stream, &file, nullptr);
  openjpeg.opj_stream_set_write_function(stream, opjWrite);
  openjpeg.opj_stream_set_skip_function(stream, opjSkip);
  openjpeg.opj_stream_set_seek_function(stream, opjSeek);
  bool ok = openjpeg.opj_setup_encoder(codec, &settings, picture) &&
            openjpeg.opj_start_compress(codec, picture, stream) &&
            openjpeg.opj_encode(codec, stream) && openjpeg.opj_end_compress(codec, stream);
  openjpeg.opj_stream_destroy(stream);
  openjpeg.opj_destroy_codec(codec);
  openjpeg.opj_image_destroy(picture);
  if (ok) out = std::move(file.bytes);
  return out;
}

std::vector<std::uint8_t> epsWithPreview(const std::vector<std::uint8_t>& postScript,
                                         const std::vector<std::uint8_t>& tiff) {
  std::vector<std::uint8_t> out{0xC5, 0xD0, 0xD3, 0xC6};
  auto word = [&out](std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  };
  auto psLength = static_cast<std::uint32_t>(postScript.size());
  word(32);
  word(psLength);
  word(0);
  word(0);
  word(32 + psLength);
  word(static_cast<std::uint32_t>(tiff.size()));
  word(0);
  out.insert(out.end(), postScript.begin(), postScript.end());
  out.insert(out.end(), tiff.begin(), tiff.end());
  return out;
}

}  // namespace orrelin::image_encoding
