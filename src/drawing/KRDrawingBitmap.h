#pragma once
// Raster images and PDF pages placed in a rectangle of the page.

#include <memory>
#include <string>

#include "drawing/KRDrawingBasic.h"

namespace orrelin {

class KRDrawingBitmap : public KRDrawingElement {
 public:
  // From raw pixels. A layout this system cannot draw is kept, reported
  // when drawn, and not drawn.
  static std::shared_ptr<KRDrawingBitmap> createBitmap(const KRBitmapRep& bitmap, const KRRect& insideRect);
  // From an image (shared, images never change).
  static std::shared_ptr<KRDrawingBitmap> createCG(std::shared_ptr<KRImage> image, const KRRect& insideRect);
  static std::shared_ptr<KRDrawingBitmap> overtakeCGBitmap(std::shared_ptr<KRImage>&& image, const KRRect& insideRect);
  // A PNG or JPEG file at one point per pixel with its lower left corner at
  // the origin; nullptr, with the reason reported, when it cannot be read.
  static std::shared_ptr<KRDrawingBitmap> createFromFile(const std::string& path);
  // The image at one point per pixel with its lower left corner at the point.
  static std::shared_ptr<KRDrawingBitmap> createFromImage(std::shared_ptr<KRImage> image, KRPoint atPoint);

  const std::shared_ptr<KRImage>& cgBitmap() const { return image_; }
  const std::shared_ptr<const KRBitmapRep>& bitmap() const { return bitmap_; }
  const KRRect& drawInside() const { return drawInside_; }
  bool containsAlpha() const { return containsAlpha_; }
  KRInterpolation interpolation() const { return interpolation_; }
  void setInterpolation(KRInterpolation quality) { interpolation_ = quality; }

  const char* className() const override { return "KRDrawingBitmap"; }
  std::optional<PropertyList> mvgDescription() const override;
  static std::shared_ptr<KRDrawingBasic> createFromMVG(const PropertyList& description);
  void drawToCurrentContext(KRDrawingContext& context) const override;
  KRRect computeBoundingRectangle() const override { return drawInside_.standardized(); }
  bool hitTestForPoint(KRPoint point) const override { return drawInside_.standardized().contains(point); }
  std::shared_ptr<KRDrawingBasic> magnify(double factor) const override;
  std::shared_ptr<KRDrawingBasic> copy() const override { return std::make_shared<KRDrawingBitmap>(*this); }
  std::size_t memoryUsed() const override;
  std::string textDescription() const override;

  KRDrawingBitmap() = default;
  KRDrawingBitmap(const KRDrawingBitmap&) = default;

 protected:
  std::shared_ptr<KRDrawingBasic> scaledCopy(double s, KRPoint around, KRPoint shiftTo, bool crop) const override;

 private:
  std::shared_ptr<KRImage> image_;
  std::shared_ptr<const KRBitmapRep> bitmap_;  // kept when it came as raw pixels
  KRRect drawInside_;
  bool containsAlpha_ = false;
  KRInterpolation interpolation_ = KRInterpolation::Default;
};

class KRDrawingPDF : public KRDrawingElement {
 public:
  // The first page of the document, drawn into the rectangle.
  static std::shared_ptr<KRDrawingPDF> createWithPDF(std::shared_ptr<KRPDFDocument> pdf, const KRRect& insideRect);

  const std::shared_ptr<KRPDFDocument>& pdf() const { return pdf_; }
  const KRRect& drawInside() const { return drawInside_; }

  const char* className() const override { return "KRDrawingPDF"; }
  std::optional<PropertyList> mvgDescription() const override;
  static std::shared_ptr<KRDrawingBasic> createFromMVG(const PropertyList& description);
  void drawToCurrentContext(KRDrawingContext& context) const override;
  KRRect computeBoundingRectangle() const override { return drawInside_.standardized(); }
  bool hitTestForPoint(KRPoint point) const override { return drawInside_.standardized().contains(point); }
  std::shared_ptr<KRDrawingBasic> magnify(double factor) const override;
  std::shared_ptr<KRDrawingBasic> copy() const override { return std::make_shared<KRDrawingPDF>(*this); }
  std::size_t memoryUsed() const override;
  std::string textDescription() const override;

  KRDrawingPDF() = default;
  KRDrawingPDF(const KRDrawingPDF&) = default;

 protected:
  std::shared_ptr<KRDrawingBasic> scaledCopy(double s, KRPoint around, KRPoint shiftTo, bool crop) const override;

 private:
  std::shared_ptr<KRPDFDocument> pdf_;
  KRRect drawInside_;
};

}  // namespace orrelin
