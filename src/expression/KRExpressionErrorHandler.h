#pragma once
// Collects the message of a failed parse. Only the last error is kept; with
// the formula text known, the message shows where in the text it happened.

#include <cstdint>
#include <string>

#include "expression/KRToken.h"

namespace orrelin {

class KRExpressionErrorHandler {
 public:
  KRExpressionErrorHandler() = default;
  explicit KRExpressionErrorHandler(std::u16string underlyingString) : underlyingString_(std::move(underlyingString)) {}

  void miscError(const std::string& message, const KRToken* token = nullptr) { miscError(message, -1, token); }
  void miscError(const std::string& message, std::int32_t errorNumber, const KRToken* token);

  bool hasError() const { return hasError_; }
  std::int32_t errorNumber() const { return errorNumber_; }
  // The text of the last error, or the empty string.
  const std::string& errorString() const { return errorString_; }
  const std::u16string& underlyingString() const { return underlyingString_; }
  void setUnderlyingString(std::u16string text) { underlyingString_ = std::move(text); }
  void clear();

 private:
  std::int32_t errorNumber_ = -1;
  std::string errorString_;
  std::u16string underlyingString_;
  bool hasError_ = false;
};

// "%@" in a message replaced by the text.
std::string formatMessage(const char* format, const std::string& text);

}  // namespace orrelin
