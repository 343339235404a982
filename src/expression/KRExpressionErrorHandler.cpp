#include "expression/KRExpressionErrorHandler.h"

#include <algorithm>

#include "expression/Utf16.h"

namespace orrelin {

void KRExpressionErrorHandler::miscError(const std::string& message, std::int32_t errorNumber, const KRToken* token) {
  hasError_ = true;
  errorNumber_ = errorNumber;
  if (underlyingString_.empty()) {
    errorString_ = message;
    return;
  }
  if (!token) {
    errorString_ = utf8FromUtf16(underlyingString_) + " : " + message;
    return;
  }
  const std::size_t size = underlyingString_.size();
  const std::size_t start = std::min<std::size_t>(token->tokenRange().location, size);
  const std::size_t end = std::min<std::size_t>(start + token->tokenRange().length, size);
  std::u16string_view text(underlyingString_);
  errorString_ = utf8FromUtf16(text.substr(0, start)) + " >>" + token->tokenName() + "<< " +
                 utf8FromUtf16(text.substr(end)) + ": " + message;
}

void KRExpressionErrorHandler::clear() {
  hasError_ = false;
  errorNumber_ = -1;
  errorString_.clear();
}

std::string formatMessage(const char* format, const std::string& text) {
  std::string result(format);
  const auto at = result.find("%@");
  if (at != std::string::npos) result.replace(at, 2, text);
  return result;
}

}  // namespace orrelin
