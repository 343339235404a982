#include "table/import/KRBigTextFile.h"

#include <cstring>

namespace orrelin {

ImportLines KRBigTextFile::splitStringIntoLines(std::string_view text) {
  ImportLines lines;
  // About one line per 40 bytes in number files; a guess that saves most of
  // the regrowing.
  lines.reserve(text.size() / 40 + 1);
  const char* p = text.data();
  const char* end = p + text.size();
  // The next line feed is looked for once and kept, so that a file whose
  // lines end in carriage returns alone is not searched to its end per line.
  const char* lf = nullptr;
  while (p < end) {
    if (!lf || lf < p) {
      lf = static_cast<const char*>(std::memchr(p, '\n', std::size_t(end - p)));
      if (!lf) lf = end;
    }
    const char* cr = static_cast<const char*>(std::memchr(p, '\r', std::size_t(lf - p)));
    if (cr) {
      lines.emplace_back(p, std::size_t(cr - p));
      p = cr + 1;
      if (p < end && *p == '\n') ++p;
      continue;
    }
    lines.emplace_back(p, std::size_t(lf - p));
    p = lf < end ? lf + 1 : end;
  }
  return lines;
}

}  // namespace orrelin
