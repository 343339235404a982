#include "drawing/KRDrawingBasic.h"

#include "drawing/KRDrawingGroup.h"
#include "drawing/KRDrawingMessages.h"
#include "drawing/KRDrawingPath.h"
#include "platform/KRMessageCenter.h"
#include "platform/SerialNumbers.h"

namespace orrelin {

using namespace drawing_messages;

void KRDrawingBasic::reportUnsupported(const char* operation) const {
  KRMessageCenter::addMessage(formatMessage(kUnsupportedOperation, className(), operation));
}

void KRDrawingBasic::drawToCurrentContext(KRDrawingContext&) const { reportUnsupported("drawToCurrentContext:"); }

KRRect KRDrawingBasic::boundingRectangle() const {
  std::uint64_t stamp = appearanceStamp();
  {
    std::lock_guard guard(cacheLock_);
    if (bounds_ && boundsStamp_ == stamp) return *bounds_;
  }
  KRRect computed = computeBoundingRectangle();
  if (!(computed.size.width >= 0) || !(computed.size.height >= 0)) computed = {};
  std::lock_guard guard(cacheLock_);
  bounds_ = computed;
  boundsStamp_ = stamp;
  return computed;
}

bool KRDrawingBasic::hitTestForPoint(KRPoint) const {
  reportUnsupported("hitTestForPoint:");
  return false;
}

std::shared_ptr<KRDrawingBasic> KRDrawingBasic::scaleBy(double s, KRPoint around, KRPoint thenShiftCenterTo,
                                                        bool cropResult) const {
  auto scaled = scaledCopy(s, around, thenShiftCenterTo, cropResult);
  if (!scaled || !cropResult) return scaled;
  KRRect area = mapRect(boundingRectangle(), s, around, thenShiftCenterTo);
  return scaled->cropWith(KRDrawingPathRectangle::createWithRect(area));
}

std::shared_ptr<KRDrawingBasic> KRDrawingBasic::scaledCopy(double, KRPoint, KRPoint, bool) const {
  reportUnsupported("scaleBy:around:thenShiftCenterTo:cropResult:");
  return nullptr;
}

std::shared_ptr<KRDrawingBasic> KRDrawingBasic::magnify(double) const {
  reportUnsupported("magnify:");
  return nullptr;
}

std::shared_ptr<KRDrawingGroup> KRDrawingBasic::cropWith(std::shared_ptr<KRDrawingPath> path) const {
  auto group = KRDrawingGroup::createWithDrawingObject(copy());
  group->setCrop(std::move(path));
  return group;
}

std::shared_ptr<KRDrawingBasic> KRDrawingBasic::simplifyDrawingOutside(const KRRect& rect) const {
  KRRect bounds = boundingRectangle();
  // An object with no extent cannot be told to be outside; keep it.
  if (!bounds.isNull() && !rect.isNull() && !bounds.insetBy(-1, -1).intersects(rect)) return nullptr;
  return copy();
}

std::size_t KRDrawingBasic::memoryUsed() const { return sizeof(KRDrawingBasic); }

void KRDrawingBasic::clearCachedEntries() const {
  std::lock_guard guard(cacheLock_);
  bounds_.reset();
}

std::string KRDrawingBasic::textDescription() const { return className(); }

void KRDrawingBasic::addToSVGStream(KRSVGStream&, const std::string&, double, KRSVGInfo&) const {
  KRMessageCenter::addMessage(formatMessage(kMissingSVG, className()));
}

std::int64_t KRDrawingBasic::serialNumber() const {
  std::int64_t current = serial_.load();
  if (current != 0) return current;
  std::int64_t fresh = nextUniqueSerialNumber();
  // Two threads asking at once agree on the first number handed out.
  if (serial_.compare_exchange_strong(current, fresh)) return fresh;
  return current;
}

}  // namespace orrelin
