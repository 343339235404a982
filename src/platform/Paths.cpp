#include "Paths.h"

namespace orrelin {

namespace {
std::string_view withoutTrailingSlashes(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  return path;
}
}  // namespace

std::string lastPathComponent(std::string_view path) {
  path = withoutTrailingSlashes(path);
  if (path == "/") return "/";
  auto slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string pathExtension(std::string_view path) {
  std::string leaf = lastPathComponent(path);
  auto dot = leaf.rfind('.');
  if (dot == std::string::npos) return "";
  return leaf.substr(dot + 1);
}

std::string appendPathComponent(std::string_view directory, std::string_view component) {
  std::string joined(directory);
  if (!component.empty()) {
    if (joined.empty() || joined.back() != '/') joined += '/';
    while (!component.empty() && component.front() == '/') component.remove_prefix(1);
    joined += component;
  }
  // Collapse doubled slashes and drop a trailing one, as the desktop does.
  std::string result;
  result.reserve(joined.size());
  for (char c : joined) {
    if (c == '/' && !result.empty() && result.back() == '/') continue;
    result += c;
  }
  while (result.size() > 1 && result.back() == '/') result.pop_back();
  return result;
}

std::string deletingLastPathComponent(std::string_view path) {
  path = withoutTrailingSlashes(path);
  auto slash = path.rfind('/');
  if (slash == std::string_view::npos) return "";
  if (slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

std::string asciiLowercase(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return result;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && asciiLowercase(a) == asciiLowercase(b);
}

}  // namespace orrelin
