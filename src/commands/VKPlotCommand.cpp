#include "commands/VKPlotCommand.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "axes/ticks/KRNumberFormatter.h"
#include "commands/Markers.h"
#include "commands/ColumnDates.h"
#include "commands/LegendText.h"
#include "commands/OlderSettings.h"
#include "commands/PlotSimplification.h"
#include "commands/PlotSplines.h"
#include "commands/PlotSteps.h"
#include "commands/PlotTexts.h"
#include "commands/PointsTexts.h"
#include "commands/RowMask.h"
#include "drawing/KRContainerPath2D.h"
#include "drawing/KRDrawingCollections.h"
#include "drawing/KRDrawingGroup.h"
#include "drawing/KRDrawingPathFromObj.h"
#include "drawing/KRDrawingText.h"
#include "graph/DataDocumentDrawing.h"
#include "graph/commandbase/FillDrawing.h"
#include "graph/commandbase/CommandDocument.h"
#include "graph/commandbase/TextFormat.h"
#include "graph/commandbase/VKCommandFactory.h"
#include "numeric/KRDoubleArrayContainer.h"
#include "platform/KRMessageCenter.h"
#include "table/OrrelinColumn.h"

namespace orrelin {

namespace text = plottext;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// A click this close to a point hits it; this close to the line hits the line.
constexpr double kPointHitDistance = 3;
constexpr double kLineHitDistance = 2;
// Runs drawn as one object each: from 2 to 19 runs holding more than 10000 points.
constexpr long kMostRunsDrawnApart = 19;
constexpr long kPointsToDrawRunsApart = 10000;
// What one path object may hold (the display list refuses more).
constexpr long kMostConnectionsPerPath = KRDrawingPathFromObj::kMaxConnections;
// Lines of more points than this are drawn with plain (mitred) joins.
constexpr std::size_t kMostPointsWithRoundJoins = 20000;
// Pieces each spline segment is flattened into for fills.
constexpr int kFlatteningSteps = 16;

// Axis space: the data on a linear axis, its natural logarithm on a
// logarithmic one. The page is an affine image of it.
double axisToPageX(double v, const KR1DPlotDrawingInfo& r) {
  return r.xIsLinear ? (v + r.shiftX) * r.scaleX : v * r.scaleX + r.shiftX;
}
double axisToPageY(double v, const KR1DPlotDrawingInfo& r) {
  return r.yIsLinear ? (v + r.shiftY) * r.scaleY : v * r.scaleY + r.shiftY;
}
double pageToAxisX(double p, const KR1DPlotDrawingInfo& r) {
  return r.xIsLinear ? p / r.scaleX - r.shiftX : (p - r.shiftX) / r.scaleX;
}
double pageToAxisY(double p, const KR1DPlotDrawingInfo& r) {
  return r.yIsLinear ? p / r.scaleY - r.shiftY : (p - r.shiftY) / r.scaleY;
}

std::shared_ptr<KRDoubleArrayContainer> twoRowArray(const std::vector<double>& interleaved) {
  const long n = static_cast<long>(interleaved.size() / 2);
  auto array = KRDoubleArrayContainer::createArrayOfSizeM(2, n);
  if (array && n > 0) std::copy(interleaved.begin(), interleaved.end(), array->mutableDoublePointer());
  return array;
}

// One path object over the runs (each closed when its ends meet).
std::shared_ptr<KRDrawingPathFromObj> pathOf(const std::vector<PageRun>& runs, std::size_t from, std::size_t to) {
  return KRDrawingPathFromObj::createFromPath(
      KRContainerPath2D::createWithLoops(std::vector<PageRun>(runs.begin() + long(from), runs.begin() + long(to))));
}

// Runs longer than one path may hold are cut into overlapping pieces.
std::vector<PageRun> withinPathLimits(std::vector<PageRun> runs) {
  std::vector<PageRun> result;
  const std::size_t most = static_cast<std::size_t>(kMostConnectionsPerPath - 1);
  for (auto& run : runs) {
    if (run.size() <= most) {
      result.push_back(std::move(run));
      continue;
    }
    for (std::size_t start = 0; start + 1 < run.size(); start += most - 1) {
      const std::size_t end = std::min(run.size(), start + most);
      result.emplace_back(run.begin() + long(start), run.begin() + long(end));
    }
  }
  return result;
}

// Groups of consecutive runs that fit into one path object each.
std::vector<std::pair<std::size_t, std::size_t>> pathBatches(const std::vector<PageRun>& runs) {
  std::vector<std::pair<std::size_t, std::size_t>> batches;
  std::size_t start = 0;
  long connections = 0;
  for (std::size_t k = 0; k < runs.size(); ++k) {
    const long needed = static_cast<long>(runs[k].size()) + 1;
    if (connections + needed > kMostConnectionsPerPath && k > start) {
      batches.emplace_back(start, k);
      start = k;
      connections = 0;
    }
    connections += needed;
  }
  if (start < runs.size()) batches.emplace_back(start, runs.size());
  return batches;
}

double pageDistanceToSegment(KRPoint p, KRPoint a, KRPoint b) {
  const double dx = b.x - a.x, dy = b.y - a.y, length2 = dx * dx + dy * dy;
  double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

}  // namespace

VKPlotCommand::VKPlotCommand() = default;

std::string VKPlotCommand::type() const { return text::kPlotType; }

const std::vector<VKMenuEntry>& VKPlotCommand::fillMethodEntries() {
  static const std::vector<VKMenuEntry> entries{
      {kCloseRuns, "Close Each Run"}, {kToZeroY, "To y = 0"},          {kToBottom, "To Bottom"},
      {kToTop, "To Top"},             {kAboveZeroY, "Above y = 0"},    {kBelowZeroY, "Below y = 0"},
      {kBetweenY, "Between Columns"}, {kToZeroX, "To x = 0"},          {kToLeft, "To Left"},
      {kToRight, "To Right"},         {kBetweenX, "Between Columns in x"}};
  return entries;
}

const std::vector<VKMenuEntry>& VKPlotCommand::betweenAxisEntries() {
  static const std::vector<VKMenuEntry> entries{{kBetweenOwnAxis, "Same Axis"},
                                                {1, "Y Axis 1"},
                                                {2, "Y Axis 2"},
                                                {3, "Y Axis 3"},
                                                {4, "Y Axis 4"}};
  return entries;
}

const KR1DPlotDrawingInfo& VKPlotCommand::betweenRecord(const KR1DPlotDrawingInfo& record) const {
  const int which = betweenYAxis_->tag();
  const auto* graph = dynamic_cast<const DataDocumentDrawing*>(insideDrawing());
  if (which == kBetweenOwnAxis || !graph) return record;
  const auto& infos = graph->drawingInfos();
  const auto x = static_cast<std::size_t>(std::max(0, whichXAxis()));
  const auto y = static_cast<std::size_t>(which - 1);
  if (x >= infos.size() || y >= infos[x].size() || !infos[x][y]) return record;
  return *infos[x][y];
}

const std::vector<VKMenuEntry>& VKPlotCommand::connectionEntries() {
  static const std::vector<VKMenuEntry> entries{{kLine, "Line"}, {kSmooth, "Smooth"}, {kSteps, "Steps"}};
  return entries;
}

const std::vector<VKMenuEntry>& VKPlotCommand::splineTypeEntries() {
  static const std::vector<VKMenuEntry> entries{{kNaturalSpline, "Natural"},
                                                {kApproximateEndSlope, "Approximate End Slopes"}};
  return entries;
}

const std::vector<VKMenuEntry>& VKPlotCommand::stepTypeEntries() {
  static const std::vector<VKMenuEntry> entries{{int(StepType::HorizontalFirst), "Horizontal First"},
                                                {int(StepType::VerticalFirst), "Vertical First"},
                                                {int(StepType::Halfway), "Halfway"}};
  return entries;
}

const std::vector<VKMenuEntry>& VKPlotCommand::legendPositionEntries() {
  static const std::vector<VKMenuEntry> entries{
      {kInLegend, "In Legend"}, {kInlineAtEnd, "Inline at End"}, {kInlineAtStart, "Inline at Start"}};
  return entries;
}

std::vector<float> VKPlotCommand::dashPatternForTag(int tag) {
  switch (tag) {
    case 3: return {1, 2};
    case 4: return {3, 3};
    case 5: return {6, 3};
    case 6: return {10, 4};
    case 7: return {6, 3, 1, 3};
    case 8: return {6, 3, 1, 3, 1, 3};
    case 9: return {10, 3, 4, 3};
    case 10: return {1, 5};
    default: return {};
  }
}

void VKPlotCommand::finishConnections() {
  xColumn_ = std::make_shared<VKColumnSelector>(true);
  yColumn_ = std::make_shared<VKColumnSelector>();
  lineStyle_ = std::make_shared<VKLineStyleInputController>(VKLineStyle{2, 1, KRColor::black()});
  pointStyle_ = std::make_shared<VKMenuInputController>(VKMarkers::plotMenu(), kMarkerNoPoint);
  pointSize_ = std::make_shared<VKNumberInputController>("5");
  pointColor_ = std::make_shared<VKFillStyleInputController>(VKFillStyle{1, KRColor::white(), KRColor::white(), 1, 0});
  fill_ = std::make_shared<VKFillStyleInputController>(VKFillStyle{1, KRColor::grey(0.8), KRColor::white(), 1, 90});
  fillMethod_ = std::make_shared<VKMenuInputController>(fillMethodEntries(), kToZeroY);
  betweenY_ = std::make_shared<VKColumnSelector>();
  betweenX_ = std::make_shared<VKColumnSelector>(true);
  betweenYAxis_ = std::make_shared<VKMenuInputController>(betweenAxisEntries(), kBetweenOwnAxis);
  legend_ = std::make_shared<VKTokenTextController>(text::kDefaultLegend);
  legendPosition_ = std::make_shared<VKMenuInputController>(legendPositionEntries(), kInLegend);
  errorBars_ = VKErrorBarSettings(kErrorStyleNoError);
  offset_ = std::make_shared<VKPointInputController>("0,0");
  crop_ = std::make_shared<VKRangeInputController>();
  labelFormatter_ = std::make_shared<VKNumberFormatController>();
  labels_ = std::make_shared<VKColumnSelector>(true, true);
  labelFont_ = std::make_shared<VKFontStyleInputController>(VKFontStyle{4, "Helvetica", 10, KRColor::black()});
  labelsOffset_ = std::make_shared<VKPointInputController>("2,0");
  bridgeGaps_ = std::make_shared<VKButtonInputController>(false);
  lineType_ = std::make_shared<VKMenuInputController>(connectionEntries(), kLine);
  splineType_ = std::make_shared<VKMenuInputController>(splineTypeEntries(), kNaturalSpline);
  stepType_ = std::make_shared<VKMenuInputController>(stepTypeEntries(), int(StepType::HorizontalFirst));
  mask_ = std::make_shared<VKMaskInputController>();

  connect(xColumn_, text::kX);
  connect(yColumn_, text::kY);
  connect(lineStyle_, text::kLineStyle);
  connect(pointStyle_, text::kPointStyle);
  connect(pointSize_, text::kPointSize);
  connect(pointColor_, text::kPointFillColor);
  connect(fill_, text::kFill);
  connect(fillMethod_, text::kFillMethod);
  connect(betweenY_, text::kBetween);
  connect(betweenX_, text::kBetweenX);
  connect(betweenYAxis_, text::kBetweenWhichAxis);
  connect(legend_, text::kLegend);
  connect(legendPosition_, text::kLegendPosition);
  errorBars_.connectTo(*this);
  connect(offset_, text::kOffset);
  connect(crop_, text::kCrop);
  connect(labelFormatter_, text::kLabelFormatter);
  connect(labels_, text::kLabels);
  connect(labelFont_, text::kLabelFont);
  connect(labelsOffset_, text::kLabelsOffset);
  connect(bridgeGaps_, text::kBridgeGaps);
  connect(lineType_, text::kConnections);
  connect(splineType_, text::kSplineType);
  connect(stepType_, text::kStepType);
  connect(mask_, text::kMask);
  VKDrawingCommand::finishConnections();
}

void VKPlotCommand::fillFromPropertyList(const PropertyList& list) {
  if (list.isDictionary()) {
    PropertyList converted = list;
    convertOlderMask(converted.dictionary());
    VKDrawingCommand::fillFromPropertyList(converted);
  } else {
    VKDrawingCommand::fillFromPropertyList(list);
  }
  dropCache();
}

std::string VKPlotCommand::legendName() const { return legendText(); }

std::string VKPlotCommand::legendText() const {
  return legendWithColumnNames(legend_ ? legend_->text() : std::string(), xColumn_, yColumn_);
}

void VKPlotCommand::setXColumn(const std::shared_ptr<OrrelinColumn>& x, const std::shared_ptr<OrrelinColumn>& y) {
  if (x)
    xColumn_->selectColumn(x);
  else
    xColumn_->clearSelection();
  if (y)
    yColumn_->selectColumn(y);
  else
    yColumn_->clearSelection();
}

std::int32_t VKPlotCommand::xColumnNumber() const { return xColumn_->columnSerialNumber(); }
std::int32_t VKPlotCommand::yColumnNumber() const { return yColumn_->columnSerialNumber(); }

bool VKPlotCommand::somethingChanged() const {
  return !cacheValid_ || xColumnNumber() != serialX_ || yColumnNumber() != serialY_;
}

void VKPlotCommand::entryChanged(VKDependencyBase* sender) {
  dropCache();
  VKDrawingCommand::entryChanged(sender);
}

void VKPlotCommand::dropCache() {
  cacheValid_ = false;
  fillBetweenValid_ = false;
  cachedPlot_ = Plot1D();
  cachedSplinePlot_ = Plot1D();
  cachedSecondDerivatives_ = Plot1D();
  cachedSplineRangeValid_ = false;
  cachedSplineRange_ = KRBoundingRange::invalid();
  cachedPoints_.clear();
  cachedPointsReady_ = false;
  cachedRows_.clear();
  cachedRowsReady_ = false;
  cachedPointCount_ = 0;
  cachedDomainRange_ = KRBoundingRange::invalid();
  cachedValueRange_ = KRBoundingRange::invalid();
}

const std::vector<long>& VKPlotCommand::cachedRows() const {
  if (!cachedRowsReady_) {
    cachedRows_.resize(static_cast<std::size_t>(cachedPointCount_));
    for (std::size_t k = 0; k < cachedRows_.size(); ++k) cachedRows_[k] = static_cast<long>(k);
    cachedRowsReady_ = true;
  }
  return cachedRows_;
}

const std::vector<KRPoint>& VKPlotCommand::cachedPoints() const {
  if (!cachedPointsReady_) {
    cachedPoints_ = convertToPoints(cachedPlot_);
    cachedPointsReady_ = true;
  }
  return cachedPoints_;
}

void VKPlotCommand::updateCacheXLinear(bool xLinear, bool yLinear) {
  const std::int32_t labelSerial = labels_->columnSerialNumber();
  std::int32_t maskSerial = -1;
  if (mask_->isDefined())
    if (auto* document = commandDocument())
      for (const auto& name : FormulaText(mask_->text()).namesUsed())
        if (auto column = document->columnWithName(name)) maskSerial = std::max(maskSerial, column->serialNumber());
  if (!somethingChanged() && labelSerial == serialLabel_ && maskSerial == serialM_ && xLinear == xIsLinear_ &&
      yLinear == yIsLinear_)
    return;
  clearCachedDrawing();
  dropCache();
  cacheValid_ = true;
  serialX_ = xColumnNumber();
  serialY_ = yColumnNumber();
  serialLabel_ = labelSerial;
  serialM_ = maskSerial;
  xIsLinear_ = xLinear;
  yIsLinear_ = yLinear;

  auto yColumn = yColumn_->column();
  auto xColumn = xColumn_->column();
  if (!yColumn || !xColumn || !yColumn->isNumberColumn() || !xColumn->isNumberColumn()) return;

  // Rows: the row-number column follows the y column.
  const bool xIsRowNumber = xColumn->isRowNumberColumn();
  const long yRows = yColumn->howManyEntries();
  const long rows = xIsRowNumber ? yRows : std::min(yRows, xColumn->howManyEntries());
  const auto yValues = yColumn->numberVersion();
  const auto yIncluded = yColumn->whichAreIncluded();
  std::shared_ptr<const KRDoubleArrayContainer> xValues;
  std::shared_ptr<const KRUCharArrayContainer> xIncluded;
  if (!xIsRowNumber) {
    xValues = xColumn->numberVersion();
    xIncluded = xColumn->whichAreIncluded();
  }
  const long usable = std::min({rows, yValues->length(), yIncluded->length(),
                                xIsRowNumber ? rows : std::min(xValues->length(), xIncluded->length())});

  double dx = 0, dy = 0;
  if (auto offset = offset_->point()) {
    if (std::isfinite(offset->x)) dx = offset->x;
    if (std::isfinite(offset->y)) dy = offset->y;
  }
  std::optional<std::vector<std::uint8_t>> keep;
  if (mask_->isDefined()) {
    keep = computeRowMask(mask_->text(), rows, commandDocument());
    if (!keep) KRMessageCenter::addMessage(text::kMaskFailed);
  }

  const double* ys = yValues->constDoublePointer();
  const unsigned char* yIn = yIncluded->constPointer();
  const double* xs = xValues ? xValues->constDoublePointer() : nullptr;
  const unsigned char* xIn = xIncluded ? xIncluded->constPointer() : nullptr;
  const bool bridge = bridgesGaps();
  double xLow = INFINITY, xHigh = -INFINITY, yLow = INFINITY, yHigh = -INFINITY;
  Plot1D plot;
  plot.reserveColumns(static_cast<std::size_t>(usable) + 1);
  // While every row so far is kept, a point's row is its index and nothing
  // is stored; the first row left out writes the rows down from then on.
  bool everyRowKept = true;
  long kept = 0;
  for (long r = 0; r < usable; ++r) {
    const double x = (xs ? xs[r] : double(r + 1)) + dx;
    const double y = ys[r] + dy;
    const bool valid = yIn[r] && (!xIn || xIn[r]) && (!keep || (*keep)[std::size_t(r)]) && std::isfinite(x) &&
                       std::isfinite(y) && (xLinear || x > 0) && (yLinear || y > 0);
    if (!valid) {
      if (!bridge) plot.endRun();
      if (everyRowKept) {
        everyRowKept = false;
        cachedRows_.reserve(static_cast<std::size_t>(usable - r + kept));
        for (long k = 0; k < kept; ++k) cachedRows_.push_back(k);
      }
      continue;
    }
    plot.addPoint(x, y);
    ++kept;
    if (!everyRowKept) cachedRows_.push_back(r);
    xLow = std::min(xLow, x);
    xHigh = std::max(xHigh, x);
    yLow = std::min(yLow, y);
    yHigh = std::max(yHigh, y);
  }
  plot.endRun();
  cachedRowsReady_ = !everyRowKept;
  cachedPointCount_ = kept;
  // Steps put corners at the points' own x and y values: the ranges stay.
  if (xLow <= xHigh) {
    cachedDomainRange_ = KRBoundingRange::between(xLow, xHigh);
    cachedValueRange_ = KRBoundingRange::between(yLow, yHigh);
  }
  // The markers' points are the runs' points; only steps change the runs, so
  // only then are the points taken apart from them now.
  if (connection() == kSteps) {
    cachedPoints_ = convertToPoints(plot);
    cachedPointsReady_ = true;
  }

  if (connection() == kSteps) plot = stepsFor(plot, static_cast<StepType>(stepTypeTag()));
  cachedPlot_ = std::move(plot);

  if (connection() == kSmooth && !cachedPlot_.isEmpty()) {
    const bool alongY = smoothAlongY();
    Plot1D pieces = cachedPlot_;
    if (alongY) {
      if (!StrictlyIncreasingPoints(swapXYInResult(pieces))) pieces = splitPlotIntoIncreasingValueComponents(pieces);
    } else if (!StrictlyIncreasingPoints(pieces)) {
      pieces = splitPlotIntoIncreasingComponents(pieces);
    }
    cachedSplinePlot_ = pieces.logTransformed(!xLinear, !yLinear);
    const bool natural = splineTypeTag() == kNaturalSpline;
    if (alongY) {
      cachedSecondDerivatives_ = natural ? SecondDerivativesNormalSplineYDirection(cachedSplinePlot_)
                                         : SecondDerivativesApproximateEndSlopeYDirection(cachedSplinePlot_);
      cachedSplineRange_ = domainRangeForSplineValuesAlongY(cachedSplinePlot_, cachedSecondDerivatives_, xLinear, yLinear);
    } else {
      cachedSecondDerivatives_ = natural ? SecondDerivativesNormalSplineXDirection(cachedSplinePlot_)
                                         : SecondDerivativesApproximateEndSlopeXDirection(cachedSplinePlot_);
      cachedSplineRange_ = valueRangeForSplineValuesAlongX(cachedSplinePlot_, cachedSecondDerivatives_, xLinear, yLinear);
    }
    cachedSplineRangeValid_ = true;
  }
}

namespace {

// The range of the bar ends along one direction; values a logarithmic axis
// cannot show are left out. Invalid when there is no end.
KRBoundingRange barRange(const std::vector<VKErrorBars::Bar>& bars, bool alongX, bool linear) {
  double low = INFINITY, high = -INFINITY;
  const auto take = [&](double v) {
    if (!std::isfinite(v) || (!linear && v <= 0)) return;
    low = std::min(low, v);
    high = std::max(high, v);
  };
  for (const auto& bar : bars) {
    take(alongX ? bar.xLow : bar.yLow);
    take(alongX ? bar.xHigh : bar.yHigh);
  }
  return low <= high ? KRBoundingRange::between(low, high) : KRBoundingRange::invalid();
}

}  // namespace

KRBoundingRange VKPlotCommand::domainRangeXLinear(bool xLinear, bool yLinear) {
  updateCacheXLinear(xLinear, yLinear);
  const KRBoundingRange own =
      cachedSplineRangeValid_ && smoothAlongY() ? cachedSplineRange_ : cachedDomainRange_;
  if (!drawsErrorBars() || own.isInvalid()) return own;
  return own.unionWith(barRange(updateErrorBars(), true, xLinear));
}

KRBoundingRange VKPlotCommand::valueRangeXLinear(bool xLinear, bool yLinear) {
  updateCacheXLinear(xLinear, yLinear);
  const KRBoundingRange own =
      cachedSplineRangeValid_ && !smoothAlongY() ? cachedSplineRange_ : cachedValueRange_;
  if (!drawsErrorBars() || own.isInvalid()) return own;
  return own.unionWith(barRange(updateErrorBars(), false, yLinear));
}

bool VKPlotCommand::drawsErrorBars() const { return errorBars_.drawn(); }
bool VKPlotCommand::requiresXFloatAxis() const { return errorBars_.drawnInX(); }
bool VKPlotCommand::requiresYFloatAxis() const { return errorBars_.drawnInY(); }

double VKPlotCommand::pointSizeValue() const {
  return VKMarkers::sizeOfSetting(pointSize_->text(), pointSize_->value());
}

std::vector<VKErrorBars::Bar> VKPlotCommand::updateErrorBars() {
  std::vector<VKErrorBars::Bar> bars;
  if (!drawsErrorBars()) return bars;
  updateCacheXLinear(xIsLinear_, yIsLinear_);
  // Each point reads the error columns at its own row, so a shorter error
  // column leaves the last points without a bar and a longer one is read no
  // further than the data.
  const auto read = [this](const std::shared_ptr<VKColumnSelector>& selector) {
    return selector->column() ? VKErrorBars::valuesAtRows(selector->column(), cachedRows()) : std::vector<double>{};
  };
  const auto negX = read(errorBars_.negX), posX = read(errorBars_.posX), negY = read(errorBars_.negY), posY = read(errorBars_.posY);
  const auto at = [](const std::vector<double>& v, std::size_t k) { return v.empty() ? kNaN : v[k]; };
  const bool anyX = !negX.empty() || !posX.empty(), anyY = !negY.empty() || !posY.empty();
  const std::vector<KRPoint>& points = cachedPoints();
  bars.resize(points.size());
  for (std::size_t k = 0; k < points.size(); ++k) {
    bars[k].center = points[k];
    if (anyX)
      std::tie(bars[k].xLow, bars[k].xHigh) =
          VKErrorBars::extent(errorBars_.xType->tag(), points[k].x, at(negX, k), at(posX, k));
    if (anyY)
      std::tie(bars[k].yLow, bars[k].yHigh) =
          VKErrorBars::extent(errorBars_.yType->tag(), points[k].y, at(negY, k), at(posY, k));
  }
  return bars;
}

std::shared_ptr<KRDrawingGroup> VKPlotCommand::computeErrorBars(const KR1DPlotDrawingInfo& record,
                                                                const KRRect& cropWith) {
  updateCacheXLinear(record.xIsLinear, record.yIsLinear);
  const std::vector<VKErrorBars::Bar> bars = updateErrorBars();
  if (bars.empty()) return nullptr;
  // An end a logarithmic axis cannot show has no bar.
  const auto mapX = [&](double v) {
    return std::isnan(v) || (!record.xIsLinear && v <= 0) ? kNaN : record.transformX(v);
  };
  const auto mapY = [&](double v) {
    return std::isnan(v) || (!record.yIsLinear && v <= 0) ? kNaN : record.transformY(v);
  };
  std::vector<VKErrorBars::Bar> page;
  page.reserve(bars.size());
  for (const auto& bar : bars) {
    VKErrorBars::Bar drawn;
    drawn.center = record.transform(bar.center);
    drawn.xLow = mapX(bar.xLow);
    drawn.xHigh = mapX(bar.xHigh);
    drawn.yLow = mapY(bar.yLow);
    drawn.yHigh = mapY(bar.yHigh);
    page.push_back(drawn);
  }
  return VKErrorBars::computeErrorBars(page, errorBars_.style->tag(), errorBars_.color->color(), errorBars_.barSize->value(),
                                       cropWith);
}

std::shared_ptr<KRDrawingGroup> VKPlotCommand::markersForScale(const KR1DPlotDrawingInfo& record) {
  updateCacheXLinear(record.xIsLinear, record.yIsLinear);
  if (!drawsMarkers() || cachedPoints().empty()) return nullptr;
  const VKLineStyle line = lineStyle_->style();
  VKMarkerLook look;
  look.type = pointStyleTag();
  look.size = pointSizeValue();
  // The outline takes the line's colour and width, so the markers belong to
  // their curve; a fill style other than "Nothing" fills the interior of the
  // outlined shapes with its (first) colour.
  look.lineColor = line.color;
  look.lineWidth = std::isfinite(line.width) && line.width > 0 ? std::min(line.width, 300.0) : 0.5;
  // A solid fill colours the interiors with the markers; hatching, a
  // gradient or noise is laid over the markers' frame first, clipped to the
  // interiors, and the markers go over it.
  const VKFillStyle fill = pointColor_->style();
  if (fill.kind == 2) look.fillColor = fill.color;
  const KRRect region = visibleRegion(record);
  const double reach = look.size / 2 + look.lineWidth;
  const KRRect area = region.insetBy(-reach, -reach);
  const std::vector<KRPoint> page = convertToPoints(cachedPoints(), area, record);
  if (page.empty()) return nullptr;
  // Bitmaps and the screen get stencils stamped on whole pixels of the
  // resolution the drawing is made for; vector outputs get paths.
  const bool allowLayers = !record.destinationIsResolutionIndependent;
  const double pixels = allowLayers ? (record.prepareForScale > 0 ? record.prepareForScale : 1) : 0;
  auto markers = VKMarkers::createPoints(page, look, nullptr, 1, false, allowLayers, region, pixels);
  if (fill.kind == 1 || fill.kind == 2) return markers;
  auto interiors = VKMarkers::createCropForFillPoints(page, look.type, look.size, nullptr, 1, false, region);
  if (!interiors) return markers;
  auto group = KRDrawingGroup::create();
  auto clipped = KRDrawingGroup::create();
  clipped->setCrop(interiors);
  if (auto over = fillOverRectangle(fill, interiors->boundingRectangle())) clipped->addObject(over);
  group->addObject(clipped);
  if (markers) group->addObject(markers);
  return group;
}

std::vector<KRPoint> VKPlotCommand::convertToPoints(const Plot1D& plot) {
  std::vector<KRPoint> points;
  points.reserve(static_cast<std::size_t>(HowManyPoints(plot)));
  for (const Plot1D::Run& run : plot.runs())
    for (long i = run.start; i < run.start + run.length; ++i) points.push_back(plot.point(i));
  return points;
}

std::vector<KRPoint> VKPlotCommand::convertToPoints(const std::vector<KRPoint>& points, const KRRect& cropWith,
                                                    const KR1DPlotDrawingInfo& mapping) {
  const bool all = cropWith.isNull();
  const KRRect area = cropWith.standardized();
  std::vector<KRPoint> page;
  page.reserve(points.size());
  for (const KRPoint& p : points) {
    const KRPoint at = mapping.transform(p);
    if (all || (at.x >= area.minX() && at.x <= area.maxX() && at.y >= area.minY() && at.y <= area.maxY()))
      page.push_back(at);
  }
  return page;
}

bool VKPlotCommand::xUsesDateAxis() const { return selectsDateColumn(xColumn_); }
bool VKPlotCommand::yUsesDateAxis() const { return selectsDateColumn(yColumn_); }
std::string VKPlotCommand::xDateLocale() const { return dateLocaleOfSelection(xColumn_); }
std::string VKPlotCommand::yDateLocale() const { return dateLocaleOfSelection(yColumn_); }

KRRect VKPlotCommand::visibleRegion(const KR1DPlotDrawingInfo& record) const {
  KRRect region = record.graphRegion.standardized();
  const KRBoundingRange crop = crop_->range();
  if (crop.isInvalid()) return region;
  if (!crop.isValid()) return KRRect(region.origin.x, region.origin.y, 0, 0);
  double left = std::isfinite(crop.minR) ? record.transformX(crop.minR) : region.minX();
  double right = std::isfinite(crop.maxR) ? record.transformX(crop.maxR) : region.maxX();
  if (left > right) std::swap(left, right);
  left = std::max(left, region.minX());
  right = std::min(right, region.maxX());
  return KRRect(left, region.minY(), std::max(0.0, right - left), region.size.height);
}

std::vector<PageRun> VKPlotCommand::pageRunsOf(const Plot1D& plot, const KR1DPlotDrawingInfo& record) const {
  std::vector<PageRun> runs;
  for (const auto& run : plot.runs()) {
    PageRun page(static_cast<std::size_t>(run.length));
    for (long i = 0; i < run.length; ++i) page[std::size_t(i)] = record.transform(plot.point(run.start + i));
    runs.push_back(std::move(page));
  }
  return runs;
}

std::vector<PageRun> VKPlotCommand::computePathForScale(const KR1DPlotDrawingInfo& record) {
  updateCacheXLinear(record.xIsLinear, record.yIsLinear);
  PolylineSimplification how;
  how.visible = visibleRegion(record);
  how.margin = std::max(2.0, lineStyle_->style().width);
  how.tolerance = record.destinationIsResolutionIndependent && record.resolutionScale > 0
                      ? 0.1 / record.resolutionScale
                      : 0.1;
  // The points are mapped and thinned in one pass, with no page copy of the
  // whole line; linear axes are mapped here rather than point by point
  // through the record.
  const bool linear = record.xIsLinear && record.yIsLinear;
  std::vector<PageRun> runs;
  for (const auto& run : cachedPlot_.runs()) {
    PageRun kept;
    simplifyPolylineOf(
        run.length,
        [&](long i) {
          const KRPoint p = cachedPlot_.point(run.start + i);
          return linear ? KRPoint{(p.x + record.shiftX) * record.scaleX, (p.y + record.shiftY) * record.scaleY}
                        : record.transform(p);
        },
        how, kept);
    kept.shrink_to_fit();
    runs.push_back(std::move(kept));
  }
  return runs;
}

std::vector<double> VKPlotCommand::splineForScale(const KR1DPlotDrawingInfo& record) {
  updateCacheXLinear(record.xIsLinear, record.yIsLinear);
  std::vector<double> points = smoothAlongY()
                                   ? SplineBezierControlPointsAlongY(cachedSplinePlot_, cachedSecondDerivatives_)
                                   : SplineBezierControlPoints(cachedSplinePlot_, cachedSecondDerivatives_);
  std::size_t at = 0;
  while (at + 1 < points.size()) {
    const long n = static_cast<long>(points[at + 1]);
    for (long k = 1; k <= n; ++k) {
      points[at + 2 * k] = axisToPageX(points[at + 2 * k], record);
      points[at + 2 * k + 1] = axisToPageY(points[at + 2 * k + 1], record);
    }
    at += 2 * static_cast<std::size_t>(n + 1);
  }
  return points;
}

std::vector<PageRun> VKPlotCommand::flattenedSpline(const KR1DPlotDrawingInfo& record,
                                                    std::optional<double> level) const {
  // Work in the spline's own direction: u free, w = spline(u).
  const bool alongY = smoothAlongY();
  const Plot1D work = alongY ? swapXYInResult(cachedSplinePlot_) : cachedSplinePlot_;
  const auto toPage = [&](double u, double w) {
    return alongY ? KRPoint{axisToPageX(w, record), axisToPageY(u, record)}
                  : KRPoint{axisToPageX(u, record), axisToPageY(w, record)};
  };
  std::vector<PageRun> runs;
  for (const auto& run : work.runs()) {
    PageRun page;
    page.push_back(toPage(work.x(run.start), work.y(run.start)));
    for (long i = run.start; i + 1 < run.start + run.length; ++i) {
      const double u0 = work.x(i), u1 = work.x(i + 1);
      std::vector<double> ts;
      for (int k = 1; k < kFlatteningSteps; ++k) ts.push_back(double(k) / kFlatteningSteps);
      if (level && run.length > 2) {
        std::array<double, 3> roots{};
        const double h = u1 - u0;
        const int count = FindCubicRoots(work.y(i) - *level, work.y(i + 1) - *level,
                                         cachedSecondDerivatives_.y(i) * h * h,
                                         cachedSecondDerivatives_.y(i + 1) * h * h, roots);
        for (int k = 0; k < count; ++k)
          if (roots[k] > 0 && roots[k] < 1) ts.push_back(roots[k]);
        std::sort(ts.begin(), ts.end());
      }
      for (double t : ts) {
        const double w = run.length > 2 ? SplineValueOnSegment(work, cachedSecondDerivatives_, i, t)
                                        : work.y(i) + t * (work.y(i + 1) - work.y(i));
        // Crossings land exactly on the level, so the fill splits there.
        const bool isRoot = level && std::fabs(w - *level) < 1e-9 * (1 + std::fabs(*level));
        page.push_back(toPage(u0 + t * (u1 - u0), isRoot ? *level : w));
      }
      page.push_back(toPage(u1, work.y(i + 1)));
    }
    runs.push_back(std::move(page));
  }
  return runs;
}

const Plot1D& VKPlotCommand::updateFillBetweenXLinear(bool xLinear, bool yLinear) {
  auto yColumn = betweenY_->column();
  auto xColumn = betweenX_->hasSelection() ? betweenX_->column() : xColumn_->column();
  const std::int32_t serialY = yColumn ? yColumn->serialNumber() : -1;
  const std::int32_t serialX = xColumn ? xColumn->serialNumber() : -1;
  if (fillBetweenValid_ && serialY == serialFillTo_ && serialX == serialFillToX_ && xLinear == fillXLinear_ &&
      yLinear == fillYLinear_)
    return cachedFilledPath_;
  fillBetweenValid_ = true;
  serialFillTo_ = serialY;
  serialFillToX_ = serialX;
  fillXLinear_ = xLinear;
  fillYLinear_ = yLinear;
  cachedFilledPath_ = Plot1D();
  fillBetweenRange_ = KRBoundingRange::invalid();
  if (!yColumn || !xColumn || !yColumn->isNumberColumn() || !xColumn->isNumberColumn()) return cachedFilledPath_;
  const bool xIsRowNumber = xColumn->isRowNumberColumn();
  const long rows = xIsRowNumber ? yColumn->howManyEntries()
                                 : std::min(yColumn->howManyEntries(), xColumn->howManyEntries());
  const bool bridge = bridgesGaps();
  double low = INFINITY, high = -INFINITY;
  for (long r = 0; r < rows; ++r) {
    const double x = xIsRowNumber ? double(r + 1) : xColumn->valueAtRow(r);
    const double y = yColumn->valueAtRow(r);
    const bool valid = std::isfinite(x) && std::isfinite(y) && (xLinear || x > 0) && (yLinear || y > 0);
    if (!valid) {
      if (!bridge) cachedFilledPath_.endRun();
      continue;
    }
    cachedFilledPath_.addPoint(x, y);
    low = std::min(low, y);
    high = std::max(high, y);
  }
  cachedFilledPath_.endRun();
  if (low <= high) fillBetweenRange_ = KRBoundingRange::between(low, high);
  return cachedFilledPath_;
}

std::optional<std::vector<PageRun>> VKPlotCommand::betweenRuns(const KR1DPlotDrawingInfo& record) {
  // Its y values belong to the y axis "Between Which Axis" names.
  const KR1DPlotDrawingInfo& yRecord = betweenRecord(record);
  const Plot1D& curve = updateFillBetweenXLinear(record.xIsLinear, yRecord.yIsLinear);
  if (curve.isEmpty()) return std::nullopt;
  std::vector<PageRun> runs;
  for (const Plot1D::Run& run : curve.runs()) {
    runs.emplace_back();
    runs.back().reserve(static_cast<std::size_t>(run.length));
    for (long i = run.start; i < run.start + run.length; ++i)
      runs.back().push_back({record.transformX(curve.x(i)), yRecord.transformY(curve.y(i))});
  }
  return runs;
}

std::optional<std::vector<PageRun>> VKPlotCommand::fillLoopsForScale(const KR1DPlotDrawingInfo& record) {
  updateCacheXLinear(record.xIsLinear, record.yIsLinear);
  if (cachedPlot_.isEmpty()) return std::vector<PageRun>{};
  const int method = fillMethodTag();
  const KRRect region = record.graphRegion.standardized();
  const bool inX = method > 9;
  const bool smooth = connection() == kSmooth;
  // The reference line on the page.
  double reference = 0;
  FillSide side = FillSide::Both;
  switch (method) {
    case kToZeroY: reference = record.transformY(0); break;
    case kToBottom: reference = region.minY(); break;
    case kToTop: reference = region.maxY(); break;
    case kAboveZeroY: reference = record.transformY(0); side = FillSide::Above; break;
    case kBelowZeroY: reference = record.transformY(0); side = FillSide::Below; break;
    case kToZeroX: reference = record.transformX(0); break;
    case kToLeft: reference = region.minX(); break;
    case kToRight: reference = region.maxX(); break;
    default: break;
  }
  if (method == kCloseRuns || method == kBetweenY || method == kBetweenX) {
    const std::vector<PageRun> curve = smooth ? flattenedSpline(record, std::nullopt) : pageRunsOf(cachedPlot_, record);
    if (method == kCloseRuns) return closeEachRun(curve);
    auto other = betweenRuns(record);
    if (!other) {
      KRMessageCenter::addMessage(text::kSplitFailed);
      return std::nullopt;
    }
    return closeBetween(curve, *other);
  }
  std::optional<double> level;
  if (smooth) level = inX ? pageToAxisX(reference, record) : pageToAxisY(reference, record);
  const std::vector<PageRun> curve = smooth ? flattenedSpline(record, level) : pageRunsOf(cachedPlot_, record);
  if (!std::isfinite(reference)) {
    KRMessageCenter::addMessage(text::kSplitFailed);
    return std::nullopt;
  }
  return inX ? separateAndCloseX(curve, reference, side) : separateAndCloseY(curve, reference, side);
}

std::shared_ptr<KRDrawingGroup> VKPlotCommand::fillDrawing(const std::vector<PageRun>& loops,
                                                           const KR1DPlotDrawingInfo& record) const {
  (void)record;
  auto group = KRDrawingGroup::create();
  if (loops.empty()) return group;
  const VKFillStyle style = fill_->style();
  auto path = KRDrawingPathFromObj::createFromPath(KRContainerPath2D::createWithLoops(loops));
  if (!path) return group;
  if (style.kind == 2) {
    path->setFillCurve(true);
    path->setStyle(KRDrawingStyleCurve::color(style.color, true));
    group->addObject(path);
    return group;
  }
  // Patterns, gradients and noise are drawn over the region's frame and
  // clipped to the region.
  const KRRect frame = path->boundingRectangle();
  auto clipped = KRDrawingGroup::create();
  clipped->setCrop(path);
  if (auto fill = fillOverRectangle(style, frame)) clipped->addObject(fill);
  group->addObject(clipped);
  return group;
}

void VKPlotCommand::addLine(KRDrawingGroup& group, const KR1DPlotDrawingInfo& record) {
  const VKLineStyle line = lineStyle_->style();
  auto style = KRDrawingStyleCurve::createWithColor(line.color, line.width);
  const std::vector<float> dashes = dashPatternForTag(line.tag);
  if (!dashes.empty()) {
    std::vector<float> scaled(dashes);
    for (float& d : scaled) d *= float(std::max(1.0, line.width));
    style->setDashPattern(scaled.data(), int(scaled.size()), 0);
  }
  if (connection() == kSmooth) {
    style->changeLineJoin(KRLineJoin::Round);
    if (auto curve = KRDrawingCubicBezier::createWithArray(twoRowArray(splineForScale(record)))) {
      curve->setStyle(style);
      group.addObject(curve);
    }
    return;
  }
  const long runs = HowManySegments(cachedPlot_);
  const bool apart = runs >= 2 && runs <= kMostRunsDrawnApart && HowManyPoints(cachedPlot_) > kPointsToDrawRunsApart;
  const std::vector<PageRun> page = withinPathLimits(computePathForScale(record));
  // Round joins look best, but a rasterizer spends far longer on them; dense
  // lines, whose joins cannot be told apart, keep the plain ones.
  std::size_t drawn = 0;
  for (const auto& run : page) drawn += run.size();
  if (drawn <= kMostPointsWithRoundJoins) style->changeLineJoin(KRLineJoin::Round);
  const auto add = [&](std::size_t from, std::size_t to) {
    if (auto path = pathOf(page, from, to)) {
      path->setStyle(style);
      group.addObject(path);
    }
  };
  if (apart) {
    for (std::size_t k = 0; k < page.size(); ++k) add(k, k + 1);
  } else {
    for (const auto& [from, to] : pathBatches(page)) add(from, to);
  }
}

std::vector<std::string> VKPlotCommand::labelsFor(const std::vector<long>& rows) const {
  std::vector<std::string> labels(rows.size());
  auto column = labels_->column();
  if (!column) return labels;
  const KRNumberFormatter formatter = labelFormatter_->formatter();
  const long entries = column->howManyEntries();
  const bool numbers = column->isNumberColumn();
  for (std::size_t k = 0; k < rows.size(); ++k) {
    const long row = rows[k];
    if (row < 0 || row >= entries) continue;
    if (numbers) {
      const double value = column->valueAtRow(row);
      if (std::isfinite(value)) labels[k] = formatter.convertNumber(value);
    } else {
      labels[k] = column->stringVersionForRow(row);
    }
  }
  return labels;
}

std::shared_ptr<KRDrawingGroup> VKPlotCommand::labelsForScale(const KR1DPlotDrawingInfo& record) {
  updateCacheXLinear(record.xIsLinear, record.yIsLinear);
  auto group = KRDrawingGroup::create();
  if (!labels_->column()) return group;
  auto style = drawingFont(labelFont_->style());
  KRPoint shift{2, 0};
  if (auto offset = labelsOffset_->point(); offset && std::isfinite(offset->x) && std::isfinite(offset->y))
    shift = *offset;
  const KRRect region = visibleRegion(record);
  const std::vector<KRPoint>& points = cachedPoints();
  const std::vector<long>& rows = cachedRows();
  std::vector<KRPoint> shown;
  std::vector<long> shownRows;
  for (std::size_t k = 0; k < points.size(); ++k) {
    const KRPoint at = record.transform(points[k]);
    if (!region.contains(at)) continue;
    shown.push_back(at);
    shownRows.push_back(rows[k]);
  }
  const std::vector<std::string> labels = labelsFor(shownRows);
  for (std::size_t k = 0; k < shown.size(); ++k) {
    if (labels[k].empty()) continue;
    group->addObject(KRDrawingText::string(labels[k], {shown[k].x + shift.x, shown[k].y + shift.y}, style,
                                           KRDrawingText::Left, KRDrawingText::VCenter));
  }
  return group;
}

std::vector<KRRect> VKPlotCommand::pointMarksOnPage(const KR1DPlotDrawingInfo& record) {
  std::vector<KRRect> marks;
  const bool markers = drawsMarkers();
  if (!markers && !drawsErrorBars()) return marks;
  const double reach = markers ? pointSizeValue() / 2 + std::max(0.0, lineStyle_->style().width) : 0;
  const std::vector<VKErrorBars::Bar> bars = updateErrorBars();
  const auto widen = [](double& low, double& high, double end) {
    if (!std::isfinite(end)) return;
    low = std::min(low, end);
    high = std::max(high, end);
  };
  const std::vector<KRPoint>& points = cachedPoints();
  for (std::size_t k = 0; k < points.size(); ++k) {
    const KRPoint at = record.transform(points[k]);
    double minX = at.x - reach, maxX = at.x + reach, minY = at.y - reach, maxY = at.y + reach;
    if (k < bars.size()) {
      const auto& bar = bars[k];
      const auto pageX = [&](double v) { return std::isnan(v) || (!record.xIsLinear && v <= 0) ? kNaN : record.transformX(v); };
      const auto pageY = [&](double v) { return std::isnan(v) || (!record.yIsLinear && v <= 0) ? kNaN : record.transformY(v); };
      widen(minX, maxX, pageX(bar.xLow));
      widen(minX, maxX, pageX(bar.xHigh));
      widen(minY, maxY, pageY(bar.yLow));
      widen(minY, maxY, pageY(bar.yHigh));
    }
    if (std::isfinite(minX) && std::isfinite(minY)) marks.emplace_back(minX, minY, maxX - minX, maxY - minY);
  }
  return marks;
}

void VKPlotCommand::addInlineLegend(KRDrawingGroup& group, const KR1DPlotDrawingInfo& record,
                                    const std::vector<PageRun>& line) {
  const std::string label = legendText();
  if (label.empty()) return;
  const KRRect region = visibleRegion(record);
  const bool atEnd = legendPositionTag() == kInlineAtEnd;
  // The last (or first) point of the line inside the region.
  std::optional<KRPoint> anchor;
  if (atEnd) {
    for (auto run = line.rbegin(); run != line.rend() && !anchor; ++run)
      for (auto p = run->rbegin(); p != run->rend(); ++p)
        if (region.contains(*p)) {
          anchor = *p;
          break;
        }
  } else {
    for (auto run = line.begin(); run != line.end() && !anchor; ++run)
      for (auto p = run->begin(); p != run->end(); ++p)
        if (region.contains(*p)) {
          anchor = *p;
          break;
        }
  }
  if (!anchor) return;
  // The inline legend takes the line's colour.
  auto style = drawingFont(labelFont_->style());
  style->setColor(lineStyle_->style().color);
  const KRSize size = KRDrawingText::sizeOfString(label, *style);
  constexpr double gap = 4;
  // The markers and error bars at the points, which the text keeps clear of
  // as it does of the line.
  const std::vector<KRRect> marks = pointMarksOnPage(record);
  // Beyond the end of the line, in its direction, past the marks beside the
  // end, when there is room.
  double start = atEnd ? anchor->x + gap : anchor->x - gap;
  for (bool moved = true; moved;) {
    moved = false;
    for (const KRRect& mark : marks) {
      const double textFrom = atEnd ? start : start - size.width, textTo = atEnd ? start + size.width : start;
      const bool overlaps = mark.maxX() >= textFrom && mark.minX() <= textTo &&
                            mark.maxY() >= anchor->y - size.height / 2 && mark.minY() <= anchor->y + size.height / 2;
      if (!overlaps) continue;
      start = atEnd ? mark.maxX() + gap : mark.minX() - gap;
      moved = true;
    }
  }
  if (atEnd ? start + size.width <= region.maxX() : start - size.width >= region.minX()) {
    group.addObject(KRDrawingText::string(label, {start, anchor->y}, style,
                                          atEnd ? KRDrawingText::Left : KRDrawingText::Right, KRDrawingText::VCenter));
    return;
  }
  // Otherwise over the last stretch of the line, clear of it: above the
  // highest point under the text, or below the lowest when there is no room
  // above.
  const double from = atEnd ? anchor->x - size.width : anchor->x;
  const double to = atEnd ? anchor->x : anchor->x + size.width;
  double highest = anchor->y, lowest = anchor->y;
  for (const auto& run : line)
    for (std::size_t k = 0; k < run.size(); ++k) {
      const KRPoint p = run[k];
      if (p.x < from || p.x > to || !region.contains(p)) continue;
      highest = std::max(highest, p.y);
      lowest = std::min(lowest, p.y);
    }
  for (const KRRect& mark : marks) {
    if (mark.maxX() < from || mark.minX() > to) continue;
    highest = std::max(highest, std::min(mark.maxY(), region.maxY()));
    lowest = std::min(lowest, std::max(mark.minY(), region.minY()));
  }
  const bool above = highest + gap + size.height <= region.maxY() || lowest - gap - size.height < region.minY();
  const KRPoint at{anchor->x, above ? highest + gap : lowest - gap};
  group.addObject(KRDrawingText::string(label, at, style, atEnd ? KRDrawingText::Right : KRDrawingText::Left,
                                        above ? KRDrawingText::Bottom : KRDrawingText::Top));
}

std::shared_ptr<KRDrawingGroup> VKPlotCommand::plotForScale(const KR1DPlotDrawingInfo& record) {
  updateCacheXLinear(record.xIsLinear, record.yIsLinear);
  auto group = KRDrawingGroup::create();
  group->setDescriptionString(text::kGroupDescription);
  const bool nothing = !drawsLine() && !drawsMarkers() && !drawsFill() && !drawsLabels();
  std::optional<std::string> problem;
  if (nothing) problem = std::string(text::kNothingDrawn);
  // An error column without a single number draws no bars; say so.
  if (!problem && drawsErrorBars())
    for (const auto* selector : {&errorBars_.negX, &errorBars_.posX, &errorBars_.negY, &errorBars_.posY}) {
      auto column = (*selector)->column();
      if (!column || cachedRows().empty()) continue;
      const auto values = VKErrorBars::valuesAtRows(column, cachedRows());
      if (std::none_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); })) {
        problem = formatText(points_text::kNoNumbers, column->name());
        break;
      }
    }
  if (problem)
    setErrorExplanation(problem);
  else if (const auto shown = errorExplanation();
           shown && (*shown == text::kNothingDrawn || shownErrorColumnProblem_ == shown))
    setErrorExplanation(std::nullopt);
  shownErrorColumnProblem_ = nothing ? std::nullopt : problem;
  if (cachedPlot_.isEmpty()) return group;

  if (!crop_->range().isInvalid())
    group->setCrop(KRDrawingPathRectangle::createWithRect(visibleRegion(record)));
  if (drawsFill())
    if (auto loops = fillLoopsForScale(record)) group->addObject(fillDrawing(*loops, record));
  if (drawsLine()) addLine(*group, record);
  // Error bars over the line, markers over both.
  if (drawsErrorBars())
    if (auto bars = computeErrorBars(record, visibleRegion(record))) group->addObject(bars);
  if (auto markers = markersForScale(record)) group->addObject(markers);
  if (drawsLabels()) group->addObject(labelsForScale(record));
  if (legendPositionTag() != kInLegend)
    addInlineLegend(*group, record, connection() == kSmooth ? flattenedSpline(record, std::nullopt)
                                                            : pageRunsOf(cachedPlot_, record));
  return group;
}

