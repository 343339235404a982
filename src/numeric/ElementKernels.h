#pragma once
// The element-wise loops behind the array arithmetic of both families: plain
// loops over raw pointers, compiled once for float and double with
// vectorisation, with no bounds checks or per-element dispatch.

#include <cstddef>

namespace orrelin {

enum class ElementOp { Add, Subtract, Multiply, Divide };

// out[p] = a[p] op b[p]; out may not overlap a or b.
template <class T>
void combineElements(ElementOp op, const T* a, const T* b, T* out, std::size_t count);
// a[p] = a[p] op b[p].
template <class T>
void combineElementsInPlace(ElementOp op, T* a, const T* b, std::size_t count);
// out[p] = a[p] op x.
template <class T>
void combineWithNumber(ElementOp op, const T* a, T x, T* out, std::size_t count);
// out[p] = x op a[p].
template <class T>
void numberCombinedWith(ElementOp op, T x, const T* a, T* out, std::size_t count);
// a[p] = a[p] op x.
template <class T>
void combineWithNumberInPlace(ElementOp op, T* a, T x, std::size_t count);
// out[p] = -a[p].
template <class T>
void negateElements(const T* a, T* out, std::size_t count);
// a[p] += x * b[p].
template <class T>
void addMultipleOf(T* a, const T* b, T x, std::size_t count);

}  // namespace orrelin
