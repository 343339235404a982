#pragma once
// printf-style filling of the message templates with strings.

#include <string>

namespace orrelin {

// Replaces each "%s" of the template by the next argument, in order; a "%d"
// takes the next argument as well (callers pass numbers already written).
template <class... Args>
std::string formatText(const char* pattern, const Args&... args) {
  const std::string values[] = {std::string(args)..., std::string()};
  std::string out;
  std::size_t next = 0;
  for (const char* p = pattern; *p; ++p) {
    if (p[0] == '%' && (p[1] == 's' || p[1] == 'd') && next < sizeof...(Args)) {
      out += values[next++];
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

}  // namespace orrelin
