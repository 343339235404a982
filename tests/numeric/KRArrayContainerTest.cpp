// The object wrappers: what they hold, their refusals and messages, and the
// dictionary form with its checks, byte order and widening.

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstring>
#include <limits>

#include "NumericTestSupport.h"
#include "numeric/KRCharacterArrayContainer.h"
#include "numeric/KRDoubleArrayContainer.h"
#include "numeric/KRFloatArrayContainer.h"
#include "numeric/KRIntArrayContainer.h"
#include "numeric/KRShortArrayContainer.h"
#include "numeric/KRUCharArrayContainer.h"
#include "numeric/KRUShortArrayContainer.h"
#include "platform/PropertyListSerialization.h"

using namespace orrelin;
using testing_support::Lines;
using testing_support::ReportedMessages;

namespace {

const char* otherEndian() { return std::endian::native == std::endian::little ? "Big" : "Little"; }

template <class T>
PlistData bytesOf(std::initializer_list<T> values, bool swapped = false) {
  PlistData data;
  for (T value : values) {
    std::uint8_t bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    if (swapped) std::reverse(bytes, bytes + sizeof(T));
    data.insert(data.end(), bytes, bytes + sizeof(T));
  }
  return data;
}

PropertyList rawForm(PlistData data, long m, long n, long o, const char* endian = nullptr) {
  PlistDictionary raw{{"KRType", "Double"}, {"m", m}, {"n", n}, {"o", o}, {"Data", std::move(data)}};
  if (endian) raw["Endian"] = endian;
  return raw;
}

TEST(KRArrayContainer, WrapsAHandleSharingItsStorage) {
  auto array = MutableDoubleArray::WithValues({1, 2, 3, 4, 5, 6}, 2, 3);
  auto held = KRDoubleArrayContainer::createArrayWithMutableObject(array);
  EXPECT_EQ(array.ReferenceCount(), 2);
  EXPECT_TRUE(held->isMutable());
  EXPECT_EQ((std::array<long, 4>{held->m(), held->n(), held->o(), held->length()}), (std::array<long, 4>{2, 3, 1, 6}));
  EXPECT_EQ(held->memoryUsed(), 48u);
  held->setValue(10, 1, 2);
  EXPECT_EQ(array(1, 2), 10);
  EXPECT_EQ(held->valueAtI(1, 2), 10);
  EXPECT_EQ(held->valueAtIndex(0), 1);
  EXPECT_EQ(held->valueAtIndex(6), 0);
  EXPECT_EQ(held->valueAtI(2, 0), 0);
  EXPECT_EQ(held->findValue(10), 5);
  held.reset();
  EXPECT_EQ(array.ReferenceCount(), 1);
}

TEST(KRArrayContainer, AConstContainerRefusesEveryChange) {
  ReportedMessages messages;
  DoubleArray array = MutableDoubleArray::WithValues({3, 1, 2});
  auto held = KRDoubleArrayContainer::createArrayWithConstObject(array);
  EXPECT_FALSE(held->isMutable());
  EXPECT_EQ(held->mutableArray(), nullptr);
  EXPECT_EQ(held->mutableDoublePointer(), nullptr);
  held->setValue(9, 0);
  held->sortInPlace();
  EXPECT_FALSE(held->cropLengthTo(1));
  EXPECT_EQ(held->valueAtIndex(0), 3);
  const char* refusal = "Asking for a mutable pointer from an array that only contains a const array.";
  EXPECT_EQ(messages.centre(), (Lines{refusal, refusal, refusal, refusal,
                                      "The double array being cropped can not be changed (const)."}));
}

TEST(KRArrayContainer, OvertakingTakesOwnershipAndRefusesNull) {
  ReportedMessages messages;
  auto held = KRIntArrayContainer::initByOvertakingMutablePointer(
      new MutableIntArray(MutableIntArray::WithValues({5})));
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(held->constArray().ReferenceCount(), 1);
  EXPECT_EQ(held->valueAtIndex(0), 5);
  EXPECT_EQ(KRIntArrayContainer::initByOvertakingPointer(nullptr), nullptr);
  EXPECT_EQ(KRFloatArrayContainer::initByOvertakingMutablePointer(nullptr), nullptr);
  EXPECT_EQ(messages.centre(), (Lines{"KRIntArrayContainer: Creating an array with a NULL pointer.",
                                      "KRFloatArrayContainer: Creating an array with a NULL pointer."}));
}

TEST(KRArrayContainer, AllocationReportsImpossibleSizes) {
  ReportedMessages messages;
  auto ok = KRShortArrayContainer::createArrayOfSizeM(2, 3, 4);
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->length(), 24);
  EXPECT_EQ(KRIntArrayContainer::createArrayOfSizeM(-1, 2), nullptr);
  EXPECT_EQ(KRDoubleArrayContainer::createArrayOfLength(1L << 30), nullptr);
  setElementAllocationFailsForTesting(true);
  auto failed = KRCharacterArrayContainer::createArrayOfLength(10);
  setElementAllocationFailsForTesting(false);
  EXPECT_EQ(failed, nullptr);
  EXPECT_EQ(messages.centre(), (Lines{"Can not allocate an array (int) of the size -1 x 2 x 1",
                                      "Can not allocate an array (double) of the size 1073741824 x 1 x 1",
                                      "Memory allocation failed", "Problems allocating an array"}));
}

