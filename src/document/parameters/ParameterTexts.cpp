#include "ParameterTexts.h"

#include <cmath>

#include "expression/KRExpressionNodes.h"

namespace orrelin::parameter_texts {

std::string fillIn(const char* format, std::initializer_list<std::string> values) {
  std::string result;
  auto next = values.begin();
  for (const char* p = format; *p; ++p) {
    if (p[0] == '%' && (p[1] == '@' || p[1] == 'd') && next != values.end()) {
      result += *next++;
      ++p;
    } else {
      result += *p;
    }
  }
  return result;
}

std::string numberText(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Inf" : "-Inf";
  return shortestNumberText(value);
}

}  // namespace orrelin::parameter_texts
