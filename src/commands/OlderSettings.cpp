#include "commands/OlderSettings.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "commands/PointsTexts.h"
#include "graph/commandbase/TextFormat.h"
#include "platform/KRMessageCenter.h"

namespace orrelin {

namespace text = points_text;

namespace {

// "Mask Type" tags of the older form.
enum OlderMaskType { kOlderMaskNone = 1, kOlderMaskValue = 2, kOlderMaskRange = 3, kOlderMaskMatch = 4 };
// "Point Color Usage" tags.
enum OlderColorUsage { kUsageLine = 1, kUsageFill = 2, kUsageLineAndFill = 3 };

std::string stringOf(const PlistDictionary& settings, const char* key) {
  const auto found = settings.find(key);
  if (found == settings.end()) return {};
  if (found->second.isString()) return found->second.string();
  if (found->second.isNumber()) {
    char number[32];
    std::snprintf(number, sizeof number, "%.17g", found->second.real());
    return number;
  }
  return {};
}

std::string trimmed(const std::string& s) {
  std::size_t from = 0, to = s.size();
  while (from < to && std::isspace(static_cast<unsigned char>(s[from]))) ++from;
  while (to > from && std::isspace(static_cast<unsigned char>(s[to - 1]))) --to;
  return s.substr(from, to - from);
}

// The two sides of a range text "a, b"; the comma is the first one outside
// parentheses. None without such a comma.
std::optional<std::pair<std::string, std::string>> rangeSides(const std::string& range) {
  int depth = 0;
  for (std::size_t k = 0; k < range.size(); ++k) {
    const char c = range[k];
    if (c == '(' || c == '{') ++depth;
    if (c == ')' || c == '}') --depth;
    if (c == ',' && depth == 0) return std::make_pair(trimmed(range.substr(0, k)), trimmed(range.substr(k + 1)));
  }
  return std::nullopt;
}

// The column the older mask reads: a name, or a stored column selection.
std::string olderMaskColumn(const PlistDictionary& settings) {
  const auto found = settings.find(text::kMask);
  if (found == settings.end()) return {};
  if (found->second.isString()) return found->second.string();
  if (found->second.isDictionary())
    if (const auto* name = found->second.find("Name"); name && name->isString()) return name->string();
  return {};
}

}  // namespace

std::string formulaName(const std::string& name) {
  bool plain = !name.empty() && !std::isdigit(static_cast<unsigned char>(name[0])) && name[0] != '.';
  for (char c : name) plain = plain && (std::isalnum(static_cast<unsigned char>(c)) || c == '_');
  return plain ? name : "\"" + name + "\"";
}

std::optional<std::string> formulaForOlderMask(const PlistDictionary& settings, std::string* problem) {
  const auto type = settings.find(text::kOlderMaskType);
  if (type == settings.end() || !type->second.isNumber()) return std::nullopt;
  const std::string column = olderMaskColumn(settings);
  const auto tag = type->second.integer();
  if (tag == kOlderMaskNone || column.empty()) return std::string();
  const std::string c = formulaName(column);
  if (tag == kOlderMaskValue) {
    const std::string value = trimmed(stringOf(settings, text::kOlderMaskValue));
    if (value.empty()) return std::string();
    return c + "==(" + value + ")";
  }
  if (tag == kOlderMaskRange) {
    const auto sides = rangeSides(stringOf(settings, text::kOlderMaskRange));
    if (!sides) {
      if (problem) *problem = formatText(text::kOlderMaskNotConverted, column);
      return std::nullopt;
    }
    std::string formula;
    if (!sides->first.empty()) formula = c + ">=(" + sides->first + ")";
    if (!sides->second.empty()) formula += (formula.empty() ? "" : "&&") + c + "<(" + sides->second + ")";
    return formula;
  }
  if (problem) *problem = formatText(text::kOlderMaskNotConverted, column);
  return std::nullopt;
}

void convertOlderMask(PlistDictionary& settings) {
  if (!settings.count(text::kOlderMaskType)) return;
  std::string problem;
  const auto formula = formulaForOlderMask(settings, &problem);
  if (!formula) {
    if (!problem.empty()) KRMessageCenter::addMessage(problem);
    return;
  }
  settings[text::kMask] = PropertyList(*formula);
  for (const char* key : {text::kOlderMaskType, text::kOlderMaskValue, text::kOlderMaskRange, text::kOlderMaskMatch})
    settings.erase(key);
}

void convertOlderColorUsage(PlistDictionary& settings) {
  const auto usage = settings.find(text::kOlderPointColorUsage);
  if (usage == settings.end()) return;
  const std::int64_t tag = usage->second.isNumber() ? usage->second.integer() : std::int64_t{kUsageLine};
  settings.erase(usage);
  if (tag != kUsageFill && tag != kUsageLineAndFill) return;
  // A file that already has a fill column keeps it.
  if (settings.count(text::kFillColorVariable) || settings.count(text::kFillColorScheme)) return;
  for (const auto& [from, to] : {std::pair{text::kPointColorVariable, text::kFillColorVariable},
                                 std::pair{text::kPointColorScheme, text::kFillColorScheme}}) {
    const auto found = settings.find(from);
    if (found == settings.end()) continue;
    settings[to] = found->second;
    if (tag == kUsageFill) settings.erase(from);
  }
}

}  // namespace orrelin
