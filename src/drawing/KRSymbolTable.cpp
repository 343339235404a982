#include "drawing/KRSymbolTable.h"

#include <cctype>
#include <map>

namespace orrelin {

namespace {

const std::map<std::string, std::string>& table() {
  static const std::map<std::string, std::string> table = {
      {"alpha", "\u03B1"},    {"beta", "\u03B2"},       {"gamma", "\u03B3"},       {"delta", "\u03B4"},
      {"epsilon", "\u03B5"},  {"zeta", "\u03B6"},       {"eta", "\u03B7"},         {"theta", "\u03B8"},
      {"kappa", "\u03BA"},    {"iota", "\u03B9"},       {"lambda", "\u03BB"},      {"mu", "\u03BC"},
      {"nu", "\u03BD"},       {"xi", "\u03BE"},         {"pi", "\u03C0"},          {"rho", "\u03C1"},
      {"sigma", "\u03C3"},    {"tau", "\u03C4"},        {"upsilon", "\u03C5"},     {"phi", "\u03C6"},
      {"chi", "\u03C7"},      {"psi", "\u03C8"},        {"omega", "\u03C9"},       {"Phi", "\u03A6"},
      {"Chi", "\u03A7"},      {"Psi", "\u03A8"},        {"Omega", "\u03A9"},       {"Lambda", "\u039B"},
      {"Gamma", "\u0393"},    {"Delta", "\u0394"},      {"Theta", "\u0398"},       {"Upsilon", "\u03A5"},
      {"Xi", "\u039E"},       {"Pi", "\u03A0"},         {"Sigma", "\u03A3"},       {"bbN", "\u2115"},
      {"bbH", "\u210D"},      {"bbP", "\u2119"},        {"bbQ", "\u211A"},         {"bbR", "\u211D"},
      {"bbZ", "\u2124"},      {"bbC", "\u2102"},        {"angstrom", "\u212B"},    {"infty", "\u221E"},
      {"infinity", "\u221E"}, {"hbar", "\u210F"},       {"cdots", "\u22EF"},       {"udots", "\u22F0"},
      {"ddots", "\u22F1"},    {"dots", "\u2026"},       {"forall", "\u2200"},      {"in", "\u2208"},
      {"le", "\u2264"},       {"ge", "\u2265"},         {"neq", "\u2260"},         {"permille", "\u2030"},
      {"permyriad", "\u2031"}, {"degree", "\u00B0"},    {"times", "\u00D7"},       {"cent", "\u00A2"},
      {"pound", "\u00A3"},    {"currency", "\u00A4"},   {"yen", "\u00A5"},         {"baht", "\u0E3F"},
      {"eurocurrency", "\u20A0"}, {"colon", "\u20A1"},  {"cruzeiro", "\u20A2"},    {"franc", "\u20A3"},
      {"lira", "\u20A4"},     {"mill", "\u20A5"},       {"naira", "\u20A6"},       {"peseta", "\u20A7"},
      {"rupee", "\u20A8"},    {"won", "\u20A9"},        {"sheqel", "\u20AA"},      {"dong", "\u20AB"},
      {"euro", "\u20AC"},     {"kip", "\u20AD"},        {"tugrik", "\u20AE"},      {"drachma", "\u20AF"},
      {"penny", "\u20B0"},    {"peso", "\u20B1"},
  };
  return table;
}

}  // namespace

std::optional<std::string> KRSymbolTable::characterFor(const std::string& name) {
  const auto& names = table();
  auto found = names.find(name);
  if (found == names.end()) return std::nullopt;
  return found->second;
}

std::string KRSymbolTable::substituteSymbols(const std::string& text) {
  if (text.find('\\') == std::string::npos) return text;
  const auto& names = table();
  std::string result;
  result.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '\\') {
      result += text[i++];
      continue;
    }
    // Every name is made of letters: try the longest run of letters after the
    // backslash first, then ever shorter beginnings of it.
    std::size_t end = i + 1;
    while (end < text.size() && std::isalpha(static_cast<unsigned char>(text[end]))) ++end;
    bool replaced = false;
    for (std::size_t length = end - i - 1; length > 0; --length) {
      auto found = names.find(text.substr(i + 1, length));
      if (found != names.end()) {
        result += found->second;
        i += 1 + length;
        replaced = true;
        break;
      }
    }
    if (!replaced) result += text[i++];
  }
  return result;
}

}  // namespace orrelin
