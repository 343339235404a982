#include "drawing/KRDrawingLayer.h"

#include <cmath>

#include "drawing/KRDrawingContext.h"
#include "drawing/KRDrawingMessages.h"
#include "platform/KRMessageCenter.h"

namespace orrelin {

using namespace drawing_messages;

std::shared_ptr<KRDrawingLayer> KRDrawingLayer::wrapping(std::shared_ptr<KRDrawingGroup> group, KRSize size) {
  auto result = std::make_shared<KRDrawingLayer>();
  result->groupBox_ = group->boundingRectangle();
  result->group_ = std::move(group);
  result->size_ = size;
  return result;
}

std::shared_ptr<KRDrawingLayer> KRDrawingLayer::createFromDrawing(std::shared_ptr<KRDrawingGroup> group,
                                                                  KRSize withSize) {
  if (!group) {
    KRMessageCenter::addMessage(kNilChild);
    return nullptr;
  }
  return wrapping(std::move(group), withSize);
}

KRDrawingLayer::KRDrawingLayer(const KRDrawingLayer& other)
    : KRDrawingBasic(other), group_(other.group_->copyGroup()), groupBox_(other.groupBox_), size_(other.size_) {}

std::shared_ptr<KRDrawingBasic> KRDrawingLayer::copy() const { return std::make_shared<KRDrawingLayer>(*this); }

void KRDrawingLayer::drawToCurrentContext(KRDrawingContext& context) const {
  if (groupBox_.isEmpty() || !(size_.width > 0) || !(size_.height > 0)) {
    // No area to rasterise: drawing the group itself is the faithful choice.
    group_->drawToCurrentContext(context);
    return;
  }
  GraphicsContext& gc = context.graphicsPort();
  std::shared_ptr<GraphicsLayer> layer = layer_.layerFor(gc);
  if (!layer) {
    layer = gc.createLayer(size_);
    if (!layer) {
      group_->drawToCurrentContext(context);
      return;
    }
    auto layerContext = context.contextForLayer(layer->context());
    // The group's box fills the layer.
    layerContext->graphicsPort().concatCTM(
        KRAffineTransform::translation(-groupBox_.origin.x, -groupBox_.origin.y)
            .then(KRAffineTransform::scaling(size_.width / groupBox_.width(), size_.height / groupBox_.height())));
    group_->drawToCurrentContext(*layerContext);
    layer_.store(gc, layer);
  }
  gc.drawLayer(groupBox_, *layer);
}

std::shared_ptr<KRDrawingBasic> KRDrawingLayer::scaledCopy(double s, KRPoint around, KRPoint shiftTo, bool) const {
  auto group = std::static_pointer_cast<KRDrawingGroup>(group_->scaleBy(s, around, shiftTo, false));
  return wrapping(std::move(group), {size_.width * std::fabs(s), size_.height * std::fabs(s)});
}

std::shared_ptr<KRDrawingBasic> KRDrawingLayer::magnify(double factor) const {
  auto group = std::static_pointer_cast<KRDrawingGroup>(group_->magnify(factor));
  return wrapping(std::move(group), {size_.width * std::fabs(factor), size_.height * std::fabs(factor)});
}

std::shared_ptr<KRDrawingBasic> KRDrawingLayer::nonTransparentVersion() const {
  auto group = std::static_pointer_cast<KRDrawingGroup>(group_->nonTransparentVersion());
  return wrapping(std::move(group), size_);
}

std::size_t KRDrawingLayer::memoryUsed() const {
  return sizeof(*this) + group_->memoryUsed() + layer_.memoryUsed();
}

void KRDrawingLayer::clearCachedEntries() const {
  KRDrawingBasic::clearCachedEntries();
  group_->clearCachedEntries();
  layer_.clear();
}

std::string KRDrawingLayer::textDescription() const {
  return formatMessage("Layer of %g x %g", size_.width, size_.height);
}

}  // namespace orrelin
