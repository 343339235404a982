// From tokens to a tree: brackets first (innermost groups become nodes),
// then comma splitting, then one pass per precedence level over the flat
// list of each group.

#include <algorithm>

#include "expression/KRExpression.h"
#include "expression/KRExpressionMessages.h"
#include "platform/TextEncoding.h"

namespace orrelin {

namespace msg = expression_messages;
using Item = KRExpression::Item;

namespace {

// Precedence passes, tightest first.
int passOfOperator(const std::string& name) { return operatorPrecedence(operatorTypeForName(name)); }

bool isRawOperator(const Item& item) { return !item.node && item.token.isOperator(); }

// A token to report at for an item: its own, or the token of its node.
const KRToken* tokenOf(const Item& item) {
  if (!item.node) return &item.token;
  switch (item.node->expType()) {
    case KRExpressionValueType: return &static_cast<const KRExpressionValue&>(*item.node).token;
    case KRExpressionConstantType: return &static_cast<const KRExpressionConstant&>(*item.node).token;
    case KRExpressionBinaryOperatorType: return &static_cast<const KRExpressionBinaryOperator&>(*item.node).token;
    case KRExpressionFunctionType: return &static_cast<const KRExpressionFunction&>(*item.node).token;
    default: return nullptr;
  }
}

class Reducer {
 public:
  explicit Reducer(KRExpressionEvaluationHandler& handler) : handler_(handler) {}

  KRNodePtr reduce(std::vector<Item> items);

 private:
  bool fail(const char* message, const KRToken* token, int number = -1) {
    handler_.errorHandler.miscError(message, number, token);
    return false;
  }
  bool tooDeep(const KRNodePtr& node, const KRToken* token) {
    if (node->depth() <= KRExpression::kMaximumDepth) return false;
    fail(msg::kNestedTooDeeply, token);
    return true;
  }
  // -1 times the node, the product marked at the sign.
  KRNodePtr negated(const KRNodePtr& node, const KRToken& sign) {
    auto minusOne = KRExpressionValue::createWithNumber(-1, KRToken::number("-1", sign.tokenRange()));
    return std::make_shared<KRExpressionBinaryOperator>(KRToken::elementaryOperator("*", sign.tokenRange().location, 0),
                                                        minusOne, node);
  }

  bool leadingSign(std::vector<Item>& items);
  bool makeLeaves(std::vector<Item>& items);
  void implicitProducts(std::vector<Item>& items);
  bool bindArguments(std::vector<Item>& items);
  bool adjacentNames(const std::vector<Item>& items);
  bool operatorPass(std::vector<Item>& items, int pass);

