#pragma once
// What every handle of both array families offers on top of its storage:
// the shape, raw element access for bulk work, and the whole-array queries
// that do not depend on the family.

#include <algorithm>
#include <array>
#include <cmath>
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <type_traits>

#include "numeric/ArrayStorage.h"
#include "numeric/SortElements.h"

namespace orrelin {

// A value is finite when it is neither NaN nor an infinity; integers always are.
template <class T>
inline bool isFiniteValue(T value) {
  if constexpr (std::is_floating_point_v<T>) {
    return std::isfinite(value);
  } else {
    (void)value;
    return true;
  }
}

// The type the sum of the elements is formed in: double for floating point,
// 64-bit integers otherwise, so that integer sums do not wrap.
template <class T>
using ArraySum = std::conditional_t<std::is_floating_point_v<T>, double,
                                    std::conditional_t<std::is_signed_v<T>, std::int64_t, std::uint64_t>>;

// The first of Arrays whose element type is U.
template <class U, class... Arrays>
struct FirstWithElement;
template <class U, class A, class... Rest>
struct FirstWithElement<U, A, Rest...>
    : std::conditional_t<std::is_same_v<typename A::Element, U>, std::type_identity<A>,
                         FirstWithElement<U, Rest...>> {};

// Whether an m x n x o shape holds exactly length elements; never for a
// negative dimension or a product beyond the range of long.
inline bool shapeHoldsLength(long m, long n, long o, long length) {
  long mn = 0, mno = 0;
  return m >= 0 && n >= 0 && o >= 0 && !__builtin_mul_overflow(m, n, &mn) && !__builtin_mul_overflow(mn, o, &mno) &&
         mno == length;
}

// What a reshape to a shape of another length reports.
template <class A>
void reportInvalidReshape() {
  A::Family::report(std::string("Internal error: ") + A::info.messageName + "::Reshape: Invalid new size.");
}

// Derived is the family's immutable handle. It has the type's info and its
// Family, through which messages go, and supplies reportOutOfRange(index...),
// which reports an index outside the array, and standIn(), the element given
// back in its place. Storage counts the handles that share it (retain,
// release, count), under a lock or not as the family needs.
template <class Storage, class Derived>
class ArrayHandle {
 public:
  using Element = typename Storage::Element;

  // Element (i), (i, j) or (i, j, k) by value; each index is tested against
  // its own dimension, the single index against the length.
  Element operator()(long i) const {
    long p = position(i);
    if (p < 0) [[unlikely]]
      return outOfRangeAt(i);
    return storage_->data[p];
  }
  Element operator()(long i, long j) const {
    long p = position(i, j);
    if (p < 0) [[unlikely]]
      return outOfRangeAt(i, j);
    return storage_->data[p];
  }
  Element operator()(long i, long j, long k) const {
    long p = position(i, j, k);
    if (p < 0) [[unlikely]]
      return outOfRangeAt(i, j, k);
    return storage_->data[p];
  }

  // The number of handles sharing the storage.
  int ReferenceCount() const { return storage_->count(); }

  int m() const { return storage_->m; }
  int n() const { return storage_->n; }
  int o() const { return storage_->o; }
  int Length() const { return storage_->length; }
  bool IsEmpty() const { return storage_->length == 0; }
  bool NotEmpty() const { return storage_->length != 0; }
  // The elements in column-major order; null for an empty array.
  const Element* Pointer() const { return storage_->data; }
  // Whether two handles refer to one storage.
  bool SharesStorageWith(const ArrayHandle& other) const { return storage_ == other.storage_; }

  // Index of the first element equal to value, scanning from 0; -1 if none.
  long Find(Element value) const {
    const Element* data = storage_->data;
    for (long i = 0; i < storage_->length; ++i) {
      if (data[i] == value) return i;
    }
    return -1;
  }
  bool Contains(Element value) const { return Find(value) >= 0; }
  long Count(Element value) const {
    const Element* data = storage_->data;
    long count = 0;
    for (long i = 0; i < storage_->length; ++i) count += data[i] == value;
    return count;
  }
  ArraySum<Element> Sum() const {
    const Element* data = storage_->data;
    ArraySum<Element> sum = 0;
    for (long i = 0; i < storage_->length; ++i) sum += data[i];
    return sum;
  }
  // Both set to the first element and widened over the rest; both 0 for an
  // empty array.
  void Range(Element& min, Element& max) const {
    const Element* data = storage_->data;
    if (storage_->length == 0) {
      min = max = 0;
      return;
    }
    min = max = data[0];
    for (long i = 1; i < storage_->length; ++i) {
      if (data[i] < min) min = data[i];
      if (data[i] > max) max = data[i];
    }
  }
  bool ContainsNonFiniteNumbers() const {
    if constexpr (std::is_floating_point_v<Element>) {
      const Element* data = storage_->data;
      for (long i = 0; i < storage_->length; ++i) {
        if (!std::isfinite(data[i])) return true;
      }
    }
    return false;
  }
  // Index of the smallest (largest) finite element, the first one on ties;
  // -1 when there is no finite element.
  long IndexOfMinimumValue() const {
    return indexOfExtreme([](Element a, Element b) { return a < b; });
  }
  long IndexOfMaximumValue() const {
    return indexOfExtreme([](Element a, Element b) { return a > b; });
  }

