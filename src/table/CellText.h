#pragma once
// How the text of a typed-in cell becomes a number: a plain number gives
// itself, a formula such as 1/3 gives its value, and a formula that names
// something (a parameter) is kept so that it can be worked out with the
// document's values, now and whenever they change.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "table/CellTextStore.h"
#include "table/NumberRows.h"

namespace orrelin {

class KRExpression;

// "1,234,567.5" becomes "1234567.5": the commas of a number written with
// thousands separators go. Any other text is given back as it is, so a
// formula such as max(1,200) keeps its commas.
std::string removeThousandsCommaSeparators(std::string_view text);

struct CellReading {
  // The number, when the text is one without names (NaN for an empty or
  // unreadable text).
  double value = 0;
  bool valid = false;
  // Set when the formula uses names other than the built-in constants; the
  // value then depends on what those names stand for.
  std::shared_ptr<const KRExpression> expression;
};

CellReading readCellText(std::string_view text);
// Each text read as a cell is, one row per text: a column of numbers read
// from typed or imported texts. Long lists are read on all processors. The
// rows whose formulas name something are invalid here; with
// rowsWithNames they are listed there for the caller to work out.
NumberRows readCellTexts(const std::vector<std::string>& texts, std::vector<long>* rowsWithNames = nullptr);
NumberRows readCellTexts(const CellTextStore& texts, std::vector<long>* rowsWithNames = nullptr);

// A number as text that reads back as the same number: the shortest such
// decimal form, "Inf", "-Inf" or "NaN".
std::string textForNumber(double value);

}  // namespace orrelin
