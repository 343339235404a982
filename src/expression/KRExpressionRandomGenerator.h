#pragma once
// The random numbers of expression columns: a Mersenne Twister (MT19937)
// seeded from the column's 32-bit "Seed", so the same seed always gives the
// same column. Not for use from two threads at once.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "expression/KRExpressionEvaluation.h"

namespace orrelin {

class KRExpressionRandomGenerator {
 public:
  explicit KRExpressionRandomGenerator(std::uint32_t seed);

  // The next tempered 32-bit output.
  std::uint32_t nextInteger();
  // A uniform draw in [0, 1], both ends included.
  double uniform() { return nextInteger() * kUniformScale; }
  void fillUniform(double* out, std::size_t count);
  // Normal draws made in pairs (Box-Muller): of an odd count the last value
  // is the first member of one more pair.
  void fillNormal(double* out, std::size_t count);

  static constexpr double kUniformScale = 2.3283064370807974e-10;  // 1/4294967295

 private:
  void twist();

  std::array<std::uint32_t, 624> state_;
  std::size_t position_;
};

// "rand" and "nrand" for formulas: rand(a, b) is a + (b - a)u for uniform
// draws u, nrand(s) is s z and nrand(m, s) is m + s z for normal draws z.
// The arguments may be numbers or arrays; one number is drawn per element
// of the evaluation, all at once, from the shared generator.
class KRExpressionRandomNumbers final : public KRExpressionCallback {
 public:
  KRExpressionRandomNumbers(std::shared_ptr<KRExpressionRandomGenerator> generator, bool normal)
      : generator_(std::move(generator)), normal_(normal) {}
  std::optional<KRValue> evaluateWithArgument(const KRValue& argument, const KRExpressionArgument& input,
                                              KRExpressionEvaluationErrorHandler& errors) override;

 private:
  std::shared_ptr<KRExpressionRandomGenerator> generator_;
  bool normal_;
};

// The function dictionary that makes "rand" and "nrand" known to the parser
// and draws from the generator when evaluated.
KRFunctionDictionary randomFunctions(std::shared_ptr<KRExpressionRandomGenerator> generator);

}  // namespace orrelin
