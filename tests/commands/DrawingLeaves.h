#pragma once
// What a command's drawing holds, looked up by kind for the tests: every
// leaf below a group, and the error-bar segments whichever drawing kind
// carries them (a path of two-point runs, or a line collection when the bars
// are too many for a path).

#include <array>
#include <memory>
#include <vector>

#include "drawing/KRDrawingCollections.h"
#include "drawing/KRDrawingGroup.h"
#include "drawing/KRDrawingPathFromObj.h"

namespace orrelin::testing_support {

inline void collectLeaves(const KRDrawingGroup& group, std::vector<std::shared_ptr<KRDrawingBasic>>& out) {
  for (std::size_t i = 0; i < group.count(); ++i) {
    auto child = group.objectAtIndex(i);
    if (auto inner = std::dynamic_pointer_cast<KRDrawingGroup>(child))
      collectLeaves(*inner, out);
    else
      out.push_back(child);
  }
}

template <class Kind>
std::vector<std::shared_ptr<Kind>> all(const std::shared_ptr<KRDrawingGroup>& group) {
  std::vector<std::shared_ptr<KRDrawingBasic>> leaves;
  if (group) collectLeaves(*group, leaves);
  std::vector<std::shared_ptr<Kind>> found;
  for (auto& leaf : leaves)
    if (auto kind = std::dynamic_pointer_cast<Kind>(leaf)) found.push_back(kind);
  return found;
}

// A path of two or more runs that are all single segments: how error bars
// are drawn. (A plot line is one polyline per stretch without gaps; the
// tests' bars always come with caps or in numbers, so a lone segment is
// taken for a line.)
inline bool isSegmentPath(const KRDrawingPathFromObj& path) {
  const auto runs = path.thePath()->runs();
  if (runs.size() < 2) return false;
  for (const auto& run : runs)
    if (run.length != 2) return false;
  return true;
}

// x1, y1, x2, y2 of each segment a path's runs or a line collection draw.
inline void addSegments(const KRDrawingBasic& drawing, std::vector<std::array<float, 4>>& found) {
  if (const auto* path = dynamic_cast<const KRDrawingPathFromObj*>(&drawing)) {
    const auto& loops = *path->thePath();
    for (const auto& run : loops.runs()) {
      if (run.length != 2) continue;
      const KRPoint a = loops.point(loops.connections()[run.start]);
      const KRPoint b = loops.point(loops.connections()[run.start + 1]);
      found.push_back({float(a.x), float(a.y), float(b.x), float(b.y)});
    }
  } else if (const auto* lines = dynamic_cast<const KRDrawingPathLineCollection*>(&drawing)) {
    const float* v = lines->lineSegments()->constPointer();
    for (long i = 0; i < lines->count(); ++i) found.push_back({v[4 * i], v[4 * i + 1], v[4 * i + 2], v[4 * i + 3]});
  }
}

// The segments of the error bars below group.
inline std::vector<std::array<float, 4>> barSegments(const std::shared_ptr<KRDrawingGroup>& group) {
  std::vector<std::array<float, 4>> found;
  for (auto& path : all<KRDrawingPathFromObj>(group))
    if (isSegmentPath(*path)) addSegments(*path, found);
  for (auto& lines : all<KRDrawingPathLineCollection>(group)) addSegments(*lines, found);
  return found;
}

// Every segment of a drawing made of error bars alone, however few.
inline std::vector<std::array<float, 4>> segmentsOf(const std::shared_ptr<KRDrawingGroup>& bars) {
  std::vector<std::array<float, 4>> found;
  std::vector<std::shared_ptr<KRDrawingBasic>> leaves;
  if (bars) collectLeaves(*bars, leaves);
  for (const auto& leaf : leaves) addSegments(*leaf, found);
  return found;
}

}  // namespace orrelin::testing_support
