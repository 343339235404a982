// The colour-scheme overrides of the batch tool: "name;key#N=value;...".

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>

#include "document/parameters/ParameterTexts.h"
#include "document/parameters/VKDefinedObjectsController.h"
#include "expression/KRExpression.h"
#include "numeric/KRDoubleArrayContainer.h"
#include "platform/TextEncoding.h"

namespace orrelin {

namespace texts = parameter_texts;

namespace {

void printLine(std::ostream& out, const std::string& text) { out << convertToMacOSRoman(text) << '\n'; }

std::string trimmed(std::string_view text) {
  auto space = [](unsigned char c) { return std::isspace(c) != 0; };
  while (!text.empty() && space(text.front())) text.remove_prefix(1);
  while (!text.empty() && space(text.back())) text.remove_suffix(1);
  return std::string(text);
}

std::string lowercased(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

struct Record {
  std::string key;
  int index = 0;
  std::string value;
};

// Reads key#N=value; on failure prints the matching message and gives none.
std::optional<Record> readRecord(const std::string& record, std::ostream& out) {
  std::size_t hash = record.find('#');
  std::size_t at = hash == std::string::npos ? record.size() : hash + 1;
  // N is a whole number, optionally signed and preceded by blanks; one too
  // large to count with stays the largest there is and is out of bounds.
  while (at < record.size() && (record[at] == ' ' || record[at] == '\t')) ++at;
  bool negative = false;
  if (at < record.size() && (record[at] == '+' || record[at] == '-')) negative = record[at++] == '-';
  std::size_t digitsStart = at;
  long long n = 0;
  for (; at < record.size() && std::isdigit(static_cast<unsigned char>(record[at])); ++at)
    n = std::min<long long>(n * 10 + (record[at] - '0'), static_cast<long long>(INT_MAX) + 1);
  if (hash == std::string::npos || at == digitsStart) {
    printLine(out, texts::fillIn(texts::kRecordNeedsKeyAndIndex, {record}));
    return std::nullopt;
  }
  if (at == record.size()) {
    printLine(out, texts::fillIn(texts::kRecordNeedsValue, {record}));
    return std::nullopt;
  }
  if (record[at] != '=') {
    printLine(out, texts::fillIn(texts::kRecordNeedsEquals, {record}));
    return std::nullopt;
  }
  if (negative) n = -n;
  Record result;
  result.key = trimmed(std::string_view(record).substr(0, hash));
  result.index = static_cast<int>(std::clamp<long long>(n, INT_MIN, INT_MAX));
  result.value = record.substr(at + 1);
  return result;
}

// Puts one record into the scheme named name; on failure prints why.
void applyRecord(VKColorScheme& scheme, const std::string& name, const Record& record, std::ostream& out) {
  if (record.index < 1 || static_cast<std::size_t>(record.index) > scheme.numberOfLines()) {
    printLine(out, texts::fillIn(texts::kIndexOutOfBounds, {std::to_string(record.index), name}));
    return;
  }
  std::size_t line = static_cast<std::size_t>(record.index - 1);
  std::string key = lowercased(record.key);
  if (key == "range") {
    scheme.setRange(line, record.value);
  } else if (key == "value") {
    scheme.setValue(line, record.value);
  } else if (key == "title") {
    scheme.setTitle(line, record.value);
  } else if (key == "match") {
    scheme.setMatch(line, record.value);
  } else if (key == "color") {
    // Written as formulas, so 1/2 and 30/255 work.
    auto numbers = KRExpression::evaluateArrayOfNumbersFromString(record.value);
    std::size_t count = numbers ? numbers->length() : 0;
    const double* v = numbers ? numbers->constDoublePointer() : nullptr;
    bool finite = v && std::all_of(v, v + count, [](double x) { return std::isfinite(x); });
    if ((count == 3 || count == 4) && finite) {
      auto unit = [](double x) { return std::clamp(x, 0.0, 1.0); };
      scheme.setColor(line, {unit(v[0]), unit(v[1]), unit(v[2]), count == 4 ? unit(v[3]) : 1.0});
    } else {
      printLine(out, texts::fillIn(texts::kColorNeedsThreeOrFour, {name, record.value}));
    }
  } else {
    printLine(out, texts::fillIn(texts::kInvalidKey, {name, record.key}));
  }
}

}  // namespace

void VKDefinedObjectsController::overwriteColorSchemesFromCommandLine(const std::vector<std::string>& arguments,
                                                                      std::ostream& out) {
  for (const auto& argument : arguments) overwriteColorScheme(argument, out);
}

void VKDefinedObjectsController::overwriteColorScheme(const std::string& argument, std::ostream& out) {
  std::size_t semicolon = argument.find(';');
  std::string name = argument.substr(0, semicolon);
  auto scheme = colorSchemeWithName(name);
  if (!scheme) {
    printLine(out, texts::fillIn(texts::kSchemeNotFound, {name}));
    return;
  }
  if (semicolon == std::string::npos) return;

  std::string_view rest = std::string_view(argument).substr(semicolon + 1);
  while (true) {
    std::size_t end = rest.find(';');
    std::string text(rest.substr(0, end));
    // A doubled or trailing ";" leaves an empty record, which says nothing.
    if (!trimmed(text).empty())
      if (auto record = readRecord(text, out)) applyRecord(*scheme, name, *record, out);
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
}

}  // namespace orrelin
