// The application opening tickets and documents without its window: what it
// writes in the window's place, what it leaves alone (the template, the
// recent documents) and how it refuses bad tickets and outputs.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "app/ApplicationArguments.h"
#include "app/ApplicationMode.h"
#include "cli/CommandLine.h"
#include "cli/FakeDesktop.h"
#include "cli/TemplateDocument.h"
#include "commands/VKPlotCommand.h"
#include "document/OrrelinDocument.h"
#include "document/parameters/VKColorScheme.h"
#include "document/parameters/VKDefinedObjectsController.h"
#include "graph/commandbase/VKCommandFactory.h"
#include "platform/PropertyListSerialization.h"
#include "support/MessageCapture.h"
#include "support/TemporaryFolder.h"
#include "table/VKDataColumnExpression.h"
#include "table/VKDataColumnSpecified.h"

using namespace orrelin;
namespace fs = std::filesystem;

namespace {

std::string fileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void writeText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// Every file of a folder (or the one file) with its bytes and modification
// time, to see that nothing inside changed.
std::map<std::string, std::pair<std::string, fs::file_time_type>> stateOf(const std::string& path) {
  std::map<std::string, std::pair<std::string, fs::file_time_type>> state;
  if (!fs::is_directory(path)) {
    state[path] = {fileText(path), fs::last_write_time(path)};
    return state;
  }
  for (const auto& entry : fs::recursive_directory_iterator(path))
    if (entry.is_regular_file())
      state[entry.path().string()] = {fileText(entry.path().string()), fs::last_write_time(entry.path())};
  return state;
}

// The texts of the SVG's tick labels, in the order drawn.
std::vector<std::string> tickLabels(const std::string& svg) {
  std::vector<std::string> labels;
  const std::regex label(R"(<text x="0" y="0">([^<]*)</text>)");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), label); it != std::sregex_iterator(); ++it)
    labels.push_back((*it)[1]);
  return labels;
}

ColumnPtr addColumn(OrrelinDocument& document, ColumnPtr column, const std::string& name) {
  column->setName(name);
  document.table().insertColumn(column, document.table().numberOfColumns());
  return column;
}

class TicketOpening : public testing::Test {
 protected:
  // The template: typed-in columns u and v, w = a*v, a line of w over u,
  // the parameter a = 1 and the colour scheme "col" with one line.
  void SetUp() override {
    auto document = OrrelinDocument::create(OrrelinDocument::Mode::CommandLine);
    document->definitions().addParameterValue("a")->setValue("1");
    VKColorScheme::Line line;
    line.value = "1";
    document->definitions().addColorScheme("col")->addLine(line);
    auto u = addColumn(*document, VKDataColumnSpecified::createEmptyFor(), "u");
    addColumn(*document, VKDataColumnSpecified::createEmptyFor(), "v")->setStringList({"0"});
    auto w = addColumn(*document, VKDataColumnExpression::createEmptyFor(), "w");
    std::static_pointer_cast<VKDataColumnExpression>(w)->setExpressionString("a*v");
    auto plot = std::dynamic_pointer_cast<VKPlotCommand>(VKCommandFactory::shared().createCommand("Plot"));
    ASSERT_TRUE(plot);
    document->drawings().at(0)->addCommand(plot);
    plot->xColumn()->selectColumn(u);
    plot->yColumn()->selectColumn(w);
    document->setDrawingSize({300, 200});
    ASSERT_TRUE(document->saveToURL(templatePath));
    document->disconnectBeforeClosing();
    writeText(folder.path("x.txt"), "1\n2\n3\n4\n");
    writeText(folder.path("y.txt"), "1\n2\n3\n4\n");
  }

  std::string writeTicket(const PlistDictionary& entries, const std::string& name = "job.orrelticket") {
    const std::string path = folder.path(name);
    EXPECT_TRUE(writePropertyListFile(PropertyList(entries), path, PlistFormat::XML, WriteMode::Atomic));
    return path;
  }
  PlistDictionary fullTicket() const {
    return PlistDictionary{{"Script", templatePath},
                           {"File Names", PlistArray{folder.path("x.txt"), folder.path("y.txt")}},
                           {"Parameters", PlistDictionary{{"a", "3"}}},
                           {"Color Schemes", PlistArray{"col;value#1=5"}},
                           {"Switches", PlistDictionary{}},
                           {"Work Directory", folder.root()}};
  }
  int run(std::vector<std::string> words) {
    out.str("");
    err.str("");
    words.insert(words.begin(), "orrelin");
    return runApplication(words, context);
  }
  // The names in the test's folder other than the inputs.
  std::set<std::string> writtenNames() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.root())) names.insert(entry.path().filename().string());
    for (const char* input : {"template.orrel", "x.txt", "y.txt", "job.orrelticket"}) names.erase(input);
    return names;
  }

  TemporaryFolder folder;
  FakeDesktop desktop;
  MessageCapture messages;
  std::ostringstream out, err;
  ApplicationContext context{desktop, out, err};
  const std::string templatePath = folder.path("template.orrel");
};

