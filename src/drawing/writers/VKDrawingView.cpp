#include "drawing/writers/VKDrawingView.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "drawing/KRDrawingDescription.h"
#include "drawing/KRDrawingOutput.h"
#include "drawing/writers/ImageEncoding.h"
#include "drawing/KRDrawingMessages.h"
#include "drawing/writers/WriterMessages.h"
#include "platform/FileWriting.h"
#include "platform/KRMessageCenter.h"
#include "platform/PropertyListSerialization.h"

namespace orrelin {

using namespace writer_messages;

namespace {

using drawing_messages::formatMessage;

// The PostScript target bounds its EPS by the marks drawn; the page of an
// exported drawing is its whole size, so the bounding-box comments are set
// to it (white margins stay part of the picture, as in every other form).
void setBoundingBox(std::vector<std::uint8_t>& eps, KRSize size) {
  std::string text(eps.begin(), eps.end());
  std::string whole = formatMessage("0 0 %d %d", static_cast<int>(std::ceil(size.width)), static_cast<int>(std::ceil(size.height)));
  std::string hiRes = formatMessage("0 0 %g %g", size.width, size.height);
  for (const auto& [comment, box] : {std::pair<std::string, std::string>{"%%BoundingBox:", whole},
                                     {"%%HiResBoundingBox:", hiRes},
                                     {"%%PageBoundingBox:", whole}}) {
    for (std::size_t at = text.find(comment); at != std::string::npos; at = text.find(comment, at + 1)) {
      if (at > 0 && text[at - 1] != '\n') continue;
      std::size_t end = text.find('\n', at);
      if (end == std::string::npos) break;
      text.replace(at, end - at, comment + " " + box);
    }
  }
  eps.assign(text.begin(), text.end());
}

// 2^28 pixels: a gigabyte of RGBA before it is encoded.
constexpr double kMaxBitmapPixels = 268435456.0;

bool usableSize(KRSize size) {
  return std::isfinite(size.width) && std::isfinite(size.height) && size.width > 0 && size.height > 0;
}

}  // namespace

void VKDrawingView::setGraphic(std::shared_ptr<KRDrawingGroup> graphic, KRSize size) {
  graphic_ = std::move(graphic);
  size_ = size;
  source_.reset();
}

void VKDrawingView::setDrawingSource(std::shared_ptr<KRDrawingSource> source, std::optional<KRSize> frame) {
  source_ = std::move(source);
  frame_ = frame;
  graphic_.reset();
}

KRSize VKDrawingView::drawingSize() const {
  if (!source_) return size_;
  return frame_ ? *frame_ : source_->drawingSize();
}

bool VKDrawingView::fail(const std::string& message) {
  lastError_ = message;
  KRMessageCenter::addMessage(message);
  return false;
}

std::shared_ptr<KRDrawingGroup> VKDrawingView::graphicFor(const char* destination) {
  lastError_.clear();
  KRSize size = drawingSize();
  std::shared_ptr<KRDrawingGroup> graphic = source_ ? source_->createGraphic(destination, size) : graphic_;
  if (!graphic) {
    fail(kNoGraphic);
    return nullptr;
  }
  if (!usableSize(size)) {
    fail(formatMessage(kEmptySize, size.width, size.height));
    return nullptr;
  }
  return graphic;
}

bool VKDrawingView::write(const std::string& path, const std::vector<std::uint8_t>& bytes, const char* form) {
  if (bytes.empty()) return fail(formatMessage(kCouldNotMake, form));
  std::string error;
  if (!writeFile(path, bytes, WriteMode::Atomic, &error)) return fail(formatMessage(kCouldNotWrite, path.c_str(), error.c_str()));
  return true;
}

// ---------------------------------------------------------------- vector forms

std::string VKDrawingView::svgForm() {
  auto graphic = graphicFor(drawing_destination::kSVG);
  if (!graphic) return {};
  return graphic->stripHighQuality()->removeEmptyGroups()->svgForm(drawingSize());
}

bool VKDrawingView::saveSVGInto(const std::string& path) {
  std::string svg = svgForm();
  if (svg.empty()) return false;
  return write(path, std::vector<std::uint8_t>(svg.begin(), svg.end()), "SVG");
}

std::vector<std::uint8_t> VKDrawingView::pdfData(bool allowTransparency) {
  auto graphic = graphicFor(drawing_destination::kPDF);
  if (!graphic) return {};
  if (!allowTransparency) graphic = graphic->removeTransparency();
  graphic = graphic->removeGradients(true);
  KRSize size = drawingSize();
  auto pdf = renderToPDF(*graphic, {0, 0, size.width, size.height});
  if (pdf.empty()) fail(formatMessage(kCouldNotMake, "PDF"));
  return pdf;
}

bool VKDrawingView::savePDFInto(const std::string& path, bool allowTransparency) {
  auto pdf = pdfData(allowTransparency);
  return !pdf.empty() && write(path, pdf, "PDF");
}

std::vector<std::uint8_t> VKDrawingView::epsData() {
  auto graphic = graphicFor(drawing_destination::kEPS);
  if (!graphic) return {};
  graphic = graphic->removeTransparency()->removeGradients(false);
  KRSize size = drawingSize();
  auto eps = renderToPostScript(*graphic, {0, 0, size.width, size.height}, true);
  if (eps.empty())
    fail(formatMessage(kCouldNotMake, "EPS"));
  else
    setBoundingBox(eps, size);
  return eps;
}

bool VKDrawingView::saveEPSInto(const std::string& path) {
  auto eps = epsData();
  return !eps.empty() && write(path, eps, "EPS");
}

bool VKDrawingView::saveEPSWithPreviewInto(const std::string& path) {
  auto eps = epsData();
  if (eps.empty()) return false;
  std::vector<std::uint8_t> tiff;
  if (auto preview = imageWithScale(1, true)) tiff = image_encoding::encodeGreyTIFF(*preview, 72);
  return write(path, tiff.empty() ? eps : image_encoding::epsWithPreview(eps, tiff), "EPS");
}

// ---------------------------------------------------------------- bitmaps

std::shared_ptr<KRImage> VKDrawingView::imageWithScale(double scale, bool alias, bool transparent) {
  auto graphic = graphicFor(drawing_destination::kImage);
  if (!graphic) return nullptr;
  KRSize size = drawingSize();
  // A resolution far beyond the screen's (a batch run's -dpi) would ask for
  // more memory than the machine has; such a bitmap is refused up front.
  const double wide = std::round(size.width * scale), high = std::round(size.height * scale);
  if (!(wide >= 1 && high >= 1 && wide * high <= kMaxBitmapPixels)) {
    fail(formatMessage(kBitmapTooLarge, wide, high));
    return nullptr;
  }
  KRRenderOptions options;
  options.scale = scale;
  options.smoothing = alias;
  if (!transparent) options.background = KRColor::rgb(1, 1, 1);
  auto image = renderToImage(*graphic, {0, 0, size.width, size.height}, options);
  if (!image) fail(formatMessage(kCouldNotMake, "bitmap"));
  return image;
}

bool VKDrawingView::saveBitmap(const std::string& path, Bitmap form, double quality, double scale, bool alias) {
  bool alpha = form == Bitmap::PNGAlpha || form == Bitmap::TIFFAlpha;
  auto image = imageWithScale(scale, alias, alpha);
  if (!image) return false;
  // The image is as many pixels as the page is points times the scale, so
  // its resolution is 72 dpi times the scale.
  double dpi = 72 * scale;
  switch (form) {
    case Bitmap::PNG:
    case Bitmap::PNGAlpha: return write(path, image_encoding::encodePNG(*image, dpi, alpha), "PNG");
    case Bitmap::TIFF:
    case Bitmap::TIFFAlpha: return write(path, image_encoding::encodeTIFF(*image, dpi, alpha), "TIFF");
    case Bitmap::JPEG: return write(path, image_encoding::encodeJPEG(*image, quality, dpi), "JPEG");
    case Bitmap::JPEG2000: return write(path, image_encoding::encodeJPEG2000(*image, quality), "JPEG 2000");
  }
  return false;
}

bool VKDrawingView::savePNGInto(const std::string& path, double scale, bool alias) {
  return saveBitmap(path, Bitmap::PNG, 1, scale, alias);
}

bool VKDrawingView::savePNGWithAlphaInto(const std::string& path, double scale, bool alias) {
  return saveBitmap(path, Bitmap::PNGAlpha, 1, scale, alias);
}

bool VKDrawingView::saveTIFFOpaqueInto(const std::string& path, double scale, bool alias) {
  return saveBitmap(path, Bitmap::TIFF, 1, scale, alias);
}

bool VKDrawingView::saveTIFFAlphaInto(const std::string& path, double scale, bool alias) {
  return saveBitmap(path, Bitmap::TIFFAlpha, 1, scale, alias);
}

bool VKDrawingView::saveJPGInto(const std::string& path, double quality, double scale, bool alias) {
  return saveBitmap(path, Bitmap::JPEG, quality, scale, alias);
}

bool VKDrawingView::saveJPG2000Into(const std::string& path, double quality, double scale, bool alias) {
  return saveBitmap(path, Bitmap::JPEG2000, quality, scale, alias);
}

// ---------------------------------------------------------------- drawing description

bool VKDrawingView::saveMVGInto(const std::string& path) {
  auto graphic = graphicFor(drawing_destination::kMVG);
  if (!graphic) return false;
  auto description = KRDrawingGroup::createWithDrawingObject(graphic)->mvgDescription();
  if (!description) return fail(formatMessage(kCouldNotMake, "drawing description"));
  PlistDictionary file;
  file["Size"] = drawing_description::sizeText(drawingSize());
  file["Graphic"] = std::move(*description);
  std::string error;
  if (!writePropertyListFile(PropertyList(std::move(file)), path, PlistFormat::XML, WriteMode::Atomic, &error))
    return fail(formatMessage(kCouldNotWrite, path.c_str(), error.c_str()));
  return true;
}

std::optional<KRDrawingDescriptionFile> drawingFromMVGData(std::string_view bytes, std::string* error) {
  std::string reason;
  auto list = parsePropertyList(bytes, &reason);
  if (!list) {
    if (error) *error = reason;
    return std::nullopt;
  }
  const PropertyList* graphic = list->find("Graphic");
  auto group = graphic ? std::dynamic_pointer_cast<KRDrawingGroup>(KRDrawingGroup::createFromMVG(*graphic)) : nullptr;
  if (!group) {
    if (error) *error = kNoGraphicInDescription;
    return std::nullopt;
  }
  auto size = drawing_description::sizeForKey(*list, "Size");
  return KRDrawingDescriptionFile{std::move(group), size.value_or(KRSize{})};
}

std::optional<KRDrawingDescriptionFile> readMVGFile(const std::string& path, std::string* error) {
  std::string contents, reason;
  std::optional<KRDrawingDescriptionFile> result;
  if (readFile(path, contents, &reason)) result = drawingFromMVGData(contents, &reason);
  if (!result) {
    std::string message = formatMessage(kCouldNotReadDescription, path.c_str(), reason.c_str());
    KRMessageCenter::addMessage(message);
    if (error) *error = message;
  }
  return result;
}

}  // namespace orrelin
