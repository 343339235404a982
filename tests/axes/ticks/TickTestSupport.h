#pragma once
// Helpers for comparing tick lists worked out by hand with computed ones.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace orrelin::testing_support {

// Tick values match when they agree to a few units in the last place of
// the larger one; the sizes must be equal.
inline testing::AssertionResult sameTicks(const std::vector<double>& actual, const std::vector<double>& expected) {
  auto show = [](const std::vector<double>& values) {
    std::string text;
    for (double v : values) text += std::to_string(v) + " ";
    return text;
  };
  bool same = actual.size() == expected.size();
  for (std::size_t i = 0; same && i < actual.size(); ++i)
    same = std::fabs(actual[i] - expected[i]) <= 1e-12 * std::max(std::fabs(actual[i]), std::fabs(expected[i]));
  if (same) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "got " << show(actual) << "\nexpected " << show(expected);
}

// first, first + step, … up to last, leaving out the multiples of `skip`
// (0: none), computed as whole multiples so that the list is exact.
inline std::vector<double> multiples(int first, int last, double unit, int skip = 0) {
  std::vector<double> values;
  for (int k = first; k <= last; ++k)
    if (skip == 0 || k % skip != 0) values.push_back(k * unit);
  return values;
}

}  // namespace orrelin::testing_support
