// Any text given to the formula parser gives a tree or one message. A tree
// must survive the stored form unchanged, and rewriting it must not fault.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "expression/KRExpression.h"

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
  return 0;
}
