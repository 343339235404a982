#include "numeric/ElementKernels.h"

#include <cstdint>

namespace orrelin {

namespace {

// Each operation is its own loop so that the choice is made once per call and
// the loop body is a single vectorisable expression.
template <class T, class Op>
void loop(const T* __restrict a, const T* __restrict b, T* __restrict out, std::size_t count, Op op) {
  for (std::size_t p = 0; p < count; ++p) out[p] = op(a[p], b[p]);
}

// b may be a itself (A += A); only the same position is read and written.
template <class T, class Op>
void loopInPlace(T* a, const T* b, std::size_t count, Op op) {
  for (std::size_t p = 0; p < count; ++p) a[p] = op(a[p], b[p]);
}

template <class T, class Op>
void loopNumber(const T* __restrict a, T* __restrict out, std::size_t count, Op op) {
  for (std::size_t p = 0; p < count; ++p) out[p] = op(a[p]);
}

template <class T, class Op>
void loopNumberInPlace(T* __restrict a, std::size_t count, Op op) {
  for (std::size_t p = 0; p < count; ++p) a[p] = op(a[p]);
}

}  // namespace

template <class T>
void combineElements(ElementOp op, const T* a, const T* b, T* out, std::size_t count) {
  switch (op) {
    case ElementOp::Add: loop(a, b, out, count, [](T x, T y) { return x + y; }); break;
    case ElementOp::Subtract: loop(a, b, out, count, [](T x, T y) { return x - y; }); break;
    case ElementOp::Multiply: loop(a, b, out, count, [](T x, T y) { return x * y; }); break;
    case ElementOp::Divide: loop(a, b, out, count, [](T x, T y) { return x / y; }); break;
  }
}

template <class T>
void combineElementsInPlace(ElementOp op, T* a, const T* b, std::size_t count) {
  switch (op) {
    case ElementOp::Add: loopInPlace(a, b, count, [](T x, T y) { return x + y; }); break;
    case ElementOp::Subtract: loopInPlace(a, b, count, [](T x, T y) { return x - y; }); break;
    case ElementOp::Multiply: loopInPlace(a, b, count, [](T x, T y) { return x * y; }); break;
    case ElementOp::Divide: loopInPlace(a, b, count, [](T x, T y) { return x / y; }); break;
  }
}

template <class T>
void combineWithNumber(ElementOp op, const T* a, T x, T* out, std::size_t count) {
  switch (op) {
    case ElementOp::Add: loopNumber(a, out, count, [x](T v) { return v + x; }); break;
    case ElementOp::Subtract: loopNumber(a, out, count, [x](T v) { return v - x; }); break;
    case ElementOp::Multiply: loopNumber(a, out, count, [x](T v) { return v * x; }); break;
    case ElementOp::Divide: loopNumber(a, out, count, [x](T v) { return v / x; }); break;
  }
}

template <class T>
void numberCombinedWith(ElementOp op, T x, const T* a, T* out, std::size_t count) {
  switch (op) {
    case ElementOp::Add: loopNumber(a, out, count, [x](T v) { return x + v; }); break;
    case ElementOp::Subtract: loopNumber(a, out, count, [x](T v) { return x - v; }); break;
    case ElementOp::Multiply: loopNumber(a, out, count, [x](T v) { return x * v; }); break;
    case ElementOp::Divide: loopNumber(a, out, count, [x](T v) { return x / v; }); break;
  }
}

template <class T>
void combineWithNumberInPlace(ElementOp op, T* a, T x, std::size_t count) {
  switch (op) {
    case ElementOp::Add: loopNumberInPlace(a, count, [x](T v) { return v + x; }); break;
    case ElementOp::Subtract: loopNumberInPlace(a, count, [x](T v) { return v - x; }); break;
    case ElementOp::Multiply: loopNumberInPlace(a, count, [x](T v) { return v * x; }); break;
    case ElementOp::Divide: loopNumberInPlace(a, count, [x](T v) { return v / x; }); break;
  }
}

template <class T>
void negateElements(const T* a, T* out, std::size_t count) {
  loopNumber(a, out, count, [](T v) { return -v; });
}

template <class T>
void addMultipleOf(T* a, const T* b, T x, std::size_t count) {
  loopInPlace(a, b, count, [x](T u, T v) { return u + x * v; });
}

#define ORREL_KERNELS(T)                                                            \
  template void combineElements<T>(ElementOp, const T*, const T*, T*, std::size_t); \
  template void combineElementsInPlace<T>(ElementOp, T*, const T*, std::size_t);    \
  template void combineWithNumber<T>(ElementOp, const T*, T, T*, std::size_t);      \
  template void numberCombinedWith<T>(ElementOp, T, const T*, T*, std::size_t);     \
  template void combineWithNumberInPlace<T>(ElementOp, T*, T, std::size_t);         \
  template void negateElements<T>(const T*, T*, std::size_t);                       \
  template void addMultipleOf<T>(T*, const T*, T, std::size_t);

ORREL_KERNELS(float)
ORREL_KERNELS(double)
#undef ORREL_KERNELS

}  // namespace orrelin
