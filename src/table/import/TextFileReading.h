#pragma once
// Reading a whole data file into memory in large blocks, noticing a file
// that vanishes, shrinks or grows while it is read.

#include <optional>
#include <string>

namespace orrelin {

// The file's bytes; none with the reason in error when it cannot be opened
// or read, or changed size while it was read.
std::optional<std::string> readWholeFile(const std::string& path, std::string* error = nullptr);

// The ending of a path, lower-cased, without the point ("" when none).
std::string lowerCaseEnding(const std::string& path);
// The last component of a path.
std::string fileNamePart(const std::string& path);

}  // namespace orrelin
