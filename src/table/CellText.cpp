#include "table/CellText.h"

#include <cctype>
#include <charconv>
#include <algorithm>
#include <cmath>
#include <memory>

#include "expression/KRExpression.h"
#include "graph/dependency/VKOperationQueue.h"
#include "table/DecimalNumber.h"

namespace orrelin {

namespace {

// From this many texts on, the cells are read on all processors.
constexpr long kRowsReadInParallel = 1 << 16;

std::string_view trimmed(std::string_view text) {
  const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::string removeThousandsCommaSeparators(std::string_view text) {
  // The shape of a grouped number: a sign, one to three digits, groups of
  // a comma and three digits, then decimals and an exponent.
  const auto digit = [&](std::size_t at) { return at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); };
  const std::string_view number = trimmed(text);
  std::size_t at = number.data() - text.data();
  const std::size_t end = at + number.size();
  if (at < end && (text[at] == '-' || text[at] == '+')) ++at;
  std::size_t lead = 0;
  while (digit(at) && at < end) ++at, ++lead;
  bool grouped = false;
  while (lead >= 1 && lead <= 3 && at + 3 < end && text[at] == ',' && digit(at + 1) && digit(at + 2) && digit(at + 3)) {
    at += 4;
    grouped = true;
  }
  if (!grouped || digit(at)) return std::string(text);
  if (at < end && text[at] == '.') {
    ++at;
    while (at < end && digit(at)) ++at;
  }
  if (at < end && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    if (at < end && (text[at] == '-' || text[at] == '+')) ++at;
    if (!digit(at)) return std::string(text);
    while (at < end && digit(at)) ++at;
  }
  if (at != end) return std::string(text);
  std::string result(text);
  std::erase(result, ',');
  return result;
}

CellReading readCellText(std::string_view text) {
  CellReading reading;
  reading.value = std::nan("");
  // Only a text with a comma can hold thousands separators.
  std::string_view cell = trimmed(text);
  std::string cleaned;
  if (cell.find(',') != std::string_view::npos) {
    cleaned = removeThousandsCommaSeparators(cell);
    cell = trimmed(cleaned);
  }
  if (cell.empty()) return reading;
  if (auto value = readDecimalNumber(cell)) {
    reading.value = *value;
    reading.valid = true;
    return reading;
  }
  auto expression = KRExpression::createFromString(cell);
  if (!expression) return reading;
  const auto& constants = KRExpression::knownConstants();
  for (const auto& name : expression->unknowns()) {
    if (!constants.count(name)) {
      reading.expression = std::move(expression);
      return reading;
    }
  }
  if (auto value = expression->evaluateNumber()) {
    reading.value = *value;
    reading.valid = true;
  }
  return reading;
}

namespace {

template <class Texts>
NumberRows readAllCellTexts(const Texts& texts, std::vector<long>* rowsWithNames) {
  const long length = long(texts.size());
  auto values = KRDoubleArrayContainer::createArrayOfLength(length);
  auto mask = KRUCharArrayContainer::createArrayOfLength(length);
  if (!values || !mask) return NumberRows();
  double* v = values->mutableDoublePointer();
  std::uint8_t* m = mask->mutablePointer();
  // The parts of the rows are shared with the threads of the shared
  // operation queue; the rows with names are gathered per part and joined in
  // order.
  const VKOperationQueue& queue = VKOperationQueue::shared();
  const long parts = length >= kRowsReadInParallel ? long(queue.threadLimit()) : 1;
  std::vector<std::vector<long>> named(static_cast<std::size_t>(parts));
  const auto readPart = [&](long part) {
    const long from = length * part / parts;
    const long to = length * (part + 1) / parts;
    for (long r = from; r < to; ++r) {
      const CellReading reading = readCellText(texts[std::size_t(r)]);
      v[r] = reading.value;
      m[r] = reading.valid ? 1 : 0;
      if (reading.expression) named[std::size_t(part)].push_back(r);
    }
  };
  std::vector<std::shared_ptr<VKOperation>> others;
  for (long part = 1; part < parts; ++part) others.push_back(VKOperation::withCall([&readPart, part] { readPart(part); }));
  queue.performOperationsAlongside(others, [&readPart] { readPart(0); });
  if (rowsWithNames) {
    rowsWithNames->clear();
    for (const auto& rows : named) rowsWithNames->insert(rowsWithNames->end(), rows.begin(), rows.end());
  }
  return NumberRows::adopt(std::move(values), std::move(mask));
}

}  // namespace

NumberRows readCellTexts(const std::vector<std::string>& texts, std::vector<long>* rowsWithNames) {
  return readAllCellTexts(texts, rowsWithNames);
}

NumberRows readCellTexts(const CellTextStore& texts, std::vector<long>* rowsWithNames) {
  return readAllCellTexts(texts, rowsWithNames);
}

std::string textForNumber(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Inf" : "-Inf";
  char buffer[32];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return error == std::errc() ? std::string(buffer, end) : std::string();
}

}  // namespace orrelin
