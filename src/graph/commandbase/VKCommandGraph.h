#pragma once
// The part of a graph that the commands and the update cycle need: the
// ordered commands, the drawing view, and the flag that says a change is
// waiting to be drawn. The graph layout derives from it and builds the
// picture in createGraphic.

#include <memory>
#include <string>
#include <vector>

#include "drawing/KRDrawingGroup.h"
#include "graph/commandbase/GraphView.h"
#include "graph/commandbase/KRBoundingRange.h"
#include "graph/dependency/VKDependencyBase.h"
#include "platform/PageGeometry.h"
#include "platform/PropertyList.h"

namespace orrelin {

class CommandDocument;
class DataDrawingCommand;
class KRDrawingStyleFont;
struct VKFontStyle;

// The data range of one axis whose controller a command is.
struct AxisRangeShown {
  char letter = 'X';
  int axis = 0;
  KRBoundingRange range;
};

class VKCommandGraph : public VKDependencyBase {
 public:
  using VKDependencyBase::entryChanged;

  ~VKCommandGraph() override;

  // Commands, in drawing order. Adding hands the command the graph and the
  // document; removing detaches it.
  const std::vector<std::shared_ptr<DataDrawingCommand>>& commands() const { return commands_; }
  void addCommand(std::shared_ptr<DataDrawingCommand> command);
  void insertCommand(std::shared_ptr<DataDrawingCommand> command, std::size_t index);
  void removeCommand(const DataDrawingCommand* command);
  // -1 when the command is not in the graph.
  int indexOfCommand(const DataDrawingCommand* command) const;
  void setDocument(std::shared_ptr<DependencyDocument> document) override;
  CommandDocument* commandDocument() const;

  const std::shared_ptr<GraphView>& drawingView() const { return drawingView_; }
  void setDrawingView(std::shared_ptr<GraphView> view) { drawingView_ = std::move(view); }

  // A command of the graph changed: note it and tell the document.
  void entryChanged(VKDependencyBase* sender) override;
  bool waitingForAnUpdateCall() const { return waitingForAnUpdateCall_; }
  void updateGraphWhenPossible() { waitingForAnUpdateCall_ = true; }
  // The scheduled update: when a change is waiting, refresh the command
  // menus, fit the view's size and, when ask, have the view redrawn.
  void updateGraphicAskForRedraw(bool ask);
  // The view is about to paint: when a change is waiting, build the picture
  // and hand it to the view. An exception keeps the previous picture and is
  // reported as "Error when drawing".
  void aboutToRedraw(GraphView& view);

  // Builds the picture for a page of size at scale; with send it goes to the
  // drawing view. info holds "Destination" for output passes.
  virtual std::shared_ptr<KRDrawingGroup> createGraphic(KRSize size, double scale, bool send,
                                                        const PlistDictionary& info, const KRRect& outputRect) = 0;
  // The size the canvas settings ask for, zero for the view's own size, and
  // the magnification they ask for.
  virtual KRSize overwriteSizeWith() const { return {}; }
  virtual double drawingMagnification() const { return 1; }
  // The font a command's font setting stands for when it draws labels: a
  // local font (5) as it is; the graph's fonts (1 main, 2 title, 3 axis,
  // 4 label) as the graph's style settings give them. Without style
  // settings the setting's own family, size and colour are used.
  virtual std::shared_ptr<KRDrawingStyleFont> drawingFont(const VKFontStyle& style) const;
  // The axes the command controls (the main axis both of axis 0, an axis
  // command its own) with their data ranges before padding and cropping,
  // for the command's panel; none here.
  virtual std::vector<AxisRangeShown> axisRangesShownBy(const DataDrawingCommand& command) const {
    (void)command;
    return {};
  }

 private:
  void fitViewSize(GraphView& view);

  std::vector<std::shared_ptr<DataDrawingCommand>> commands_;
  std::shared_ptr<GraphView> drawingView_;
  bool waitingForAnUpdateCall_ = false;
};

// The document's half of the update cycle: any number of changes in one
// event give one update, scheduled on the main-thread queue for the end of
// the event. The document owns one and passes its change notices to it.
class VKUpdateCycle {
 public:
  explicit VKUpdateCycle(CommandDocument& document) : document_(document) {}
  ~VKUpdateCycle();
  VKUpdateCycle(const VKUpdateCycle&) = delete;
  VKUpdateCycle& operator=(const VKUpdateCycle&) = delete;

  // A change reached the document.
  void entryChanged(VKDependencyBase* sender);
  void updateGraphicWhenPossible();
  void updateGraphic();
  void updateGraphicNowIfNeeded();

  bool updateMessagePending() const { return updateMessagePending_; }
  // While the document is being read, changes are ignored.
  void setLoading(bool loading) { loading_ = loading; }
  bool isLoading() const { return loading_; }
  void setClosingScriptRunning(bool running) { closingScriptRunning_ = running; }

 private:
  CommandDocument& document_;
  // The graphs whose commands heard of a change since the last update: a
  // graph is announced once per update however many of its commands change.
  std::vector<const VKCommandGraph*> announced_;
  bool updateMessagePending_ = false;
  bool loading_ = false;
  bool closingScriptRunning_ = false;
};

}  // namespace orrelin
