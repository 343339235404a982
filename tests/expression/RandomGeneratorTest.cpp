#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <cstdint>
#include <vector>

#include "expression/KRExpression.h"
#include "expression/KRExpressionRandomGenerator.h"
#include "numeric/KRDoubleArrayContainer.h"

using namespace orrelin;

namespace {

// The generator written out plainly from its recurrence, to check the
// library's against.
std::vector<std::uint32_t> referenceOutputs(std::uint32_t seed, std::size_t count) {
  std::vector<std::uint32_t> mt(624);
  std::uint64_t s = seed;
  for (int i = 0; i < 624; ++i) {
    const std::uint64_t t = (69069 * s + 1) % 4294967296u;
    mt[i] = static_cast<std::uint32_t>((s / 65536) * 65536 + t / 65536);
    s = (69069 * t + 1) % 4294967296u;
  }
  std::vector<std::uint32_t> out;
  int index = 624;
  while (out.size() < count) {
    if (index == 624) {
      for (int i = 0; i < 624; ++i) {
        const std::uint32_t y = (mt[i] & 0x80000000u) + (mt[(i + 1) % 624] & 0x7fffffffu);
        mt[i] = mt[(i + 397) % 624] ^ (y / 2) ^ (y % 2 ? 0x9908b0dfu : 0u);
      }
      index = 0;
    }
    std::uint32_t y = mt[index++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9d2c5680u;
    y ^= (y << 15) & 0xefc60000u;
    y ^= y >> 18;
    out.push_back(y);
  }
  return out;
}

TEST(RandomGenerator, FirstOutputsFollowTheClassicSeeding) {
  for (std::uint32_t seed : {0u, 1u, 4357u, 123456789u, 0xffffffffu}) {
    const auto expected = referenceOutputs(seed, 1500);  // across two twists
    KRExpressionRandomGenerator generator(seed);
    for (std::size_t k = 0; k < expected.size(); ++k) ASSERT_EQ(generator.nextInteger(), expected[k]) << seed << " " << k;
  }
  // Not the seeding of the standard library's engine.
  std::mt19937 standard(4357);
  EXPECT_NE(KRExpressionRandomGenerator(4357).nextInteger(), standard());
}

TEST(RandomGenerator, UniformAndNormalDraws) {
  const auto raw = referenceOutputs(99, 8);
  KRExpressionRandomGenerator generator(99);
  EXPECT_EQ(generator.uniform(), raw[0] * 2.3283064370807974e-10);
  EXPECT_LE(4294967295u * 2.3283064370807974e-10, 1.0);

  // Pairs r cos, r sin; of an odd count the last is the first of one more pair.
  KRExpressionRandomGenerator normal(99);
  double z[3];
  normal.fillNormal(z, 3);
  const auto u = [&](int k) { return raw[k] * 2.3283064370807974e-10; };
  const double r0 = std::sqrt(-2 * std::log(u(0))), r1 = std::sqrt(-2 * std::log(u(2)));
  EXPECT_DOUBLE_EQ(z[0], r0 * std::cos(6.283185307179586 * u(1)));
  EXPECT_DOUBLE_EQ(z[1], r0 * std::sin(6.283185307179586 * u(1)));
  EXPECT_DOUBLE_EQ(z[2], r1 * std::cos(6.283185307179586 * u(3)));
  EXPECT_EQ(normal.nextInteger(), raw[4]);  // the unused sine took no draw of its own
}

std::vector<double> randomColumn(const char* formula, std::uint32_t seed, std::size_t n) {
  auto generator = std::make_shared<KRExpressionRandomGenerator>(seed);
  const KRFunctionDictionary functions = randomFunctions(generator);
  auto e = KRExpression::createFromString(formula, &functions, nullptr);
  EXPECT_TRUE(e) << formula;
  auto x = KRDoubleArrayContainer::createArrayOfLength(static_cast<long>(n));
  for (std::size_t k = 0; k < n; ++k) x->setValue(double(k), long(k));
  KRExpressionEvaluationErrorHandler errors;
  auto column = e->evaluateWithArguments({{"x", KRValue::array(x)}}, -1, nullptr, &errors, &functions);
  EXPECT_TRUE(column && column->arrayContainer()) << formula << ": " << errors.errorString();
  if (!column || !column->arrayContainer()) return {};
  const double* data = column->arrayContainer()->constDoublePointer();
  return std::vector<double>(data, data + n);
}

TEST(RandomColumns, SameSeedSameColumnAndArgumentsPerElement) {
  const auto first = randomColumn("rand(0,1)+x*0", 7, 30000);
  EXPECT_EQ(first, randomColumn("rand(0,1)+x*0", 7, 30000));
  EXPECT_NE(first, randomColumn("rand(0,1)+x*0", 8, 30000));
  KRExpressionRandomGenerator reference(7);
  for (std::size_t k = 0; k < 5; ++k) EXPECT_EQ(first[k], reference.uniform());

  const auto shifted = randomColumn("rand(x,x+2)", 3, 1000);
  for (std::size_t k = 0; k < shifted.size(); ++k) {
    EXPECT_GE(shifted[k], double(k));
    EXPECT_LE(shifted[k], double(k) + 2);
  }
  const auto normal = randomColumn("nrand(10,0*x+2)", 5, 20001);
  double sum = 0;
  for (double v : normal) sum += v;
  EXPECT_NEAR(sum / normal.size(), 10, 0.1);
  EXPECT_EQ(randomColumn("nrand(x*0)", 5, 11), std::vector<double>(11, 0.0));
}

TEST(RandomColumns, ArgumentCountIsChecked) {
  auto generator = std::make_shared<KRExpressionRandomGenerator>(1);
  KRExpressionRandomNumbers uniform(generator, false);
  KRExpressionEvaluationErrorHandler errors;
  EXPECT_FALSE(uniform.evaluateWithArgument(KRValue(1.0), KRExpressionArgument(), errors));
  EXPECT_EQ(errors.errorString(), "Illegal argument count for \"rand\".");
  const KRFunctionDictionary functions = randomFunctions(generator);
  KRExpressionErrorHandler parseErrors;
  EXPECT_FALSE(KRExpression::createFromString("rand(1)", &functions, &parseErrors));
  EXPECT_TRUE(KRExpression::createFromString("nrand(1)", &functions, nullptr));
  auto single = KRExpression::createFromString("rand(2,2)", &functions, nullptr)->evaluateNumber();
  ASSERT_TRUE(single);
  EXPECT_EQ(*single, 2);
}

}  // namespace
