#pragma once
// A stencil drawn at many positions: small stencils are rendered once into
// an off-screen layer and stamped; large ones are drawn as shifted copies.

#include <memory>

#include "drawing/KRDrawingGroup.h"
#include "drawing/KRLayerCache.h"
#include "numeric/KRFloatArrayContainer.h"

namespace orrelin {

class KRDrawingRepeated : public KRDrawingElement {
 public:
  // Stencils with a larger area (in square points) are expanded, not stamped.
  static constexpr double kMaxStampedArea = 250000;

  // object: the stencil, drawn inside (0, 0, size) with its reference point
  // at shift; offsets: 2 x n positions for the reference point. nullptr,
  // with a message, without a stencil or with misshapen offsets.
  static std::shared_ptr<KRDrawingRepeated> drawing(std::shared_ptr<KRDrawingGroup> object, KRSize size, KRPoint shift,
                                                    std::shared_ptr<const KRFloatArrayContainer> withOffsets);

  const std::shared_ptr<KRDrawingGroup>& object() const { return object_; }
  const std::shared_ptr<const KRFloatArrayContainer>& offsets() const { return offsets_; }
  KRSize size() const { return size_; }
  KRPoint shift() const { return shift_; }
  long count() const { return offsets_->n(); }
  // One shifted copy of the stencil per offset, in a group.
  std::shared_ptr<KRDrawingGroup> expandObject() const;

  const char* className() const override { return "KRDrawingRepeated"; }
  void addToSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy, KRSVGInfo& info) const override;
  std::optional<PropertyList> mvgDescription() const override;
  static std::shared_ptr<KRDrawingBasic> createFromMVG(const PropertyList& description);
  void drawToCurrentContext(KRDrawingContext& context) const override;
  KRRect computeBoundingRectangle() const override;
  bool hitTestForPoint(KRPoint point) const override;
  std::shared_ptr<KRDrawingBasic> magnify(double factor) const override;
  std::shared_ptr<KRDrawingBasic> simplifyDrawingOutside(const KRRect& rect) const override;
  bool containsTransparency() const override { return object_->containsTransparency(); }
  std::shared_ptr<KRDrawingBasic> nonTransparentVersion() const override;
  std::shared_ptr<KRDrawingBasic> copy() const override;
  std::size_t memoryUsed() const override;
  void clearCachedEntries() const override;
  std::string textDescription() const override;

  KRDrawingRepeated() = default;
  KRDrawingRepeated(const KRDrawingRepeated& other);

 protected:
  std::shared_ptr<KRDrawingBasic> scaledCopy(double s, KRPoint around, KRPoint shiftTo, bool crop) const override;

 private:
  void drawEachCopy(KRDrawingContext& context) const;
  std::shared_ptr<KRDrawingRepeated> with(std::shared_ptr<KRDrawingGroup> object,
                                          std::shared_ptr<const KRFloatArrayContainer> offsets, KRSize size,
                                          KRPoint shift) const;

  std::shared_ptr<KRDrawingGroup> object_;
  std::shared_ptr<const KRFloatArrayContainer> offsets_;
  KRSize size_;
  KRPoint shift_;
  mutable KRLayerCache layer_;
};

}  // namespace orrelin
