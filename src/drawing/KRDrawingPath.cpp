#include "drawing/KRDrawingPath.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "drawing/KRDrawingContext.h"
#include "drawing/KRDrawingDescription.h"
#include "drawing/KRDrawingMessages.h"
#include "platform/KRMessageCenter.h"

namespace orrelin {

using namespace drawing_messages;
using namespace drawing_description;

namespace {

// Counts the points a geometry is made of.
class CountingSink : public KRPathSink {
 public:
  std::size_t count = 0;
  void moveTo(KRPoint) override { ++count; }
  void lineTo(KRPoint) override { ++count; }
  void curveTo(KRPoint, KRPoint, KRPoint) override { count += 3; }
  void quadCurveTo(KRPoint, KRPoint) override { count += 2; }
  void arc(KRPoint, double, double, double, bool) override { count += 4; }
  void closePath() override {}
};

}  // namespace

// ---------------------------------------------------------------- base

KRDrawingPath::KRDrawingPath(const KRDrawingPath& other)
    : KRDrawingElement(other),
      style_(other.style_ ? other.style_->copyCurve() : nullptr) {
  copyMappingFrom(other);
}

void KRDrawingPath::setXLinear(bool xLinear, double xshift, double xscale, bool yLinear, double yshift,
                               double yscale) {
  mappingDefined_ = true;
  xLinear_ = xLinear;
  xshift_ = xshift;
  xscale_ = xscale;
  yLinear_ = yLinear;
  yshift_ = yshift;
  yscale_ = yscale;
}

void KRDrawingPath::copyMappingFrom(const KRDrawingPath& other) {
  mappingDefined_ = other.mappingDefined_;
  xLinear_ = other.xLinear_;
  xshift_ = other.xshift_;
  xscale_ = other.xscale_;
  yLinear_ = other.yLinear_;
  yshift_ = other.yshift_;
  yscale_ = other.yscale_;
}

void KRDrawingPath::applyScaleTo(KRDrawingPath& result, double s, KRPoint around, KRPoint shiftTo) const {
  result.copyMappingFrom(*this);
  if (!mappingDefined_) return;
  // page' = (page - a) * s + c, written again in the form of the mapping.
  auto remap = [s](bool linear, double& shift, double& scale, double a, double c) {
    if (linear) {
      double newScale = scale * s;
      if (newScale != 0 && std::isfinite(newScale)) shift += (c - a * s) / newScale;
      scale = newScale;
    } else {
      shift = (shift - a) * s + c;
      scale *= s;
    }
  };
  remap(result.xLinear_, result.xshift_, result.xscale_, around.x, shiftTo.x);
  remap(result.yLinear_, result.yshift_, result.yscale_, around.y, shiftTo.y);
}

void KRDrawingPath::finishScaledCopy(KRDrawingPath& result, double s, KRPoint around, KRPoint shiftTo) const {
  applyScaleTo(result, s, around, shiftTo);
  result.style_ = style_ ? style_->copyCurve() : nullptr;
  result.setDescriptionString(descriptionString());
}

void KRDrawingPath::finishMagnifiedCopy(KRDrawingPath& result, double factor) const {
  applyScaleTo(result, factor, {0, 0}, {0, 0});
  result.style_ = style_ ? std::static_pointer_cast<KRDrawingStyleCurve>(style_->magnify(factor)) : nullptr;
  result.setDescriptionString(descriptionString());
}

std::shared_ptr<KRDrawingPath> KRDrawingPath::withPointsMapped(const std::function<KRPoint(KRPoint)>&, double) const {
  return nullptr;
}

std::shared_ptr<KRDrawingBasic> KRDrawingPath::scaledCopy(double s, KRPoint around, KRPoint shiftTo, bool crop) const {
  auto result = withPointsMapped([&](KRPoint p) { return mapPoint(p, s, around, shiftTo); }, std::fabs(s));
  if (!result) return KRDrawingBasic::scaledCopy(s, around, shiftTo, crop);
  finishScaledCopy(*result, s, around, shiftTo);
  return result;
}

std::shared_ptr<KRDrawingBasic> KRDrawingPath::magnify(double factor) const {
  auto result = withPointsMapped([factor](KRPoint p) { return KRPoint{p.x * factor, p.y * factor}; }, std::fabs(factor));
  if (!result) return KRDrawingBasic::magnify(factor);
  finishMagnifiedCopy(*result, factor);
  return result;
}

double KRDrawingPath::strokeOutset() const {
  if (!style_ || isFilled()) return 0;
  double half = style_->lineWidth() / 2;
  return std::isfinite(half) && half > 0 ? half : 0;
}

void KRDrawingPath::drawPathToContext(KRDrawingContext& context) const {
  KRContextPathSink sink(context.graphicsPort());
  addGeometry(sink);
}

void KRDrawingPath::clipWithPath(KRDrawingContext& context) const {
  GraphicsContext& gc = context.graphicsPort();
  gc.beginPath();
  drawPathToContext(context);
  gc.clipToPath();
}

bool KRDrawingPath::pointLiesInside(KRPoint point) const {
  KRHitSink sink(point);
  addGeometry(sink);
  sink.finish();
  return sink.winding() != 0;
}

void KRDrawingPath::drawToCurrentContext(KRDrawingContext& context) const {
  if (isEmptyPath()) return;
  std::optional<KRGraphicsStateGuard> guard;
  if (style_) {
    guard.emplace(context);
    style_->applyStyle(context);
  }
  GraphicsContext& gc = context.graphicsPort();
  gc.beginPath();
  drawPathToContext(context);
  if (isFilled())
    gc.fillPath();
  else
    gc.strokePath();
}

KRRect KRDrawingPath::geometryBounds() const {
  KRBoundsSink sink;
  addGeometry(sink);
  return sink.bounds();
}

KRRect KRDrawingPath::computeBoundingRectangle() const {
  KRRect bounds = geometryBounds();
  if (bounds.isNull() && !(bounds.size.width == 0 && bounds.size.height == 0)) return {};
  double outset = strokeOutset();
  return outset > 0 ? bounds.insetBy(-outset, -outset) : bounds;
}

bool KRDrawingPath::hitTestForPoint(KRPoint point) const {
  if (isEmptyPath()) return false;
  if (isFilled()) return pointLiesInside(point);
  if (!boundingRectangle().insetBy(-2, -2).contains(point)) return false;
  KRHitSink sink(point);
  addGeometry(sink);
  return sink.strokeDistance() <= kStrokeHitTolerance;
}

std::shared_ptr<KRDrawingBasic> KRDrawingPath::nonTransparentVersion() const {
  auto result = std::static_pointer_cast<KRDrawingPath>(copy());
  if (result->style_) result->style_ = std::static_pointer_cast<KRDrawingStyleCurve>(style_->nonTransparentVersion());
  return result;
}

// ---------------------------------------------------------------- output forms

void KRDrawingPath::addToSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy,
                                   KRSVGInfo&) const {
  if (isEmptyPath()) return;
  addInsideAnglesInSVGStream(stream, indent, shiftYBy, style_ ? style_->svgString() : std::string());
}

