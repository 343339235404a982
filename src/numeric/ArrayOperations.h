#pragma once
// The whole-array operations shared by both array families: shape
// operations, sorting, searching, filtering and conversions. Each returns a
// new array of the argument's family and leaves the argument unchanged.
// Misuse is reported through the family's channel (the message centre for
// the locked family, the library error list for the plain one) and gives the
// empty array.

#include <algorithm>
#include <array>
#include <cmath>
#include <concepts>
#include <limits>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "numeric/ArrayHandle.h"
#include "numeric/SortElements.h"

namespace orrelin {

template <class A>
concept NumericArray = requires {
  typename A::Element;
  typename A::Family;
  typename A::ImmutableArray;
  typename A::MutableArray;
  A::info;
};

// Two handles of one array type (either may be the mutable one).
template <class A, class B>
concept SameArrayKind = NumericArray<A> && NumericArray<B> &&
    std::same_as<typename A::ImmutableArray, typename B::ImmutableArray>;

template <class A>
concept FloatingArray = NumericArray<A> && std::is_floating_point_v<typename A::Element>;

template <class A>
using IndexArrayOf = typename A::Family::template MutableOf<int>;

namespace detail {

template <class A>
bool sameShape(const A& a, const auto& b) {
  return a.m() == b.m() && a.n() == b.n() && a.o() == b.o();
}

template <class Result, class A>
Result copyFront(const A& a, long m, long n, long o) {
  Result result(m, n, o);
  std::copy_n(a.Pointer(), std::min<long>(a.Length(), result.Length()), result.MutablePointer());
  return result;
}

// Element-wise conversion that never leaves the target's range: NaN becomes
// 0 and values beyond an integer type's range are clamped to it.
template <class To, class From>
To convertElement(From value) {
  if constexpr (std::is_integral_v<To> && std::is_floating_point_v<From>) {
    if (std::isnan(value)) return 0;
    if (value <= static_cast<From>(std::numeric_limits<To>::lowest()))
      return std::numeric_limits<To>::lowest();
    if (value >= static_cast<From>(std::numeric_limits<To>::max())) return std::numeric_limits<To>::max();
    return static_cast<To>(value);
  } else if constexpr (std::is_integral_v<To> && std::is_integral_v<From>) {
    if (std::cmp_less(value, std::numeric_limits<To>::lowest())) return std::numeric_limits<To>::lowest();
    if (std::cmp_greater(value, std::numeric_limits<To>::max())) return std::numeric_limits<To>::max();
    return static_cast<To>(value);
  } else {
    return static_cast<To>(value);
  }
}

template <class A>
typename A::MutableArray badRegion() {
  A::Family::report(std::string("Region of ") + A::info.word + " array, incorrect offsets.");
  return {};
}

template <class A, class Keep>
typename A::MutableArray filterElements(const A& a, Keep keep) {
  const auto* data = a.Pointer();
  long count = 0;
  for (long i = 0; i < a.Length(); ++i) count += keep(data[i]) ? 1 : 0;
  typename A::MutableArray result(count, 1, 1);
  auto* out = result.MutablePointer();
  long at = 0;
  for (long i = 0; i < a.Length() && at < result.Length(); ++i) {
    if (keep(data[i])) out[at++] = data[i];
  }
  return result;
}

}  // namespace detail

// Adds extra elements along the last used dimension: a vector grows in m, a
// 2-D array in n (extra a multiple of m), a 3-D array in o (extra a multiple
// of m*n). The old elements come first; the new ones are not initialised.
template <NumericArray A>
typename A::MutableArray IncreaseSize(const A& a, long extra) {
  using F = typename A::Family;
  using R = typename A::MutableArray;
  const char* function = "IncreaseSize(Array,Length)";
  if (extra < 0) {
    F::report(function, "Length needs to be >0.");
    return R();
  }
  long m = a.m(), n = a.n(), o = a.o();
  if (n <= 1 && o <= 1) return detail::copyFront<R>(a, m + extra, 1, 1);
  if (o <= 1) {
    if (extra % m != 0) {
      F::report(function, "Length needs to be a multiple of m");
      return R();
    }
    return detail::copyFront<R>(a, m, n + extra / m, 1);
  }
  if (extra % (m * n) != 0) {
    F::report(function, "Length needs to be a multiple of m*n");
    return R();
  }
  return detail::copyFront<R>(a, m, n, o + extra / (m * n));
}

// The first length elements, cut along the last used dimension under the
// same divisibility rules as IncreaseSize; 0 gives the empty array.
template <NumericArray A>
typename A::MutableArray TruncateSize(const A& a, long length) {
  using F = typename A::Family;
  using R = typename A::MutableArray;
  const char* function = "TruncateSize(Array,Length)";
  if (length == 0) return R();
  if (a.IsEmpty()) {
    F::report(function, "Array is empty.");
    return R();
  }
  if (length < 0 || length > a.Length()) {
    F::report(function, "Invalid length.");
    return R();
  }
  long m = a.m(), n = a.n(), o = a.o();
  if (n <= 1 && o <= 1) return detail::copyFront<R>(a, length, 1, 1);
  long stride = o <= 1 ? m : m * n;
  if (length % stride != 0) {
    F::report(function, "Invalid new dimension");
    return R();
  }
  return o <= 1 ? detail::copyFront<R>(a, m, length / m, 1) : detail::copyFront<R>(a, m, n, length / (m * n));
}

// The first length elements as a vector.
template <NumericArray A>
typename A::MutableArray CropLength(const A& a, long length) {
  using F = typename A::Family;
  std::string function = std::string("CropLength(") + A::info.messageName + ",len)";
  if (length < 0) {
    F::report(function, "len<0.");
    return {};
  }
  if (length > a.Length()) {
    F::report(function, "len>length of array.");
    return {};
  }
  return detail::copyFront<typename A::MutableArray>(a, length, 1, 1);
}

// The first count columns of a 2-D array.
template <NumericArray A>
typename A::MutableArray ExtractColumns(const A& a, long count) {
  using F = typename A::Family;
  if (a.o() > 1) {
    F::report("ExtractColumns", "Can only extract columns from a 2D array.");
    return {};
  }
  if (count > a.n()) {
    F::report("ExtractColumns", "Asking for too many columns.  Returning empty.");
    return {};
  }
  if (count <= 0) return {};
  return detail::copyFront<typename A::MutableArray>(a, a.m(), count, 1);
}

// The block of size m x n x o whose first element is (i, j, k).
template <NumericArray A>
typename A::MutableArray Region(const A& a, long i, long m, long j, long n, long k, long o) {
  auto fits = [](long first, long size, long dimension) {
    return first >= 0 && size >= 0 && first <= dimension && size <= dimension - first;
  };
  if (!fits(i, m, a.m()) || !fits(j, n, a.n()) || !fits(k, o, a.o())) return detail::badRegion<A>();
  typename A::MutableArray result(m, n, o);
  if (result.IsEmpty()) return result;
  const auto* from = a.Pointer();
  auto* to = result.MutablePointer();
  long am = a.m(), amn = long(a.m()) * a.n();
  for (long kk = 0; kk < o; ++kk) {
    for (long jj = 0; jj < n; ++jj) {
      std::copy_n(from + i + (j + jj) * am + (k + kk) * amn, m, to);
      to += m;
    }
  }
  return result;
}

// The m x n block whose first element is (i, j), in the first plane.
template <NumericArray A>
typename A::MutableArray Region(const A& a, long i, long m, long j, long n) {
  return Region(a, i, m, j, n, 0, a.IsEmpty() ? 0 : 1);
}

// The block whose first element is first = (i, j, k) and whose dimensions are
// size = (m, n, o).
template <NumericArray A>
typename A::MutableArray RegionOfIndices(const A& a, const std::array<long, 3>& first,
                                         const std::array<long, 3>& size) {
  return Region(a, first[0], size[0], first[1], size[1], first[2], size[2]);
}

// count consecutive elements from position first, as a vector.
template <NumericArray A>
typename A::MutableArray SubArray(const A& a, long first, long count) {
  if (first < 0 || count < 0 || first > a.Length() || count > a.Length() - first)
    return detail::badRegion<A>();
  typename A::MutableArray result(count, 1, 1);
  std::copy_n(a.Pointer() + first, result.Length(), result.MutablePointer());
  return result;
}

// m x n becomes n x m; every plane of a 3-D array is transposed.
template <NumericArray A>
typename A::MutableArray Transpose(const A& a) {
  long m = a.m(), n = a.n(), o = a.o();
  typename A::MutableArray result(n, m, o);
  if (result.IsEmpty()) return result;
  const auto* from = a.Pointer();
  auto* to = result.MutablePointer();
  for (long k = 0; k < o; ++k) {
    const auto* plane = from + k * m * n;
    auto* out = to + k * m * n;
    for (long j = 0; j < n; ++j) {
      for (long i = 0; i < m; ++i) out[j + i * n] = plane[i + j * m];
    }
  }
  return result;
}

// The columns in reverse order (per plane).
template <NumericArray A>
typename A::MutableArray FlipJ(const A& a) {
  long m = a.m(), n = a.n(), o = a.o();
  typename A::MutableArray result(m, n, o);
  if (result.IsEmpty()) return result;
  for (long k = 0; k < o; ++k) {
    for (long j = 0; j < n; ++j) {
      std::copy_n(a.Pointer() + (n - 1 - j) * m + k * m * n, m, result.MutablePointer() + j * m + k * m * n);
    }
  }
  return result;
}

// The same elements with new dimensions; m*n*o must equal the length.
template <NumericArray A>
typename A::MutableArray Reshape(const A& a, long m, long n, long o = 1) {
  if (!shapeHoldsLength(m, n, o, a.Length())) {
    reportInvalidReshape<A>();
    return {};
  }
  return detail::copyFront<typename A::MutableArray>(a, m, n, o);
}

// The elements at the given positions, in the shape of the index array.
template <NumericArray A, NumericArray I>
requires std::same_as<typename I::Element, int>
typename A::MutableArray ExtractEntries(const A& a, const I& indices) {
  const int* at = indices.Pointer();
  for (long p = 0; p < indices.Length(); ++p) {
    if (at[p] < 0 || at[p] >= a.Length()) {
      A::Family::report(std::string("ExtractEntries(") + A::info.messageName + "," + I::info.messageName + ")",
                        "Index out of range");
      return {};
    }
  }
  typename A::MutableArray result(indices.m(), indices.n(), indices.o());
  auto* out = result.MutablePointer();
  for (long p = 0; p < result.Length(); ++p) out[p] = a.Pointer()[at[p]];
  return result;
}

// The columns of b after those of a. Both need the same number of rows and
// at most one plane; an empty argument gives a copy of the other.
template <class A, class B>
requires SameArrayKind<A, B>
typename A::MutableArray CombineColumns(const A& a, const B& b) {
  if (a.IsEmpty()) return b.Copy();
  if (b.IsEmpty()) return a.Copy();
  if (a.m() != b.m() || a.o() > 1 || b.o() > 1) {
    A::Family::report("CombineColumns", "The arrays need the same number of rows and one plane.");
    return {};
  }
  typename A::MutableArray result(a.m(), long(a.n()) + b.n(), 1);
  if (result.IsEmpty()) return result;
  std::copy_n(a.Pointer(), a.Length(), result.MutablePointer());
  std::copy_n(b.Pointer(), b.Length(), result.MutablePointer() + a.Length());
  return result;
}

// The elements as a vector in ascending order (NaN last).
template <NumericArray A>
typename A::MutableArray Sort(const A& a) {
  auto result = detail::copyFront<typename A::MutableArray>(a, a.Length(), 1, 1);
  result.Sort();
  return result;
}

// The permutation p that sorts a: a(p(0)) <= a(p(1)) <= ..., NaN last.
template <NumericArray A>
IndexArrayOf<A> SortedOrder(const A& a) {
  std::vector<SortingPair<typename A::Element>> pairs(static_cast<std::size_t>(a.Length()));
  for (long i = 0; i < a.Length(); ++i) pairs[i] = {a.Pointer()[i], int(i)};
  sortPairs(pairs.data(), a.Length());
  IndexArrayOf<A> order(a.Length(), 1, 1);
  for (long i = 0; i < order.Length(); ++i) order.MutablePointer()[i] = pairs[i].index;
  return order;
}

// Sorts values ascending and applies the same permutation to indices.
template <NumericArray V, NumericArray I>
requires std::same_as<typename I::Element, int> && std::same_as<V, typename V::MutableArray> &&
    std::same_as<I, typename I::MutableArray>
void Sort(V& values, I& indices) {
  if (values.Length() != indices.Length()) {
    V::Family::report("SortDoubleAndInt", "Incompatible sizes.");
    return;
  }
  long count = values.Length();
  std::vector<SortingPair<typename V::Element>> pairs(static_cast<std::size_t>(count));
  auto* value = values.MutablePointer();
  int* index = indices.MutablePointer();
  for (long i = 0; i < count; ++i) pairs[i] = {value[i], index[i]};
  sortPairs(pairs.data(), count);
  for (long i = 0; i < count; ++i) {
    value[i] = pairs[i].value;
    index[i] = pairs[i].index;
  }
}

// Index of value by a linear scan; -1 if absent.
template <NumericArray A>
long FindEntry(const A& a, typename A::Element value) {
  return a.Find(value);
}

// Index of value in an ascending array, by bisection; -1 if absent.
template <NumericArray A>
long FindEntryInSorted(const A& a, typename A::Element value) {
  const auto* begin = a.Pointer();
  const auto* end = begin + a.Length();
  const auto* at = std::lower_bound(begin, end, value);
  return at != end && *at == value ? long(at - begin) : -1;
}

// The finite elements as a vector, in their order.
template <FloatingArray A>
typename A::MutableArray NonNanAndInf(const A& a) {
  return detail::filterElements(a, [](auto v) { return std::isfinite(v); });
}

// The NaN and infinite elements as a vector, in their order.
template <FloatingArray A>
typename A::MutableArray NaNAndInfNumbers(const A& a) {
  return detail::filterElements(a, [](auto v) { return !std::isfinite(v); });
}

// Element-wise conversion to another element type of the same family, same
// dimensions.
template <class To, NumericArray A>
typename A::Family::template MutableOf<To> ConvertArray(const A& a) {
  typename A::Family::template MutableOf<To> result(a.m(), a.n(), a.o());
  const auto* from = a.Pointer();
  To* to = result.MutablePointer();
  for (long p = 0; p < result.Length(); ++p) to[p] = detail::convertElement<To>(from[p]);
  return result;
}
template <NumericArray A>
auto ConvertToDoubleArray(const A& a) {
  return ConvertArray<double>(a);
}
template <NumericArray A>
auto ConvertToFloatArray(const A& a) {
  return ConvertArray<float>(a);
}
template <NumericArray A>
auto ConvertToIntArray(const A& a) {
  return ConvertArray<int>(a);
}
template <NumericArray A>
auto ConvertToCharacterArray(const A& a) {
  return ConvertArray<signed char>(a);
}
template <NumericArray A>
auto ConvertToUShortArray(const A& a) {
  return ConvertArray<unsigned short>(a);
}

}  // namespace orrelin

#include "numeric/ArrayArithmetic.h"
