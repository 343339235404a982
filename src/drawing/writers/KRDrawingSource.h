#pragma once
// Where a writer gets its drawing: the graph builds a fresh display list for
// each output, told which destination it is for, so that commands can leave
// out what only the screen shows.

#include <memory>
#include <string>

#include "drawing/KRDrawingGroup.h"

namespace orrelin {

// The destinations a drawing is built for.
namespace drawing_destination {
inline constexpr const char* kSVG = "SVG";
inline constexpr const char* kPDF = "PDF";
inline constexpr const char* kEPS = "EPS";
inline constexpr const char* kImage = "Image";  // every bitmap form
inline constexpr const char* kMVG = "MVG";
}  // namespace drawing_destination

class KRDrawingSource {
 public:
  virtual ~KRDrawingSource() = default;
  // The page size in points of every output.
  virtual KRSize drawingSize() const = 0;
  // A new display list at scale 1 for the destination; nullptr when the
  // drawing cannot be built (the source reports why).
  virtual std::shared_ptr<KRDrawingGroup> createGraphic(const std::string& destination) = 0;
};

}  // namespace orrelin
