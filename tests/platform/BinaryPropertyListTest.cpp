#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/BinaryPropertyList.h"
#include "platform/PropertyListSerialization.h"

using namespace orrelin;

namespace {

// Assembles a binary property list from object bodies, with one-byte
// offsets and references; object 0 is the top.
std::string assemble(const std::vector<std::string>& objects, std::uint64_t top = 0) {
  std::string bytes = "bplist00";
  std::vector<std::size_t> offsets;
  for (const auto& object : objects) {
    offsets.push_back(bytes.size());
    bytes += object;
  }
  const std::size_t table = bytes.size();
  for (std::size_t offset : offsets) bytes += static_cast<char>(offset);
  std::string trailer(32, '\0');
  trailer[6] = 1;  // offset size
  trailer[7] = 1;  // reference size
  trailer[15] = static_cast<char>(objects.size());
  trailer[23] = static_cast<char>(top);
  trailer[31] = static_cast<char>(table);
  return bytes + trailer;
}

std::string ascii(const std::string& text) { return static_cast<char>(0x50 | text.size()) + text; }

TEST(BinaryPropertyList, ReadsEveryKindAWriterProduces) {
  const std::string objects[] = {
      std::string("\xd7\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e", 15),
      ascii("a"), ascii("b"), ascii("c"), ascii("d"), ascii("e"), ascii("f"), ascii("g"),
      std::string("\x13\xff\xff\xff\xff\xff\xff\xff\xfe", 9),                          // -2
      std::string("\x14\0\0\0\0\0\0\0\0\xff\xff\xff\xff\xff\xff\xff\xff", 17),          // UINT64_MAX
      std::string("\x63\x00\xe9\xd8\x3d\xde\x00", 7),                                    // "é😀" in UTF-16
      std::string("\x33\x41\xd2\x65\x38\x00\x00\x00\x00", 9),                            // a date
      std::string("\x42\x01\xff", 3),                                                   // data
      std::string("\xa2\x0f\x0f", 3),                                                   // an array, twice "x"
      std::string("\x09", 1),
  };
  std::vector<std::string> list(std::begin(objects), std::end(objects));
  list.push_back(ascii("x"));  // object 15
  auto value = parsePropertyList(assemble(list));
  ASSERT_TRUE(value);
  EXPECT_EQ(value->find("a")->integer(), -2);
  EXPECT_TRUE(value->find("b")->isUnsignedInteger());
  EXPECT_EQ(value->find("b")->unsignedInteger(), 18446744073709551615ULL);
  EXPECT_EQ(value->stringForKey("c"), "\xc3\xa9\xf0\x9f\x98\x80");
  // Stored as seconds since 2001; held as seconds since 1970.
  EXPECT_EQ(value->find("d")->date().secondsSince1970, 1234493440.0 + 978307200.0);
  EXPECT_EQ(value->find("e")->data(), (PlistData{0x01, 0xff}));
  EXPECT_EQ(*value->arrayForKey("f"), (PlistArray{PropertyList("x"), PropertyList("x")}));
  EXPECT_EQ(value->booleanForKey("g"), true);
}

TEST(BinaryPropertyList, KeysWithZeroBytesAreKeptNotFatal) {
  auto value = parsePropertyList(assemble({std::string("\xd1\x01\x02", 3), std::string("\x53" "a\0b", 4), ascii("v")}));
  ASSERT_TRUE(value);
  EXPECT_EQ(value->stringForKey(std::string("a\0b", 3)), "v");
}

TEST(BinaryPropertyList, DamagedListsAreRefusedWithAMessage) {
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"a cycle", assemble({std::string("\xa1\x01", 2), std::string("\xa1\x00", 2)})},
      {"an array holding itself", assemble({std::string("\xa1\x00", 2)})},
      {"a reference past the table", assemble({std::string("\xa1\x09", 2)})},
      {"a count past the end", assemble({std::string("\xaf\x10\x7f", 3)})},
      {"a non-text key", assemble({std::string("\xd1\x01\x01", 3), std::string("\x10\x05", 2)})},
      {"a top past the objects", assemble({ascii("x")}, 3)},
      {"an unknown marker", assemble({std::string("\x70", 1)})},
      {"a truncated integer", assemble({std::string("\x13\x01", 2)})},
      {"only the header", std::string("bplist00")},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(parsePropertyList(c.bytes, &error)) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
  }
}

TEST(BinaryPropertyList, SharedReferencesCannotExplodeTheTree) {
  // Each array holds the next one twice: 2^60 leaves from 61 objects.
  std::vector<std::string> objects;
  for (int i = 0; i < 60; ++i) objects.push_back(std::string("\xa2") + static_cast<char>(i + 1) + static_cast<char>(i + 1));
  objects.push_back(ascii("leaf"));
  std::string error;
  EXPECT_FALSE(parsePropertyList(assemble(objects), &error));
  EXPECT_EQ(error, "The property list is too large.");
}

TEST(BinaryPropertyList, WhatTheWriterWritesReadsBackThroughTheAccessors) {
  PropertyList value(PlistDictionary{{"Length", PropertyList(std::uint64_t{42})}, {"k", PropertyList("v")}});
  std::string bytes = serializePropertyList(value, PlistFormat::Binary);
  auto list = BinaryPropertyList::open(bytes);
  ASSERT_TRUE(list);
  auto top = list->dictionary(list->top());
  ASSERT_TRUE(top);
  ASSERT_EQ(top->count, 2u);
  for (std::uint64_t i = 0; i < top->count; ++i) {
    auto key = list->string(list->keyRef(*top, i));
    ASSERT_TRUE(key);
    if (*key == "k") {
      EXPECT_EQ(list->singleCharacter(list->valueRef(*top, i)), 'v');
    } else {
      auto length = list->integer(list->valueRef(*top, i));
      EXPECT_TRUE(length.present);
      EXPECT_EQ(length.value, 42u);
    }
  }
}

TEST(BinaryPropertyList, ReadsThreeByteReferencesAndOffsets) {
  // Some writers choose three bytes once a list has more than 65535 objects.
  const std::string objects = std::string("\xa2\0\0\x01\0\0\x02", 7) + ascii("a") + ascii("b");
  std::string bytes = "bplist00" + objects;
  const std::size_t table = bytes.size();
  for (std::size_t offset : {8, 15, 17}) bytes += std::string("\0\0", 2) + static_cast<char>(offset);
  std::string trailer(32, '\0');
  trailer[6] = 3;
  trailer[7] = 3;
  trailer[15] = 3;
  trailer[31] = static_cast<char>(table);
  auto value = parsePropertyList(bytes + trailer);
  ASSERT_TRUE(value);
  EXPECT_EQ(*value, PropertyList(PlistArray{PropertyList("a"), PropertyList("b")}));
}

}  // namespace
