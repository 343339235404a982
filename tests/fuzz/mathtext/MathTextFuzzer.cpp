// Label markup from documents and data must typeset, never crash or hang:
// every text is tokenized, grouped, built into blocks and laid out, then
// measured, hit-tested, written as SVG and drawn into a small image. The
// first byte chooses the placement; the rest is the label.

#include <cstdint>
#include <memory>
#include <string>

#include "drawing/KRDrawingContext.h"
#include "mathtext/KRDrawingExpressionText.h"
#include "platform/KRMessageCenter.h"
#include "platform/MainThreadQueue.h"

using namespace orrelin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static auto center = [] {
    auto c = std::make_shared<KRMessageCenter>();
    c->setRefresh([](const std::vector<KRMessage>&) {});
    return c;
  }();
  KRMessageCenter::setCenterForCurrentThread(center);
  if (size < 1) return 0;
  std::string label(reinterpret_cast<const char*>(data + 1), size - 1);
  unsigned alignment = data[0] % 5;
  int vAlignment = (data[0] / 5) % 7;
  auto text = KRDrawingExpressionText::multiLineString(label, {24, 24}, KRDrawingStyleFont::styleWithFont("DejaVu Sans", 9),
                                                       std::nullopt, alignment, (data[0] / 35) % 3, vAlignment,
                                                       data[0] * 11.0, std::nullopt);
  KRRect bounds = text->boundingRectangle();
  if (!std::isfinite(bounds.size.width) || !std::isfinite(bounds.size.height)) __builtin_trap();
  text->hitCheck({20, 20});
  text->backgroundPathForScale(2);
  KRSVGStream stream;
  KRSVGInfo info;
  text->addToSVGStream(stream, "", 48, info);
  text->mvgDescription();
  auto gc = GraphicsContext::createForImage({48, 48});
  KRDrawingContext context(gc);
  text->drawToCurrentContext(context);
  if (gc->hasError()) __builtin_trap();
  MainThreadQueue::shared().drain();
  center->removeAllMessages();
  return 0;
}