std::shared_ptr<KRDrawingGroup> VKPlotCommand::computeDrawingObjectForScale(const KR1DPlotDrawingInfo& record,
                                                                            KRDrawingInformation& information) {
  (void)information;
  return plotForScale(record);
}

std::vector<KR1DPlotDrawingInfo> VKPlotCommand::otherScalingsForScale(const KR1DPlotDrawingInfo& record) const {
  if (!drawsFill() || fillMethodTag() != kBetweenY || !betweenY_->hasSelection()) return {};
  const KR1DPlotDrawingInfo& other = betweenRecord(record);
  if (&other == &record) return {};
  return {other};
}

std::shared_ptr<KRDrawingPath> VKPlotCommand::computeCroppingPathForScale(const KR1DPlotDrawingInfo& record) {
  auto loops = fillLoopsForScale(record);
  if (!loops) return nullptr;
  return KRDrawingPathFromObj::createFromPath(KRContainerPath2D::createWithLoops(*loops));
}

std::optional<PlistDictionary> VKPlotCommand::performHitTest(KRPoint point, const KR1DPlotDrawingInfo& record) {
  updateCacheXLinear(record.xIsLinear, record.yIsLinear);
  if (cachedPoints().empty()) return std::nullopt;
  std::vector<long> rowsHit;
  double closest = std::numeric_limits<double>::infinity();
  std::size_t closestIndex = 0;
  const std::vector<KRPoint>& points = cachedPoints();
  for (std::size_t k = 0; k < points.size(); ++k) {
    const KRPoint at = record.transform(points[k]);
    const double distance = std::hypot(at.x - point.x, at.y - point.y);
    if (distance <= kPointHitDistance) rowsHit.push_back(cachedRows()[k]);
    if (distance < closest) {
      closest = distance;
      closestIndex = k;
    }
  }
  PlistDictionary result;
  if (!rowsHit.empty()) {
    result["Hits a Point"] = PropertyList(true);
  } else {
    if (!drawsLine()) return std::nullopt;
    const std::vector<PageRun> line =
        connection() == kSmooth ? flattenedSpline(record, std::nullopt) : computePathForScale(record);
    bool hit = false;
    for (const auto& run : line) {
      for (std::size_t k = 0; k + 1 < run.size() && !hit; ++k)
        hit = pageDistanceToSegment(point, run[k], run[k + 1]) <= kLineHitDistance;
      if (run.size() == 1) hit = hit || std::hypot(point.x - run[0].x, point.y - run[0].y) <= kLineHitDistance;
      if (hit) break;
    }
    if (!hit) return std::nullopt;
    result["Hits a Line"] = PropertyList(true);
  }
  PlistArray pointsHit;
  pointsHit.reserve(rowsHit.size());
  for (long row : rowsHit) pointsHit.emplace_back(std::int64_t(row));
  result["Points Hit"] = PropertyList(std::move(pointsHit));
  result["Closest X"] = PropertyList(points[closestIndex].x);
  result["Closest Y"] = PropertyList(points[closestIndex].y);
  result["Row Index"] = PropertyList(std::int64_t(cachedRows()[closestIndex]));
  return result;
}

