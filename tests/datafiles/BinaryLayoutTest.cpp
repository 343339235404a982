// The bytes a writer puts into a file, and files of either byte order built
// byte by byte read back to the same values.

#include <cmath>
#include <limits>

#include "DataFileTestSupport.h"
#include "datafiles/KRDataFile.h"
#include "datafiles/KRDataFileBinary.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

constexpr bool kHostIsLittleEndian = std::endian::native == std::endian::little;
const std::string kHostMagic = kHostIsLittleEndian ? "Mirovane Binary File LE" : "Mirovane Binary File BE";

class BinaryLayout : public DataFileTest {};

TEST_F(BinaryLayout, A3x2DoubleArrayIsOneEntryOf78BytesAfterTheMagic) {
  const std::string file = path("x.mvbin");
  {
    auto data = KRDataFile::openNewFileWithName(file);
    ASSERT_TRUE(data);
    const double values[6] = {1, 2, 3, 4, 5, 6.5};
    ASSERT_TRUE(data->writeArray("x", values, 3, 2, 1));
    data->closeFile();
  }
  FileBuilder expected(!kHostIsLittleEndian);
  expected.magic(kHostMagic);
  expected.i64(78).i32(1).i32(3).i32(2).i32(1).i32(2).text("x").u8(0);
  for (double v : {1.0, 2.0, 3.0, 4.0, 5.0, 6.5}) expected.f64(v);
  ASSERT_EQ(expected.size(), 24u + 78u);
  EXPECT_EQ(fileBytes(file), expected.bytes());

  // Appending a second variable of the same name is refused and leaves the
  // file as it was.
  auto again = KRDataFile::openFileName(file);
  ASSERT_TRUE(again);
  const double other = 7;
  EXPECT_FALSE(again->writeArray("x", &other, 1, 1, 1));
  EXPECT_EQ(messages(), std::vector<std::string>{"Entry already exists, can't overwrite it."});
  EXPECT_EQ(fileBytes(file), expected.bytes());
}

struct TypeCase {
  const char* label;
  std::int32_t typeCode;
  std::size_t elementSize;
  std::string description;
};

class EveryType : public DataFileTest, public ::testing::WithParamInterface<TypeCase> {};

// Writes two elements of the case's type through the raw writer and checks
// the header the file got, the description and the values read as doubles.
TEST_P(EveryType, IsWrittenWithItsTypeCodeSizeAndDescription) {
  const TypeCase& c = GetParam();
  const std::string file = path("types.mvbin");
  const std::uint8_t raw[16] = {1, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0};
  std::vector<std::uint8_t> elements(raw, raw + 2 * c.elementSize);
  {
    auto data = KRDataFile::openNewFileWithName(file);
    ASSERT_TRUE(data);
    ASSERT_TRUE(data->writeEntryWithName("v", elements.data(), c.typeCode, 1, 2, 1));
    data->closeFile();
  }
  const auto bytes = fileBytes(file);
  ASSERT_EQ(bytes.size(), 24 + 28 + 2 + 2 * c.elementSize);
  std::int32_t typeCode;
  std::memcpy(&typeCode, bytes.data() + 24 + 8, 4);
  EXPECT_EQ(typeCode, c.typeCode);
  EXPECT_TRUE(std::equal(elements.begin(), elements.end(), bytes.end() - static_cast<long>(elements.size())));

  auto data = KRDataFile::openFileName(file);
  ASSERT_TRUE(data);
  EXPECT_EQ(data->variablesNames(), std::vector<std::string>{"v"});
  auto info = data->entryInfo("v");
  ASSERT_TRUE(info);
  EXPECT_EQ(binaryformat::descriptionText(info->kind, info->isAString, info->m, info->n, info->o), c.description);
  EXPECT_EQ(data->isAString("v"), c.typeCode == 20);
  EXPECT_EQ(data->isAnIntArray("v"), c.typeCode >= 8 && c.typeCode <= 12);
  EXPECT_EQ(data->savedAsFloat("v"), c.typeCode == 2);
  EXPECT_EQ(data->isADoubleArray("v"), c.typeCode == 1);
}

