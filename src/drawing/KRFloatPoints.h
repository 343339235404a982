#pragma once
// Points kept in single-precision arrays, one or more (x, y) pairs per column.

#include <functional>
#include <initializer_list>
#include <memory>

#include "numeric/KRFloatArrayContainer.h"
#include "platform/GraphicsContext.h"

namespace orrelin {

// A copy of array in which the pair starting at each of pointRows of every
// column is moved by map; the other rows are copied as they are. nullptr
// when the copy cannot be made.
inline std::shared_ptr<KRFloatArrayContainer> mapPointsInColumns(const KRFloatArrayContainer& array,
                                                                 std::initializer_list<int> pointRows,
                                                                 const std::function<KRPoint(KRPoint)>& map) {
  auto result = array.mutableCopy();
  if (!result || result->length() == 0) return result;
  int rows = result->m();
  float* values = result->mutablePointer();
  for (long column = 0; column < result->n(); ++column)
    for (int row : pointRows) {
      float* p = values + column * rows + row;
      KRPoint q = map({p[0], p[1]});
      p[0] = static_cast<float>(q.x);
      p[1] = static_cast<float>(q.y);
    }
  return result;
}

}  // namespace orrelin
