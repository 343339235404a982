#include "drawing/KRDrawingContext.h"

#include <algorithm>
#include <cmath>

namespace orrelin {

KRDrawingContext::KRDrawingContext(std::shared_ptr<GraphicsContext> context)
    : context_(std::move(context)), printingToPS_(context_ && context_->isPostScriptTarget()) {}

std::shared_ptr<KRDrawingContext> KRDrawingContext::createWithContext(std::shared_ptr<GraphicsContext> context) {
  if (!context) return nullptr;
  return std::make_shared<KRDrawingContext>(std::move(context));
}

std::shared_ptr<KRDrawingContext> KRDrawingContext::createWithGraphicsPort(std::shared_ptr<GraphicsContext> port) {
  return createWithContext(std::move(port));
}

std::shared_ptr<KRDrawingContext> KRDrawingContext::createWithCurrentContext() {
  return createWithContext(GraphicsContext::current());
}

void KRDrawingContext::saveState() { stateStack_.push_back({theShift_.x, theShift_.y, theScaleX_, theScaleY_}); }

void KRDrawingContext::restoreState() {
  if (stateStack_.empty()) return;
  const SavedState& s = stateStack_.back();
  theShift_ = {s.x, s.y};
  theScaleX_ = s.sX;
  theScaleY_ = s.sY;
  stateStack_.pop_back();
}

void KRDrawingContext::setShift(KRPoint shift, double scaleX, double scaleY) {
  theShift_ = shift;
  theScaleX_ = scaleX;
  theScaleY_ = scaleY;
}

void KRDrawingContext::addScaling(double factor) {
  scaleX_ *= factor;
  scaleY_ *= factor;
}

void KRDrawingContext::undoScaling(double factor) {
  scaleX_ /= factor;
  scaleY_ /= factor;
  // Repeated multiplying and dividing must come back to exactly 1.
  if (std::fabs(scaleX_ - 1) < 1e-5) scaleX_ = 1;
  if (std::fabs(scaleY_ - 1) < 1e-5) scaleY_ = 1;
}

void KRDrawingContext::setAlpha(double alpha) {
  alpha_ = alpha;
  context_->setAlpha(alpha);
}

void KRDrawingContext::setSmoothing(bool on) {
  smoothingTurnedOn_ = on;
  context_->setShouldAntialias(on);
}

double KRDrawingContext::minimumLineWidth() const {
  if (!smoothingTurnedOn_) return 0;
  double scale = std::max(std::fabs(scaleX_), std::fabs(scaleY_));
  return scale > 0 ? minimumLineWidth_ / scale : minimumLineWidth_;
}

std::shared_ptr<KRDrawingContext> KRDrawingContext::contextForLayer(
    std::shared_ptr<GraphicsContext> layerContext) const {
  auto layer = createWithContext(std::move(layerContext));
  if (!layer) return nullptr;
  layer->setCreatedForLayer(true);
  layer->setDrawingToScreen(drawingToScreen_);
  layer->setPrintingToPS(printingToPS_);
  layer->setDisableTransparency(disableTransparency_);
  layer->setSmoothing(smoothingTurnedOn_);
  layer->setMinimumLineWidth(minimumLineWidth_);
  layer->setImageInterpolation(currentImageInterpolation_);
  layer->setDrawingInfo(drawingInfo_);
  return layer;
}

}  // namespace orrelin
