#include <gtest/gtest.h>

#include "platform/SharedLibrary.h"

using namespace orrelin;

namespace {

TEST(SharedLibrary, FindsTheFunctionsOfALibraryThatIsThere) {
  SharedLibrary math("libm.so.6");
  ASSERT_TRUE(math.loaded()) << math.error();
  double (*hypotenuse)(double, double) = nullptr;
  ASSERT_TRUE(math.bind(hypotenuse, "hypot"));
  EXPECT_DOUBLE_EQ(hypotenuse(3, 4), 5);
  EXPECT_EQ(math.error(), "");
}

TEST(SharedLibrary, AMissingFunctionIsNamedAndTheFirstFailureKept) {
  SharedLibrary math("libm.so.6");
  void (*missing)() = &::abort;
  EXPECT_FALSE(math.bind(missing, "orrel_no_such_function"));
  EXPECT_EQ(missing, nullptr);
  void (*other)() = nullptr;
  EXPECT_FALSE(math.bind(other, "orrel_another_missing_function"));
  EXPECT_EQ(math.error(), "the library libm.so.6 has no function orrel_no_such_function");
  // The functions that are there still bind after a miss.
  double (*cosine)(double) = nullptr;
  EXPECT_TRUE(math.bind(cosine, "cos"));
}

TEST(SharedLibrary, AMissingLibraryGivesItsNameAndTheLoadersReason) {
  SharedLibrary absent("liborrel-not-installed.so.1");
  EXPECT_FALSE(absent.loaded());
  EXPECT_EQ(absent.error().rfind("the library liborrel-not-installed.so.1 could not be loaded (", 0), 0u);
  EXPECT_NE(absent.error().find("liborrel-not-installed.so.1: cannot open shared object file"), std::string::npos);
  EXPECT_EQ(absent.error().back(), ')');
  int (*function)(int) = nullptr;
  EXPECT_FALSE(absent.bind(function, "abs"));
  EXPECT_EQ(function, nullptr);
}

}  // namespace
