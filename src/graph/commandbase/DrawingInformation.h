#pragma once
// The side information a drawing pass collects from the commands: where a
// click selects something (hit rectangles, only from fresh computations) and
// where a double click opens something (carried from the cache too), plus the
// value a command keeps from one computation to the next.

#include <any>
#include <string>
#include <vector>

#include "platform/PageGeometry.h"
#include "platform/PropertyList.h"

namespace orrelin {

class DataDrawingCommand;

struct KRHitRect {
  KRRect rect;
  // The command the rectangle belongs to; not owned.
  const DataDrawingCommand* command = nullptr;
  // What the rectangle stands for, as the command chooses ("Point", a row ...).
  PlistDictionary details;
};

struct KRDoubleClickTarget {
  KRRect rect;
  const DataDrawingCommand* command = nullptr;
  PlistDictionary details;
};

// The information dictionary of a computation: "Cached Content",
// "Double Click" and "Hit Rects".
struct KRDrawingInformation {
  std::any cachedContent;
  std::vector<KRDoubleClickTarget> doubleClick;
  std::vector<KRHitRect> hitRects;

  bool isEmpty() const { return !cachedContent.has_value() && doubleClick.empty() && hitRects.empty(); }
};

}  // namespace orrelin
