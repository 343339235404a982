#pragma once
// A graph for the movie tests whose drawing follows the animation value: a
// black bar that slides right as the value grows, on an empty page.

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "drawing/KRDrawingPath.h"
#include "drawing/KRDrawingStyle.h"
#include "drawing/writers/KRDrawingSource.h"
#include "platform/KRImage.h"
#include "support/MovieProbe.h"

namespace orrelin::movie_testing {

// Where the bar's left edge is drawn for a value.
inline int expectedBarPosition(double value) { return static_cast<int>(std::lround(10 + 10 * value)); }

// The left edge of the bar in the middle row of a frame; -1 without a bar.
inline int barPosition(const KRImage& frame) {
  for (int x = 0; x < frame.width(); ++x) {
    KRPixel p = frame.pixel(x, frame.height() / 2);
    if (p.alpha > 128 && p.red < 128) return x;
  }
  return -1;
}

class SlidingBar : public KRDrawingSource, public KRAnimationTarget {
 public:
  SlidingBar(double start, double stop, double step, double duration)
      : start_(start), stop_(stop), step_(step), duration_(duration) {}

  KRSize drawingSize() const override { return size; }
  std::shared_ptr<KRDrawingGroup> createGraphic(const std::string& destination, KRSize pageSize) override {
    destinations.push_back(destination);
    sizesAsked.push_back(pageSize);
    if (failsToDraw) return nullptr;
    if (throwAt && value_ == *throwAt) throw std::range_error("no bar at " + std::to_string(static_cast<int>(value_)));
    auto graphic = KRDrawingGroup::create();
    auto bar = KRDrawingPathRectangle::createWithRect({10 + 10 * value_, 0, 4, pageSize.height});
    bar->setStyle(KRDrawingStyleCurve::color(KRColor::rgb(0, 0, 0), true));
    graphic->addObject(bar);
    return graphic;
  }

  double animationStarts() const override { return start_; }
  double animationStops() const override { return stop_; }
  double animationStep() const override { return step_; }
  double animationDuration() const override { return duration_; }
  void setAnimationTime(double value) override {
    value_ = value;
    timesSet.push_back(value);
  }
  void setAnimationRange(const std::optional<std::string>& text) override { rangeTexts.push_back(text); }
  void setAnimationDurationText(const std::optional<std::string>& text) override { durationTexts.push_back(text); }

  KRSize size{120, 40};
  std::optional<double> throwAt;
  bool failsToDraw = false;
  std::vector<double> timesSet;
  std::vector<std::string> destinations;
  std::vector<KRSize> sizesAsked;
  std::vector<std::optional<std::string>> rangeTexts;
  std::vector<std::optional<std::string>> durationTexts;

 private:
  double start_, stop_, step_, duration_;
  double value_ = 0;
};

}  // namespace orrelin::movie_testing
