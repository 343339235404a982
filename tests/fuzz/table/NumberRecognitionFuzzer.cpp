// Number recognition on any text: the direct reading of plain decimal
// numbers and the formula reader must agree on every input, in whether the
// text is a number and in its value.
//
// Input: the text.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "table/import/NumberRecognition.h"

using namespace orrelin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto direct = numberFromImportedText(text);
  const auto formula = numberFromImportedTextByFormula(text);
  if (direct.has_value() != formula.has_value()) std::abort();
  if (direct && !(*direct == *formula || (std::isnan(*direct) && std::isnan(*formula)))) std::abort();
  return 0;
}
