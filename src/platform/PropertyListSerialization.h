#pragma once
// Reading and writing property lists in the published XML and binary forms.

#include <optional>
#include <string>
#include <string_view>

#include "platform/FileWriting.h"
#include "platform/PropertyList.h"

namespace orrelin {

enum class PlistFormat { XML, Binary };

// Parses either form (binary when the bytes begin with "bplist"). None, with a
// message in error when given, for anything that is not a property list.
std::optional<PropertyList> parsePropertyList(std::string_view bytes, std::string* error = nullptr);

std::string serializePropertyList(const PropertyList& value, PlistFormat format);

std::optional<PropertyList> readPropertyListFile(const std::string& path,
                                                 std::string* error = nullptr);

bool writePropertyListFile(const PropertyList& value, const std::string& path, PlistFormat format,
                           WriteMode mode, std::string* error = nullptr);

}  // namespace orrelin