std::optional<double> VKPlotCommand::plotValueAtXLocation(double x) {
  updateCacheXLinear(xIsLinear_, yIsLinear_);
  if (connection() == kSmooth && !smoothAlongY()) {
    // The spline pieces run in the axes' space.
    const double u = xIsLinear_ ? x : (x > 0 ? std::log(x) : kNaN);
    for (const auto& run : cachedSplinePlot_.runs())
      for (long i = run.start; i + 1 < run.start + run.length; ++i) {
        const double u0 = cachedSplinePlot_.x(i), u1 = cachedSplinePlot_.x(i + 1);
        if (!(u >= u0 && u <= u1)) continue;
        const double t = u1 > u0 ? (u - u0) / (u1 - u0) : 0;
        const double w = run.length > 2 ? SplineValueOnSegment(cachedSplinePlot_, cachedSecondDerivatives_, i, t)
                                        : cachedSplinePlot_.y(i) + t * (cachedSplinePlot_.y(i + 1) - cachedSplinePlot_.y(i));
        return yIsLinear_ ? w : std::exp(w);
      }
    return std::nullopt;
  }
  for (const auto& run : cachedPlot_.runs()) {
    if (run.length == 1 && cachedPlot_.x(run.start) == x) return cachedPlot_.y(run.start);
    for (long i = run.start; i + 1 < run.start + run.length; ++i) {
      const double x0 = cachedPlot_.x(i), x1 = cachedPlot_.x(i + 1);
      if (!(x >= std::min(x0, x1) && x <= std::max(x0, x1))) continue;
      if (x0 == x1) return cachedPlot_.y(i);
      const double t = (x - x0) / (x1 - x0);
      return cachedPlot_.y(i) + t * (cachedPlot_.y(i + 1) - cachedPlot_.y(i));
    }
  }
  return std::nullopt;
}

void registerPlotCommandKind(VKCommandFactory& factory) {
  factory.registerKind(text::kPlotType, [] { return std::make_shared<VKPlotCommand>(); });
}

}  // namespace orrelin