TEST(KRArrayContainer, CroppingNeedsAValidLength) {
  ReportedMessages messages;
  auto held = KRDoubleArrayContainer::createArrayWithMutableObject(
      MutableDoubleArray::WithValues({1, 2, 3, 4}, 2, 2));
  EXPECT_FALSE(held->cropLengthTo(5));
  EXPECT_FALSE(held->cropLengthTo(-1));
  EXPECT_TRUE(held->cropLengthTo(3));
  EXPECT_EQ(held->m(), 3);
  EXPECT_EQ(held->n(), 1);
  EXPECT_EQ(messages.centre(), (Lines{"Illegal new length for array.", "Illegal new length for array."}));

  // Shortening in place keeps the elements where they are; the memory is
  // still the whole allocation's when the array goes.
  auto large = KRDoubleArrayContainer::createArrayOfLength(1 << 20);
  double* elements = large->mutableDoublePointer();
  elements[0] = 7;
  elements[2] = 9;
  EXPECT_FALSE(large->shortenInPlaceTo((1 << 20) + 1));
  EXPECT_TRUE(large->shortenInPlaceTo(3));
  EXPECT_EQ(large->length(), 3);
  EXPECT_EQ(large->m(), 3);
  EXPECT_EQ(large->constDoublePointer(), elements);
  EXPECT_EQ(large->valueAtIndex(2), 9);
  EXPECT_EQ(large->valueAtIndex(3), 0);  // out of range now
  EXPECT_TRUE(large->shortenInPlaceTo(0));
  EXPECT_TRUE(large->isEmpty());
  const auto fixed = KRDoubleArrayContainer::createArrayWithConstObject(DoubleArray());
  EXPECT_FALSE(fixed->shortenInPlaceTo(0));
  EXPECT_EQ(messages.centre(), (Lines{"Illegal new length for array.",
                                      "The double array being cropped can not be changed (const)."}));
}

TEST(KRArrayContainer, ExtremesAndDerivedContainers) {
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  auto held = KRDoubleArrayContainer::createArrayWithMutableObject(
      MutableDoubleArray::WithValues({4, nan, -1, 6}, 2, 2));
  EXPECT_EQ(held->minValue(), -1);
  EXPECT_EQ(held->maxValue(), 6);
  EXPECT_TRUE(held->containsNonFiniteNumbers());
  auto ints = KRIntArrayContainer::createArrayWithMutableObject(MutableIntArray::WithValues({4, -3, 9}));
  int min = 0, max = 0;
  EXPECT_TRUE(ints->calculateMin(min, max));
  EXPECT_EQ(min, -3);
  EXPECT_EQ(max, 9);

  auto transposed = held->transpose();
  EXPECT_EQ(transposed->valueAtI(1, 0), held->valueAtI(0, 1));
  EXPECT_EQ(held->extractColumns(1)->length(), 2);
  EXPECT_EQ(held->asAVector()->m(), 4);
  auto block = held->numbersFrom(1, 3);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block->length(), 2);
  EXPECT_EQ(block->valueAtIndex(1), -1);
  auto picked = held->valuesAtIndexes(MutableIntArray::WithValues({3, 0}));
  EXPECT_EQ(picked->valueAtIndex(0), 6);
  EXPECT_EQ(picked->valueAtIndex(1), 4);
  auto asFloat = held->convertToFloat();
  EXPECT_EQ(asFloat->valueAtIndex(3), 6.0f);
  auto copy = held->copy();
  auto mutableCopy = held->mutableCopy();
  EXPECT_FALSE(copy->isMutable());
  EXPECT_TRUE(mutableCopy->isMutable());
  mutableCopy->setValue(7, 0);
  EXPECT_EQ(held->valueAtIndex(0), 4);
  EXPECT_FALSE(held->isEqualToDoubleArray(*copy));  // NaN never compares equal
  held->setValue(0, 1);
  EXPECT_TRUE(held->isEqualToDoubleArray(*held->copy()));
  held->sortInPlace();
  EXPECT_EQ(held->valueAtIndex(0), -1);
  EXPECT_EQ(held->m(), 2);  // sorting keeps the shape
}