  // A new mutable array of the same dimensions with the elements copied; the
  // only deep copy.
  auto Copy() const {
    typename Derived::MutableArray copy(m(), n(), o());
    std::copy_n(storage_->data, copy.Length(), copy.MutablePointer());
    return copy;
  }

  // Equal dimensions and every element comparing equal, so arrays holding
  // NaN are never equal.
  friend bool operator==(const ArrayHandle& a, const ArrayHandle& b) {
    if (a.m() != b.m() || a.n() != b.n() || a.o() != b.o()) return false;
    const Element* x = a.Pointer();
    const Element* y = b.Pointer();
    for (long i = 0; i < a.Length(); ++i) {
      if (!(x[i] == y[i])) return false;
    }
    return true;
  }

 protected:
  // The empty array.
  ArrayHandle() : storage_(new Storage(Derived::info, 0, 0, 0)) {}
  struct Allocate {};
  // An m x n x o array whose elements are not initialised.
  ArrayHandle(Allocate, long m, long n, long o) : storage_(new Storage(Derived::info, m, n, o)) {}
  // A copy shares the storage; assignment gives up the old one (freeing it
  // with its last handle) after counting itself on the new one.
  ArrayHandle(const ArrayHandle& other) : storage_(other.storage_) { storage_->retain(); }
  ArrayHandle& operator=(const ArrayHandle& other) {
    if (storage_ == other.storage_) return *this;
    Storage* incoming = other.storage_;
    incoming->retain();
    Storage* old = storage_;
    storage_ = incoming;
    if (old && old->release()) destroy(old);
    return *this;
  }
  ~ArrayHandle() { releaseStorage(); }

  // Gives up this handle's share of the storage; afterwards the handle holds
  // nothing and may only be destroyed. Releasing a handle that holds nothing
  // (a handle destroyed twice) is reported and does nothing else.
  void releaseStorage() {
    Storage* storage = storage_;
    if (!storage) {
      Derived::Family::report(std::string(Derived::info.name) + "::~" + Derived::info.name + ": Calling it twice");
      return;
    }
    if (storage->release()) destroy(storage);
    // A volatile store, so that the mark survives the end of the lifetime and
    // a second destruction of the same handle is recognised.
    *static_cast<Storage* volatile*>(&storage_) = nullptr;
  }

  const Derived& derived() const { return static_cast<const Derived&>(*this); }

  // Reports an index outside the array and gives the element that stands in
  // for it; for a mutable handle a write to it is lost.
  template <class... Index>
  Element& outOfRangeAt(Index... index) const {
    derived().reportOutOfRange(long(index)...);
    return derived().standIn();
  }
  // The upper limits an index of that many parts is tested against: the
  // length; m and n; or m, n and o.
  template <std::size_t Parts>
  std::array<long, Parts> bounds() const {
    if constexpr (Parts == 1) {
      return {long(Length())};
    } else if constexpr (Parts == 2) {
      return {long(m()), long(n())};
    } else {
      return {long(m()), long(n()), long(o())};
    }
  }

