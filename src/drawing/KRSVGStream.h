#pragma once
// The SVG text of a drawing as its objects write it. One place says how
// numbers (as "%g": six significant digits, in every locale), colours and
// identifiers are written and how long path data is wrapped, so every kind's
// hook writes them alike.

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "platform/KRColor.h"

namespace orrelin {

class KRSVGStream {
 public:
  // Appends the pattern with each "%g", "%d" or "%s" replaced by the next
  // argument, written as its type is (numbers as SVG numbers); "%%" is a
  // percent sign.
  template <class... Args>
  KRSVGStream& append(std::string_view pattern, const Args&... args) {
    const std::string pieces[] = {piece(args)..., std::string()};
    fill(pattern, pieces, sizeof...(Args));
    return *this;
  }
  KRSVGStream& operator<<(std::string_view text) {
    text_ += text;
    return *this;
  }
  const std::string& text() const { return text_; }

  static std::string number(double value);
  // The colour in device RGB, inside double quotes: "black", "white" or
  // "rgb(r,g,b)" with the components times 255, rounded.
  static std::string colorText(const KRColor& color);
  // Text with the characters that mean something in XML escaped.
  static std::string escaped(std::string_view text);
  // Element content: only "&", "<" and ">" escaped, so the file stays
  // well-formed XML and the text is otherwise written as it is.
  static std::string escapedText(std::string_view text);

 private:
  static std::string piece(double v) { return number(v); }
  static std::string piece(float v) { return number(v); }
  static std::string piece(int v) { return std::to_string(v); }
  static std::string piece(long v) { return std::to_string(v); }
  static std::string piece(std::string_view v) { return std::string(v); }
  static std::string piece(const std::string& v) { return v; }
  static std::string piece(const char* v) { return v; }
  void fill(std::string_view pattern, const std::string* pieces, std::size_t count);

  std::string text_;
};

// What one SVG document's objects share while they write it: the sets of
// identifiers already used, and values the enclosing objects pass down
// (such as the current font).
class KRSVGInfo {
 public:
  // base, or base followed by 2, 3, 4 ... : the first not yet in the named
  // set; it is added to the set.
  std::string uniqueIdentifier(const std::string& setName, const std::string& base);
  std::map<std::string, std::string>& values() { return values_; }

 private:
  std::map<std::string, std::set<std::string>> sets_;
  std::map<std::string, std::string> values_;
};

// Path data written into a line buffer that is wrapped when it grows
// beyond a limit: the line goes to the stream with a newline, and the next
// one starts with the indent and nine blanks. The limit is the length of
// that prefix plus 40, but at least minimumLimit.
class KRSVGPathData {
 public:
  KRSVGPathData(KRSVGStream& stream, std::string_view indent, std::size_t minimumLimit);
  template <class... Args>
  void add(std::string_view pattern, const Args&... args) {
    KRSVGStream piece;
    piece.append(pattern, args...);
    add(piece.text());
  }
  void add(std::string_view text);
  // Writes what is left in the buffer.
  void finish();

 private:
  KRSVGStream& stream_;
  std::string prefix_;
  std::size_t limit_;
  std::string line_;
};

}  // namespace orrelin
