#pragma once
// A rectangle filled with two-colour Perlin noise: a smooth random pattern
// that mixes a foreground into a background colour.

#include <memory>

#include "drawing/KRDrawingBasic.h"

namespace orrelin {

class KRDrawingTwoColorNoise : public KRDrawingElement {
 public:
  // The largest noise image made, per side; a finer request is coarsened.
  static constexpr int kMaxPixels = 4096;

  // weight: the share of the foreground, from 0 (background only) to 1
  // (foreground only); grainSize: the size of the noise's features in
  // points; pixelSize: the size of one noise pixel in points; offset: where
  // in the endless noise the rectangle's corner lies.
  static std::shared_ptr<KRDrawingTwoColorNoise> createInsideRectangle(const KRRect& rect, const KRColor& foreground,
                                                                       const KRColor& background, double weight,
                                                                       double grainSize, double pixelSize,
                                                                       KRPoint offset);
  // The smooth noise in about [-1, 1] at a point (grain 1); the same for the
  // same point every time.
  static double perlinNoise(double x, double y);

  const KRRect& drawInside() const { return drawInside_; }
  const KRColor& foreground() const { return foreground_; }
  const KRColor& background() const { return background_; }
  double weight() const { return weight_; }
  double grainSize() const { return grainSize_; }
  double pixelSize() const { return pixelSize_; }
  KRPoint offset() const { return offset_; }
  // The rendered noise (made on first use, then cached).
  std::shared_ptr<KRImage> cgBitmap() const;

  const char* className() const override { return "KRDrawingTwoColorNoise"; }
  std::optional<PropertyList> mvgDescription() const override;
  static std::shared_ptr<KRDrawingBasic> createFromMVG(const PropertyList& description);
  void drawToCurrentContext(KRDrawingContext& context) const override;
  KRRect computeBoundingRectangle() const override { return drawInside_.standardized(); }
  bool hitTestForPoint(KRPoint point) const override { return drawInside_.standardized().contains(point); }
  std::shared_ptr<KRDrawingBasic> magnify(double factor) const override;
  bool containsTransparency() const override { return foreground_.alpha < 1 || background_.alpha < 1; }
  std::shared_ptr<KRDrawingBasic> nonTransparentVersion() const override;
  std::shared_ptr<KRDrawingBasic> copy() const override;
  std::size_t memoryUsed() const override;
  void clearCachedEntries() const override;
  std::string textDescription() const override { return "Perlin Noise"; }

  KRDrawingTwoColorNoise() = default;
  KRDrawingTwoColorNoise(const KRDrawingTwoColorNoise& other);

 protected:
  std::shared_ptr<KRDrawingBasic> scaledCopy(double s, KRPoint around, KRPoint shiftTo, bool crop) const override;

 private:
  KRRect drawInside_;
  KRColor foreground_ = KRColor::black();
  KRColor background_ = KRColor::white();
  double weight_ = 0.5;
  double grainSize_ = 10;
  double pixelSize_ = 1;
  KRPoint offset_;
  mutable std::shared_ptr<KRImage> cgBitmap_;
};

}  // namespace orrelin
