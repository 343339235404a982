#pragma once
// Reading settings the plot and points commands stored in an older form:
// the row mask as a column with a value, a range or a text pattern, and the
// one colour column of the points command with its "Point Color Usage".
// Both are turned into today's settings before the command reads its
// dictionary. docs/commands-points.md describes the older forms.

#include <optional>
#include <string>

#include "platform/PropertyList.h"

namespace orrelin {

// The mask formula for an older stored mask ("Mask" naming a column, with
// "Mask Type", "Mask Value", "Mask Range" and "Mask Match"); none when the
// dictionary holds today's form. An empty formula when the older mask keeps
// every row. problem is set (and none returned) for a text pattern, which
// no formula can express.
std::optional<std::string> formulaForOlderMask(const PlistDictionary& settings, std::string* problem);

// Rewrites the older mask keys of settings into today's "Mask" formula. A
// mask that cannot be rewritten stays as stored (so it is written back
// unchanged) and its problem is posted to the message centre.
void convertOlderMask(PlistDictionary& settings);

// Rewrites "Point Color Usage" (1 the line, 2 the fill, 3 both) into the
// separate line and fill colour columns and schemes.
void convertOlderColorUsage(PlistDictionary& settings);

// A column name as a formula refers to it: plain names as they are, others
// in double quotes.
std::string formulaName(const std::string& name);

}  // namespace orrelin
