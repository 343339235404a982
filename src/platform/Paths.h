#pragma once
// Path text operations in the manner of the desktop's path strings: they work
// on the text alone and never touch the file system.

#include <string>
#include <string_view>

namespace orrelin {

// The last path component, trailing slashes ignored ("/a/b.txt/" -> "b.txt").
std::string lastPathComponent(std::string_view path);

// The text after the last "." of the last component, or "" when it has none
// ("a/b.tar.gz" -> "gz", "a.d/b" -> "", "/x/.orrel" -> "orrel").
std::string pathExtension(std::string_view path);

// Joins with one "/" and drops a trailing "/" ("/w" + "a.txt" -> "/w/a.txt").
std::string appendPathComponent(std::string_view directory, std::string_view component);

// The folder part ("/a/b.txt" -> "/a", "b.txt" -> "", "/b" -> "/").
std::string deletingLastPathComponent(std::string_view path);

// ASCII lower case; other bytes are kept as they are.
std::string asciiLowercase(std::string_view text);
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace orrelin
