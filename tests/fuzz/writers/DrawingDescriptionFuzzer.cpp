// A drawing description from outside (an .mvg file, the clipboard) must give
// a drawing or a message, never a crash, however damaged or hostile: huge
// sizes, deep nesting, wrong types. Whatever is rebuilt is written again in
// every form the writers make without a file, and drawn into a small image.

#include <cstdint>
#include <memory>
#include <vector>
#include <string_view>

#include "drawing/KRDrawingDescription.h"
#include "drawing/writers/VKDrawingView.h"
#include "platform/KRMessageCenter.h"
#include "platform/MainThreadQueue.h"

using namespace orrelin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Messages stay with this thread and are dropped after each input.
  static const auto center = [] {
    auto made = std::make_shared<KRMessageCenter>();
    made->setRefresh([](const std::vector<KRMessage>&) {});
    KRMessageCenter::setCenterForCurrentThread(made);
    return made;
  }();
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (auto drawing = drawingFromMVGData(bytes)) {
    drawing->graphic->mvgDescription();
    VKDrawingView view;
    // A small page, whatever size the description claims.
    view.setGraphic(drawing->graphic, {32, 32});
    view.svgForm();
    view.imageWithScale(1, true);
  }
  MainThreadQueue::shared().drain();
  center->removeAllMessages();
  return 0;
}