TEST(KRArrayContainer, CopyingABlockIntoARange) {
  ReportedMessages messages;
  auto target = KRDoubleArrayContainer::createArrayOfLength(5);
  target->setAllValues(0);
  auto block = KRDoubleArrayContainer::createArrayWithMutableObject(MutableDoubleArray::WithValues({8, 9}));
  EXPECT_TRUE(target->copyFromArray(*block, 2, 4));
  EXPECT_TRUE(target->isEqualTo(*KRDoubleArrayContainer::createArrayWithMutableObject(
      MutableDoubleArray::WithValues({0, 0, 8, 9, 0}))));
  EXPECT_FALSE(target->copyFromArray(*block, 4, 7));
  EXPECT_FALSE(target->copyFromArray(*block, 0, 3));
  EXPECT_EQ(target->numbersFrom(3, 6), nullptr);
  EXPECT_EQ(messages.centre().size(), 3u);
}

TEST(KRArrayContainer, RefusalsOfTheFloatContainer) {
  ReportedMessages messages;
  auto held = KRFloatArrayContainer::createArrayOfLength(3);
  EXPECT_EQ(held->constDoublePointer(), nullptr);
  EXPECT_EQ(held->mutableDoublePointer(), nullptr);
  EXPECT_NE(held->mutablePointer(), nullptr);
  EXPECT_EQ(messages.centre(), (Lines{"Severe problem: Calling constDoublePointer for a float array.",
                                      "Severe problem: Calling mutableDoublePointer for a float array."}));
}

TEST(KRArrayContainer, DescriptionsNameTheElementWord) {
  EXPECT_EQ(KRIntArrayContainer::createArrayOfSizeM(2, 3)->description(),
            "Integer array with dimensions 2 x 3 x 1.");
  EXPECT_EQ(KRDoubleArrayContainer::createArrayWithConstObject(MutableDoubleArray(4))->description(),
            "Const double array with dimensions 4 x 1 x 1.");
  EXPECT_EQ(KRCharacterArrayContainer().description(), "nil character array");
  EXPECT_EQ(KRFloatArrayContainer::createArrayOfLength(0)->description(),
            "Float array with dimensions 0 x 0 x 0.");
}

TEST(KRArrayContainerRaw, RoundTripsEveryElementTypeThroughBinaryAndXml) {
  auto d = KRDoubleArrayContainer::createArrayWithMutableObject(
      MutableDoubleArray::WithValues({1.5, -2, 1e300, 4}, 2, 1, 2));
  auto f = KRFloatArrayContainer::createArrayWithMutableObject(MutableFloatArray::WithValues({1.25f, -3}));
  auto i = KRIntArrayContainer::createArrayWithMutableObject(MutableIntArray::WithValues({-7, 1 << 30, 3}));
  auto c =
      KRCharacterArrayContainer::createArrayWithMutableObject(MutableCharacterArray::WithValues({-1, 'a'}));
  auto u = KRUCharArrayContainer::createArrayWithMutableObject(MutableUCharArray::WithValues({255, 0}));
  auto s = KRShortArrayContainer::createArrayWithMutableObject(MVMutableShortArray::WithValues({-300, 7}));
  auto us =
      KRUShortArrayContainer::createArrayWithMutableObject(MVMutableUShortArray::WithValues({65535, 1}));
  for (auto format : {PlistFormat::XML, PlistFormat::Binary}) {
    auto again = [&](const auto& container) {
      auto raw = container->convertToRawFormat();
      EXPECT_TRUE(raw.has_value());
      auto parsed = parsePropertyList(serializePropertyList(*raw, format));
      EXPECT_TRUE(parsed.has_value());
      auto back = std::remove_cvref_t<decltype(*container)>::convertFromRawFormat(*parsed);
      EXPECT_TRUE(back && back->isEqualTo(*container) && back->m() == container->m() &&
                  back->o() == container->o());
      return *raw;
    };
    auto raw = again(d);
    EXPECT_EQ(*raw.stringForKey("KRType"), "Double");
    EXPECT_EQ(*raw.integerForKey("o"), 2);
    EXPECT_EQ(*raw.stringForKey("Endian"), std::endian::native == std::endian::little ? "Little" : "Big");
    EXPECT_EQ(*again(f).stringForKey("KRType"), "Float");
    auto ints = again(i);
    EXPECT_EQ(*ints.stringForKey("KRType"), "Integer");
    EXPECT_EQ(ints.find("Endian"), nullptr);
    EXPECT_EQ(*again(c).stringForKey("KRType"), "Character");
    again(u);
    again(s);
    again(us);
  }
}

