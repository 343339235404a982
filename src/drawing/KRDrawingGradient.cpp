#include "drawing/KRDrawingGradient.h"

#include <algorithm>
#include <cmath>

#include "drawing/KRDrawingBitmap.h"
#include "drawing/KRDrawingContext.h"
#include "drawing/KRDrawingDescription.h"
#include "drawing/KRDrawingMessages.h"
#include "drawing/KRDrawingOutput.h"
#include "platform/KRMessageCenter.h"

namespace orrelin {

using namespace drawing_messages;

std::shared_ptr<KRDrawingGradient> KRDrawingGradient::createWithColors(
    std::shared_ptr<const KRDoubleArrayContainer> colors, const std::string& colorSpaceName, KRPoint startPoint,
    KRPoint endPoint, const KRRect& frame) {
  if (!colors || (colors->m() != 4 && colors->m() != 5) || colors->n() < 1 || colors->o() > 1) {
    KRMessageCenter::addMessage(kInvalidGradientColors);
    return nullptr;
  }
  auto result = std::make_shared<KRDrawingGradient>();
  int rows = colors->m();
  const double* c = colors->constPointer();
  for (long i = 0; i < colors->n(); ++i, c += rows)
    result->stops_.push_back({c[0], KRColor::rgb(c[1], c[2], c[3], rows == 5 ? c[4] : 1.0)});
  result->colors_ = std::move(colors);
  result->colorSpaceName_ = colorSpaceName;
  result->start_ = startPoint;
  result->end_ = endPoint;
  result->frame_ = frame;
  return result;
}

void KRDrawingGradient::drawToCurrentContext(KRDrawingContext& context) const {
  KRRect frame = frame_.standardized();
  if (frame.isEmpty()) return;
  KRGraphicsStateGuard guard(context);
  GraphicsContext& gc = context.graphicsPort();
  gc.clipToRect(frame);
  if (!context.disableTransparency()) {
    gc.drawLinearGradient(stops_, start_, end_);
    return;
  }
  std::vector<KRGradientStop> opaque = stops_;
  for (auto& stop : opaque) stop.color.alpha = 1;
  gc.drawLinearGradient(opaque, start_, end_);
}

bool KRDrawingGradient::containsTransparency() const {
  for (const auto& stop : stops_)
    if (stop.color.alpha < 1) return true;
  return false;
}

std::shared_ptr<KRDrawingBasic> KRDrawingGradient::nonTransparentVersion() const {
  if (!containsTransparency()) return copy();
  auto colors = colors_->mutableCopy();
  if (!colors) return copy();
  double* c = colors->mutablePointer();
  for (long i = 0; i < colors->n(); ++i) c[5 * i + 4] = 1;
  auto result = createWithColors(std::move(colors), colorSpaceName_, start_, end_, frame_);
  result->setDescriptionString(descriptionString());
  return result;
}

std::shared_ptr<KRDrawingBitmap> KRDrawingGradient::bitmapVersion(double scale) const {
  KRRenderOptions options;
  options.scale = scale;
  KRRect frame = frame_.standardized();
  auto image = renderToImage(*this, frame, options);
  if (!image) return nullptr;
  auto bitmap = KRDrawingBitmap::createCG(std::move(image), frame);
  if (bitmap) bitmap->setDescriptionString(descriptionString());
  return bitmap;
}

std::shared_ptr<KRDrawingBasic> KRDrawingGradient::scaledCopy(double s, KRPoint around, KRPoint shiftTo, bool) const {
  auto result = std::make_shared<KRDrawingGradient>(*this);
  result->start_ = mapPoint(start_, s, around, shiftTo);
  result->end_ = mapPoint(end_, s, around, shiftTo);
  result->frame_ = mapRect(frame_, s, around, shiftTo);
  result->clearCachedEntries();
  return result;
}

std::shared_ptr<KRDrawingBasic> KRDrawingGradient::magnify(double factor) const {
  return scaledCopy(factor, {0, 0}, {0, 0}, false);
}

std::size_t KRDrawingGradient::memoryUsed() const {
  return sizeof(*this) + stops_.capacity() * sizeof(KRGradientStop) + colors_->memoryUsed();
}

std::string KRDrawingGradient::textDescription() const { return formatMessage("Between %d colors", numberOfColors()); }

// ---------------------------------------------------------------- output forms

// The gradient vector in percent of the frame. SVG measures y from the top of
// the frame, so the vertical percentages are taken from its top edge: the
// picture then looks as it does on the page.
void KRDrawingGradient::addToSVGStream(KRSVGStream& stream, const std::string& indent, double shiftYBy,
                                       KRSVGInfo& info) const {
  KRRect frame = frame_.standardized();
  auto percent = [](double along, double length) {
    double value = length != 0 ? 100 * along / length : 0;
    return std::isfinite(value) ? static_cast<int>(std::lround(std::clamp(value, -1e6, 1e6))) : 0;
  };
  std::string identifier = info.uniqueIdentifier("Gradient Names", "Gradient");
  stream.append("%s<g>\n%s  <defs>\n", indent, indent);
  stream.append("%s    <linearGradient id=\"%s\" x1=\"%d%%\" y1=\"%d%%\" x2=\"%d%%\" y2=\"%d%%\">\n", indent,
                identifier, percent(start_.x - frame.minX(), frame.width()),
                percent(frame.maxY() - start_.y, frame.height()), percent(end_.x - frame.minX(), frame.width()),
                percent(frame.maxY() - end_.y, frame.height()));
  int rows = colors_->m();
  const double* c = colors_->constPointer();
  auto byte = [](double v) { return static_cast<int>(std::lround(std::clamp(std::isfinite(v) ? v : 0, 0.0, 1.0) * 255)); };
  for (long i = 0; i < colors_->n(); ++i, c += rows) {
    stream.append("%s      <stop offset=\"%g\" stop-color=\"rgb(%d,%d,%d)\"", indent, c[0], byte(c[1]), byte(c[2]),
                  byte(c[3]));
    if (rows == 5 && c[4] != 1)
      stream.append(" stop-opacity=\"%g\"/>\n", c[4]);
    else
      stream << "/>\n";
  }
  stream.append("%s    </linearGradient>\n%s  </defs>\n", indent, indent);
  stream.append("%s  <rect fill=\"url(#%s)\" stroke=\"none\" x=\"%g\" y=\"%g\" width=\"%g\" height=\"%g\"/>\n",
                indent, identifier, frame.minX(), shiftYBy - frame.maxY(), frame.width(), frame.height());
  stream.append("%s</g>\n", indent);
}

std::optional<PropertyList> KRDrawingGradient::mvgDescription() const {
  using namespace drawing_description;
  auto colors = colors_->convertToRawFormat();
  if (!colors) return std::nullopt;
  auto description = newDescription("Color Gradient");
  PlistDictionary& d = description->dictionary();
  d["Colors"] = std::move(*colors);
  d["Start"] = pointText(start_);
  d["End"] = pointText(end_);
  d["Frame"] = rectText(frame_);
  if (descriptionString()) d["Description"] = *descriptionString();
  return description;
}

std::shared_ptr<KRDrawingBasic> KRDrawingGradient::createFromMVG(const PropertyList& description) {
  using namespace drawing_description;
  const PropertyList* colors = description.find("Colors");
  auto start = pointForKey(description, "Start");
  auto end = pointForKey(description, "End");
  auto frame = rectForKey(description, "Frame");
  if (description.stringForKey("Type") != "Color Gradient" || !colors || !start || !end || !frame) return nullptr;
  auto list = KRDoubleArrayContainer::convertFromRawFormat(*colors);
  if (!list) return nullptr;
  auto result = createWithColors(std::move(list), "NSDeviceRGBColorSpace", *start, *end, *frame);
  if (result)
    if (auto label = description.stringForKey("Description")) result->setDescriptionString(*label);
  return result;
}

}  // namespace orrelin
