#include "graph/commandbase/FillDrawing.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "drawing/KRDrawingGradient.h"
#include "drawing/KRDrawingGroup.h"
#include "drawing/KRDrawingPath.h"
#include "drawing/KRDrawingPathFromObj.h"
#include "drawing/KRDrawingStyle.h"
#include "drawing/KRDrawingTwoColorNoise.h"
#include "numeric/KRDoubleArrayContainer.h"

namespace orrelin {

namespace {

std::shared_ptr<KRDrawingBasic> gradientFill(const VKFillStyle& fill, const KRRect& rect) {
  auto colors = KRDoubleArrayContainer::createArrayOfSizeM(5, 2);
  double* c = colors->mutableDoublePointer();
  const auto first = fill.color.rgbComponents(), second = fill.secondColor.rgbComponents();
  const double stops[2][5] = {{0, first[0], first[1], first[2], fill.color.alpha},
                              {1, second[0], second[1], second[2], fill.secondColor.alpha}};
  for (int k = 0; k < 2; ++k)
    for (int row = 0; row < 5; ++row) c[5 * k + row] = stops[k][row];
  const double angle = (std::isfinite(fill.angle) ? fill.angle : 0) * M_PI / 180;
  const double ux = std::cos(angle), uy = std::sin(angle);
  const KRPoint center{rect.midX(), rect.midY()};
  const double reach = 0.5 * (std::fabs(ux) * rect.width() + std::fabs(uy) * rect.height());
  return KRDrawingGradient::createWithColors(colors, "DeviceRGB", {center.x - reach * ux, center.y - reach * uy},
                                             {center.x + reach * ux, center.y + reach * uy}, rect);
}

std::shared_ptr<KRDrawingBasic> patternFill(const VKFillStyle& fill, const KRRect& rect) {
  auto group = KRDrawingGroup::create();
  group->setCrop(KRDrawingPathRectangle::createWithRect(rect));
  auto background = KRDrawingPathRectangle::createWithRect(rect);
  background->setStyle(KRDrawingStyleCurve::color(fill.secondColor, true));
  group->addObject(background);
  constexpr double kSpacing = 4;
  const double angle = (fill.pattern % 4) * M_PI / 4 + M_PI / 4;
  const double ux = std::cos(angle), uy = std::sin(angle);
  // Offsets across the lines (along the normal) that the rectangle covers.
  double low = INFINITY, high = -INFINITY;
  for (KRPoint corner : {KRPoint{rect.minX(), rect.minY()}, KRPoint{rect.maxX(), rect.minY()},
                         KRPoint{rect.minX(), rect.maxY()}, KRPoint{rect.maxX(), rect.maxY()}}) {
    double across = -uy * corner.x + ux * corner.y;
    low = std::min(low, across);
    high = std::max(high, across);
  }
  const long first = static_cast<long>(std::floor(low / kSpacing));
  const long last = static_cast<long>(std::ceil(high / kSpacing));
  const long count = std::min(last - first + 1, 100000L);
  const double half = std::hypot(rect.width(), rect.height());
  const KRPoint center{rect.midX(), rect.midY()};
  const double centerAlong = ux * center.x + uy * center.y;
  std::vector<double> lines;
  lines.reserve(std::size_t(4 * std::max(count, 0L)));
  for (long k = 0; k < count; ++k) {
    const double across = (first + k) * kSpacing;
    const KRPoint base{-uy * across + ux * centerAlong, ux * across + uy * centerAlong};
    lines.insert(lines.end(), {base.x - ux * half, base.y - uy * half, base.x + ux * half, base.y + uy * half});
  }
  if (auto hatch = createSegmentsDrawing(lines)) {
    hatch->setStyle(KRDrawingStyleCurve::createWithColor(fill.color, 0.5));
    group->addObject(hatch);
  }
  return group;
}

}  // namespace

std::shared_ptr<KRDrawingBasic> fillOverRectangle(const VKFillStyle& fill, const KRRect& rect) {
  if (fill.kind == 1 || rect.isEmpty() || !std::isfinite(rect.width()) || !std::isfinite(rect.height()))
    return nullptr;
  if (fill.kind == 6)
    return KRDrawingTwoColorNoise::createInsideRectangle(rect, fill.color, fill.secondColor, 0.5, 8, 1, rect.origin);
  if (fill.kind == 5)
    if (auto gradient = gradientFill(fill, rect)) return gradient;
  if (fill.kind == 3) return patternFill(fill, rect);
  auto path = KRDrawingPathRectangle::createWithRect(rect);
  path->setStyle(KRDrawingStyleCurve::color(fill.color, true));
  return path;
}

}  // namespace orrelin
