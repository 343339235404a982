// Outside data reaching the display list (point arrays and their loops as
// stored in documents, label texts, curve and marker arrays) must give a
// drawing or a message, never a crash: every object made from the bytes is
// measured, hit-tested, rescaled, simplified and drawn into a small image.
// The first byte chooses what the rest of the bytes are.

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/KRDrawingCollections.h"
#include "drawing/KRDrawingContext.h"
#include "drawing/KRDrawingGroup.h"
#include "drawing/KRDrawingPathFromObj.h"
#include "drawing/KRDrawingText.h"
#include "platform/KRMessageCenter.h"
#include "platform/MainThreadQueue.h"
#include "platform/PropertyListSerialization.h"

using namespace orrelin;

namespace {

template <class T>
std::vector<T> valuesFrom(const std::uint8_t* data, std::size_t size) {
  std::vector<T> values(size / sizeof(T));
  if (!values.empty()) std::memcpy(values.data(), data, values.size() * sizeof(T));
  return values;
}

template <class Container, class T>
std::shared_ptr<Container> arrayOf(int rows, const std::vector<T>& values) {
  long columns = static_cast<long>(values.size()) / rows;
  auto array = Container::createArrayOfSizeM(rows, columns);
  if (array && columns > 0) std::memcpy(array->mutablePointer(), values.data(), columns * rows * sizeof(T));
  return array;
}

void exercise(const std::shared_ptr<KRDrawingBasic>& object) {
  if (!object) return;
  auto group = KRDrawingGroup::createWithDrawingObject(object);
  group->boundingRectangle();
  group->hitTestForPoint({10, 10});
  group->simplifyDrawingOutside({0, 0, 32, 32});
  auto scaled = group->scaleBy(1.5, {3, 4}, {20, 20}, true);
  auto gc = GraphicsContext::createForImage({48, 48});
  KRDrawingContext context(gc);
  group->drawToCurrentContext(context);
  if (scaled) scaled->drawToCurrentContext(context);
  if (gc->hasError()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static auto center = [] {
    auto c = std::make_shared<KRMessageCenter>();
    c->setRefresh([](const std::vector<KRMessage>&) {});
    return c;
  }();
  KRMessageCenter::setCenterForCurrentThread(center);
  if (size < 1) return 0;
  const std::uint8_t* rest = data + 1;
  std::size_t length = size - 1;
  switch (data[0] % 5) {
    case 0: {
      // Loops: a count of connection entries, the entries, then points.
      std::size_t count = length > 0 ? rest[0] : 0;
      std::size_t intBytes = std::min(length > 0 ? length - 1 : 0, count * sizeof(int));
      auto connections = arrayOf<KRIntArrayContainer>(1, valuesFrom<int>(rest + 1, intBytes));
      auto points = arrayOf<KRDoubleArrayContainer>(2, valuesFrom<double>(rest + 1 + intBytes, length - std::min(length, 1 + intBytes)));
      auto path = KRDrawingPathFromObj::createFromPath(KRContainerPath2D::create(points, connections));
      if (path) {
        path->setStyle(KRDrawingStyleCurve::createWithColor(KRColor::black(), 1.5));
        exercise(path);
        path->setFillCurve(true);
        exercise(path);
      }
      break;
    }
    case 1: {
      auto text = KRDrawingText::string(std::string(reinterpret_cast<const char*>(rest), length), {5, 20},
                                        KRDrawingStyleFont::styleWithFont("DejaVu Sans", 9), data[0] % 3, data[0] % 7,
                                        data[0] * 7.0);
      text->setDrawSubscriptSuperscript(true);
      text->runs();
      exercise(text);
      break;
    }
    case 2:
      exercise(KRDrawingCubicBezier::createWithArray(arrayOf<KRDoubleArrayContainer>(2, valuesFrom<double>(rest, length))));
      break;
    case 3: {
      auto circles = KRDrawingPathCircleCollection::createFromArray(
          arrayOf<KRFloatArrayContainer>(3, valuesFrom<float>(rest, length)));
      if (circles) {
        circles->setFillCurve(true);
        circles->whichCenterWasHit({1, 1});
      }
      exercise(circles);
      break;
    }
    case 4: {
      // The stored form of a path, as a property list.
      auto raw = parsePropertyList(std::string_view(reinterpret_cast<const char*>(rest), length));
      if (raw) exercise(KRDrawingPathFromObj::createFromPath(KRContainerPath2D::convertFromRawFormat(*raw)));
      break;
    }
  }
  MainThreadQueue::shared().drain();
  center->removeAllMessages();
  return 0;
}
