// One column of 10^7 rows, sin(x)*exp(-y/10)+x^2, computed the way an
// expression column computes it, as a whole process so that its time and
// peak memory compare with numpy's (column_numpy.py, compare_numpy.sh).
//   expression_column [rows] [float]
// With "float", x and y are float columns (the same values rounded to
// float), which the evaluation widens block by block. The blocks are shared
// with the shared operation queue's threads, as an expression column shares
// them.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "expression/KRExpression.h"
#include "graph/dependency/VKOperationQueue.h"
#include "numeric/KRDoubleArrayContainer.h"
#include "numeric/KRFloatArrayContainer.h"
#include "support/Linspace.h"

using namespace orrelin;
using bench_support::linspace;

namespace {

class QueueWorkers final : public KRExpressionWorkers {
 public:
  unsigned helperCount() const override { return VKOperationQueue::shared().threadLimit() - 1; }
  void runAlongside(const std::vector<std::function<void()>>& helpers, const std::function<void()>& own) override {
    std::vector<std::shared_ptr<VKOperation>> operations;
    for (const auto& helper : helpers) operations.push_back(VKOperation::withCall(helper));
    VKOperationQueue::shared().performOperationsAlongside(operations, own);
  }
};

}  // namespace

int main(int argc, char** argv) {
  const long n = argc > 1 ? std::atol(argv[1]) : 10000000;
  const bool floats = argc > 2 && std::strcmp(argv[2], "float") == 0;
  const auto column = [&](double start, double stop) {
    auto doubles = linspace(start, stop, n);
    return floats ? KRValue::array(doubles->convertToFloat()) : KRValue::array(doubles);
  };
  const KRValue x = column(0, 100);
  const KRValue y = column(-50, 50);
  KRExpressionErrorHandler parseErrors;
  auto e = KRExpression::createFromString("sin(x)*exp(-y/10)+x^2", &parseErrors);
  if (!e) {
    std::fprintf(stderr, "%s\n", parseErrors.errorString().c_str());
    return 1;
  }
  KRExpressionEvaluationErrorHandler errors;
  QueueWorkers workers;
  auto result = e->evaluateWithArguments({{"x", x}, {"y", y}}, -1, nullptr, &errors, nullptr, &workers);
  if (!result || !result->arrayContainer()) {
    std::fprintf(stderr, "%s\n", errors.errorString().c_str());
    return 1;
  }
  const double* r = result->arrayContainer()->constDoublePointer();
  double sum = 0;
  for (long k = 0; k < n; k += 1000) sum += r[k];
  std::printf("rows %ld checksum %.9e\n", n, sum);
  return 0;
}
