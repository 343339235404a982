#pragma once
// A group pre-rendered into an off-screen layer of a fixed size and drawn
// from it into the group's box; the layer is made once per context.

#include <memory>

#include "drawing/KRDrawingGroup.h"
#include "drawing/KRLayerCache.h"

namespace orrelin {

class KRDrawingLayer : public KRDrawingBasic {
 public:
  // nullptr (reported) without a group.
  static std::shared_ptr<KRDrawingLayer> createFromDrawing(std::shared_ptr<KRDrawingGroup> group, KRSize withSize);

  const std::shared_ptr<KRDrawingGroup>& group() const { return group_; }
  const KRRect& groupBox() const { return groupBox_; }
  KRSize size() const { return size_; }

  const char* className() const override { return "KRDrawingLayer"; }
  void drawToCurrentContext(KRDrawingContext& context) const override;
  KRRect computeBoundingRectangle() const override { return groupBox_; }
  bool hitTestForPoint(KRPoint point) const override { return group_->hitTestForPoint(point); }
  std::shared_ptr<KRDrawingBasic> magnify(double factor) const override;
  bool containsTransparency() const override { return group_->containsTransparency(); }
  std::shared_ptr<KRDrawingBasic> nonTransparentVersion() const override;
  std::shared_ptr<KRDrawingBasic> copy() const override;
  std::size_t memoryUsed() const override;
  void clearCachedEntries() const override;
  std::string textDescription() const override;

  KRDrawingLayer() = default;
  KRDrawingLayer(const KRDrawingLayer& other);

 protected:
  std::shared_ptr<KRDrawingBasic> scaledCopy(double s, KRPoint around, KRPoint shiftTo, bool crop) const override;

 private:
  static std::shared_ptr<KRDrawingLayer> wrapping(std::shared_ptr<KRDrawingGroup> group, KRSize size);

  std::shared_ptr<KRDrawingGroup> group_;
  KRRect groupBox_;
  KRSize size_;
  mutable KRLayerCache layer_;
};

}  // namespace orrelin
