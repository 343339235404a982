// Ranges, lengths and spacings taken from the input's bytes, through every
// kind of automatic axis, the date axis and the number writer. The axis
// must stay within its tick limits with finite, ordered ticks and one label
// per labelled tick; date ticks must also lie in the range and keep the
// tick space between them; a written number must read back within half a
// unit of its last digit; anything else aborts.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "axes/ticks/KRAxis.h"
#include "axes/ticks/VKDateAxis.h"
#include "platform/KRMessageCenter.h"

using namespace orrelin;

namespace {

double take(const std::uint8_t*& data, std::size_t& size) {
  double value = 0;
  std::size_t n = size < sizeof value ? size : sizeof value;
  std::memcpy(&value, data, n);
  data += n;
  size -= n;
  return value;
}

void check(bool condition) {
  if (!condition) std::abort();
}

void checkAxis(const std::shared_ptr<KRAxis>& axis, double minMajor) {
  if (minMajor == 0) return check(!axis);
  check(axis != nullptr);
  const auto& major = axis->majorTickMarks();
  const auto& minor = axis->minorTickMarks();
  check(major.size() + minor.size() <= 20000);
  for (std::size_t i = 0; i < major.size(); ++i) check(std::isfinite(major[i]) && (i == 0 || major[i - 1] <= major[i]));
  for (double value : minor) check(std::isfinite(value));
  std::size_t labelled = 0;
  for (bool flag : axis->majorTickMarksMask()) labelled += flag;
  check(axis->majorTickMarkLabels().size() == labelled);
}

void checkDateAxis(double min, double max, double length, double tickSpace, bool twoLines) {
  auto axis = VKDateAxis::withMinValue(min, max, length, tickSpace, min, max, twoLines, "us");
  check(axis != nullptr);
  const auto& major = axis->majorTickMarks();
  check(axis->firstLineOfLabels().size() == major.size());
  check(major.size() <= 20001 && axis->minorTickMarks().size() <= 20001);
  check(axis->secondLineOfLabels().size() <= 1 && (twoLines || axis->secondLineOfLabels().empty()));
  const double slack = 1e-6 * (max - min) + 1e-3;
  for (std::size_t i = 0; i < major.size(); ++i) {
    check(major[i] >= min - slack && major[i] <= max + slack);
    // Rounding of the page scale aside, neighbours keep the tick space.
    if (i > 0) check((major[i] - major[i - 1]) * (length / (max - min)) >= tickSpace * (1 - 1e-6));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Zero spacings post a message; keep them out of standard error.
  static const bool quiet = [] {
    KRMessageCenter::setCenterForCurrentThread(std::make_shared<KRMessageCenter>());
    return true;
  }();
  (void)quiet;
  if (size < 1) return 0;
  int digits = 1 + data[0] % 17;
  ++data;
  --size;
  double min = take(data, size), max = take(data, size), length = take(data, size);
  double minMajor = take(data, size), minMinor = take(data, size);

  checkAxis(KRAxis::linearAxisWithMin(min, max, length, minMajor, minMinor), minMajor);
  checkAxis(KRAxis::linearIntegerAxisWithMin(min, max, length, minMajor), minMajor);
  checkAxis(KRAxis::logarithmicAxisWithMin(min, max, length, minMajor, minMinor), minMajor);
  checkAxis(KRAxis::angleAxisDegreesWithMin(min, max, length, minMajor, minMinor), minMajor);
  checkAxis(KRAxis::angleAxisRadiansWithMin(min, max, length, minMajor, minMinor), minMajor);
  checkAxis(KRAxis::currencyAxisWithMin(min, max, length, minMajor, minMinor,
                                        KRCurrencyFormatter::createForCurrencyType(1)),
            minMajor);

  // Dates: the same bytes as time values, and as a start and a span.
  checkDateAxis(min, max, length, minMajor, digits % 2 == 0);
  if (std::isfinite(min) && std::isfinite(max)) checkDateAxis(min, min + std::fabs(max), length, minMajor, true);

  for (double value : {min, max, length}) {
    std::string text = KRNumberFormatter::createWithSignificantDigits(digits, false).convertNumber(value);
    if (!std::isfinite(value) || value == 0) continue;
    double back = std::strtod(text.c_str(), nullptr);
    double unit = std::pow(10.0, std::floor(std::log10(std::fabs(value))) - digits + 1);
    // The logarithm may land one decade off next to a power of ten.
    check(std::fabs(back - value) <= 5 * unit + std::fabs(std::nextafter(back, 0.0) - back));
  }
  return 0;
}
