// Arrays as the document holds them, written to and read from data files:
// every container type keeps its shape and values.

#include <filesystem>

#include "DataFileTestSupport.h"
#include "datafiles/KRDataFile.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

template <class Container>
struct Access;

#define ORREL_CONTAINER_ACCESS(Container, Read, Write)                                                        \
  template <>                                                                                                 \
  struct Access<Container> {                                                                                  \
    static std::shared_ptr<Container> read(KRDataFile& file, const std::string& name) { return file.Read(name); } \
    static bool write(KRDataFile& file, const Container& array, const std::string& name) {                   \
      return file.Write(array, name);                                                                         \
    }                                                                                                         \
  };

ORREL_CONTAINER_ACCESS(KRDoubleArrayContainer, readDoubleArray, writeDoubleArray)
ORREL_CONTAINER_ACCESS(KRFloatArrayContainer, readFloatArray, writeFloatArray)
ORREL_CONTAINER_ACCESS(KRIntArrayContainer, readIntArray, writeIntArray)
ORREL_CONTAINER_ACCESS(KRShortArrayContainer, readShortArray, writeShortArray)
ORREL_CONTAINER_ACCESS(KRUShortArrayContainer, readUShortArray, writeUShortArray)
ORREL_CONTAINER_ACCESS(KRCharacterArrayContainer, readCharacterArray, writeCharacterArray)
ORREL_CONTAINER_ACCESS(KRUCharArrayContainer, readUCharArray, writeUCharArray)
#undef ORREL_CONTAINER_ACCESS

template <class Container>
class ContainerRoundTrip : public DataFileTest {};

using Containers = ::testing::Types<KRDoubleArrayContainer, KRFloatArrayContainer, KRIntArrayContainer,
                                    KRShortArrayContainer, KRUShortArrayContainer, KRCharacterArrayContainer,
                                    KRUCharArrayContainer>;
TYPED_TEST_SUITE(ContainerRoundTrip, Containers);

TYPED_TEST(ContainerRoundTrip, KeepsShapeAndValues) {
  using Container = TypeParam;
  using Element = typename Container::Element;
  auto block = Container::createArrayOfSizeM(2, 3, 2);
  ASSERT_TRUE(block);
  for (long i = 0; i < block->length(); ++i) block->setValue(static_cast<Element>(i * 7 - 20), i);
  auto one = Container::createArrayOfLength(1);
  one->setValue(static_cast<Element>(-5), 0);
  auto empty = Container::createArrayOfLength(0);
  Container nothing;

  const std::string file = this->path("containers.mvbin");
  {
    auto data = KRDataFile::openNewFileWithName(file);
    ASSERT_TRUE(data);
    ASSERT_TRUE(Access<Container>::write(*data, *block, "block"));
    ASSERT_TRUE(Access<Container>::write(*data, *one, "one"));
    ASSERT_TRUE(Access<Container>::write(*data, *empty, "empty"));
    ASSERT_TRUE(Access<Container>::write(*data, nothing, "nothing"));
    ASSERT_TRUE(data->writeString("text", "label"));
  }
  EXPECT_TRUE(this->messages().empty());

  auto data = KRDataFile::openFileName(file);
  ASSERT_TRUE(data);
  auto read = Access<Container>::read(*data, "block");
  ASSERT_TRUE(read);
  EXPECT_EQ(std::vector<int>({read->m(), read->n(), read->o()}), std::vector<int>({2, 3, 2}));
  EXPECT_TRUE(read->isEqualTo(*block));
  auto empties = {Access<Container>::read(*data, "empty"), Access<Container>::read(*data, "nothing")};
  for (const auto& e : empties) {
    ASSERT_TRUE(e);
    EXPECT_TRUE(e->isEmpty());
  }
  // A string or an unknown name gives no array.
  EXPECT_FALSE(Access<Container>::read(*data, "label"));
  EXPECT_FALSE(Access<Container>::read(*data, "missing"));

  // A single value comes from memory: it is there even once the file is gone.
  std::filesystem::remove(file);
  data->closeFile();
  auto single = Access<Container>::read(*data, "one");
  ASSERT_TRUE(single);
  EXPECT_EQ(single->length(), 1);
  EXPECT_EQ(single->valueAtIndex(0), static_cast<Element>(-5));
  EXPECT_FALSE(Access<Container>::read(*data, "block"));
}

}  // namespace
