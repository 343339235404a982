// Whatever the range, length and spacings, an axis comes back quickly with
// a bounded number of finite, ordered ticks and one label per labelled
// major tick: never a crash, a hang or a runaway list.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <random>

#include "axes/ticks/KRAxis.h"
#include "support/MessageCapture.h"

using namespace orrelin;

namespace {

constexpr std::size_t kMostTicks = 20000;

class AwkwardNumbers {
 public:
  explicit AwkwardNumbers(std::uint64_t seed) : engine_(seed) {}
  double uniform(double low, double high) { return std::uniform_real_distribution<double>(low, high)(engine_); }
  double next() {
    constexpr double kMax = std::numeric_limits<double>::max(), kTiny = std::numeric_limits<double>::denorm_min();
    constexpr double kInf = std::numeric_limits<double>::infinity();
    static const double kSpecial[] = {0,    -0.0,   1,     -1,  std::nan(""), kInf, -kInf, kTiny, -kTiny, 1e-310,
                                      kMax, -kMax, 1e308, -1e308, 1e9, 1e-9, std::numeric_limits<double>::min()};
    switch (engine_() % 4) {
      case 0:
        return kSpecial[engine_() % std::size(kSpecial)];
      case 1:
        return uniform(-1000, 1000);
      case 2: {
        double magnitude = std::pow(10.0, uniform(-320, 308));
        return engine_() & 1 ? magnitude : -magnitude;
      }
      default:
        return std::bit_cast<double>(engine_());
    }
  }

 private:
  std::mt19937_64 engine_;
};

void expectSound(const KRAxis& axis, const char* kind, double min, double max, double length, double spacing) {
  SCOPED_TRACE(testing::Message() << kind << " min " << min << " max " << max << " length " << length << " spacing "
                                  << spacing);
  const auto& major = axis.majorTickMarks();
  const auto& minor = axis.minorTickMarks();
  ASSERT_LE(major.size() + minor.size(), kMostTicks);
  EXPECT_TRUE(std::is_sorted(major.begin(), major.end()));
  EXPECT_TRUE(std::all_of(major.begin(), major.end(), [](double v) { return std::isfinite(v); }));
  EXPECT_TRUE(std::all_of(minor.begin(), minor.end(), [](double v) { return std::isfinite(v); }));
  EXPECT_EQ(axis.majorTickMarkLabels().size(),
            static_cast<std::size_t>(std::count(axis.majorTickMarksMask().begin(), axis.majorTickMarksMask().end(), true)));
}

TEST(AxisProperties, AnyInputGivesABoundedSoundAxis) {
  MessageCapture messages;  // zero spacings report
  AwkwardNumbers numbers(2024);
  auto dollars = KRCurrencyFormatter::createForCurrencyType(KRCurrencyFormatter::kDollar);
  for (int i = 0; i < 3000; ++i) {
    double a = numbers.next(), b = numbers.next();
    // Mostly ordered ranges, so that the algorithms get past their checks.
    double min = i % 4 == 0 ? a : std::min(a, b);
    double max = i % 4 == 0 ? b : std::max(a, b);
    double length = i % 3 == 0 ? numbers.next() : numbers.uniform(0, 2000);
    double major = i % 5 == 0 ? numbers.next() : 1 + i % 97;
    double minor = i % 7 == 0 ? numbers.next() : 1 + i % 13;
    struct Kind {
      const char* name;
      std::shared_ptr<KRAxis> axis;
    };
    for (const auto& kind : {Kind{"linear", KRAxis::linearAxisWithMin(min, max, length, major, minor)},
                             Kind{"integer", KRAxis::linearIntegerAxisWithMin(min, max, length, major)},
                             Kind{"logarithmic", KRAxis::logarithmicAxisWithMin(min, max, length, major, minor)},
                             Kind{"degrees", KRAxis::angleAxisDegreesWithMin(min, max, length, major, minor)},
                             Kind{"radians", KRAxis::angleAxisRadiansWithMin(min, max, length, major, minor)},
                             Kind{"currency", KRAxis::currencyAxisWithMin(min, max, length, major, minor, dollars)}}) {
      if (major == 0) {
        EXPECT_FALSE(kind.axis);
        continue;
      }
      ASSERT_TRUE(kind.axis);
      expectSound(*kind.axis, kind.name, min, max, length, major);
      if (testing::Test::HasFatalFailure()) return;
    }
  }
}

}  // namespace
