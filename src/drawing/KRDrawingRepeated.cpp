#include "drawing/KRDrawingRepeated.h"

#include <algorithm>
#include <cmath>

#include "drawing/KRDrawingContext.h"
#include "drawing/KRDrawingDescription.h"
#include "drawing/KRDrawingMessages.h"
#include "drawing/KRFloatPoints.h"
#include "platform/KRMessageCenter.h"

namespace orrelin {

using namespace drawing_messages;

std::shared_ptr<KRDrawingRepeated> KRDrawingRepeated::drawing(std::shared_ptr<KRDrawingGroup> object, KRSize size,
                                                              KRPoint shift,
                                                              std::shared_ptr<const KRFloatArrayContainer> withOffsets) {
  if (!object) {
    KRMessageCenter::addMessage(kNilStencil);
    return nullptr;
  }
  if (!withOffsets || (withOffsets->length() > 0 && (withOffsets->m() != 2 || withOffsets->o() > 1))) {
    KRMessageCenter::addMessage(kInvalidOffsets);
    return nullptr;
  }
  auto result = std::make_shared<KRDrawingRepeated>();
  result->object_ = std::move(object);
  result->offsets_ = std::move(withOffsets);
  result->size_ = size;
  result->shift_ = shift;
  return result;
}

KRDrawingRepeated::KRDrawingRepeated(const KRDrawingRepeated& other)
    : KRDrawingElement(other),
      object_(other.object_->copyGroup()),
      offsets_(other.offsets_),
      size_(other.size_),
      shift_(other.shift_) {}

std::shared_ptr<KRDrawingBasic> KRDrawingRepeated::copy() const { return std::make_shared<KRDrawingRepeated>(*this); }

std::shared_ptr<KRDrawingRepeated> KRDrawingRepeated::with(std::shared_ptr<KRDrawingGroup> object,
                                                           std::shared_ptr<const KRFloatArrayContainer> offsets,
                                                           KRSize size, KRPoint shift) const {
  auto result = std::make_shared<KRDrawingRepeated>();
  result->setDescriptionString(descriptionString());
  result->object_ = std::move(object);
  result->offsets_ = std::move(offsets);
  result->size_ = size;
  result->shift_ = shift;
  return result;
}

std::shared_ptr<KRDrawingGroup> KRDrawingRepeated::expandObject() const {
  auto group = KRDrawingGroup::createWithCapacity(static_cast<std::size_t>(count()));
  const float* xy = offsets_->constPointer();
  for (long i = 0; i < count(); ++i) {
    double x = xy[2 * i], y = xy[2 * i + 1];
    if (!std::isfinite(x) || !std::isfinite(y)) continue;
    // The copies share the stencil, which never changes.
    auto placed = KRDrawingGroup::createWithDrawingObject(object_);
    placed->setShiftBy({x - shift_.x, y - shift_.y});
    group->addObject(std::move(placed));
  }
  return group;
}

void KRDrawingRepeated::drawToCurrentContext(KRDrawingContext& context) const {
  if (count() == 0) return;
  GraphicsContext& gc = context.graphicsPort();
  if (!(size_.width * size_.height <= kMaxStampedArea)) {
    // Too large to stamp from a raster: draw the copies.
    expandObject()->drawToCurrentContext(context);
    return;
  }
  if (gc.isVectorTarget()) {
    // A vector destination keeps the stencil as vectors, drawn once per
    // offset; replaying a recorded layer costs such a target more than that.
    drawEachCopy(context);
    return;
  }
  std::shared_ptr<GraphicsLayer> layer = layer_.layerFor(gc);
  if (!layer) {
    layer = gc.createLayer(size_);
    if (!layer) {
      expandObject()->drawToCurrentContext(context);
      return;
    }
    auto layerContext = context.contextForLayer(layer->context());
    object_->drawToCurrentContext(*layerContext);
    layer_.store(gc, layer);
  }
  gc.drawLayerRepeatedly(*layer, size_, offsets_->constPointer(), static_cast<std::size_t>(count()), shift_);
}

void KRDrawingRepeated::drawEachCopy(KRDrawingContext& context) const {
  GraphicsContext& gc = context.graphicsPort();
  const float* xy = offsets_->constPointer();
  for (long i = 0; i < count(); ++i) {
    double x = xy[2 * i], y = xy[2 * i + 1];
    if (!std::isfinite(x) || !std::isfinite(y)) continue;
    KRGraphicsStateGuard guard(context);
    gc.translateCTM(x - shift_.x, y - shift_.y);
    object_->drawToCurrentContext(context);
  }
}

KRRect KRDrawingRepeated::computeBoundingRectangle() const {
  KRRect stencil = object_->boundingRectangle();
  if (stencil.isNull()) return {};
  const float* xy = offsets_->constPointer();
  KRRectAccumulator placed;
  for (long i = 0; i < count(); ++i) placed.include(KRPoint{xy[2 * i], xy[2 * i + 1]});
  if (placed.isEmpty()) return {};
  KRRect p = placed.rect();
  return {p.minX() - shift_.x + stencil.minX(), p.minY() - shift_.y + stencil.minY(), p.width() + stencil.width(),
          p.height() + stencil.height()};
}

bool KRDrawingRepeated::hitTestForPoint(KRPoint point) const {
  if (!boundingRectangle().insetBy(-2, -2).contains(point)) return false;
  const float* xy = offsets_->constPointer();
  for (long i = 0; i < count(); ++i) {
    KRPoint inside{point.x - (xy[2 * i] - shift_.x), point.y - (xy[2 * i + 1] - shift_.y)};
    if (object_->hitTestForPoint(inside)) return true;
  }
  return false;
}

std::shared_ptr<KRDrawingBasic> KRDrawingRepeated::scaledCopy(double s, KRPoint around, KRPoint shiftTo, bool) const {
  auto offsets = mapPointsInColumns(*offsets_, {0}, [&](KRPoint p) { return mapPoint(p, s, around, shiftTo); });
  if (!offsets) return nullptr;
  // The stencil grows about its own origin; its reference point with it.
  auto stencil = std::static_pointer_cast<KRDrawingGroup>(object_->scaleBy(s, {0, 0}, {0, 0}, false));
  double f = std::fabs(s);
  return with(std::move(stencil), std::move(offsets), {size_.width * f, size_.height * f}, {shift_.x * s, shift_.y * s});
}

std::shared_ptr<KRDrawingBasic> KRDrawingRepeated::magnify(double factor) const {
  auto offsets = mapPointsInColumns(*offsets_, {0}, [factor](KRPoint p) { return KRPoint{p.x * factor, p.y * factor}; });
  if (!offsets) return nullptr;
  auto stencil = std::static_pointer_cast<KRDrawingGroup>(object_->magnify(factor));
  double f = std::fabs(factor);
  return with(std::move(stencil), std::move(offsets), {size_.width * f, size_.height * f},
              {shift_.x * factor, shift_.y * factor});
}

std::shared_ptr<KRDrawingBasic> KRDrawingRepeated::simplifyDrawingOutside(const KRRect& rect) const {
  KRRect stencil = object_->boundingRectangle();
  KRRect area = rect.standardized().insetBy(-1, -1);
  const float* xy = offsets_->constPointer();
  std::vector<float> kept;
  for (long i = 0; i < count(); ++i) {
    KRRect stamp = stencil.offsetBy(xy[2 * i] - shift_.x, xy[2 * i + 1] - shift_.y);
    if (stamp.maxX() >= area.minX() && stamp.minX() <= area.maxX() && stamp.maxY() >= area.minY() &&
        stamp.minY() <= area.maxY()) {
      kept.push_back(xy[2 * i]);
      kept.push_back(xy[2 * i + 1]);
    }
  }
  if (kept.empty()) return nullptr;
  if (static_cast<long>(kept.size()) == 2 * count()) return copy();
  auto offsets = KRFloatArrayContainer::createArrayOfSizeM(2, static_cast<long>(kept.size() / 2));
  if (!offsets) return nullptr;
  std::copy(kept.begin(), kept.end(), offsets->mutablePointer());
  return with(object_->copyGroup(), std::move(offsets), size_, shift_);
}

std::shared_ptr<KRDrawingBasic> KRDrawingRepeated::nonTransparentVersion() const {
  return with(std::static_pointer_cast<KRDrawingGroup>(object_->nonTransparentVersion()), offsets_, size_, shift_);
}

std::size_t KRDrawingRepeated::memoryUsed() const {
  return sizeof(*this) + object_->memoryUsed() + offsets_->memoryUsed() + layer_.memoryUsed();
}

void KRDrawingRepeated::clearCachedEntries() const {
  KRDrawingBasic::clearCachedEntries();
  object_->clearCachedEntries();
  layer_.clear();
}

std::string KRDrawingRepeated::textDescription() const {
  return formatMessage("Stencil with %d copies", static_cast<int>(count()));
}

// ---------------------------------------------------------------- output forms

// SVG has no stamp: the copies are written one by one.
void KRDrawingRepeated::addToSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy,
                                       KRSVGInfo& info) const {
  expandObject()->addToSVGStream(stream, indent, shiftYBy, info);
}

