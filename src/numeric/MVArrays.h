#pragma once
// The plain array family: MVDoubleArray, MVFloatArray, MVIntArray,
// MVCharArray, MVUCharArray, MVShortIntArray, MVUShortIntArray, each with its
// mutable subclass and storage. The storage has no lock: a storage and its
// handles belong to one thread at a time. Messages go to the library error
// list (MVErrorMessage). The matrices are built on this family.
//
// Handles share their storage: copying or assigning a handle shares, and a
// write through any mutable handle is seen by every handle on the storage.
// Copy() is the only deep copy. The storage counts its handles and, among
// them, the mutable ones.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <limits>
#include <memory>
#include <string>
#include <tuple>

#include "numeric/ArrayHandle.h"
#include "numeric/ArrayStorage.h"
#include "numeric/MVErrorMessage.h"

namespace orrelin {

inline void reportToErrorList(const std::string& line) { MVErrorMessage(line); }

// The plain arrays' lengths are 32-bit, which bounds every type; the short
// types keep the locked family's smaller limits and texts.
inline constexpr std::int64_t kPlainLengthLimit = std::numeric_limits<std::int32_t>::max();

inline constexpr ArrayTypeInfo kMVDoubleArrayInfo{
    "MVDoubleArray", "MVMutableDoubleArray", "double",
    "DoubleArray",   kPlainLengthLimit,      "Max size of a double array exceeded.",
    false,           &reportToErrorList};
inline constexpr ArrayTypeInfo kMVFloatArrayInfo{
    "MVFloatArray", "MVMutableFloatArray", "float",
    "FloatArray",   kPlainLengthLimit,     "Max size of a float array exceeded.",
    false,          &reportToErrorList};
inline constexpr ArrayTypeInfo kMVIntArrayInfo{
    "MVIntArray", "MVMutableIntArray", "int",
    "IntArray",   kPlainLengthLimit,   "Max size of a integer array exceeded.",
    false,        &reportToErrorList};
inline constexpr ArrayTypeInfo kMVCharArrayInfo{
    "MVCharArray", "MVMutableCharArray", "char",
    "CharArray",   kPlainLengthLimit,    "Max size of a character array exceeded.",
    false,         &reportToErrorList};
inline constexpr ArrayTypeInfo kMVUCharArrayInfo{
    "MVUCharArray", "MVMutableUCharArray", "unsigned char",
    "UCharArray",   kPlainLengthLimit,     "Max size of a char array exceeded.",
    false,          &reportToErrorList};
inline constexpr ArrayTypeInfo kMVShortIntArrayInfo{"MVShortIntArray",
                                                    "MVMutableShortIntArray",
                                                    "short int",
                                                    "ShortIntArray",
                                                    std::int64_t(1) << 29,
                                                    "Max size of a short int array (3GB) exceeded.",
                                                    false,
                                                    &reportToErrorList};
inline constexpr ArrayTypeInfo kMVUShortIntArrayInfo{"MVUShortIntArray",
                                                     "MVMutableUShortIntArray",
                                                     "unsigned short int",
                                                     "UShortIntArray",
                                                     std::int64_t(1) << 29,
                                                     "Max size of a short int array (2GB) exceeded.",
                                                     false,
                                                     &reportToErrorList};

template <class T>
class PlainArrayStorage : public ArrayBlock<T> {
 public:
  using ArrayBlock<T>::ArrayBlock;

  void retain() { ++this->referenceCount; }
  // True when this was the last reference; the caller then deletes.
  bool release() { return --this->referenceCount == 0; }
  int count() const { return this->referenceCount; }

  int mutableReferences = 0;
};

template <class T, const ArrayTypeInfo& Info>
class MVMutableArray;
template <class T>
struct PlainArrayOf;

// How the plain family reports and names things in the operations shared
// with the locked family.
struct PlainFamily {
  static void report(const std::string& line) { MVErrorMessage(line); }
  static void report(const std::string& function, const std::string& text) { MVErrorMessage(function, text); }
  static constexpr const char* kArraysDiffer = "Incompatible sizes.";
  static std::string inPlaceFunction(const ArrayTypeInfo&, char op) { return std::string("A") + op + "=B"; }
  static constexpr const char* kInPlaceDiffers = "Incompatible sizes.";
  template <class U>
  using MutableOf = typename PlainArrayOf<U>::Mutable;
};

template <class T, const ArrayTypeInfo& Info>
class MVArray : public ArrayHandle<PlainArrayStorage<T>, MVArray<T, Info>> {
  using Handle = ArrayHandle<PlainArrayStorage<T>, MVArray<T, Info>>;
  friend Handle;

 public:
  using Storage = PlainArrayStorage<T>;
  using Family = PlainFamily;
  using ImmutableArray = MVArray<T, Info>;
  using MutableArray = MVMutableArray<T, Info>;
  static constexpr const ArrayTypeInfo& info = Info;

  // The empty array; copies share the storage.
  MVArray() = default;

  int MutableReferences() const { return this->storage_->mutableReferences; }

  // Reads an element; out of range writes "Out of bounds" to standard error
  // and gives invalidEntry.
  T e(long i) const { return checked(this->position(i)); }
  T e(long i, long j) const { return checked(this->position(i, j)); }
  T e(long i, long j, long k) const { return checked(this->position(i, j, k)); }

  // The out-of-range report of operator(): the index and the limits it was
  // tested against.
  template <class... Index>
  void PrintErrorMessage(Index... index) const {
    std::apply([&](auto... bound) { MVErrorOutOfRange(Info.name, long(index)..., bound...); },
               this->template bounds<sizeof...(Index)>());
  }

 protected:
  using Handle::Handle;