TEST_F(TicketOpening, TwoFilesAndOverridesReachTheUntitledDocumentAndTheTemplateStaysAsItWas) {
  const auto before = stateOf(templatePath);
  const std::string ticket = writeTicket(fullTicket());
  ASSERT_EQ(run({ticket, "-output", folder.path("shown.orrel")}), 0) << err.str();
  EXPECT_NE(out.str().find("Data imported into the columns \"u\" \"v\""), std::string::npos) << out.str();
  EXPECT_EQ(stateOf(templatePath), before);
  EXPECT_TRUE(context.documentController.recentDocuments().empty());

  auto shown = OrrelinDocument::createCommandLineFrom(folder.path("shown.orrel"));
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->definitions().valueForParameter("a"), 3);
  ASSERT_EQ(shown->definitions().colorSchemeWithName("col")->numberOfLines(), 1u);
  EXPECT_EQ(shown->definitions().colorSchemeWithName("col")->lines()[0].value, "5");
  auto& table = shown->table();
  ASSERT_EQ(table.numberOfColumns(), 4);
  for (long row = 0; row < 4; ++row) {
    EXPECT_EQ(table.columnAtIndex(1)->valueAtRow(row), row + 1);
    EXPECT_EQ(table.columnAtIndex(2)->valueAtRow(row), row + 1);
    EXPECT_EQ(table.columnAtIndex(3)->valueAtRow(row), 3 * (row + 1)) << "w = a*v with a from the ticket";
  }
}

// The window shows what the batch run would write for the same job, and
// the y axis reaches w's largest value only with the ticket's a.
TEST_F(TicketOpening, SvgMatchesTheBatchRunOfTheSameJob) {
  const std::string ticket = writeTicket(fullTicket());
  ASSERT_EQ(run({ticket, "-output", folder.path("shown.svg")}), 0) << err.str();

  std::ostringstream toolOut, toolErr;
  ToolContext tool(desktop, toolOut, toolErr);
  tool.openTemplate = openTemplateDocument;
  ASSERT_EQ(commandLine({"orrel", "-cmdline", folder.path("x.txt"), folder.path("y.txt"), "-script", templatePath,
                         "-v", "a=3", "-cs", "col;value#1=5", "-output", folder.path("batch.svg")},
                        tool),
            0)
      << toolOut.str();
  const std::string svg = fileText(folder.path("shown.svg"));
  EXPECT_EQ(svg, fileText(folder.path("batch.svg")));
  const auto labels = tickLabels(svg);
  EXPECT_NE(std::find(labels.begin(), labels.end(), "12"), labels.end()) << svg;

  // The same ticket without its parameter: w stops at 4.
  PlistDictionary plain = fullTicket();
  plain.erase("Parameters");
  ASSERT_EQ(run({writeTicket(plain), "-output", folder.path("plain.svg")}), 0) << err.str();
  const auto plainLabels = tickLabels(fileText(folder.path("plain.svg")));
  EXPECT_NE(std::find(plainLabels.begin(), plainLabels.end(), "4"), plainLabels.end());
  EXPECT_EQ(std::find(plainLabels.begin(), plainLabels.end(), "12"), plainLabels.end());
}

TEST_F(TicketOpening, WithoutTemplateTheDataGoesIntoANewEmptyDocument) {
  const std::string ticket =
      writeTicket(PlistDictionary{{"File Names", PlistArray{folder.path("x.txt"), folder.path("y.txt")}},
                                  {"Parameters", PlistDictionary{}},
                                  {"Color Schemes", PlistArray{}}});
  ASSERT_EQ(run({ticket, "-output", folder.path("new.orrel")}), 0) << err.str();
  auto shown = OrrelinDocument::createCommandLineFrom(folder.path("new.orrel"));
  ASSERT_TRUE(shown);
  ASSERT_EQ(shown->table().numberOfColumns(), 3) << "one new column for each file, after the row numbers";
  EXPECT_EQ(shown->table().columnAtIndex(1)->valueAtRow(3), 4);
  EXPECT_EQ(shown->table().columnAtIndex(2)->valueAtRow(0), 1);

  // An empty graph still reaches a drawing, on the fallback page.
  ASSERT_EQ(run({writeTicket(PlistDictionary{}, "empty.orrelticket"), "-output", folder.path("empty.svg")}), 0)
      << err.str();
  EXPECT_NE(fileText(folder.path("empty.svg")).find("<svg"), std::string::npos);
}