  // What the mutable handles make public.
  Element& elementAt(long i) {
    long p = position(i);
    if (p < 0) [[unlikely]]
      return outOfRangeAt(i);
    return storage_->data[p];
  }
  Element& elementAt(long i, long j) {
    long p = position(i, j);
    if (p < 0) [[unlikely]]
      return outOfRangeAt(i, j);
    return storage_->data[p];
  }
  Element& elementAt(long i, long j, long k) {
    long p = position(i, j, k);
    if (p < 0) [[unlikely]]
      return outOfRangeAt(i, j, k);
    return storage_->data[p];
  }
  Element* MutablePointer() { return storage_->data; }
  void fillWith(Element value) { std::fill_n(storage_->data, storage_->length, value); }
  // New dimensions over the same elements (seen by every handle on the
  // storage); m*n*o must equal the length, else the array is left as it is.
  void Reshape(long m, long n, long o = 1) {
    if (!shapeHoldsLength(m, n, o, storage_->length)) {
      reportInvalidReshape<Derived>();
      return;
    }
    storage_->setShape(int(m), int(n), int(o));
  }
  void ReshapeAsVector() { storage_->setShape(storage_->length, 1, 1); }
  // Keeps the first `length` elements as a vector over the same memory (the
  // allocation is not made smaller), so an array made larger than needed and
  // filled from the front is cut to size without a copy. False, and the
  // array as it was, for a length outside 0 to the present length.
  bool ShortenInPlace(long length) {
    if (length < 0 || length > storage_->length) return false;
    storage_->setShape(int(length), 1, 1);
    return true;
  }
  // Keeps the first of every run of equal neighbours; the array becomes a
  // vector of what is kept.
  void RemoveIdenticalEntriesFromSortedList() {
    long kept = removeRepeatedNeighbours(storage_->data, storage_->length);
    storage_->setShape(int(kept), 1, 1);
  }
  // Ascending order in place (NaN last); equal values in no defined order.
  void Sort() { sortElements(storage_->data, storage_->length); }

  // Position of (i, j, k) in the elements; -1 when an index is outside its
  // dimension.
  long position(long i) const {
    return static_cast<unsigned long>(i) < static_cast<unsigned long>(storage_->length) ? i : -1;
  }
  long position(long i, long j) const {
    if (static_cast<unsigned long>(i) >= static_cast<unsigned long>(storage_->m) ||
        static_cast<unsigned long>(j) >= static_cast<unsigned long>(storage_->n)) {
      return -1;
    }
    return i + j * storage_->m;
  }
  long position(long i, long j, long k) const {
    if (static_cast<unsigned long>(i) >= static_cast<unsigned long>(storage_->m) ||
        static_cast<unsigned long>(j) >= static_cast<unsigned long>(storage_->n) ||
        static_cast<unsigned long>(k) >= static_cast<unsigned long>(storage_->o)) {
      return -1;
    }
    return i + j * storage_->m + k * storage_->mn;
  }

  Storage* storage_ = nullptr;

 private:
  // Out of line, which also keeps the compiler from taking the other handles
  // of a storage for dangling after an inlined release.
  [[gnu::noinline]] static void destroy(Storage* storage) { delete storage; }

  template <class Better>
  long indexOfExtreme(Better better) const {
    const Element* data = storage_->data;
    long found = -1;
    for (long i = 0; i < storage_->length; ++i) {
      if (!isFiniteValue(data[i])) continue;
      if (found < 0 || better(data[i], data[found])) found = i;
    }
    return found;
  }
};

// What the mutable handles of both families add to the immutable one (Base):
// writable elements, filling, and the in-place shape operations. Self is the
// mutable handle itself.
template <class Base, class Self>
class MutableArrayHandle : public Base {
 public:
  using Element = typename Base::Element;

  // The empty array.
  MutableArrayHandle() = default;
  // An m x n x o array whose elements are not initialised.
  explicit MutableArrayHandle(long m, long n = 1, long o = 1) : Base(typename Base::Allocate{}, m, n, o) {}

  // A vector (or an m x n x o array, when given) holding values.
  static Self WithValues(std::initializer_list<Element> values, long m = -1, long n = 1, long o = 1) {
    Self array(m < 0 ? long(values.size()) : m, n, o);
    std::copy_n(values.begin(), std::min<long>(long(values.size()), array.Length()), array.MutablePointer());
    return array;
  }

  using Base::operator();
  Element& operator()(long i) { return this->elementAt(i); }
  Element& operator()(long i, long j) { return this->elementAt(i, j); }
  Element& operator()(long i, long j, long k) { return this->elementAt(i, j, k); }
  // Sets every element.
  Self& operator=(Element value) {
    this->fillWith(value);
    return static_cast<Self&>(*this);
  }
  using Base::MutablePointer;
  using Base::RemoveIdenticalEntriesFromSortedList;
  using Base::Reshape;
  using Base::ReshapeAsVector;
  using Base::ShortenInPlace;
  using Base::Sort;
};

}  // namespace orrelin
