#include "graph/DataDocumentDrawing.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>

#include "axes/VKAxisSettings.h"
#include "axes/VKSingleAxisCommand.h"
#include "graph/GraphTexts.h"
#include "graph/VKCanvasSettings.h"
#include "graph/VKStyleSettings.h"
#include "graph/commandbase/VKCommandFactory.h"
#include "platform/KRMessageCenter.h"

namespace orrelin {

namespace {

using namespace graphtext;

constexpr double kOneDay = 86400;

// The axis controller of one axis: the main axis (one of its two
// directions) or a single-axis command.
struct AxisRef {
  std::shared_ptr<VKDrawingCommand> command;
  VKAxisSettings* main = nullptr;
  VKSingleAxisCommand* single = nullptr;
  bool x = true;

  explicit AxisRef(const std::shared_ptr<VKDrawingCommand>& c, bool xDirection) : command(c), x(xDirection) {
    main = dynamic_cast<VKAxisSettings*>(c.get());
    single = dynamic_cast<VKSingleAxisCommand*>(c.get());
  }
  const AxisControllers& controls() const {
    if (main) return x ? main->xAxis() : main->yAxis();
    return single->axis();
  }
  bool linear() const { return controls().isLinear(); }
  KRBoundingRange include() const {
    if (main) return x ? main->includeXRange() : main->includeYRange();
    return single->includeRange();
  }
  KRBoundingRange pad(const KRBoundingRange& range, bool isDate) const {
    if (main) return x ? main->padXIfNeeded(range, isDate) : main->padYIfNeeded(range, isDate);
    return paddedRange(range, controls().paddingFraction(), linear(), isDate);
  }
  KRBoundingRange crop(const KRBoundingRange& range) const {
    if (main) return x ? main->cropXRange(range) : main->cropYRange(range);
    return single->croppedRange(range);
  }
  bool datesCanUseTwoLines() const { return controls().datesWithTwoLines->isSelected(); }
};

bool isAxisController(const VKDrawingCommand* command) {
  return dynamic_cast<const VKAxisSettings*>(command) || dynamic_cast<const VKSingleAxisCommand*>(command);
}

bool isSettings(const DataDrawingCommand* command) {
  return dynamic_cast<const VKStyleSettings*>(command) || dynamic_cast<const VKCanvasSettings*>(command);
}

}  // namespace

std::int32_t DataDocumentDrawing::nextSerialNumber() {
  static std::atomic<std::int32_t> counter{0};
  return ++counter;
}

std::shared_ptr<DataDocumentDrawing> DataDocumentDrawing::create() {
  registerGraphCommandKinds();
  auto graph = std::make_shared<DataDocumentDrawing>();
  graph->ensureSettings();
  return graph;
}

std::shared_ptr<DataDocumentDrawing> DataDocumentDrawing::createForCommandLine() {
  registerGraphCommandKinds();
  auto graph = std::make_shared<DataDocumentDrawing>();
  graph->addCommand(VKStyleSettings::create());
  graph->addCommand(VKCanvasSettings::createForCommandLine());
  graph->addCommand(VKAxisSettings::createForCommandLine());
  return graph;
}

std::shared_ptr<DataDocumentDrawing> DataDocumentDrawing::createFromPropertyList(const PropertyList& list) {
  auto graph = std::make_shared<DataDocumentDrawing>();
  graph->fillFromPropertyList(list);
  return graph;
}

void DataDocumentDrawing::ensureSettings() {
  const auto& list = commands();
  if (list.empty() || !dynamic_cast<VKStyleSettings*>(list[0].get())) insertCommand(VKStyleSettings::create(), 0);
  if (commands().size() < 2 || !dynamic_cast<VKCanvasSettings*>(commands()[1].get()))
    insertCommand(VKCanvasSettings::create(), 1);
  if (!mainAxis()) {
    auto axis = std::make_shared<VKAxisSettings>();
    axis->finishConnections();
    insertCommand(axis, 2);
  }
}

PropertyList DataDocumentDrawing::propertyList() const {
  PlistArray array;
  for (const auto& command : commands()) array.push_back(command->propertyList());
  return PropertyList(std::move(array));
}

void DataDocumentDrawing::fillFromPropertyList(const PropertyList& list) {
  registerGraphCommandKinds();
  while (!commands().empty()) removeCommand(commands().back().get());
  if (!list.isArray()) {
    KRMessageCenter::addMessage("Graph skipped", "The stored graph is not a list of commands.");
    ensureSettings();
    return;
  }
  const auto& factory = VKCommandFactory::shared();
  for (const auto& element : list.array()) {
    auto command = factory.createFromPropertyList(element);
    if (!command) continue;
    bool style = dynamic_cast<VKStyleSettings*>(command.get()) != nullptr;
    bool canvas = dynamic_cast<VKCanvasSettings*>(command.get()) != nullptr;
    // The settings belong at the front, once each.
    if (style && (commands().empty() || !dynamic_cast<VKStyleSettings*>(commands()[0].get()))) {
      insertCommand(command, 0);
    } else if (canvas && !canvasSettings()) {
      insertCommand(command, commands().empty() || !styleSettings() ? 0 : 1);
    } else if (!style && !canvas) {
      addCommand(command);
    }
  }
  ensureSettings();
}

std::shared_ptr<VKStyleSettings> DataDocumentDrawing::styleSettings() const {
  for (const auto& command : commands())
    if (auto style = std::dynamic_pointer_cast<VKStyleSettings>(command)) return style;
  return nullptr;
}

std::shared_ptr<VKCanvasSettings> DataDocumentDrawing::canvasSettings() const {
  for (const auto& command : commands())
    if (auto canvas = std::dynamic_pointer_cast<VKCanvasSettings>(command)) return canvas;
  return nullptr;
}

std::shared_ptr<VKAxisSettings> DataDocumentDrawing::mainAxis() const {
  for (const auto& command : commands())
    if (auto axis = std::dynamic_pointer_cast<VKAxisSettings>(command)) return axis;
  return nullptr;
}

std::size_t DataDocumentDrawing::whereDrawingCommandsStart() const {
  std::size_t start = 0;
  while (start < commands().size() && isSettings(commands()[start].get())) ++start;
  return start;
}

std::vector<std::shared_ptr<VKDrawingCommand>> DataDocumentDrawing::commandsThatAreNotExcluded() const {
  std::vector<std::shared_ptr<VKDrawingCommand>> taken;
  const auto& list = commands();
  for (std::size_t i = whereDrawingCommandsStart(); i < list.size(); ++i) {
    const auto& command = list[i];
    int kind = command->collapserType();
    if (kind == 1 && command->exclude()) {
      // Skip to the matching closer.
      int depth = 1;
      while (depth > 0 && ++i < list.size()) {
        if (list[i]->collapserType() == 1) ++depth;
        if (list[i]->collapserType() == 2) --depth;
      }
      continue;
    }
    if (kind != 0 || command->exclude()) continue;
    if (auto drawing = std::dynamic_pointer_cast<VKDrawingCommand>(command)) taken.push_back(drawing);
  }
  return taken;
}

std::vector<std::shared_ptr<VKDrawingCommand>> DataDocumentDrawing::commandsThatAreExcluded() const {
  std::vector<std::shared_ptr<VKDrawingCommand>> excluded;
  const auto& list = commands();
  for (std::size_t i = whereDrawingCommandsStart(); i < list.size(); ++i)
    if (list[i]->collapserType() == 0 && list[i]->exclude())
      if (auto drawing = std::dynamic_pointer_cast<VKDrawingCommand>(list[i])) excluded.push_back(drawing);
  return excluded;
}

std::vector<std::shared_ptr<VKDrawingCommand>> DataDocumentDrawing::commandsThatAreNotHiddenOrExcluded() const {
  auto taken = commandsThatAreNotExcluded();
  std::erase_if(taken, [](const auto& command) { return command->hide(); });
  return taken;
}

std::vector<std::shared_ptr<VKDrawingCommand>> DataDocumentDrawing::xAxisCommands() const {
  std::vector<std::shared_ptr<VKDrawingCommand>> axes;
  auto main = mainAxis();
  if (!main) return axes;
  axes.push_back(main);
  for (const auto& command : commandsThatAreNotExcluded())
    if (auto single = std::dynamic_pointer_cast<VKSingleAxisCommand>(command); single && single->isXAxis())
      axes.push_back(single);
  return axes;
}

std::vector<std::shared_ptr<VKDrawingCommand>> DataDocumentDrawing::yAxisCommands() const {
  std::vector<std::shared_ptr<VKDrawingCommand>> axes;
  auto main = mainAxis();
  if (!main) return axes;
  axes.push_back(main);
  for (const auto& command : commandsThatAreNotExcluded())
    if (auto single = std::dynamic_pointer_cast<VKSingleAxisCommand>(command); single && !single->isXAxis())
      axes.push_back(single);
  return axes;
}

bool DataDocumentDrawing::xAxisStacked() const {
  auto canvas = canvasSettings();
  return canvas ? canvas->stackX() : false;
}

bool DataDocumentDrawing::yAxisStacked() const {
  auto canvas = canvasSettings();
  return canvas ? canvas->stackY() : true;
}

KRBoundingRange DataDocumentDrawing::mergedRange(bool xDirection, int axis, bool* isDate) const {
  auto axes = xDirection ? xAxisCommands() : yAxisCommands();
  auto others = xDirection ? yAxisCommands() : xAxisCommands();
  if (isDate) *isDate = false;
  if (axis < 0 || axis >= static_cast<int>(axes.size())) return KRBoundingRange::invalid();
  bool linear = AxisRef(axes[axis], xDirection).linear();
  double min = std::numeric_limits<double>::infinity();
  double max = -min;
  for (const auto& command : commandsThatAreNotExcluded()) {
    if (isAxisController(command.get())) continue;
    if ((xDirection ? command->whichXAxis() : command->whichYAxis()) != axis) continue;
    int other = xDirection ? command->whichYAxis() : command->whichXAxis();
    bool otherLinear = other >= 0 && other < static_cast<int>(others.size())
                           ? AxisRef(others[other], !xDirection).linear()
                           : true;
    KRBoundingRange range = xDirection ? command->domainRangeXLinear(linear, otherLinear)
                                       : command->valueRangeXLinear(otherLinear, linear);
    if (!range.couldBeFound) continue;
    if (isDate && (xDirection ? command->xUsesDateAxis() : command->yUsesDateAxis())) *isDate = true;
    if (range.isEmpty) continue;
    if (!std::isfinite(range.minR) || !std::isfinite(range.maxR))
      KRMessageCenter::addMessage(kNonFiniteRange, command->groupName());
    if (!linear && !(range.minR > 0)) {
      KRMessageCenter::addMessage(kNonPositiveLogRange, command->groupName());
      continue;
    }
    if (std::isfinite(range.minR) && range.minR < min) min = range.minR;
    if (std::isfinite(range.maxR) && range.maxR > max) max = range.maxR;
  }
  KRBoundingRange include = AxisRef(axes[axis], xDirection).include();
  if (include.isValid()) {
    min = std::min(min, include.minR);
    max = std::max(max, include.maxR);
  }
  return min <= max ? KRBoundingRange::between(min, max) : KRBoundingRange::invalid();
}

KRBoundingRange DataDocumentDrawing::xRangeForAxis(int axis) const { return mergedRange(true, axis, nullptr); }
KRBoundingRange DataDocumentDrawing::yRangeForAxis(int axis) const { return mergedRange(false, axis, nullptr); }

std::vector<AxisRangeShown> DataDocumentDrawing::axisRangesShownBy(const DataDrawingCommand& command) const {
  std::vector<AxisRangeShown> shown;
  const auto xs = xAxisCommands(), ys = yAxisCommands();
  for (std::size_t i = 0; i < xs.size(); ++i)
    if (xs[i].get() == &command) shown.push_back({'X', static_cast<int>(i), xRangeForAxis(static_cast<int>(i))});
  for (std::size_t j = 0; j < ys.size(); ++j)
    if (ys[j].get() == &command) shown.push_back({'Y', static_cast<int>(j), yRangeForAxis(static_cast<int>(j))});
  return shown;
}

std::vector<KRBoundingRange> DataDocumentDrawing::xRanges() const {
  std::vector<KRBoundingRange> ranges;
  auto axes = xAxisCommands();
  for (int i = 0; i < static_cast<int>(axes.size()); ++i) {
    bool date = false;
    AxisRef ref(axes[i], true);
    // The merged range first: it tells whether the axis holds dates, which
    // decides the padding.
    const KRBoundingRange merged = mergedRange(true, i, &date);
    KRBoundingRange range = ref.crop(ref.pad(merged, date));
    ranges.push_back(range.isValid() ? range : KRBoundingRange::invalid());
  }
  return ranges;
}

std::vector<KRBoundingRange> DataDocumentDrawing::yRanges() const {
  std::vector<KRBoundingRange> ranges;
  auto axes = yAxisCommands();
  auto xAxes = xAxisCommands();
  for (int i = 0; i < static_cast<int>(axes.size()); ++i) {
    bool date = false;
    AxisRef ref(axes[i], false);
    const KRBoundingRange merged = mergedRange(false, i, &date);
    KRBoundingRange range = ref.crop(ref.pad(merged, date));
    ranges.push_back(range.isValid() ? range : KRBoundingRange::invalid());
    for (const auto& command : commandsThatAreExcluded()) {
      if (command->whichYAxis() != i) continue;
      int x = command->whichXAxis();
      bool xLinear = x >= 0 && x < static_cast<int>(xAxes.size()) ? AxisRef(xAxes[x], true).linear() : true;
      command->skippingThisDrawingCommand(xLinear, ref.linear());
    }
  }
  return ranges;
}

std::vector<bool> DataDocumentDrawing::xLabelMultipleLines() const {
  std::vector<bool> lines;
  auto axes = xAxisCommands();
  for (int i = 0; i < static_cast<int>(axes.size()); ++i) {
    bool date = false;
    KRBoundingRange range = mergedRange(true, i, &date);
    lines.push_back(AxisRef(axes[i], true).datesCanUseTwoLines() && date && range.isValid() &&
                    range.width() > kOneDay);
  }
  return lines;
}

std::vector<bool> DataDocumentDrawing::yLabelMultipleLines() const {
  std::vector<bool> lines;
  auto axes = yAxisCommands();
  for (int i = 0; i < static_cast<int>(axes.size()); ++i) {
    bool date = false;
    AxisRef ref(axes[i], false);
    const KRBoundingRange merged = mergedRange(false, i, &date);
    KRBoundingRange range = ref.pad(merged, date);
    lines.push_back(ref.datesCanUseTwoLines() && date && range.isValid() && range.width() > kOneDay);
  }
  return lines;
}

KRSize DataDocumentDrawing::overwriteSizeWith() const {
  auto canvas = canvasSettings();
  return canvas ? canvas->overwriteSizeWith() : KRSize{0, 0};
}

std::shared_ptr<KRDrawingStyleFont> DataDocumentDrawing::drawingFont(const VKFontStyle& style) const {
  auto settings = styleSettings();
  return settings ? settings->drawingFont(style) : VKCommandGraph::drawingFont(style);
}

double DataDocumentDrawing::drawingMagnification() const {
  auto canvas = canvasSettings();
  return canvas ? canvas->drawingMagnification() : 1;
}

void registerGraphCommandKinds() {
  auto& factory = VKCommandFactory::shared();
  if (factory.knowsKind(kStyleSettingsType) && factory.knowsKind("Main Axis")) return;
  factory.registerKind(kStyleSettingsType, [] { return std::make_shared<VKStyleSettings>(); });
  factory.registerKind(kCanvasSettingsType, [] { return std::make_shared<VKCanvasSettings>(); });
  registerAxisCommandKinds(factory);
}

}  // namespace orrelin
