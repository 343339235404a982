#pragma once
// The plot command ("Plot"): one y column against one x column as a line,
// straight, smooth or in steps, with an optional fill, error bars, markers,
// point labels and an inline legend, an offset, a crop range and a row mask.
// Markers and error bars are drawn by the same code as the scatter
// command's (VKMarkers, VKErrorBars), with the same menus.
//
// The prepared data (the runs, the spline second derivatives, the points
// with their rows) is kept until a column it reads or a setting changes;
// the drawing is rebuilt from it for each scaling record.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "commands/ErrorBars.h"
#include "commands/Plot1D.h"
#include "commands/PlotFills.h"
#include "graph/commandbase/InputControllers.h"
#include "graph/commandbase/VKDrawingCommand.h"

namespace orrelin {

class VKCommandFactory;
class KRDrawingPath;

class VKPlotCommand : public VKDrawingCommand, public VKErrorBarSettingsOwner {
 public:
  enum Connection { kLine = 1, kSmooth = 2, kSteps = 3 };
  enum SplineType { kNaturalSpline = 1, kApproximateEndSlope = 2 };
  // Fill methods; tags above 9 fill in the x direction.
  enum FillMethod {
    kCloseRuns = 1,
    kToZeroY = 2,
    kToBottom = 3,
    kToTop = 4,
    kAboveZeroY = 5,
    kBelowZeroY = 6,
    kBetweenY = 7,
    kToZeroX = 10,
    kToLeft = 11,
    kToRight = 12,
    kBetweenX = 13,
  };
  // "Between Which Axis": 0 the command's own y axis, n the graph's y axis n.
  enum { kBetweenOwnAxis = 0 };
  enum LegendPosition { kInLegend = 1, kInlineAtEnd = 2, kInlineAtStart = 3 };

  VKPlotCommand();

  std::string type() const override;
  bool canBeCropped() const override { return true; }
  void finishConnections() override;
  void fillFromPropertyList(const PropertyList& list) override;
  bool partOfLegend() const override { return legendPositionTag() == kInLegend; }
  std::string legendName() const override;

  // Menu entries of the settings.
  static const std::vector<VKMenuEntry>& fillMethodEntries();
  static const std::vector<VKMenuEntry>& connectionEntries();
  static const std::vector<VKMenuEntry>& betweenAxisEntries();
  static const std::vector<VKMenuEntry>& splineTypeEntries();
  static const std::vector<VKMenuEntry>& stepTypeEntries();
  static const std::vector<VKMenuEntry>& legendPositionEntries();
  // The dash pattern of a line style tag (empty for a solid line), in
  // multiples of the line width.
  static std::vector<float> dashPatternForTag(int tag);

  // Settings as values.
  int connection() const { return lineType_->tag(); }
  int splineTypeTag() const { return splineType_->tag(); }
  int stepTypeTag() const { return stepType_->tag(); }
  int fillMethodTag() const { return fillMethod_->tag(); }
  int legendPositionTag() const { return legendPosition_->tag(); }
  int pointStyleTag() const { return pointStyle_->tag(); }
  bool bridgesGaps() const { return bridgeGaps_->isSelected(); }
  bool usesMask() const { return mask_->isDefined(); }
  bool drawsLine() const { return lineStyle_->drawsLine(); }
  bool drawsFill() const { return fill_->fills(); }
  bool drawsLabels() const { return labels_->hasSelection(); }
  bool drawsMarkers() const { return pointStyleTag() != 1; }
  // An error style other than "No Error" and at least one error column.
  bool drawsErrorBars() const;
  // The marker size drawn for "Point Size".
  double pointSizeValue() const;
  // Whether the curve is smooth and a function of y (fill methods above 9).
  bool smoothAlongY() const { return connection() == kSmooth && fillMethodTag() > 9; }

  // Selecting the columns, as the user does.
  void setXColumn(const std::shared_ptr<OrrelinColumn>& x, const std::shared_ptr<OrrelinColumn>& y);
  std::int32_t xColumnNumber() const;
  std::int32_t yColumnNumber() const;

