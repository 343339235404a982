#pragma once
// Where a writer gets its drawing: the graph builds a fresh display list for
// each output, told which destination it is for, so that commands can leave
// out what only the screen shows.

#include <memory>
#include <optional>
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
// No destination named: the graph is built without an information
// dictionary (the batch tool's check for a drawing, movie frames).
inline constexpr const char* kNone = "";
}  // namespace drawing_destination

class KRDrawingSource {
 public:
  virtual ~KRDrawingSource() = default;
  // The graph's own page size in points (its drawing view's size).
  virtual KRSize drawingSize() const = 0;
  // A new display list at scale 1 for the destination, laid out on a page
  // of the size given; nullptr when the drawing cannot be built (the source
  // reports why).
  virtual std::shared_ptr<KRDrawingGroup> createGraphic(const std::string& destination, KRSize size) = 0;
};

// The animation parameter of a document as movies step it: its range, the
// step it takes and how long the animation lasts. Setting the time changes
// the parameter and so everything drawn from it.
class KRAnimationTarget {
 public:
  virtual ~KRAnimationTarget() = default;
  // The animation parameter's minimum and maximum.
  virtual double animationStarts() const = 0;
  virtual double animationStops() const = 0;
  // 1 when the parameter takes only whole numbers, otherwise 0.
  virtual double animationStep() const = 0;
  // Seconds while the parameter is valid, otherwise 0.
  virtual double animationDuration() const = 0;
  virtual void setAnimationTime(double value) = 0;
  // The range and duration texts of the batch tool; none leaves the setting.
  virtual void setAnimationRange(const std::optional<std::string>& rangeText) = 0;
  virtual void setAnimationDurationText(const std::optional<std::string>& durationText) = 0;
};

}  // namespace orrelin
