#include "drawing/KRSVGStream.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace orrelin {

std::string KRSVGStream::number(double value) {
  char buffer[64];
  // Formatted as printf's %g is, but never with a locale's decimal comma.
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
  return std::string(buffer, result.ptr);
}

std::string KRSVGStream::colorText(const KRColor& color) {
  if (color.isPureBlack()) return "\"black\"";
  if (color.isPureWhite()) return "\"white\"";
  auto c = color.rgbComponents();
  auto byte = [](double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
  return "\"rgb(" + std::to_string(byte(c[0])) + "," + std::to_string(byte(c[1])) + "," + std::to_string(byte(c[2])) +
         ")\"";
}

std::string KRSVGStream::escaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#x27;"; break;
      case '>': out += "&gt;"; break;
      case '<': out += "&lt;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string KRSVGStream::escapedText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '>': out += "&gt;"; break;
      case '<': out += "&lt;"; break;
      default: out += c;
    }
  }
  return out;
}

void KRSVGStream::fill(std::string_view pattern, const std::string* pieces, std::size_t count) {
  std::size_t next = 0;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    char c = pattern[i];
    if (c == '%' && i + 1 < pattern.size()) {
      char kind = pattern[i + 1];
      if (kind == '%') {
        text_ += '%';
        ++i;
        continue;
      }
      if (kind == 'g' || kind == 'd' || kind == 's') {
        if (next < count) text_ += pieces[next++];
        ++i;
        continue;
      }
    }
    text_ += c;
  }
}

std::string KRSVGInfo::uniqueIdentifier(const std::string& setName, const std::string& base) {
  auto& used = sets_[setName];
  std::string identifier = base;
  for (int n = 2; used.count(identifier); ++n) identifier = base + std::to_string(n);
  used.insert(identifier);
  return identifier;
}

KRSVGPathData::KRSVGPathData(KRSVGStream& stream, std::string_view indent, std::size_t minimumLimit)
    : stream_(stream), prefix_(std::string(indent) + std::string(9, ' ')),
      limit_(std::max(prefix_.size() + 40, minimumLimit)) {}

void KRSVGPathData::add(std::string_view text) {
  line_ += text;
  if (line_.size() <= limit_) return;
  line_ += '\n';
  stream_ << line_;
  line_ = prefix_;
}

void KRSVGPathData::finish() {
  stream_ << line_;
  line_.clear();
}

}  // namespace orrelin
