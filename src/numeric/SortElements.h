#pragma once
// Sorting of raw elements and of (value, index) pairs. The sort is
// introspective (quick sort, heap sort when the recursion gets deep, a final
// insertion sort): the standard library's std::sort. NaN compares false with
// everything, which would break the ordering the sort relies on, so NaN
// values are first moved behind all others and only the rest is sorted.
// The order among equal values is not defined.

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace orrelin {

template <class T>
struct SortingPair {
  T value;
  int index;
  // Ordered by value alone.
  friend bool operator<(const SortingPair& a, const SortingPair& b) { return a.value < b.value; }
};

// A (value, index) pair ordered by its value.
using MVArraySortingPair = SortingPair<double>;

namespace detail {

template <class Iterator, class Value>
Iterator moveNaNToTheEnd(Iterator first, Iterator last, Value value) {
  using T = std::remove_cvref_t<decltype(value(*first))>;
  if constexpr (std::is_floating_point_v<T>) {
    return std::partition(first, last, [&](const auto& item) { return !std::isnan(value(item)); });
  } else {
    return last;
  }
}

}  // namespace detail

// Ascending order, NaN last.
template <class T>
void sortElements(T* data, long count) {
  if (count < 2) return;
  T* end = detail::moveNaNToTheEnd(data, data + count, [](T v) { return v; });
  std::sort(data, end);
}

// Ascending order of the values, NaN values last.
template <class T>
void sortPairs(SortingPair<T>* pairs, long count) {
  if (count < 2) return;
  auto* end = detail::moveNaNToTheEnd(pairs, pairs + count, [](const SortingPair<T>& p) { return p.value; });
  std::sort(pairs, end);
}

// Keeps the first of every run of equal neighbours at the front and returns
// how many are kept.
template <class T>
long removeRepeatedNeighbours(T* data, long count) {
  if (count < 2) return count;
  long kept = 1;
  for (long i = 1; i < count; ++i) {
    if (!(data[i] == data[kept - 1])) data[kept++] = data[i];
  }
  return kept;
}

}  // namespace orrelin
