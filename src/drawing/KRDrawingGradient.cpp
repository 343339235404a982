#include "drawing/KRDrawingGradient.h"

#include <cmath>

#include "drawing/KRDrawingBitmap.h"
#include "drawing/KRDrawingContext.h"
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

}  // namespace orrelin
