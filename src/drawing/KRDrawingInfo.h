#pragma once
// The records handed to commands while they build a display list: where the
// graph's regions are, and how data maps onto the page.

#include <memory>

#include "platform/GraphicsContext.h"

namespace orrelin {

class KRDrawingGroup;

class KRDrawingInfo {
 public:
  virtual ~KRDrawingInfo() = default;

  double time = 0;
  bool isEmpty = false;
  KRRect graphRegion;
  KRRect axisRegion;
  KRRect drawRegion;
  bool addedToDrawRegion = false;
  KRRect additionalDrawingRegion;
  // The drawing assembled so far.
  std::shared_ptr<KRDrawingGroup> quartzDrawingSoFar;
  bool drawingToScreen = false;

  // The draw region, with the additional region when one was added.
  KRRect totalDrawRegion() const {
    return addedToDrawRegion ? drawRegion.unionWith(additionalDrawingRegion) : drawRegion;
  }
};

class KR2DDrawingInfo : public KRDrawingInfo {
 public:
  double scaleX = 1, scaleY = 1;
  double shiftX = 0, shiftY = 0;
};

struct KRBoundingBox {
  double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
  int isEmpty = 1;
};

// The record of one graph, with the mapping of its axes: on a linear axis
// page = (x + shift) * scale, on a logarithmic one page = ln(x) * scale + shift.
class KR1DPlotDrawingInfo : public KRDrawingInfo {
 public:
  bool xIsLinear = true;
  double shiftX = 0, scaleX = 1;
  bool yIsLinear = true;
  double shiftY = 0, scaleY = 1;
  KRBoundingBox boundingBox;
  KRRect axisRect;
  float startOfXTitles = 0, startOfYTitles = 0, yValueForOverallTitle = 0, startOfAreaToTheRight = 0;
  double prepareForScale = 1;
  double yCoordinateForXAxis = 0, xCoordinateForYAxis = 0;
  bool destinationIsResolutionIndependent = false;
  double resolutionScale = 1;

  // A value at or below 0 on a logarithmic axis lands on the draw region's
  // left (or bottom) edge.
  double transformX(double x) const;
  double transformY(double y) const;
  KRPoint transform(KRPoint data) const { return {transformX(data.x), transformY(data.y)}; }
  // The inverses.
  double fromScreenToCoordinatesX(double page) const;
  double fromScreenToCoordinatesY(double page) const;
  KRPoint fromScreenToCoordinates(KRPoint page) const {
    return {fromScreenToCoordinatesX(page.x), fromScreenToCoordinatesY(page.y)};
  }

  void setXLinearShift(double shift, double scale);
  void setXLogarithmicShift(double shift, double scale);
  void setYLinearShift(double shift, double scale);
  void setYLogarithmicShift(double shift, double scale);
  void changeXScaleBy(double factor) { scaleX *= factor; }
  void changeYScaleBy(double factor) { scaleY *= factor; }

  // Whether a drawing made for other lands on the page exactly as one made
  // for this record: the same mappings, regions and output kind. Commands key
  // their cached drawings on it.
  bool sameScalingInformation(const KR1DPlotDrawingInfo& other) const;
};

}  // namespace orrelin
