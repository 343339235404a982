// One column of 10^7 rows, sin(x)*exp(-y/10)+x^2, computed the way an
// expression column computes it, as a whole process so that its time and
// peak memory compare with numpy's (column_numpy.py, compare_numpy.sh).

#include <cstdio>
#include <cstdlib>

#include "expression/KRExpression.h"
#include "numeric/KRDoubleArrayContainer.h"
#include "support/Linspace.h"

using namespace orrelin;
using bench_support::linspace;

int main(int argc, char** argv) {
  const long n = argc > 1 ? std::atol(argv[1]) : 10000000;
  auto x = linspace(0, 100, n);
  auto y = linspace(-50, 50, n);
  KRExpressionErrorHandler parseErrors;
  auto e = KRExpression::createFromString("sin(x)*exp(-y/10)+x^2", &parseErrors);
  if (!e) {
    std::fprintf(stderr, "%s\n", parseErrors.errorString().c_str());
    return 1;
  }
  KRExpressionEvaluationErrorHandler errors;
  auto column = e->evaluateWithArguments({{"x", KRValue::array(x)}, {"y", KRValue::array(y)}}, -1, nullptr, &errors);
  if (!column || !column->arrayContainer()) {
    std::fprintf(stderr, "%s\n", errors.errorString().c_str());
    return 1;
  }
  const double* r = column->arrayContainer()->constDoublePointer();
  double sum = 0;
  for (long k = 0; k < n; k += 1000) sum += r[k];
  std::printf("rows %ld checksum %.9e\n", n, sum);
  return 0;
}
