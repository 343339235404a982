#include "expression/KRExpressionRandomGenerator.h"

#include <cmath>

#include "expression/KRExpressionErrorHandler.h"
#include "expression/KRExpressionMessages.h"
#include "numeric/KRDoubleArrayContainer.h"

namespace orrelin {

namespace {
constexpr std::size_t N = 624;
constexpr std::size_t M = 397;
constexpr std::uint32_t kTwist = 0x9908b0dfu;
constexpr std::uint32_t kUpper = 0x80000000u;
constexpr std::uint32_t kLower = 0x7fffffffu;
constexpr double kTwoPi = 6.283185307179586;
}  // namespace

// Each state word takes the high half of the seed and the high half of the
// next linear congruential step (multiplier 69069); this is the classic
// seeding, not the one of std::mt19937.
KRExpressionRandomGenerator::KRExpressionRandomGenerator(std::uint32_t seed) : position_(N) {
  std::uint32_t s = seed;
  for (auto& word : state_) {
    const std::uint32_t next = 69069u * s + 1u;
    word = (s & 0xffff0000u) | (next >> 16);
    s = 69069u * next + 1u;
  }
}

void KRExpressionRandomGenerator::twist() {
  for (std::size_t k = 0; k < N; ++k) {
    const std::uint32_t y = (state_[k] & kUpper) | (state_[(k + 1) % N] & kLower);
    state_[k] = state_[(k + M) % N] ^ (y >> 1) ^ ((y & 1u) ? kTwist : 0u);
  }
  position_ = 0;
}

std::uint32_t KRExpressionRandomGenerator::nextInteger() {
  if (position_ >= N) twist();
  std::uint32_t y = state_[position_++];
  y ^= y >> 11;
  y ^= (y << 7) & 0x9d2c5680u;
  y ^= (y << 15) & 0xefc60000u;
  y ^= y >> 18;
  return y;
}

void KRExpressionRandomGenerator::fillUniform(double* out, std::size_t count) {
  for (std::size_t k = 0; k < count; ++k) out[k] = uniform();
}

void KRExpressionRandomGenerator::fillNormal(double* out, std::size_t count) {
  for (std::size_t k = 0; k < count; k += 2) {
    const double u1 = uniform();
    const double u2 = uniform();
    const double r = std::sqrt(-2 * std::log(u1));
    const double theta = kTwoPi * u2;
    out[k] = r * std::cos(theta);
    if (k + 1 < count) out[k + 1] = r * std::sin(theta);
  }
}

std::optional<KRValue> KRExpressionRandomNumbers::evaluateWithArgument(const KRValue& argument,
                                                                      const KRExpressionArgument& input,
                                                                      KRExpressionEvaluationErrorHandler& errors) {
  const char* name = normal_ ? "nrand" : "rand";
  std::vector<KRValue> entries;
  if (const auto* list = argument.listEntries()) entries = *list;
  else entries.push_back(argument);
  const bool countFits = normal_ ? (entries.size() == 1 || entries.size() == 2) : entries.size() == 2;
  if (!countFits || !generator_) {
    errors.miscError(formatMessage(expression_messages::kIllegalArgumentCount, name));
    return std::nullopt;
  }
  std::size_t count = input.arrayLength;
  for (const auto& entry : entries) {
    if (entry.kind() != KRValueKind::Number && entry.kind() != KRValueKind::Array) {
      errors.miscError(expression_messages::kCantEvaluateFunction);
      return std::nullopt;
    }
    if (const auto* array = entry.arrayContainer())
      count = count ? std::min<std::size_t>(count, array->length()) : std::size_t(array->length());
  }
  KRValue draws;
  if (count == 0) {
    double one = 0;
    if (normal_) generator_->fillNormal(&one, 1);
    else one = generator_->uniform();
    draws = KRValue(one);
  } else {
    auto array = KRDoubleArrayContainer::createArrayOfLength(static_cast<long>(count));
    if (!array) return std::nullopt;
    if (normal_) generator_->fillNormal(array->mutableDoublePointer(), count);
    else generator_->fillUniform(array->mutableDoublePointer(), count);
    draws = KRValue::array(std::move(array));
  }
  if (!normal_) {
    const KRValue& a = entries[0];
    const KRValue& b = entries[1];
    return elementWiseOperator(KROperatorType::Add, a,
                               elementWiseOperator(KROperatorType::Multiply,
                                                   elementWiseOperator(KROperatorType::Subtract, b, a), draws));
  }
  if (entries.size() == 1) return elementWiseOperator(KROperatorType::Multiply, entries[0], draws);
  return elementWiseOperator(KROperatorType::Add, entries[0],
                             elementWiseOperator(KROperatorType::Multiply, entries[1], draws));
}

KRFunctionDictionary randomFunctions(std::shared_ptr<KRExpressionRandomGenerator> generator) {
  KRFunctionDictionary functions;
  functions["rand"] = KRUserFunction::withCallback(std::make_shared<KRExpressionRandomNumbers>(generator, false), 2, 2);
  functions["nrand"] = KRUserFunction::withCallback(std::make_shared<KRExpressionRandomNumbers>(generator, true), 2, 1);
  return functions;
}

}  // namespace orrelin
