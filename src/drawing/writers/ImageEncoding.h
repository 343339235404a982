#pragma once
// Encoders for the bitmap output forms. Each takes an image as the drawing
// was rendered and gives the file's bytes (empty when the encoder refused),
// with the resolution recorded in the form's own field.

#include <cstdint>
#include <vector>

#include "platform/KRImage.h"

namespace orrelin::image_encoding {

// PNG without interlacing; the pHYs chunk holds the resolution. With alpha
// the pixels keep their transparency, otherwise they are written as RGB.
std::vector<std::uint8_t> encodePNG(const KRImage& image, double dpi, bool alpha);
// TIFF in RGB or RGBA, uncompressed, with the resolution tags in inches.
std::vector<std::uint8_t> encodeTIFF(const KRImage& image, double dpi, bool alpha);
// A grey-scale TIFF with LZW compression (the preview of an EPS file).
std::vector<std::uint8_t> encodeGreyTIFF(const KRImage& image, double dpi);
// Baseline JPEG; quality from 0 to 1, the JFIF density in dots per inch.
std::vector<std::uint8_t> encodeJPEG(const KRImage& image, double quality, double dpi);
// A JP2 file. quality 1 is lossless; lower qualities compress up to 50:1 at 0.
std::vector<std::uint8_t> encodeJPEG2000(const KRImage& image, double quality);

// The DOS EPS binary header: C5 D0 D3 C6, seven little-endian words
// (PostScript offset 32 and length, no metafile, TIFF offset and length,
// no checksum), then the PostScript and the TIFF.
std::vector<std::uint8_t> epsWithPreview(const std::vector<std::uint8_t>& postScript,
                                         const std::vector<std::uint8_t>& tiff);

}  // namespace orrelin::image_encoding
