#include "numeric/MVFactorizations.h"

#include <cmath>
#include <limits>
#include <vector>

#include "numeric/MatrixSupport.h"

namespace orrelin {

static_assert(sizeof(lapack_int) == sizeof(int), "pivots are kept in an int array");

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The entries (i, j) of a rows x columns matrix for which keep(i, j) holds
// are taken from the factored array, the others are given by fill(i, j).
template <class Keep, class Fill>
MVMutableMatrix triangle(const MVMatrix& factored, long rows, long columns, Keep keep, Fill fill) {
  MVMutableMatrix result(rows, columns);
  for (long j = 0; j < columns; ++j) {
    for (long i = 0; i < rows; ++i) result(i, j) = keep(i, j) ? factored(i, j) : fill(i, j);
  }
  return result;
}

// The columns of A multiplied by the diagonal.
MVMutableMatrix scaleColumns(const MVMatrix& a, const MVDiagonalMatrix& d) {
  MVMutableMatrix result = a.Copy();
  for (long j = 0; j < a.n(); ++j) {
    for (long i = 0; i < a.m(); ++i) result(i, j) *= d(j);
  }
  return result;
}

double estimateCondition(const char* function, char norm, const MVLUInverse& inverse) {
  const MVLUFactors& factors = inverse.Factors();
  const MVMatrix& a = factors.Matrix();
  if (a.m() != a.n() || factors.Factored().m() != a.m()) {
    MVErrorMessage(function, "Matrix needs to be square");
    return kNaN;
  }
  double anorm = LAPACKE_dlange(LAPACK_COL_MAJOR, norm, a.m(), a.n(), a.Pointer(), leading(a));
  double rcond = kNaN;
  lapack_int info = LAPACKE_dgecon(LAPACK_COL_MAJOR, norm, a.n(), factors.Factored().Pointer(),
                                   leading(factors.Factored()), anorm, &rcond);
  return lapackSucceeded(function, info) ? rcond : kNaN;
}

}  // namespace

MVLUFactors::MVLUFactors(const MVMatrix& a, const MVPivot& pivot, const MVMatrix& factored) {
  if (!sameSize(a, factored) || pivot.Length() != std::min(a.m(), a.n())) {
    MVErrorMessage("MVLUFactors(A,pivot,factored)", "Invalid size");
    return;
  }
  a_ = a;
  pivot_ = pivot;
  factored_ = factored;
}

bool MVLUFactors::IsSingular() const {
  for (long i = 0; i < std::min(factored_.m(), factored_.n()); ++i) {
    if (factored_(i, i) == 0) return true;
  }
  return false;
}

MVLUFactors LU(const MVMatrix& a) {
  if (a.IsEmpty()) return {};
  MVMutableMatrix factored = a.Copy();
  MVMutableIntArray pivot(std::min(a.m(), a.n()));
  lapack_int info = LAPACKE_dgetrf(LAPACK_COL_MAJOR, a.m(), a.n(), factored.MutablePointer(), leading(a),
                                   pivot.MutablePointer());
  // A positive status only says that U has a zero on its diagonal; the
  // factors are still those of A.
  if (info < 0) {
    lapackSucceeded("LU(MVMatrix)", info);
    return {};
  }
  return MVLUFactors(a, MVPivot(pivot), factored);
}

MVMutableMatrix MVLUFactors::InverseTimes(const MVMatrix& b) const {
  const char* function = "MVLUFactors::InverseTimes";
  if (!checkSolve(function, a_, b)) return {};
  if (IsSingular()) {
    MVErrorMessage(function, "Matrix is singular.");
    return {};
  }
  MVMutableMatrix x = b.Copy();
  if (x.IsEmpty()) return x;
  lapack_int info =
      LAPACKE_dgetrs(LAPACK_COL_MAJOR, 'N', a_.n(), b.n(), factored_.Pointer(), leading(factored_),
                     pivot_.Array().Pointer(), x.MutablePointer(), leading(x));
  if (!lapackSucceeded(function, info)) return {};
  return x;
}

void MVLUFactors::ImproveSolution(MVMutableMatrix& x, const MVMatrix& b) const {
  const char* function = "MVLUFactors::ImproveSolution(x,b)";
  if (a_.m() != a_.n()) {
    MVErrorMessage(function, "Only works for a square matrix");
    return;
  }
  if (!sameSize(x, b)) {
    MVErrorMessage(function, "x and b have to have the same size.");
    return;
  }
  if (x.m() != a_.n()) {
    MVErrorMessage(function, "Solution vector has the wrong number of rows.");
    return;
  }
  if (IsSingular()) {
    MVErrorMessage(function, "Matrix is singular.");
    return;
  }
  if (x.IsEmpty()) return;
  std::vector<double> forwardError(std::size_t(x.n())), backwardError(std::size_t(x.n()));
  lapack_int info =
      LAPACKE_dgerfs(LAPACK_COL_MAJOR, 'N', a_.n(), x.n(), a_.Pointer(), leading(a_), factored_.Pointer(),
                     leading(factored_), pivot_.Array().Pointer(), b.Pointer(), leading(b),
                     x.MutablePointer(), leading(x), forwardError.data(), backwardError.data());
  lapackSucceeded(function, info);
}

