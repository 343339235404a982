// Any text given to the formula parser gives a tree or one message. A tree
// must survive the stored form unchanged, and rewriting and evaluating it
// (numbers, short double and float columns, derivative pairs) must not fault.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "expression/KRExpression.h"
#include "numeric/KRDoubleArrayContainer.h"
#include "numeric/KRFloatArrayContainer.h"

using namespace orrelin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  KRFunctionDictionary functions;
  functions["v"] = KRUserFunction::subscripted();
  functions["rand"] = KRUserFunction::withCallback(nullptr, 2, 1);
  functions["f"] = KRUserFunction::withExpression(KRExpression::createFromString("a*b+a"), {"a", "b"});

  (void)KRExpression::splitIntoTokens(text);
  KRExpressionErrorHandler errors;
  auto e = KRExpression::createFromString(text, &functions, &errors);
  if (!e) {
    if (!errors.hasError() && !KRExpression::splitIntoTokens(text).has_value()) return 0;
    if (errors.errorString().empty()) std::abort();  // a failure without its message
    return 0;
  }
  auto back = KRExpression::createFromPropertyList(e->propertyList(), &functions);
  if (!back || !nodesAreEqual(e->theEntry().get(), back->theEntry().get(), true)) std::abort();
  (void)e->simplify();
  (void)e->partial("x");
  (void)e->insertFunctions(functions);
  (void)KRExpression::createFromString(e->stringValue(), &functions, nullptr);

  auto column = KRDoubleArrayContainer::createArrayOfLength(4);
  for (long k = 0; k < 4; ++k) column->setValue(0.5 * double(k) - 0.7, k);
  (void)e->evaluateNumberWithArguments({{"x", 1.5}, {"y", -2}});
  (void)e->evaluateWithArguments({{"x", KRValue::array(column)}, {"y", KRValue::derivative(0.3, 1.0)}}, &functions);
  (void)e->evaluateWithArguments({{"x", KRValue::array(column)}, {"y", 2.0}, {"i", KRValue::array(column)}}, -1, nullptr,
                                 nullptr, &functions);
  // Float columns, and a subscripted array given as an argument.
  auto floats = KRFloatArrayContainer::createArrayOfLength(5);
  for (long k = 0; k < 5; ++k) floats->setValue(float(k) - 1.5f, k);
  (void)e->evaluateWithArguments({{"x", KRValue::array(floats)}, {"v", KRValue::array(column)}, {"i", KRValue::array(floats)},
                                  {"y", KRValue::array(column)}},
                                 -1, nullptr, nullptr, &functions);
  return 0;
}
