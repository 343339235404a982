#pragma once
// The plain text of a rich-text (RTF) document: the characters of the body
// with paragraph and line breaks as line ends, tabs and table cells as tabs,
// and everything that only describes the look (fonts, colours, styles,
// pictures, document information) left out. Characters written as escapes
// (\'hh in the document's code page, \uN) come out as UTF-8.

#include <optional>
#include <string>
#include <string_view>

namespace orrelin {

std::string plainTextFromRichText(std::string_view rtf);

// The plain text of an RTF file or of an RTFD package (a folder holding
// "TXT.rtf"); none when it cannot be read.
std::optional<std::string> plainTextOfRichTextFile(const std::string& path, std::string* error = nullptr);

}  // namespace orrelin