  // The cache. somethingChanged compares the x and y serial numbers only;
  // updateCache also the labels and the mask, and the axis kinds.
  bool somethingChanged() const override;
  void updateCacheXLinear(bool xLinear, bool yLinear);
  void updateIfNeeded() override { updateCacheXLinear(xIsLinear_, yIsLinear_); }
  void entryChanged(VKDependencyBase* sender) override;
  using VKDrawingCommand::entryChanged;
  // The runs as prepared (offset, gaps, steps), in data values.
  const Plot1D& cachedPlot() const { return cachedPlot_; }
  // For smooth curves: the pieces the splines run through (increasing in
  // their direction, in the axes' space, logarithms on logarithmic axes)
  // and their second derivatives.
  const Plot1D& cachedSplinePlot() const { return cachedSplinePlot_; }
  const Plot1D& cachedSecondDerivatives() const { return cachedSecondDerivatives_; }
  // The points of the valid rows and the rows they come from.
  const std::vector<KRPoint>& cachedPoints() const;
  const std::vector<long>& cachedRows() const;

  // Ranges of the prepared data; for smooth curves the range of the spline
  // values along the curve's free direction.
  KRBoundingRange domainRangeXLinear(bool xLinear, bool yLinear) override;
  KRBoundingRange valueRangeXLinear(bool xLinear, bool yLinear) override;
  KRBoundingRange cropXRange(const KRBoundingRange& range) const override { return range; }
  KRBoundingRange cropYRange(const KRBoundingRange& range) const override { return range; }
  // Error bars along x (y) need an axis that can hold their ends.
  bool requiresXFloatAxis() const override;
  bool requiresYFloatAxis() const override;
  bool xUsesDateAxis() const override;
  bool yUsesDateAxis() const override;
  std::string xDateLocale() const override;
  std::string yDateLocale() const override;

  // The drawing.
  std::shared_ptr<KRDrawingGroup> computeDrawingObjectForScale(const KR1DPlotDrawingInfo& record,
                                                               KRDrawingInformation& information) override;
  std::shared_ptr<KRDrawingGroup> plotForScale(const KR1DPlotDrawingInfo& record);
  // The line in page coordinates: the simplified runs (straight or steps).
  std::vector<PageRun> computePathForScale(const KR1DPlotDrawingInfo& record);
  // The smooth curve as Bezier control points on the page (the layout of
  // KRDrawingCubicBezier).
  std::vector<double> splineForScale(const KR1DPlotDrawingInfo& record);
  // The closed loops of the fill on the page; none when the fill could not
  // be closed ("Error when splitting a plot." is posted).
  std::optional<std::vector<PageRun>> fillLoopsForScale(const KR1DPlotDrawingInfo& record);
  // The second curve of a fill between columns, in data values: "Between"
  // against "Between X" (this plot's x when none), broken where a row has no
  // value an axis of the given kinds can show, unless gaps are bridged. Kept
  // until a column it reads, a setting or an axis kind changes. Fills in x
  // and in y read it alike, so one curve serves both. fillBetweenRange is
  // the range of its y values.
  const Plot1D& updateFillBetweenXLinear(bool xLinear, bool yLinear);
  KRBoundingRange fillBetweenRange() const { return fillBetweenRange_; }
  std::shared_ptr<KRDrawingGroup> labelsForScale(const KR1DPlotDrawingInfo& record);
  // The label texts of the rows (from 0): the "Labels" column's entry, a
  // number through the label formatter; "" where a row has none.
  std::vector<std::string> labelsFor(const std::vector<long>& rows) const;
  // The error bars in data values, one per cached point (centre: the point);
  // an end without a bar is NaN. Empty when no error bars are drawn.
  std::vector<VKErrorBars::Bar> updateErrorBars();
  // The error bars on the page, cut to cropWith (none when it is the null
  // rectangle). Null when there is nothing to draw.
  std::shared_ptr<KRDrawingGroup> computeErrorBars(const KR1DPlotDrawingInfo& record, const KRRect& cropWith);
  // The markers at the cached points inside the visible region; null when
  // there are none or the point style is "No Point".
  std::shared_ptr<KRDrawingGroup> markersForScale(const KR1DPlotDrawingInfo& record);
  std::shared_ptr<KRDrawingPath> computeCroppingPathForScale(const KR1DPlotDrawingInfo& record) override;
  // A fill between y columns on another y axis also depends on that axis's
  // scaling.
  std::vector<KR1DPlotDrawingInfo> otherScalingsForScale(const KR1DPlotDrawingInfo& record) const override;

