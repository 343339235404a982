#include "drawing/KRDrawingTwoColorNoise.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "drawing/KRDrawingContext.h"
#include "drawing/KRDrawingDescription.h"
#include "drawing/KRDrawingMessages.h"
#include "platform/KRMessageCenter.h"

namespace orrelin {

using namespace drawing_messages;

namespace {

// A fixed permutation, so that the same noise comes out on every run.
const std::array<std::uint8_t, 512>& permutation() {
  static const std::array<std::uint8_t, 512> table = [] {
    std::array<std::uint8_t, 256> p{};
    for (int i = 0; i < 256; ++i) p[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    std::uint32_t state = 0x2545F491u;
    for (int i = 255; i > 0; --i) {
      state = state * 1664525u + 1013904223u;
      std::swap(p[static_cast<std::size_t>(i)], p[(state >> 8) % static_cast<std::uint32_t>(i + 1)]);
    }
    std::array<std::uint8_t, 512> doubled{};
    for (int i = 0; i < 512; ++i) doubled[static_cast<std::size_t>(i)] = p[static_cast<std::size_t>(i & 255)];
    return doubled;
  }();
  return table;
}

double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

double gradient(std::uint8_t hash, double x, double y) {
  switch (hash & 7) {
    case 0: return x + y;
    case 1: return -x + y;
    case 2: return x - y;
    case 3: return -x - y;
    case 4: return x;
    case 5: return -x;
    case 6: return y;
    default: return -y;
  }
}

double lerp(double t, double a, double b) { return a + t * (b - a); }

}  // namespace

double KRDrawingTwoColorNoise::perlinNoise(double x, double y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return 0;
  const auto& p = permutation();
  double fx = std::floor(x), fy = std::floor(y);
  auto X = static_cast<std::size_t>(static_cast<long long>(fx) & 255);
  auto Y = static_cast<std::size_t>(static_cast<long long>(fy) & 255);
  x -= fx;
  y -= fy;
  double u = fade(x), v = fade(y);
  std::size_t a = p[X] + Y, b = p[X + 1] + Y;
  return lerp(v, lerp(u, gradient(p[a], x, y), gradient(p[b], x - 1, y)),
              lerp(u, gradient(p[a + 1], x, y - 1), gradient(p[b + 1], x - 1, y - 1)));
}

std::shared_ptr<KRDrawingTwoColorNoise> KRDrawingTwoColorNoise::createInsideRectangle(
    const KRRect& rect, const KRColor& foreground, const KRColor& background, double weight, double grainSize,
    double pixelSize, KRPoint offset) {
  auto result = std::make_shared<KRDrawingTwoColorNoise>();
  result->drawInside_ = rect;
  result->foreground_ = foreground;
  result->background_ = background;
  result->weight_ = std::isfinite(weight) ? std::clamp(weight, 0.0, 1.0) : 0.5;
  if (!(grainSize > 0) || !std::isfinite(grainSize)) {
    KRMessageCenter::addMessage(formatMessage("Perlin noise needs a positive grain size; %g is replaced by 10.", grainSize));
    grainSize = 10;
  }
  if (!(pixelSize > 0) || !std::isfinite(pixelSize)) {
    KRMessageCenter::addMessage(formatMessage("Perlin noise needs a positive pixel size; %g is replaced by 1.", pixelSize));
    pixelSize = 1;
  }
  result->grainSize_ = grainSize;
  result->pixelSize_ = pixelSize;
  result->offset_ = {std::isfinite(offset.x) ? offset.x : 0, std::isfinite(offset.y) ? offset.y : 0};
  return result;
}

KRDrawingTwoColorNoise::KRDrawingTwoColorNoise(const KRDrawingTwoColorNoise& other)
    : KRDrawingElement(other),
      drawInside_(other.drawInside_),
      foreground_(other.foreground_),
      background_(other.background_),
      weight_(other.weight_),
      grainSize_(other.grainSize_),
      pixelSize_(other.pixelSize_),
      offset_(other.offset_) {
  std::lock_guard guard(other.cacheLock());
  cgBitmap_ = other.cgBitmap_;  // same parameters, same image
}

std::shared_ptr<KRDrawingBasic> KRDrawingTwoColorNoise::copy() const {
  return std::make_shared<KRDrawingTwoColorNoise>(*this);
}

std::shared_ptr<KRImage> KRDrawingTwoColorNoise::cgBitmap() const {
  {
    std::lock_guard guard(cacheLock());
    if (cgBitmap_) return cgBitmap_;
  }
  KRRect r = drawInside_.standardized();
  if (r.isEmpty() || !std::isfinite(r.width()) || !std::isfinite(r.height())) return nullptr;
  double pixel = pixelSize_;
  double wide = std::ceil(r.width() / pixel), high = std::ceil(r.height() / pixel);
  if (wide > kMaxPixels || high > kMaxPixels) {
    KRMessageCenter::addMessage(formatMessage(kNoiseTooLarge, static_cast<int>(std::min(wide, 1e9)),
                                              static_cast<int>(std::min(high, 1e9))));
    pixel = std::max(r.width(), r.height()) / kMaxPixels;
    wide = std::ceil(r.width() / pixel);
    high = std::ceil(r.height() / pixel);
  }
  int w = std::max(1, static_cast<int>(wide)), h = std::max(1, static_cast<int>(high));
  auto fg = foreground_.rgbComponents(), bg = background_.rgbComponents();
  // The share of foreground bends the noise's mix towards one colour: an
  // exponent of 1 at an even share, towards 0 (all foreground) or infinity.
  double exponent = weight_ <= 0 ? INFINITY : weight_ >= 1 ? 0 : (1 - weight_) / weight_;
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(w) * h * 4);
  for (int j = 0; j < h; ++j) {
    double py = r.maxY() - (j + 0.5) * pixel + offset_.y;  // rows from the top
    for (int i = 0; i < w; ++i) {
      double px = r.minX() + (i + 0.5) * pixel + offset_.x;
      double x = px / grainSize_, y = py / grainSize_;
      double n = (perlinNoise(x, y) + 0.5 * perlinNoise(2 * x + 17.3, 2 * y + 5.1) +
                  0.25 * perlinNoise(4 * x - 3.7, 4 * y + 11.9)) / 1.75;
      double mix = std::clamp(0.5 + n, 0.0, 1.0);
      mix = exponent == 0 ? 1 : std::isinf(exponent) ? 0 : std::pow(mix, exponent);
      std::uint8_t* out = &rgba[(static_cast<std::size_t>(j) * w + i) * 4];
      for (int c = 0; c < 3; ++c)
        out[c] = static_cast<std::uint8_t>(std::lround(255 * std::clamp(lerp(mix, bg[static_cast<std::size_t>(c)], fg[static_cast<std::size_t>(c)]), 0.0, 1.0)));
      out[3] = static_cast<std::uint8_t>(std::lround(255 * std::clamp(lerp(mix, background_.alpha, foreground_.alpha), 0.0, 1.0)));
    }
  }
  auto image = KRImage::createFromRGBA(w, h, rgba.data(), static_cast<std::size_t>(w) * 4);
  std::lock_guard guard(cacheLock());
  if (!cgBitmap_) cgBitmap_ = image;
  return cgBitmap_;
}

void KRDrawingTwoColorNoise::drawToCurrentContext(KRDrawingContext& context) const {
  auto image = cgBitmap();
  if (!image) return;
  KRRect r = drawInside_.standardized();
  // The image covers whole noise pixels from the top left corner; what
  // reaches past the rectangle is clipped.
  // The pixel size the image was made with (coarsened when it had to be).
  double pixel = std::max(pixelSize_, std::max(r.width(), r.height()) / kMaxPixels);
  KRRect covered{r.minX(), r.maxY() - image->height() * pixel, image->width() * pixel, image->height() * pixel};
  KRGraphicsStateGuard guard(context);
  GraphicsContext& gc = context.graphicsPort();
  gc.clipToRect(r);
  gc.drawImage(covered, *image, KRInterpolation::None);
}

std::shared_ptr<KRDrawingBasic> KRDrawingTwoColorNoise::scaledCopy(double s, KRPoint around, KRPoint shiftTo,
                                                                   bool) const {
  double f = std::fabs(s);
  KRRect mapped = mapRect(drawInside_, s, around, shiftTo);
  // The same noise over the moved rectangle: (p' + offset') / (grain * s)
  // must equal (p + offset) / grain for every mapped point p'.
  KRPoint offset{s * offset_.x + s * around.x - shiftTo.x, s * offset_.y + s * around.y - shiftTo.y};
  auto result = createInsideRectangle(mapped, foreground_, background_, weight_, grainSize_ * f, pixelSize_ * f, offset);
  result->setDescriptionString(descriptionString());
  return result;
}

std::shared_ptr<KRDrawingBasic> KRDrawingTwoColorNoise::magnify(double factor) const {
  return scaledCopy(factor, {0, 0}, {0, 0}, false);
}

std::shared_ptr<KRDrawingBasic> KRDrawingTwoColorNoise::nonTransparentVersion() const {
  auto result = createInsideRectangle(drawInside_, foreground_.withAlpha(1), background_.withAlpha(1), weight_,
                                      grainSize_, pixelSize_, offset_);
  result->setDescriptionString(descriptionString());
  return result;
}

std::size_t KRDrawingTwoColorNoise::memoryUsed() const {
  std::lock_guard guard(cacheLock());
  return sizeof(*this) + (cgBitmap_ ? cgBitmap_->memoryUsed() : 0);
}

void KRDrawingTwoColorNoise::clearCachedEntries() const {
  KRDrawingBasic::clearCachedEntries();
  std::lock_guard guard(cacheLock());
  cgBitmap_.reset();
}

// ---------------------------------------------------------------- output forms

std::optional<PropertyList> KRDrawingTwoColorNoise::mvgDescription() const {
  using namespace drawing_description;
  auto description = newDescription("Two Color Noise");
  PlistDictionary& d = description->dictionary();
  d["Foreground"] = colorText(foreground_);
  d["Background"] = colorText(background_);
  d["Weight"] = weight_;
  d["Grain"] = grainSize_;
  d["Pixel"] = pixelSize_;
  d["Inside"] = rectText(drawInside_);
  d["Offset"] = pointText(offset_);
  if (descriptionString()) d["Description"] = *descriptionString();
  return description;
}

std::shared_ptr<KRDrawingBasic> KRDrawingTwoColorNoise::createFromMVG(const PropertyList& description) {
  using namespace drawing_description;
  auto inside = rectForKey(description, "Inside");
  auto foreground = colorForKey(description, "Foreground");
  auto background = colorForKey(description, "Background");
  if (description.stringForKey("Type") != "Two Color Noise" || !inside || !foreground || !background) return nullptr;
  auto result = createInsideRectangle(*inside, *foreground, *background, description.numberForKey("Weight").value_or(0.5),
                                      description.numberForKey("Grain").value_or(10),
                                      description.numberForKey("Pixel").value_or(1),
                                      pointForKey(description, "Offset").value_or(KRPoint{}));
  if (auto label = description.stringForKey("Description")) result->setDescriptionString(*label);
  return result;
}

}  // namespace orrelin
