#pragma once
// The state of one drawing pass over a display list: the graphics context
// drawn into, what the destination is, and what enclosing groups have set
// (their alpha product and accumulated scale).

#include <memory>
#include <vector>

#include "platform/GraphicsContext.h"

namespace orrelin {

class KRDrawingInfo;

class KRDrawingContext {
 public:
  static std::shared_ptr<KRDrawingContext> createWithContext(std::shared_ptr<GraphicsContext> context);
  static std::shared_ptr<KRDrawingContext> createWithGraphicsPort(std::shared_ptr<GraphicsContext> port);
  // The context this thread draws into (GraphicsContext::current); nullptr
  // when there is none.
  static std::shared_ptr<KRDrawingContext> createWithCurrentContext();

  explicit KRDrawingContext(std::shared_ptr<GraphicsContext> context);
  KRDrawingContext(const KRDrawingContext&) = delete;
  KRDrawingContext& operator=(const KRDrawingContext&) = delete;

  const std::shared_ptr<GraphicsContext>& currentContext() const { return context_; }
  GraphicsContext& graphicsPort() const { return *context_; }

  // The platform state.
  void saveGraphicsState() { context_->saveGState(); }
  void restoreGraphicsState() { context_->restoreGState(); }

  // This context's own shift and scale.
  void saveState();
  void restoreState();
  void setShift(KRPoint shift, double scale) { setShift(shift, scale, scale); }
  void setShift(KRPoint shift, double scaleX, double scaleY);
  KRPoint theShift() const { return theShift_; }
  double theScaleX() const { return theScaleX_; }
  double theScaleY() const { return theScaleY_; }

  // The scale of the enclosing groups.
  void addScaling(double factor);
  void undoScaling(double factor);
  double scaleX() const { return scaleX_; }
  double scaleY() const { return scaleY_; }

  // The product of the enclosing groups' alphas, also set on the platform context.
  void setAlpha(double alpha);
  double alpha() const { return alpha_; }

  void setSmoothing(bool on);
  bool smoothingTurnedOn() const { return smoothingTurnedOn_; }
  void setImageInterpolation(KRInterpolation quality) { currentImageInterpolation_ = quality; }
  KRInterpolation currentImageInterpolation() const { return currentImageInterpolation_; }
  void setMinimumLineWidth(double width) { minimumLineWidth_ = width; }
  // 0 with smoothing off; otherwise the stored minimum divided by the larger
  // accumulated scale, so the thinnest line stays visible whatever the scale.
  double minimumLineWidth() const;

  // Pure black for printers: CMYK (0, 0, 0, 1).
  const KRColor& trueBlack() const { return trueBlack_; }

  bool drawingToScreen() const { return drawingToScreen_; }
  void setDrawingToScreen(bool on) { drawingToScreen_ = on; }
  bool disableTransparency() const { return disableTransparency_; }
  void setDisableTransparency(bool on) { disableTransparency_ = on; }
  bool createdForLayer() const { return createdForLayer_; }
  void setCreatedForLayer(bool on) { createdForLayer_ = on; }
  // Set from the start on PostScript targets.
  bool printingToPS() const { return printingToPS_; }
  void setPrintingToPS(bool on) { printingToPS_ = on; }
  const std::shared_ptr<KRDrawingInfo>& drawingInfo() const { return drawingInfo_; }
  void setDrawingInfo(std::shared_ptr<KRDrawingInfo> info) { drawingInfo_ = std::move(info); }

  // A context for drawing into an off-screen layer made from this one: it
  // keeps the destination flags and smoothing and is marked createdForLayer.
  std::shared_ptr<KRDrawingContext> contextForLayer(std::shared_ptr<GraphicsContext> layerContext) const;

 private:
  struct SavedState {
    double x, y, sX, sY;
  };

  std::shared_ptr<GraphicsContext> context_;
  bool printingToPS_;
  bool smoothingTurnedOn_ = true;
  double minimumLineWidth_ = 1;
  KRInterpolation currentImageInterpolation_ = KRInterpolation::Default;
  bool drawingToScreen_ = false;
  bool disableTransparency_ = false;
  double scaleX_ = 1, scaleY_ = 1;
  std::vector<SavedState> stateStack_;
  KRPoint theShift_;
  double theScaleX_ = 1, theScaleY_ = 1;
  double alpha_ = 1;
  bool createdForLayer_ = false;
  KRColor trueBlack_ = KRColor::cmyk(0, 0, 0, 1, 1);
  std::shared_ptr<KRDrawingInfo> drawingInfo_;
};

// Saves the platform state for the length of a scope, so that a drawing
// step that ends early or throws still leaves the state as it found it.
class KRGraphicsStateGuard {
 public:
  explicit KRGraphicsStateGuard(KRDrawingContext& context) : context_(context) { context_.saveGraphicsState(); }
  ~KRGraphicsStateGuard() { context_.restoreGraphicsState(); }
  KRGraphicsStateGuard(const KRGraphicsStateGuard&) = delete;
  KRGraphicsStateGuard& operator=(const KRGraphicsStateGuard&) = delete;

 private:
  KRDrawingContext& context_;
};

}  // namespace orrelin