  // A click at a page point: "Hits a Point" or "Hits a Line" with "Points
  // Hit" (rows within reach), "Closest X", "Closest Y" and "Row Index" of
  // the nearest point; none when the click misses.
  std::optional<PlistDictionary> performHitTest(KRPoint point, const KR1DPlotDrawingInfo& record);

  // The curve's y at x, as drawn: on the first segment (or spline piece) that
  // reaches x; none where the curve does not pass x. Uses the prepared data
  // of the last axis kinds.
  std::optional<double> plotValueAtXLocation(double x);

  // The points of every run of a plot in order, without the run headers.
  static std::vector<KRPoint> convertToPoints(const Plot1D& plot);
  // Points mapped to the page by mapping, keeping those that land inside
  // cropWith (every one for the null rectangle).
  static std::vector<KRPoint> convertToPoints(const std::vector<KRPoint>& points, const KRRect& cropWith,
                                              const KR1DPlotDrawingInfo& mapping);

  // The legend text with the column names put in for its labels.
  std::string legendText() const;

  // ---- Settings, named after their fields as the scatter command's are.
  const std::shared_ptr<VKColumnSelector>& xColumn() const { return xColumn_; }
  const std::shared_ptr<VKColumnSelector>& yColumn() const { return yColumn_; }
  const std::shared_ptr<VKLineStyleInputController>& lineStyle() const { return lineStyle_; }
  const std::shared_ptr<VKMenuInputController>& pointStyle() const { return pointStyle_; }
  const std::shared_ptr<VKNumberInputController>& pointSize() const { return pointSize_; }
  const std::shared_ptr<VKFillStyleInputController>& pointColor() const { return pointColor_; }
  const std::shared_ptr<VKFillStyleInputController>& fillType() const { return fill_; }
  const std::shared_ptr<VKMenuInputController>& fillMethod() const { return fillMethod_; }
  const std::shared_ptr<VKColumnSelector>& betweenY() const { return betweenY_; }
  const std::shared_ptr<VKColumnSelector>& betweenX() const { return betweenX_; }
  const std::shared_ptr<VKMenuInputController>& betweenYAxis() const { return betweenYAxis_; }
  const std::shared_ptr<VKTokenTextController>& legend() const { return legend_; }
  const std::shared_ptr<VKMenuInputController>& legendPosition() const { return legendPosition_; }
  const std::shared_ptr<VKPointInputController>& offset() const { return offset_; }
  const std::shared_ptr<VKRangeInputController>& crop() const { return crop_; }
  const std::shared_ptr<VKNumberFormatController>& labelFormatter() const { return labelFormatter_; }
  const std::shared_ptr<VKColumnSelector>& labels() const { return labels_; }
  const std::shared_ptr<VKFontStyleInputController>& labelFont() const { return labelFont_; }
  const std::shared_ptr<VKPointInputController>& labelsOffset() const { return labelsOffset_; }
  const std::shared_ptr<VKButtonInputController>& bridgeGaps() const { return bridgeGaps_; }
  const std::shared_ptr<VKMenuInputController>& lineType() const { return lineType_; }
  const std::shared_ptr<VKMenuInputController>& splineType() const { return splineType_; }
  const std::shared_ptr<VKMenuInputController>& stepType() const { return stepType_; }
  const std::shared_ptr<VKMaskInputController>& mask() const { return mask_; }

