// Reading a text file in blocks gives exactly what reading it whole gives,
// wherever the blocks happen to end: inside a quoted field, between a
// carriage return and its line feed, inside a character of several bytes,
// inside the header.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "datafiles/KRDataFileProgress.h"
#include "support/MessageCapture.h"
#include "support/TemporaryFolder.h"
#include "table/DataDocumentTable.h"
#include "table/ImportTestSupport.h"
#include "table/VKDataColumnString.h"
#include "table/import/ImportProgress.h"
#include "table/import/KRBigTextFile.h"
#include "table/import/LineParser.h"
#include "table/import/TextDecoding.h"

namespace orrelin {
namespace {

using namespace testing_support;

// What a parse gave, as lines that can be compared and printed: the header
// names, each cell's form, text and number, the row count and the messages.
std::vector<std::string> summary(const std::optional<ParsedLines>& parsed, const std::vector<std::string>& messages) {
  std::vector<std::string> out;
  if (!parsed) {
    out.push_back("nothing");
  } else {
    const Gathered& g = parsed->gathered;
    out.push_back("rows " + std::to_string(g.rows) + " columns " + std::to_string(g.texts.size()));
    for (const std::string& header : parsed->headers) out.push_back("header " + header);
    for (std::size_t c = 0; c < g.texts.size(); ++c) {
      const CellTextStore& column = g.texts[c];
      for (std::size_t r = 0; r < column.size(); ++r) {
        char number[40] = "-";
        if (column.coded() && r < g.numbers[c].size() && !std::isnan(g.numbers[c][r]))
          std::snprintf(number, sizeof number, "%.17g", g.numbers[c][r]);
        out.push_back(std::to_string(c) + ":" + std::to_string(r) + " form " + std::to_string(column.form(r)) + " [" +
                      std::string(column[r]) + "] " + number);
      }
    }
  }
  for (const std::string& message : messages) out.push_back("message " + message);
  return out;
}

struct Targets {
  const char* name;
  // Typed-in columns to fill, and whether a text column comes first.
  int typedIn;
  bool textColumnFirst;
  bool allowAdding;
};

std::shared_ptr<TestDocument> documentFor(const Targets& setup) {
  auto document = documentWithTypedInColumns(setup.typedIn);
  if (setup.textColumnFirst) document->table->insertColumn(VKDataColumnString::createEmptyFor(document), 1);
  return document;
}

std::vector<std::string> parsedWhole(const Targets& setup, const std::string& bytes) {
  MessageCapture messages;
  auto document = documentFor(setup);
  const std::string text = decodeText(bytes).text;
  auto parsed = parseLines(*document->table, KRBigTextFile::splitStringIntoLines(text),
                           document->table->displayedColumnIndexesExceptRowNumber(), -1, setup.allowAdding, false,
                           nullptr);
  return summary(parsed, messages.texts());
}

std::vector<std::string> parsedInBlocks(const Targets& setup, const std::string& path, std::size_t blockSize,
                                        bool* readInBlocks) {
  MessageCapture messages;
  auto document = documentFor(setup);
  std::string error;
  auto parsed = parseTextFile(*document->table, path, document->table->displayedColumnIndexesExceptRowNumber(), -1,
                              setup.allowAdding, nullptr, &error, blockSize, readInBlocks);
  EXPECT_EQ(error, "");
  return summary(parsed, messages.texts());
}

// Texts with every awkward place a block can end in, made from a seed.
std::string generatedText(unsigned seed, char separator) {
  std::mt19937 random(seed);
  const auto pick = [&](int n) { return int(random() % unsigned(n)); };
  const char* lineEnds[] = {"\n", "\r", "\r\n"};
  const char* plain[] = {"1.5", "-0.25", "3.000e+05", "42", "1,234", "pi", "caf\xC3\xA9", "\xE2\x82\xAC" "5",
                         "\xF0\x9D\x84\x9E", "", " 7 ", "1e-300", "x y"};
  std::string text;
  if (pick(4) == 0) text += "\xEF\xBB\xBF";
  if (pick(3) == 0) text += "\r\n\n";
  if (pick(2) == 0) {
    text += std::string("time") + separator + "\"volt" + separator + " age\"" + separator + "\xC3\xA9t\xC3\xA9";
    text += lineEnds[pick(3)];
  }
  const int records = 12 + pick(10);
  for (int r = 0; r < records; ++r) {
    const int fields = 1 + pick(5);
    for (int f = 0; f < fields; ++f) {
      if (f) text += separator;
      switch (pick(6)) {
        case 0:
          // A quoted field holding a separator, a doubled quote and a line
          // end of any kind.
          text += "\"a";
          text += separator;
          text += "\"\"b";
          text += lineEnds[pick(3)];
          text += "c\xC3\xA9\"";
          break;
        case 1: text += "\"" + std::to_string(pick(1000)) + ".5\""; break;
        default: text += plain[pick(int(std::size(plain)))];
      }
    }
    text += lineEnds[pick(3)];
    if (pick(6) == 0) text += lineEnds[pick(3)];
  }
  // Now and then the last line has no line end, or ends on a lone CR.
  if (pick(3) == 0) text += "9";
  return text;
}

const Targets kSetups[] = {
    {"batch", 3, false, false},
    {"interactive", 2, false, true},
    {"textTarget", 2, true, false},
};

TEST(BlockReading, GeneratedTextsGiveTheWholeTextsColumnsAtEveryBlockSize) {
  TemporaryFolder folder;
  const std::string path = folder.path("data.txt");
  for (unsigned seed = 1; seed <= 12; ++seed) {
    for (char separator : {',', '\t', ' '}) {
      const std::string bytes = generatedText(seed, separator);
      writeFile(path, bytes);
      for (const Targets& setup : kSetups) {
        const auto expected = parsedWhole(setup, bytes);
        for (std::size_t blockSize : {1, 2, 3, 5, 8, 13, 64, 1000, 1 << 20}) {
          bool readInBlocks = false;
          EXPECT_EQ(parsedInBlocks(setup, path, blockSize, &readInBlocks), expected)
              << "seed " << seed << " separator '" << separator << "' " << setup.name << " block " << blockSize;
          EXPECT_TRUE(readInBlocks);
        }
      }
    }
  }
}

struct Case {
  const char* name;
  std::string bytes;
  // Whether the blocks are read as they come (UTF-8) or the text decoded
  // as a whole first.
  bool readInBlocks;
};

class BlockReadingCases : public ::testing::TestWithParam<Case> {};

TEST_P(BlockReadingCases, GiveTheWholeTextsColumns) {
  TemporaryFolder folder;
  const std::string path = folder.path("data.txt");
  writeFile(path, GetParam().bytes);
  for (const Targets& setup : kSetups) {
    const auto expected = parsedWhole(setup, GetParam().bytes);
    for (std::size_t blockSize : {1, 2, 3, 4, 7, 100, 4096}) {
      bool readInBlocks = !GetParam().readInBlocks;
      EXPECT_EQ(parsedInBlocks(setup, path, blockSize, &readInBlocks), expected)
          << setup.name << " block " << blockSize;
      EXPECT_EQ(readInBlocks, GetParam().readInBlocks);
    }
  }
}

std::string repeated(const std::string& line, int times) {
  std::string text;
  for (int k = 0; k < times; ++k) text += line;
  return text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, BlockReadingCases,
    ::testing::Values(
        Case{"quoteNeverClosedAfterEmptyLines", "\n\r\na,b\r\n1,2\n\n3,\"open\n4,5\n\n", true},
        Case{"headerQuoteNeverClosed", "\n\"a,b\n1,2\n3,4\n", true},
        Case{"headerSpanningLines", "\"first\r\nname\",second\r\n1,2\r\n", true},
        Case{"onlyEmptyLines", "\n\r\n\r\r\n", true},
        Case{"emptyFile", "", true},
        Case{"loneCarriageReturnsAndPairs", "1\r2\r\n\r\n3\r\r\n4\r", true},
        // A tab after the first line but within the thousand characters the
        // separators are chosen from.
        Case{"tabLateInTheWindow", repeated("1 2 3\n", 150) + "4\t5\t6\n" + repeated("7 8 9\n", 200), true},
        Case{"tabBeyondTheWindow", repeated("1 2 3\n", 200) + "4\t5\t6\n", true},
        Case{"threeSpaceHeader", "time s   volt age\n1 2\n3 4\n", true},
        Case{"byteOrderMarkOnly", "\xEF\xBB\xBF", true},
        Case{"byteOrderMarkCutShort", "\xEF\xBB", false},
        Case{"latin1", "caf\xE9,temp\xE9rature\n1,2\n", false},
        Case{"latin1FarIntoTheFile", repeated("1,2\n", 3000) + "\xE9,3\n", false},
        Case{"characterCutByTheEnd", "1,2\n\xE2\x82", false},
        Case{"utf16", std::string("\xFF\xFE" "1\0,\0" "2\0\n\0", 10), false}),
    [](const auto& info) { return std::string(info.param.name); });

// Long quote-free blocks are gathered on two threads; the rows stay in order.
TEST(BlockReading, LongBlocksGatheredInHalvesKeepTheRowOrder) {
  TemporaryFolder folder;
  const std::string path = folder.path("long.csv");
  std::string bytes = "a,b,c\n";
  for (int k = 0; k < 30000; ++k) {
    bytes += std::to_string(k) + "," + std::to_string(k % 7) + ".25";
    // Rows of different widths, and now and then a text.
    if (k % 3 == 0) bytes += ",x" + std::to_string(k);
    bytes += k % 5 == 0 ? "\r\n" : "\n";
  }
  writeFile(path, bytes);
  for (const Targets& setup : kSetups) {
    const auto expected = parsedWhole(setup, bytes);
    for (std::size_t blockSize : {std::size_t(50000), std::size_t(65536 + 1), kImportBlockSize}) {
      EXPECT_EQ(parsedInBlocks(setup, path, blockSize, nullptr), expected) << setup.name << " block " << blockSize;
    }
  }
}

// A line of many blocks and a quote never closed are read to the end
// without looking through the text anew for each block.
TEST(BlockReading, LongLinesAndAQuoteNeverClosedSpanManyBlocks) {
  TemporaryFolder folder;
  const std::string path = folder.path("long.txt");
  const std::string bytes = "a,b\n" + std::string(6 << 20, '7') + ",1\n2,\"" + repeated("3,4\r\n", 1 << 20);
  writeFile(path, bytes);
  const Targets setup{"batch", 2, false, false};
  EXPECT_EQ(parsedInBlocks(setup, path, 4096, nullptr), parsedWhole(setup, bytes));
}

// The progress runs over the whole file, block after block, and stopping it
// leaves the table as it was.
TEST(BlockReading, ProgressRisesOverTheFileAndStoppingLeavesTheTableAlone) {
  struct Watcher : KRDataFileProgress {
    void setProgress(double fraction) override {
      rising = rising && fraction >= last;
      last = fraction;
      ++reports;
    }
    bool userAborted() override { return stop && reports >= 3; }
    bool stop = false, rising = true;
    double last = 0;
    int reports = 0;
  };
  TemporaryFolder folder;
  const std::string path = folder.path("long.txt");
  writeFile(path, repeated("1.5\t2.5\n", 200000));
  auto document = documentWithTypedInColumns(2);
  Watcher watcher;
  std::string error;
  const auto parsed =
      parseTextFile(*document->table, path, std::nullopt, -1, false, &watcher, &error, std::size_t(1) << 16);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->gathered.rows, 200000);
  EXPECT_TRUE(watcher.rising);
  EXPECT_GT(watcher.reports, 3);
  EXPECT_EQ(watcher.last, 1.0);

  // The interactive import, stopped after a few blocks.
  struct Stopper : ImportProgress {
    void setTitle(const std::string&) override {}
    void setProgress(double) override { ++reports; }
    bool userAborted() override { return reports >= 3; }
    int reports = 0;
  } stopper;
  MessageCapture messages;
  document->table->columnAtIndex(1)->setString("kept", 0);
  RowIndices written;
  EXPECT_FALSE(document->table->importAll(path, RowIndices{1, 2}, -1, false, written, &stopper));
  EXPECT_TRUE(written.empty());
  EXPECT_EQ(document->table->columnAtIndex(1)->stringList(), (std::vector<std::string>{"kept"}));
  EXPECT_THAT(messages.texts(),
              ::testing::ElementsAre("The import of \"long.txt\" was stopped; the columns are as they were."));
}

TEST(BlockReading, FileThatCannotBeReadGivesTheReason) {
  auto document = documentWithTypedInColumns(1);
  std::string error;
  EXPECT_FALSE(parseTextFile(*document->table, "/nonexistent/data.csv", std::nullopt, -1, false, nullptr, &error));
  EXPECT_EQ(error, "No such file or directory");
}

}  // namespace
}  // namespace orrelin
