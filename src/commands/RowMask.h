#pragma once
// Working out a row mask: the formula of a "Mask" setting evaluated over the
// columns it names (their numbers, row by row) and the document's
// parameters. A row is kept when the formula gives a finite non-zero value
// for it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orrelin {

class CommandDocument;

// One flag per row (1 keep, 0 drop) for rows rows; rows past the end of a
// named column are dropped. None when the formula does not parse, names
// something that is neither a number column nor a number parameter, or does
// not evaluate.
std::optional<std::vector<std::uint8_t>> computeRowMask(const std::string& formula, long rows,
                                                        CommandDocument* document);

}  // namespace orrelin
