// Grouped tokens to blocks: runs of characters become strings, groups
// lists, "^" and "_" attach the next item to the block before them, and
// backslash commands are resolved by name, taking the items they need.

#include <algorithm>
#include <string>

#include "mathtext/KRDrawingExpressionBlock.h"

namespace orrelin {

namespace {

using Token = KRDrawingExpressionToken;
using BlockPointer = std::unique_ptr<KRDrawingExpressionBlock>;

// Commands that take arguments nest without braces ("\sqrt\sqrt\sqrt x");
// beyond this depth a command is written out as text instead.
constexpr int kMaximumDepth = 2 * kMathTextMaximumNesting;

// The start of the last UTF-8 character of a non-empty text.
std::size_t lastCharacterStart(const std::string& text) {
  std::size_t i = text.size() - 1;
  while (i > 0 && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) --i;
  return i;
}

class Builder {
 public:
  std::unique_ptr<KRDrawingExpressionBlockList> list(const KRDrawingExpressionTokens& tokens, int depth) {
    auto result = std::make_unique<KRDrawingExpressionBlockList>();
    std::string pending;
    auto flush = [&] {
      if (!pending.empty()) result->addBlock(std::make_unique<KRDrawingExpressionBlockString>(pending));
      pending.clear();
    };
    std::size_t i = 0;
    while (i < tokens.size()) {
      const Token& token = tokens[i];
      switch (token.kind) {
        case Token::Kind::Character:
          pending += token.text;
          ++i;
          break;
        case Token::Kind::Group:
          flush();
          result->addBlock(list(token.group, depth + 1));
          ++i;
          break;
        case Token::Kind::Command: {
          bool superscript = token.type == Token::Superscript;
          if (token.type == Token::OpenBrace || token.type == Token::CloseBrace || !attachScript(tokens, i, depth, superscript, pending, *result)) {
            pending += superscript ? "^" : token.type == Token::Subscript ? "_" : token.type == Token::OpenBrace ? "{" : "}";
            ++i;
          }
          break;
        }
        case Token::Kind::CommandString: {
          ++i;
          BlockPointer block = command(token.text, tokens, i, depth, pending);
          if (block) {
            flush();
            result->addBlock(std::move(block));
          }
          break;
        }
      }
    }
    flush();
    return result;
  }

 private:
  // The next item (a character, a group or a command with its arguments),
  // or null when there is none; i moves past it.
  BlockPointer item(const KRDrawingExpressionTokens& tokens, std::size_t& i, int depth) {
    if (i >= tokens.size()) return nullptr;
    const Token& token = tokens[i];
    switch (token.kind) {
      case Token::Kind::Character: ++i; return std::make_unique<KRDrawingExpressionBlockString>(token.text);
      case Token::Kind::Group: ++i; return list(token.group, depth + 1);
      case Token::Kind::CommandString: {
        ++i;
        std::string text;
        BlockPointer block = command(token.text, tokens, i, depth + 1, text);
        if (block) return block;
        return std::make_unique<KRDrawingExpressionBlockString>(text);
      }
      case Token::Kind::Command: return nullptr;
    }
    return nullptr;
  }

  // An item, or an empty list when there is none.
  BlockPointer argument(const KRDrawingExpressionTokens& tokens, std::size_t& i, int depth) {
    BlockPointer block = item(tokens, i, depth);
    return block ? std::move(block) : std::make_unique<KRDrawingExpressionBlockList>();
  }

  // "^" or "_" at tokens[i] with the item after it. False when it cannot
  // attach (nothing follows, or the block before already has that script);
  // the marker is then a character.
  bool attachScript(const KRDrawingExpressionTokens& tokens, std::size_t& i, int depth, bool superscript,
                    std::string& pending, KRDrawingExpressionBlockList& into) {
    std::size_t next = i + 1;
    if (next >= tokens.size() || tokens[next].kind == Token::Kind::Command) return false;
    auto* previous = pending.empty() && !into.members().empty()
                         ? dynamic_cast<KRDrawingExpressionBlockSuperSubscript*>(into.members().back().get())
                         : nullptr;
    if (previous && (superscript ? previous->superscript() : previous->subscript())) return false;
    BlockPointer script = item(tokens, next, depth + 1);
    if (!script) return false;
    i = next;
    if (previous) {
      if (superscript) previous->setSuperscript(std::move(script));
      else previous->setSubscript(std::move(script));
      return true;
    }
    // The script belongs to the last character of a run, or the last block.
    BlockPointer main;
    if (!pending.empty()) {
      std::size_t start = lastCharacterStart(pending);
      main = std::make_unique<KRDrawingExpressionBlockString>(pending.substr(start));
      pending.resize(start);
      if (!pending.empty()) into.addBlock(std::make_unique<KRDrawingExpressionBlockString>(pending));
      pending.clear();
    } else if (!into.members().empty()) {
      main = into.takeLastBlock();
    }
    into.addBlock(KRDrawingExpressionBlockSuperSubscript::createMainBlock(
        std::move(main), superscript ? std::move(script) : nullptr, superscript ? nullptr : std::move(script)));
    return true;
  }

