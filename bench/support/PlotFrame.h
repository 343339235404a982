#pragma once
// A plain frame for pictures of one command while the graph layout is not
// here: the data ranges the command reports, padded, mapped onto a fixed
// rectangle of the page, with a frame, ticks and tick labels drawn by hand.

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "support/PlotDocument.h"
#include "drawing/KRDrawingCollections.h"
#include "drawing/KRDrawingGroup.h"
#include "drawing/KRDrawingInfo.h"
#include "drawing/KRDrawingPath.h"
#include "drawing/KRDrawingText.h"
#include "graph/commandbase/VKDrawingCommand.h"

namespace orrelin::bench {

class PlotFrame {
 public:
  explicit PlotFrame(KRSize page, bool yLogarithmic = false) : page_(page), yLog_(yLogarithmic) {}

  // Room around the frame for the tick labels and a title.
  KRRect region() const { return KRRect(60, 40, page_.width - 80, page_.height - 70); }

  // A record that shows everything the command reports.
  std::shared_ptr<KR1DPlotDrawingInfo> recordFor(VKDrawingCommand& command, bool resolutionIndependent) {
    KRBoundingRange x = command.domainRangeXLinear(true, !yLog_);
    KRBoundingRange y = command.valueRangeXLinear(true, !yLog_);
    return recordFor(x, y, resolutionIndependent);
  }
  std::shared_ptr<KR1DPlotDrawingInfo> recordFor(KRBoundingRange x, KRBoundingRange y, bool resolutionIndependent) {
    if (!x.isValid()) x = KRBoundingRange::between(0, 1);
    if (!y.isValid()) y = KRBoundingRange::between(yLog_ ? 1 : 0, yLog_ ? 10 : 1);
    const double xPad = 0.04 * std::max(x.width(), 1e-12);
    xMin_ = x.minR - xPad;
    xMax_ = x.maxR + xPad;
    if (yLog_) {
      const double pad = 0.06 * std::max(std::log(y.maxR / y.minR), 1e-12);
      yMin_ = y.minR * std::exp(-pad);
      yMax_ = y.maxR * std::exp(pad);
    } else {
      const double pad = 0.06 * std::max(y.width(), 1e-12);
      yMin_ = y.minR - pad;
      yMax_ = y.maxR + pad;
    }
    auto record = std::make_shared<KR1DPlotDrawingInfo>();
    const KRRect r = region();
    record->graphRegion = record->drawRegion = record->axisRegion = r;
    const double sx = r.size.width / (xMax_ - xMin_);
    record->setXLinearShift(r.origin.x / sx - xMin_, sx);
    if (yLog_) {
      const double sy = r.size.height / std::log(yMax_ / yMin_);
      record->setYLogarithmicShift(r.origin.y - std::log(yMin_) * sy, sy);
    } else {
      const double sy = r.size.height / (yMax_ - yMin_);
      record->setYLinearShift(r.origin.y / sy - yMin_, sy);
    }
    record->destinationIsResolutionIndependent = resolutionIndependent;
    record_ = record;
    return record;
  }

  // The frame, ticks, labels and title around the command's drawing.
  std::shared_ptr<KRDrawingGroup> picture(std::shared_ptr<KRDrawingGroup> content, const KR1DPlotDrawingInfo& record,
                                          const std::string& title = {}) const {
    auto group = KRDrawingGroup::create();
    auto background = KRDrawingPathRectangle::createWithRect(KRRect(0, 0, page_.width, page_.height));
    background->setStyle(KRDrawingStyleCurve::color(KRColor::white(), true));
    group->addObject(background);
    const KRRect r = region();
    auto font = KRDrawingStyleFont::styleWithFont("Helvetica", 10, KRColor::black());
    std::vector<float> ticks;
    for (double v : niceTicks(xMin_, xMax_)) {
      const double at = record.transformX(v);
      ticks.insert(ticks.end(), {float(at), float(r.minY()), float(at), float(r.minY() + 5)});
      group->addObject(KRDrawingText::string(label(v), {at, r.minY() - 4}, font, KRDrawingText::Center, KRDrawingText::Top));
    }
    for (double v : yLog_ ? decades(yMin_, yMax_) : niceTicks(yMin_, yMax_)) {
      const double at = record.transformY(v);
      ticks.insert(ticks.end(), {float(r.minX()), float(at), float(r.minX() + 5), float(at)});
      group->addObject(KRDrawingText::string(label(v), {r.minX() - 4, at}, font, KRDrawingText::Right, KRDrawingText::VCenter));
    }
    if (content) group->addObject(content);
    auto frame = KRDrawingPathRectangle::createWithRect(r);
    frame->setStyle(KRDrawingStyleCurve::createWithColor(KRColor::black(), 1));
    group->addObject(frame);
    if (!ticks.empty()) {
      auto lines = KRFloatArrayContainer::createArrayOfSizeM(4, long(ticks.size() / 4));
      std::copy(ticks.begin(), ticks.end(), lines->mutablePointer());
      if (auto marks = KRDrawingPathLineCollection::createLines(lines, nullptr)) {
        marks->setStyle(KRDrawingStyleCurve::createWithColor(KRColor::black(), 1));
        group->addObject(marks);
      }
    }
    if (!title.empty())
      group->addObject(KRDrawingText::string(title, {r.minX(), r.maxY() + 8}, KRDrawingStyleFont::styleWithFont("Helvetica", 12),
                                             KRDrawingText::Left, KRDrawingText::Bottom));
    return group;
  }

 private:
  static std::vector<double> niceTicks(double lo, double hi) {
    const double raw = (hi - lo) / 6;
    const double decade = std::pow(10, std::floor(std::log10(raw)));
    double step = decade;
    for (double f : {1.0, 2.0, 5.0, 10.0})
      if (f * decade >= raw) {
        step = f * decade;
        break;
      }
    std::vector<double> values;
    for (double v = std::ceil(lo / step) * step; v <= hi + 1e-9 * step; v += step)
      values.push_back(std::fabs(v) < 1e-9 * step ? 0 : v);
    return values;
  }
  static std::vector<double> decades(double lo, double hi) {
    std::vector<double> values;
    for (double e = std::ceil(std::log10(lo)); e <= std::floor(std::log10(hi)); ++e) values.push_back(std::pow(10, e));
    return values;
  }
  static std::string label(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
  }

  KRSize page_;
  bool yLog_;
  double xMin_ = 0, xMax_ = 1, yMin_ = 0, yMax_ = 1;
  std::shared_ptr<KR1DPlotDrawingInfo> record_;
};

}  // namespace orrelin::bench
