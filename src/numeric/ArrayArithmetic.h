#pragma once
// Element-wise arithmetic of float and double arrays of both families: array
// with array (same m, n and o, else a message and the empty array), array
// with number in both orders, and the in-place forms. Array - x is computed
// as array + (-x) and array / x as array * (1/x). Nothing checks for
// division by zero or NaN: IEEE arithmetic gives the infinities and NaN and
// they propagate.

#include <string>

#include "numeric/ArrayOperations.h"
#include "numeric/ElementKernels.h"

namespace orrelin {

template <class A>
concept MutableFloatingArray = FloatingArray<A> && std::same_as<A, typename A::MutableArray>;

namespace detail {

inline char symbolOf(ElementOp op) {
  switch (op) {
    case ElementOp::Add: return '+';
    case ElementOp::Subtract: return '-';
    case ElementOp::Multiply: return '*';
    case ElementOp::Divide: return '/';
  }
  return '?';
}

// A new array of a's dimensions whose elements fill(out, count) writes.
template <class A, class Fill>
typename A::MutableArray fillNew(const A& a, Fill fill) {
  typename A::MutableArray result(a.m(), a.n(), a.o());
  fill(result.MutablePointer(), std::size_t(result.Length()));
  return result;
}

template <class A, class B>
typename A::MutableArray combineArrays(const A& a, const B& b, ElementOp op) {
  if (!sameShape(a, b)) {
    std::string name = A::info.messageName;
    A::Family::report(name + symbolOf(op) + name, A::Family::kArraysDiffer);
    return {};
  }
  return fillNew(a, [&](auto* out, std::size_t count) { combineElements(op, a.Pointer(), b.Pointer(), out, count); });
}

template <class M, class B>
M& combineInPlace(M& a, const B& b, ElementOp op) {
  if (!sameShape(a, b)) {
    M::Family::report(M::Family::inPlaceFunction(M::info, symbolOf(op)), M::Family::kInPlaceDiffers);
    return a;
  }
  combineElementsInPlace(op, a.MutablePointer(), b.Pointer(), std::size_t(a.Length()));
  return a;
}

}  // namespace detail

template <class A, class B>
requires FloatingArray<A> && SameArrayKind<A, B>
typename A::MutableArray MVAddArrays(const A& a, const B& b) {
  return detail::combineArrays(a, b, ElementOp::Add);
}
template <class A, class B>
requires FloatingArray<A> && SameArrayKind<A, B>
typename A::MutableArray MVSubtractArrays(const A& a, const B& b) {
  return detail::combineArrays(a, b, ElementOp::Subtract);
}
template <class A, class B>
requires FloatingArray<A> && SameArrayKind<A, B>
typename A::MutableArray MVMultiplyArrays(const A& a, const B& b) {
  return detail::combineArrays(a, b, ElementOp::Multiply);
}
template <class A, class B>
requires FloatingArray<A> && SameArrayKind<A, B>
typename A::MutableArray MVDivideArrays(const A& a, const B& b) {
  return detail::combineArrays(a, b, ElementOp::Divide);
}

template <FloatingArray A>
typename A::MutableArray MVArrayPlusNumber(const A& a, typename A::Element x) {
  return detail::fillNew(a, [&](auto* out, std::size_t count) {
    combineWithNumber(ElementOp::Add, a.Pointer(), x, out, count);
  });
}
template <FloatingArray A>
typename A::MutableArray MVArrayTimesNumber(const A& a, typename A::Element x) {
  return detail::fillNew(a, [&](auto* out, std::size_t count) {
    combineWithNumber(ElementOp::Multiply, a.Pointer(), x, out, count);
  });
}
template <FloatingArray A>
typename A::MutableArray MVNumberMinusArray(typename A::Element x, const A& a) {
  return detail::fillNew(a, [&](auto* out, std::size_t count) {
    numberCombinedWith(ElementOp::Subtract, x, a.Pointer(), out, count);
  });
}
template <FloatingArray A>
typename A::MutableArray MVNumberDividedByArray(typename A::Element x, const A& a) {
  return detail::fillNew(a, [&](auto* out, std::size_t count) {
    numberCombinedWith(ElementOp::Divide, x, a.Pointer(), out, count);
  });
}
template <FloatingArray A>
typename A::MutableArray MVNegateArray(const A& a) {
  return detail::fillNew(a, [&](auto* out, std::size_t count) { negateElements(a.Pointer(), out, count); });
}

template <MutableFloatingArray M, class B>
requires SameArrayKind<M, B> M& MVPlusEqualsArray(M& a, const B& b) {
  return detail::combineInPlace(a, b, ElementOp::Add);
}
template <MutableFloatingArray M, class B>
requires SameArrayKind<M, B> M& MVMinusEqualsArray(M& a, const B& b) {
  return detail::combineInPlace(a, b, ElementOp::Subtract);
}
template <MutableFloatingArray M, class B>
requires SameArrayKind<M, B> M& MVTimesEqualsArray(M& a, const B& b) {
  return detail::combineInPlace(a, b, ElementOp::Multiply);
}
template <MutableFloatingArray M, class B>
requires SameArrayKind<M, B> M& MVDivideEqualsArray(M& a, const B& b) {
  return detail::combineInPlace(a, b, ElementOp::Divide);
}

// Operators over the named functions above.

template <class A, class B>
requires FloatingArray<A> && SameArrayKind<A, B>
typename A::MutableArray operator+(const A& a, const B& b) { return MVAddArrays(a, b); }
template <class A, class B>
requires FloatingArray<A> && SameArrayKind<A, B>
typename A::MutableArray operator-(const A& a, const B& b) { return MVSubtractArrays(a, b); }
template <class A, class B>
requires FloatingArray<A> && SameArrayKind<A, B>
typename A::MutableArray operator*(const A& a, const B& b) { return MVMultiplyArrays(a, b); }
template <class A, class B>
requires FloatingArray<A> && SameArrayKind<A, B>
typename A::MutableArray operator/(const A& a, const B& b) { return MVDivideArrays(a, b); }

template <FloatingArray A>
typename A::MutableArray operator+(const A& a, typename A::Element x) {
  return MVArrayPlusNumber(a, x);
}
template <FloatingArray A>
typename A::MutableArray operator+(typename A::Element x, const A& a) {
  return MVArrayPlusNumber(a, x);
}
template <FloatingArray A>
typename A::MutableArray operator-(const A& a, typename A::Element x) {
  return MVArrayPlusNumber(a, -x);
}
template <FloatingArray A>
typename A::MutableArray operator-(typename A::Element x, const A& a) {
  return MVNumberMinusArray(x, a);
}
template <FloatingArray A>
typename A::MutableArray operator*(const A& a, typename A::Element x) {
  return MVArrayTimesNumber(a, x);
}
template <FloatingArray A>
typename A::MutableArray operator*(typename A::Element x, const A& a) {
  return MVArrayTimesNumber(a, x);
}
template <FloatingArray A>
typename A::MutableArray operator/(const A& a, typename A::Element x) {
  return MVArrayTimesNumber(a, typename A::Element(1) / x);
}
template <FloatingArray A>
typename A::MutableArray operator/(typename A::Element x, const A& a) {
  return MVNumberDividedByArray(x, a);
}
template <FloatingArray A>
typename A::MutableArray operator-(const A& a) {
  return MVNegateArray(a);
}

template <MutableFloatingArray M, class B>
requires SameArrayKind<M, B> M& operator+=(M& a, const B& b) { return MVPlusEqualsArray(a, b); }
template <MutableFloatingArray M, class B>
requires SameArrayKind<M, B> M& operator-=(M& a, const B& b) { return MVMinusEqualsArray(a, b); }
template <MutableFloatingArray M, class B>
requires SameArrayKind<M, B> M& operator*=(M& a, const B& b) { return MVTimesEqualsArray(a, b); }
template <MutableFloatingArray M, class B>
requires SameArrayKind<M, B> M& operator/=(M& a, const B& b) { return MVDivideEqualsArray(a, b); }

template <MutableFloatingArray M>
M& operator+=(M& a, typename M::Element x) {
  combineWithNumberInPlace(ElementOp::Add, a.MutablePointer(), x, std::size_t(a.Length()));
  return a;
}
template <MutableFloatingArray M>
M& operator-=(M& a, typename M::Element x) {
  combineWithNumberInPlace(ElementOp::Add, a.MutablePointer(), -x, std::size_t(a.Length()));
  return a;
}
template <MutableFloatingArray M>
M& operator*=(M& a, typename M::Element x) {
  combineWithNumberInPlace(ElementOp::Multiply, a.MutablePointer(), x, std::size_t(a.Length()));
  return a;
}
template <MutableFloatingArray M>
M& operator/=(M& a, typename M::Element x) {
  combineWithNumberInPlace(ElementOp::Multiply, a.MutablePointer(), typename M::Element(1) / x,
                           std::size_t(a.Length()));
  return a;
}

}  // namespace orrelin
