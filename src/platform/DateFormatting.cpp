#include "platform/DateFormatting.h"

#include <unicode/dtfmtsym.h>
#include <unicode/gregocal.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <atomic>
#include <cmath>
#include <map>
#include <mutex>

#include "platform/DatePattern.h"

namespace orrelin {

namespace {

std::atomic<long> formattersMade{0};

// Start of the hundred years two-digit years fall in, in ICU's milliseconds.
constexpr double kTwoDigitYearStartMilliseconds = -631152000000.0;  // 1950-01-01 00:00 GMT
static_assert(kTwoDigitYearStart == 1950);

// Far enough back that the Julian calendar is never used.
constexpr double kProlepticGregorian = -1e300;

std::string_view trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// Why the pattern cannot be a date pattern; "" when it can.
std::string patternProblem(std::string_view pattern) {
  std::string problem;
  const auto pieces = splitDatePattern(pattern, &problem);
  if (!pieces) return problem;
  const icu::UnicodeString fieldLetters(icu::DateFormatSymbols::getPatternUChars());
  bool anyField = false;
  for (const auto& piece : *pieces) {
    if (piece.letter == 0) continue;
    if (fieldLetters.indexOf(char16_t(piece.letter)) < 0) return std::string("\"") + piece.letter + "\" is no date field";
    anyField = true;
  }
  if (!anyField) return "it has no date or time field";
  return {};
}

std::unique_ptr<icu::SimpleDateFormat> makeICUFormatter(std::string_view pattern, const icu::Locale& locale) {
  UErrorCode status = U_ZERO_ERROR;
  auto formatter = std::make_unique<icu::SimpleDateFormat>(
      icu::UnicodeString::fromUTF8(icu::StringPiece(pattern.data(), int32_t(pattern.size()))), locale, status);
  if (U_FAILURE(status)) return nullptr;
  auto calendar = std::make_unique<icu::GregorianCalendar>(icu::TimeZone::getGMT()->clone(), locale, status);
  if (U_FAILURE(status)) return nullptr;
  calendar->setGregorianChange(kProlepticGregorian, status);
  formatter->adoptCalendar(calendar.release());
  formatter->setLenient(false);
  formatter->set2DigitYearStart(kTwoDigitYearStartMilliseconds, status);
  if (U_FAILURE(status)) return nullptr;
  ++formattersMade;
  return formatter;
}

}  // namespace

struct DateFormatter::Parts {
  std::string pattern;
  std::string locale;
  std::optional<NumericDatePattern> shortcut;
  std::unique_ptr<icu::SimpleDateFormat> prototype;
  // Working copies not in use; ICU formatters are not safe to share
  // between threads.
  mutable std::mutex mutex;
  mutable std::vector<std::unique_ptr<icu::SimpleDateFormat>> spares;

  // A working copy for the duration of one call or run.
  class Lease {
   public:
    explicit Lease(const Parts& parts) : parts_(parts) {
      std::lock_guard lock(parts.mutex);
      if (!parts.spares.empty()) {
        copy_ = std::move(parts.spares.back());
        parts.spares.pop_back();
      }
    }
    ~Lease() {
      if (!copy_) return;
      std::lock_guard lock(parts_.mutex);
      parts_.spares.push_back(std::move(copy_));
    }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;

    icu::SimpleDateFormat& formatter() {
      if (!copy_) {
        copy_.reset(parts_.prototype->clone());
        ++formattersMade;
      }
      return *copy_;
    }

   private:
    const Parts& parts_;
    std::unique_ptr<icu::SimpleDateFormat> copy_;
  };

  std::optional<double> read(icu::SimpleDateFormat& formatter, std::string_view text) const {
    if (text.empty()) return std::nullopt;
    const icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), int32_t(text.size())));
    icu::ParsePosition position(0);
    const UDate date = formatter.parse(unicode, position);
    if (position.getErrorIndex() >= 0 || position.getIndex() != unicode.length()) return std::nullopt;
    return date / 1000;
  }

  // The text with the suffix, in the buffer when there is one.
  static std::string_view joined(std::string_view text, std::string_view suffix, std::string& buffer) {
    text = trimmed(text);
    if (suffix.empty()) return text;
    buffer.assign(text);
    buffer.append(suffix);
    return buffer;
  }

  std::optional<double> parse(Lease& lease, std::string_view text, std::string_view suffix, std::string& buffer) const {
    const std::string_view whole = joined(text, suffix, buffer);
    if (shortcut)
      if (auto value = shortcut->read(whole)) return value;
    return read(lease.formatter(), whole);
  }
};