// The shift is written under "Origin" and "Center" and read from "Origin"
// first, so descriptions of either key read back with their shift.
std::optional<PropertyList> KRDrawingRepeated::mvgDescription() const {
  using namespace drawing_description;
  auto stencil = object_->mvgDescription();
  auto offsets = offsets_->convertToRawFormat();
  if (!stencil || !offsets) return std::nullopt;
  auto description = newDescription("Repeated");
  PlistDictionary& d = description->dictionary();
  d["Object"] = std::move(*stencil);
  d["Offsets"] = std::move(*offsets);
  d["Size"] = sizeText(size_);
  d["Origin"] = pointText(shift_);
  d["Center"] = pointText(shift_);
  if (descriptionString()) d["Description"] = *descriptionString();
  return description;
}

std::shared_ptr<KRDrawingBasic> KRDrawingRepeated::createFromMVG(const PropertyList& description) {
  using namespace drawing_description;
  const PropertyList* stencil = description.find("Object");
  const PropertyList* offsets = description.find("Offsets");
  auto size = sizeForKey(description, "Size");
  if (description.stringForKey("Type") != "Repeated" || !stencil || !offsets || !size) return nullptr;
  auto group = std::dynamic_pointer_cast<KRDrawingGroup>(KRDrawingGroup::createFromMVG(*stencil));
  auto positions = KRFloatArrayContainer::convertFromRawFormat(*offsets);
  if (!group || !positions) return nullptr;
  KRPoint shift = pointForKey(description, "Origin").value_or(pointForKey(description, "Center").value_or(KRPoint{}));
  auto result = drawing(std::move(group), *size, shift, std::move(positions));
  if (result)
    if (auto label = description.stringForKey("Description")) result->setDescriptionString(*label);
  return result;
}

}  // namespace orrelin
