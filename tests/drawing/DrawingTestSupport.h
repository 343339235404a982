#pragma once
// Helpers for the display list's tests: rendering into an image and reading
// it back in page coordinates, and catching the messages drawing reports.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "drawing/KRDrawingBasic.h"
#include "drawing/KRDrawingOutput.h"
#include "support/MessageCapture.h"
#include "platform/MainThreadQueue.h"

namespace orrelin::testing_support {

inline const KRColor kRed = KRColor::rgb(1, 0, 0);
inline const KRColor kBlue = KRColor::rgb(0, 0, 1);

// An image of the page area (0, 0, width, height) at the given scale.
struct Rendered {
  std::shared_ptr<KRImage> image;
  double scale = 1;

  // The pixel under a page point.
  KRPixel at(double x, double y) const {
    return image->pixel(static_cast<int>(std::floor(x * scale)),
                        image->height() - 1 - static_cast<int>(std::floor(y * scale)));
  }
  int alphaAt(double x, double y) const { return at(x, y).alpha; }
  // The page rectangle covered by pixels with alpha above the threshold.
  KRRect inkBox(int threshold = 128) const {
    double x0 = INFINITY, x1 = -INFINITY, y0 = INFINITY, y1 = -INFINITY;
    for (int py = 0; py < image->height(); ++py)
      for (int px = 0; px < image->width(); ++px)
        if (image->pixel(px, py).alpha > threshold) {
          double x = px / scale, y = (image->height() - 1 - py) / scale;
          x0 = std::min(x0, x), x1 = std::max(x1, x + 1 / scale);
          y0 = std::min(y0, y), y1 = std::max(y1, y + 1 / scale);
        }
    if (x0 > x1) return {};
    return {x0, y0, x1 - x0, y1 - y0};
  }
  int inkPixels(int threshold = 0) const {
    int count = 0;
    for (int py = 0; py < image->height(); ++py)
      for (int px = 0; px < image->width(); ++px) count += image->pixel(px, py).alpha > threshold;
    return count;
  }
};

inline Rendered render(const KRDrawingBasic& drawing, double width, double height, double scale = 1,
                       bool smoothing = true) {
  KRRenderOptions options;
  options.scale = scale;
  options.smoothing = smoothing;
  return {renderToImage(drawing, {0, 0, width, height}, options), scale};
}

// Two drawings give the same picture, and it is not an empty one.
inline void expectSameVisiblePicture(const Rendered& a, const Rendered& b) {
  ASSERT_GT(a.inkPixels(), 0) << "the picture is blank";
  EXPECT_EQ(a.image->rgbaData(), b.image->rgbaData());
}

inline void expectRectNear(const KRRect& actual, const KRRect& expected, double tolerance) {
  EXPECT_NEAR(actual.minX(), expected.minX(), tolerance);
  EXPECT_NEAR(actual.minY(), expected.minY(), tolerance);
  EXPECT_NEAR(actual.maxX(), expected.maxX(), tolerance);
  EXPECT_NEAR(actual.maxY(), expected.maxY(), tolerance);
}

}  // namespace orrelin::testing_support
