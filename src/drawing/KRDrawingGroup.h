#pragma once
// Groups: ordered children drawn under a common transform (scale and shift,
// then rotation), alpha, shadow, crop and style; optionally through a cached
// off-screen layer.

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "drawing/KRDrawingBasic.h"
#include "drawing/KRDrawingPath.h"
#include "drawing/KRLayerCache.h"
#include "drawing/KRDrawingStyle.h"

namespace orrelin {

class GraphicsLayer;
class KRDrawingBitmap;
class KRDrawingGroup;

// A command that can replace a group by a finer version of itself when the
// user magnifies the display.
class KRHigherQualityCallback {
 public:
  virtual ~KRHigherQualityCallback() = default;
  // The group as it should look when magnified by magnification in total;
  // nullptr to let the group be magnified as it is.
  virtual std::shared_ptr<KRDrawingGroup> higherQualityVersion(const KRDrawingGroup& group,
                                                               double magnification) = 0;
};

// What a click selects: the innermost object hit and the indices that lead
// to it from the group asked.
struct KRDrawingClickResult {
  std::shared_ptr<KRDrawingBasic> object;
  std::vector<std::size_t> location;
};

class KRDrawingGroup : public KRDrawingBasic {
 public:
  static std::shared_ptr<KRDrawingGroup> create();
  static std::shared_ptr<KRDrawingGroup> createWithCapacity(std::size_t capacity);
  static std::shared_ptr<KRDrawingGroup> createWithDrawingObject(std::shared_ptr<KRDrawingBasic> object);
  // Whether groups that ask for aliased drawing get it on printers and in files too.
  static void allowAliasingForNonScreenDrawing(bool allow);
  static bool aliasingAllowedForNonScreenDrawing();

  KRDrawingGroup() = default;
  KRDrawingGroup(const KRDrawingGroup& other);  // deep

  // The list. Changing it drops this group's caches; a group holding this one
  // learns of the change through changeInObject.
  const std::vector<std::shared_ptr<KRDrawingBasic>>& objects() const { return objects_; }
  void addObject(std::shared_ptr<KRDrawingBasic> object);
  void insertObject(std::shared_ptr<KRDrawingBasic> object, std::size_t index);
  void removeObject(const std::shared_ptr<KRDrawingBasic>& object);
  void removeObjectAtIndex(std::size_t index);
  void removeLastObject();
  void removeAllObjects();
  void replaceObjectAtIndex(std::size_t index, std::shared_ptr<KRDrawingBasic> object);
  // nullptr outside the list.
  std::shared_ptr<KRDrawingBasic> objectAtIndex(std::size_t index) const;
  std::optional<std::size_t> indexOfObject(const std::shared_ptr<KRDrawingBasic>& object) const;
  std::size_t count() const { return objects_.size(); }
  bool isEmpty() const { return objects_.empty(); }

  // Transforms and appearance; every change that shows drops the cached
  // rectangle and layer. A child point p is drawn at
  // (p.x * scaleXBy + shift.x, p.y * scaleYBy + shift.y), then rotated by
  // rotation radians around rotateAround.
  void setShiftBy(KRPoint shift);
  void shiftBy(KRPoint shift, double scale) { shiftBy(shift, scale, scale); }
  void shiftBy(KRPoint shift, double scaleX, double scaleY);
  void rotateAround(KRPoint center, double angle);
  void setAlpha(float alpha);
  void setShadowWithOffset(KRSize offset, double blur);
  void setShadowWithOffset(KRSize offset, double blur, const KRColor& color);
  void removeShadow();
  void setCrop(std::shared_ptr<KRDrawingPath> crop);
  void setStyle(std::shared_ptr<KRDrawingStyle> style);
  void setGroupFrame(const KRRect& frame) { groupFrame_ = frame; }
  // Moves the frame to the origin, shifting the drawing with it.
  void shiftGroupFrameToOrigin();
  void setUseLayerHint(bool on);
  // true: draw the children without antialiasing (see allowAliasingForNonScreenDrawing).
  void setDefaultAliasState(bool disableAntialiasing);
  void setHigherQualityCallback(std::shared_ptr<KRHigherQualityCallback> callback) {
    higherQualityCallback_ = std::move(callback);
  }

  KRPoint shift() const { return shiftBy_; }
  double scaleXBy() const { return scaleXBy_; }
  double scaleYBy() const { return scaleYBy_; }
  KRPoint rotationCenter() const { return rotateAround_; }
  double rotation() const { return rotation_; }
  float alpha() const { return alpha_; }
  bool useShadow() const { return useShadow_; }
  KRSize shadowOffset() const { return shadowOffset_; }
  double shadowBlur() const { return shadowBlur_; }
  const std::optional<KRColor>& shadowColor() const { return shadowColor_; }
  const std::shared_ptr<KRDrawingPath>& crop() const { return crop_; }
  const std::shared_ptr<KRDrawingStyle>& style() const { return style_; }
  const KRRect& groupFrame() const { return groupFrame_; }
  bool useLayerHint() const { return useLayerHint_; }
  bool disableAntialiasing() const { return disableAntialiasing_; }
  const std::shared_ptr<KRHigherQualityCallback>& higherQualityCallback() const { return higherQualityCallback_; }
  double hasBeenMagnified() const { return hasBeenMagnified_; }
  int howManyTimesDrawn() const { return howManyTimesDrawn_.load(); }
  // From the children's coordinates to the coordinates the group is drawn in.
  KRAffineTransform transformToParent() const;
  // Whether the transform, alpha, shadow, crop or style change anything.
  bool changesDrawing() const;