MVMutableMatrix MVLUFactors::ExtractL() const {
  long k = std::min(factored_.m(), factored_.n());
  return triangle(
      factored_, factored_.m(), k, [](long i, long j) { return i > j; },
      [](long i, long j) { return i == j ? 1.0 : 0.0; });
}

MVMutableMatrix MVLUFactors::ExtractU() const {
  long k = std::min(factored_.m(), factored_.n());
  return triangle(
      factored_, k, factored_.n(), [](long i, long j) { return i <= j; }, [](long, long) { return 0.0; });
}

MVLUInverse Inverse(const MVLUFactors& factors) { return MVLUInverse(factors); }

MVMutableMatrix operator*(const MVLUInverse& inverse, const MVMatrix& b) {
  return inverse.Factors().InverseTimes(b);
}

double EstimateOneNorm(const MVLUInverse& inverse) {
  return estimateCondition("EstimateOneNorm", '1', inverse);
}

double EstimateInfinityNorm(const MVLUInverse& inverse) {
  return estimateCondition("EstimateInfinityNorm", 'I', inverse);
}

MVQRFactors QR(const MVMatrix& a) {
  if (a.IsEmpty()) return {};
  MVMutableMatrix factored = a.Copy();
  MVMutableDoubleArray tau(std::min(a.m(), a.n()));
  lapack_int info = LAPACKE_dgeqrf(LAPACK_COL_MAJOR, a.m(), a.n(), factored.MutablePointer(), leading(a),
                                   tau.MutablePointer());
  if (!lapackSucceeded("QR(MVMatrix)", info)) return {};
  return MVQRFactors(factored, tau);
}

MVMutableMatrix MVQRFactors::Q() const {
  long k = std::min(factored_.m(), factored_.n());
  if (k == 0) return {};
  MVMutableMatrix q(ExtractColumns(factored_.Array(), k));
  lapack_int info =
      LAPACKE_dorgqr(LAPACK_COL_MAJOR, q.m(), k, k, q.MutablePointer(), leading(q), tau_.Pointer());
  if (!lapackSucceeded("MVQRFactors::Q", info)) return {};
  return q;
}

MVMutableMatrix MVQRFactors::R() const {
  long k = std::min(factored_.m(), factored_.n());
  return triangle(
      factored_, k, factored_.n(), [](long i, long j) { return i <= j; }, [](long, long) { return 0.0; });
}

MVSVDFactors::MVSVDFactors(const MVMatrix& u, const MVDiagonalMatrix& sigma, const MVMatrix& v) {
  if (u.n() != sigma.Size() || v.n() != sigma.Size()) {
    MVErrorMessage("MVSVDFactors(u,sigma,v)", "Invalid sizes");
    return;
  }
  u_ = u;
  sigma_ = sigma;
  v_ = v;
}

MVSVDFactors SVD(const MVMatrix& a) {
  if (a.IsEmpty()) return {};
  long m = a.m(), n = a.n(), k = std::min(m, n);
  MVMutableMatrix work = a.Copy();
  MVMutableMatrix u(m, k), vt(k, n);
  MVMutableDoubleArray sigma(k);
  std::vector<double> superb(std::size_t(std::max(k - 1, 1L)));
  lapack_int info = LAPACKE_dgesvd(LAPACK_COL_MAJOR, 'S', 'S', m, n, work.MutablePointer(), leading(work),
                                   sigma.MutablePointer(), u.MutablePointer(), leading(u),
                                   vt.MutablePointer(), leading(vt), superb.data());
  if (!lapackSucceeded("SVD(MVMatrix)", info, "The singular value decomposition did not converge."))
    return {};
  return MVSVDFactors(u, MVDiagonalMatrix(sigma), Transpose(vt));
}

MVMutableMatrix MVSVDFactors::Matrix() const {
  return MultiplyTransposeTimesStandard(scaleColumns(u_, sigma_), v_);
}

MVSVDFactors Inverse(const MVSVDFactors& factors) {
  const MVDiagonalMatrix& sigma = factors.Sigma();
  double largest = 0;
  for (long i = 0; i < sigma.Size(); ++i) largest = std::max(largest, std::fabs(sigma(i)));
  double cutoff =
      std::max(factors.U().m(), factors.V().m()) * std::numeric_limits<double>::epsilon() * largest;
  MVMutableDoubleArray inverted(sigma.Size());
  for (long i = 0; i < sigma.Size(); ++i) inverted(i) = std::fabs(sigma(i)) > cutoff ? 1.0 / sigma(i) : 0.0;
  return MVSVDFactors(factors.V(), MVDiagonalMatrix(inverted), factors.U());
}

MVMutableMatrix operator*(const MVSVDFactors& factors, const MVMatrix& b) {
  if (b.m() != factors.V().m()) {
    MVErrorMessage("MVSVDFactors*MVMatrix", "Sizes need to match");
    return {};
  }
  return factors.U() * (factors.Sigma() * TransposeTimes(factors.V(), b));
}

MVMutableMatrix MVSVDFactors::InverseTimes(const MVMatrix& b) const {
  if (b.m() != u_.m()) {
    MVErrorMessage("MVSVDFactors*MVMatrix", "Sizes need to match");
    return {};
  }
  return Inverse(*this) * b;
}

}  // namespace orrelin