void KRDrawingPath::addPathToSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy) const {
  addInsideAnglesInSVGStream(stream, indent, shiftYBy, {});
}

void KRDrawingPath::addInsideAnglesInSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy,
                                               const std::string&) const {
  KRSVGInfo unused;
  KRDrawingBasic::addToSVGStream(stream, indent, shiftYBy, unused);
}

void KRDrawingPath::addCommonMVG(PlistDictionary& description) const {
  if (descriptionString()) description["Description"] = *descriptionString();
  if (mappingDefined_) {
    description["X Linear"] = xLinear_;
    description["Y Linear"] = yLinear_;
    description["X Shift"] = xshift_;
    description["X Scale"] = xscale_;
    description["Y Shift"] = yshift_;
    description["Y Scale"] = yscale_;
  }
  if (style_) description["Style"] = style_->mvgDescription();
}

void KRDrawingPath::setFromCommonMVG(const PropertyList& description) {
  if (auto text = description.stringForKey("Description")) setDescriptionString(*text);
  auto xShift = description.numberForKey("X Shift"), xScale = description.numberForKey("X Scale");
  auto yShift = description.numberForKey("Y Shift"), yScale = description.numberForKey("Y Scale");
  if (xShift && xScale && yShift && yScale)
    setXLinear(description.booleanForKey("X Linear").value_or(true), *xShift, *xScale,
               description.booleanForKey("Y Linear").value_or(true), *yShift, *yScale);
  if (const PropertyList* style = description.find("Style")) setStyle(KRDrawingStyleCurve::createFromMVG(*style));
}