INSTANTIATE_TEST_SUITE_P(
    BinaryLayout, EveryType,
    ::testing::Values(TypeCase{"Double", 1, 8, "A double precision array (1x2x1)."},
                      TypeCase{"Float", 2, 4, "A single precision array (1x2x1)."},
                      TypeCase{"Int", 8, 4, "A 4 byte integer array (1x2x1)."},
                      TypeCase{"Short", 10, 2, "A 2 byte signed integer array (1x2x1)."},
                      TypeCase{"UShort", 9, 2, "A 2 byte unsigned integer array (1x2x1)."},
                      TypeCase{"Char", 12, 1, "A 1 byte integer array (1x2x1)."},
                      TypeCase{"UChar", 11, 1, "A 1 byte unsigned integer array (1x2x1)."},
                      TypeCase{"String", 20, 1, "A string with size (1x2x1)."}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(BinaryLayout, EmptyArraysHaveNoShapeAndStringsKeepTheirLength) {
  const std::string file = path("empty.mvbin");
  {
    auto data = KRDataFile::openNewFileWithName(file);
    ASSERT_TRUE(data);
    ASSERT_TRUE(data->writeArray<double>("none", nullptr, 5, 0, 1));
    ASSERT_TRUE(data->writeString("", "blank"));
    ASSERT_TRUE(data->writeString("h\xC3\xA9llo", "word"));
    data->closeFile();
  }
  FileBuilder expected(!kHostIsLittleEndian);
  expected.magic(kHostMagic);
  expected.header(1, 0, 0, 0, "none", 0);
  expected.header(20, 1, 0, 1, "blank", 0);
  expected.header(20, 1, 6, 1, "word", 6).text("h\xC3\xA9llo");
  EXPECT_EQ(fileBytes(file), expected.bytes());

  auto data = KRDataFile::openFileName(file);
  ASSERT_TRUE(data);
  EXPECT_EQ(data->readRawString("blank"), "");
  EXPECT_EQ(data->readRawString("word"), "h\xC3\xA9llo");
  auto none = data->readValues<double>("none");
  ASSERT_TRUE(none);
  EXPECT_TRUE(none->empty());
  EXPECT_EQ(data->readNumber("none"), std::nullopt);
  EXPECT_EQ(messages(), std::vector<std::string>{"Trying to extract a number from an empty variable."});
  // A string is not an array and an array is not a string.
  EXPECT_FALSE(data->readValues<double>("word"));
  EXPECT_FALSE(data->readRawString("none"));
}

TEST_F(BinaryLayout, AFileOfJustTheMagicHasNoVariables) {
  FileBuilder(false).magic(kHostMagic).writeTo(path("magic.mvbin"));
  auto data = KRDataFile::openFileName(path("magic.mvbin"));
  ASSERT_TRUE(data);
  EXPECT_TRUE(data->variablesNames().empty());
  EXPECT_EQ(data->fileSizeInBytes(), 24u);
  EXPECT_TRUE(messages().empty());
}

// The other byte order, and the first version of the format, which is
// big-endian: every kind of element, a single value of each kind that the
// scan caches and one too far into a long entry for it to cache.
class ForeignOrder : public DataFileTest, public ::testing::WithParamInterface<std::pair<const char*, bool>> {};

TEST_P(ForeignOrder, ReadsBackTheSameValues) {
  const auto [magic, bigEndian] = GetParam();
  FileBuilder b(bigEndian);
  b.magic(magic);
  b.header(1, 2, 1, 1, "d", 16).f64(1.5).f64(-std::numeric_limits<double>::infinity());
  b.header(2, 1, 2, 1, "f", 8).f32(0.25f).f32(-3e38f);
  b.header(8, 3, 1, 1, "i", 12).i32(-2).i32(70000).i32(std::numeric_limits<std::int32_t>::min());
  b.header(10, 2, 1, 1, "s", 4).u16(static_cast<std::uint16_t>(-300)).u16(5);
  b.header(9, 2, 1, 1, "us", 4).u16(65535).u16(258);
  b.header(12, 3, 1, 1, "c", 3).u8(0x80).u8(1).u8(0xFF);
  b.header(11, 3, 1, 1, "uc", 3).u8(0x80).u8(1).u8(0xFF);
  b.header(20, 1, 4, 1, "t", 4).text("ab\x01\x02");
  b.header(1, 1, 1, 1, "one", 8).f64(-0.125);
  b.header(8, 1, 1, 1, "oneInt", 4).i32(123456);
  b.header(9, 1, 1, 1, "oneUShort", 2).u16(40000);
  // A long name puts this value past the scan's read window.
  const std::string longName(254, 'n');
  b.header(2, 1, 1, 1, longName, 4).f32(2.5f);
  b.writeTo(path("foreign.mvbin"));

  auto file = KRDataFileBinary::openFileName(path("foreign.mvbin"));
  ASSERT_TRUE(file);
  EXPECT_EQ(file->needToSwap(), bigEndian == kHostIsLittleEndian);
  EXPECT_EQ(file->variablesNames(), (std::vector<std::string>{"d", "f", "i", "s", "us", "c", "uc", "t", "one", "oneInt",
                                                               "oneUShort", longName}));
  EXPECT_EQ(file->readValues<double>("d"), (std::vector<double>{1.5, -std::numeric_limits<double>::infinity()}));
  EXPECT_EQ(file->readValues<float>("f"), (std::vector<float>{0.25f, -3e38f}));
  EXPECT_EQ(file->readValues<std::int32_t>("i"),
            (std::vector<std::int32_t>{-2, 70000, std::numeric_limits<std::int32_t>::min()}));
  EXPECT_EQ(file->readValues<std::int16_t>("s"), (std::vector<std::int16_t>{-300, 5}));
  EXPECT_EQ(file->readValues<std::uint16_t>("us"), (std::vector<std::uint16_t>{65535, 258}));
  EXPECT_EQ(file->readValues<std::int8_t>("c"), (std::vector<std::int8_t>{-128, 1, -1}));
  EXPECT_EQ(file->readValues<std::uint8_t>("uc"), (std::vector<std::uint8_t>{128, 1, 255}));
  EXPECT_EQ(file->readRawString("t"), std::string("ab\x01\x02"));

  auto one = file->entryFor("one");
  ASSERT_TRUE(one);
  EXPECT_EQ(one->cachedNumber, -0.125);
  EXPECT_EQ(file->entryFor("oneInt")->cachedNumber, 123456);
  EXPECT_EQ(file->entryFor("oneUShort")->cachedNumber, 40000);
  EXPECT_FALSE(file->entryFor(longName)->cachedNumber);
  EXPECT_EQ(file->readNumber(longName), 2.5);
  EXPECT_EQ(file->readValues<double>("oneInt"), std::vector<double>{123456});
  EXPECT_TRUE(messages().empty());
}

INSTANTIATE_TEST_SUITE_P(BinaryLayout, ForeignOrder,
                         ::testing::Values(std::make_pair("Mirovane Binary File BE", true),
                                           std::make_pair("Mirovane Binary File v1", true),
                                           std::make_pair("Mirovane Binary File LE", false)),
                         [](const auto& info) { return std::string(info.param.first).substr(21); });

TEST_F(BinaryLayout, AppendingToAFileOfTheOtherOrderKeepsItsOrder) {
  const bool foreignIsBig = kHostIsLittleEndian;
  FileBuilder b(foreignIsBig);
  b.magic(foreignIsBig ? "Mirovane Binary File BE" : "Mirovane Binary File LE");
  b.header(8, 1, 1, 1, "old", 4).i32(7);
  b.writeTo(path("other.mvbin"));
  {
    auto file = KRDataFile::openFileName(path("other.mvbin"));
    ASSERT_TRUE(file);
    const double values[2] = {0.5, -2};
    ASSERT_TRUE(file->writeArray("new", values, 2, 1, 1));
    ASSERT_TRUE(file->writeString("xy", "text"));
  }
  // Host-order entries after a foreign magic would be garbage to every
  // reader; the new ones take the order of the file.
  b.header(1, 2, 1, 1, "new", 16).f64(0.5).f64(-2);
  b.header(20, 1, 2, 1, "text", 2).text("xy");
  EXPECT_EQ(fileBytes(path("other.mvbin")), b.bytes());
  auto file = KRDataFile::openFileName(path("other.mvbin"));
  ASSERT_TRUE(file);
  EXPECT_EQ(file->readValues<double>("new"), (std::vector<double>{0.5, -2}));
  EXPECT_EQ(file->readNumber("old"), 7);
}

}  // namespace