  template <class... Index>
  void reportOutOfRange(Index... index) const {
    PrintErrorMessage(index...);
  }
  // Stands in for an element outside the array.
  mutable T invalidEntry{};
  T& standIn() const { return invalidEntry; }

 private:
  T checked(long p) const {
    if (p < 0) {
      std::fputs("Out of bounds\n", stderr);
      return invalidEntry;
    }
    return this->storage_->data[p];
  }
};

template <class T, const ArrayTypeInfo& Info>
class MVMutableArray : public MutableArrayHandle<MVArray<T, Info>, MVMutableArray<T, Info>> {
  using Mutable = MutableArrayHandle<MVArray<T, Info>, MVMutableArray<T, Info>>;

 public:
  // The empty array.
  MVMutableArray() { ++this->storage_->mutableReferences; }
  // An m x n x o array whose elements are not initialised.
  explicit MVMutableArray(long m, long n = 1, long o = 1) : Mutable(m, n, o) { ++this->storage_->mutableReferences; }
  MVMutableArray(const MVMutableArray& other) : Mutable(other) { ++this->storage_->mutableReferences; }
  MVMutableArray& operator=(const MVMutableArray& other) {
    if (this->storage_ == other.storage_) return *this;
    --this->storage_->mutableReferences;
    Mutable::operator=(other);
    ++this->storage_->mutableReferences;
    return *this;
  }
  ~MVMutableArray() { --this->storage_->mutableReferences; }
  using Mutable::operator=;
};

using MVDoubleArray = MVArray<double, kMVDoubleArrayInfo>;
using MVMutableDoubleArray = MVMutableArray<double, kMVDoubleArrayInfo>;
using MVDoubleArrayStorage = PlainArrayStorage<double>;
using MVFloatArray = MVArray<float, kMVFloatArrayInfo>;
using MVMutableFloatArray = MVMutableArray<float, kMVFloatArrayInfo>;
using MVFloatArrayStorage = PlainArrayStorage<float>;
using MVIntArray = MVArray<int, kMVIntArrayInfo>;
using MVMutableIntArray = MVMutableArray<int, kMVIntArrayInfo>;
using MVIntArrayStorage = PlainArrayStorage<int>;
using MVCharArray = MVArray<signed char, kMVCharArrayInfo>;
using MVMutableCharArray = MVMutableArray<signed char, kMVCharArrayInfo>;
using MVCharArrayStorage = PlainArrayStorage<signed char>;
using MVUCharArray = MVArray<unsigned char, kMVUCharArrayInfo>;
using MVMutableUCharArray = MVMutableArray<unsigned char, kMVUCharArrayInfo>;
using MVUCharArrayStorage = PlainArrayStorage<unsigned char>;
using MVShortIntArray = MVArray<short, kMVShortIntArrayInfo>;
using MVMutableShortIntArray = MVMutableArray<short, kMVShortIntArrayInfo>;
using MVShortIntArrayStorage = PlainArrayStorage<short>;
using MVUShortIntArray = MVArray<unsigned short, kMVUShortIntArrayInfo>;
using MVMutableUShortIntArray = MVMutableArray<unsigned short, kMVUShortIntArrayInfo>;
using MVUShortIntArrayStorage = PlainArrayStorage<unsigned short>;

// The array type of the plain family for an element type.
template <class U>
struct PlainArrayOf {
  using Mutable = typename FirstWithElement<U, MVMutableDoubleArray, MVMutableFloatArray, MVMutableIntArray,
                                            MVMutableCharArray, MVMutableUCharArray, MVMutableShortIntArray,
                                            MVMutableUShortIntArray>::type;
};

// Smallest (largest) element: starts from +infinity (-infinity) and takes
// each element that is smaller (larger), so NaN never replaces the running
// value while infinities count; an empty array gives +infinity (-infinity).
template <class T, const ArrayTypeInfo& Info>
requires std::is_floating_point_v<T> T Minimum(const MVArray<T, Info>& a) {
  T result = std::numeric_limits<T>::infinity();
  for (long i = 0; i < a.Length(); ++i) result = a.Pointer()[i] < result ? a.Pointer()[i] : result;
  return result;
}
template <class T, const ArrayTypeInfo& Info>
requires std::is_floating_point_v<T> T Maximum(const MVArray<T, Info>& a) {
  T result = -std::numeric_limits<T>::infinity();
  for (long i = 0; i < a.Length(); ++i) result = a.Pointer()[i] > result ? a.Pointer()[i] : result;
  return result;
}

// A fixed-length list of any element type, shared between copies like the
// arrays; an index outside [0, length-1] is reported and gives a scratch
// element.
template <class T>
class MVMutableList;

template <class T>
class MVList {
 public:
  MVList() = default;
  explicit MVList(long length)
      : items_(length > 0 ? std::make_shared<T[]>(std::size_t(length)) : nullptr),
        length_(length > 0 ? length : 0) {}
  long Length() const { return length_; }
  const T& operator()(long i) const { return at(i); }
  MVMutableList<T> Copy() const {
    MVMutableList<T> copy(length_);
    std::copy_n(items_.get(), length_, copy.items_.get());
    return copy;
  }

 protected:
  T& at(long i) const {
    if (static_cast<unsigned long>(i) >= static_cast<unsigned long>(length_)) [[unlikely]] {
      MVErrorOutOfRange("MVList<T>", i, length_);
      return scratch_;
    }
    return items_[i];
  }

 private:
  friend class MVMutableList<T>;
  std::shared_ptr<T[]> items_;
  long length_ = 0;
  mutable T scratch_{};
};

template <class T>
class MVMutableList : public MVList<T> {
 public:
  using MVList<T>::MVList;
  using MVList<T>::operator();
  T& operator()(long i) { return this->at(i); }
};

}  // namespace orrelin

#include "numeric/ArrayOperations.h"
