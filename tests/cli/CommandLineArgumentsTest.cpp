#include <gtest/gtest.h>

#include "cli/CommandLineArguments.h"

using namespace orrelin;

namespace {

struct Parsed {
  CommandLineRequest request;
  std::vector<std::string> logged;
};

Parsed parse(std::vector<std::string> words, std::optional<std::string> work = std::string("/work")) {
  Parsed parsed;
  parsed.request = parseCommandLine(words, work, [&](const std::string& line) { parsed.logged.push_back(line); });
  return parsed;
}

using Strings = std::vector<std::string>;
using StringMap = std::map<std::string, std::string>;

TEST(CommandLineGrammar, PlainArgumentsAreSortedByTheirEnding) {
  auto p = parse({"a.txt", "b.orrel", "c.orrel", "out.png"}).request;
  EXPECT_EQ(p.scriptPath, "/work/b.orrel");  // the first template wins, c.orrel is ignored
  EXPECT_EQ(p.positionalOutputPath, "/work/out.png");
  EXPECT_EQ(p.fileNames, Strings{"/work/a.txt"});

  auto q = parse({"/abs/d.txt", "one.PDF", "two.Tif", "data.csv", "x.ORREL"}).request;
  EXPECT_EQ(q.positionalOutputPath, "/work/two.Tif");  // the last output wins
  EXPECT_EQ(q.fileNames, (Strings{"/abs/d.txt", "/work/data.csv"}));
  EXPECT_EQ(q.scriptPath, "/work/x.ORREL");
}

TEST(CommandLineGrammar, TheScriptSwitchReplacesAndIsNotReplacedByAPlainTemplate) {
  EXPECT_EQ(parse({"x.orrel", "-script", "y.orrel", "-output", "o.pdf"}).request.scriptPath, "y.orrel");
  EXPECT_EQ(parse({"-script", "y.orrel", "x.orrel", "-output", "o.pdf"}).request.scriptPath, "y.orrel");
  for (const char* name : {"-s", "-FILE", "-f", "-Script"})
    EXPECT_EQ(parse({name, "t.orrel"}).request.scriptPath, "t.orrel") << name;
  // The word after -script is taken whatever it looks like.
  EXPECT_EQ(parse({"-script", "-output"}).request.scriptPath, "-output");
  EXPECT_FALSE(parse({"-script"}).request.scriptPath);
}

TEST(CommandLineGrammar, VariableAssignments) {
  struct Case {
    Strings words;
    StringMap expected;
    bool logsSyntax;
  } cases[] = {
      {{"-v", "a=2"}, {{"a", "2"}}, false},
      {{"-v", "a=b=c"}, {{"a", "b=c"}}, false},
      {{"-v", "a="}, {{"a", ""}}, false},
      {{"-v", "=5"}, {}, false},
      {{"-v", "name"}, {}, true},
      {{"-V", "a=1", "-variable", "a=2"}, {{"a", "2"}}, false},
      {{"-p", "x=1", "-PARAMETER", "y=title with spaces"}, {{"x", "1"}, {"y", "title with spaces"}}, false},
      {{"-v"}, {}, false},
  };
  for (const auto& c : cases) {
    auto parsed = parse(c.words);
    EXPECT_EQ(parsed.request.parameters, c.expected) << c.words[0];
    EXPECT_EQ(parsed.logged.size(), c.logsSyntax ? 1u : 0u);
    if (c.logsSyntax) {
      EXPECT_EQ(parsed.logged[0], "Variable needs to be specified as -v value=name or -variable value=name");
    }
  }
  // The word without "=" is consumed, not taken as a data file.
  EXPECT_TRUE(parse({"-v", "name.txt"}).request.fileNames.empty());
}

TEST(CommandLineGrammar, ColorSchemeOverridesKeepTheirOrder) {
  auto p = parse({"-cs", "b;value#1=1", "-ColorScheme", "a;title#2=x", "-cs"}).request;
  EXPECT_EQ(p.colorSchemes, (Strings{"b;value#1=1", "a;title#2=x"}));
}

TEST(CommandLineGrammar, OtherSwitchesTakeTheNextWordUnlessItIsASwitch) {
  auto alpha = parse({"-alpha", "data.txt"}).request;
  EXPECT_EQ(alpha.switches, (StringMap{{"alpha", "data.txt"}}));
  EXPECT_TRUE(alpha.fileNames.empty());

  auto both = parse({"-alpha", "-output", "o.png"}).request;
  EXPECT_EQ(both.switches, (StringMap{{"alpha", ""}, {"output", "o.png"}}));
  EXPECT_EQ(both.outputPath(), "o.png");

  auto cased = parse({"-Width", "300", "-DPI", "72*2", "--help", "-?"}).request;
  EXPECT_EQ(cased.switches, (StringMap{{"width", "300"}, {"dpi", "72*2"}, {"-help", ""}, {"?", ""}}));

  // A bare "-" is a switch with an empty name.
  EXPECT_EQ(parse({"-", "x"}).request.switches, (StringMap{{"", "x"}}));
  // An empty word directly after a switch is its value.
  auto empty = parse({"-width", "", "a.txt"}).request;
  EXPECT_EQ(empty.switches, (StringMap{{"width", ""}}));
  EXPECT_EQ(empty.fileNames, Strings{"/work/a.txt"});
}

TEST(CommandLineGrammar, TheOutputSwitchWinsOverAPositionalOutput) {
  auto p = parse({"out.png", "-output", "rel/o.pdf"}).request;
  EXPECT_EQ(p.positionalOutputPath, "/work/out.png");
  EXPECT_EQ(p.outputPath(), "rel/o.pdf");  // used as typed
  EXPECT_EQ(parse({"out.png"}).request.outputPath(), "/work/out.png");
  EXPECT_FALSE(parse({"a.txt"}).request.outputPath());
}

TEST(CommandLineGrammar, EmptyWordsAreSkippedAnywhere) {
  auto p = parse({"", "a.txt", "", "-v", "a=1", ""}).request;
  EXPECT_EQ(p.fileNames, Strings{"/work/a.txt"});
  EXPECT_EQ(p.parameters, (StringMap{{"a", "1"}}));
  EXPECT_TRUE(p.switches.empty());
}

TEST(CommandLineGrammar, HelpTopicIsLookedUpInOrder) {
  EXPECT_EQ(parse({"-?", "colorscheme", "-help", "output"}).request.helpTopic(), "output");
  EXPECT_EQ(parse({"--help", "examples", "-?", "x"}).request.helpTopic(), "examples");
  EXPECT_EQ(parse({"-HELP"}).request.helpTopic(), "");
  EXPECT_FALSE(parse({"a.txt"}).request.helpTopic());
}

TEST(CommandLineGrammar, WithoutAWorkDirectoryPathsStayAsTyped) {
  auto p = parse({"a.txt", "t.orrel"}, std::nullopt).request;
  EXPECT_EQ(p.fileNames, Strings{"a.txt"});
  EXPECT_EQ(p.scriptPath, "t.orrel");
}

TEST(CommandLineGrammar, OddBytesAndManyWordsAreTakenAsTheyAre) {
  Strings words;
  for (int i = 0; i < 20000; ++i) words.push_back("file" + std::to_string(i) + ".dat");
  words.push_back("\xff\xfe\x01.txt");
  words.push_back("-\xc3\xa9t\xc3\xa9");
  words.push_back("\x80");
  auto p = parse(words).request;
  EXPECT_EQ(p.fileNames.size(), 20001u);
  EXPECT_EQ(p.fileNames.back(), "/work/\xff\xfe\x01.txt");
  EXPECT_EQ(p.switches.count("\xc3\xa9t\xc3\xa9"), 1u);
  EXPECT_EQ(p.switches.at("\xc3\xa9t\xc3\xa9"), "\x80");
}

}  // namespace
