#include "commands/RowMask.h"

#include <cmath>
#include <map>

#include "expression/KRExpression.h"
#include "graph/commandbase/CommandDocument.h"
#include "table/OrrelinColumn.h"

namespace orrelin {

std::optional<std::vector<std::uint8_t>> computeRowMask(const std::string& formula, long rows,
                                                        CommandDocument* document) {
  const auto expression = KRExpression::createFromString(formula);
  if (!expression || rows < 0) return std::nullopt;
  std::map<std::string, KRValue, std::less<>> arguments;
  for (const auto& name : expression->unknowns()) {
    if (!document) return std::nullopt;
    if (auto column = document->columnWithName(name)) {
      if (!column->isNumberColumn()) return std::nullopt;
      arguments.emplace(name, KRValue::array(column->numberVersion()));
    } else if (auto value = document->parameters().valueForParameter(name)) {
      arguments.emplace(name, KRValue(*value));
    } else {
      return std::nullopt;
    }
  }
  const auto value = expression->evaluateWithArguments(arguments, rows);
  if (!value) return std::nullopt;
  std::vector<std::uint8_t> keep(static_cast<std::size_t>(rows), 0);
  const auto truth = [](double v) -> std::uint8_t { return std::isfinite(v) && v != 0 ? 1 : 0; };
  if (value->isNumber()) {
    std::fill(keep.begin(), keep.end(), truth(value->number()));
  } else if (const auto* array = value->arrayContainer()) {
    const long n = std::min(rows, array->length());
    const double* values = array->constDoublePointer();
    for (long r = 0; r < n; ++r) keep[static_cast<std::size_t>(r)] = truth(values[r]);
  } else {
    return std::nullopt;
  }
  return keep;
}

}  // namespace orrelin