TEST_F(TicketOpening, AFileThatFindsNoFreeColumnGetsNewColumnsAtTheEnd) {
  writeText(folder.path("z.txt"), "7\n8\n");
  PlistDictionary entries = fullTicket();
  entries["File Names"] = PlistArray{folder.path("x.txt"), folder.path("y.txt"), folder.path("z.txt")};
  ASSERT_EQ(run({writeTicket(entries), "-output", folder.path("shown.orrel")}), 0) << err.str();
  auto shown = OrrelinDocument::createCommandLineFrom(folder.path("shown.orrel"));
  ASSERT_TRUE(shown);
  ASSERT_EQ(shown->table().numberOfColumns(), 5) << "u, v and w stay; z's data comes after them";
  EXPECT_EQ(shown->table().columnAtIndex(3)->name(), "w");
  EXPECT_EQ(shown->table().columnAtIndex(4)->valueAtRow(1), 8);
  EXPECT_NE(out.str().find("Data imported into the columns \"u\" \"v\" \""), std::string::npos) << out.str();
}

TEST_F(TicketOpening, AMissingDataFileIsReportedAndTheNextFillsItsPlace) {
  PlistDictionary entries = fullTicket();
  entries["File Names"] = PlistArray{folder.path("gone.txt"), folder.path("y.txt")};
  ASSERT_EQ(run({writeTicket(entries), "-output", folder.path("shown.orrel")}), 0) << err.str();
  EXPECT_TRUE(messages.saw("Could not open the file " + folder.path("gone.txt")));
  auto shown = OrrelinDocument::createCommandLineFrom(folder.path("shown.orrel"));
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->table().columnAtIndex(1)->valueAtRow(2), 3);
  EXPECT_EQ(shown->table().columnAtIndex(2)->stringList(), std::vector<std::string>{"0"}) << "v keeps its value";
}

TEST_F(TicketOpening, WithoutOutputTheGraphGoesToTheTemporaryFolderAsPdf) {
  ASSERT_EQ(run({writeTicket(fullTicket())}), 0) << err.str();
  const std::string pdf = desktop.temporary.path("job.pdf");
  EXPECT_EQ(fileText(pdf).rfind("%PDF", 0), 0u);
  EXPECT_NE(out.str().find(pdf), std::string::npos) << out.str();
}

TEST_F(TicketOpening, ADocumentEntersTheRecentDocumentsATicketDoesNot) {
  ASSERT_EQ(run({writeTicket(fullTicket()), "-output", folder.path("a.pdf")}), 0) << err.str();
  EXPECT_TRUE(context.documentController.recentDocuments().empty());
  ASSERT_EQ(run({templatePath, "-output", folder.path("b.pdf")}), 0) << err.str();
  EXPECT_EQ(context.documentController.recentDocuments(), std::vector<std::string>{templatePath});
}

struct BadTicket {
  const char* name;
  // The ticket file's text and the message; {template} stands for the
  // template's path, {folder} for the test's folder.
  std::string text;
  int status;
  std::string message;
  bool written;
};

std::string plistText(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" + body + "</plist>\n";
}

class BadTickets : public TicketOpening, public testing::WithParamInterface<BadTicket> {};

TEST_P(BadTickets, GetAClearMessageAndLeaveNothingHalfWritten) {
  const BadTicket c = GetParam();
  const auto expand = [this](std::string text) {
    for (std::size_t at; (at = text.find("{template}")) != std::string::npos;) text.replace(at, 10, templatePath);
    for (std::size_t at; (at = text.find("{folder}")) != std::string::npos;) text.replace(at, 8, folder.root());
    return text;
  };
  writeText(folder.path("job.orrelticket"), expand(c.text));
  const auto before = stateOf(templatePath);
  EXPECT_EQ(run({folder.path("job.orrelticket"), "-output", folder.path("shown.pdf")}), c.status) << err.str();
  EXPECT_NE(err.str().find(expand(c.message)), std::string::npos) << err.str();
  EXPECT_EQ(writtenNames(), c.written ? std::set<std::string>{"shown.pdf"} : std::set<std::string>{});
  EXPECT_EQ(stateOf(templatePath), before);
}

