// The stored form of a tree, for documents that keep parsed formulas. The
// nodes are written children first into one flat array; each entry is
//   [kind, [token kind, token text, location, length], fields...]
// with fields by kind:
//   value     numberString, the value as shortest exact text
//   constant  name
//   list      [entry indices]
//   operator  operator text, first index, second index
//   function  name, function type (0 built-in, 1 expression, 2 callback,
//             3 subscript), argument index or -1
// A reader accepts only indices that point to earlier entries, so a
// damaged array can neither loop nor recurse without end.

#include <charconv>
#include <cmath>

#include "expression/KRExpression.h"
#include "expression/KRExpressionMessages.h"
#include "platform/TextEncoding.h"

namespace orrelin {

namespace msg = expression_messages;

namespace {

constexpr const char* kTypeName = "Formula";
constexpr std::int64_t kVersion = 1;

PropertyList tokenEntry(const KRToken& token) {
  return PlistArray{PropertyList(static_cast<std::int64_t>(token.expType())), PropertyList(token.tokenName()),
                    PropertyList(static_cast<std::int64_t>(token.tokenRange().location)),
                    PropertyList(static_cast<std::int64_t>(token.tokenRange().length))};
}

std::optional<KRToken> readToken(const PropertyList& entry) {
  if (!entry.isArray() || entry.array().size() != 4) return std::nullopt;
  const auto& a = entry.array();
  if (!a[0].isInteger() || !a[1].isString() || !a[2].isInteger() || !a[3].isInteger()) return std::nullopt;
  const std::int64_t type = a[0].integer(), location = a[2].integer(), length = a[3].integer();
  if (type < KRTokenStartParenthesis || type > KRTokenComma) return std::nullopt;
  if (location < 0 || length < 0 || location > UINT32_MAX || length > UINT32_MAX) return std::nullopt;
  return KRToken(static_cast<std::int32_t>(type), a[1].string(),
                 KRRange{static_cast<std::uint32_t>(location), static_cast<std::uint32_t>(length)});
}

class Reader {
 public:
  Reader(const PlistArray& entries, const KRFunctionDictionary* functions, KRExpressionErrorHandler& errors)
      : entries_(entries), functions_(functions), errors_(errors), nodes_(entries.size()) {}

  // Builds the entries in order up to and including location.
  KRNodePtr nodeAt(std::int64_t location) {
    if (location < 0 || location >= static_cast<std::int64_t>(entries_.size())) return damaged();
    for (std::size_t k = built_; k <= static_cast<std::size_t>(location); ++k) {
      nodes_[k] = build(k);
      if (!nodes_[k]) return nullptr;
      built_ = k + 1;
    }
    return nodes_[location];
  }

 private:
  KRNodePtr damaged() {
    errors_.miscError(msg::kDamagedStoredFormula);
    return nullptr;
  }

  // An earlier node; null when the index does not point backwards.
  KRNodePtr earlier(const PropertyList& index, std::size_t self) {
    if (!index.isInteger()) return nullptr;
    const std::int64_t k = index.integer();
    if (k < 0 || static_cast<std::size_t>(k) >= self) return nullptr;
    return nodes_[k];
  }

  KRNodePtr build(std::size_t k) {
    const PropertyList& entry = entries_[k];
    if (!entry.isArray() || entry.array().size() < 3 || !entry.array()[0].isInteger()) return damaged();
    const auto& a = entry.array();
    const auto token = readToken(a[1]);
    if (!token) return damaged();
    KRNodePtr node;
    switch (a[0].integer()) {
      case KRExpressionValueType: {
        if (a.size() != 4 || !a[2].isString() || !a[3].isString()) return damaged();
        double value = 0;
        const std::string& text = a[3].string();
        const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
        if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return damaged();
        node = std::make_shared<KRExpressionValue>(value, a[2].string(), *token);
        break;
      }
      case KRExpressionConstantType: {
        if (a.size() != 3 || !a[2].isString()) return damaged();
        KRToken nameToken(token->expType(), a[2].string(), token->tokenRange());
        node = std::make_shared<KRExpressionConstant>(nameToken);
        break;
      }
      case KRExpressionListType: {
        if (a.size() != 3 || !a[2].isArray() || a[2].array().empty()) return damaged();
        std::vector<KRNodePtr> list;
        for (const auto& index : a[2].array()) {
          list.push_back(earlier(index, k));
          if (!list.back() || list.back()->expType() == KRExpressionListType) return damaged();
        }
        node = std::make_shared<KRExpressionList>(std::move(list));
        break;
      }
      case KRExpressionBinaryOperatorType: {
        if (a.size() != 5 || !a[2].isString()) return damaged();
        const KROperatorType type = operatorTypeForName(a[2].string());
        KRNodePtr first = earlier(a[3], k), second = earlier(a[4], k);
        if (type == KROperatorType::None || !first || !second) return damaged();
        node = std::make_shared<KRExpressionBinaryOperator>(KRToken(token->expType(), a[2].string(), token->tokenRange()),
                                                            first, second);
        break;
      }
      case KRExpressionFunctionType: {
        if (a.size() != 5 || !a[2].isString() || !a[3].isInteger() || !a[4].isInteger()) return damaged();
        const std::string& name = a[2].string();
        const std::int64_t type = a[3].integer();
        if (type < 0 || type > 3) return damaged();
        KRToken nameToken(token->expType(), name, token->tokenRange());
        auto function = KRExpressionFunction::initWithToken(nameToken, functions_);
        if (!function || static_cast<std::int64_t>(function->functionType) != type) {
          const auto kind = static_cast<KRFunctionType>(type);
          if (kind == KRFunctionType::BuiltIn || kind == KRFunctionType::Expression) {
            errors_.miscError(formatMessage(msg::kStoredFunctionMissing, name));
            return nullptr;
          }
          // Callbacks and subscripted variables are bound when evaluated.
          function = std::make_shared<KRExpressionFunction>();
          function->token = nameToken;
          function->functionName = name;
          function->functionType = kind;
        }
        KRNodePtr argument;
        if (a[4].integer() != -1) {
          argument = earlier(a[4], k);
          if (!argument) return damaged();
        }
        node = argument ? KRNodePtr(function->withArgument(argument)) : KRNodePtr(function);
        break;
      }
      default:
        return damaged();
    }
    if (node->depth() > KRExpression::kMaximumDepth) {
      errors_.miscError(msg::kNestedTooDeeply);
      return nullptr;
    }
    return node;
  }

