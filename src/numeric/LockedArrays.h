#pragma once
// The locked array family: DoubleArray, FloatArray, IntArray, CharacterArray,
// UCharArray, IntegerArray, UIntegerArray, MVShortArray, MVUShortArray, each
// with its mutable subclass and storage. The storage's mutex guards the
// reference count, so handles on one storage may be created, assigned and
// dropped from several threads; element access is not locked. Messages go to
// the application message centre.
//
// Handles share their storage: copying or assigning a handle shares, and a
// write through any mutable handle is seen by every handle on the storage.
// Copy() is the only deep copy.

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <mutex>
#include <string>
#include <tuple>

#include "numeric/ArrayHandle.h"
#include "numeric/ArrayStorage.h"
#include "numeric/ElementKernels.h"
#include "numeric/MVErrorMessage.h"

namespace orrelin {

inline void reportToMessageCentre(const std::string& line) { KRPutErrorMessage(line); }

inline constexpr ArrayTypeInfo kDoubleArrayInfo{
    "DoubleArray", "MutableDoubleArray",  "double",
    "DoubleArray", std::int64_t(1) << 29, "Max size of a double array (4GB) exceeded.",
    true,          &reportToMessageCentre};
inline constexpr ArrayTypeInfo kFloatArrayInfo{
    "FloatArray", "MutableFloatArray",   "float",
    "FloatArray", std::int64_t(1) << 30, "Max size of a float array (4GB) exceeded.",
    true,         &reportToMessageCentre};
inline constexpr ArrayTypeInfo kIntArrayInfo{
    "IntArray", "MutableIntArray",     "int",
    "IntArray", std::int64_t(1) << 30, "Max size of a integer array (4GB) exceeded.",
    true,       &reportToMessageCentre};
inline constexpr ArrayTypeInfo kCharacterArrayInfo{"CharacterArray",
                                                   "MutableCharacterArray",
                                                   "char",
                                                   "CharacterArray",
                                                   std::int64_t(1) << 30,
                                                   "Max size of a character array (1GB) exceeded.",
                                                   true,
                                                   &reportToMessageCentre};
inline constexpr ArrayTypeInfo kUCharArrayInfo{
    "UCharArray", "MutableUCharArray",   "unsigned char",
    "UCharArray", std::int64_t(1) << 30, "Max size of a char array (1GB) exceeded.",
    true,         &reportToMessageCentre};
inline constexpr ArrayTypeInfo kIntegerArrayInfo{
    "IntegerArray", "MutableIntegerArray", "int",
    "IntegerArray", std::int64_t(1) << 30, "Max size of a integer array (4GB) exceeded.",
    true,           &reportToMessageCentre};
inline constexpr ArrayTypeInfo kUIntegerArrayInfo{"UIntegerArray",
                                                  "MutableUIntegerArray",
                                                  "unsigned int",
                                                  "UIntegerArray",
                                                  std::int64_t(1) << 30,
                                                  "Max size of a unsigned integer array (4GB) exceeded.",
                                                  true,
                                                  &reportToMessageCentre};
inline constexpr ArrayTypeInfo kShortArrayInfo{
    "MVShortArray", "MVMutableShortArray", "short int",
    "MVShortArray", std::int64_t(1) << 29, "Max size of a short int array (3GB) exceeded.",
    true,           &reportToMessageCentre};
inline constexpr ArrayTypeInfo kUShortArrayInfo{"MVUShortArray",
                                                "MVMutableUShortArray",
                                                "unsigned short int",
                                                "MVUShortArray",
                                                std::int64_t(1) << 29,
                                                "Max size of a short int array (2GB) exceeded.",
                                                true,
                                                &reportToMessageCentre};

template <class T>
class LockedArrayStorage : public ArrayBlock<T> {
 public:
  LockedArrayStorage(const ArrayTypeInfo& info, long m, long n, long o) : ArrayBlock<T>(info, m, n, o) {}

  void retain() {
    std::lock_guard guard(mutex);
    ++this->referenceCount;
  }
  // True when this was the last reference; the caller then deletes.
  bool release() {
    std::lock_guard guard(mutex);
    return --this->referenceCount == 0;
  }
  int count() {
    std::lock_guard guard(mutex);
    return this->referenceCount;
  }

  std::mutex mutex;
};

template <class T, const ArrayTypeInfo& Info>
class LockedMutableArray;
template <class T>
struct LockedArrayOf;

// How the locked family reports and names things in the operations shared
// with the plain family.
struct LockedFamily {
  static void report(const std::string& line) { KRPutErrorMessage(line); }
  static void report(const std::string& function, const std::string& text) {
    KRPutErrorMessage(function + ": " + text);
  }
  static constexpr const char* kArraysDiffer = "Arrays have to have the same size.";
  static std::string inPlaceFunction(const ArrayTypeInfo& info, char op) {
    return std::string(info.mutableName) + "::operator" + op + "=";
  }
  static constexpr const char* kInPlaceDiffers = "Array has incorrect size.";
  // The mutable array type of this family for another element type.
  template <class U>
  using MutableOf = typename LockedArrayOf<U>::Mutable;
};

template <class T, const ArrayTypeInfo& Info>
class LockedArray : public ArrayHandle<LockedArrayStorage<T>, LockedArray<T, Info>> {
  using Handle = ArrayHandle<LockedArrayStorage<T>, LockedArray<T, Info>>;
  friend Handle;