// The element's attributes, then the style text when there is one.
static void closeElement(KRSVGStream& stream, const std::string& styleString) {
  if (styleString.empty())
    stream << "/>\n";
  else
    stream.append(" %s/>\n", styleString);
}

std::shared_ptr<KRDrawingPathBezier> KRDrawingPath::singleLineFrom(KRPoint from, KRPoint to) {
  auto path = std::make_shared<KRBezierPath>();
  path->moveTo(from);
  path->lineTo(to);
  return KRDrawingPathBezier::withPath(std::move(path));
}

std::shared_ptr<KRDrawingPathBezier> KRDrawingPath::roundedRectangle(const KRRect& rect, double radius) {
  KRRect r = rect.standardized();
  double rad = std::clamp(std::isfinite(radius) ? radius : 0.0, 0.0, std::min(r.width(), r.height()) / 2);
  auto path = std::make_shared<KRBezierPath>();
  if (rad <= 0) {
    path->appendRect(r);
  } else {
    path->moveTo({r.minX() + rad, r.minY()});
    path->appendArc({r.maxX() - rad, r.minY() + rad}, rad, -M_PI / 2, 0, false);
    path->appendArc({r.maxX() - rad, r.maxY() - rad}, rad, 0, M_PI / 2, false);
    path->appendArc({r.minX() + rad, r.maxY() - rad}, rad, M_PI / 2, M_PI, false);
    path->appendArc({r.minX() + rad, r.minY() + rad}, rad, M_PI, 3 * M_PI / 2, false);
    path->closePath();
  }
  return KRDrawingPathBezier::withPath(std::move(path));
}

// ---------------------------------------------------------------- rectangle

std::shared_ptr<KRDrawingPathRectangle> KRDrawingPathRectangle::createWithRect(const KRRect& rect) {
  auto path = std::make_shared<KRDrawingPathRectangle>();
  path->rectangle_ = rect;
  return path;
}

void KRDrawingPathRectangle::addGeometry(KRPathSink& sink) const {
  KRRect r = rectangle_.standardized();
  sink.moveTo(r.origin);
  sink.lineTo({r.maxX(), r.minY()});
  sink.lineTo({r.maxX(), r.maxY()});
  sink.lineTo({r.minX(), r.maxY()});
  sink.closePath();
}

void KRDrawingPathRectangle::drawPathToContext(KRDrawingContext& context) const {
  context.graphicsPort().addRect(rectangle_.standardized());
}

std::shared_ptr<KRDrawingBasic> KRDrawingPathRectangle::copy() const {
  return std::make_shared<KRDrawingPathRectangle>(*this);
}

std::shared_ptr<KRDrawingPath> KRDrawingPathRectangle::withPointsMapped(const std::function<KRPoint(KRPoint)>& map,
                                                                        double) const {
  KRRect r = rectangle_.standardized();
  KRPoint low = map(r.origin), high = map({r.maxX(), r.maxY()});
  return createWithRect(KRRect{low.x, low.y, high.x - low.x, high.y - low.y}.standardized());
}

void KRDrawingPathRectangle::addInsideAnglesInSVGStream(KRSVGStream& stream, const std::string& indent,
                                                        double shiftYBy, const std::string& styleString) const {
  KRRect r = rectangle_.standardized();
  stream.append("%s<rect x=\"%g\" y=\"%g\" width=\"%g\" height=\"%g\"", indent, r.minX(), shiftYBy - r.maxY(),
                r.width(), r.height());
  closeElement(stream, styleString);
}

std::optional<PropertyList> KRDrawingPathRectangle::mvgDescription() const {
  auto description = newDescription("Rectangle");
  description->dictionary()["Rectangle"] = rectText(rectangle_);
  addCommonMVG(description->dictionary());
  return description;
}

std::shared_ptr<KRDrawingBasic> KRDrawingPathRectangle::createFromMVG(const PropertyList& description) {
  auto text = description.stringForKey("Rectangle");
  auto rect = text ? rectFromText(*text) : std::nullopt;
  if (description.stringForKey("Type") != "Rectangle" || !rect) return nullptr;
  auto result = createWithRect(*rect);
  result->setFromCommonMVG(description);
  return result;
}

