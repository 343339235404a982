#pragma once
// A rectangle filled with an axial colour gradient.

#include <memory>
#include <string>
#include <vector>

#include "drawing/KRDrawingBasic.h"
#include "numeric/KRDoubleArrayContainer.h"

namespace orrelin {

class KRDrawingBitmap;

class KRDrawingGradient : public KRDrawingElement {
 public:
  // colors: one column per colour stop, rows position, red, green, blue and,
  // with five rows, alpha. The colours run from startPoint to endPoint and
  // fill frame. nullptr, with a message, for a misshapen colour list.
  static std::shared_ptr<KRDrawingGradient> createWithColors(std::shared_ptr<const KRDoubleArrayContainer> colors,
                                                             const std::string& colorSpaceName, KRPoint startPoint,
                                                             KRPoint endPoint, const KRRect& frame);

  const std::shared_ptr<const KRDoubleArrayContainer>& colorList() const { return colors_; }
  const std::string& colorSpaceName() const { return colorSpaceName_; }
  // The colours are drawn in device RGB whatever the name says.
  KRColor::Space colorSpace() const { return KRColor::Space::RGB; }
  KRPoint startPoint() const { return start_; }
  KRPoint endPoint() const { return end_; }
  const KRRect& frame() const { return frame_; }
  // The stops the shading is made from.
  const std::vector<KRGradientStop>& gradientFunction() const { return stops_; }
  int numberOfColors() const { return static_cast<int>(stops_.size()); }
  // The gradient as an image of its frame at scale pixels per point.
  std::shared_ptr<KRDrawingBitmap> bitmapVersion(double scale = 1) const;

  const char* className() const override { return "KRDrawingGradient"; }
  void addToSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy, KRSVGInfo& info) const override;
  std::optional<PropertyList> mvgDescription() const override;
  static std::shared_ptr<KRDrawingBasic> createFromMVG(const PropertyList& description);
  void drawToCurrentContext(KRDrawingContext& context) const override;
  KRRect computeBoundingRectangle() const override { return frame_.standardized(); }
  bool hitTestForPoint(KRPoint point) const override { return frame_.standardized().contains(point); }
  std::shared_ptr<KRDrawingBasic> magnify(double factor) const override;
  bool containsTransparency() const override;
  std::shared_ptr<KRDrawingBasic> nonTransparentVersion() const override;
  std::shared_ptr<KRDrawingBasic> copy() const override { return std::make_shared<KRDrawingGradient>(*this); }
  std::size_t memoryUsed() const override;
  std::string textDescription() const override;

  KRDrawingGradient() = default;
  KRDrawingGradient(const KRDrawingGradient&) = default;

 protected:
  std::shared_ptr<KRDrawingBasic> scaledCopy(double s, KRPoint around, KRPoint shiftTo, bool crop) const override;

 private:
  std::shared_ptr<const KRDoubleArrayContainer> colors_;
  std::string colorSpaceName_;
  KRPoint start_, end_;
  KRRect frame_;
  std::vector<KRGradientStop> stops_;
};

}  // namespace orrelin