  KRExpressionEvaluationHandler& handler_;
};

bool Reducer::leadingSign(std::vector<Item>& items) {
  if (items.empty() || !isRawOperator(items[0])) return true;
  if (items.size() == 1) return fail(msg::kIllegalOperator, &items[0].token);
  const KRToken sign = items[0].token;
  const Item& next = items[1];
  if (sign.tokenName() == "-" && !next.node && next.token.expType() == KRTokenNumber) {
    const KRRange range{sign.tokenRange().location, next.token.tokenRange().end() - sign.tokenRange().location};
    items[1].token = KRToken::number("-" + next.token.tokenName(), range);
    items.erase(items.begin());
    return true;
  }
  if (sign.tokenName() == "-" && !isRawOperator(next)) {
    items[0].token = KRToken::number("-1", sign.tokenRange());
    items.insert(items.begin() + 1, Item{KRToken::elementaryOperator("*", sign.tokenRange().location, 0), nullptr});
    return true;
  }
  if (sign.tokenName() == "+" && !isRawOperator(next)) {
    items.erase(items.begin());
    return true;
  }
  if (sign.tokenName() == "-") return fail(msg::kIllegalOperator, tokenOf(items[1]));
  return fail(msg::kIllegalOperator, &items[0].token);
}

bool Reducer::makeLeaves(std::vector<Item>& items) {
  for (std::size_t k = 0; k < items.size(); ++k) {
    Item& item = items[k];
    if (item.node) continue;
    const KRToken& token = item.token;
    if (token.expType() == KRTokenNumber) {
      auto value = std::make_shared<KRExpressionValue>(token);
      if (token.tokenName() == "." || token.tokenName() == "-." ||
          !KRExpression::numberFromText(token.tokenName()).has_value())
        return fail(msg::kInvalidNumber, &token);
      item.node = std::move(value);
      continue;
    }
    if (token.expType() != KRTokenSymbol) continue;
    const bool followedByNode = k + 1 < items.size() && items[k + 1].node;
    if (followedByNode) {
      auto function = KRExpressionFunction::initWithToken(token, handler_.knownFunctions);
      if (!function)
        return fail(msg::kOnlyFunctionHasArgument, &token, msg::kOnlyFunctionHasArgumentNumber);
      item.node = std::move(function);
      continue;
    }
    if (KRExpressionFunction::initWithToken(token, handler_.knownFunctions)) return fail(msg::kNeedsAnArgument, &token);
    handler_.addToVariables(token.tokenName());
    item.node = std::make_shared<KRExpressionConstant>(token);
  }
  return true;
}

void Reducer::implicitProducts(std::vector<Item>& items) {
  for (std::size_t k = 0; k + 1 < items.size(); ++k) {
    if (!items[k].node || items[k].node->expType() != KRExpressionConstantType) continue;
    const auto right = items[k + 1].expType();
    if (right != KRExpressionValueType && right != KRExpressionListType) continue;
    const KRToken& name = static_cast<const KRExpressionConstant&>(*items[k].node).token;
    items.insert(items.begin() + static_cast<long>(k) + 1,
                 Item{KRToken::elementaryOperator("*", name.tokenRange().end(), 0), nullptr});
    ++k;
  }
}

bool Reducer::bindArguments(std::vector<Item>& items) {
  for (std::size_t k = items.size(); k-- > 0;) {
    if (!items[k].node || items[k].node->expType() != KRExpressionFunctionType) continue;
    const auto& function = static_cast<const KRExpressionFunction&>(*items[k].node);
    if (function.argument) continue;
    if (k + 1 >= items.size()) {
      return fail(function.functionType == KRFunctionType::Subscript ? msg::kNoSubscript : msg::kNoArgument,
                  &function.token);
    }
    const Item& next = items[k + 1];
    const auto kind = next.expType();
    if (kind == KRExpressionValueType || kind == KRExpressionConstantType || kind == KRExpressionListType ||
        kind == KRExpressionFunctionType) {
      if (!function.legalArgument(*next.node)) return fail(msg::kIllegalArgumentForThisFunction, &function.token);
    } else if (kind != KRExpressionBinaryOperatorType) {
      return fail(msg::kIllegalArgumentForAFunction, &function.token);
    }
    const int count = KRExpressionFunction::argumentCountOf(*next.node);
    handler_.addToFunctions(function.functionName, count, functionUseType(function.functionType));
    KRNodePtr bound = function.withArgument(next.node);
    if (tooDeep(bound, &function.token)) return false;
    items[k].node = std::move(bound);
    items.erase(items.begin() + static_cast<long>(k) + 1);
  }
  return true;
}

bool Reducer::adjacentNames(const std::vector<Item>& items) {
  for (std::size_t k = items.size(); k-- > 1;) {
    if (items[k].expType() != KRExpressionConstantType || items[k - 1].expType() != KRExpressionConstantType) continue;
    if (k - 1 == 0) continue;
    return fail(msg::kUnknownFunction, tokenOf(items[k - 1]));
  }
  return true;
}

bool Reducer::operatorPass(std::vector<Item>& items, int pass) {
  const bool rightToLeft = pass == 1;
  const long n = static_cast<long>(items.size());
  std::vector<Item> out;
  out.reserve(items.size());
  const auto ahead = [&](long i, long steps) -> const Item* {
    const long j = rightToLeft ? i - steps : i + steps;
    return (j >= 0 && j < n) ? &items[j] : nullptr;
  };
  const auto combine = [&](const KRToken& op, const KRNodePtr& first, const KRNodePtr& second) -> KRNodePtr {
    if (first->expType() == KRExpressionListType && second->expType() == KRExpressionListType &&
        static_cast<const KRExpressionList&>(*first).expressionList.size() !=
            static_cast<const KRExpressionList&>(*second).expressionList.size()) {
      fail(msg::kEntriesHaveToMatch, &op);
      return nullptr;
    }
    auto node = std::make_shared<KRExpressionBinaryOperator>(op, first, second);
    if (tooDeep(node, &op)) return nullptr;
    return node;
  };

  for (long step = 0; step < n; ++step) {
    const long i = rightToLeft ? n - 1 - step : step;
    const Item& item = items[i];
    if (!isRawOperator(item) || passOfOperator(item.token.tokenName()) != pass) {
      out.push_back(item);
      continue;
    }
    const KRToken& op = item.token;
    if (out.empty()) return fail(msg::kNoFirstArgument, &op);
    const Item* next = ahead(i, 1);
    if (!next) return fail(msg::kNoSecondArgument, &op);
    Item& passed = out.back();

    if (passed.isNode() && next->isNode()) {
      KRNodePtr node = rightToLeft ? combine(op, next->node, passed.node) : combine(op, passed.node, next->node);
      if (!node) return false;
      passed = Item{{}, std::move(node)};
      ++step;
      continue;
    }
    // 2*-3, 2--3: the operand ahead is a sign and a node.
    if (!rightToLeft && passed.isNode() && isRawOperator(*next) && next->token.tokenName() == "-") {
      const Item* beyond = ahead(i, 2);
      if (beyond && beyond->isNode()) {
        KRNodePtr node = combine(op, passed.node, negated(beyond->node, next->token));
        if (!node) return false;
        passed = Item{{}, std::move(node)};
        step += 2;
        continue;
      }
    }
    // 2^-3: walking right to left, the passed operand is the sign and the
    // node beyond it is the exponent.
    if (rightToLeft && isRawOperator(passed) && passed.token.tokenName() == "-" && out.size() >= 2 &&
        out[out.size() - 2].isNode() && next->isNode()) {
      const KRToken sign = passed.token;
      KRNodePtr exponent = negated(out[out.size() - 2].node, sign);
      out.pop_back();
      KRNodePtr node = combine(op, next->node, exponent);
      if (!node) return false;
      out.back() = Item{{}, std::move(node)};
      ++step;
      continue;
    }
    // 1<-2: a "-" right after a looser operator is a sign.
    if (op.tokenName() == "-" && isRawOperator(passed) && passOfOperator(passed.token.tokenName()) > pass &&
        next->isNode()) {
      KRNodePtr node = negated(next->node, op);
      if (tooDeep(node, &op)) return false;
      out.push_back(Item{{}, std::move(node)});
      ++step;
      continue;
    }
    if (!passed.isNode()) return fail(msg::kNoFirstArgument, &op);
    return fail(msg::kIllegalArgumentForBinaryOperator, &op);
  }
  if (rightToLeft) std::reverse(out.begin(), out.end());
  items = std::move(out);
  return true;
}

KRNodePtr Reducer::reduce(std::vector<Item> items) {
  if (!leadingSign(items)) return nullptr;
  if (!makeLeaves(items)) return nullptr;
  implicitProducts(items);
  if (!bindArguments(items)) return nullptr;
  if (!adjacentNames(items)) return nullptr;
  for (int pass = 1; pass <= 7; ++pass)
    if (!operatorPass(items, pass)) return nullptr;
  if (items.size() != 1 || !items[0].node) {
    fail(msg::kCouldNotParse, nullptr);
    return nullptr;
  }
  return items[0].node;
}

}  // namespace

KRNodePtr KRExpression::expressionFromTokens(std::vector<Item> items, KRExpressionEvaluationHandler& handler) {
  return Reducer(handler).reduce(std::move(items));
}

KRNodePtr KRExpression::createFromTokens(std::vector<Item> items, KRExpressionEvaluationHandler& handler) {
  if (items.size() == 1 && items[0].node) return items[0].node;
  std::vector<KRNodePtr> parts;
  std::vector<Item> part;
  const KRToken* lastComma = nullptr;
  bool sawComma = false;
  const auto finishPart = [&](const KRToken* separator) -> bool {
    KRNodePtr node = expressionFromTokens(std::move(part), handler);
    part.clear();
    if (!node) return false;
    if (sawComma && node->expType() == KRExpressionListType) {
      handler.errorHandler.miscError(msg::kListInsideList, separator);
      return false;
    }
    parts.push_back(std::move(node));
    return true;
  };
  for (auto& item : items) {
    if (!item.node && item.token.expType() == KRTokenComma) {
      sawComma = true;
      if (part.empty()) {
        handler.errorHandler.miscError(msg::kNothingForEntry, &item.token);
        return nullptr;
      }
      if (!finishPart(&item.token)) return nullptr;
      lastComma = &item.token;
      continue;
    }
    part.push_back(std::move(item));
  }
  if (part.empty()) {
    if (sawComma) {
      handler.errorHandler.miscError(msg::kEndsInComma, lastComma);
      return nullptr;
    }
    handler.errorHandler.miscError(msg::kCouldNotParse, nullptr);
    return nullptr;
  }
  if (!finishPart(lastComma)) return nullptr;
  if (!sawComma) return parts.front();
  auto list = std::make_shared<KRExpressionList>(std::move(parts));
  if (list->depth() > kMaximumDepth) {
    handler.errorHandler.miscError(msg::kNestedTooDeeply, lastComma);
    return nullptr;
  }
  return list;
}

std::shared_ptr<KRExpression> KRExpression::createFromString(std::string_view text, const KRFunctionDictionary* functions,
                                                             KRExpressionErrorHandler* errorHandler) {
  KRExpressionErrorHandler scratch;
  KRExpressionErrorHandler& errors = errorHandler ? *errorHandler : scratch;
  try {
    std::u16string wide = utf16ReplacingInvalidUTF8(text);
    errors.setUnderlyingString(wide);
    auto tokens = splitIntoTokens(std::u16string_view(wide));
    if (!tokens) return nullptr;

    KRExpressionEvaluationHandler handler(errors, functions);
    struct OpenBracket {
      KRToken token;
      std::size_t start;
    };
    std::vector<Item> working;
    std::vector<OpenBracket> open;
    working.reserve(tokens->size());
    for (auto& token : *tokens) {
      const auto kind = token.expType();
      if (kind == KRTokenStartParenthesis || kind == KRTokenStartCurlyBrace) {
        open.push_back({token, working.size()});
        continue;
      }
      if (kind != KRTokenEndParenthesis && kind != KRTokenEndCurlyBrace) {
        working.push_back(Item{std::move(token), nullptr});
        continue;
      }
      if (open.empty()) {
        errors.miscError(msg::kUnbalancedParenthesis, &token);
        return nullptr;
      }
      const auto opening = open.back().token.expType();
      if (kind == KRTokenEndParenthesis && opening == KRTokenStartCurlyBrace) {
        errors.miscError(msg::kBalanceCurlyNotParenthesis, &token);
        return nullptr;
      }
      if (kind == KRTokenEndCurlyBrace && opening == KRTokenStartParenthesis) {
        errors.miscError(msg::kBalanceParenthesisNotCurly, &token);
        return nullptr;
      }
      const std::size_t start = open.back().start;
      open.pop_back();
      if (start == working.size()) continue;
      std::vector<Item> group(std::make_move_iterator(working.begin() + static_cast<long>(start)),
                              std::make_move_iterator(working.end()));
      working.resize(start);
      KRNodePtr node = createFromTokens(std::move(group), handler);
      if (!node) return nullptr;
      working.push_back(Item{{}, std::move(node)});
    }
    if (!open.empty()) {
      errors.miscError(msg::kUnbalancedParenthesis, &open.back().token);
      return nullptr;
    }
    KRNodePtr root;
    if (!working.empty()) {
      root = createFromTokens(std::move(working), handler);
      if (!root) return nullptr;
    }
    return std::make_shared<KRExpression>(std::move(root), std::move(handler.variables),
                                          std::move(handler.functionsUsed), std::move(wide));
  } catch (...) {
    // Only running out of memory can get here; the caller sees a failed parse.
    errors.miscError(msg::kCouldNotParse, nullptr);
    return nullptr;
  }
}

}  // namespace orrelin
