#include "mathtext/KRMathNames.h"

#include <algorithm>
#include <map>

#include "drawing/KRSymbolTable.h"

namespace orrelin {

namespace {

struct Arrow {
  const char* name;
  const char* character;
};

// Arrows, drawn from the symbol font at the size of the text.
constexpr Arrow kArrows[] = {
    {"to", "\u2192"},
    {"rightarrow", "\u2192"},
    {"gets", "\u2190"},
    {"leftarrow", "\u2190"},
    {"leftrightarrow", "\u2194"},
    {"Leftarrow", "\u21D0"},
    {"Rightarrow", "\u21D2"},
    {"Leftrightarrow", "\u21D4"},
    {"mapsto", "\u21A6"},
    {"hookleftarrow", "\u21A9"},
    {"leftharpoonup", "\u21BC"},
    {"leftharpoondown", "\u21BD"},
    {"rightleftharpoons", "\u21CC"},
    {"hookrightarrow", "\u21AA"},
    {"rightharpoonup", "\u21C0"},
    {"rightharpoondown", "\u21C1"},
    {"leadsto", "\u21DD"},
    {"longleftarrow", "\u27F5"},
    {"Longleftarrow", "\u27F8"},
    {"longrightarrow", "\u27F6"},
    {"Longrightarrow", "\u27F9"},
    {"longleftrightarrow", "\u27F7"},
    {"Longleftrightarrow", "\u27FA"},
    {"longmapsto", "\u27FC"},
    {"uparrow", "\u2191"},
    {"Uparrow", "\u21D1"},
    {"downarrow", "\u2193"},
    {"Downarrow", "\u21D3"},
    {"updownarrow", "\u2195"},
    {"Updownarrow", "\u21D5"},
    {"nearrow", "\u2197"},
    {"searrow", "\u2198"},
    {"swarrow", "\u2199"},
    {"nwarrow", "\u2196"},
};

constexpr const char* kFunctionNames[] = {
    "sin",  "cos",  "tan",  "sec",   "csc", "cot", "arcsin", "arccos", "arctan", "asin", "acos", "atan",
    "sinh", "cosh", "tanh", "coth",  "exp", "log", "log10",  "log2",   "ln",     "lg",   "det",  "dim",
    "ker",  "hom",  "arg",  "deg",   "gcd", "inf", "sup",    "min",    "max",    "Pr",
};

// Characters that math text names beyond the shared symbol table.
const std::map<std::string, std::string>& additions() {
  static const std::map<std::string, std::string> table = {
      {"cdot", "\u00B7"},     {"ldots", "\u2026"},    {"dots", "\u2026"},     {"cdots", "\u22EF"},
      {"udots", "\u22F0"},    {"ddots", "\u22F1"},    {"dagger", "\u2020"},   {"ddagger", "\u2021"},
      {"cap", "\u2229"},      {"cup", "\u222A"},      {"ast", "*"},           {"times", "\u00D7"},
      {"pm", "\u00B1"},       {"mp", "\u2213"},       {"div", "\u00F7"},      {"star", "\u22C6"},
      {"vee", "\u22C1"},      {"wedge", "\u22C0"},    {"ll", "\u226A"},       {"gg", "\u226B"},
      {"nabla", "\u2207"},    {"subset", "\u2282"},   {"supset", "\u2283"},   {"uplus", "\u228E"},
      {"oplus", "\u2295"},    {"ominus", "\u2296"},   {"otimes", "\u2297"},   {"sqcap", "\u2293"},
      {"sqcup", "\u2294"},    {"sqsubset", "\u228F"}, {"sqsupset", "\u2290"}, {"sqsubseteq", "\u2291"},
      {"sqsupseteq", "\u2292"}, {"lll", "\u22D8"},    {"ggg", "\u22D9"},      {"minus", "\u2212"},
  };
  return table;
}

const std::map<std::string, KRMathCommand>& commands() {
  static const std::map<std::string, KRMathCommand> table = [] {
    std::map<std::string, KRMathCommand> made;
    made["frac"].kind = KRMathCommandKind::Fraction;
    made["sqrt"].kind = KRMathCommandKind::SquareRoot;
    auto color = [&](const char* name, double r, double g, double b) {
      KRMathCommand& c = made[name];
      c.kind = KRMathCommandKind::StateChanger;
      c.change = KRMathStateChange::Color;
      c.red = r, c.green = g, c.blue = b;
    };
    color("red", 1, 0, 0);
    color("green", 0, 1, 0);
    color("blue", 0, 0, 1);
    color("black", 0, 0, 0);
    color("white", 1, 1, 1);
    auto style = [&](const char* name, KRMathStateChange change) {
      KRMathCommand& c = made[name];
      c.kind = KRMathCommandKind::StateChanger;
      c.change = change;
    };
    style("it", KRMathStateChange::Italic);
    style("italic", KRMathStateChange::Italic);
    style("bf", KRMathStateChange::Bold);
    style("bold", KRMathStateChange::Bold);
    style("rm", KRMathStateChange::Plain);
    style("plain", KRMathStateChange::Plain);
    auto op = [&](const char* name, const char* character) {
      KRMathCommand& c = made[name];
      c.kind = KRMathCommandKind::Icon;
      c.text = character;
      c.fromSymbolFont = c.bigOperator = true;
      // The integral takes its scripts beside it, the others under and over.
      c.limits = std::string(name) != "int";
    };
    op("sum", "\u2211");
    op("prod", "\u220F");
    op("int", "\u222B");
    op("bigcap", "\u22C2");
    op("bigcup", "\u22C3");
    auto limit = [&](const char* name, const char* text) {
      KRMathCommand& c = made[name];
      c.kind = KRMathCommandKind::Icon;
      c.text = text;
      c.limits = true;
    };
    limit("lim", "lim");
    limit("liminf", "lim inf");
    limit("limsup", "lim sup");
    for (const auto& arrow : kArrows) {
      KRMathCommand& c = made[arrow.name];
      c.kind = KRMathCommandKind::Icon;
      c.text = arrow.character;
      c.fromSymbolFont = true;
    }
    for (const char* name : kFunctionNames) {
      KRMathCommand& c = made[name];
      c.kind = KRMathCommandKind::FunctionName;
      c.text = name;
    }
    auto decoration = [&](const char* name, KRMathDecoration d) {
      KRMathCommand& c = made[name];
      c.kind = KRMathCommandKind::OverUnder;
      c.decoration = d;
    };
    decoration("overline", KRMathDecoration::Overline);
    decoration("underline", KRMathDecoration::Underline);
    decoration("uline", KRMathDecoration::Underline);
    decoration("uuline", KRMathDecoration::DoubleUnderline);
    decoration("underbrace", KRMathDecoration::Underbrace);
    decoration("overbrace", KRMathDecoration::Overbrace);
    decoration("vec", KRMathDecoration::Vector);
    decoration("hat", KRMathDecoration::Hat);
    decoration("tilde", KRMathDecoration::Tilde);
    decoration("sout", KRMathDecoration::StrikeThrough);
    decoration("strikethrough", KRMathDecoration::StrikeThrough);
    return made;
  }();
  return table;
}

// No symbol name is longer than this, so a long run of letters is tried
// only from this length down.
constexpr std::size_t kLongestSymbolName = 16;

}  // namespace

std::optional<std::string> KRMathNames::substituteUnicodeCharacters(const std::string& name) {
  if (auto shared = KRSymbolTable::characterFor(name)) return shared;
  auto found = additions().find(name);
  if (found != additions().end()) return found->second;
  return std::nullopt;
}

std::size_t KRMathNames::longestSymbolPrefix(const std::string& name) {
  for (std::size_t length = std::min(name.size(), kLongestSymbolName); length > 0; --length)
    if (substituteUnicodeCharacters(name.substr(0, length))) return length;
  return 0;
}

KRMathCommand KRMathNames::commandFor(const std::string& name) {
  auto found = commands().find(name);
  if (found != commands().end()) return found->second;
  KRMathCommand command;
  if (auto character = substituteUnicodeCharacters(name)) {
    command.kind = KRMathCommandKind::Symbol;
    command.text = *character;
  }
  return command;
}

}  // namespace orrelin
