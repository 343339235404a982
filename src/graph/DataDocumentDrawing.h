#pragma once
// One graph of a document: its ordered commands (the style settings first,
// the canvas settings second, then the drawing commands with the main axis
// among them) and the layout that turns them into one display list for a
// page size and scale.
//
// The layout merges the ranges the commands ask for into the axis ranges,
// reserves room for tick numbers and titles, places the plot area on the
// device grid, splits it among stacked or joined axes, computes the ticks,
// hands every command a drawing record with its data-to-page mapping and
// assembles background, commands and foreground. docs/graph-layout.md gives
// the geometry.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "axes/AxisTicks.h"
#include "graph/commandbase/DrawingInformation.h"
#include "graph/commandbase/VKCommandGraph.h"
#include "graph/commandbase/VKDrawingCommand.h"
#include "platform/PropertyList.h"

namespace orrelin {

class VKAxisSettings;
class VKCanvasSettings;
class VKSingleAxisCommand;
class VKStyleSettings;

class DataDocumentDrawing : public VKCommandGraph {
 public:
  // A graph with default style and canvas settings and a main axis.
  static std::shared_ptr<DataDocumentDrawing> create();
  // The graph the command-line tool starts with: a "5in,3in" page and the
  // command-line axis settings; it draws an empty frame until data arrives.
  static std::shared_ptr<DataDocumentDrawing> createForCommandLine();
  // From the stored array; see fillFromPropertyList.
  static std::shared_ptr<DataDocumentDrawing> createFromPropertyList(const PropertyList& list);

  // The stored form: an array of the style settings, the canvas settings
  // and the drawing commands in order.
  PropertyList propertyList() const;
  // Replaces the commands by those of the stored array. An element 0 or 1
  // that is not the style or canvas settings gives default settings (and is
  // read as a drawing command when it is one); commands of an unknown kind
  // are skipped with a message; a graph without main axis gets one.
  void fillFromPropertyList(const PropertyList& list);

  std::shared_ptr<VKStyleSettings> styleSettings() const;
  std::shared_ptr<VKCanvasSettings> canvasSettings() const;
  std::shared_ptr<VKAxisSettings> mainAxis() const;
  // The index of the first drawing command (after the style and canvas).
  std::size_t whereDrawingCommandsStart() const;

  // Commands that take part: openers and closers are not taken, and an
  // excluded opener leaves out everything up to its closer.
  std::vector<std::shared_ptr<VKDrawingCommand>> commandsThatAreNotExcluded() const;
  std::vector<std::shared_ptr<VKDrawingCommand>> commandsThatAreExcluded() const;
  std::vector<std::shared_ptr<VKDrawingCommand>> commandsThatAreNotHiddenOrExcluded() const;
  // The axis controllers: the main axis first, then the single-axis
  // commands of that direction that take part, in list order.
  std::vector<std::shared_ptr<VKDrawingCommand>> xAxisCommands() const;
  std::vector<std::shared_ptr<VKDrawingCommand>> yAxisCommands() const;
  // The index of the last axis (0 with only the main axis); -1 without axes.
  int numberOfXAxisControllers() const { return static_cast<int>(xAxisCommands().size()) - 1; }
  int numberOfYAxisControllers() const { return static_cast<int>(yAxisCommands().size()) - 1; }

  // The ranges of the axes, padded and cropped; an axis whose range cannot
  // be found gets an invalid range. Empty without axes.
  std::vector<KRBoundingRange> xRanges() const;
  std::vector<KRBoundingRange> yRanges() const;
  // The merged range of one axis before padding and cropping.
  KRBoundingRange xRangeForAxis(int axis) const;
  KRBoundingRange yRangeForAxis(int axis) const;
  // The main axis shows the ranges of x and y axis 0, an axis command
  // those of its own axis.
  std::vector<AxisRangeShown> axisRangesShownBy(const DataDrawingCommand& command) const override;
  // Whether each axis's date labels may use a second line.
  std::vector<bool> xLabelMultipleLines() const;
  std::vector<bool> yLabelMultipleLines() const;
  bool xAxisStacked() const;
  bool yAxisStacked() const;

  // Builds the display list for a page of size at scale (see the file
  // comment); none when there are no axes or ranges. info "Destination"
  // "PDF", "EPS" or "Print" builds for a resolution independent output.
  std::shared_ptr<KRDrawingGroup> createGraphic(KRSize size, double scale, bool send, const PlistDictionary& info,
                                                const KRRect& outputRect) override;
  KRSize overwriteSizeWith() const override;
  // The graph's fonts come from the style settings.
  std::shared_ptr<KRDrawingStyleFont> drawingFont(const VKFontStyle& style) const override;
  double drawingMagnification() const override;

