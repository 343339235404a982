#include "commands/VKPointsCommand.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "commands/ColumnDates.h"
#include "commands/LegendText.h"
#include "commands/OlderSettings.h"
#include "commands/PointsTexts.h"
#include "drawing/KRDrawingText.h"
#include "expression/KRExpression.h"
#include "graph/commandbase/CommandDocument.h"
#include "graph/commandbase/TextFormat.h"
#include "graph/commandbase/VKCommandFactory.h"
#include "numeric/KRDoubleArrayContainer.h"
#include "numeric/KRUCharArrayContainer.h"
#include "table/OrrelinColumn.h"

namespace orrelin {

namespace text = points_text;

namespace {

constexpr double kLargestSize = 300;
constexpr double kDefaultLineWidth = 0.5;
// A click this close to a marker's centre hits it, however small the marker.
constexpr double kSmallestHitRadius = 3;

// The values of a column over rows rows: its numbers where it includes the
// row, NaN elsewhere. The row-number column numbers every row from 1.
std::vector<double> columnValues(const std::shared_ptr<OrrelinColumn>& column, long rows) {
  std::vector<double> values(static_cast<std::size_t>(std::max(rows, 0L)), NAN);
  if (!column) return values;
  if (column->isRowNumberColumn()) {
    for (long r = 0; r < rows; ++r) values[static_cast<std::size_t>(r)] = static_cast<double>(r + 1);
    return values;
  }
  auto numbers = column->numberVersion();
  auto included = column->whichAreIncluded();
  const long usable = std::min({rows, numbers ? numbers->length() : 0L, included ? included->length() : 0L});
  if (usable <= 0) return values;
  const double* v = numbers->constDoublePointer();
  const unsigned char* keep = included->constPointer();
  for (long r = 0; r < usable; ++r)
    if (keep[r]) values[static_cast<std::size_t>(r)] = v[r];
  return values;
}

long rowsOf(const std::shared_ptr<OrrelinColumn>& column) {
  if (!column || column->isRowNumberColumn()) return -1;
  return column->howManyEntries();
}

}  // namespace

std::string VKPointsCommand::type() const { return text::kType; }

void registerPointsCommandKind(VKCommandFactory& factory) {
  factory.registerKind(text::kType, [] { return std::make_shared<VKPointsCommand>(); });
}

void VKPointsCommand::fillFromPropertyList(const PropertyList& list) {
  if (!list.isDictionary()) {
    VKDrawingCommand::fillFromPropertyList(list);
    return;
  }
  PropertyList converted = list;
  convertOlderMask(converted.dictionary());
  convertOlderColorUsage(converted.dictionary());
  VKDrawingCommand::fillFromPropertyList(converted);
}

const std::vector<VKMenuEntry>& VKPointsCommand::sizeTypeMenu() {
  static const std::vector<VKMenuEntry> menu = {{1, "Diameter"}, {2, "Radius"}, {3, "Area"}};
  return menu;
}

const std::vector<VKMenuEntry>& VKPointsCommand::labelRotationMenu() {
  static const std::vector<VKMenuEntry> menu = {
      {1, "Horizontal"}, {2, "Up"}, {3, "Down"}, {4, "Diagonal Up"}, {5, "Diagonal Down"}};
  return menu;
}

double VKPointsCommand::labelRotationDegrees(int tag) {
  switch (tag) {
    case kLabelUp: return 90;
    case kLabelDown: return -90;
    case kLabelDiagonalUp: return 45;
    case kLabelDiagonalDown: return -45;
    default: return 0;
  }
}

void VKPointsCommand::finishConnections() {
  xColumn_ = std::make_shared<VKColumnSelector>(true);
  defaultX_ = std::make_shared<VKNumberInputController>("1");
  yColumn_ = std::make_shared<VKColumnSelector>(true);
  defaultY_ = std::make_shared<VKNumberInputController>("1");
  pointStyle_ = std::make_shared<VKMenuInputController>(VKMarkers::pointMenu(), kMarkerCircle);
  pointSize_ = std::make_shared<VKNumberInputController>("5");
  pointColor_ = std::make_shared<VKColorInputController>(KRColor::black());
  legend_ = std::make_shared<VKTokenTextController>(text::kDefaultLegend);
  errorBars_ = VKErrorBarSettings(kErrorStyleSmallBars);
  pointSizeScale_ = std::make_shared<VKNumberInputController>("1");
  pointSizeColumn_ = std::make_shared<VKColumnSelector>();
  pointSizeType_ = std::make_shared<VKMenuInputController>(sizeTypeMenu(), kSizeDiameter);
  labelFormatter_ = std::make_shared<VKNumberFormatController>();
  labels_ = std::make_shared<VKColumnSelector>(false, true);
  labelsOffset_ = std::make_shared<VKPointInputController>("2,0");
  labelRotation_ = std::make_shared<VKMenuInputController>(labelRotationMenu(), kLabelHorizontal);
  labelFont_ = std::make_shared<VKFontStyleInputController>(VKFontStyle{4, "Helvetica", 10, KRColor::black()});
  lineWidth_ = std::make_shared<VKNumberInputController>("0.5");
  fillColor_ = std::make_shared<VKColorInputController>(KRColor::white());
  colorVariable_ = std::make_shared<VKColumnSelector>(false, true);
  colorScheme_ = std::make_shared<VKSchemeSelector>(VKSchemeSelector::Kind::Color);
  fillVariable_ = std::make_shared<VKColumnSelector>(false, true);
  fillScheme_ = std::make_shared<VKSchemeSelector>(VKSchemeSelector::Kind::Color);
  markerVariable_ = std::make_shared<VKColumnSelector>(false, true);
  markerScheme_ = std::make_shared<VKSchemeSelector>(VKSchemeSelector::Kind::Marker);
  mask_ = std::make_shared<VKMaskInputController>();

  connect(xColumn_, text::kX);
  connect(defaultX_, text::kDefaultX);
  connect(yColumn_, text::kY);
  connect(defaultY_, text::kDefaultY);
  connect(pointStyle_, text::kPointStyle);
  connect(pointSize_, text::kPointSize);
  connect(pointColor_, text::kPointColor);
  connect(legend_, text::kLegend);
  errorBars_.connectTo(*this);
  connect(pointSizeScale_, text::kPointSizeScale);
  connect(pointSizeColumn_, text::kPointSizeColumn);
  connect(pointSizeType_, text::kPointSizeType);
  connect(labelFormatter_, text::kLabelFormatter);
  connect(labels_, text::kLabels);
  connect(labelsOffset_, text::kLabelsOffset);
  connect(labelRotation_, text::kLabelsRotation);
  connect(labelFont_, text::kLabelFont);
  connect(lineWidth_, text::kPointLineWidth);
  connect(fillColor_, text::kPointFillColor);
  connect(colorVariable_, text::kPointColorVariable);
  connect(colorScheme_, text::kPointColorScheme);
  connect(fillVariable_, text::kFillColorVariable);
  connect(fillScheme_, text::kFillColorScheme);
  connect(markerVariable_, text::kPointStyleVariable);
  connect(markerScheme_, text::kPointMarkerScheme);
  connect(mask_, text::kMask);
  VKDrawingCommand::finishConnections();
}

std::string VKPointsCommand::legendName() const {
  return legendWithColumnNames(legend_ ? legend_->text() : std::string(), xColumn_, yColumn_);
}

// ---- Setting values

double VKPointsCommand::pointSizeValue() const {
  return VKMarkers::sizeOfSetting(pointSize_->text(), pointSize_->value());
}

double VKPointsCommand::theLineWidth() const {
  double value = lineWidth_->value();
  if (!std::isfinite(value) || value < 0) return kDefaultLineWidth;
  return std::min(value, kLargestSize);
}

bool VKPointsCommand::drawsErrorBars() const { return errorBars_.drawn(); }

bool VKPointsCommand::xUsesDateAxis() const { return selectsDateColumn(xColumn_); }
bool VKPointsCommand::yUsesDateAxis() const { return selectsDateColumn(yColumn_); }
std::string VKPointsCommand::xDateLocale() const { return dateLocaleOfSelection(xColumn_); }
std::string VKPointsCommand::yDateLocale() const { return dateLocaleOfSelection(yColumn_); }

bool VKPointsCommand::requiresXFloatAxis() const { return errorBars_.drawnInX(); }

std::shared_ptr<VKColumnSelector> VKPointsCommand::columnUsedWithScheme(const VKSchemeSelector* scheme) const {
  if (scheme == colorScheme_.get()) return colorVariable_;
  if (scheme == fillScheme_.get()) return fillVariable_;
  if (scheme == markerScheme_.get()) return markerVariable_;
  return nullptr;
}

// ---- Preparing the rows

VKPointsCommand::InputKey VKPointsCommand::currentInputKey() const {
  InputKey key;
  key.changeCount = changeCount();
  for (const auto* selector : {&xColumn_, &yColumn_, &pointSizeColumn_, &labels_, &colorVariable_, &fillVariable_,
                               &markerVariable_, &errorBars_.negX, &errorBars_.posX, &errorBars_.negY, &errorBars_.posY})
    key.serials.push_back((*selector)->columnSerialNumber());
  // The mask's columns: any change of a column it names changes its serial.
  if (mask_->isDefined()) {
    if (auto expression = KRExpression::createFromString(mask_->text()))
      if (auto* document = commandDocument())
        for (const auto& name : expression->unknownVariables())
          if (auto column = document->columnWithName(std::string(name))) key.serials.push_back(column->serialNumber());
  }
  return key;
}

bool VKPointsCommand::somethingChanged() const { return !(currentInputKey() == cachedKey_); }

std::optional<std::vector<bool>> VKPointsCommand::computeMask(long rows) const {
  auto expression = KRExpression::createFromString(mask_->text());
  auto* document = commandDocument();
  if (!expression || !document) return std::nullopt;
  std::map<std::string, KRValue, std::less<>> arguments;
  for (const auto& name : expression->unknownVariables()) {
    std::string key(name);
    if (auto column = document->columnWithName(key)) {
      auto values = KRDoubleArrayContainer::createArrayOfLength(rows);
      auto found = columnValues(column, rows);
      std::copy(found.begin(), found.end(), values->mutablePointer());
      arguments.emplace(key, KRValue::array(values));
    } else if (auto value = document->parameters().valueForParameter(key)) {
      arguments.emplace(key, KRValue(*value));
    } else {
      return std::nullopt;
    }
  }
  auto value = expression->evaluateWithArguments(arguments, rows);
  if (!value) return std::nullopt;
  std::vector<bool> keep(static_cast<std::size_t>(rows), false);
  if (const KRDoubleArrayContainer* array = value->arrayContainer()) {
    const long n = std::min(rows, array->length());
    const double* v = array->constPointer();
    for (long r = 0; r < n; ++r) keep[static_cast<std::size_t>(r)] = !std::isnan(v[r]) && v[r] != 0;
    return keep;
  }
  if (value->kind() != KRValueKind::Number) return std::nullopt;
  const double v = value->number();
  std::fill(keep.begin(), keep.end(), !std::isnan(v) && v != 0);
  return keep;
}

void VKPointsCommand::updateCacheXLinear(bool xLinear, bool yLinear) {
  xIsLinear_ = xLinear;
  yIsLinear_ = yLinear;
  InputKey key = currentInputKey();
  if (key == cachedKey_) return;
  // The cached drawing was made from the old rows.
  if (cachedKey_.changeCount >= 0) clearCachedDrawing();
  key.changeCount = changeCount();
  cachedKey_ = key;
  cachedPoints_.clear();
  dataProblem_.reset();

  auto x = xColumn_->column();
  auto y = yColumn_->column();
  const bool xMissing = xColumn_->hasSelection() && !x;
  const bool yMissing = yColumn_->hasSelection() && !y;
  if (xMissing || yMissing) return;

  // The row count: the longer of the two columns; the row-number column
  // follows the other one, and without columns there is a single row.
  long rows = std::max(rowsOf(x), rowsOf(y));
  if (rows < 0) rows = (x || y) ? 0 : 1;
  if (!x && !y) rows = 1;

  std::vector<double> xs = x ? columnValues(x, rows) : std::vector<double>(static_cast<std::size_t>(rows), defaultX_->value());
  std::vector<double> ys = y ? columnValues(y, rows) : std::vector<double>(static_cast<std::size_t>(rows), defaultY_->value());

  // A selected column without a single number is worth saying.
  for (const auto& [column, values] : {std::pair{x, &xs}, std::pair{y, &ys}}) {
    if (!column || rows == 0 || dataProblem_) continue;
    if (std::none_of(values->begin(), values->end(), [](double v) { return std::isfinite(v); }))
      dataProblem_ = formatText(text::kNoNumbers, column->name());
  }

  std::optional<std::vector<bool>> keep;
  if (mask_->isDefined()) {
    keep = computeMask(rows);
    if (!keep) dataProblem_ = std::string(text::kMaskNotComputed);
  }
  cachedPoints_.reserve(static_cast<std::size_t>(rows));
  for (long r = 0; r < rows; ++r) {
    const auto i = static_cast<std::size_t>(r);
    if (keep && !(*keep)[i]) continue;
    if (!std::isfinite(xs[i]) || !std::isfinite(ys[i])) continue;
    cachedPoints_.push_back({xs[i], ys[i], r});
  }
  cachedPoints_.shrink_to_fit();
}

std::vector<double> VKPointsCommand::valuesForPoints(const std::shared_ptr<VKColumnSelector>& selector) const {
  auto column = selector->column();
  if (!column) return {};
  long rows = 0;
  for (const auto& p : cachedPoints_) rows = std::max(rows, p.row + 1);
  auto all = columnValues(column, rows);
  std::vector<double> values;
  values.reserve(cachedPoints_.size());
  for (const auto& p : cachedPoints_) values.push_back(all[static_cast<std::size_t>(p.row)]);
  return values;
}

std::vector<VKSchemeValue> VKPointsCommand::schemeValuesForPoints(const std::shared_ptr<VKColumnSelector>& selector) const {
  auto column = selector->column();
  if (!column) return {};
  std::vector<VKSchemeValue> values;
  values.reserve(cachedPoints_.size());
  if (column->isStringColumn()) {
    const long rows = column->howManyEntries();
    for (const auto& p : cachedPoints_)
      values.push_back(VKSchemeValue::ofText(p.row < rows ? column->stringVersionForRow(p.row) : std::string()));
    return values;
  }
  for (double v : valuesForPoints(selector)) values.push_back(VKSchemeValue::ofNumber(v));
  return values;
}

std::vector<VKPointsCommand::DataBar> VKPointsCommand::updateErrorBars() {
  std::vector<DataBar> bars(cachedPoints_.size());
  if (!drawsErrorBars()) return bars;
  auto negX = valuesForPoints(errorBars_.negX), posX = valuesForPoints(errorBars_.posX);
  auto negY = valuesForPoints(errorBars_.negY), posY = valuesForPoints(errorBars_.posY);
  auto at = [](const std::vector<double>& v, std::size_t i) { return v.empty() ? NAN : v[i]; };
  const bool anyX = !negX.empty() || !posX.empty(), anyY = !negY.empty() || !posY.empty();
  for (std::size_t i = 0; i < cachedPoints_.size(); ++i) {
    if (anyX)
      std::tie(bars[i].xLow, bars[i].xHigh) =
          VKErrorBars::extent(errorBars_.xType->tag(), cachedPoints_[i].x, at(negX, i), at(posX, i));
    if (anyY)
      std::tie(bars[i].yLow, bars[i].yHigh) =
          VKErrorBars::extent(errorBars_.yType->tag(), cachedPoints_[i].y, at(negY, i), at(posY, i));
  }
  return bars;
}

// ---- Ranges

namespace {

KRBoundingRange rangeOf(const std::vector<VKPointsCommand::CachedPoint>& points,
                        const std::vector<VKPointsCommand::DataBar>& bars, bool alongX, bool linear) {
  double low = INFINITY, high = -INFINITY;
  auto take = [&](double v) {
    if (!std::isfinite(v) || (!linear && v <= 0)) return;
    low = std::min(low, v);
    high = std::max(high, v);
  };
  for (std::size_t i = 0; i < points.size(); ++i) {
    take(alongX ? points[i].x : points[i].y);
    if (i < bars.size()) {
      take(alongX ? bars[i].xLow : bars[i].yLow);
      take(alongX ? bars[i].xHigh : bars[i].yHigh);
    }
  }
  if (low > high) return points.empty() ? KRBoundingRange::invalid() : KRBoundingRange::empty();
  return KRBoundingRange::between(low, high);
}

}  // namespace

KRBoundingRange VKPointsCommand::domainRangeXLinear(bool xLinear, bool yLinear) {
  updateCacheXLinear(xLinear, yLinear);
  if (cachedPoints_.empty()) return KRBoundingRange::invalid();
  return rangeOf(cachedPoints_, updateErrorBars(), true, xLinear);
}

KRBoundingRange VKPointsCommand::valueRangeXLinear(bool xLinear, bool yLinear) {
  updateCacheXLinear(xLinear, yLinear);
  if (cachedPoints_.empty()) return KRBoundingRange::invalid();
  return rangeOf(cachedPoints_, updateErrorBars(), false, yLinear);
}

// ---- Drawing

VKPointsCommand::Mapped VKPointsCommand::mapPoints(const std::vector<CachedPoint>& points, const KRRect& crop,
                                                   double margin, const KR1DPlotDrawingInfo& mapping) {
  Mapped mapped;
  const KRRect area = crop.standardized().insetBy(-margin, -margin);
  const bool cut = !crop.isNull();
  for (std::size_t i = 0; i < points.size(); ++i) {
    // A value at or below 0 on a logarithmic axis has no place on it.
    if ((!mapping.xIsLinear && points[i].x <= 0) || (!mapping.yIsLinear && points[i].y <= 0)) continue;
    KRPoint page = mapping.transform({points[i].x, points[i].y});
    if (!std::isfinite(page.x) || !std::isfinite(page.y)) continue;
    if (cut && !(page.x >= area.minX() && page.x <= area.maxX() && page.y >= area.minY() && page.y <= area.maxY()))
      continue;
    mapped.page.push_back(page);
    mapped.index.push_back(i);
  }
  return mapped;
}

double VKPointsCommand::markerReach() const { return std::max(pointSizeValue() / 2, kSmallestHitRadius); }

std::shared_ptr<KRDrawingGroup> VKPointsCommand::computeDrawingObjectForScale(const KR1DPlotDrawingInfo& record,
                                                                              KRDrawingInformation& information) {
  (void)information;
  updateCacheXLinear(record.xIsLinear, record.yIsLinear);
  auto group = pointsForScale(record);
  std::optional<std::string> problem = settingsErrorExplanation();
  if (!problem) problem = dataProblem_;
  setErrorExplanation(problem);
  return group ? group : KRDrawingGroup::create();
}

std::shared_ptr<KRDrawingGroup> VKPointsCommand::computeErrorBars(const KR1DPlotDrawingInfo& record,
                                                                  const KRRect& cropWith) {
  if (!drawsErrorBars()) return nullptr;
  updateCacheXLinear(record.xIsLinear, record.yIsLinear);
  const auto bars = updateErrorBars();
  // An end a logarithmic axis cannot show has no bar, as in the plot command.
  const auto mapX = [&](double v) { return std::isnan(v) || (!record.xIsLinear && v <= 0) ? NAN : record.transformX(v); };
  const auto mapY = [&](double v) { return std::isnan(v) || (!record.yIsLinear && v <= 0) ? NAN : record.transformY(v); };
  std::vector<VKErrorBars::Bar> page;
  page.reserve(bars.size());
  for (std::size_t i = 0; i < bars.size(); ++i) {
    VKErrorBars::Bar bar;
    bar.center = record.transform({cachedPoints_[i].x, cachedPoints_[i].y});
    bar.xLow = mapX(bars[i].xLow);
    bar.xHigh = mapX(bars[i].xHigh);
    bar.yLow = mapY(bars[i].yLow);
    bar.yHigh = mapY(bars[i].yHigh);
    page.push_back(bar);
  }
  return VKErrorBars::computeErrorBars(page, errorBars_.style->tag(), errorBars_.color->color(),
                                       errorBars_.barSize->value(), cropWith);
}

std::shared_ptr<KRDrawingGroup> VKPointsCommand::pointsForScale(const KR1DPlotDrawingInfo& record) {
  auto group = KRDrawingGroup::create();
  if (cachedPoints_.empty()) return group;
  const KRRect region = record.graphRegion;

  // Error bars first, under the markers.
  if (auto drawn = computeErrorBars(record, region)) group->addObject(drawn);

  VKMarkerLook look;
  look.type = pointStyle_->tag();
  look.size = pointSizeValue();
  look.lineColor = pointColor_->color();
  look.lineWidth = theLineWidth();
  look.fillColor = fillColor_->color();

  // Per-row sizes.
  std::vector<double> sizes;
  const double scale = pointSizeScale_->value();
  if (pointSizeColumn_->column() && std::isfinite(scale)) {
    sizes = valuesForPoints(pointSizeColumn_);
    if (pointSizeType_->tag() == kSizeArea)
      for (double& s : sizes) s = s >= 0 ? std::sqrt(s) : NAN;
  }
  const bool sizeIsRadius = pointSizeType_->tag() == kSizeRadius;
  const double largest = sizes.empty() ? look.size : std::max(look.size, VKMarkers::kMaxRadius * 2);
  Mapped mapped = mapPoints(cachedPoints_, region, largest, record);
  if (mapped.page.empty()) return group;
  // Stencils for bitmaps and the screen, stamped on whole pixels of the
  // resolution the drawing is made for. PDF, PostScript and SVG get the
  // markers as paths: a vector stencil placed a million times costs those
  // writers more than the paths do.
  const bool allowLayers = !record.destinationIsResolutionIndependent;
  const double pixels = allowLayers ? (record.prepareForScale > 0 ? record.prepareForScale : 1) : 0;

  // Per-row shapes and colours: the points split into groups by the scheme
  // lines their values take.
  auto colorScheme = colorVariable_->column() ? colorScheme_->colorScheme() : nullptr;
  auto fillScheme = fillVariable_->column() ? fillScheme_->colorScheme() : nullptr;
  auto markerScheme = markerVariable_->column() ? markerScheme_->markerScheme() : nullptr;
  if (!colorScheme && !fillScheme && !markerScheme) {
    std::vector<double> radius;
    if (!sizes.empty())
      for (std::size_t i : mapped.index) radius.push_back(sizes[i]);
    if (auto markers = VKMarkers::createPoints(mapped.page, look, sizes.empty() ? nullptr : &radius, scale,
                                               sizeIsRadius, allowLayers, region, pixels))
      group->addObject(markers);
  } else {
    using Key = std::tuple<long, long, long>;
    auto lineOf = [](const std::vector<VKSchemeRule>& rules, const std::vector<VKSchemeValue>& values, std::size_t i) {
      if (values.empty()) return -1L;
      auto line = VKSchemes::lineForValue(rules, values[i]);
      return line ? static_cast<long>(*line) : -1L;
    };
    auto colorRules = colorScheme ? VKSchemes::rulesOf(*colorScheme) : std::vector<VKSchemeRule>{};
    auto fillRules = fillScheme ? VKSchemes::rulesOf(*fillScheme) : std::vector<VKSchemeRule>{};
    auto markerRules = markerScheme ? VKSchemes::rulesOf(*markerScheme) : std::vector<VKSchemeRule>{};
    auto colorValues = colorScheme ? schemeValuesForPoints(colorVariable_) : std::vector<VKSchemeValue>{};
    auto fillValues = fillScheme ? schemeValuesForPoints(fillVariable_) : std::vector<VKSchemeValue>{};
    auto markerValues = markerScheme ? schemeValuesForPoints(markerVariable_) : std::vector<VKSchemeValue>{};
    std::map<Key, std::vector<std::size_t>> groups;
    for (std::size_t k = 0; k < mapped.index.size(); ++k) {
      std::size_t i = mapped.index[k];
      groups[{lineOf(colorRules, colorValues, i), lineOf(fillRules, fillValues, i), lineOf(markerRules, markerValues, i)}]
          .push_back(k);
    }
    for (const auto& [key, members] : groups) {
      VKMarkerLook groupLook = look;
      const auto [c, f, m] = key;
      if (c >= 0) groupLook.lineColor = VKSchemes::colorOf(colorScheme->lines()[static_cast<std::size_t>(c)].color);
      if (f >= 0) groupLook.fillColor = VKSchemes::colorOf(fillScheme->lines()[static_cast<std::size_t>(f)].color);
      // A line that names no marker keeps the command's own.
      if (m >= 0 && VKMarkers::isMarkerTag(markerScheme->lines()[static_cast<std::size_t>(m)].marker))
        groupLook.type = markerScheme->lines()[static_cast<std::size_t>(m)].marker;
      std::vector<KRPoint> page;
      std::vector<double> radius;
      for (std::size_t k : members) {
        page.push_back(mapped.page[k]);
        if (!sizes.empty()) radius.push_back(sizes[mapped.index[k]]);
      }
      if (auto markers = VKMarkers::createPoints(page, groupLook, sizes.empty() ? nullptr : &radius, scale,
                                                 sizeIsRadius, allowLayers, region, pixels))
        group->addObject(markers);
    }
  }

  if (labels_->column()) {
    if (auto drawn = labelsForScale(record, mapped.index, mapped.page)) group->addObject(drawn);
  }
  return group;
}

std::shared_ptr<KRDrawingGroup> VKPointsCommand::labelsForScale(const KR1DPlotDrawingInfo& record,
                                                                const std::vector<std::size_t>& shown,
                                                                const std::vector<KRPoint>& page) {
  (void)record;
  auto column = labels_->column();
  if (!column || shown.empty()) return nullptr;
  const auto offset = labelsOffset_->point().value_or(KRPoint{2, 0});
  const double rotation = labelRotationDegrees(labelRotation_->tag());
  auto style = drawingFont(labelFont_->style());
  const KRNumberFormatter formatter = labelFormatter_->formatter();
  const bool isText = column->isStringColumn();
  const long rows = column->howManyEntries();
  auto group = KRDrawingGroup::create();
  for (std::size_t k = 0; k < shown.size(); ++k) {
    const long row = cachedPoints_[shown[k]].row;
    std::string label;
    if (isText) {
      if (row < rows) label = column->stringVersionForRow(row);
    } else {
      double value = column->valueAtRow(row);
      if (std::isfinite(value)) label = formatter.convertNumber(value);
    }
    if (label.empty()) continue;
    // The offset's x runs along the label; the label starts beside the point.
    group->addObject(KRDrawingText::string(label, {page[k].x + offset.x, page[k].y + offset.y}, style,
                                           KRDrawingText::Left, KRDrawingText::CenterLetters, rotation));
  }
  return group->count() ? group : nullptr;
}

// ---- Hit testing and the context menu

std::optional<PlistDictionary> VKPointsCommand::hitTest(KRPoint page, const KR1DPlotDrawingInfo& record) {
  updateCacheXLinear(record.xIsLinear, record.yIsLinear);
  const double reach = markerReach();
  Mapped mapped = mapPoints(cachedPoints_, record.graphRegion, 0, record);
  long hits = 0;
  std::optional<std::size_t> closest;
  double best = INFINITY;
  for (std::size_t k = 0; k < mapped.page.size(); ++k) {
    double d = std::hypot(mapped.page[k].x - page.x, mapped.page[k].y - page.y);
    if (d > reach) continue;
    ++hits;
    if (d < best) {
      best = d;
      closest = mapped.index[k];
    }
  }
  if (!closest) return std::nullopt;
  const auto& point = cachedPoints_[*closest];
  PlistDictionary info;
  addCommonHitTestForPoint(page, record, info);
  info.insert_or_assign(text::kHitsAPoint, true);
  info.insert_or_assign(text::kPointsHit, static_cast<std::int64_t>(hits));
  info.insert_or_assign(text::kClosestX, point.x);
  info.insert_or_assign(text::kClosestY, point.y);
  info.insert_or_assign(text::kRowIndex, static_cast<std::int64_t>(point.row));
  return info;
}

std::vector<std::string> VKPointsCommand::contextMenuItems() const {
  return {text::kCopyMarker, text::kSelectUsedRows, text::kSelectDisplayedRows, text::kSelectPointInTable};
}

std::vector<long> VKPointsCommand::rowsIncluded() {
  updateCacheXLinear(xIsLinear_, yIsLinear_);
  std::vector<long> rows;
  rows.reserve(cachedPoints_.size());
  for (const auto& p : cachedPoints_) rows.push_back(p.row);
  return rows;
}

std::vector<long> VKPointsCommand::rowsInsideXRange(const KRBoundingRange& xRange, const KRBoundingRange& yRange) {
  updateCacheXLinear(xIsLinear_, yIsLinear_);
  std::vector<long> rows;
  for (const auto& p : cachedPoints_)
    if ((xRange.isInvalid() || xRange.contains(p.x)) && (yRange.isInvalid() || yRange.contains(p.y)))
      rows.push_back(p.row);
  return rows;
}

std::optional<std::vector<long>> VKPointsCommand::rowsDisplayedInRect(const KRRect& rect) const {
  const auto& record = lastInfo();
  if (!record) return std::nullopt;
  std::vector<long> rows;
  const KRRect inside = rect.standardized().intersection(record->graphRegion);
  if (inside.isEmpty()) return rows;
  Mapped mapped = mapPoints(cachedPoints_, inside, 0, *record);
  rows.reserve(mapped.index.size());
  for (std::size_t i : mapped.index) rows.push_back(cachedPoints_[i].row);
  return rows;
}

std::optional<long> VKPointsCommand::selectedClickedPoint(KRPoint page, const KR1DPlotDrawingInfo& record) {
  auto hit = hitTest(page, record);
  if (!hit) return std::nullopt;
  return hit->at(text::kRowIndex).integer();
}

std::shared_ptr<KRDrawingGroup> VKPointsCommand::copyMarker() const {
  VKMarkerLook look;
  look.type = pointStyle_->tag();
  look.size = pointSizeValue();
  look.lineColor = pointColor_->color();
  look.lineWidth = theLineWidth();
  look.fillColor = fillColor_->color();
  const double half = look.size + look.lineWidth;
  return VKMarkers::createPoints({{half, half}}, look, nullptr, 1, false, false, {});
}

}  // namespace orrelin
