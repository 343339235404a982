#include "table/import/RichTextReader.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "platform/TextEncoding.h"
#include "table/import/TextDecoding.h"
#include "table/import/TextFileReading.h"

namespace orrelin {

namespace {

// Groups that hold no body text, by the control word that opens them.
bool isSkippedDestination(std::string_view word) {
  static constexpr std::string_view kSkipped[] = {
      "fonttbl", "colortbl", "stylesheet", "info", "pict", "header", "footer", "headerl", "headerr", "headerf",
      "footerl", "footerr", "footerf", "footnote", "listtable", "listoverridetable", "revtbl", "rsidtbl",
      "generator", "xmlnstbl", "themedata", "colorschememapping", "latentstyles", "datastore", "object",
      "fldinst", "expandedcolortbl", "filetbl", "nonshppict", "shppict", "NeXTGraphic"};
  for (std::string_view skipped : kSkipped)
    if (word == skipped) return true;
  return false;
}

std::string windowsLatin1ToUTF8(std::string_view bytes) {
  // Windows code page 1252: Latin-1 with printable characters in 0x80-0x9F.
  static constexpr char16_t kHigh[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x2026, 0x2020, 0x2021, 0x02C6,
                                         0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD,
                                         0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                         0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
  std::string units;
  units.reserve(bytes.size() * 2);
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    const char16_t u = (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : char16_t(b);
    units.push_back(char(u & 0xFF));
    units.push_back(char(u >> 8));
  }
  return utf8FromUTF16(units, false);
}

// What the document says its 8-bit characters are.
enum class CodePage { Ansi, Mac, Pc, Utf8Bytes };

class RichTextScanner {
 public:
  explicit RichTextScanner(std::string_view rtf) : rtf_(rtf) {}

  std::string run() {
    struct Group {
      bool skipping;
      int unicodeSkip;
    };
    std::vector<Group> groups{{false, 1}};
    while (at_ < rtf_.size()) {
      const char c = rtf_[at_];
      if (c == '{') {
        ++at_;
        groups.push_back(groups.back());
        // "{\*\word" marks a destination a reader may ignore.
        if (rtf_.substr(at_, 2) == "\\*") groups.back().skipping = true;
      } else if (c == '}') {
        ++at_;
        flushBytes();
        if (groups.size() > 1) groups.pop_back();
      } else if (c == '\\') {
        controlSymbolOrWord(groups.back().skipping, groups.back().unicodeSkip);
      } else if (c == '\r' || c == '\n') {
        ++at_;  // line ends in the source are not text
      } else {
        ++at_;
        if (!groups.back().skipping) pending_.push_back(c);
      }
    }
    flushBytes();
    return std::move(text_);
  }

 private:
  void controlSymbolOrWord(bool& skipping, int& unicodeSkip) {
    ++at_;  // the backslash
    if (at_ >= rtf_.size()) return;
    const char c = rtf_[at_];
    if (!std::isalpha(static_cast<unsigned char>(c))) {
      ++at_;
      if (skipping) {
        if (c == '\'') at_ = std::min(rtf_.size(), at_ + 2);
        return;
      }
      switch (c) {
        case '\\': case '{': case '}': pending_.push_back(c); break;
        case '~': emit(u8"\u00A0"); break;
        case '_': emit(u8"\u2011"); break;
        case '\'': hexByte(); break;
        case '\n': case '\r': emit("\n"); break;  // "\" before a line end is a paragraph
        case '*': skipping = true; break;
        default: break;  // \- optional hyphen, \| and others: nothing to show
      }
      return;
    }
    const std::size_t start = at_;
    while (at_ < rtf_.size() && std::isalpha(static_cast<unsigned char>(rtf_[at_]))) ++at_;
    const std::string_view word = rtf_.substr(start, at_ - start);
    std::optional<long> parameter;
    if (at_ < rtf_.size() && (rtf_[at_] == '-' || std::isdigit(static_cast<unsigned char>(rtf_[at_])))) {
      long value = 0;
      const auto [end, error] = std::from_chars(rtf_.data() + at_, rtf_.data() + rtf_.size(), value);
      if (error == std::errc()) parameter = value;
      at_ = std::size_t(end - rtf_.data());
      if (at_ == start) ++at_;
    }
    if (at_ < rtf_.size() && rtf_[at_] == ' ') ++at_;  // the delimiting space belongs to the word

    if (word == "bin") {  // binary data of the given length follows
      at_ = std::min(rtf_.size(), at_ + std::size_t(std::max(0L, parameter.value_or(0))));
      return;
    }
    if (isSkippedDestination(word)) {
      skipping = true;
      return;
    }
    if (word == "ansi") codePage_ = CodePage::Ansi;
    else if (word == "mac") codePage_ = CodePage::Mac;
    else if (word == "pc" || word == "pca") codePage_ = CodePage::Pc;
    else if (word == "ansicpg" && parameter) codePage_ = *parameter == 65001 ? CodePage::Utf8Bytes : codePage_;
    else if (word == "uc" && parameter) unicodeSkip = int(std::max(0L, *parameter));
    if (skipping) return;
    if (word == "par" || word == "line" || word == "row" || word == "sect" || word == "page") emit("\n");
    else if (word == "tab" || word == "cell") emit("\t");
    else if (word == "emdash") emit(u8"\u2014");
    else if (word == "endash") emit(u8"\u2013");
    else if (word == "bullet") emit(u8"\u2022");
    else if (word == "lquote") emit(u8"\u2018");
    else if (word == "rquote") emit(u8"\u2019");
    else if (word == "ldblquote") emit(u8"\u201C");
    else if (word == "rdblquote") emit(u8"\u201D");
    else if (word == "u" && parameter) unicodeCharacter(*parameter, unicodeSkip);
  }

  // \uN: a UTF-16 unit as a signed 16-bit number, followed by the given
  // number of fallback characters for readers without Unicode.
  void unicodeCharacter(long value, int skip) {
    std::uint32_t unit = std::uint32_t(value < 0 ? value + 65536 : value) & 0xFFFF;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      highSurrogate_ = unit;
    } else {
      std::uint32_t code = unit;
      if (unit >= 0xDC00 && unit <= 0xDFFF)
        code = highSurrogate_ ? 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (unit - 0xDC00) : 0xFFFD;
      highSurrogate_ = 0;
      std::u16string units;
      if (code >= 0x10000) {
        units.push_back(char16_t(0xD800 + ((code - 0x10000) >> 10)));
        units.push_back(char16_t(0xDC00 + ((code - 0x10000) & 0x3FF)));
      } else {
        units.push_back(char16_t(code));
      }
      flushBytes();
      emitUTF16(units);
    }
    for (int k = 0; k < skip && at_ < rtf_.size(); ++k) {
      if (rtf_[at_] == '\\' && rtf_.substr(at_ + 1, 1) == "'") {
        at_ = std::min(rtf_.size(), at_ + 4);
      } else if (rtf_[at_] == '{' || rtf_[at_] == '}') {
        break;
      } else {
        ++at_;
      }
    }
  }

  void hexByte() {
    const std::string_view digits = rtf_.substr(at_, 2);
    unsigned value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    at_ += std::size_t(end - digits.data());
    if (error == std::errc()) pending_.push_back(char(value));
  }

  void emit(std::string_view utf8) {
    flushBytes();
    text_.append(utf8);
  }
  void emit(std::u8string_view utf8) { emit(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size())); }

