#pragma once
// A formula over array arguments compiled to a short list of element-wise
// steps, run block by block with the block's temporaries in buffers that
// are reused for every block. Formulas with parts that need the general
// evaluator (lists, user functions, callbacks, subscripts, fact, seconds)
// do not compile.

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "expression/KRExpressionBuiltins.h"
#include "expression/KRExpressionNodes.h"

namespace orrelin {

class KRExpressionArgument;

// The elements of a whole column argument: doubles, or floats that are
// widened one block at a time.
struct KRColumnElements {
  const double* doubles = nullptr;
  const float* floats = nullptr;
};

class KRExpressionBlockProgram {
 public:
  // arrays: the array arguments by name (whole columns); names not among
  // them are looked up as numbers in input.
  static std::optional<KRExpressionBlockProgram> compile(const KRExpressionNode& root,
                                                         const std::map<std::string, KRColumnElements, std::less<>>& arrays,
                                                         const KRExpressionArgument& input);

  // Elements from, ..., from+count-1 of the result into out. scratch holds
  // the temporaries of one thread (resized as needed).
  void run(std::size_t from, std::size_t count, double* out, std::vector<double>& scratch) const;

  static constexpr std::size_t kBlockSize = 2048;

 private:
  struct Slot {
    enum Kind { Scalar, Input, Temporary } kind = Scalar;
    double scalar = 0;
    const double* input = nullptr;
    int temporary = -1;
  };
  struct Step {
    enum Kind { Operator, Unary, Binary, Select, Widen } kind;
    explicit Step(Kind k) : kind(k) {}
    KROperatorType op = KROperatorType::None;
    KRUnaryScalarFunction unary = nullptr;
    double (*binary)(double, double) = nullptr;
    const float* floats = nullptr;  // Widen: the whole float column
    Slot a, b, c;
    int out = -1;
  };

  std::optional<Slot> compileNode(const KRExpressionNode& node);
  Slot emit(Step step);

  const std::map<std::string, KRColumnElements, std::less<>>* arrays_ = nullptr;
  const KRExpressionArgument* input_ = nullptr;
  // Each float column is widened once per block, however often it is used.
  std::map<std::string, Slot, std::less<>> widened_;
  std::vector<Step> steps_;
  Slot result_;
  int temporaries_ = 0;
};

}  // namespace orrelin
