#include "graph/commandbase/VKCommandGraph.h"

#include <algorithm>
#include <cxxabi.h>
#include <typeinfo>

#include "graph/commandbase/CommandDocument.h"
#include "graph/commandbase/CommandTexts.h"
#include "graph/commandbase/DataDrawingCommand.h"
#include "drawing/KRDrawingStyle.h"
#include "graph/commandbase/InputControllers.h"
#include "graph/commandbase/TextFormat.h"
#include "platform/KRMessageCenter.h"
#include "platform/MainThreadQueue.h"

namespace orrelin {

namespace {

std::string exceptionName(const std::exception& exception) {
  const char* mangled = typeid(exception).name();
  int status = 0;
  char* readable = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
  std::string name = (status == 0 && readable) ? readable : mangled;
  std::free(readable);
  return name;
}

}  // namespace

// The view.

void HeadlessGraphView::setDrawingSize(KRSize size, double scale) {
  drawSizeSet_ = !(size.width == 0 && size.height == 0);
  size_ = size;
  scale_ = scale;
}

void HeadlessGraphView::setGraphic(std::shared_ptr<KRDrawingGroup> graphic) {
  graphic_ = std::move(graphic);
  ++graphicsReceived_;
}

bool HeadlessGraphView::displayIfNeeded(VKCommandGraph& graph) {
  if (!needsDisplay_ || ignoreDrawing_) return false;
  needsDisplay_ = false;
  ++displayPasses_;
  graph.aboutToRedraw(*this);
  return true;
}

// The graph.

std::shared_ptr<KRDrawingStyleFont> VKCommandGraph::drawingFont(const VKFontStyle& style) const {
  return KRDrawingStyleFont::styleWithFont(style.family, style.size, style.color);
}

VKCommandGraph::~VKCommandGraph() {
  for (const auto& command : commands_) {
    command->setInsideDrawing(nullptr);
    command->setDocument(nullptr);
  }
}

void VKCommandGraph::addCommand(std::shared_ptr<DataDrawingCommand> command) {
  insertCommand(std::move(command), commands_.size());
}

void VKCommandGraph::insertCommand(std::shared_ptr<DataDrawingCommand> command, std::size_t index) {
  if (!command || indexOfCommand(command.get()) >= 0) return;
  command->setInsideDrawing(this);
  if (auto owner = document()) command->setDocument(owner);
  commands_.insert(commands_.begin() + static_cast<long>(std::min(index, commands_.size())), command);
}

void VKCommandGraph::removeCommand(const DataDrawingCommand* command) {
  const int index = indexOfCommand(command);
  if (index < 0) return;
  auto removed = commands_[index];
  for (const auto& other : commands_)
    if (other != removed) other->removingDrawingCommand(removed.get());
  commands_.erase(commands_.begin() + index);
  removed->setInsideDrawing(nullptr);
  removed->setDocument(nullptr);
  for (const auto& other : commands_) other->drawingCommandsWereReordered();
}

int VKCommandGraph::indexOfCommand(const DataDrawingCommand* command) const {
  for (std::size_t i = 0; i < commands_.size(); ++i)
    if (commands_[i].get() == command) return static_cast<int>(i);
  return -1;
}

void VKCommandGraph::setDocument(std::shared_ptr<DependencyDocument> document) {
  VKDependencyBase::setDocument(document);
  for (const auto& command : commands_) command->setDocument(document);
}

CommandDocument* VKCommandGraph::commandDocument() const { return dynamic_cast<CommandDocument*>(document().get()); }

void VKCommandGraph::entryChanged(VKDependencyBase* sender) {
  (void)sender;
  waitingForAnUpdateCall_ = true;
  if (auto owner = document()) owner->entryChanged(this);
}

void VKCommandGraph::fitViewSize(GraphView& view) {
  const KRSize size = overwriteSizeWith();
  const double magnification = drawingMagnification();
  if (size.width != 0 && size.height != 0) {
    if (!(size == view.drawingSize()) || magnification != view.drawingScale()) {
      view.setDrawingSize(size, magnification);
      view.resizeToScrollView();
    }
  } else if (view.drawSizeSet()) {
    view.setDrawingSize({0, 0}, 1.0);
    view.resizeToScrollView();
  }
}

void VKCommandGraph::updateGraphicAskForRedraw(bool ask) {
  if (!waitingForAnUpdateCall_ || !drawingView_) return;
  waitingForAnUpdateCall_ = false;
  if (auto* owner = commandDocument()) owner->updateDrawingCommandMenus();
  auto view = drawingView_;
  if (view->ignoreDrawing()) return;
  fitViewSize(*view);
  // The display pass consumes the flag again and builds the picture.
  waitingForAnUpdateCall_ = true;
  if (ask) view->setNeedsDisplay();
}

void VKCommandGraph::aboutToRedraw(GraphView& view) {
  if (!waitingForAnUpdateCall_) return;
  waitingForAnUpdateCall_ = false;
  fitViewSize(view);
  const double scale = view.drawingScale() == 0 ? 1.0 : view.drawingScale();
  try {
    createGraphic(view.drawingSize(), scale, true, PlistDictionary{}, KRRect());
  } catch (const std::exception& exception) {
    // The view keeps the picture it has; the next change tries again.
    presentException(exception, commandtext::kErrorWhenDrawing);
    KRMessageCenter::addMessage(commandtext::kErrorWhenDrawing,
                                formatText(commandtext::kErrorWhenComputingLong, exceptionName(exception),
                                           std::string(exception.what())));
  }
}

// The document's update cycle.

VKUpdateCycle::~VKUpdateCycle() { MainThreadQueue::shared().cancelPerforms(this); }

void VKUpdateCycle::entryChanged(VKDependencyBase* sender) {
  if (loading_ || closingScriptRunning_) return;
  auto graphs = document_.graphs();
  for (const auto& graph : graphs) {
    if (graph.get() != sender) continue;
    if (std::find(announced_.begin(), announced_.end(), graph.get()) != announced_.end()) break;
    if (announced_.empty()) MainThreadQueue::shared().performAtEndOfEvent([this] { announced_.clear(); }, this);
    announced_.push_back(graph.get());
    for (const auto& each : graphs)
      for (const auto& command : each->commands()) command->updateGraphFor(graph.get());
  }
  updateGraphicWhenPossible();
}

void VKUpdateCycle::updateGraphicWhenPossible() {
  if (updateMessagePending_) return;
  auto graphs = document_.graphs();
  auto current = document_.currentGraph();
  if (graphs.empty() || !current || !current->drawingView()) return;
  updateMessagePending_ = true;
  for (const auto& graph : graphs) graph->updateGraphWhenPossible();
  MainThreadQueue::shared().performAtEndOfEvent([this] { updateGraphic(); }, this);
}

void VKUpdateCycle::updateGraphic() {
  updateMessagePending_ = false;
  announced_.clear();
  MainThreadQueue::shared().cancelPerforms(this);
  auto current = document_.currentGraph();
  for (const auto& graph : document_.graphs()) graph->updateGraphicAskForRedraw(graph == current);
}

void VKUpdateCycle::updateGraphicNowIfNeeded() {
  if (updateMessagePending_) updateGraphic();
}

}  // namespace orrelin
