#include "graph/VKStyleSettings.h"

#include <cmath>

#include "axes/AxisDrawing.h"
#include "graph/GraphTexts.h"

namespace orrelin {

namespace {

using namespace graphtext;

VKFontStyle localFont(double size) { return VKFontStyle{5, "Helvetica", size, KRColor::black()}; }

std::shared_ptr<VKMenuInputController> menu(std::vector<VKMenuEntry> entries, int tag) {
  return std::make_shared<VKMenuInputController>(std::move(entries), tag);
}

}  // namespace

std::shared_ptr<VKStyleSettings> VKStyleSettings::create() {
  auto settings = std::make_shared<VKStyleSettings>();
  settings->finishConnections();
  return settings;
}

std::string VKStyleSettings::type() const { return kStyleSettingsType; }

void VKStyleSettings::finishConnections() {
  mainFont_ = std::make_shared<VKFontStyleInputController>(localFont(12));
  connect(mainFont_, kMainFont);
  titleFont_ = std::make_shared<VKFontStyleInputController>(localFont(14));
  connect(titleFont_, kTitleFont);
  axisFont_ = std::make_shared<VKFontStyleInputController>(localFont(12));
  connect(axisFont_, kAxisFont);
  labelFont_ = std::make_shared<VKFontStyleInputController>(localFont(12));
  connect(labelFont_, kLabelFont);
  boxStyle_ = menu({{kBoxAroundGraph, "Box Around Graph"},
                    {kAxesOnly, "Axes Only"},
                    {kNoBox, "No Box"},
                    {kBoxAroundEachAxis, "Box Around Each Axis"}},
                   kBoxAroundGraph);
  connect(boxStyle_, kBoxStyle);
  axisPosition_ = menu({{1, "Above Commands"}, {2, "Below Commands"}}, 1);
  connect(axisPosition_, kAxisPosition);
  axisLineWidth_ = std::make_shared<VKNumberInputController>("1");
  connect(axisLineWidth_, kAxisLineWidth);
  axisColor_ = std::make_shared<VKColorInputController>(KRColor::black());
  connect(axisColor_, kAxisColor);
  boxPadding_ = std::make_shared<VKNumberInputController>("0");
  connect(boxPadding_, kBoxPadding);
  tickStyle_ = menu({{kTicksOutside, "Outside"}, {kTicksInside, "Inside"}, {kTicksAcross, "Across"}}, kTicksOutside);
  connect(tickStyle_, kTickStyle);
  grid_ = menu({{kNoGrid, "No Grid"}, {kMajorGrid, "Major Lines"}, {kMajorAndMinorGrid, "Major and Minor Lines"}},
               kNoGrid);
  connect(grid_, kGrid);
  gridDirections_ = menu({{1, "X and Y"}, {2, "X Only"}, {3, "Y Only"}}, 1);
  connect(gridDirections_, kGridDirections);
  majorGrid_ = std::make_shared<VKLineStyleInputController>(VKLineStyle{2, 0.5, KRColor::grey(0.8)});
  connect(majorGrid_, kMajorGridStyle);
  minorGrid_ = std::make_shared<VKLineStyleInputController>(VKLineStyle{2, 0.25, KRColor::grey(0.9)});
  connect(minorGrid_, kMinorGridStyle);
  VKDrawingCommand::finishConnections();
}

VKFontStyle VKStyleSettings::resolvedFont(const VKFontStyle& style) const {
  VKFontStyle resolved;
  switch (style.which) {
    case 1: resolved = mainFont_->style(); break;
    case 2: resolved = titleFont_->style(); break;
    case 3: resolved = axisFont_->style(); break;
    case 4: resolved = labelFont_->style(); break;
    default: resolved = style; break;
  }
  if (!(resolved.size > 0) || !std::isfinite(resolved.size)) resolved.size = 12;
  if (resolved.size > 1000) resolved.size = 1000;
  if (resolved.family.empty()) resolved.family = "Helvetica";
  resolved.which = 5;
  return resolved;
}

std::shared_ptr<KRDrawingStyleFont> VKStyleSettings::drawingFont(const VKFontStyle& style) const {
  VKFontStyle font = resolvedFont(style);
  return KRDrawingStyleFont::styleWithFont(font.family, font.size, font.color);
}

double VKStyleSettings::drawBoxPadding() const {
  double value = boxPadding_->value();
  return std::isfinite(value) && value > 0 ? std::min(value, 1000.0) : 0;
}

double VKStyleSettings::boxLineWidth() const {
  double value = axisLineWidth_->value();
  if (!std::isfinite(value) || value <= 0) return 0.5;
  return std::min(value, 300.0);
}

std::shared_ptr<KRDrawingStyleCurve> VKStyleSettings::lineStyleForBox() const {
  auto style = KRDrawingStyleCurve::createWithColor(axisColor(), boxLineWidth());
  style->changeLineCap(KRLineCap::Square);
  style->changeLineJoin(KRLineJoin::Miter);
  return style;
}

std::shared_ptr<KRDrawingStyleCurve> VKStyleSettings::gridStyle(bool major) const {
  return curveStyleForLine((major ? majorGrid_ : minorGrid_)->style());
}

}  // namespace orrelin
