#pragma once
// File helpers of the package writer and reader: the textual size form,
// linking and copying, and putting a finished package in place. Digests are
// in platform/Digest.h.

#include <optional>
#include <string>
#include <string_view>

#include "platform/Digest.h"
#include "platform/PageGeometry.h"

namespace orrelin {

// A size as text: "{width, height}", each number in the shortest form that
// reads back exactly ("{400, 300}", "{400.5, 300}").
std::string textualSize(KRSize size);
// Reads that form back; blanks around the numbers are allowed. None for
// anything else or for numbers that are not finite.
std::optional<KRSize> sizeFromText(std::string_view text);

// Makes target a hard link to source, else a copy of it; false when neither
// worked (target is then absent).
bool linkOrCopyFile(const std::string& source, const std::string& target);

// Copies a folder with everything in it (symbolic links are copied as
// links, not followed); false when any part failed.
bool copyFolder(const std::string& source, const std::string& target);

// Puts the finished package at finished in the place of target in one step;
// previousAt then names where the package that was at target went (for the
// caller to remove), "" when there was none. False, with a message in
// error, when nothing moved.
bool swapIntoPlace(const std::string& finished, const std::string& target, std::string& previousAt,
                   std::string* error);

// A fresh name for a folder beside path, hidden, for a package being
// written ("" when none can be found).
std::string siblingWorkPath(const std::string& path, std::string_view purpose);

// Removes what saves that were killed left beside path (folders named by
// siblingWorkPath whose process is gone). Only while path exists: without
// it, what is left may be the last whole copy.
void removeAbandonedWork(const std::string& path);

}  // namespace orrelin
