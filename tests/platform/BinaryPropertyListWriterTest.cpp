#include <gtest/gtest.h>
#include <plist/plist.h>

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include "platform/BinaryPropertyList.h"
#include "platform/PropertyListSerialization.h"

using namespace orrelin;

namespace {

// The XML the property-list library makes of a binary list after reading it
// with its own reader: an independent check of the bytes we write.
std::string xmlAsReadByTheLibrary(const std::string& binary) {
  plist_t node = nullptr;
  plist_from_bin(binary.data(), static_cast<std::uint32_t>(binary.size()), &node);
  if (!node) return "unreadable";
  char* xml = nullptr;
  std::uint32_t length = 0;
  plist_to_xml(node, &xml, &length);
  std::string text(xml ? xml : "", xml ? length : 0);
  std::free(xml);
  plist_free(node);
  return text;
}

PropertyList numbersFrom(std::int64_t first, std::int64_t count) {
  PlistArray numbers;
  for (std::int64_t k = 0; k < count; ++k) numbers.emplace_back(first + k);
  return PropertyList(std::move(numbers));
}

// Every kind, the counts that need an extended length, texts that need
// UTF-16 (with a character outside the basic plane), and lists long enough
// for two- and four-byte references and offsets.
PropertyList sample(std::int64_t listLength) {
  return PropertyList(PlistDictionary{
      {"numbers", numbersFrom(-3, listLength)},
      {"integers", PropertyList(PlistArray{PropertyList(std::int64_t{255}), PropertyList(std::int64_t{256}),
                                           PropertyList(std::int64_t{65536}), PropertyList(std::int64_t{1} << 40),
                                           PropertyList(std::numeric_limits<std::int64_t>::min()),
                                           PropertyList(std::numeric_limits<std::uint64_t>::max())})},
      {"reals", PropertyList(PlistArray{PropertyList(0.1), PropertyList(-1.5e300), PropertyList(4.9e-324)})},
      {"text", PropertyList("Grüße, 😀 and a text longer than fifteen characters")},
      {"ascii text longer than fifteen", PropertyList("plain")},
      {"schlüssel", PropertyList(true)},
      {"no", PropertyList(false)},
      {"date", PropertyList(PlistDate{1700000000.0})},
      {"data", PropertyList(PlistData(40, 0xAB))},
      {"nested", PropertyList(PlistArray{PropertyList(PlistDictionary{}), PropertyList(PlistArray{})})},
  });
}

class BinaryWriterSizes : public testing::TestWithParam<std::int64_t> {};

TEST_P(BinaryWriterSizes, OurReaderAndTheLibrarysReadWhatItWrites) {
  const PropertyList value = sample(GetParam());
  const std::string bytes = serializePropertyList(value, PlistFormat::Binary);
  std::string error;
  auto back = parsePropertyList(bytes, &error);
  ASSERT_TRUE(back) << error;
  EXPECT_EQ(*back, value);
  EXPECT_EQ(xmlAsReadByTheLibrary(bytes), serializePropertyList(value, PlistFormat::XML));
}

// 10 objects in all, then about 300 (two-byte references) and about 70,000
// (four-byte references and offsets).
INSTANTIATE_TEST_SUITE_P(ReferenceWidths, BinaryWriterSizes, testing::Values(0, 300, 70000));

TEST(BinaryPropertyListWriter, EqualLeavesAreStoredOnce) {
  const std::string shared(200, 'x');
  PlistArray records;
  for (int k = 0; k < 1000; ++k)
    records.emplace_back(PlistDictionary{{"Name", PropertyList(shared)}, {"Size", PropertyList(std::int64_t{7})}});
  const std::string bytes = serializePropertyList(PropertyList(std::move(records)), PlistFormat::Binary);
  // One copy of the text, and small records referring to it.
  EXPECT_LT(bytes.size(), 2 * shared.size() + 1000 * 16);
  auto back = parsePropertyList(bytes);
  ASSERT_TRUE(back && back->isArray());
  EXPECT_EQ(back->array().back().stringForKey("Name"), shared);
}

TEST(BinaryPropertyListWriter, ALeafAtTheTopIsTheWholeList) {
  for (const PropertyList& value : {PropertyList("alone"), PropertyList(std::int64_t{-1}), PropertyList(PlistData{})}) {
    const std::string bytes = serializePropertyList(value, PlistFormat::Binary);
    auto back = parsePropertyList(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, value);
    EXPECT_EQ(xmlAsReadByTheLibrary(bytes), serializePropertyList(value, PlistFormat::XML));
  }
}

}  // namespace