std::string KRDrawingPathRectangle::textDescription() const {
  KRRect r = rectangle_.standardized();
  return formatMessage("[%g,%g]x[%g,%g]", r.minX(), r.maxX(), r.minY(), r.maxY());
}

// ---------------------------------------------------------------- circle

std::shared_ptr<KRDrawingPathCircle> KRDrawingPathCircle::createWithCenter(KRPoint center, double radius) {
  auto path = std::make_shared<KRDrawingPathCircle>();
  path->center_ = center;
  path->radius_ = radius;
  return path;
}

void KRDrawingPathCircle::addGeometry(KRPathSink& sink) const {
  double r = std::fabs(radius_);
  sink.moveTo({center_.x + r, center_.y});
  sink.arc(center_, r, 0, 2 * M_PI, false);
  sink.closePath();
}

KRRect KRDrawingPathCircle::geometryBounds() const {
  double r = std::fabs(radius_);
  if (!std::isfinite(r) || !std::isfinite(center_.x) || !std::isfinite(center_.y)) return {};
  return {center_.x - r, center_.y - r, 2 * r, 2 * r};
}

bool KRDrawingPathCircle::pointLiesInside(KRPoint point) const {
  return std::hypot(point.x - center_.x, point.y - center_.y) <= std::fabs(radius_);
}

bool KRDrawingPathCircle::hitTestForPoint(KRPoint point) const {
  double d = std::hypot(point.x - center_.x, point.y - center_.y);
  if (isFilled()) return d <= std::fabs(radius_);
  return std::fabs(d - std::fabs(radius_)) <= kStrokeHitTolerance;
}

std::shared_ptr<KRDrawingBasic> KRDrawingPathCircle::copy() const { return std::make_shared<KRDrawingPathCircle>(*this); }

std::shared_ptr<KRDrawingPath> KRDrawingPathCircle::withPointsMapped(const std::function<KRPoint(KRPoint)>& map,
                                                                     double sizeFactor) const {
  auto result = createWithCenter(map(center_), radius_ * sizeFactor);
  result->fillCurve_ = fillCurve_;
  return result;
}

void KRDrawingPathCircle::addInsideAnglesInSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy,
                                                     const std::string& styleString) const {
  stream.append("%s<circle cx=\"%g\" cy=\"%g\" r=\"%g\"", indent, center_.x, shiftYBy - center_.y, std::fabs(radius_));
  closeElement(stream, styleString);
}

std::optional<PropertyList> KRDrawingPathCircle::mvgDescription() const {
  auto description = newDescription("Circle");
  PlistDictionary& d = description->dictionary();
  d["Center"] = pointText(center_);
  d["Radius"] = radius_;
  if (fillCurve_) d["Fill"] = true;
  addCommonMVG(d);
  return description;
}

std::shared_ptr<KRDrawingBasic> KRDrawingPathCircle::createFromMVG(const PropertyList& description) {
  auto text = description.stringForKey("Center");
  auto center = text ? pointFromText(*text) : std::nullopt;
  auto radius = description.numberForKey("Radius");
  if (description.stringForKey("Type") != "Circle" || !center || !radius) return nullptr;
  auto result = createWithCenter(*center, *radius);
  result->fillCurve_ = description.booleanForKey("Fill").value_or(false);
  result->setFromCommonMVG(description);
  return result;
}

std::string KRDrawingPathCircle::textDescription() const {
  return formatMessage("At (%g,%g), radius = %g", center_.x, center_.y, radius_);
}

// ---------------------------------------------------------------- paths of elements

template <class Kind>
std::shared_ptr<Kind> KRDrawingPathOfElements<Kind>::make(std::shared_ptr<const KRBezierPath> path) {
  if (!path) {
    KRMessageCenter::addMessage(kNilPath);
    return nullptr;
  }
  auto result = std::make_shared<Kind>();
  static_cast<KRDrawingPathOfElements&>(*result).path_ = std::move(path);
  return result;
}

template class KRDrawingPathOfElements<KRDrawingPathBezier>;