  // The block of a command whose arguments follow at tokens[i] (i moves past
  // them), or null when the command is text: its characters are appended to
  // text (a symbol's character, or a backslash and the name).
  BlockPointer command(const std::string& name, const KRDrawingExpressionTokens& tokens, std::size_t& i, int depth,
                       std::string& text) {
    KRMathCommand found = KRMathNames::commandFor(name);
    bool takesArguments = found.kind == KRMathCommandKind::Fraction || found.kind == KRMathCommandKind::SquareRoot ||
                          found.kind == KRMathCommandKind::OverUnder;
    if (takesArguments && depth >= kMaximumDepth) found.kind = KRMathCommandKind::Unknown;
    switch (found.kind) {
      case KRMathCommandKind::Fraction: {
        BlockPointer above = argument(tokens, i, depth + 1);
        BlockPointer below = argument(tokens, i, depth + 1);
        return KRDrawingExpressionBlockFraction::createAbove(std::move(above), std::move(below));
      }
      case KRMathCommandKind::SquareRoot: {
        std::unique_ptr<KRDrawingExpressionBlockList> index;
        if (i < tokens.size() && tokens[i].isCharacter("[")) {
          std::size_t close = i + 1;
          while (close < tokens.size() && !tokens[close].isCharacter("]")) ++close;
          if (close < tokens.size()) {
            KRDrawingExpressionTokens inside(tokens.begin() + static_cast<long>(i) + 1,
                                             tokens.begin() + static_cast<long>(close));
            index = list(inside, depth + 1);
            i = close + 1;
          }
        }
        BlockPointer body = argument(tokens, i, depth + 1);
        return KRDrawingExpressionBlockSquareRoot::createWithArgument(std::move(body), std::move(index));
      }
      case KRMathCommandKind::OverUnder: {
        BlockPointer body = argument(tokens, i, depth + 1);
        return KRDrawingExpressionBlockCommand::createWithName(name, std::move(body));
      }
      case KRMathCommandKind::StateChanger:
      case KRMathCommandKind::Icon:
      case KRMathCommandKind::FunctionName:
        return KRDrawingExpressionBlockCommand::createWithName(name);
      case KRMathCommandKind::Symbol:
        text += found.text;
        return nullptr;
      case KRMathCommandKind::Unknown: {
        // A symbol name followed by more letters still counts ("\alphax").
        std::size_t length = KRMathNames::longestSymbolPrefix(name);
        if (length > 0 && !takesArguments) {
          text += *KRMathNames::substituteUnicodeCharacters(name.substr(0, length)) + name.substr(length);
        } else {
          text += "\\" + name;
        }
        return nullptr;
      }
    }
    return nullptr;
  }
};

}  // namespace

std::unique_ptr<KRDrawingExpressionBlockList> KRDrawingExpressionBlock::createFromBlockedTokens(
    const KRDrawingExpressionTokens& tokens) {
  return Builder().list(tokens, 0);
}

std::unique_ptr<KRDrawingExpressionBlockList> KRDrawingExpressionBlock::createFromString(std::string_view text) {
  // Most labels are plain numbers and words: ASCII without markup is one
  // string, whatever the tokens would say.
  bool plain = std::all_of(text.begin(), text.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x80 && c != '\\' && c != '{' && c != '}' && c != '^' && c != '_';
  });
  if (plain) {
    auto list = std::make_unique<KRDrawingExpressionBlockList>();
    if (!text.empty()) list->addBlock(std::make_unique<KRDrawingExpressionBlockString>(std::string(text)));
    return list;
  }
  return createFromBlockedTokens(groupIntoSubBlocks(splitIntoTokens(text)));
}

}  // namespace orrelin
