#include "numeric/KRArrayContainer.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstring>
#include <vector>

#include "numeric/KRCharacterArrayContainer.h"
#include "numeric/KRDoubleArrayContainer.h"
#include "numeric/KRFloatArrayContainer.h"
#include "numeric/KRIntArrayContainer.h"
#include "numeric/KRShortArrayContainer.h"
#include "numeric/KRUCharArrayContainer.h"
#include "numeric/KRUShortArrayContainer.h"

namespace orrelin {

namespace {

constexpr const char* kConstOnly =
    "Asking for a mutable pointer from an array that only contains a const array.";

const char* hostEndian() { return std::endian::native == std::endian::little ? "Little" : "Big"; }

// Reverses the bytes of each element of size unit.
void swapElements(std::uint8_t* bytes, std::size_t count, std::size_t unit) {
  if (unit < 2) return;
  for (std::size_t p = 0; p < count; ++p) std::reverse(bytes + p * unit, bytes + (p + 1) * unit);
}

}  // namespace

template <class D, class A, const ContainerInfo& I>
auto KRArrayContainer<D, A, I>::holding(const MutableArray& array) -> Pointer {
  auto container = std::make_shared<D>();
  container->mutableArray_ = array;
  return container;
}

template <class D, class A, const ContainerInfo& I>
auto KRArrayContainer<D, A, I>::createArrayWithConstObject(const A& array) -> Pointer {
  auto container = std::make_shared<D>();
  container->constArray_ = array;
  return container;
}

template <class D, class A, const ContainerInfo& I>
auto KRArrayContainer<D, A, I>::createArrayWithMutableObject(const MutableArray& array) -> Pointer {
  return holding(array);
}

template <class D, class A, const ContainerInfo& I>
auto KRArrayContainer<D, A, I>::initByOvertakingPointer(A* array) -> Pointer {
  if (!array) {
    KRPutErrorMessage(std::string(I.className) + ": Creating an array with a NULL pointer.");
    return nullptr;
  }
  auto container = createArrayWithConstObject(*array);
  delete array;
  return container;
}

template <class D, class A, const ContainerInfo& I>
auto KRArrayContainer<D, A, I>::initByOvertakingMutablePointer(MutableArray* array) -> Pointer {
  if (!array) {
    KRPutErrorMessage(std::string(I.className) + ": Creating an array with a NULL pointer.");
    return nullptr;
  }
  auto container = holding(*array);
  delete array;
  return container;
}

template <class D, class A, const ContainerInfo& I>
auto KRArrayContainer<D, A, I>::createArrayOfLength(long length) -> Pointer {
  return createArrayOfSizeM(length, 1, 1);
}

template <class D, class A, const ContainerInfo& I>
auto KRArrayContainer<D, A, I>::createArrayOfSizeM(long m, long n) -> Pointer {
  return createArrayOfSizeM(m, n, 1);
}

template <class D, class A, const ContainerInfo& I>
auto KRArrayContainer<D, A, I>::createArrayOfSizeM(long m, long n, long o) -> Pointer {
  std::int64_t length = 0;
  bool tooLarge = __builtin_mul_overflow(std::int64_t(m), std::int64_t(n), &length) ||
                  __builtin_mul_overflow(length, std::int64_t(o), &length) || length > A::info.maxLength;
  if (m < 0 || n < 0 || o < 0 || tooLarge) {
    KRPutErrorMessage(
        formatText("Can not allocate an array (%s) of the size %ld x %ld x %ld", I.allocationWord, m, n, o));
    return nullptr;
  }
  MutableArray array(m, n, o);
  if (array.Length() != length) {
    KRPutErrorMessage("Problems allocating an array");
    return nullptr;
  }
  return holding(array);
}

template <class D, class A, const ContainerInfo& I>
const A& KRArrayContainer<D, A, I>::constArray() const {
  if (mutableArray_) return *mutableArray_;
  if (constArray_) return *constArray_;
  static const A* nothing = new A;
  return *nothing;
}

template <class D, class A, const ContainerInfo& I>
auto KRArrayContainer<D, A, I>::mutableArray() -> MutableArray* {
  if (mutableArray_) return &*mutableArray_;
  if (constArray_) KRPutErrorMessage(kConstOnly);
  return nullptr;
}

template <class D, class A, const ContainerInfo& I>
auto KRArrayContainer<D, A, I>::mutablePointer() -> Element* {
  MutableArray* array = mutableArray();
  return array ? array->MutablePointer() : nullptr;
}

template <class D, class A, const ContainerInfo& I>
auto KRArrayContainer<D, A, I>::valueAtIndex(long i) const -> Element {
  const A& array = constArray();
  return i >= 0 && i < array.Length() ? array.Pointer()[i] : Element(0);
}

template <class D, class A, const ContainerInfo& I>
auto KRArrayContainer<D, A, I>::valueAtI(long i, long j) const -> Element {
  const A& array = constArray();
  return i >= 0 && i < array.m() && j >= 0 && j < array.n() ? array.Pointer()[i + j * array.m()] : Element(0);
}

template <class D, class A, const ContainerInfo& I>
void KRArrayContainer<D, A, I>::setValue(Element value, long atIndex) {
  if (MutableArray* array = mutableArray()) (*array)(atIndex) = value;
}

template <class D, class A, const ContainerInfo& I>
void KRArrayContainer<D, A, I>::setValue(Element value, long atI, long j) {
  if (MutableArray* array = mutableArray()) (*array)(atI, j) = value;
}

template <class D, class A, const ContainerInfo& I>
void KRArrayContainer<D, A, I>::setAllValues(Element value) {
  if (MutableArray* array = mutableArray()) *array = value;
}

template <class D, class A, const ContainerInfo& I>
bool KRArrayContainer<D, A, I>::calculateMin(Element& min, Element& andMax) const {
  const A& array = constArray();
  if constexpr (std::is_floating_point_v<Element>) {
    return array.calculateMinMax(min, andMax);
  } else {
    array.Range(min, andMax);
    return array.NotEmpty();
  }
}

template <class D, class A, const ContainerInfo& I>
auto KRArrayContainer<D, A, I>::minValue() const -> Element {
  Element min, max;
  calculateMin(min, max);
  return min;
}

template <class D, class A, const ContainerInfo& I>
auto KRArrayContainer<D, A, I>::maxValue() const -> Element {
  Element min, max;
  calculateMin(min, max);
  return max;
}

template <class D, class A, const ContainerInfo& I>
void KRArrayContainer<D, A, I>::sortInPlace() {
  if (MutableArray* array = mutableArray()) array->Sort();
}

template <class D, class A, const ContainerInfo& I>
auto KRArrayContainer<D, A, I>::transpose() const -> Pointer {
  return holding(Transpose(constArray()));
}

template <class D, class A, const ContainerInfo& I>
auto KRArrayContainer<D, A, I>::extractColumns(long count) const -> Pointer {
  return holding(ExtractColumns(constArray(), count));
}

template <class D, class A, const ContainerInfo& I>
bool KRArrayContainer<D, A, I>::mayBeCropped() const {
  if (mutableArray_) return true;
  KRPutErrorMessage(std::string("The ") + I.allocationWord + " array being cropped can not be changed (const).");
  return false;
}

template <class D, class A, const ContainerInfo& I>
bool KRArrayContainer<D, A, I>::cropLengthTo(long length) {
  if (!mayBeCropped()) return false;
  if (length < 0 || length > mutableArray_->Length()) {
    KRPutErrorMessage("Illegal new length for array.");
    return false;
  }
  mutableArray_ = CropLength(*mutableArray_, length);
  return true;
}

template <class D, class A, const ContainerInfo& I>
bool KRArrayContainer<D, A, I>::shortenInPlaceTo(long length) {
  if (!mayBeCropped()) return false;
  if (!mutableArray_->ShortenInPlace(length)) {
    KRPutErrorMessage("Illegal new length for array.");
    return false;
  }
  return true;
}

template <class D, class A, const ContainerInfo& I>
auto KRArrayContainer<D, A, I>::asAVector() const -> Pointer {
  const A& array = constArray();
  return holding(Reshape(array, array.Length(), 1, 1));
}

template <class D, class A, const ContainerInfo& I>
auto KRArrayContainer<D, A, I>::numbersFrom(long from, long to) const -> Pointer {
  const A& array = constArray();
  if (from < 0 || to < from || to > array.Length()) {
    KRPutErrorMessage(
        formatText("%s numbersFrom:to: The range %ld to %ld is outside the array of length %ld.", I.className,
                   from, to, long(array.Length())));
    return nullptr;
  }
  return holding(SubArray(array, from, to - from));
}

template <class D, class A, const ContainerInfo& I>
auto KRArrayContainer<D, A, I>::valuesAtIndexes(const IntArray& indices) const -> Pointer {
  MutableArray values = ExtractEntries(constArray(), indices);
  if (values.IsEmpty() && indices.NotEmpty()) return nullptr;
  return holding(values);
}

template <class D, class A, const ContainerInfo& I>
bool KRArrayContainer<D, A, I>::copyFromArray(const KRArrayContainer& source, long intoRangeFrom, long to) {
  MutableArray* array = mutableArray();
  if (!array) return false;
  if (intoRangeFrom < 0 || to < intoRangeFrom || to > array->Length() ||
      to - intoRangeFrom > source.length()) {
    KRPutErrorMessage(formatText(
        "%s copyFromArray:intoRangeFrom:to: Can not copy %ld elements from an array of length %ld into %ld "
        "to %ld "
        "of an array of length %ld.",
        I.className, to - intoRangeFrom, source.length(), intoRangeFrom, to, long(array->Length())));
    return false;
  }
  std::copy_n(source.constPointer(), to - intoRangeFrom, array->MutablePointer() + intoRangeFrom);
  return true;
}

template <class D, class A, const ContainerInfo& I>
bool KRArrayContainer<D, A, I>::isEqualTo(const KRArrayContainer& other) const {
  return holdsArray() == other.holdsArray() && constArray() == other.constArray();
}

template <class D, class A, const ContainerInfo& I>
std::shared_ptr<KRFloatArrayContainer> KRArrayContainer<D, A, I>::convertToFloat() const {
  if (!holdsArray()) return nullptr;
  return KRFloatArrayContainer::createArrayWithMutableObject(ConvertToFloatArray(constArray()));
}

template <class D, class A, const ContainerInfo& I>
auto KRArrayContainer<D, A, I>::copy() const -> Pointer {
  if (!holdsArray()) return std::make_shared<D>();
  return createArrayWithConstObject(constArray().Copy());
}

template <class D, class A, const ContainerInfo& I>
auto KRArrayContainer<D, A, I>::mutableCopy() const -> Pointer {
  if (!holdsArray()) return std::make_shared<D>();
  return holding(constArray().Copy());
}

template <class D, class A, const ContainerInfo& I>
std::string KRArrayContainer<D, A, I>::description() const {
  if (!holdsArray()) return std::string("nil ") + I.descriptionWord + " array";
  std::string word = I.descriptionWord;
  if (isMutable()) {
    word[0] = char(std::toupper(static_cast<unsigned char>(word[0])));
  } else {
    word = "Const " + word;
  }
  return formatText("%s array with dimensions %d x %d x %d.", word.c_str(), m(), n(), o());
}

template <class D, class A, const ContainerInfo& I>
std::optional<PropertyList> KRArrayContainer<D, A, I>::convertToRawFormat() const {
  if (!holdsArray()) {
    KRPutErrorMessage(std::string("When converting a ") + I.rawWord + " array to a dictionary, data==nil.");
    return std::nullopt;
  }
  const A& array = constArray();
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(array.Pointer());
  PlistDictionary raw;
  raw["KRType"] = I.rawType;
  raw["m"] = array.m();
  raw["n"] = array.n();
  raw["o"] = array.o();
  raw["Data"] = PlistData(bytes, bytes + memoryUsed());
  if (I.writesEndian) raw["Endian"] = hostEndian();
  return PropertyList(std::move(raw));
}

template <class D, class A, const ContainerInfo& I>
auto KRArrayContainer<D, A, I>::convertFromRawFormat(const PropertyList& raw) -> Pointer {
  const PropertyList* data = raw.find("Data");
  if (!data || !data->isData()) {
    KRPutErrorMessage("Failed at converting an array (no data).");
    return nullptr;
  }
  auto m = raw.integerForKey("m"), n = raw.integerForKey("n"), o = raw.integerForKey("o");
  if (!m || !n || !o) {
    KRPutErrorMessage("Failed at converting an array (no size).");
    return nullptr;
  }
  if (*m < 0 || *n < 0 || *o < 0) {
    KRPutErrorMessage("Failed at converting an array (negative sizes).");
    return nullptr;
  }
  std::int64_t count = 0;
  std::uint64_t size = data->data().size();
  bool overflow = __builtin_mul_overflow(*m, *n, &count) || __builtin_mul_overflow(count, *o, &count);
  // A double container also takes the elements written as 4-byte floats.
  bool widen = std::is_same_v<Element, double> && !overflow && size == std::uint64_t(count) * sizeof(float) &&
               size != std::uint64_t(count) * sizeof(Element);
  if (overflow || (size != std::uint64_t(count) * sizeof(Element) && !widen)) {
    KRPutErrorMessage(I.sizesDiffer);
    return nullptr;
  }
  MutableArray array(*m, *n, *o);
  if (array.Length() != count) return nullptr;  // too large: the array has said why
  // The elements are copied once, straight into the array, and turned
  // around there when they were written in the other byte order.
  const std::uint8_t* bytes = data->data().data();
  auto endian = raw.stringForKey("Endian");
  bool swap = endian && *endian != hostEndian() && (*endian == "Big" || *endian == "Little");
  if (widen) {
    for (std::int64_t p = 0; p < count; ++p) {
      std::uint8_t element[sizeof(float)];
      std::memcpy(element, bytes + p * sizeof(float), sizeof(float));
      if (swap) swapElements(element, 1, sizeof(float));
      array.MutablePointer()[p] = std::bit_cast<float>(element);
    }
  } else if (count > 0) {
    std::memcpy(array.MutablePointer(), bytes, size);
    auto* elements = reinterpret_cast<std::uint8_t*>(array.MutablePointer());
    if (swap) swapElements(elements, std::size_t(count), sizeof(Element));
  }
  return holding(array);
}

const double* KRFloatArrayContainer::constDoublePointer() const {
  KRPutErrorMessage("Severe problem: Calling constDoublePointer for a float array.");
  return nullptr;
}

double* KRFloatArrayContainer::mutableDoublePointer() {
  KRPutErrorMessage("Severe problem: Calling mutableDoublePointer for a float array.");
  return nullptr;
}

template class KRArrayContainer<KRDoubleArrayContainer, DoubleArray, kDoubleContainerInfo>;
template class KRArrayContainer<KRFloatArrayContainer, FloatArray, kFloatContainerInfo>;
template class KRArrayContainer<KRIntArrayContainer, IntArray, kIntContainerInfo>;
template class KRArrayContainer<KRCharacterArrayContainer, CharacterArray, kCharacterContainerInfo>;
template class KRArrayContainer<KRUCharArrayContainer, UCharArray, kUCharContainerInfo>;
template class KRArrayContainer<KRShortArrayContainer, MVShortArray, kShortContainerInfo>;
template class KRArrayContainer<KRUShortArrayContainer, MVUShortArray, kUShortContainerInfo>;

}  // namespace orrelin
