#pragma once
// The display list: a tree of drawing objects in page coordinates (points,
// y up) that the graph commands, the axes and the layout build, and that is
// drawn, hit-tested, measured, rescaled and written out. Objects are shared
// and treated as immutable once made; rescaling, magnifying, cropping and
// transparency removal make new objects. Only caches change in place.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "drawing/KRSVGStream.h"
#include "platform/GraphicsContext.h"
#include "platform/PropertyList.h"

namespace orrelin {

class KRDrawingContext;
class KRDrawingGroup;
class KRDrawingPath;

class KRDrawingBasic : public std::enable_shared_from_this<KRDrawingBasic> {
 public:
  virtual ~KRDrawingBasic() = default;
  KRDrawingBasic& operator=(const KRDrawingBasic&) = delete;

  // The class name, for messages and the object browser.
  virtual const char* className() const = 0;

  virtual void drawToCurrentContext(KRDrawingContext& context) const;

  // Cached; computed on first request. A computed rectangle with a negative
  // width or height is kept as the zero rectangle.
  KRRect boundingRectangle() const;
  virtual KRRect computeBoundingRectangle() const { return {}; }
  virtual bool hitTestForPoint(KRPoint point) const;

  // A copy with every position p mapped to (p - around) * s + thenShiftCenterTo
  // and every size multiplied by s (line widths stay). With cropResult the
  // copy is cropped to where the original's bounding rectangle lands.
  std::shared_ptr<KRDrawingBasic> scaleBy(double s, KRPoint around, KRPoint thenShiftCenterTo,
                                          bool cropResult) const;
  // The same drawing for a display magnified by factor: positions, sizes,
  // line widths and font sizes multiplied by it.
  virtual std::shared_ptr<KRDrawingBasic> magnify(double factor) const;
  // A new group that holds this object and is cropped by the path.
  std::shared_ptr<KRDrawingGroup> cropWith(std::shared_ptr<KRDrawingPath> path) const;
  // A version without the parts that lie wholly outside the rectangle;
  // nullptr when nothing is left.
  virtual std::shared_ptr<KRDrawingBasic> simplifyDrawingOutside(const KRRect& rect) const;
  // Any colour with alpha below 1, any group alpha below 1.
  virtual bool containsTransparency() const { return false; }
  // A copy in which every colour is opaque.
  virtual std::shared_ptr<KRDrawingBasic> nonTransparentVersion() const { return copy(); }
  // Deep copy (groups, paths and styles; immutable payloads such as images
  // are shared). The copy has a serial number of its own.
  virtual std::shared_ptr<KRDrawingBasic> copy() const = 0;
  // Bytes held, for the drawing cache's accounting.
  virtual std::size_t memoryUsed() const;
  // Drops the cached bounding rectangle and rendered layers.
  virtual void clearCachedEntries() const;
  // A one-line summary for the object browser.
  virtual std::string textDescription() const;

  // The output forms, each one hook per kind. The SVG is appended to the
  // stream: indent is the current indentation, a page y is written as
  // shiftYBy - y, and info is shared by the whole document. The root reports
  // that a kind has no SVG form and writes nothing.
  virtual void addToSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy, KRSVGInfo& info) const;
  // The drawing description, a dictionary whose "Type" names the kind; none
  // for a kind that has no description.
  virtual std::optional<PropertyList> mvgDescription() const { return std::nullopt; }

  // Taken from the process-wide counter on first request.
  std::int64_t serialNumber() const;
  const std::optional<std::string>& descriptionString() const { return description_; }
  void setDescriptionString(std::optional<std::string> text) { description_ = std::move(text); }

 protected:
  KRDrawingBasic() = default;
  // Copies the description; caches and the serial number are not copied.
  KRDrawingBasic(const KRDrawingBasic& other) : std::enable_shared_from_this<KRDrawingBasic>(), description_(other.description_) {}

  // The kind's own scaling; the root reports that it has none.
  virtual std::shared_ptr<KRDrawingBasic> scaledCopy(double s, KRPoint around, KRPoint thenShiftCenterTo,
                                                     bool cropResult) const;
  // Reports that this kind does not support an operation.
  void reportUnsupported(const char* operation) const;
  // Locks the caches of this object.
  std::mutex& cacheLock() const { return cacheLock_; }
  // Changes when a part the caches depend on is edited in place (a style's
  // stamp); 0 for kinds without such a part.
  virtual std::uint64_t appearanceStamp() const { return 0; }

 private:
  mutable std::mutex cacheLock_;
  mutable std::optional<KRRect> bounds_;
  mutable std::uint64_t boundsStamp_ = 0;
  mutable std::atomic<std::int64_t> serial_{0};
  std::optional<std::string> description_;
};

// The base of every leaf object.
class KRDrawingElement : public KRDrawingBasic {
 protected:
  KRDrawingElement() = default;
  KRDrawingElement(const KRDrawingElement&) = default;
};

// (p - around) * s + shiftTo, the mapping of scaleBy.
inline KRPoint mapPoint(KRPoint p, double s, KRPoint around, KRPoint shiftTo) {
  return {(p.x - around.x) * s + shiftTo.x, (p.y - around.y) * s + shiftTo.y};
}
inline KRRect mapRect(const KRRect& r, double s, KRPoint around, KRPoint shiftTo) {
  KRPoint o = mapPoint(r.origin, s, around, shiftTo);
  return KRRect{o.x, o.y, r.size.width * s, r.size.height * s}.standardized();
}

// Typed copies, for callers that know the kind.
template <class Kind>
std::shared_ptr<Kind> copyOf(const Kind& object) {
  return std::static_pointer_cast<Kind>(object.copy());
}

}  // namespace orrelin
