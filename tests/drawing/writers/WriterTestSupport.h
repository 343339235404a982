#pragma once
// Shared by the writers' tests: small graphs to write, running the outside
// validators, and reading pictures back to compare them.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "drawing/KRContainerPath2D.h"
#include "drawing/KRDrawingCollections.h"
#include "drawing/KRDrawingGroup.h"
#include "drawing/KRDrawingPathFromObj.h"
#include "drawing/KRDrawingText.h"
#include "platform/FileWriting.h"
#include "platform/KRImage.h"

namespace orrelin::writer_testing {

inline std::shared_ptr<KRFloatArrayContainer> floats(int rows, std::initializer_list<float> values) {
  auto array = KRFloatArrayContainer::createArrayOfSizeM(rows, static_cast<long>(values.size()) / rows);
  std::copy(values.begin(), values.end(), array->mutablePointer());
  return array;
}

inline std::shared_ptr<KRDoubleArrayContainer> doubles(int rows, std::initializer_list<double> values) {
  auto array = KRDoubleArrayContainer::createArrayOfSizeM(rows, static_cast<long>(values.size()) / rows);
  std::copy(values.begin(), values.end(), array->mutablePointer());
  return array;
}

// A small graph without text: a frame, a cropped plot with a filled area, a
// dashed curve and markers. Every output form draws it alike, so their
// pictures can be compared with each other.
inline std::shared_ptr<KRDrawingGroup> plotWithoutText() {
  auto graph = KRDrawingGroup::create();
  auto background = KRDrawingPathRectangle::createWithRect({20, 15, 160, 70});
  background->setStyle(KRDrawingStyleCurve::color(KRColor::rgb(0.9, 0.95, 1), true));
  graph->addObject(background);

  auto plot = KRDrawingGroup::create();
  plot->setCrop(KRDrawingPathRectangle::createWithRect({20, 15, 160, 70}));
  auto area = KRDrawingPathFromObj::createFromPath(
      KRContainerPath2D::createWithLoops({{{30, 20}, {90, 70}, {150, 30}, {30, 20}}}));
  area->setStyle(KRDrawingStyleCurve::color(KRColor::rgb(0.2, 0.6, 0.2), true));
  plot->addObject(area);
  auto curve = KRDrawingPathFromObj::createFromPath(
      KRContainerPath2D::createWithLoops({{{10, 50}, {60, 80}, {110, 40}, {200, 60}}}));
  auto dashed = KRDrawingStyleCurve::createWithColor(KRColor::rgb(0.8, 0, 0), 3);
  float dashes[] = {9, 4};
  dashed->setDashPattern(dashes, 2, 0);
  curve->setStyle(dashed);
  plot->addObject(curve);
  auto markers = KRDrawingPathCircleCollection::createFromArray(floats(3, {60, 40, 5, 120, 55, 6}));
  markers->setStyle(KRDrawingStyleCurve::color(KRColor::rgb(0, 0, 0.7), true));
  plot->addObject(markers);
  graph->addObject(plot);

  auto frame = KRDrawingPathRectangle::createWithRect({20, 15, 160, 70});
  frame->setStyle(KRDrawingStyleCurve::createWithColor(KRColor::black(), 2));
  graph->addObject(frame);
  return graph;
}

// Runs a command line; its output goes to the log file given.
inline int run(const std::string& command) { return std::system(command.c_str()); }

inline std::shared_ptr<KRImage> readPNG(const std::string& path) {
  std::string contents;
  if (!readFile(path, contents)) return nullptr;
  return KRImage::createFromPNGData(std::vector<std::uint8_t>(contents.begin(), contents.end()));
}

inline std::vector<std::uint8_t> bytesOf(const std::string& path) {
  std::string contents;
  readFile(path, contents);
  return std::vector<std::uint8_t>(contents.begin(), contents.end());
}

// The share of pixels (composited over white) whose colour differs by more
// than tolerance in some channel; 1 when the sizes differ.
inline double differingShare(const KRImage& a, const KRImage& b, int tolerance = 64) {
  if (a.width() != b.width() || a.height() != b.height()) return 1;
  auto overWhite = [](KRPixel p, int channel) {
    int v = channel == 0 ? p.red : channel == 1 ? p.green : p.blue;
    return (v * p.alpha + 255 * (255 - p.alpha)) / 255;
  };
  long differing = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      for (int c = 0; c < 3; ++c)
        if (std::abs(overWhite(a.pixel(x, y), c) - overWhite(b.pixel(x, y), c)) > tolerance) {
          ++differing;
          break;
        }
  return static_cast<double>(differing) / (static_cast<double>(a.width()) * a.height());
}

}  // namespace orrelin::writer_testing
