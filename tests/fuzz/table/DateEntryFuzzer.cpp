// Date entries read with a date pattern: any pattern either makes a
// formatter or is refused, any text either reads or does not, and where the
// shortcut for numeric patterns answers, ICU gives the same value.
//
// Input: a byte choosing the language, the pattern up to the first line
// break, then the entry.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/DateFormatting.h"
#include "table/DateFormats.h"

using namespace orrelin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  if (size < 2) return 0;
  const auto localizations = dateLocalizations();
  const char* locale = localizations[bytes[0] % localizations.size()].locale;
  const std::string_view rest(reinterpret_cast<const char*>(bytes) + 1, size - 1);
  const std::size_t lineBreak = rest.find('\n');
  if (lineBreak == std::string_view::npos) return 0;
  const std::string_view pattern = rest.substr(0, lineBreak);
  const std::string_view entry = rest.substr(lineBreak + 1);
  const auto formatter = DateFormatter::withPattern(pattern, locale);
  if (!formatter) return 0;
  const auto value = formatter->parse(entry);
  if (value != formatter->parseWithICU(entry)) std::abort();
  if (value) formatter->format(*value);
  return 0;
}
