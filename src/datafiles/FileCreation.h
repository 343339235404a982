#pragma once
// Why a file could not be made at a path, told in terms a user can act on.

#include <optional>
#include <string>

namespace orrelin {

// The message for the first thing that stands in the way of creating (or
// replacing) a file at path: a folder on the way that is missing or is a
// file, a folder at the path itself, a folder that can not be written, or
// an existing file its owner protects. None when nothing does.
std::optional<std::string> creationProblem(const std::string& path);

// A symbolic link is replaced through: the file it points to is the one
// written.
std::string resolvedTargetPath(const std::string& path);

}  // namespace orrelin
