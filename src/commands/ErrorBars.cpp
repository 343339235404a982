#include "commands/ErrorBars.h"

#include <algorithm>
#include <cmath>

#include "commands/PointsTexts.h"
#include "drawing/KRDrawingPathFromObj.h"
#include "drawing/KRDrawingStyle.h"
#include "graph/commandbase/DataDrawingCommand.h"
#include "table/OrrelinColumn.h"

namespace orrelin {

VKErrorBarSettings::VKErrorBarSettings(int defaultStyle)
    : style(std::make_shared<VKMenuInputController>(VKErrorBars::styleMenu(), defaultStyle)),
      color(std::make_shared<VKColorInputController>(KRColor::black())),
      barSize(std::make_shared<VKNumberInputController>(kOnePenWidth)),
      negX(std::make_shared<VKColumnSelector>()),
      posX(std::make_shared<VKColumnSelector>()),
      negY(std::make_shared<VKColumnSelector>()),
      posY(std::make_shared<VKColumnSelector>()),
      xType(std::make_shared<VKMenuInputController>(VKErrorBars::typeMenu(), kErrorTypeSymmetric)),
      yType(std::make_shared<VKMenuInputController>(VKErrorBars::typeMenu(), kErrorTypeSymmetric)) {}

bool VKErrorBarSettings::drawn() const {
  return style->tag() != kErrorStyleNoError &&
         (negX->hasSelection() || posX->hasSelection() || negY->hasSelection() || posY->hasSelection());
}

bool VKErrorBarSettings::drawnInX() const {
  return style->tag() != kErrorStyleNoError && (negX->column() || posX->column());
}

bool VKErrorBarSettings::drawnInY() const {
  return style->tag() != kErrorStyleNoError && (negY->column() || posY->column());
}

void VKErrorBarSettings::connectTo(DataDrawingCommand& command) const {
  namespace text = points_text;
  command.connect(style, text::kErrorStyle);
  command.connect(color, text::kErrorColor);
  command.connect(barSize, text::kErrorBarSize);
  command.connect(negX, text::kNegativeXError);
  command.connect(posX, text::kPositiveXError);
  command.connect(negY, text::kNegativeYError);
  command.connect(posY, text::kPositiveYError);
  command.connect(xType, text::kXErrorType);
  command.connect(yType, text::kYErrorType);
}

const std::vector<VKMenuEntry>& VKErrorBars::styleMenu() {
  static const std::vector<VKMenuEntry> menu = {{1, "No Error"},    {5, "No Bars"},    {7, "Tiny Bars"},
                                                {2, "Small Bars"},  {3, "Medium Bars"}, {4, "Wide Bars"},
                                                {6, "Single Line"}};
  return menu;
}

const std::vector<VKMenuEntry>& VKErrorBars::typeMenu() {
  static const std::vector<VKMenuEntry> menu = {
      {1, "Symmetric"}, {2, "Separate"}, {3, "Percent"}, {4, "Bounds"}};
  return menu;
}

std::pair<double, double> VKErrorBars::extent(int type, double value, double negative, double positive) {
  const bool hasNegative = !std::isnan(negative), hasPositive = !std::isnan(positive);
  switch (type) {
    case kErrorTypeSeparate:
      return {hasNegative ? value - std::fabs(negative) : NAN, hasPositive ? value + std::fabs(positive) : NAN};
    case kErrorTypePercent: {
      // One column gives both sides; two give one side each.
      double low = hasNegative ? negative : positive;
      double high = hasPositive ? positive : negative;
      double size = std::fabs(value) / 100;
      return {std::isnan(low) ? NAN : value - std::fabs(low) * size, std::isnan(high) ? NAN : value + std::fabs(high) * size};
    }
    case kErrorTypeBounds:
      return {negative, positive};
    case kErrorTypeSymmetric:
    default: {
      double e = hasPositive ? positive : negative;
      if (std::isnan(e)) return {NAN, NAN};
      return {value - std::fabs(e), value + std::fabs(e)};
    }
  }
}

std::vector<double> VKErrorBars::valuesAtRows(const std::shared_ptr<OrrelinColumn>& column,
                                              const std::vector<long>& rows) {
  std::vector<double> values(rows.size(), NAN);
  if (!column) return values;
  if (column->isRowNumberColumn()) {
    for (std::size_t k = 0; k < rows.size(); ++k) values[k] = static_cast<double>(rows[k] + 1);
    return values;
  }
  if (!column->isNumberColumn()) return values;
  auto numbers = column->numberVersion();
  auto included = column->whichAreIncluded();
  const long usable = std::min(numbers ? numbers->length() : 0L, included ? included->length() : 0L);
  if (usable <= 0) return values;
  const double* v = numbers->constDoublePointer();
  const unsigned char* keep = included->constPointer();
  for (std::size_t k = 0; k < rows.size(); ++k)
    if (rows[k] >= 0 && rows[k] < usable && keep[rows[k]]) values[k] = v[rows[k]];
  return values;
}

double VKErrorBars::capFactor(int style) {
  switch (style) {
    case kErrorStyleTinyBars: return 2;
    case kErrorStyleSmallBars: return 3;
    case kErrorStyleMediumBars: return 6;
    case kErrorStyleWideBars: return 9;
    case kErrorStyleNoBars:
    case kErrorStyleSingleLine:
    case kErrorStyleNoError: return 0;
    default: return 4;
  }
}

double VKErrorBars::barLineWidth(double setting) {
  if (!std::isfinite(setting) || setting < 0) return std::isinf(setting) && setting > 0 ? 300 : 0.5;
  return std::min(setting, 300.0);
}

std::shared_ptr<KRDrawingGroup> VKErrorBars::computeErrorBars(const std::vector<Bar>& bars, int style,
                                                              const KRColor& color, double lineWidth,
                                                              const KRRect& crop) {
  if (style == kErrorStyleNoError || bars.empty()) return nullptr;
  const double width = barLineWidth(lineWidth);
  const double cap = capFactor(style) * width;
  std::vector<double> lines;
  auto add = [&](double x1, double y1, double x2, double y2) {
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return;
    lines.insert(lines.end(), {x1, y1, x2, y2});
  };
  for (const auto& bar : bars) {
    const KRPoint c = bar.center;
    const bool hasY = !std::isnan(bar.yLow) || !std::isnan(bar.yHigh);
    const bool hasX = !std::isnan(bar.xLow) || !std::isnan(bar.xHigh);
    const bool drawY = hasY, drawX = hasX && !(style == kErrorStyleSingleLine && hasY);
    if (drawY) {
      double low = std::isnan(bar.yLow) ? c.y : bar.yLow, high = std::isnan(bar.yHigh) ? c.y : bar.yHigh;
      add(c.x, low, c.x, high);
      if (cap > 0) {
        if (!std::isnan(bar.yLow)) add(c.x - cap, low, c.x + cap, low);
        if (!std::isnan(bar.yHigh)) add(c.x - cap, high, c.x + cap, high);
      }
    }
    if (drawX) {
      double low = std::isnan(bar.xLow) ? c.x : bar.xLow, high = std::isnan(bar.xHigh) ? c.x : bar.xHigh;
      add(low, c.y, high, c.y);
      if (cap > 0) {
        if (!std::isnan(bar.xLow)) add(low, c.y - cap, low, c.y + cap);
        if (!std::isnan(bar.xHigh)) add(high, c.y - cap, high, c.y + cap);
      }
    }
  }
  if (lines.empty()) return nullptr;
  std::shared_ptr<KRDrawingPath> drawing = createSegmentsDrawing(lines);
  if (!drawing) return nullptr;
  auto style_ = KRDrawingStyleCurve::createWithColor(color, width);
  style_->changeLineCap(KRLineCap::Butt);
  drawing->setStyle(style_);
  auto group = KRDrawingGroup::createWithDrawingObject(drawing);
  if (!crop.isNull()) group->setCrop(KRDrawingPathRectangle::createWithRect(crop));
  return group;
}

}  // namespace orrelin