  // Lookups, searching the whole tree below this group.
  std::shared_ptr<KRDrawingBasic> objectWithSerialNumber(std::int64_t serial) const;
  std::shared_ptr<KRDrawingBasic> childWithSerialNumber(std::int64_t serial) const;
  std::shared_ptr<KRDrawingGroup> parentOfObject(const KRDrawingBasic* object) const;
  std::shared_ptr<KRDrawingGroup> parentOfObjectWithSerialNumber(std::int64_t serial) const;
  // The indices leading to the object; none when it is not in the tree.
  std::optional<std::vector<std::size_t>> locationOfObject(const KRDrawingBasic* object) const;
  std::optional<KRDrawingClickResult> clickedResult(KRPoint point) const;
  // Drops the caches of this group, of the groups on the way to a changed
  // descendant, and of the descendant.
  void changeInObject(const KRDrawingBasic* object) const;
  void clearCacheDueToChangeInObject(const KRDrawingBasic* object) const { changeInObject(object); }

  // Clean-ups; each gives a new tree and leaves this one as it is.
  std::shared_ptr<KRDrawingGroup> removeEmptyGroups() const;
  // Nested groups that change nothing in the drawing are replaced by their children.
  std::shared_ptr<KRDrawingGroup> stripGroupsThatDontChangeDrawing() const;
  std::shared_ptr<KRDrawingGroup> stripHighQuality() const;
  std::shared_ptr<KRDrawingGroup> removeTransparency() const;
  // Gradients (only those with transparency, when asked) become bitmaps.
  std::shared_ptr<KRDrawingGroup> removeGradients(bool onlyTransparent) const;
  // Every styled line thinner than width is made width wide.
  std::shared_ptr<KRDrawingGroup> setMinimumLineWidth(double width) const;

  // Queries.
  bool containsBitmap() const;
  bool containsGradientsWithTransparency() const;

  // Conversions. The image covers the bounding rectangle at scale pixels per point.
  std::shared_ptr<KRDrawingBitmap> bitmapVersion(double scale = 1) const;
  std::shared_ptr<KRImage> imageVersion(double scale = 1) const;
  std::shared_ptr<KRImage> imageVersionWithBackground(const KRColor& background, double scale = 1) const;
  // The whole SVG document of a page of the size with this group on it.
  std::string svgForm(KRSize size) const;
  // A one-page PDF of the rectangle; empty when it cannot be made.
  std::vector<std::uint8_t> dataWithPDFInsideRect(const KRRect& rect) const;

  // The drawing description's type table and the group's reader: every
  // child is rebuilt by the kind its "Type" names; children that cannot be
  // are reported and left out.
  static const std::map<std::string, std::string>& typeNamesToClassNames();
  static const std::map<std::string, std::string>& classNamesToTypeNames();
  static std::shared_ptr<KRDrawingBasic> createFromMVG(const PropertyList& description);

  // The drawing operations.
  const char* className() const override { return "KRDrawingGroup"; }
  void addToSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy, KRSVGInfo& info) const override;
  std::optional<PropertyList> mvgDescription() const override;
  void drawToCurrentContext(KRDrawingContext& context) const override;
  KRRect computeBoundingRectangle() const override;
  // The children's union before the group's own shift, scale and rotation.
  KRRect boundingRectangleBeforeTransformation() const;
  bool hitTestForPoint(KRPoint point) const override;
  std::shared_ptr<KRDrawingBasic> magnify(double factor) const override;
  std::shared_ptr<KRDrawingBasic> simplifyDrawingOutside(const KRRect& rect) const override;
  bool containsTransparency() const override;
  std::shared_ptr<KRDrawingBasic> nonTransparentVersion() const override;
  std::shared_ptr<KRDrawingBasic> copy() const override;
  std::shared_ptr<KRDrawingGroup> copyGroup() const { return std::make_shared<KRDrawingGroup>(*this); }
  std::size_t memoryUsed() const override;
  void clearCachedEntries() const override;
  std::string textDescription() const override;

 protected:
  std::shared_ptr<KRDrawingBasic> scaledCopy(double s, KRPoint around, KRPoint shiftTo, bool crop) const override;
  std::uint64_t appearanceStamp() const override { return style_ ? style_->stamp() : 0; }

 private:
  void drawThroughLayer(KRDrawingContext& context) const;
  void drawDirectly(KRDrawingContext& context) const;
  void clearOwnCaches() const;
  // The point in the children's coordinates.
  std::optional<KRPoint> toChildCoordinates(KRPoint point) const;
  // Applies change to this group's children, recursing into child groups
  // (which are copies owned by this group).
  void rewriteChildren(const std::function<std::shared_ptr<KRDrawingBasic>(const std::shared_ptr<KRDrawingBasic>&)>& change);
  // Copies everything but the children.
  void copyAppearanceFrom(const KRDrawingGroup& other);

  std::shared_ptr<KRDrawingPath> crop_;
  std::shared_ptr<KRDrawingStyle> style_;
  std::vector<std::shared_ptr<KRDrawingBasic>> objects_;
  bool disableAntialiasing_ = false;
  bool useLayerHint_ = false;
  float alpha_ = 1;
  bool useShadow_ = false;
  KRSize shadowOffset_;
  double shadowBlur_ = 0;
  std::optional<KRColor> shadowColor_;
  KRPoint shiftBy_;
  double scaleXBy_ = 1, scaleYBy_ = 1;
  KRPoint rotateAround_;
  double rotation_ = 0;
  KRRect groupFrame_;
  std::shared_ptr<KRHigherQualityCallback> higherQualityCallback_;
  double hasBeenMagnified_ = 1;
  mutable std::atomic<int> howManyTimesDrawn_{0};

  // The layer drawn through (with useLayerHint), where, and for which context.
  mutable KRLayerCache layer_;
};

}  // namespace orrelin
