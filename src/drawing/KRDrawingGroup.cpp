#include "drawing/KRDrawingGroup.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "drawing/KRDrawingBitmap.h"
#include "drawing/KRDrawingContext.h"
#include "drawing/KRDrawingDescription.h"
#include "drawing/KRDrawingGradient.h"
#include "drawing/KRDrawingMessages.h"
#include "drawing/KRDrawingOutput.h"
#include "platform/KRMessageCenter.h"

namespace orrelin {

using namespace drawing_messages;

namespace {

std::atomic<bool> aliasingForNonScreen{false};

KRAffineTransform rotationAround(KRPoint center, double angle) {
  return KRAffineTransform::translation(-center.x, -center.y)
      .then(KRAffineTransform::rotation(angle))
      .then(KRAffineTransform::translation(center.x, center.y));
}

}  // namespace

// ---------------------------------------------------------------- making groups

std::shared_ptr<KRDrawingGroup> KRDrawingGroup::create() { return std::make_shared<KRDrawingGroup>(); }

std::shared_ptr<KRDrawingGroup> KRDrawingGroup::createWithCapacity(std::size_t capacity) {
  auto group = create();
  group->objects_.reserve(capacity);
  return group;
}

std::shared_ptr<KRDrawingGroup> KRDrawingGroup::createWithDrawingObject(std::shared_ptr<KRDrawingBasic> object) {
  auto group = create();
  group->addObject(std::move(object));
  return group;
}

void KRDrawingGroup::allowAliasingForNonScreenDrawing(bool allow) { aliasingForNonScreen = allow; }
bool KRDrawingGroup::aliasingAllowedForNonScreenDrawing() { return aliasingForNonScreen; }

void KRDrawingGroup::copyAppearanceFrom(const KRDrawingGroup& other) {
  setDescriptionString(other.descriptionString());
  crop_ = other.crop_ ? std::static_pointer_cast<KRDrawingPath>(other.crop_->copy()) : nullptr;
  style_ = other.style_ ? other.style_->copy() : nullptr;
  disableAntialiasing_ = other.disableAntialiasing_;
  useLayerHint_ = other.useLayerHint_;
  alpha_ = other.alpha_;
  useShadow_ = other.useShadow_;
  shadowOffset_ = other.shadowOffset_;
  shadowBlur_ = other.shadowBlur_;
  shadowColor_ = other.shadowColor_;
  shiftBy_ = other.shiftBy_;
  scaleXBy_ = other.scaleXBy_;
  scaleYBy_ = other.scaleYBy_;
  rotateAround_ = other.rotateAround_;
  rotation_ = other.rotation_;
  groupFrame_ = other.groupFrame_;
  higherQualityCallback_ = other.higherQualityCallback_;
  hasBeenMagnified_ = other.hasBeenMagnified_;
}

KRDrawingGroup::KRDrawingGroup(const KRDrawingGroup& other) : KRDrawingBasic(other) {
  copyAppearanceFrom(other);
  objects_.reserve(other.objects_.size());
  for (const auto& child : other.objects_) objects_.push_back(child ? child->copy() : nullptr);
}

std::shared_ptr<KRDrawingBasic> KRDrawingGroup::copy() const { return copyGroup(); }

// ---------------------------------------------------------------- the list

void KRDrawingGroup::clearOwnCaches() const {
  KRDrawingBasic::clearCachedEntries();
  layer_.clear();
}

void KRDrawingGroup::addObject(std::shared_ptr<KRDrawingBasic> object) {
  if (!object) {
    KRMessageCenter::addMessage(kNilChild);
    return;
  }
  objects_.push_back(std::move(object));
  clearOwnCaches();
}

void KRDrawingGroup::insertObject(std::shared_ptr<KRDrawingBasic> object, std::size_t index) {
  if (!object) {
    KRMessageCenter::addMessage(kNilChild);
    return;
  }
  if (index > objects_.size()) {
    KRMessageCenter::addMessage(formatMessage(kIndexOutOfBounds, static_cast<int>(index)));
    return;
  }
  objects_.insert(objects_.begin() + static_cast<std::ptrdiff_t>(index), std::move(object));
  clearOwnCaches();
}

void KRDrawingGroup::removeObject(const std::shared_ptr<KRDrawingBasic>& object) {
  auto found = std::find(objects_.begin(), objects_.end(), object);
  if (found == objects_.end()) return;
  objects_.erase(found);
  clearOwnCaches();
}

void KRDrawingGroup::removeObjectAtIndex(std::size_t index) {
  if (index >= objects_.size()) {
    KRMessageCenter::addMessage(kRemoveOutOfBounds);
    return;
  }
  objects_.erase(objects_.begin() + static_cast<std::ptrdiff_t>(index));
  clearOwnCaches();
}

void KRDrawingGroup::removeLastObject() {
  if (objects_.empty()) {
    KRMessageCenter::addMessage(kRemoveOutOfBounds);
    return;
  }
  objects_.pop_back();
  clearOwnCaches();
}

void KRDrawingGroup::removeAllObjects() {
  objects_.clear();
  clearOwnCaches();
}

void KRDrawingGroup::replaceObjectAtIndex(std::size_t index, std::shared_ptr<KRDrawingBasic> object) {
  if (!object) {
    KRMessageCenter::addMessage(kNilChild);
    return;
  }
  if (index >= objects_.size()) {
    KRMessageCenter::addMessage(formatMessage(kIndexOutOfBounds, static_cast<int>(index)));
    return;
  }
  objects_[index] = std::move(object);
  clearOwnCaches();
}

std::shared_ptr<KRDrawingBasic> KRDrawingGroup::objectAtIndex(std::size_t index) const {
  return index < objects_.size() ? objects_[index] : nullptr;
}

std::optional<std::size_t> KRDrawingGroup::indexOfObject(const std::shared_ptr<KRDrawingBasic>& object) const {
  auto found = std::find(objects_.begin(), objects_.end(), object);
  if (found == objects_.end()) return std::nullopt;
  return static_cast<std::size_t>(found - objects_.begin());
}

// ---------------------------------------------------------------- transforms

void KRDrawingGroup::setShiftBy(KRPoint shift) {
  shiftBy_ = shift;
  clearOwnCaches();
}

void KRDrawingGroup::shiftBy(KRPoint shift, double scaleX, double scaleY) {
  shiftBy_ = shift;
  scaleXBy_ = scaleX;
  scaleYBy_ = scaleY;
  clearOwnCaches();
}

void KRDrawingGroup::rotateAround(KRPoint center, double angle) {
  rotateAround_ = center;
  rotation_ = angle;
  clearOwnCaches();
}

void KRDrawingGroup::setAlpha(float alpha) {
  alpha_ = alpha;
  clearOwnCaches();
}

void KRDrawingGroup::setShadowWithOffset(KRSize offset, double blur) {
  useShadow_ = true;
  shadowOffset_ = offset;
  shadowBlur_ = blur;
  shadowColor_.reset();
  clearOwnCaches();
}

void KRDrawingGroup::removeShadow() {
  useShadow_ = false;
  clearOwnCaches();
}

void KRDrawingGroup::setStyle(std::shared_ptr<KRDrawingStyle> style) {
  style_ = std::move(style);
  clearOwnCaches();
}

void KRDrawingGroup::setDefaultAliasState(bool disableAntialiasing) {
  disableAntialiasing_ = disableAntialiasing;
  clearOwnCaches();
}

void KRDrawingGroup::setShadowWithOffset(KRSize offset, double blur, const KRColor& color) {
  setShadowWithOffset(offset, blur);
  shadowColor_ = color;
}

void KRDrawingGroup::setCrop(std::shared_ptr<KRDrawingPath> crop) {
  crop_ = std::move(crop);
  clearOwnCaches();
}

void KRDrawingGroup::shiftGroupFrameToOrigin() {
  KRPoint origin = groupFrame_.origin;
  shiftBy_ = {shiftBy_.x - origin.x, shiftBy_.y - origin.y};
  groupFrame_.origin = {0, 0};
  clearOwnCaches();
}

void KRDrawingGroup::setUseLayerHint(bool on) {
  useLayerHint_ = on;
  clearOwnCaches();
}

KRAffineTransform KRDrawingGroup::transformToParent() const {
  KRAffineTransform t = KRAffineTransform::scaling(scaleXBy_, scaleYBy_).then(KRAffineTransform::translation(shiftBy_.x, shiftBy_.y));
  if (rotation_ != 0) t = t.then(rotationAround(rotateAround_, rotation_));
  return t;
}

bool KRDrawingGroup::changesDrawing() const {
  return rotation_ != 0 || scaleXBy_ != 1 || scaleYBy_ != 1 || shiftBy_.x != 0 || shiftBy_.y != 0 || alpha_ != 1 ||
         crop_ || style_ || useShadow_;
}

// ---------------------------------------------------------------- drawing

void KRDrawingGroup::drawToCurrentContext(KRDrawingContext& context) const {
  if (objects_.empty()) return;
  ++howManyTimesDrawn_;
  if (useLayerHint_ && !context.createdForLayer()) {
    drawThroughLayer(context);
    return;
  }
  drawDirectly(context);
}

void KRDrawingGroup::drawThroughLayer(KRDrawingContext& context) const {
  GraphicsContext& gc = context.graphicsPort();
  KRRect rect;
  std::shared_ptr<GraphicsLayer> layer = layer_.layerFor(gc, &rect, appearanceStamp());
  if (!layer) {
    KRRect bounds = boundingRectangle();
    if (bounds.isNull()) return;
    rect = {std::round(bounds.origin.x - 0.5), std::round(bounds.origin.y - 0.5), std::ceil(bounds.width()) + 2,
            std::ceil(bounds.height()) + 2};
    layer = gc.createLayer(rect.size);
    if (!layer) {
      // No layer can be made for this context: the drawing must still appear.
      drawDirectly(context);
      return;
    }
    auto layerContext = context.contextForLayer(layer->context());
    layerContext->graphicsPort().translateCTM(-rect.origin.x, -rect.origin.y);
    drawDirectly(*layerContext);
    layer_.store(gc, layer, rect, appearanceStamp());
  }
  gc.drawLayer(rect, *layer);
}

void KRDrawingGroup::drawDirectly(KRDrawingContext& context) const {
  GraphicsContext& gc = context.graphicsPort();
  bool aliased = disableAntialiasing_ && (context.drawingToScreen() || aliasingForNonScreen);
  std::optional<KRGraphicsStateGuard> guard;
  if (changesDrawing() || aliased) guard.emplace(context);
  double outerAlpha = context.alpha();
  if (alpha_ != 1) context.setAlpha(outerAlpha * alpha_);
  if (rotation_ != 0) gc.concatCTM(rotationAround(rotateAround_, rotation_));
  bool scaled = scaleXBy_ != 1 || scaleYBy_ != 1;
  if (scaled || shiftBy_.x != 0 || shiftBy_.y != 0)
    gc.concatCTM(KRAffineTransform::scaling(scaleXBy_, scaleYBy_).then(KRAffineTransform::translation(shiftBy_.x, shiftBy_.y)));
  bool scalingAdded = scaleXBy_ != 1 && scaleXBy_ != 0 && std::isfinite(scaleXBy_);
  if (scalingAdded) context.addScaling(scaleXBy_);
  if (useShadow_) {
    if (shadowColor_)
      gc.setShadow(shadowOffset_, shadowBlur_, *shadowColor_);
    else
      gc.setShadow(shadowOffset_, shadowBlur_);
  }
  if (crop_) crop_->clipWithPath(context);
  if (style_) style_->applyStyle(context);
  if (aliased) gc.setShouldAntialias(false);

  for (const auto& child : objects_) {
    if (!child) continue;
    try {
      child->drawToCurrentContext(context);
    } catch (const std::exception& e) {
      // One broken object must not take the rest of the drawing with it.
      KRMessageCenter::seriousErrorMessage(formatMessage(kDrawingFailed, child->className(), e.what()));
    }
  }

  guard.reset();
  if (alpha_ != 1) context.setAlpha(outerAlpha);
  if (scalingAdded) context.undoScaling(scaleXBy_);
}

// ---------------------------------------------------------------- measuring and hitting

KRRect KRDrawingGroup::boundingRectangleBeforeTransformation() const {
  KRRect all;
  for (const auto& child : objects_)
    if (child) all = all.unionWith(child->boundingRectangle());
  return all;
}

KRRect KRDrawingGroup::computeBoundingRectangle() const {
  KRRect inside = boundingRectangleBeforeTransformation();
  if (inside.isNull()) return {};
  if (crop_) {
    KRRect cropRect = crop_->boundingRectangle();
    double x0 = std::max(inside.minX(), cropRect.minX()), x1 = std::min(inside.maxX(), cropRect.maxX());
    double y0 = std::max(inside.minY(), cropRect.minY()), y1 = std::min(inside.maxY(), cropRect.maxY());
    if (x1 < x0 || y1 < y0) return {};
    inside = {x0, y0, x1 - x0, y1 - y0};
  }
  return transformToParent().applyToRect(inside);
}

std::optional<KRPoint> KRDrawingGroup::toChildCoordinates(KRPoint point) const {
  KRAffineTransform t = transformToParent();
  if (!t.isInvertible()) return std::nullopt;
  return t.inverted().apply(point);
}

bool KRDrawingGroup::hitTestForPoint(KRPoint point) const {
  return clickedResult(point).has_value();
}

std::optional<KRDrawingClickResult> KRDrawingGroup::clickedResult(KRPoint point) const {
  if (!boundingRectangle().insetBy(-2, -2).contains(point)) return std::nullopt;
  auto inner = toChildCoordinates(point);
  if (!inner) return std::nullopt;
  if (crop_ && !crop_->pointLiesInside(*inner)) return std::nullopt;
  for (std::size_t i = 0; i < objects_.size(); ++i) {
    const auto& child = objects_[i];
    if (!child) continue;
    if (auto group = std::dynamic_pointer_cast<KRDrawingGroup>(child)) {
      if (auto hit = group->clickedResult(*inner)) {
        hit->location.insert(hit->location.begin(), i);
        return hit;
      }
    } else if (child->hitTestForPoint(*inner)) {
      return KRDrawingClickResult{child, {i}};
    }
  }
  return std::nullopt;
}

// ---------------------------------------------------------------- lookups

std::shared_ptr<KRDrawingBasic> KRDrawingGroup::objectWithSerialNumber(std::int64_t serial) const {
  for (const auto& child : objects_) {
    if (!child) continue;
    if (child->serialNumber() == serial) return child;
    if (auto group = std::dynamic_pointer_cast<KRDrawingGroup>(child))
      if (auto found = group->objectWithSerialNumber(serial)) return found;
  }
  return nullptr;
}

std::shared_ptr<KRDrawingBasic> KRDrawingGroup::childWithSerialNumber(std::int64_t serial) const {
  for (const auto& child : objects_)
    if (child && child->serialNumber() == serial) return child;
  return nullptr;
}

std::shared_ptr<KRDrawingGroup> KRDrawingGroup::parentOfObject(const KRDrawingBasic* object) const {
  for (const auto& child : objects_) {
    if (child.get() == object) return std::static_pointer_cast<KRDrawingGroup>(std::const_pointer_cast<KRDrawingBasic>(shared_from_this()));
    if (auto group = std::dynamic_pointer_cast<KRDrawingGroup>(child))
      if (auto parent = group->parentOfObject(object)) return parent;
  }
  return nullptr;
}

std::shared_ptr<KRDrawingGroup> KRDrawingGroup::parentOfObjectWithSerialNumber(std::int64_t serial) const {
  auto object = objectWithSerialNumber(serial);
  return object ? parentOfObject(object.get()) : nullptr;
}

std::optional<std::vector<std::size_t>> KRDrawingGroup::locationOfObject(const KRDrawingBasic* object) const {
  for (std::size_t i = 0; i < objects_.size(); ++i) {
    const auto& child = objects_[i];
    if (child.get() == object) return std::vector<std::size_t>{i};
    if (auto group = std::dynamic_pointer_cast<KRDrawingGroup>(child))
      if (auto below = group->locationOfObject(object)) {
        below->insert(below->begin(), i);
        return below;
      }
  }
  return std::nullopt;
}

void KRDrawingGroup::changeInObject(const KRDrawingBasic* object) const {
  auto location = locationOfObject(object);
  if (!location) return;
  clearOwnCaches();
  const KRDrawingGroup* group = this;
  for (std::size_t index : *location) {
    const auto& child = group->objects_[index];
    if (auto childGroup = dynamic_cast<const KRDrawingGroup*>(child.get())) {
      childGroup->clearOwnCaches();
      group = childGroup;
    } else {
      child->clearCachedEntries();
    }
  }
}

// ---------------------------------------------------------------- copies and clean-ups

std::shared_ptr<KRDrawingBasic> KRDrawingGroup::scaledCopy(double s, KRPoint around, KRPoint shiftTo, bool) const {
  auto result = create();
  result->copyAppearanceFrom(*this);
  for (const auto& child : objects_)
    if (child)
      if (auto scaled = child->scaleBy(s, around, shiftTo, false)) result->objects_.push_back(std::move(scaled));
  // The children moved by the mapping M; choose the group's shift so that
  // shift' + k * M(q) = M(shift + k * q) for its own scale k.
  auto newShift = [s](double shift, double k, double a, double c) { return s * shift + (1 - k) * (c - s * a); };
  result->shiftBy_ = {newShift(shiftBy_.x, scaleXBy_, around.x, shiftTo.x),
                      newShift(shiftBy_.y, scaleYBy_, around.y, shiftTo.y)};
  result->rotateAround_ = mapPoint(rotateAround_, s, around, shiftTo);
  if (crop_) result->crop_ = std::dynamic_pointer_cast<KRDrawingPath>(crop_->scaleBy(s, around, shiftTo, false));
  result->shadowOffset_ = {shadowOffset_.width * s, shadowOffset_.height * s};
  result->shadowBlur_ = shadowBlur_ * std::fabs(s);
  if (!groupFrame_.isNull()) result->groupFrame_ = mapRect(groupFrame_, s, around, shiftTo);
  return result;
}

std::shared_ptr<KRDrawingBasic> KRDrawingGroup::magnify(double factor) const {
  if (higherQualityCallback_)
    if (auto finer = higherQualityCallback_->higherQualityVersion(*this, hasBeenMagnified_ * factor)) {
      finer->hasBeenMagnified_ = hasBeenMagnified_ * factor;
      return finer;
    }
  auto result = create();
  result->copyAppearanceFrom(*this);
  for (const auto& child : objects_)
    if (child)
      if (auto magnified = child->magnify(factor)) result->objects_.push_back(std::move(magnified));
  result->shiftBy_ = {shiftBy_.x * factor, shiftBy_.y * factor};
  result->rotateAround_ = {rotateAround_.x * factor, rotateAround_.y * factor};
  if (crop_) result->crop_ = std::dynamic_pointer_cast<KRDrawingPath>(crop_->magnify(factor));
  if (style_) result->style_ = style_->magnify(factor);
  result->shadowOffset_ = {shadowOffset_.width * factor, shadowOffset_.height * factor};
  result->shadowBlur_ = shadowBlur_ * std::fabs(factor);
  if (!groupFrame_.isNull()) result->groupFrame_ = mapRect(groupFrame_, factor, {0, 0}, {0, 0});
  result->hasBeenMagnified_ = hasBeenMagnified_ * factor;
  return result;
}

std::shared_ptr<KRDrawingBasic> KRDrawingGroup::simplifyDrawingOutside(const KRRect& rect) const {
  KRAffineTransform t = transformToParent();
  if (!t.isInvertible()) return nullptr;
  KRRect inner = t.inverted().applyToRect(rect);
  if (crop_ && !crop_->boundingRectangle().insetBy(-1, -1).intersects(inner)) return nullptr;
  auto result = create();
  result->copyAppearanceFrom(*this);
  for (const auto& child : objects_)
    if (child)
      if (auto kept = child->simplifyDrawingOutside(inner)) result->objects_.push_back(std::move(kept));
  if (result->objects_.empty()) return nullptr;
  return result;
}

bool KRDrawingGroup::containsTransparency() const {
  if (alpha_ < 1) return true;
  if (style_ && style_->containsTransparency()) return true;
  return std::any_of(objects_.begin(), objects_.end(), [](const auto& c) { return c && c->containsTransparency(); });
}

std::shared_ptr<KRDrawingBasic> KRDrawingGroup::nonTransparentVersion() const {
  auto result = create();
  result->copyAppearanceFrom(*this);
  result->alpha_ = 1;
  if (style_) result->style_ = style_->nonTransparentVersion();
  for (const auto& child : objects_)
    if (child) result->objects_.push_back(child->nonTransparentVersion());
  return result;
}

void KRDrawingGroup::rewriteChildren(
    const std::function<std::shared_ptr<KRDrawingBasic>(const std::shared_ptr<KRDrawingBasic>&)>& change) {
  std::vector<std::shared_ptr<KRDrawingBasic>> rewritten;
  rewritten.reserve(objects_.size());
  for (const auto& child : objects_)
    if (auto replaced = change(child)) rewritten.push_back(std::move(replaced));
  objects_ = std::move(rewritten);
  clearOwnCaches();
}

std::shared_ptr<KRDrawingGroup> KRDrawingGroup::removeEmptyGroups() const {
  auto result = copyGroup();
  std::function<void(KRDrawingGroup&)> clean = [&clean](KRDrawingGroup& group) {
    group.rewriteChildren([&clean](const std::shared_ptr<KRDrawingBasic>& child) -> std::shared_ptr<KRDrawingBasic> {
      auto childGroup = std::dynamic_pointer_cast<KRDrawingGroup>(child);
      if (!childGroup) return child;
      clean(*childGroup);
      return childGroup->isEmpty() ? nullptr : child;
    });
  };
  clean(*result);
  return result;
}

std::shared_ptr<KRDrawingGroup> KRDrawingGroup::stripGroupsThatDontChangeDrawing() const {
  auto result = copyGroup();
  std::function<void(KRDrawingGroup&)> flatten = [&flatten](KRDrawingGroup& group) {
    std::vector<std::shared_ptr<KRDrawingBasic>> flat;
    for (const auto& child : group.objects_) {
      auto childGroup = std::dynamic_pointer_cast<KRDrawingGroup>(child);
      if (!childGroup) {
        if (child) flat.push_back(child);
        continue;
      }
      flatten(*childGroup);
      bool plain = !childGroup->changesDrawing() && !childGroup->useLayerHint_ && !childGroup->disableAntialiasing_ &&
                   !childGroup->descriptionString() && !childGroup->higherQualityCallback_;
      if (plain)
        flat.insert(flat.end(), childGroup->objects_.begin(), childGroup->objects_.end());
      else
        flat.push_back(childGroup);
    }
    group.objects_ = std::move(flat);
    group.clearOwnCaches();
  };
  flatten(*result);
  return result;
}

std::shared_ptr<KRDrawingGroup> KRDrawingGroup::stripHighQuality() const {
  auto result = copyGroup();
  std::function<void(KRDrawingGroup&)> strip = [&strip](KRDrawingGroup& group) {
    group.higherQualityCallback_.reset();
    for (const auto& child : group.objects_)
      if (auto childGroup = std::dynamic_pointer_cast<KRDrawingGroup>(child)) strip(*childGroup);
  };
  strip(*result);
  return result;
}

std::shared_ptr<KRDrawingGroup> KRDrawingGroup::removeTransparency() const {
  return std::static_pointer_cast<KRDrawingGroup>(nonTransparentVersion());
}

std::shared_ptr<KRDrawingGroup> KRDrawingGroup::setMinimumLineWidth(double width) const {
  auto result = copyGroup();
  std::function<void(KRDrawingGroup&)> widen = [&widen, width](KRDrawingGroup& group) {
    if (auto curve = std::dynamic_pointer_cast<KRDrawingStyleCurve>(group.style_))
      if (curve->lineWidth() < width) curve->changeLineWidth(width);
    for (const auto& child : group.objects_) {
      if (auto childGroup = std::dynamic_pointer_cast<KRDrawingGroup>(child)) {
        widen(*childGroup);
      } else if (auto path = std::dynamic_pointer_cast<KRDrawingPath>(child)) {
        // The copy owns its styles, so they can be changed in place.
        if (path->style() && path->style()->lineWidth() < width) path->style()->changeLineWidth(width);
        path->clearCachedEntries();
      }
    }
    group.clearOwnCaches();
  };
  widen(*result);
  return result;
}

std::shared_ptr<KRDrawingGroup> KRDrawingGroup::removeGradients(bool onlyTransparent) const {
  auto result = copyGroup();
  std::function<void(KRDrawingGroup&)> replace = [&replace, onlyTransparent](KRDrawingGroup& group) {
    group.rewriteChildren([&replace, onlyTransparent](const std::shared_ptr<KRDrawingBasic>& child) -> std::shared_ptr<KRDrawingBasic> {
      if (auto childGroup = std::dynamic_pointer_cast<KRDrawingGroup>(child)) {
        replace(*childGroup);
        return child;
      }
      auto gradient = std::dynamic_pointer_cast<KRDrawingGradient>(child);
      if (!gradient || (onlyTransparent && !gradient->containsTransparency())) return child;
      // Fine enough that the steps between pixels do not show in print.
      auto bitmap = gradient->bitmapVersion(4);
      return bitmap ? std::shared_ptr<KRDrawingBasic>(bitmap) : child;
    });
  };
  replace(*result);
  return result;
}

bool KRDrawingGroup::containsGradientsWithTransparency() const {
  for (const auto& child : objects_) {
    if (auto gradient = dynamic_cast<const KRDrawingGradient*>(child.get()); gradient && gradient->containsTransparency())
      return true;
    if (auto group = dynamic_cast<const KRDrawingGroup*>(child.get()); group && group->containsGradientsWithTransparency())
      return true;
  }
  return false;
}

bool KRDrawingGroup::containsBitmap() const {
  for (const auto& child : objects_) {
    if (dynamic_cast<const KRDrawingBitmap*>(child.get())) return true;
    if (auto group = dynamic_cast<const KRDrawingGroup*>(child.get()); group && group->containsBitmap()) return true;
  }
  return false;
}

// ---------------------------------------------------------------- conversions

std::shared_ptr<KRImage> KRDrawingGroup::imageVersion(double scale) const {
  KRRenderOptions options;
  options.scale = scale;
  return renderToImage(*this, boundingRectangle(), options);
}

std::shared_ptr<KRImage> KRDrawingGroup::imageVersionWithBackground(const KRColor& background, double scale) const {
  KRRenderOptions options;
  options.scale = scale;
  options.background = background;
  return renderToImage(*this, boundingRectangle(), options);
}

std::shared_ptr<KRDrawingBitmap> KRDrawingGroup::bitmapVersion(double scale) const {
  if (shiftBy_.x != 0 || shiftBy_.y != 0) {
    KRMessageCenter::addMessage(kShiftedBitmap);
    return nullptr;
  }
  KRRect bounds = boundingRectangle();
  auto image = imageVersion(scale);
  if (!image) return nullptr;
  // The image covers whole pixels; place it over exactly the area it shows.
  KRRect area{bounds.origin.x, bounds.origin.y, image->width() / scale, image->height() / scale};
  return KRDrawingBitmap::createCG(std::move(image), area);
}

std::vector<std::uint8_t> KRDrawingGroup::dataWithPDFInsideRect(const KRRect& rect) const {
  return renderToPDF(*this, rect);
}

// ---------------------------------------------------------------- output forms

void KRDrawingGroup::addToSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy,
                                    KRSVGInfo& info) const {
  std::string clip;
  if (crop_) {
    clip = info.uniqueIdentifier("Clip Paths", "clipPath");
    stream.append("%s<defs>\n%s  <clipPath id=\"%s\">\n", indent, indent, clip);
    crop_->addPathToSVGStream(stream, indent + "    ", shiftYBy);
    stream.append("%s  </clipPath>\n%s</defs>\n", indent, indent);
  }
  if (descriptionString()) {
    std::string id = *descriptionString();
    std::erase(id, '"');
    stream.append("%s<g id=\"%s\"", indent, KRSVGStream::escapedText(id));
  } else {
    stream.append("%s<g", indent);
  }
  if (!clip.empty()) stream.append(" clip-path=\"url(#%s)\"", clip);
  double childShift = shiftYBy;
  if (shiftBy_.x != 0 || shiftBy_.y != 0) {
    stream.append(" transform=\"translate(%g,%g)\"", shiftBy_.x, shiftYBy - shiftBy_.y);
    childShift = 0;
  }
  stream << ">\n";
  for (const auto& child : objects_)
    if (child) child->addToSVGStream(stream, indent + "  ", childShift, info);
  stream.append("%s</g>\n", indent);
}