INSTANTIATE_TEST_SUITE_P(
    Application, BadTickets,
    testing::Values(
        BadTicket{"NotAPropertyList", "this is not a property list", 1, "could not be read", false},
        BadTicket{"CutOff", plistText("<dict><key>Script</key><string>{template}"), 1, "could not be read", false},
        BadTicket{"NotADictionary", plistText("<array><string>x</string></array>"), 1,
                  "is not a dictionary of settings", false},
        BadTicket{"TemplateMissing", plistText("<dict><key>Script</key><string>{folder}/none.orrel</string></dict>"),
                  1, "The content description inside the script \"{folder}/none.orrel\" could not be read", false},
        BadTicket{"TemplateNotAPackage",
                  plistText("<dict><key>Script</key><string>{folder}/x.txt</string></dict>"), 1,
                  "Could not open the file \"{folder}/x.txt\"", false},
        BadTicket{"ScriptNotText", plistText("<dict><key>Script</key><integer>7</integer></dict>"), 0,
                  "\"Script\" entry is not a text", true},
        BadTicket{"ParametersNotADictionary",
                  plistText("<dict><key>Script</key><string>{template}</string>"
                            "<key>Parameters</key><array/></dict>"),
                  0, "\"Parameters\" entry is not a dictionary", true},
        BadTicket{"FileNameNotText",
                  plistText("<dict><key>Script</key><string>{template}</string>"
                            "<key>File Names</key><array><real>1.5</real></array></dict>"),
                  0, "\"File Names\" entry holds a value that is not a text", true},
        BadTicket{"UnknownKey",
                  plistText("<dict><key>Script</key><string>{template}</string>"
                            "<key>Scrpit</key><string>x</string></dict>"),
                  0, "\"Scrpit\" entry is not one a ticket holds", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TicketOpening, OutputsThatWouldHarmTheInputsOrCannotBeWrittenAreRefused) {
  const std::string ticket = writeTicket(fullTicket());
  const auto before = stateOf(templatePath);
  EXPECT_EQ(run({ticket, "-output", templatePath}), 1);
  EXPECT_NE(err.str().find("would write over \"" + templatePath + "\""), std::string::npos) << err.str();
  EXPECT_EQ(run({ticket, "-output", templatePath + "/Preview.pdf"}), 1);
  EXPECT_EQ(run({templatePath, "-output", templatePath + "/../template.orrel"}), 1);
  EXPECT_EQ(run({ticket, "-output", folder.path("a.gif")}), 1);
  EXPECT_NE(err.str().find("Unsupported file extension for \"" + folder.path("a.gif") + "\""), std::string::npos);
  EXPECT_EQ(run({ticket, ticket, "-output", folder.path("a.pdf")}), 1);
  EXPECT_EQ(run({ticket, "-output"}), 1);
  EXPECT_NE(err.str().find("-output needs the name of the file to write"), std::string::npos);
  EXPECT_EQ(run({ticket, "-output", folder.path("no/such/folder/a.pdf")}), 1);
  EXPECT_NE(err.str().find("Nothing was written"), std::string::npos);
  EXPECT_EQ(run({folder.path("notes.txt")}), 1);
  EXPECT_NE(err.str().find("neither an Orrelin document nor a ticket"), std::string::npos);
  EXPECT_EQ(stateOf(templatePath), before);
  EXPECT_TRUE(writtenNames().empty()) << *writtenNames().begin();
}

TEST(ApplicationArguments, OutputAndWriterSettingsDoNotSwallowTheFilesToOpen) {
  const auto arguments = parseApplicationArguments(
      {"orrelin", "-alpha", "a.orrelticket", "--OUTPUT", "o.png", "-NSDocumentRevisionsDebugMode", "-dpi", "144",
       "-nosmoothing", "b.orrel", "-timing", "-fps"});
  EXPECT_EQ(arguments.paths, (std::vector<std::string>{"a.orrelticket", "b.orrel"}));
  EXPECT_EQ(arguments.outputPath, "o.png");
  EXPECT_EQ(arguments.writerSettings.switches,
            (std::map<std::string, std::string>{{"alpha", ""}, {"dpi", "144"}, {"nosmoothing", ""}, {"fps", ""}}));
  EXPECT_FALSE(arguments.help);
  EXPECT_TRUE(parseApplicationArguments({"orrelin", "--help"}).help);
  EXPECT_TRUE(parseApplicationArguments({"orrelin", "-?"}).help);
}

}  // namespace