DateFormatter::DateFormatter(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}
DateFormatter::~DateFormatter() = default;

std::shared_ptr<const DateFormatter> DateFormatter::withPattern(std::string_view pattern, std::string_view locale,
                                                                std::string* problem) {
  static std::mutex mutex;
  static std::map<std::string, std::shared_ptr<const DateFormatter>, std::less<>> made;
  // A zero byte cannot occur in a locale name, so the key is unambiguous.
  std::string key(pattern);
  key += '\0';
  key += locale;
  std::lock_guard lock(mutex);
  if (auto found = made.find(key); found != made.end()) return found->second;
  if (std::string why = patternProblem(pattern); !why.empty()) {
    if (problem) *problem = why;
    return nullptr;
  }
  auto parts = std::make_unique<Parts>();
  parts->pattern = pattern;
  parts->locale = locale;
  parts->shortcut = NumericDatePattern::compile(pattern);
  parts->prototype = makeICUFormatter(pattern, icu::Locale(parts->locale.c_str()));
  if (!parts->prototype) {
    if (problem) *problem = "ICU cannot make a formatter of it";
    return nullptr;
  }
  // Patterns typed one after another would otherwise pile up; formatters in
  // use live on with their users. The candidate formats of a few languages
  // fit.
  constexpr std::size_t kMostKept = 1024;
  if (made.size() >= kMostKept) made.clear();
  std::shared_ptr<const DateFormatter> formatter(new DateFormatter(std::move(parts)));
  made.emplace(std::move(key), formatter);
  return formatter;
}

long DateFormatter::icuFormattersMade() { return formattersMade; }

const std::string& DateFormatter::pattern() const { return parts_->pattern; }
const std::string& DateFormatter::locale() const { return parts_->locale; }

std::optional<double> DateFormatter::parse(std::string_view text, std::string_view suffix) const {
  Parts::Lease lease(*parts_);
  std::string buffer;
  return parts_->parse(lease, text, suffix, buffer);
}

std::optional<double> DateFormatter::parseWithICU(std::string_view text, std::string_view suffix) const {
  Parts::Lease lease(*parts_);
  std::string buffer;
  return parts_->read(lease.formatter(), Parts::joined(text, suffix, buffer));
}

void DateFormatter::parseTexts(const std::string* texts, std::size_t count, std::string_view suffix, double* values,
                               std::uint8_t* mask) const {
  Parts::Lease lease(*parts_);
  std::string buffer;
  for (std::size_t k = 0; k < count; ++k) {
    const auto value = parts_->parse(lease, texts[k], suffix, buffer);
    values[k] = value.value_or(std::nan(""));
    mask[k] = value ? 1 : 0;
  }
}

std::string DateFormatter::format(double time) const {
  if (!std::isfinite(time)) return {};
  Parts::Lease lease(*parts_);
  icu::UnicodeString text;
  lease.formatter().format(time * 1000, text);
  std::string utf8;
  text.toUTF8String(utf8);
  return utf8;
}

std::vector<std::string> monthNames(std::string_view locale, MonthNameWidth width) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::DateFormatSymbols symbols(icu::Locale(std::string(locale).c_str()), status);
  int32_t count = 0;
  const icu::UnicodeString* names =
      U_SUCCESS(status) ? symbols.getMonths(count, icu::DateFormatSymbols::STANDALONE,
                                            width == MonthNameWidth::Wide ? icu::DateFormatSymbols::WIDE
                                                                          : icu::DateFormatSymbols::ABBREVIATED)
                        : nullptr;
  std::vector<std::string> result;
  for (int32_t k = 0; names && k < count && k < 12; ++k) {
    std::string utf8;
    names[k].toUTF8String(utf8);
    result.push_back(std::move(utf8));
  }
  return result;
}

}  // namespace orrelin