 public:
  using Storage = LockedArrayStorage<T>;
  using Family = LockedFamily;
  using ImmutableArray = LockedArray<T, Info>;
  using MutableArray = LockedMutableArray<T, Info>;
  static constexpr const ArrayTypeInfo& info = Info;

  // The empty array; copies share the storage.
  LockedArray() = default;

  // Smallest and largest finite element; NaN and the infinities are
  // skipped, and with no finite element the result is 0.
  T Minimum() const requires std::is_floating_point_v<T> {
    long p = this->IndexOfMinimumValue();
    return p < 0 ? T(0) : this->Pointer()[p];
  }
  T Maximum() const requires std::is_floating_point_v<T> {
    long p = this->IndexOfMaximumValue();
    return p < 0 ? T(0) : this->Pointer()[p];
  }
  // Both extremes over the finite elements in one pass; false, with both 0,
  // when there is no finite element.
  bool calculateMinMax(T& min, T& max) const requires std::is_floating_point_v<T> {
    const T* data = this->Pointer();
    bool found = false;
    min = max = 0;
    for (long i = 0; i < this->Length(); ++i) {
      T v = data[i];
      if (!std::isfinite(v)) continue;
      if (!found) {
        min = max = v;
        found = true;
      } else {
        min = v < min ? v : min;
        max = v > max ? v : max;
      }
    }
    return found;
  }

 protected:
  using Handle::Handle;

  // The out-of-range report of operator().
  template <class... Index>
  void ErrorMessage(Index... index) const {
    const auto limits = this->template bounds<sizeof...(Index)>();
    std::apply([&](auto... bound) { KRPutErrorMessage(lockedOutOfRangeText(Info.name, {long(index)...}, {bound...})); },
               limits);
  }
  template <class... Index>
  void reportOutOfRange(Index... index) const {
    ErrorMessage(index...);
  }
  // Out-of-range access lands on the type's shared scratch element, so a
  // stray write is lost instead of corrupting memory.
  static inline T outOfRange{};
  T& standIn() const { return outOfRange; }
};

template <class T, const ArrayTypeInfo& Info>
class LockedMutableArray : public MutableArrayHandle<LockedArray<T, Info>, LockedMutableArray<T, Info>> {
  using Mutable = MutableArrayHandle<LockedArray<T, Info>, LockedMutableArray<T, Info>>;

 public:
  using Mutable::Mutable;
  using Mutable::operator=;

  // Adds x*b in place; with an array of other dimensions the message is
  // reported and this array is unchanged.
  void AddArrayTimesNumber(const LockedArray<T, Info>& b, T x) requires std::is_floating_point_v<T> {
    if (b.m() != this->m() || b.n() != this->n() || b.o() != this->o()) {
      KRPutErrorMessage(std::string(Info.mutableName) +
                        "::SubtractArrayTimesNumber: Array has incorrect size.");
      return;
    }
    addMultipleOf(this->MutablePointer(), b.Pointer(), x, std::size_t(this->Length()));
  }
};

using DoubleArray = LockedArray<double, kDoubleArrayInfo>;
using MutableDoubleArray = LockedMutableArray<double, kDoubleArrayInfo>;
using DoubleArrayStorage = LockedArrayStorage<double>;
using FloatArray = LockedArray<float, kFloatArrayInfo>;
using MutableFloatArray = LockedMutableArray<float, kFloatArrayInfo>;
using FloatArrayStorage = LockedArrayStorage<float>;
using IntArray = LockedArray<int, kIntArrayInfo>;
using MutableIntArray = LockedMutableArray<int, kIntArrayInfo>;
using IntArrayStorage = LockedArrayStorage<int>;
using CharacterArray = LockedArray<signed char, kCharacterArrayInfo>;
using MutableCharacterArray = LockedMutableArray<signed char, kCharacterArrayInfo>;
using CharacterArrayStorage = LockedArrayStorage<signed char>;
using UCharArray = LockedArray<unsigned char, kUCharArrayInfo>;
using MutableUCharArray = LockedMutableArray<unsigned char, kUCharArrayInfo>;
using UCharArrayStorage = LockedArrayStorage<unsigned char>;
using IntegerArray = LockedArray<int, kIntegerArrayInfo>;
using MutableIntegerArray = LockedMutableArray<int, kIntegerArrayInfo>;
using IntegerArrayStorage = LockedArrayStorage<int>;
using UIntegerArray = LockedArray<unsigned, kUIntegerArrayInfo>;
using MutableUIntegerArray = LockedMutableArray<unsigned, kUIntegerArrayInfo>;
using UIntegerArrayStorage = LockedArrayStorage<unsigned>;
using MVShortArray = LockedArray<short, kShortArrayInfo>;
using MVMutableShortArray = LockedMutableArray<short, kShortArrayInfo>;
using MVShortArrayStorage = LockedArrayStorage<short>;
using MVUShortArray = LockedArray<unsigned short, kUShortArrayInfo>;
using MVMutableUShortArray = LockedMutableArray<unsigned short, kUShortArrayInfo>;
using MVUShortArrayStorage = LockedArrayStorage<unsigned short>;

// The array type of the locked family for an element type (int maps to
// IntArray).
template <class U>
struct LockedArrayOf {
  using Mutable = typename FirstWithElement<U, MutableDoubleArray, MutableFloatArray, MutableIntArray,
                                            MutableCharacterArray, MutableUCharArray, MutableUIntegerArray,
                                            MVMutableShortArray, MVMutableUShortArray>::type;
};

}  // namespace orrelin

#include "numeric/ArrayOperations.h"