void KRDrawingPathBezier::addInsideAnglesInSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy,
                                                     const std::string& styleString) const {
  stream.append("%s<path d=\"", indent);
  KRSVGPathData data(stream, indent, 70);
  KRPoint current;
  for (const auto& element : path().elements()) {
    const auto& p = element.points;
    switch (element.type) {
      case KRBezierPath::ElementType::MoveTo: data.add("M %g %g ", p[0].x, shiftYBy - p[0].y); current = p[0]; break;
      case KRBezierPath::ElementType::LineTo: data.add("L %g %g ", p[0].x, shiftYBy - p[0].y); current = p[0]; break;
      case KRBezierPath::ElementType::QuadCurveTo: {
        // Written as the cubic of the same shape.
        KRPoint c1{current.x + 2.0 / 3 * (p[0].x - current.x), current.y + 2.0 / 3 * (p[0].y - current.y)};
        KRPoint c2{p[1].x + 2.0 / 3 * (p[0].x - p[1].x), p[1].y + 2.0 / 3 * (p[0].y - p[1].y)};
        data.add("C %g %g %g %g %g %g ", c1.x, shiftYBy - c1.y, c2.x, shiftYBy - c2.y, p[1].x, shiftYBy - p[1].y);
        current = p[1];
        break;
      }
      case KRBezierPath::ElementType::CurveTo:
        data.add("C %g %g %g %g %g %g ", p[0].x, shiftYBy - p[0].y, p[1].x, shiftYBy - p[1].y, p[2].x,
                 shiftYBy - p[2].y);
        current = p[2];
        break;
      case KRBezierPath::ElementType::ClosePath: data.add("z "); break;
    }
  }
  data.finish();
  stream << "\"";
  if (styleString.empty())
    stream << "/>\n";
  else
    stream.append("\n%s  %s/>\n", indent, styleString);
}
template class KRDrawingPathOfElements<KRDrawingPathFromCGPath>;

// The element list and the keys every path has; none for a list that cannot be written.
template <class Kind>
static std::optional<PropertyList> describeElements(const Kind& path, const char* type) {
  auto description = newDescription(type);
  description->dictionary()["Path"] = elementList(path.path());
  path.addCommonMVG(description->dictionary());
  return description;
}

template <class Kind>
static std::shared_ptr<KRDrawingBasic> readElements(const PropertyList& description, const char* type, bool report,
                                                    std::shared_ptr<Kind> (*make)(std::shared_ptr<const KRBezierPath>)) {
  const PropertyList* list = description.find("Path");
  if (description.stringForKey("Type") != type || !list) return nullptr;
  auto path = pathFromElementList(*list, report);
  if (!path) return nullptr;
  auto result = make(std::move(path));
  if (result) result->setFromCommonMVG(description);
  return result;
}

std::optional<PropertyList> KRDrawingPathBezier::mvgDescription() const { return describeElements(*this, "Bezier Path"); }

std::shared_ptr<KRDrawingBasic> KRDrawingPathBezier::createFromMVG(const PropertyList& description) {
  return readElements<KRDrawingPathBezier>(description, "Bezier Path", false, &KRDrawingPathBezier::withPath);
}

std::optional<PropertyList> KRDrawingPathFromCGPath::mvgDescription() const { return describeElements(*this, "CGPath"); }

std::shared_ptr<KRDrawingBasic> KRDrawingPathFromCGPath::createFromMVG(const PropertyList& description) {
  return readElements<KRDrawingPathFromCGPath>(description, "CGPath", true, &KRDrawingPathFromCGPath::createWithCGPath);
}

void KRDrawingPathFromCGPath::addInsideAnglesInSVGStream(KRSVGStream& stream, const std::string& indent,
                                                         double shiftYBy, const std::string& styleString) const {
  stream.append("%s<path d=\"", indent);
  KRSVGPathData data(stream, indent, 70);
  for (const auto& element : path().elements()) {
    const auto& p = element.points;
    switch (element.type) {
      case KRBezierPath::ElementType::MoveTo: data.add("M %g, %g ", p[0].x, shiftYBy - p[0].y); break;
      case KRBezierPath::ElementType::LineTo: data.add("L %g, %g ", p[0].x, shiftYBy - p[0].y); break;
      case KRBezierPath::ElementType::QuadCurveTo:
        data.add("Q %g, %g, %g, %g ", p[0].x, shiftYBy - p[0].y, p[1].x, shiftYBy - p[1].y);
        break;
      case KRBezierPath::ElementType::CurveTo:
        data.add("C %g, %g, %g, %g, %g, %g ", p[0].x, shiftYBy - p[0].y, p[1].x, shiftYBy - p[1].y, p[2].x,
                 shiftYBy - p[2].y);
        break;
      case KRBezierPath::ElementType::ClosePath: data.add("z "); break;
      default: KRMessageCenter::addMessage(kUnexpectedPathElement);
    }
  }
  data.finish();
  stream << "\"";
  if (styleString.empty())
    stream << "/>\n";
  else
    stream.append("\n%s  %s/>\n", indent, styleString);
}