std::string KRDrawingGroup::svgForm(KRSize size) const {
  KRSVGStream stream;
  stream << "<?xml version=\"1.0\" standalone=\"no\"?>\n"
            "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" \"http://www.w3.org/Graphics/SVG/1.1/DTD/svg11.dtd\">\n";
  stream.append("<svg width=\"%g\" height=\"%g\" version=\"1.1\" xmlns=\"http://www.w3.org/2000/svg\">\n", size.width,
                size.height);
  KRSVGInfo info;
  addToSVGStream(stream, "", size.height, info);
  stream << "</svg>\n";
  return stream.text();
}

std::optional<PropertyList> KRDrawingGroup::mvgDescription() const {
  using namespace drawing_description;
  auto description = newDescription("Group");
  PlistDictionary& d = description->dictionary();
  if (crop_)
    if (auto crop = crop_->mvgDescription()) d["Crop"] = std::move(*crop);
  if (auto curve = std::dynamic_pointer_cast<KRDrawingStyleCurve>(style_)) d["Style"] = curve->mvgDescription();
  if (descriptionString()) d["Description"] = *descriptionString();
  PlistArray children;
  for (const auto& child : objects_) {
    if (!child) continue;
    std::optional<PropertyList> described;
    if (auto group = std::dynamic_pointer_cast<KRDrawingGroup>(child)) {
      if (group->isEmpty()) continue;
      described = group->stripGroupsThatDontChangeDrawing()->mvgDescription();
    } else {
      described = child->mvgDescription();
    }
    if (described) children.push_back(std::move(*described));
  }
  d["Objects"] = std::move(children);
  if (shiftBy_.x != 0 || shiftBy_.y != 0) d["Shift"] = pointText(shiftBy_);
  if (alpha_ != 1) d["Alpha"] = static_cast<double>(alpha_);
  if (scaleXBy_ != 1) d["Scale X"] = scaleXBy_;
  if (scaleYBy_ != 1) d["Scale Y"] = scaleYBy_;
  if (rotation_ != 0) {
    d["Rotate Around"] = pointText(rotateAround_);
    d["Rotate"] = rotation_;
  }
  if (!groupFrame_.isEmpty()) d["Frame"] = rectText(groupFrame_);
  if (useLayerHint_) d["Use Layers"] = true;
  return description;
}

