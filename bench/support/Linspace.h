#pragma once
// Evenly spaced test columns, so that benchmarks compared with numpy feed
// both sides the same numbers.

#include <memory>

#include "numeric/KRDoubleArrayContainer.h"

namespace orrelin::bench_support {

// The spacing of numpy's linspace: start + k*step, the last element exact.
inline std::shared_ptr<KRDoubleArrayContainer> linspace(double start, double stop, long n) {
  auto array = KRDoubleArrayContainer::createArrayOfLength(n);
  double* data = array->mutableDoublePointer();
  const double step = (stop - start) / double(n - 1);
  for (long k = 0; k < n; ++k) data[k] = start + double(k) * step;
  data[n - 1] = stop;
  return array;
}

}  // namespace orrelin::bench_support
