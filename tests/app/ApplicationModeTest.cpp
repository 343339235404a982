#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/ApplicationMode.h"
#include "app/OrrelinMain.h"
#include "cli/HandOffTicket.h"
#include "platform/PropertyListSerialization.h"
#include "platform/UserDefaults.h"
#include "support/TemporaryFolder.h"

using namespace orrelin;

namespace {

TEST(ModeChoice, ToolModeByModeWordOrTemplateSwitch) {
  using Args = std::vector<std::string>;
  EXPECT_TRUE(isToolMode(Args{"orrelin", "-cmdline"}));
  EXPECT_TRUE(isToolMode(Args{"orrelin", "a.txt", "-SCRIPT", "t.orrel"}));
  EXPECT_TRUE(isToolMode(Args{"orrelin", "-File", "t.orrel"}));
  EXPECT_FALSE(isToolMode(Args{"orrelin", "a.txt", "-CMDLINE"}));   // the mode word counts only at index 1
  EXPECT_FALSE(isToolMode(Args{"orrelin", "x", "-cmdline"}));
  EXPECT_FALSE(isToolMode(Args{"orrelin", "-s", "t.orrel"}));       // short forms do not choose the mode
  EXPECT_FALSE(isToolMode(Args{"orrelin"}));
}

class Application : public testing::Test {
 protected:
  int run(std::vector<std::string> paths) {
    out.str("");
    err.str("");
    paths.insert(paths.begin(), "orrelin");
    return runApplication(paths, out, err);
  }
  std::string writeTicket(const PropertyList& value, const std::string& name = "t.orrelticket") {
    std::string path = folder.path(name);
    EXPECT_TRUE(writePropertyListFile(value, path, PlistFormat::XML, WriteMode::Atomic));
    return path;
  }

  TemporaryFolder folder;
  std::ostringstream out, err;
};

TEST(ModeChoice, OnlyTheApplicationSetsTheFontSmoothingDefaults) {
  const char* keys[] = {"AppleScreenAdvanceThreshold", "AppleSmoothFontsSizeThreshold", "AppleAntiAliasingThreshold"};
  for (const char* key : keys) UserDefaults::standard().setObject(key, PropertyList("a user's own value"));
  const auto start = [](std::vector<std::string> words) {
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    orrelinMain(int(argv.size()), argv.data());
    testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
  };
  start({"orrelin", "-cmdline", "-help"});
  for (const char* key : keys)
    EXPECT_EQ(UserDefaults::standard().objectForKey(key), PropertyList("a user's own value")) << key;
  start({"orrelin"});
  for (const char* key : keys) EXPECT_EQ(UserDefaults::standard().objectForKey(key), PropertyList(std::int64_t{2})) << key;
}

TEST_F(Application, WithoutDocumentsItSaysTheWindowIsNotAvailableYet) {
  EXPECT_EQ(run({}), 1);
  EXPECT_NE(err.str().find("desktop window is not available yet"), std::string::npos);
  EXPECT_EQ(run({"-NSDocumentRevisionsDebugMode", "-timing"}), 1);
}

TEST_F(Application, ATicketIsReadAndDescribed) {
  HandOffTicket ticket;
  ticket.script = "/templates/t.orrel";
  ticket.fileNames = {"/data/a.txt", "/data/b.txt"};
  ticket.parameters = {{"a", "2"}};
  ticket.colorSchemes = {"col;value#1=1"};
  std::string path = writeTicket(ticket.propertyList());
  EXPECT_EQ(run({path}), 0);
  EXPECT_EQ(out.str(), "Ticket " + path +
                           "\n"
                           "  Template: /templates/t.orrel\n"
                           "  Data files:\n"
                           "    /data/a.txt\n"
                           "    /data/b.txt\n"
                           "  Variables:\n"
                           "    a = 2\n"
                           "  Color schemes:\n"
                           "    col;value#1=1\n"
                           "Opening documents in a window is not available yet in this version.\n");
  EXPECT_EQ(err.str(), "");
}

TEST_F(Application, ATicketWithoutTemplateOpensAnEmptyDocument) {
  std::string path = writeTicket(HandOffTicket{}.propertyList());
  EXPECT_EQ(run({path}), 0);
  EXPECT_NE(out.str().find("Template: none (a new, empty document)"), std::string::npos);
}

TEST_F(Application, BadTicketsGetAClearMessageAndStatusOne) {
  std::string garbage = folder.path("garbage.orrelticket");
  FILE* f = std::fopen(garbage.c_str(), "w");
  std::fputs("this is not a property list", f);
  std::fclose(f);
  EXPECT_EQ(run({garbage}), 1);
  EXPECT_NE(err.str().find("could not be read"), std::string::npos) << err.str();

  std::string array = writeTicket(PropertyList(PlistArray{PropertyList("x")}), "array.orrelticket");
  EXPECT_EQ(run({array}), 1);
  EXPECT_NE(err.str().find("is not a dictionary"), std::string::npos) << err.str();

  EXPECT_EQ(run({folder.path("missing.orrelticket")}), 1);
  EXPECT_EQ(run({folder.path("notes.txt")}), 1);
  EXPECT_NE(err.str().find("neither an Orrelin document nor a ticket"), std::string::npos);
}

TEST_F(Application, WrongKindsOfEntriesAreReportedAndSkipped) {
  std::string path = writeTicket(PropertyList(PlistDictionary{
      {"File Names", PropertyList(PlistArray{PropertyList("/ok.txt"), PropertyList(3)})},
      {"Parameters", PropertyList("not a dictionary")},
      {"Script", PropertyList(std::int64_t{7})},
  }));
  EXPECT_EQ(run({path}), 0);
  EXPECT_NE(out.str().find("    /ok.txt\n"), std::string::npos);
  EXPECT_NE(out.str().find("Template: none"), std::string::npos);
  EXPECT_NE(err.str().find("\"Parameters\" entry is not a dictionary"), std::string::npos) << err.str();
  EXPECT_NE(err.str().find("\"Script\" entry is not a text"), std::string::npos) << err.str();
  EXPECT_NE(err.str().find("\"File Names\" entry holds a value that is not a text"), std::string::npos);
}

TEST_F(Application, DocumentsArePackageFolders) {
  std::filesystem::create_directory(folder.path("doc.orrel"));
  EXPECT_EQ(run({folder.path("doc.orrel")}), 0);
  EXPECT_EQ(out.str().rfind("Document " + folder.path("doc.orrel") + "\n", 0), 0u);
  EXPECT_EQ(run({folder.path("absent.velar")}), 1);
}

}  // namespace