TEST(KRArrayContainerRaw, ElementsInTheOtherByteOrderAreSwapped) {
  auto d = KRDoubleArrayContainer::convertFromRawFormat(
      rawForm(bytesOf<double>({1.5, -2}, true), 2, 1, 1, otherEndian()));
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->valueAtIndex(0), 1.5);
  EXPECT_EQ(d->valueAtIndex(1), -2);
  auto f = KRFloatArrayContainer::convertFromRawFormat(
      rawForm(bytesOf<float>({0.5f}, true), 1, 1, 1, otherEndian()));
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->valueAtIndex(0), 0.5f);
}

TEST(KRArrayContainerRaw, ADoubleContainerWidensFourByteFloats) {
  auto swapped = KRDoubleArrayContainer::convertFromRawFormat(
      rawForm(bytesOf<float>({0.25f, -8.5f, 3}, true), 3, 1, 1, otherEndian()));
  ASSERT_NE(swapped, nullptr);
  EXPECT_EQ(swapped->valueAtIndex(0), 0.25);
  EXPECT_EQ(swapped->valueAtIndex(1), -8.5);
  EXPECT_EQ(swapped->valueAtIndex(2), 3);
  // Two doubles' worth of bytes are four floats only for a 4-element array.
  auto four = KRDoubleArrayContainer::convertFromRawFormat(rawForm(bytesOf<float>({1, 2, 3, 4}), 2, 2, 1));
  ASSERT_NE(four, nullptr);
  EXPECT_EQ(four->valueAtI(1, 1), 4);
}

struct RawCase {
  const char* name;
  PropertyList (*raw)();
  const char* message;
};

class KRArrayContainerRawRefusals : public ::testing::TestWithParam<RawCase> {};

TEST_P(KRArrayContainerRawRefusals, NameWhatIsWrong) {
  ReportedMessages messages;
  EXPECT_EQ(KRDoubleArrayContainer::convertFromRawFormat(GetParam().raw()), nullptr);
  EXPECT_EQ(messages.centre(), Lines{GetParam().message});
}

PropertyList without(PropertyList raw, const char* key) {
  raw.dictionary().erase(key);
  return raw;
}

INSTANTIATE_TEST_SUITE_P(
    InOrder, KRArrayContainerRawRefusals,
    ::testing::Values(
        RawCase{"NoData", [] { return without(rawForm(bytesOf<double>({1}), 1, 1, 1), "Data"); },
                "Failed at converting an array (no data)."},
        RawCase{"DataNotBytes",
                [] {
                  return PropertyList(PlistDictionary{{"Data", "text"}, {"m", 1}, {"n", 1}, {"o", 1}});
                },
                "Failed at converting an array (no data)."},
        RawCase{"NoSizeAndNoData", [] { return PropertyList(PlistDictionary{}); },
                "Failed at converting an array (no data)."},
        RawCase{"NoSize", [] { return without(rawForm(bytesOf<double>({1}), 1, 1, 1), "o"); },
                "Failed at converting an array (no size)."},
        RawCase{"Negative", [] { return rawForm(bytesOf<double>({1}), -1, 1, 1); },
                "Failed at converting an array (negative sizes)."},
        RawCase{"Short",
                [] {
                  return rawForm(bytesOf<double>({1, 2}), 3, 1, 1);
                },
                "Failed at converting an array (sizes did not match)."},
        RawCase{"Huge", [] { return rawForm(bytesOf<double>({1}), 1L << 40, 1L << 40, 1L << 40); },
                "Failed at converting an array (sizes did not match)."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KRArrayContainerRaw, OnlyIntegerContainersSayDidntAndWritingNothingIsRefused) {
  ReportedMessages messages;
  PropertyList raw = PlistDictionary{{"m", 2}, {"n", 1}, {"o", 1}, {"Data", bytesOf<int>({1})}};
  EXPECT_EQ(KRIntArrayContainer::convertFromRawFormat(raw), nullptr);
  PropertyList characters = PlistDictionary{{"m", 2}, {"n", 1}, {"o", 1}, {"Data", bytesOf<signed char>({1})}};
  EXPECT_EQ(KRCharacterArrayContainer::convertFromRawFormat(characters), nullptr);
  EXPECT_FALSE(KRFloatArrayContainer().convertToRawFormat().has_value());
  EXPECT_FALSE(KRIntArrayContainer().convertToRawFormat().has_value());
  EXPECT_EQ(messages.centre(), (Lines{"Failed at converting an array (sizes didn't match).",
                                      "Failed at converting an array (sizes did not match).",
                                      "When converting a floating array to a dictionary, data==nil.",
                                      "When converting a integer array to a dictionary, data==nil."}));
}

}  // namespace