namespace {

// Groups nested deeper than this in a description are not read: a hostile
// description cannot exhaust the stack.
constexpr int kMaximumGroupDepth = 200;
thread_local int groupReadingDepth = 0;

struct GroupDepth {
  GroupDepth() { ++groupReadingDepth; }
  ~GroupDepth() { --groupReadingDepth; }
  GroupDepth(const GroupDepth&) = delete;
  GroupDepth& operator=(const GroupDepth&) = delete;
};

}  // namespace

std::shared_ptr<KRDrawingBasic> KRDrawingGroup::createFromMVG(const PropertyList& description) {
  using namespace drawing_description;
  if (description.stringForKey("Type") != "Group") return nullptr;
  if (groupReadingDepth >= kMaximumGroupDepth) {
    KRMessageCenter::addMessage(formatMessage(kDescriptionTooDeep, kMaximumGroupDepth));
    return nullptr;
  }
  GroupDepth depth;
  auto group = create();
  if (const PlistArray* children = description.arrayForKey("Objects"))
    for (const auto& child : *children)
      if (auto made = KRDrawingTypes::createFromMVG(child)) group->objects_.push_back(std::move(made));
  auto point = [&](const char* key) {
    auto text = description.stringForKey(key);
    return text ? pointFromText(*text) : std::nullopt;
  };
  if (auto shift = point("Shift")) group->shiftBy_ = *shift;
  if (auto alpha = description.numberForKey("Alpha")) group->alpha_ = static_cast<float>(*alpha);
  group->scaleXBy_ = description.numberForKey("Scale X").value_or(1);
  group->scaleYBy_ = description.numberForKey("Scale Y").value_or(1);
  if (auto angle = description.numberForKey("Rotate")) {
    group->rotation_ = *angle;
    group->rotateAround_ = point("Rotate Around").value_or(KRPoint{});
  }
  if (auto text = description.stringForKey("Description")) group->setDescriptionString(*text);
  if (auto text = description.stringForKey("Frame"))
    if (auto frame = rectFromText(*text)) group->groupFrame_ = *frame;
  if (const PropertyList* crop = description.find("Crop"))
    group->crop_ = std::dynamic_pointer_cast<KRDrawingPath>(KRDrawingTypes::createFromMVG(*crop));
  if (const PropertyList* style = description.find("Style")) group->style_ = KRDrawingStyleCurve::createFromMVG(*style);
  group->useLayerHint_ = description.booleanForKey("Use Layers").value_or(false);
  return group;
}

const std::map<std::string, std::string>& KRDrawingGroup::typeNamesToClassNames() {
  return KRDrawingTypes::typeNamesToClassNames();
}

const std::map<std::string, std::string>& KRDrawingGroup::classNamesToTypeNames() {
  return KRDrawingTypes::classNamesToTypeNames();
}

// ---------------------------------------------------------------- bookkeeping

std::size_t KRDrawingGroup::memoryUsed() const {
  std::size_t total = sizeof(*this) + objects_.capacity() * sizeof(objects_[0]);
  for (const auto& child : objects_)
    if (child) total += child->memoryUsed();
  if (crop_) total += crop_->memoryUsed();
  if (style_) total += style_->memoryUsed();
  return total + layer_.memoryUsed();
}

void KRDrawingGroup::clearCachedEntries() const {
  clearOwnCaches();
  for (const auto& child : objects_)
    if (child) child->clearCachedEntries();
  if (crop_) crop_->clearCachedEntries();
}

std::string KRDrawingGroup::textDescription() const {
  return formatMessage(objects_.size() == 1 ? "%d object" : "%d objects", static_cast<int>(objects_.size()));
}

}  // namespace orrelin
