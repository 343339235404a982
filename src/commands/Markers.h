#pragma once
// Markers: the shape of every marker tag, and the drawing of many markers at
// once. The points and plot commands both draw their markers through
// VKMarkers::createPoints, from page positions and a look, so neither needs
// the other. docs/commands-points.md gives the geometry of each tag.
//
// How many markers are drawn:
// - markers of one size are drawn as a stencil stamped at every position
//   when there are more than kStencilThreshold of them and layers are
//   allowed (the points command allows them for bitmaps and the screen);
// - otherwise they are drawn in chunks of kChunk markers, each chunk one
//   path per painted part: circle-based markers as circle collections, the
//   other shapes as paths;
// - a marker whose radius exceeds 3000 points is drawn with radius 40, the
//   same stand-in the circle collections use.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "drawing/KRDrawingGroup.h"
#include "drawing/KRDrawingPath.h"
#include "drawing/KRPathGeometry.h"
#include "graph/commandbase/InputControllers.h"
#include "platform/KRColor.h"

namespace orrelin {

// The marker tags of the marker menus.
enum VKMarkerTag : int {
  kMarkerNoPoint = 1,
  kMarkerCircle = 2,
  kMarkerSolidCircle = 3,
  kMarkerTriangle = 4,
  kMarkerSolidTriangle = 5,
  kMarkerBox = 6,
  kMarkerSolidBox = 7,
  kMarkerDiamond = 8,
  kMarkerSolidDiamond = 9,
  kMarkerPlus = 10,
  kMarkerCross = 11,
  kMarkerLeftBox = 12,
  kMarkerRightBox = 13,
  kMarkerUpBox = 14,
  kMarkerDownBox = 15,
  kMarkerTriangleDown = 16,
  kMarkerSolidTriangleDown = 17,
  kMarkerTriangleLeft = 18,
  kMarkerSolidTriangleLeft = 19,
  kMarkerTriangleRight = 20,
  kMarkerSolidTriangleRight = 21,
  kMarkerStar = 22,
  kMarkerFilledStar = 23,
  kMarkerHorizontal = 24,
  kMarkerVertical = 25,
  kMarkerMale = 26,
  kMarkerFemale = 27,
  kMarkerRightHalf = 28,
  kMarkerBottomHalf = 29,
  kMarkerLeftHalf = 30,
  kMarkerTopHalf = 31,
  kMarkerAngle15 = 32,
  kMarkerAngle45 = 33,
  kMarkerAngle60 = 34,
};

// The outline of one or more markers split by how each part is painted:
// stroked with the line colour, filled with the line colour (solid parts),
// filled with the fill colour (interiors of the outlined circle, triangle,
// box and diamond).
struct VKMarkerParts {
  KRBezierPath stroked;
  KRBezierPath solid;
  KRBezierPath interior;
};

// How a set of markers looks.
struct VKMarkerLook {
  int type = kMarkerCircle;
  // Points: the diameter of the circle marker; the other shapes are sized
  // against it (docs/commands-points.md).
  double size = 5;
  KRColor lineColor = KRColor::black();
  double lineWidth = 0.5;
  // The interior colour of types with an interior; none leaves it empty.
  std::optional<KRColor> fillColor;
};

class VKMarkers {
 public:
  // More markers of one shape and size than this are stamped from a stencil
  // when layers are allowed.
  static constexpr long kStencilThreshold = 200;
  // Markers drawn as paths are drawn in chunks of at most this many.
  static constexpr long kChunk = 2000;
  // A radius above kMaxRadius is drawn as kStandInRadius.
  static constexpr double kMaxRadius = 3000;
  static constexpr double kStandInRadius = 40;
  // More markers than this, drawn for a bitmap or the screen, are kept as
  // one image of the drawing rectangle (rasterizedPoints).
  static constexpr long kRasterThreshold = 100000;

  // The scatter menu ("No Point", "Circle", ... "60") and the plot menu (the
  // same without tags 28 to 34), in menu order.
  static const std::vector<VKMenuEntry>& pointMenu();
  static const std::vector<VKMenuEntry>& plotMenu();
  // A marker menu laid out elsewhere (a stored panel, a scheme's choices)
  // with each item replaced by the marker entry of its tag, so every menu
  // names a marker the same way; items whose tag is no marker are taken out.
  static std::vector<VKMenuEntry> substituteItemsInPointMenu(const std::vector<VKMenuEntry>& menu);
  static bool isMarkerTag(int tag);
  // The marker size a "Point Size" setting gives: an empty setting 5, a
  // value that does not compute or is exactly 0 gives 4, above 300 gives 300.
  static double sizeOfSetting(const std::string& typed, double value);
  // The outlined circle, triangle, box and diamond take the fill colour inside.
  static bool typeHasFill(int type);
  // The circle and its variants, drawn through circle collections.
  static bool isCircleType(int type);

  // Adds one marker of the type, centred on center, with the given radius
  // (half the size), to the parts. Nothing for "No Point" or an unknown tag.
  static void addMarker(VKMarkerParts& parts, int type, KRPoint center, double radius);
  // The radius actually drawn for a requested one (the 3000 -> 40 rule).
  static double drawnRadius(double radius);

  // The markers at the page positions. radius, when given, holds one value
  // per position: the marker's size read from a column, multiplied by scale;
  // with sizeIsRadius it is the radius, otherwise the diameter. A position
  // whose size is not a positive finite number gets no marker. Positions
  // whose markers lie wholly outside drawRect are left out. allowLayers
  // permits stencils. With pixelsPerPoint above 0 (bitmap and screen
  // output) stamps are placed on whole device pixels and each pixel is
  // stamped once; more than kRasterThreshold markers there come back as
  // one image (rasterizedPoints). Null when nothing is drawn.
  // The interiors of the markers at the page positions as one region (sizes
  // read as createPoints reads them), for a fill that is drawn over the
  // markers' frame and clipped to them: hatching, a gradient or noise. Null
  // for a type without an interior (typeHasFill) or when no marker reaches
  // drawRect.
  static std::shared_ptr<KRDrawingPath> createCropForFillPoints(const std::vector<KRPoint>& points, int type,
                                                                double size, const std::vector<double>* radius,
                                                                double scale, bool sizeIsRadius,
                                                                const KRRect& drawRect);

  // Markers drawn once into an image of drawRect (grown to whole device
  // pixels) at pixelsPerPoint and put back as that image, pixel on pixel:
  // however many markers there are, a redraw costs one image. Null when
  // there is nothing to draw or no image of that size can be made.
  static std::shared_ptr<KRDrawingGroup> rasterizedPoints(const KRDrawingBasic& markers, const KRRect& drawRect,
                                                          double pixelsPerPoint);

  static std::shared_ptr<KRDrawingGroup> createPoints(const std::vector<KRPoint>& points, const VKMarkerLook& look,
                                                      const std::vector<double>* radius, double scale,
                                                      bool sizeIsRadius, bool allowLayers, const KRRect& drawRect,
                                                      double pixelsPerPoint = 0);
};

}  // namespace orrelin
