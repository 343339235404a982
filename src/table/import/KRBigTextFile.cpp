#include "table/import/KRBigTextFile.h"

#include <cstring>

namespace orrelin {

ImportLines KRBigTextFile::splitStringIntoLines(std::string_view text) {
  ImportLines lines;
  splitStringIntoLines(text, lines);
  return lines;
}

void KRBigTextFile::splitStringIntoLines(std::string_view text, ImportLines& lines) {
  lines.clear();
  // About one line per 40 bytes in number files; a guess that saves most of
  // the regrowing.
  lines.reserve(text.size() / 40 + 1);
  const char* p = text.data();
  const char* end = p + text.size();
  // The next line feed and the next carriage return are looked for once and
  // kept, so that a text with only one kind of line end is searched for the
  // other only once.
  const char* lf = nullptr;
  const char* cr = nullptr;
  while (p < end) {
    if (!lf || lf < p) {
      lf = static_cast<const char*>(std::memchr(p, '\n', std::size_t(end - p)));
      if (!lf) lf = end;
    }
    if (!cr || cr < p) {
      cr = static_cast<const char*>(std::memchr(p, '\r', std::size_t(end - p)));
      if (!cr) cr = end;
    }
    if (cr < lf) {
      lines.emplace_back(p, std::size_t(cr - p));
      p = cr + 1;
      if (p < end && *p == '\n') ++p;
      continue;
    }
    lines.emplace_back(p, std::size_t(lf - p));
    p = lf < end ? lf + 1 : end;
  }
}

}  // namespace orrelin
