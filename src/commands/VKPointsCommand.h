#pragma once
// The scatter command ("Scatter"): one marker per row at (x, y), with
// per-row sizes from a column, per-row line colour, fill colour and marker
// shape from columns through schemes, error bars, labels and a row mask.
//
// The rows are prepared once per change of the inputs (cachedPoints keeps
// each point's row, so sizes, labels and scheme values are looked up by row)
// and drawn for each scaling record. docs/commands-points.md is the settings
// reference.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "commands/ErrorBars.h"
#include "commands/Markers.h"
#include "commands/Schemes.h"
#include "graph/commandbase/InputControllers.h"
#include "graph/commandbase/VKDrawingCommand.h"

namespace orrelin {

class VKPointsCommand : public VKDrawingCommand, public VKErrorBarSettingsOwner {
 public:
  // "Point Size Type": how the size column is read.
  enum SizeType { kSizeDiameter = 1, kSizeRadius = 2, kSizeArea = 3 };
  // "Labels Rotation".
  enum LabelRotation { kLabelHorizontal = 1, kLabelUp = 2, kLabelDown = 3, kLabelDiagonalUp = 4, kLabelDiagonalDown = 5 };

  struct CachedPoint {
    double x;
    double y;
    long row;
  };

  VKPointsCommand() : VKDrawingCommand(true) {}

  std::string type() const override;
  void finishConnections() override;
  // Also reads the older mask keys and "Point Color Usage".
  void fillFromPropertyList(const PropertyList& list) override;
  std::string legendName() const override;
  bool partOfLegend() const override { return true; }

  // ---- Values of the settings
  // "Point Size": no number 5, not finite or exactly 0 gives 4, above 300 gives 300.
  double pointSizeValue() const;
  // "Point Line Width": no number, not finite or negative gives 0.5, above 300 gives 300.
  double theLineWidth() const;
  bool variesSize() const { return pointSizeColumn_->hasSelection(); }
  bool variesColor() const { return colorVariable_->hasSelection(); }
  bool usesMask() const { return mask_->isDefined(); }
  bool drawsErrorBars() const;
  // The column bound to a scheme setting; none for another setting.
  std::shared_ptr<VKColumnSelector> columnUsedWithScheme(const VKSchemeSelector* scheme) const;

  // ---- Prepared rows
  // Brings cachedPoints up to date when an input changed since last time.
  void updateCacheXLinear(bool xLinear, bool yLinear);
  const std::vector<CachedPoint>& cachedPoints() const { return cachedPoints_; }
  bool somethingChanged() const override;
  void updateIfNeeded() override { updateCacheXLinear(xIsLinear_, yIsLinear_); }

  // ---- Drawing and ranges
  std::shared_ptr<KRDrawingGroup> computeDrawingObjectForScale(const KR1DPlotDrawingInfo& record,
                                                               KRDrawingInformation& information) override;
  std::shared_ptr<KRDrawingGroup> pointsForScale(const KR1DPlotDrawingInfo& record);
  std::shared_ptr<KRDrawingGroup> labelsForScale(const KR1DPlotDrawingInfo& record,
                                                 const std::vector<std::size_t>& shown,
                                                 const std::vector<KRPoint>& page);
  KRBoundingRange domainRangeXLinear(bool xLinear, bool yLinear) override;
  KRBoundingRange valueRangeXLinear(bool xLinear, bool yLinear) override;
  bool requiresXFloatAxis() const override;
  // Date columns put their axes in date form, in their language.
  bool xUsesDateAxis() const override;
  bool yUsesDateAxis() const override;
  std::string xDateLocale() const override;
  std::string yDateLocale() const override;

  // The error bars of the prepared points in data units, one per point.
  struct DataBar {
    double xLow = NAN, xHigh = NAN, yLow = NAN, yHigh = NAN;
  };
  std::vector<DataBar> updateErrorBars();
  // The error bars on the page, cut to cropWith (no cut for the null
  // rectangle); an end a logarithmic axis cannot show has no bar. Null when
  // there is nothing to draw.
  std::shared_ptr<KRDrawingGroup> computeErrorBars(const KR1DPlotDrawingInfo& record, const KRRect& cropWith);

  // ---- Class operations shared with the plot command
  static bool typeHasFill(int type) { return VKMarkers::typeHasFill(type); }
  // The points that land inside crop (grown by margin) mapped to the page,
  // with their positions in points.
  struct Mapped {
    std::vector<KRPoint> page;
    std::vector<std::size_t> index;
  };
  static Mapped mapPoints(const std::vector<CachedPoint>& points, const KRRect& crop, double margin,
                          const KR1DPlotDrawingInfo& mapping);

  // ---- Hit testing and the context menu
  // "Hits a Point", "Points Hit", "Closest X", "Closest Y", "Row Index" for a
  // click on a marker (within its radius, at least 3 points); none otherwise.
  std::optional<PlistDictionary> hitTest(KRPoint page, const KR1DPlotDrawingInfo& record);
  std::vector<std::string> contextMenuItems() const;
  // Rows (from 0) the command draws: every prepared point's row.
  std::vector<long> rowsIncluded();
  std::vector<long> selectUsedRows() { return rowsIncluded(); }
  std::vector<long> rowsInsideXRange(const KRBoundingRange& xRange, const KRBoundingRange& yRange);
  // The rows whose points lie in the page rectangle of the last scaling record.
  std::optional<std::vector<long>> rowsDisplayedInRect(const KRRect& rect) const override;
  std::vector<long> selectRowsInRange(const KRBoundingRange& xRange, const KRBoundingRange& yRange) {
    return rowsInsideXRange(xRange, yRange);
  }
  // The row of the marker under a click; none when no marker is there.
  std::optional<long> selectedClickedPoint(KRPoint page, const KR1DPlotDrawingInfo& record);
  // One marker as the command draws it, on its own ("Copy Marker").
  std::shared_ptr<KRDrawingGroup> copyMarker() const;