  const PlistArray& entries_;
  const KRFunctionDictionary* functions_;
  KRExpressionErrorHandler& errors_;
  std::vector<KRNodePtr> nodes_;
  std::size_t built_ = 0;
};

}  // namespace

std::int64_t KRExpression::putIntoArray(const KRExpressionNode& node, PlistArray& allEntries) {
  PlistArray entry{PropertyList(static_cast<std::int64_t>(node.expType()))};
  switch (node.expType()) {
    case KRExpressionValueType: {
      const auto& v = static_cast<const KRExpressionValue&>(node);
      entry.push_back(tokenEntry(v.token));
      entry.emplace_back(v.numberString);
      entry.emplace_back(shortestNumberText(v.numberValue));
      break;
    }
    case KRExpressionConstantType: {
      const auto& c = static_cast<const KRExpressionConstant&>(node);
      entry.push_back(tokenEntry(c.token));
      entry.emplace_back(c.constantName);
      break;
    }
    case KRExpressionListType: {
      PlistArray indices;
      for (const auto& child : static_cast<const KRExpressionList&>(node).expressionList)
        indices.emplace_back(putIntoArray(*child, allEntries));
      entry.push_back(tokenEntry(KRToken::commaAt(0)));
      entry.emplace_back(std::move(indices));
      break;
    }
    case KRExpressionBinaryOperatorType: {
      const auto& op = static_cast<const KRExpressionBinaryOperator&>(node);
      const std::int64_t first = putIntoArray(*op.firstArgument, allEntries);
      const std::int64_t second = putIntoArray(*op.secondArgument, allEntries);
      entry.push_back(tokenEntry(op.token));
      entry.emplace_back(op.operatorName);
      entry.emplace_back(first);
      entry.emplace_back(second);
      break;
    }
    case KRExpressionFunctionType: {
      const auto& f = static_cast<const KRExpressionFunction&>(node);
      const std::int64_t argument = f.argument ? putIntoArray(*f.argument, allEntries) : -1;
      entry.push_back(tokenEntry(f.token));
      entry.emplace_back(f.functionName);
      entry.emplace_back(static_cast<std::int64_t>(f.functionType));
      entry.emplace_back(argument);
      break;
    }
    default:
      break;
  }
  allEntries.emplace_back(std::move(entry));
  return static_cast<std::int64_t>(allEntries.size()) - 1;
}

KRNodePtr KRExpression::createFromArray(const PlistArray& allEntries, std::int64_t location,
                                        const KRFunctionDictionary* functions, KRExpressionErrorHandler& errorHandler) {
  Reader reader(allEntries, functions, errorHandler);
  return reader.nodeAt(location);
}

PropertyList KRExpression::propertyList() const {
  PlistArray entries;
  const std::int64_t root = theEntry_ ? putIntoArray(*theEntry_, entries) : -1;
  PlistDictionary dictionary;
  dictionary["Type"] = kTypeName;
  dictionary["Version"] = kVersion;
  dictionary["Entries"] = std::move(entries);
  dictionary["Root"] = root;
  dictionary["Text"] = text();
  return dictionary;
}

std::shared_ptr<KRExpression> KRExpression::createFromPropertyList(const PropertyList& list,
                                                                   const KRFunctionDictionary* functions,
                                                                   KRExpressionErrorHandler* errorHandler) {
  KRExpressionErrorHandler scratch;
  KRExpressionErrorHandler& errors = errorHandler ? *errorHandler : scratch;
  const auto type = list.stringForKey("Type");
  const auto version = list.integerForKey("Version");
  const auto* entries = list.arrayForKey("Entries");
  const auto root = list.integerForKey("Root");
  if (!type || *type != kTypeName || !version || *version != kVersion || !entries || !root) {
    errors.miscError(msg::kDamagedStoredFormula);
    return nullptr;
  }
  std::u16string text = utf16ReplacingInvalidUTF8(list.stringForKey("Text").value_or(""));
  if (*root == -1) return createWithRoot(nullptr, std::move(text));
  KRNodePtr node = createFromArray(*entries, *root, functions, errors);
  if (!node) return nullptr;
  return createWithRoot(std::move(node), std::move(text));
}

}  // namespace orrelin