  void emitUTF16(const std::u16string& units) {
    std::string bytes;
    for (char16_t u : units) {
      bytes.push_back(char(u & 0xFF));
      bytes.push_back(char(u >> 8));
    }
    text_ += utf8FromUTF16(bytes, false);
  }

  // Body characters gathered as bytes of the document's code page.
  void flushBytes() {
    if (pending_.empty()) return;
    switch (codePage_) {
      case CodePage::Mac: text_ += convertFromMacOSRoman(pending_); break;
      case CodePage::Utf8Bytes: text_ += replacingInvalidUTF8(pending_); break;
      case CodePage::Pc:
      case CodePage::Ansi: text_ += windowsLatin1ToUTF8(pending_); break;
    }
    pending_.clear();
  }

  std::string_view rtf_;
  std::size_t at_ = 0;
  std::string text_;
  std::string pending_;
  CodePage codePage_ = CodePage::Ansi;
  std::uint32_t highSurrogate_ = 0;
};

}  // namespace

std::string plainTextFromRichText(std::string_view rtf) { return RichTextScanner(rtf).run(); }

std::optional<std::string> plainTextOfRichTextFile(const std::string& path, std::string* error) {
  std::error_code ignored;
  std::string file = path;
  // An RTFD package keeps its text in TXT.rtf.
  if (std::filesystem::is_directory(path, ignored)) file = (std::filesystem::path(path) / "TXT.rtf").string();
  auto bytes = readWholeFile(file, error);
  if (!bytes) return std::nullopt;
  return plainTextFromRichText(*bytes);
}

}  // namespace orrelin
