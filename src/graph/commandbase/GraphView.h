#pragma once
// What a graph asks of the view that shows it. The desktop view paints; the
// headless view keeps a record of what it was asked, which is all a batch run
// or a test needs. (The drawing view that writes a graph to files is
// VKDrawingView, with the writers.)

#include <memory>

#include "drawing/KRDrawingGroup.h"
#include "platform/PageGeometry.h"

namespace orrelin {

class VKCommandGraph;

class GraphView {
 public:
  virtual ~GraphView() = default;

  // The page size the graph is drawn at and the scale it is shown with;
  // zero size means the view's own size.
  virtual KRSize drawingSize() const = 0;
  virtual double drawingScale() const = 0;
  // Whether a size was set (rather than following the window).
  virtual bool drawSizeSet() const = 0;
  virtual void setDrawingSize(KRSize size, double scale) = 0;
  virtual void resizeToScrollView() = 0;
  // While set, the view is not drawn at all (it is being resized, hidden ...).
  virtual bool ignoreDrawing() const = 0;
  virtual void setNeedsDisplay() = 0;
  // The picture to show; null shows nothing.
  virtual void setGraphic(std::shared_ptr<KRDrawingGroup> graphic) = 0;
};

class HeadlessGraphView : public GraphView {
 public:
  // The size the view has when no drawing size is set.
  explicit HeadlessGraphView(KRSize viewSize = {400, 300}) : viewSize_(viewSize) {}

  KRSize drawingSize() const override { return drawSizeSet_ ? size_ : viewSize_; }
  double drawingScale() const override { return scale_; }
  bool drawSizeSet() const override { return drawSizeSet_; }
  void setDrawingSize(KRSize size, double scale) override;
  void resizeToScrollView() override { ++resizeCount_; }
  bool ignoreDrawing() const override { return ignoreDrawing_; }
  void setIgnoreDrawing(bool ignore) { ignoreDrawing_ = ignore; }
  void setNeedsDisplay() override { needsDisplay_ = true; }
  void setGraphic(std::shared_ptr<KRDrawingGroup> graphic) override;

  // The display pass a screen would run: when the view needs display, the
  // graph is asked to bring its picture up to date. Answers whether it ran.
  bool displayIfNeeded(VKCommandGraph& graph);

  bool needsDisplay() const { return needsDisplay_; }
  const std::shared_ptr<KRDrawingGroup>& graphic() const { return graphic_; }
  int graphicsReceived() const { return graphicsReceived_; }
  int displayPasses() const { return displayPasses_; }
  int resizeCount() const { return resizeCount_; }

 private:
  KRSize viewSize_;
  KRSize size_;
  double scale_ = 1;
  bool drawSizeSet_ = false;
  bool ignoreDrawing_ = false;
  bool needsDisplay_ = false;
  std::shared_ptr<KRDrawingGroup> graphic_;
  int graphicsReceived_ = 0;
  int displayPasses_ = 0;
  int resizeCount_ = 0;
};

}  // namespace orrelin
