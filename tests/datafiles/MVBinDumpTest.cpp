// mvbindump as a user runs it from the shell.

#include <sys/wait.h>

#include <array>
#include <cstdio>

#include "DataFileTestSupport.h"
#include "datafiles/KRDataFile.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

std::string slurp(const std::string& file) {
  auto bytes = fileBytes(file);
  return std::string(bytes.begin(), bytes.end());
}

class MVBinDump : public DataFileTest {
 protected:
  Outcome run(const std::string& arguments) {
    const std::string command = std::string(ORREL_BIN_DIR) + "/mvbindump " + arguments + " >" + path("out.txt") +
                                " 2>" + path("err.txt");
    const int raw = std::system(command.c_str());
    return Outcome{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(path("out.txt")), slurp(path("err.txt"))};
  }
  std::string quoted(const std::string& text) { return "'" + text + "'"; }

  void SetUp() override {
    DataFileTest::SetUp();
    file = path("dump.mvbin");
    auto data = KRDataFile::openNewFileWithName(file);
    ASSERT_TRUE(data);
    const double x[6] = {1, 2, 3, 0.1, -1e-300, 6};
    const std::int16_t s[2] = {-3, 7};
    ASSERT_TRUE(data->writeArray("x", x, 3, 2, 1));
    ASSERT_TRUE(data->writeString("two words", "title"));
    ASSERT_TRUE(data->writeArray("s", s, 1, 1, 2));
    data->closeFile();
  }
  std::string file;
};

TEST_F(MVBinDump, ListsEveryVariableInFileOrder) {
  Outcome r = run(quoted(file));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "x: A double precision array (3x2x1).\n"
            "title: A string with size (1x9x1).\n"
            "s: A 2 byte signed integer array (1x1x2).\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(MVBinDump, PrintsTheValuesOfTheNamedVariables) {
  Outcome r = run(quoted(file) + " s title x");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "-3\n7\n"
            "two words\n"
            "1\n2\n3\n0.10000000000000001\n-1e-300\n6\n");
}

TEST_F(MVBinDump, FailsWithAMessageForUnknownNamesAndUnreadableFiles) {
  Outcome unknown = run(quoted(file) + " s nothing");
  EXPECT_EQ(unknown.status, 1);
  EXPECT_EQ(unknown.out, "-3\n7\n");
  EXPECT_EQ(unknown.err, "mvbindump: There is no variable \"nothing\" in the file \"" + file + "\".\n");

  Outcome missing = run(quoted(path("missing.mvbin")));
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err, "Could not open the file \"" + path("missing.mvbin") + "\".\n");

  FileBuilder(false).text("not a data file at all, just text").writeTo(path("text.mvbin"));
  Outcome wrong = run(quoted(path("text.mvbin")));
  EXPECT_EQ(wrong.status, 1);
  EXPECT_EQ(wrong.err, "The file \"text.mvbin\" has incorrect format\n");

  EXPECT_EQ(run("").status, 2);
}

}  // namespace
