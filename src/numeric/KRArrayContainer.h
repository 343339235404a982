#pragma once
// The object wrappers through which the document layer holds locked-family
// arrays: one class per element type (KRDoubleArrayContainer and siblings,
// each in its own header), shared by std::shared_ptr. A container holds
// either an immutable or a mutable array, never both, or nothing at all.
// Misuse is reported to the message centre and yields nothing (a null
// container, false, or 0).
//
// The dictionary form ("KRType", "m", "n", "o", "Data", "Endian") stores an
// array inside a property list.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "numeric/LockedArrays.h"
#include "platform/PropertyList.h"

namespace orrelin {

class KRFloatArrayContainer;

// The words that differ between the container classes' messages.
struct ContainerInfo {
  const char* className;        // "KRDoubleArrayContainer"
  const char* allocationWord;   // "double" in "Can not allocate an array (double) of the size ..."
                                // and "The double array being cropped can not be changed (const)."
  const char* descriptionWord;  // "double" in "Double array with dimensions ..."
  const char* rawType;          // "KRType" value: "Double"
  const char* rawWord;          // "double" in "When converting a double array to a dictionary, data==nil."
  bool writesEndian;            // whether the dictionary form carries "Endian"
  const char* sizesDiffer;      // "Failed at converting an array (sizes did not match)."
};

template <class Derived, class Array, const ContainerInfo& Info>
class KRArrayContainer {
 public:
  using Element = typename Array::Element;
  using MutableArray = typename Array::MutableArray;
  using Pointer = std::shared_ptr<Derived>;

  // A container that holds nothing.
  KRArrayContainer() = default;

  // Wrap a handle (sharing its storage).
  static Pointer createArrayWithConstObject(const Array& array);
  static Pointer createArrayWithMutableObject(const MutableArray& array);
  // Take ownership of a heap-allocated handle; null is refused.
  static Pointer initByOvertakingPointer(Array* array);
  static Pointer initByOvertakingMutablePointer(MutableArray* array);
  // A new mutable array whose elements are not initialised.
  static Pointer createArrayOfLength(long length);
  static Pointer createArrayOfSizeM(long m, long n);
  static Pointer createArrayOfSizeM(long m, long n, long o);

  bool holdsArray() const { return constArray_.has_value() || mutableArray_.has_value(); }
  bool isMutable() const { return mutableArray_.has_value(); }
  int m() const { return constArray().m(); }
  int n() const { return constArray().n(); }
  int o() const { return constArray().o(); }
  long length() const { return constArray().Length(); }
  bool isEmpty() const { return constArray().IsEmpty(); }
  // Bytes taken by the elements.
  std::size_t memoryUsed() const { return std::size_t(length()) * sizeof(Element); }

  // The held array (the empty array when nothing is held).
  const Array& constArray() const;
  // The held mutable array; a container with an immutable array refuses.
  MutableArray* mutableArray();
  const Element* constPointer() const { return constArray().Pointer(); }
  Element* mutablePointer();

  // 0 when the index is out of range or nothing is held.
  Element valueAtIndex(long i) const;
  Element valueAtI(long i, long j) const;
  void setValue(Element value, long atIndex);
  void setValue(Element value, long atI, long j);
  void setAllValues(Element value);
  // Floating-point containers skip NaN and the infinities (0 when nothing
  // finite is left); integer containers take every element.
  Element minValue() const;
  Element maxValue() const;
  bool calculateMin(Element& min, Element& andMax) const;
  bool containsNonFiniteNumbers() const { return constArray().ContainsNonFiniteNumbers(); }
  // Index of the first element equal to value; -1 if none.
  long findValue(Element value) const { return constArray().Find(value); }
  void sortInPlace();
  Pointer transpose() const;
  Pointer extractColumns(long count) const;
  // Keeps the first length elements as a vector; mutable containers only.
  bool cropLengthTo(long length);
  // The same without a copy: the array keeps its memory and holds only the
  // first length elements (see ShortenInPlace).
  bool shortenInPlaceTo(long length);
  Pointer asAVector() const;
  // The elements at positions from, from+1, ..., to-1 as a vector.
  Pointer numbersFrom(long from, long to) const;
  Pointer valuesAtIndexes(const IntArray& indices) const;
  // Copies the first to-from elements of source into positions from to to-1.
  bool copyFromArray(const KRArrayContainer& source, long intoRangeFrom, long to);
  bool isEqualTo(const KRArrayContainer& other) const;
  std::shared_ptr<KRFloatArrayContainer> convertToFloat() const;
  // A deep copy, holding an immutable (copy) or mutable (mutableCopy) array.
  Pointer copy() const;
  Pointer mutableCopy() const;
  std::string description() const;

  // The dictionary form; none (with the message) when nothing is held.
  std::optional<PropertyList> convertToRawFormat() const;
  // The array of a dictionary form; null, with the message, when it is not
  // one. Elements in the other byte order are swapped; a double container
  // also reads 4-byte floats.
  static Pointer convertFromRawFormat(const PropertyList& raw);

 protected:
  static Pointer holding(const MutableArray& array);

 private:
  // Whether the array may be cut to a length; says why not.
  bool mayBeCropped() const;
  std::optional<Array> constArray_;
  std::optional<MutableArray> mutableArray_;
};

}  // namespace orrelin
