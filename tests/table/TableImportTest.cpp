// Importing files into the table: the batch tool's overwrite import, the
// interactive import's refusals and binary columns, the parallel parser and
// the paste-special splitting.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "datafiles/KRDataFile.h"
#include "support/MessageCapture.h"
#include "support/TemporaryFolder.h"
#include "table/DataDocumentTable.h"
#include "table/ImportTestSupport.h"
#include "table/VKDataColumnBinary.h"
#include "table/VKDataColumnExpression.h"
#include "table/import/DataDocumentTable_PasteSpecial.h"
#include "table/import/LineParser.h"
#include "table/import/ImportProgress.h"
#include "table/import/NumberRecognition.h"
#include "table/import/OrrelinAsciiParser.h"

namespace orrelin {
namespace {

using namespace testing_support;
using ::testing::ElementsAre;

// The batch run: each file fills the pool from where the previous stopped.
RowIndices importLikeTheBatchTool(DataDocumentTable& table, const std::vector<std::string>& files) {
  RowIndices pool = table.displayedColumnIndexesExceptRowNumber();
  RowIndices all;
  for (const std::string& file : files) {
    const RowIndices used = table.overwriteByImportingFile(file, pool);
    std::erase_if(pool, [&](long p) { return std::find(used.begin(), used.end(), p) != used.end(); });
    all.insert(all.end(), used.begin(), used.end());
  }
  return all;
}

TEST(OverwriteImport, TwoFilesFillThePoolInTurnPassingOverFormulaColumns) {
  MessageCapture messages;
  TemporaryFolder folder;
  auto document = documentWithTypedInColumns(6);
  auto expression = VKDataColumnExpression::createEmptyFor(document);
  // Names the column the first file's header is about to name.
  expression->setExpressionString("a+1");
  document->table->insertColumn(expression, 2);  // c1, formula, c2 ... c6
  document->table->columnAtIndex(7)->setString("kept", 0);
  writeFile(folder.path("a.csv"), "a,b\n1,2\n3,4\n");
  writeFile(folder.path("b.txt"), "5\t6\t7\r\n8\t9\t10\r\n");
  const RowIndices written =
      importLikeTheBatchTool(*document->table, {folder.path("a.csv"), folder.path("b.txt")});
  EXPECT_EQ(written, (RowIndices{1, 3, 4, 5, 6}));
  EXPECT_EQ(namesOf(*document->table), (std::vector<std::string>{"a", "", "b", "c3", "c4", "c5", "c6"}));
  EXPECT_EQ(document->table->columnAtIndex(6)->stringList(), (std::vector<std::string>{"7", "10"}));
  EXPECT_EQ(document->table->columnAtIndex(7)->stringList(), (std::vector<std::string>{"kept"}));
  EXPECT_EQ(expression->expressionString(), "a+1");
  EXPECT_TRUE(sameValues(validValues(*expression), {2, 4}));
  EXPECT_TRUE(messages.texts().empty());
}

TEST(OverwriteImport, ColumnsKeepTheGatheredNumbersAtTheirExactLength) {
  // Enough lines for the records to be gathered on two threads; the
  // numbers' arrays are made with room to spare and become the columns'.
  TemporaryFolder folder;
  auto document = documentWithTypedInColumns(2);
  std::string text;
  for (int r = 0; r < 20000; ++r) text += std::to_string(r) + "," + (r % 1000 == 7 ? "pi" : std::to_string(r) + ".5") + "\n";
  writeFile(folder.path("rows.csv"), text);
  ASSERT_EQ(document->table->overwriteByImportingFile(folder.path("rows.csv"), {1, 2}), (RowIndices{1, 2}));
  auto second = document->table->columnAtIndex(2);
  auto values = second->numberVersion();
  ASSERT_EQ(values->length(), 20000);
  EXPECT_EQ(values->constDoublePointer()[19999], 19999.5);
  EXPECT_EQ(values->constDoublePointer()[7], M_PI);
  EXPECT_EQ(second->stringList()[1007], "pi");
  EXPECT_EQ(document->table->columnAtIndex(1)->numberVersion()->length(), 20000);
  second->setString("-2", 19999);
  EXPECT_EQ(second->numberVersion()->constDoublePointer()[19999], -2);
  EXPECT_EQ(second->numberVersion()->length(), 20000);
}

// Room guessed past the most an array holds is cut to that; numbers grow
// past any room they were given and come out at their exact count.
TEST(OverwriteImport, GatheredNumbersOutgrowTheirRoomAndIgnoreAnOversizedGuess) {
  GatheredNumbers numbers;
  numbers.reserve(std::size_t(1) << 40);
  numbers.push_back(1.5);
  GatheredNumbers more;
  for (int i = 0; i < 5000; ++i) more.push_back(i);
  GatheredNumbers small;
  small.reserve(2);
  small.resize(3, -1);
  more.append(std::move(small));
  numbers.append(std::move(more));
  numbers.resize(5005, 7);
  auto array = numbers.take();
  ASSERT_TRUE(array);
  ASSERT_EQ(array->length(), 5005);
  const double* values = array->constDoublePointer();
  EXPECT_EQ(values[0], 1.5);
  EXPECT_EQ(values[5000], 4999);
  EXPECT_EQ(values[5001], -1);
  EXPECT_EQ(values[5004], 7);
  EXPECT_EQ(numbers.size(), 0u);
}

TEST(OverwriteImport, EmptyMissingAndUnreadableFilesWriteNothing) {
  MessageCapture messages;
  TemporaryFolder folder;
  auto document = documentWithTypedInColumns(2);
  writeFile(folder.path("empty.txt"), "");
  EXPECT_TRUE(document->table->overwriteByImportingFile(folder.path("empty.txt"), {1, 2}).empty());
  EXPECT_TRUE(messages.takeShortTexts().empty());
  EXPECT_TRUE(document->table->overwriteByImportingFile(folder.path("gone.txt"), {1, 2}).empty());
  EXPECT_THAT(messages.takeShortTexts(), ElementsAre("Could not read the file \"gone.txt\": No such file or directory"));
  EXPECT_TRUE(document->table->overwriteByImportingFile(folder.path("data.mat"), {1, 2}).empty());
  EXPECT_THAT(messages.takeShortTexts(), ElementsAre("Reading the MATLAB file \"data.mat\" is not supported yet."));
}

TEST(OverwriteImport, ReadsUTF16AndRichText) {
  MessageCapture messages;
  TemporaryFolder folder;
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("t\xE9,v\r\n1,2\r\n")) utf16 += std::string{c, '\0'};
  writeFile(folder.path("wide.txt"), utf16);
  writeFile(folder.path("rich.rtf"), "{\\rtf1\\ansi{\\fonttbl\\f0 Helvetica;}x\\tab y\\par 1\\tab 2\\par 3\\tab 4}");
  std::filesystem::create_directory(folder.path("package.rtfd"));
  writeFile(folder.path("package.rtfd/TXT.rtf"), "{\\rtf1 9\\par}");
  auto document = documentWithTypedInColumns(5);
  EXPECT_EQ(importLikeTheBatchTool(*document->table, {folder.path("wide.txt"), folder.path("rich.rtf"),
                                                      folder.path("package.rtfd")}),
            (RowIndices{1, 2, 3, 4, 5}));
  EXPECT_EQ(namesOf(*document->table), (std::vector<std::string>{"t\xC3\xA9", "v", "x", "y", "c5"}));
  EXPECT_EQ(document->table->columnAtIndex(4)->stringList(), (std::vector<std::string>{"2", "4"}));
  EXPECT_EQ(document->table->columnAtIndex(5)->stringList(), (std::vector<std::string>{"9"}));
}

TEST(OverwriteImport, BinaryGarbageNulBytesAndBrokenUTF8DoNoHarm) {
  MessageCapture messages;
  TemporaryFolder folder;
  std::string garbage;
  std::uint32_t state = 12345;
  for (int k = 0; k < 20000; ++k) {
    state = state * 1664525u + 1013904223u;
    garbage.push_back(char(state >> 24));
  }
  writeFile(folder.path("garbage.dat"), garbage);
  writeFile(folder.path("nul.txt"), std::string("1,2\n\0\0,3\n4\xFF,5\n", 13));
  auto document = documentWithTypedInColumns(3);
  document->table->overwriteByImportingFile(folder.path("garbage.dat"), {1, 2, 3});
  const RowIndices written = document->table->overwriteByImportingFile(folder.path("nul.txt"), {1, 2, 3});
  EXPECT_EQ(written, (RowIndices{1, 2}));
  auto& first = *document->table->columnAtIndex(1);
  EXPECT_EQ(first.howManyEntries(), 3);
  EXPECT_THAT(maskOf(first), ElementsAre(1, 0, 0));
  EXPECT_TRUE(sameValues(validValues(*document->table->columnAtIndex(2)), {2, 3, 5}));
}

TEST(OverwriteImport, BinaryDataFileFillsThePoolWithItsArrays) {
  MessageCapture messages;
  TemporaryFolder folder;
  {
    auto file = KRDataFile::openNewFileWithName(folder.path("data.mvbin"));
    ASSERT_TRUE(file);
    const double x[] = {1, 2, 3};
    const float y[] = {0.5f, 1.5f};
    file->writeArray("x", x, 3, 1, 1);
    file->writeString("a note", "note");
    file->writeArray("y", y, 2, 1, 1);
    file->closeFile();
  }
  auto document = TestDocument::create();
  auto binary = VKDataColumnBinary::createEmptyFor(document);
  auto typed = VKDataColumnSpecified::createEmptyFor(document);
  document->table->insertColumn(binary, 1);
  document->table->insertColumn(typed, 2);
  EXPECT_EQ(document->table->overwriteByImportingFile(folder.path("data.mvbin"), {1, 2}), (RowIndices{1, 2}));
  EXPECT_TRUE(sameValues(validValues(*binary), {1, 2, 3}));
  EXPECT_EQ(typed->stringList(), (std::vector<std::string>{"0.5", "1.5"}));
  EXPECT_EQ(namesOf(*document->table), (std::vector<std::string>{"x", "y"}));
}

TEST(InteractiveImport, RefusesWhatItCannotReadWithItsMessage) {
  struct Case {
    const char* file;
    const char* message;
  };
  const Case cases[] = {
      {"sheet.XLSX",
       "The file \"sheet.XLSX\" is an Excel file. At this point, Orrelin can not import an Excel worksheet, and the "
       "recommended method is to open it in Excel, Numbers, Open Office etc and either copy from there or export it "
       "as a csv file that you then import into Orrelin."},
      {"graph.orrel", "The file \"graph.orrel\" is a graph file, not a data file."},
      {"chart.cg", "Only support CricketGraph data files"},
      {"values.cgd", "Converting the CricketGraph data file \"values.cgd\" is not supported yet."},
      {"grid.nc", "Reading the netCDF file \"grid.nc\" is not supported yet."},
      {"money.qif", "Reading the QIF file \"money.qif\" is not supported yet."},
      {"thing.dobject", "Importing the data-store object \"thing.dobject\" is not supported yet."},
  };
  TemporaryFolder folder;
  for (const Case& c : cases) {
    MessageCapture messages;
    writeFile(folder.path(c.file), "1,2\n");
    auto document = documentWithTypedInColumns(1);
    RowIndices written{99};
    EXPECT_FALSE(document->table->importAll(folder.path(c.file), std::nullopt, -1, false, written));
    EXPECT_TRUE(written.empty());
    EXPECT_EQ(document->table->numberOfColumns(), 2);
    EXPECT_THAT(messages.texts(), ElementsAre(c.message));
  }
}

struct RecordingProgress : ImportProgress {
  void setTitle(const std::string& title) override { titles.push_back(title); }
  void setProgress(double fraction) override { last = fraction; }
  bool userAborted() override { return false; }
  std::vector<std::string> titles;
  double last = 0;
};

TEST(InteractiveImport, TextAddsColumnsAndBinaryImportMakesBinaryColumns) {
  MessageCapture messages;
  TemporaryFolder folder;
  writeFile(folder.path("data.csv"), "p,q,r\n1,2,3\n4,oops,6\n");
  auto document = documentWithTypedInColumns(1);
  RecordingProgress progress;
  RowIndices written;
  ASSERT_TRUE(document->table->importAll(folder.path("data.csv"), std::nullopt, -1, false, written, &progress));
  EXPECT_EQ(written, (RowIndices{1, 2, 3}));
  EXPECT_THAT(progress.titles, ElementsAre("Importing data.csv"));
  EXPECT_EQ(document->table->columnAtIndex(3)->type(), "Ascii");

  RecordingProgress binaryProgress;
  ASSERT_TRUE(document->table->importAll(folder.path("data.csv"), RowIndices{}, -1, true, written, &binaryProgress));
  EXPECT_EQ(written, (RowIndices{4, 5, 6}));
  EXPECT_THAT(binaryProgress.titles, ElementsAre("Importing"));
  auto& q = *document->table->columnAtIndex(5);
  EXPECT_EQ(q.type(), "Binary");
  EXPECT_EQ(q.name(), "q");
  EXPECT_TRUE(sameValues(validValues(q), {2, NAN}));
  EXPECT_THAT(maskOf(q), ElementsAre(1, 0));
}

// A text file of the given number of rows: a header, then rows of three
// columns in several number forms, with a few fields that are not numbers.
// Blanks after the first field of the first row make that row long.
std::string numberFile(long rows, const char* lineEnd, std::size_t firstBlanks = 0) {
  std::string text = std::string("a,b,c") + lineEnd;
  for (long r = 0; r < rows; ++r) {
    text += std::to_string(r) + std::string(r == 0 ? firstBlanks : 0, ' ') + "," + std::to_string(r * 0.25) + "," +
            (r % 97 == 0 ? "n/a" : std::to_string(-r) + "e-3");
    if (r % 1000 == 0) text += ",extra";
    text += lineEnd;
  }
  return text;
}

TEST(OrrelinAsciiParser, ChunksOnSeveralThreadsGiveWhatOneChunkGives) {
  TemporaryFolder folder;
  // A long first row makes the columns' first room far too small: they
  // grow, and the first chunk's cannot hold the other chunks' rows.
  for (const auto& [lineEnd, firstBlanks] : {std::pair{"\n", 0}, {"\r\n", 0}, {"\r", 0}, {"\n", 20000}}) {
    const std::string text = numberFile(90000, lineEnd, std::size_t(firstBlanks));
    ASSERT_GE(text.size(), OrrelinAsciiParser::kSingleChunkLimit);
    writeFile(folder.path("big.csv"), text);
    OrrelinAsciiParser parser;
    parser.setNumberOfChunks(3);
    std::string error;
    const auto parsed = parser.readFile(folder.path("big.csv"), nullptr, &error);
    ASSERT_TRUE(parsed) << error;
    const ParsedColumns whole = OrrelinAsciiParser::parseText(text);
    EXPECT_THAT(parsed->headers, ElementsAre("a", "b", "c", ""));
    ASSERT_EQ(parsed->columns.size(), 4u);
    for (std::size_t c = 0; c < 4; ++c) {
      const auto& values = *parsed->columns[c];
      ASSERT_EQ(values.length(), 90000);
      EXPECT_TRUE(std::equal(values.constDoublePointer(), values.constDoublePointer() + 90000,
                             whole.columns[c]->constDoublePointer(),
                             [](double x, double y) { return x == y || (std::isnan(x) && std::isnan(y)); }));
      EXPECT_TRUE(std::equal(parsed->masks[c]->constPointer(), parsed->masks[c]->constPointer() + 90000,
                             whole.masks[c]->constPointer()));
    }
    EXPECT_EQ(parsed->columns[1]->constDoublePointer()[89999], 89999 * 0.25);
    EXPECT_EQ(parsed->masks[2]->constPointer()[97], 0);
    EXPECT_EQ(parsed->masks[3]->constPointer()[1000], 0);  // "extra" is not a number
    EXPECT_EQ(parsed->masks[3]->constPointer()[1001], 0);
  }
}

TEST(OrrelinAsciiParser, FirstLineOfNumbersIsDataAndMissingFilesSayWhy) {
  const ParsedColumns parsed = OrrelinAsciiParser::parseText("\xEF\xBB\xBF" "1,x\n2\n\"3\",4,\n");
  ASSERT_EQ(parsed.columns.size(), 2u);
  EXPECT_THAT(parsed.headers, ElementsAre("", ""));
  EXPECT_EQ(parsed.columns[0]->length(), 3);
  EXPECT_EQ(parsed.columns[0]->constDoublePointer()[2], 3);
  EXPECT_THAT(std::vector<int>(parsed.masks[1]->constPointer(), parsed.masks[1]->constPointer() + 3),
              ElementsAre(0, 0, 1));
  OrrelinAsciiParser parser;
  std::string error;
  EXPECT_FALSE(parser.readFile("/nonexistent/file.csv", nullptr, &error));
  EXPECT_EQ(error, "No such file or directory");
}

TEST(OrrelinAsciiParser, FieldsReadInOnePassGiveWhatTheGeneralReadingGives) {
  // Plain numbers at the edges of the one-pass reading (long mantissas,
  // powers beyond 1e22, numbers beyond a double), and fields it leaves to
  // the general reading; then many generated numbers in three printed forms.
  std::vector<std::string> fields{"0",     "-0",      "007",  "12345678901234567890", "9007199254740993",
                                  "1e22",  "1e23",    "1E5",  "1.5e-300",             "2.5e-320",
                                  "1e400", "-1e+400", ".5",   "5.",                   "-.5",
                                  "1e",    "1e+",     "1e5x", "+1",                   "--1",
                                  "-",     "pi",      "1/3",  "0x10",                 "4.9406564584124654e-324",
                                  "1.7976931348623157e308", "123456789012345678.5e-3", "\"3\"", " 2 ", "$4"};
  std::uint64_t state = 12345;
  const auto next = [&state] { return state = state * 6364136223846793005ull + 1442695040888963407ull; };
  char text[64];
  for (int k = 0; k < 3000; ++k) {
    const double x = std::ldexp(double(next() >> 11), int(next() % 80) - 100) * (k % 2 ? -1 : 1);
    std::snprintf(text, sizeof text, k % 3 == 0 ? "%.17g" : k % 3 == 1 ? "%.4f" : "%.7e", x);
    fields.emplace_back(text);
  }
  // One field per line, each line ended differently; a second column with
  // a separator right before the line's end.
  std::string file = "1,\r\n";
  const char* ends[] = {"\n", "\r\n", "\r"};
  for (std::size_t k = 0; k < fields.size(); ++k) file += fields[k] + (k % 5 == 0 ? ",7," : "") + ends[k % 3];
  const ParsedColumns parsed = OrrelinAsciiParser::parseText(file);
  ASSERT_EQ(parsed.columns.size(), 2u);
  ASSERT_EQ(parsed.columns[0]->length(), long(fields.size() + 1));
  for (std::size_t k = 0; k < fields.size(); ++k) {
    std::string_view field = fields[k];
    while (field.front() == ' ') field.remove_prefix(1);
    while (field.back() == ' ') field.remove_suffix(1);
    if (field.front() == '"') field = field.substr(1, field.size() - 2);
    const std::optional<double> expected = numberFromImportedText(field);
    const double value = parsed.columns[0]->constDoublePointer()[k + 1];
    EXPECT_EQ(parsed.masks[0]->constPointer()[k + 1], expected ? 1 : 0) << fields[k];
    if (expected) {
      EXPECT_EQ(std::memcmp(&value, &*expected, sizeof value), 0) << fields[k] << " read as " << value;
    }
    EXPECT_EQ(parsed.masks[1]->constPointer()[k + 1], k % 5 == 0 ? 1 : 0) << fields[k];
  }
}

TEST(OrrelinAsciiParser, StoppingTheImportGivesNothing) {
  struct Stopper : KRDataFileProgress {
    void setProgress(double) override {}
    bool userAborted() override { return true; }
  } stopper;
  TemporaryFolder folder;
  writeFile(folder.path("big.csv"), numberFile(150000, "\n"));
  OrrelinAsciiParser parser;
  parser.setNumberOfChunks(2);
  std::string error;
  // The workers may finish before the first look at the abort; then the
  // result is whole. Either way nothing half-made comes back.
  const auto parsed = parser.readFile(folder.path("big.csv"), &stopper, &error);
  if (parsed) {
    EXPECT_EQ(parsed->columns[0]->length(), 150000);
  }
  EXPECT_TRUE(error.empty());
}

TEST(PasteSpecial, SplitsIntoColumnsOrOneColumnPerLine) {
  const ImportLines lines{"1,5 2,5", "", "3,5 4"};
  EXPECT_EQ(DataDocumentTable_PasteSpecial::convertLinesToColumns(lines, false),
            (DataDocumentTable_PasteSpecial::TextColumns{{"1,5", "3,5"}, {"2,5", "4"}}));
  EXPECT_EQ(DataDocumentTable_PasteSpecial::convertLinesToColumns(lines, true),
            (DataDocumentTable_PasteSpecial::TextColumns{{"1", "3"}, {"5 2", "5 4"}, {"5", ""}}));
  EXPECT_EQ(DataDocumentTable_PasteSpecial::convertEachLineToColumn(lines, false),
            (DataDocumentTable_PasteSpecial::TextColumns{{"1,5", "2,5"}, {"3,5", "4"}}));
  EXPECT_TRUE(DataDocumentTable_PasteSpecial::convertLinesToColumns({"", ""}, true).empty());
}

}  // namespace
}  // namespace orrelin