  // ---- Settings
  const std::shared_ptr<VKColumnSelector>& xColumn() const { return xColumn_; }
  const std::shared_ptr<VKColumnSelector>& yColumn() const { return yColumn_; }
  const std::shared_ptr<VKNumberInputController>& defaultX() const { return defaultX_; }
  const std::shared_ptr<VKNumberInputController>& defaultY() const { return defaultY_; }
  const std::shared_ptr<VKMenuInputController>& pointStyle() const { return pointStyle_; }
  const std::shared_ptr<VKNumberInputController>& pointSize() const { return pointSize_; }
  const std::shared_ptr<VKColorInputController>& pointColor() const { return pointColor_; }
  const std::shared_ptr<VKNumberInputController>& pointSizeScale() const { return pointSizeScale_; }
  const std::shared_ptr<VKColumnSelector>& pointSizeColumn() const { return pointSizeColumn_; }
  const std::shared_ptr<VKMenuInputController>& pointSizeType() const { return pointSizeType_; }
  const std::shared_ptr<VKNumberFormatController>& labelFormatter() const { return labelFormatter_; }
  const std::shared_ptr<VKColumnSelector>& labels() const { return labels_; }
  const std::shared_ptr<VKPointInputController>& labelsOffset() const { return labelsOffset_; }
  const std::shared_ptr<VKMenuInputController>& labelRotation() const { return labelRotation_; }
  const std::shared_ptr<VKFontStyleInputController>& labelFont() const { return labelFont_; }
  const std::shared_ptr<VKNumberInputController>& lineWidth() const { return lineWidth_; }
  const std::shared_ptr<VKColorInputController>& fillColor() const { return fillColor_; }
  const std::shared_ptr<VKColumnSelector>& colorVariable() const { return colorVariable_; }
  const std::shared_ptr<VKSchemeSelector>& colorScheme() const { return colorScheme_; }
  const std::shared_ptr<VKColumnSelector>& fillVariable() const { return fillVariable_; }
  const std::shared_ptr<VKSchemeSelector>& fillScheme() const { return fillScheme_; }
  const std::shared_ptr<VKColumnSelector>& markerVariable() const { return markerVariable_; }
  const std::shared_ptr<VKSchemeSelector>& markerScheme() const { return markerScheme_; }
  const std::shared_ptr<VKMaskInputController>& mask() const { return mask_; }
  const std::shared_ptr<VKTokenTextController>& legend() const { return legend_; }

  static const std::vector<VKMenuEntry>& sizeTypeMenu();
  static const std::vector<VKMenuEntry>& labelRotationMenu();
  static const std::vector<VKMenuEntry>& labelFontMenu();
  static double labelRotationDegrees(int tag);

 private:
  struct InputKey {
    std::vector<std::int64_t> serials;
    std::int32_t changeCount = -1;
    bool operator==(const InputKey&) const = default;
  };
  InputKey currentInputKey() const;
  // The row mask: one flag per row, true to keep; none when it could not be computed.
  std::optional<std::vector<bool>> computeMask(long rows) const;
  // The values of a column for the rows of the prepared points (NaN where
  // the column has none); empty without a column.
  std::vector<double> valuesForPoints(const std::shared_ptr<VKColumnSelector>& selector) const;
  std::vector<VKSchemeValue> schemeValuesForPoints(const std::shared_ptr<VKColumnSelector>& selector) const;
  // The marker radius of each shown point, for hit tests and bounds.
  double markerReach() const;

  std::shared_ptr<VKColumnSelector> xColumn_, yColumn_;
  std::shared_ptr<VKNumberInputController> defaultX_, defaultY_;
  std::shared_ptr<VKMenuInputController> pointStyle_;
  std::shared_ptr<VKNumberInputController> pointSize_;
  std::shared_ptr<VKColorInputController> pointColor_;
  std::shared_ptr<VKTokenTextController> legend_;
  std::shared_ptr<VKNumberInputController> pointSizeScale_;
  std::shared_ptr<VKColumnSelector> pointSizeColumn_;
  std::shared_ptr<VKMenuInputController> pointSizeType_;
  std::shared_ptr<VKNumberFormatController> labelFormatter_;
  std::shared_ptr<VKColumnSelector> labels_;
  std::shared_ptr<VKPointInputController> labelsOffset_;
  std::shared_ptr<VKMenuInputController> labelRotation_;
  std::shared_ptr<VKFontStyleInputController> labelFont_;
  std::shared_ptr<VKNumberInputController> lineWidth_;
  std::shared_ptr<VKColorInputController> fillColor_;
  std::shared_ptr<VKColumnSelector> colorVariable_, fillVariable_, markerVariable_;
  std::shared_ptr<VKSchemeSelector> colorScheme_, fillScheme_, markerScheme_;
  std::shared_ptr<VKMaskInputController> mask_;

  InputKey cachedKey_;
  std::vector<CachedPoint> cachedPoints_;
  bool xIsLinear_ = true, yIsLinear_ = true;
  // Why the prepared rows are fewer than asked for; none when all is well.
  std::optional<std::string> dataProblem_;
  std::shared_ptr<const KR1DPlotDrawingInfo> lastRecordForRows_;
};

class VKCommandFactory;
// Makes the factory create VKPointsCommand for "Scatter".
void registerPointsCommandKind(VKCommandFactory& factory);

}  // namespace orrelin
