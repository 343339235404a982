#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "cli/CommandLine.h"
#include "cli/FakeDesktop.h"
#include "cli/HandOffTicket.h"
#include "platform/PropertyListSerialization.h"

using namespace orrelin;

namespace {

class Tool : public testing::Test {
 protected:
  int run(std::vector<std::string> words) {
    out.str("");
    err.str("");
    std::vector<std::string> argv = {"orrel", "-cmdline"};
    argv.insert(argv.end(), words.begin(), words.end());
    ToolContext context{desktop, out, err};
    return commandLine(argv, context);
  }

  std::vector<std::string> ticketsWritten() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(desktop.temporary.root()))
      names.push_back(entry.path().string());
    return names;
  }

  PropertyList onlyTicket() const {
    auto tickets = ticketsWritten();
    EXPECT_EQ(tickets.size(), 1u);
    std::string error;
    auto value = tickets.empty() ? std::nullopt : readPropertyListFile(tickets[0], &error);
    EXPECT_TRUE(value) << error;
    return value.value_or(PropertyList());
  }

  FakeDesktop desktop;
  std::ostringstream out, err;
};

TEST_F(Tool, NothingToDoSaysSoAndSucceeds) {
  for (auto words : {std::vector<std::string>{}, {"-output", "o.pdf"}, {"-width", "10", "", "out.png"}}) {
    EXPECT_EQ(run(words), 0);
    EXPECT_EQ(out.str(), "Need to specify at least a Orrelin file or a data file.\nUse the flag -? to get more help.\n");
  }
  EXPECT_TRUE(ticketsWritten().empty());
}

TEST_F(Tool, ADataFileAloneIsHandedToTheApplicationAsATicket) {
  EXPECT_EQ(run({"a.txt"}), 1);
  auto tickets = ticketsWritten();
  ASSERT_EQ(tickets.size(), 1u);
  EXPECT_EQ(std::filesystem::path(tickets[0]).filename(),
            "org.orrelin.Orrelin.orrel.0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0.orrelticket");
  ASSERT_EQ(desktop.opened.size(), 1u);
  EXPECT_EQ(desktop.opened[0], tickets[0] + " with Orrelin");

  PropertyList ticket = onlyTicket();
  EXPECT_EQ(ticket, PropertyList(PlistDictionary{
                        {"Switches", PropertyList(PlistDictionary{})},
                        {"File Names", PropertyList(PlistArray{PropertyList("/work/a.txt")})},
                        {"Work Directory", PropertyList("/work")},
                        {"Parameters", PropertyList(PlistDictionary{})},
                        {"Color Schemes", PropertyList(PlistArray{})},
                    }));
  EXPECT_EQ(ticket.find("Script"), nullptr);
}

TEST_F(Tool, TheTicketCarriesEverythingTheUserSaid) {
  EXPECT_EQ(run({"-script", "rel/t.orrel", "b.dat", "/abs/c.dat", "-v", "title=My title", "-cs", "col;value#1=1",
                 "-cs", "other;title#2=x", "-alpha", "-Width", "300", "-debug"}),
            1);
  PropertyList ticket = onlyTicket();
  EXPECT_EQ(ticket.stringForKey("Script"), "/work/rel/t.orrel");
  EXPECT_EQ(*ticket.arrayForKey("File Names"), (PlistArray{PropertyList("/work/b.dat"), PropertyList("/abs/c.dat")}));
  EXPECT_EQ(*ticket.dictionaryForKey("Parameters"), (PlistDictionary{{"title", PropertyList("My title")}}));
  EXPECT_EQ(*ticket.arrayForKey("Color Schemes"),
            (PlistArray{PropertyList("col;value#1=1"), PropertyList("other;title#2=x")}));
  EXPECT_EQ(*ticket.dictionaryForKey("Switches"),
            (PlistDictionary{{"alpha", PropertyList("")}, {"width", PropertyList("300")}, {"debug", PropertyList("")}}));
}

TEST_F(Tool, ARefusedHandOffReturnsMinusOne) {
  desktop.acceptOpen = false;
  EXPECT_EQ(run({"a.txt"}), -1);
  // The ticket stays for the user to open by hand, and the message says where.
  ASSERT_EQ(ticketsWritten().size(), 1u);
  EXPECT_EQ(err.str(), "orrel: Could not start Orrelin to open the ticket " + ticketsWritten()[0] + "\n");
}

TEST_F(Tool, WithoutAWorkDirectoryTheTicketHasNone) {
  desktop.workDirectory.reset();
  EXPECT_EQ(run({"/abs/a.txt"}), 1);
  EXPECT_EQ(onlyTicket().find("Work Directory"), nullptr);
}

TEST_F(Tool, AnUnwritableTemporaryFolderRefusesTheHandOff) {
  std::filesystem::remove_all(desktop.temporary.root());
  EXPECT_EQ(run({"a.txt"}), -1);
  EXPECT_NE(err.str().find("orrel: Could not write the ticket"), std::string::npos) << err.str();
  EXPECT_TRUE(desktop.opened.empty());
}

TEST_F(Tool, OddBytesInPathsSurviveTheTicket) {
  EXPECT_EQ(run({"caf\xc3\xa9 data.txt", "-v", "unit=\xc2\xb5m"}), 1);
  PropertyList ticket = onlyTicket();
  EXPECT_EQ(*ticket.arrayForKey("File Names"), PlistArray{PropertyList("/work/caf\xc3\xa9 data.txt")});
  EXPECT_EQ(ticket.dictionaryForKey("Parameters")->at("unit"), PropertyList("\xc2\xb5m"));
}

TEST_F(Tool, ABatchRunNeedsATemplate) {
  EXPECT_EQ(run({"a.txt", "-output", "o.pdf"}), 1);
  EXPECT_EQ(out.str(), "orrel: Need to specify a Orrelin file -script pathname. -? for more help\n");
  EXPECT_TRUE(ticketsWritten().empty());
}

TEST_F(Tool, AMissingTemplateIsNamedInMacOSRoman) {
  EXPECT_EQ(run({"a.txt", "-script", "/nowhere/caf\xc3\xa9.orrel", "out.pdf"}), 1);
  EXPECT_EQ(out.str(), "orrel: The Orrelin file \"/nowhere/caf\x8e.orrel\" could not be found\n");
}

TEST_F(Tool, AnUnknownOutputEndingIsRefusedAfterTheTemplateWasFound) {
  desktop.existing.insert("/work/t.orrel");
  EXPECT_EQ(run({"t.orrel", "-output", "o.gif"}), 1);
  EXPECT_EQ(out.str(), "orrel: Unsupported file extension for \"o.gif\".  Use -? to see full list\n");
  EXPECT_EQ(run({"t.orrel", "-output", "no-ending"}), 1);
  EXPECT_EQ(out.str(), "orrel: Unsupported file extension for \"no-ending\".  Use -? to see full list\n");
}

TEST_F(Tool, AValidBatchRunSaysPlainlyThatItCannotWriteYetAndWritesNothing) {
  desktop.existing.insert("/work/t.orrel");
  std::string output = desktop.temporary.path("o.PDF");
  EXPECT_EQ(run({"t.orrel", "data.txt", "-output", output}), 1);
  EXPECT_EQ(out.str(), "");
  EXPECT_NE(err.str().find("pdf output is not available yet"), std::string::npos) << err.str();
  EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(Tool, APositionalOutputStartsABatchRunToo) {
  EXPECT_EQ(run({"a.txt", "out.png"}), 1);
  EXPECT_EQ(out.str(), "orrel: Need to specify a Orrelin file -script pathname. -? for more help\n");
}

}  // namespace
