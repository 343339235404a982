#include "drawing/KRDrawingBitmap.h"

#include <cstdint>
#include <vector>

#include "drawing/KRDrawingContext.h"
#include "drawing/KRDrawingDescription.h"
#include "drawing/KRDrawingMessages.h"
#include "platform/KRMessageCenter.h"
#include "platform/KRPDFDocument.h"

namespace orrelin {

using namespace drawing_messages;

// ---------------------------------------------------------------- bitmaps

std::shared_ptr<KRDrawingBitmap> KRDrawingBitmap::createBitmap(const KRBitmapRep& bitmap, const KRRect& insideRect) {
  auto result = std::make_shared<KRDrawingBitmap>();
  result->bitmap_ = std::make_shared<const KRBitmapRep>(bitmap);
  result->image_ = KRImage::createFromBitmap(bitmap);
  result->drawInside_ = insideRect;
  result->containsAlpha_ = bitmap.hasAlpha;
  return result;
}

std::shared_ptr<KRDrawingBitmap> KRDrawingBitmap::createCG(std::shared_ptr<KRImage> image, const KRRect& insideRect) {
  if (!image) {
    KRMessageCenter::addMessage(kNoImage);
    return nullptr;
  }
  auto result = std::make_shared<KRDrawingBitmap>();
  result->containsAlpha_ = image->hasTransparentPixels();
  result->image_ = std::move(image);
  result->drawInside_ = insideRect;
  return result;
}

std::shared_ptr<KRDrawingBitmap> KRDrawingBitmap::overtakeCGBitmap(std::shared_ptr<KRImage>&& image,
                                                                   const KRRect& insideRect) {
  return createCG(std::move(image), insideRect);
}

std::shared_ptr<KRDrawingBitmap> KRDrawingBitmap::createFromFile(const std::string& path) {
  std::string error;
  auto image = KRImage::createFromFile(path, &error);
  if (!image) {
    KRMessageCenter::addMessage(error);
    return nullptr;
  }
  return createFromImage(std::move(image), {0, 0});
}

std::shared_ptr<KRDrawingBitmap> KRDrawingBitmap::createFromImage(std::shared_ptr<KRImage> image, KRPoint atPoint) {
  if (!image) {
    KRMessageCenter::addMessage(kNoImage);
    return nullptr;
  }
  KRRect rect{atPoint.x, atPoint.y, static_cast<double>(image->width()), static_cast<double>(image->height())};
  return createCG(std::move(image), rect);
}

void KRDrawingBitmap::drawToCurrentContext(KRDrawingContext& context) const {
  if (!image_) {
    KRMessageCenter::addMessage(bitmap_ ? kUnsupportedBitmap : kNoImage);
    return;
  }
  KRInterpolation quality = interpolation_ == KRInterpolation::Default ? context.currentImageInterpolation() : interpolation_;
  context.graphicsPort().drawImage(drawInside_, *image_, quality);
}

std::shared_ptr<KRDrawingBasic> KRDrawingBitmap::scaledCopy(double s, KRPoint around, KRPoint shiftTo, bool) const {
  auto result = std::make_shared<KRDrawingBitmap>(*this);
  result->drawInside_ = mapRect(drawInside_, s, around, shiftTo);
  return result;
}

std::shared_ptr<KRDrawingBasic> KRDrawingBitmap::magnify(double factor) const {
  // The same pixels over a larger rectangle draw exactly as before, magnified.
  return scaledCopy(factor, {0, 0}, {0, 0}, false);
}

std::size_t KRDrawingBitmap::memoryUsed() const {
  std::size_t total = sizeof(*this) + (image_ ? image_->memoryUsed() : 0);
  if (bitmap_) total += bitmap_->data.size();
  return total;
}

std::string KRDrawingBitmap::textDescription() const {
  if (!image_) return bitmap_ ? formatMessage("%d x %d pixels (unsupported layout)", bitmap_->pixelsWide, bitmap_->pixelsHigh)
                              : std::string("No image");
  return formatMessage("%d x %d pixels", image_->width(), image_->height());
}

// ---------------------------------------------------------------- PDF pages

std::shared_ptr<KRDrawingPDF> KRDrawingPDF::createWithPDF(std::shared_ptr<KRPDFDocument> pdf, const KRRect& insideRect) {
  if (!pdf) {
    KRMessageCenter::addMessage(kNoPDF);
    return nullptr;
  }
  auto result = std::make_shared<KRDrawingPDF>();
  result->pdf_ = std::move(pdf);
  result->drawInside_ = insideRect;
  return result;
}

void KRDrawingPDF::drawToCurrentContext(KRDrawingContext& context) const {
  if (!pdf_) {
    KRMessageCenter::addMessage(kNoPDF);
    return;
  }
  context.graphicsPort().drawPDFPage(drawInside_, *pdf_, 0);
}

std::shared_ptr<KRDrawingBasic> KRDrawingPDF::scaledCopy(double s, KRPoint around, KRPoint shiftTo, bool) const {
  auto result = std::make_shared<KRDrawingPDF>(*this);
  result->drawInside_ = mapRect(drawInside_, s, around, shiftTo);
  return result;
}

std::shared_ptr<KRDrawingBasic> KRDrawingPDF::magnify(double factor) const {
  return scaledCopy(factor, {0, 0}, {0, 0}, false);
}

std::size_t KRDrawingPDF::memoryUsed() const { return sizeof(*this) + (pdf_ ? pdf_->data().size() : 0); }

std::string KRDrawingPDF::textDescription() const {
  KRSize size = pdf_ ? pdf_->pageSize(0) : KRSize{};
  return formatMessage("PDF page of %g x %g points", size.width, size.height);
}

// ---------------------------------------------------------------- output forms

namespace {

// The interpolation names of the description; Default and Medium are not written.
const char* interpolationName(KRInterpolation quality) {
  switch (quality) {
    case KRInterpolation::None: return "None";
    case KRInterpolation::Low: return "Low";
    case KRInterpolation::High: return "High";
    default: return nullptr;
  }
}

// A stored image is read only when its header asks for at most this many
// pixels: a damaged or hostile description cannot make us allocate gigabytes.
constexpr std::uint64_t kMaximumStoredPixels = std::uint64_t{1} << 26;

bool reasonablePNG(const std::vector<std::uint8_t>& png) {
  if (png.size() < 24) return false;
  auto word = [&png](std::size_t at) {
    return (std::uint32_t{png[at]} << 24) | (std::uint32_t{png[at + 1]} << 16) | (std::uint32_t{png[at + 2]} << 8) |
           png[at + 3];
  };
  // The IHDR chunk comes first: width and height after the signature, length and type.
  return std::uint64_t{word(16)} * word(20) <= kMaximumStoredPixels;
}

}  // namespace

// The image is kept as PNG data, which holds every pixel as it is.
std::optional<PropertyList> KRDrawingBitmap::mvgDescription() const {
  if (!image_) return std::nullopt;
  auto png = image_->pngData();
  if (png.empty()) return std::nullopt;
  auto description = drawing_description::newDescription("Bitmap");
  PlistDictionary& d = description->dictionary();
  d["CG"] = PlistData(std::move(png));
  d["Rectangle"] = drawing_description::rectText(drawInside_);
  if (const char* name = interpolationName(interpolation_)) d["Interpolation"] = name;
  if (descriptionString()) d["Description"] = *descriptionString();
  return description;
}

std::shared_ptr<KRDrawingBasic> KRDrawingBitmap::createFromMVG(const PropertyList& description) {
  auto rect = drawing_description::rectForKey(description, "Rectangle");
  const PropertyList* data = description.find("CG");
  if (!data) data = description.find("Bitmap");
  if (description.stringForKey("Type") != "Bitmap" || !rect || !data || !data->isData()) return nullptr;
  if (!reasonablePNG(data->data())) {
    KRMessageCenter::addMessage(kImageTooLarge);
    return nullptr;
  }
  auto image = KRImage::createFromPNGData(data->data());
  if (!image) return nullptr;
  auto result = createCG(std::move(image), *rect);
  if (auto name = description.stringForKey("Interpolation")) {
    for (KRInterpolation quality : {KRInterpolation::None, KRInterpolation::Low, KRInterpolation::High})
      if (*name == interpolationName(quality)) result->interpolation_ = quality;
  }
  if (auto label = description.stringForKey("Description")) result->setDescriptionString(*label);
  return result;
}

std::optional<PropertyList> KRDrawingPDF::mvgDescription() const {
  if (!pdf_) return std::nullopt;
  auto description = drawing_description::newDescription("PDF");
  PlistDictionary& d = description->dictionary();
  d["PDF"] = PlistData(pdf_->data());
  d["Rectangle"] = drawing_description::rectText(drawInside_);
  if (descriptionString()) d["Description"] = *descriptionString();
  return description;
}

std::shared_ptr<KRDrawingBasic> KRDrawingPDF::createFromMVG(const PropertyList& description) {
  auto rect = drawing_description::rectForKey(description, "Rectangle");
  const PropertyList* data = description.find("PDF");
  if (description.stringForKey("Type") != "PDF" || !rect || !data || !data->isData()) return nullptr;
  std::string error;
  auto pdf = KRPDFDocument::createWithData(data->data(), &error);
  if (!pdf) {
    KRMessageCenter::addMessage(error);
    return nullptr;
  }
  auto result = createWithPDF(std::move(pdf), *rect);
  if (auto label = description.stringForKey("Description")) result->setDescriptionString(*label);
  return result;
}

}  // namespace orrelin