  // The state the last pass left.
  double spaceOnLeft() const { return spaceOnLeft_; }
  double spaceOnRight() const { return spaceOnRight_; }
  double spaceBelow() const { return spaceBelow_; }
  double spaceAbove() const { return spaceAbove_; }
  // The room around the plot area that the last pass found (points), from
  // the axis controllers' ticks, numbers and titles and from what the taken
  // commands ask for. The margins are made of them (docs/graph-layout.md).
  // Tick marks and numbers of the axes beside the plot area on the left,
  // with the room the commands ask for beside their y axis.
  double tickAndNumberSpaceOnLeft() const { return spaces_.numbersLeft; }
  double titleSpaceOnLeft() const { return spaces_.titleLeft; }
  // Below: the axes' ticks and numbers with the room the commands ask for
  // under the x axis, each on the device grid.
  double tickAndNumberSpaceBelow() const { return spaces_.numbersBelow; }
  double titleSpaceBelow() const { return spaces_.titleBelow; }
  // The x axes beside the top edge of the plot area (stacked on top).
  double tickAndNumberSpaceAbove() const { return spaces_.numbersAbove; }
  double titleSpaceAbove() const { return spaces_.titleAbove; }
  // The y axes beside the right edge of the plot area.
  double tickAndNumberSpaceOnRight() const { return spaces_.numbersRight; }
  double titleSpaceOnRight() const { return spaces_.titleRight; }
  // Everything the axes on top take, joined extra axes beyond the first
  // included; the plot area shrinks by it.
  double tickAndNumberSpaceAboveAxis() const { return spaces_.axesAbove; }
  // Everything the axes on the right take.
  double tickAndNumberSpaceRightOfAxis() const { return spaces_.axesRight; }
  // How far tick marks reach into the plot area from an axis on the right.
  double tickSpaceOnLeftSideOfRightAxis() const { return spaces_.ticksInsideRight; }
  // The overall title with the room the commands ask for above the plot.
  double titleSpace() const { return spaces_.title; }
  // The room the commands ask for on the right.
  double spaceToTheRight() const { return spaces_.commandsRight; }

  // The plot area of the last pass (all axes together).
  const KRRect& plotArea() const { return plotArea_; }
  // drawingInfos()[x][y]: the record of the axis pair.
  const std::vector<std::vector<std::shared_ptr<KR1DPlotDrawingInfo>>>& drawingInfos() const { return drawingInfos_; }
  const std::vector<std::shared_ptr<KR1DPlotDrawingInfo>>& xInfos() const { return xInfos_; }
  const std::vector<std::shared_ptr<KR1DPlotDrawingInfo>>& yInfos() const { return yInfos_; }
  const KRDrawingInformation& informationAboutDrawingElements() const { return information_; }
  // The ticks the last pass drew on each axis.
  const std::vector<AxisTicks>& xTicks() const { return xTicks_; }
  const std::vector<AxisTicks>& yTicks() const { return yTicks_; }

  void setSelectionRectangle(std::optional<KRRect> rect) { selectionRectangle_ = rect; }
  // A command being dragged is drawn with a glow of the selection colour
  // around it; blur in the units of the drawing (device pixels on screen).
  static std::shared_ptr<KRDrawingGroup> addSelectionShadow(std::shared_ptr<KRDrawingBasic> drawing, double blur);
  // Whether the pass logs how long it took.
  void setPrintTiming(bool on) { printTiming_ = on; }
  // Unique per graph within the process, from an increasing counter; the
  // timing message names the graph by it.
  std::int32_t serialNumber() const { return serialNumber_; }

 private:
  void ensureSettings();
  // The tick spacing an axis needed last time so that its numbers did not
  // touch, kept with the range and length it was found for.
  struct LabelSpacing {
    KRBoundingRange range;
    double length = 0;
    double spacing = 0;
  };
  std::vector<LabelSpacing> xSpacing_, ySpacing_;
  KRBoundingRange mergedRange(bool xDirection, int axis, bool* isDate) const;

  KRSize drawingViewSize_;
  std::vector<std::vector<std::shared_ptr<KR1DPlotDrawingInfo>>> drawingInfos_;
  std::vector<std::shared_ptr<KR1DPlotDrawingInfo>> xInfos_;
  std::vector<std::shared_ptr<KR1DPlotDrawingInfo>> yInfos_;
  std::vector<AxisTicks> xTicks_;
  std::vector<AxisTicks> yTicks_;
  double spaceOnLeft_ = 0, spaceOnRight_ = 0, spaceBelow_ = 0, spaceAbove_ = 0;
  KRRect plotArea_;
  KRDrawingInformation information_;
  struct Spaces {
    double numbersLeft = 0, titleLeft = 0, numbersBelow = 0, titleBelow = 0, numbersAbove = 0, titleAbove = 0;
    double numbersRight = 0, titleRight = 0, axesAbove = 0, axesRight = 0, ticksInsideRight = 0;
    double title = 0, commandsRight = 0;
  };
  Spaces spaces_;
  std::optional<KRRect> selectionRectangle_;
  bool printTiming_ = false;
  std::int32_t serialNumber_ = nextSerialNumber();
  static std::int32_t nextSerialNumber();
};

// Registers the style and canvas settings with the command factory (and the
// axis commands the graph needs).
void registerGraphCommandKinds();

}  // namespace orrelin
