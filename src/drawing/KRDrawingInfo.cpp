#include "drawing/KRDrawingInfo.h"

#include <cmath>

namespace orrelin {

namespace {

double forward(bool linear, double value, double shift, double scale, double edge) {
  if (linear) return (value + shift) * scale;
  if (!(value > 0)) return edge;
  return std::log(value) * scale + shift;
}

double backward(bool linear, double page, double shift, double scale) {
  return linear ? page / scale - shift : std::exp((page - shift) / scale);
}

}  // namespace

double KR1DPlotDrawingInfo::transformX(double x) const {
  return forward(xIsLinear, x, shiftX, scaleX, drawRegion.minX());
}

double KR1DPlotDrawingInfo::transformY(double y) const {
  return forward(yIsLinear, y, shiftY, scaleY, drawRegion.minY());
}

double KR1DPlotDrawingInfo::fromScreenToCoordinatesX(double page) const {
  return backward(xIsLinear, page, shiftX, scaleX);
}

double KR1DPlotDrawingInfo::fromScreenToCoordinatesY(double page) const {
  return backward(yIsLinear, page, shiftY, scaleY);
}

void KR1DPlotDrawingInfo::setXLinearShift(double shift, double scale) {
  xIsLinear = true;
  shiftX = shift;
  scaleX = scale;
}

void KR1DPlotDrawingInfo::setXLogarithmicShift(double shift, double scale) {
  xIsLinear = false;
  shiftX = shift;
  scaleX = scale;
}

void KR1DPlotDrawingInfo::setYLinearShift(double shift, double scale) {
  yIsLinear = true;
  shiftY = shift;
  scaleY = scale;
}

void KR1DPlotDrawingInfo::setYLogarithmicShift(double shift, double scale) {
  yIsLinear = false;
  shiftY = shift;
  scaleY = scale;
}

bool KR1DPlotDrawingInfo::sameScalingInformation(const KR1DPlotDrawingInfo& other) const {
  const auto sameRect = [](const KRRect& a, const KRRect& b) {
    return a.origin.x == b.origin.x && a.origin.y == b.origin.y && a.size.width == b.size.width &&
           a.size.height == b.size.height;
  };
  return isEmpty == other.isEmpty && xIsLinear == other.xIsLinear && yIsLinear == other.yIsLinear &&
         shiftX == other.shiftX && scaleX == other.scaleX && shiftY == other.shiftY && scaleY == other.scaleY &&
         sameRect(graphRegion, other.graphRegion) && sameRect(axisRegion, other.axisRegion) &&
         sameRect(drawRegion, other.drawRegion) && addedToDrawRegion == other.addedToDrawRegion &&
         (!addedToDrawRegion || sameRect(additionalDrawingRegion, other.additionalDrawingRegion)) &&
         sameRect(axisRect, other.axisRect) && prepareForScale == other.prepareForScale &&
         destinationIsResolutionIndependent == other.destinationIsResolutionIndependent &&
         resolutionScale == other.resolutionScale && time == other.time;
}

}  // namespace orrelin