// ---------------------------------------------------------------- collections of paths

std::shared_ptr<KRDrawingPathCollection> KRDrawingPathCollection::create(
    std::vector<std::shared_ptr<KRDrawingPath>> paths) {
  auto result = std::make_shared<KRDrawingPathCollection>();
  for (auto& path : paths) result->addPath(std::move(path));
  return result;
}

void KRDrawingPathCollection::addPath(std::shared_ptr<KRDrawingPath> path) {
  if (!path) {
    KRMessageCenter::addMessage(kNilPath);
    return;
  }
  paths_.push_back(std::move(path));
  clearCachedEntries();
}

bool KRDrawingPathCollection::fillCurve() const {
  // Drawn once, so filled when any member would be.
  return std::any_of(paths_.begin(), paths_.end(), [](const auto& p) { return p->fillCurve(); });
}

void KRDrawingPathCollection::addGeometry(KRPathSink& sink) const {
  for (const auto& path : paths_) path->addGeometry(sink);
}

void KRDrawingPathCollection::drawPathToContext(KRDrawingContext& context) const {
  for (const auto& path : paths_) path->drawPathToContext(context);
}

void KRDrawingPathCollection::clipWithPath(KRDrawingContext& context) const {
  CountingSink counter;
  addGeometry(counter);
  if (counter.count > kClipPointLimit) {
    KRMessageCenter::addMessage(kPathTooBigForClip);
    return;
  }
  KRDrawingPath::clipWithPath(context);
}

bool KRDrawingPathCollection::isEmptyPath() const {
  return std::all_of(paths_.begin(), paths_.end(), [](const auto& p) { return p->isEmptyPath(); });
}

std::shared_ptr<KRDrawingBasic> KRDrawingPathCollection::copy() const {
  auto result = std::make_shared<KRDrawingPathCollection>(*this);
  for (auto& path : result->paths_) path = std::static_pointer_cast<KRDrawingPath>(path->copy());
  return result;
}

std::shared_ptr<KRDrawingBasic> KRDrawingPathCollection::scaledCopy(double s, KRPoint around, KRPoint shiftTo,
                                                                    bool) const {
  // Members stay paths: a cropped member would no longer be one.
  auto result = std::make_shared<KRDrawingPathCollection>();
  for (const auto& path : paths_)
    if (auto scaled = std::dynamic_pointer_cast<KRDrawingPath>(path->scaleBy(s, around, shiftTo, false)))
      result->paths_.push_back(std::move(scaled));
  finishScaledCopy(*result, s, around, shiftTo);
  return result;
}

std::shared_ptr<KRDrawingBasic> KRDrawingPathCollection::magnify(double factor) const {
  auto result = std::make_shared<KRDrawingPathCollection>();
  for (const auto& path : paths_)
    if (auto magnified = std::dynamic_pointer_cast<KRDrawingPath>(path->magnify(factor)))
      result->paths_.push_back(std::move(magnified));
  finishMagnifiedCopy(*result, factor);
  return result;
}

bool KRDrawingPathCollection::containsTransparency() const {
  return KRDrawingPath::containsTransparency() ||
         std::any_of(paths_.begin(), paths_.end(), [](const auto& p) { return p->containsTransparency(); });
}

std::string KRDrawingPathCollection::textDescription() const {
  return formatMessage("%d paths", static_cast<int>(paths_.size()));
}

std::size_t KRDrawingPathCollection::memoryUsed() const {
  std::size_t total = KRDrawingPath::memoryUsed();
  for (const auto& path : paths_) total += path->memoryUsed();
  return total;
}

}  // namespace orrelin