 private:
  struct Reference;
  void dropCache();
  // The record whose y mapping places the "Between" column: the graph's
  // record for this command's x axis and the chosen y axis, or record itself
  // (its own axis, or a y axis the graph does not have).
  const KR1DPlotDrawingInfo& betweenRecord(const KR1DPlotDrawingInfo& record) const;
  // The visible part of the page: the graph region within the crop range.
  KRRect visibleRegion(const KR1DPlotDrawingInfo& record) const;
  std::vector<PageRun> pageRunsOf(const Plot1D& plot, const KR1DPlotDrawingInfo& record) const;
  // The smooth curve flattened into runs on the page, with the points where
  // it crosses the horizontal (or vertical) data line at level inserted.
  std::vector<PageRun> flattenedSpline(const KR1DPlotDrawingInfo& record, std::optional<double> level) const;
  std::optional<std::vector<PageRun>> betweenRuns(const KR1DPlotDrawingInfo& record);
  std::shared_ptr<KRDrawingGroup> fillDrawing(const std::vector<PageRun>& loops, const KR1DPlotDrawingInfo& record) const;
  void addLine(KRDrawingGroup& group, const KR1DPlotDrawingInfo& record);
  // Page rectangles around each point's marker and error bar (none when
  // neither is drawn).
  std::vector<KRRect> pointMarksOnPage(const KR1DPlotDrawingInfo& record);
  void addInlineLegend(KRDrawingGroup& group, const KR1DPlotDrawingInfo& record, const std::vector<PageRun>& line);

  std::shared_ptr<VKColumnSelector> xColumn_, yColumn_;
  std::shared_ptr<VKLineStyleInputController> lineStyle_;
  std::shared_ptr<VKMenuInputController> pointStyle_;
  std::shared_ptr<VKNumberInputController> pointSize_;
  std::shared_ptr<VKFillStyleInputController> pointColor_;
  std::shared_ptr<VKFillStyleInputController> fill_;
  std::shared_ptr<VKMenuInputController> fillMethod_;
  std::shared_ptr<VKColumnSelector> betweenY_, betweenX_;
  std::shared_ptr<VKMenuInputController> betweenYAxis_;
  std::shared_ptr<VKTokenTextController> legend_;
  std::shared_ptr<VKMenuInputController> legendPosition_;
  std::shared_ptr<VKPointInputController> offset_;
  std::shared_ptr<VKRangeInputController> crop_;
  std::shared_ptr<VKNumberFormatController> labelFormatter_;
  std::shared_ptr<VKColumnSelector> labels_;
  std::shared_ptr<VKFontStyleInputController> labelFont_;
  std::shared_ptr<VKPointInputController> labelsOffset_;
  std::shared_ptr<VKButtonInputController> bridgeGaps_;
  std::shared_ptr<VKMenuInputController> lineType_;
  std::shared_ptr<VKMenuInputController> splineType_;
  std::shared_ptr<VKMenuInputController> stepType_;
  std::shared_ptr<VKMaskInputController> mask_;

  // The cache and what it was made from (-1: no column).
  bool cacheValid_ = false;
  std::int32_t serialX_ = -1, serialY_ = -1, serialLabel_ = -1, serialM_ = -1;
  bool xIsLinear_ = true, yIsLinear_ = true;
  Plot1D cachedPlot_;
  Plot1D cachedSplinePlot_;
  Plot1D cachedSecondDerivatives_;
  KRBoundingRange cachedSplineRange_;
  bool cachedSplineRangeValid_ = false;
  // The points, made from the runs when first asked for (a line alone never
  // needs them), except for steps, whose runs hold corners as well.
  mutable std::vector<KRPoint> cachedPoints_;
  mutable bool cachedPointsReady_ = false;
  // The ranges of the points' x and y values.
  KRBoundingRange cachedDomainRange_ = KRBoundingRange::invalid();
  KRBoundingRange cachedValueRange_ = KRBoundingRange::invalid();
  // The rows, written down while the points are gathered once a row has
  // been left out; until then, and then only when asked, point k's row is k.
  mutable std::vector<long> cachedRows_;
  mutable bool cachedRowsReady_ = false;
  long cachedPointCount_ = 0;
  // The second curve of a fill between columns and what it was read from.
  bool fillBetweenValid_ = false;
  std::int32_t serialFillTo_ = -1, serialFillToX_ = -1;
  bool fillXLinear_ = true, fillYLinear_ = true;
  Plot1D cachedFilledPath_;
  KRBoundingRange fillBetweenRange_ = KRBoundingRange::invalid();
  // The error-column explanation last shown, so that it is taken back once
  // the column holds numbers again.
  std::optional<std::string> shownErrorColumnProblem_;
};

// Registers "Plot" with the factory.
void registerPlotCommandKind(VKCommandFactory& factory);

}  // namespace orrelin
