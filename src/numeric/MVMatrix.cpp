#include "numeric/MVMatrix.h"

#include <cblas.h>

#include <cmath>
#include <limits>

#include "numeric/MatrixSupport.h"

namespace orrelin {

namespace {

bool isVector(const MVDoubleArray& array) { return array.o() <= 1 && (array.m() <= 1 || array.n() <= 1); }

// Element-wise into a new matrix of a's shape.
template <class Op>
MVMutableMatrix mapElements(const MVMatrix& a, Op op) {
  MVMutableMatrix result(a.m(), a.n());
  const double* from = a.Pointer();
  double* to = result.MutablePointer();
  for (long p = 0; p < long(a.m()) * a.n(); ++p) to[p] = op(from[p]);
  return result;
}

template <class Op>
MVMutableMatrix combineElements(const char* function, const MVMatrix& a, const MVMatrix& b, Op op) {
  if (!sameSize(a, b)) {
    MVErrorMessage(function, "Sizes don't match");
    return {};
  }
  MVMutableMatrix result(a.m(), a.n());
  for (long p = 0; p < long(a.m()) * a.n(); ++p)
    result.MutablePointer()[p] = op(a.Pointer()[p], b.Pointer()[p]);
  return result;
}

// C = op(A) op(B) through dgemm, with op(X) = X or X^T.
MVMutableMatrix product(const char* function, const MVMatrix& a, bool transposeA, const MVMatrix& b,
                        bool transposeB) {
  long m = transposeA ? a.n() : a.m();
  long k = transposeA ? a.m() : a.n();
  long kb = transposeB ? b.n() : b.m();
  long n = transposeB ? b.m() : b.n();
  if (k != kb) {
    MVErrorMessage(function, "Sizes don't match");
    return {};
  }
  MVMutableMatrix c(m, n);
  // Any zero dimension makes the operands empty, and the product with them.
  if (c.IsEmpty() || k == 0) return {};
  cblas_dgemm(CblasColMajor, transposeA ? CblasTrans : CblasNoTrans, transposeB ? CblasTrans : CblasNoTrans,
              blasint(m), blasint(n), blasint(k), 1.0, a.Pointer(), leading(a), b.Pointer(), leading(b), 0.0,
              c.MutablePointer(), leading(c));
  return c;
}

MVDiagonalMatrix diagonalOf(long size, auto entry) {
  MVMutableDoubleArray diagonal(size);
  for (long i = 0; i < size; ++i) diagonal.MutablePointer()[i] = entry(i);
  return MVDiagonalMatrix(diagonal);
}

template <class Op>
MVDiagonalMatrix combineDiagonals(const char* function, const MVDiagonalMatrix& a, const MVDiagonalMatrix& b,
                                  Op op) {
  if (a.Size() != b.Size()) {
    MVErrorMessage(function, "Different sizes");
    return {};
  }
  return diagonalOf(a.Size(), [&](long i) { return op(a(i), b(i)); });
}

// The rows of A multiplied by factor(i).
template <class Factor>
MVMutableMatrix scaleRows(const char* function, const MVDiagonalMatrix& d, const MVMatrix& a, Factor factor) {
  if (d.Size() != a.m()) {
    MVErrorMessage(function, "Invalid size");
    return {};
  }
  MVMutableMatrix result = a.Copy();
  for (long j = 0; j < a.n(); ++j) {
    for (long i = 0; i < a.m(); ++i) result.MutablePointer()[i + j * a.m()] *= factor(i);
  }
  return result;
}

}  // namespace

MVMatrix::MVMatrix(const MVDoubleArray& array) {
  if (array.o() > 1) {
    MVErrorMessage("MVMatrix(array)", "Can not be a 3D array");
    return;
  }
  array_ = array;
}

MVMutableMatrix MVMatrix::Copy() const { return MVMutableMatrix(array_.Copy()); }

MVMutableMatrix::MVMutableMatrix(long rows, long columns)
    : MVMutableMatrix(MVMutableDoubleArray(rows, columns)) {}

MVMutableMatrix::MVMutableMatrix(const MVMutableDoubleArray& array) {
  if (array.o() > 1) {
    MVErrorMessage("MVMutableMatrix(MVMutableDoubleArray)", "Input is 3D.");
    return;
  }
  mutable_ = array;
  array_ = array;
}

MVMutableMatrix& MVMutableMatrix::operator=(double value) {
  mutable_ = value;
  return *this;
}

MVMutableMatrix& MVMutableMatrix::operator+=(const MVMatrix& b) {
  if (!sameSize(*this, b)) {
    MVErrorMessage("MVMutableMatrix+=MVMatrix", "Incompatiable sizes");
  } else if (!IsEmpty()) {
    cblas_daxpy(blasint(m()) * n(), 1.0, b.Pointer(), 1, MutablePointer(), 1);
  }
  return *this;
}

MVMutableMatrix& MVMutableMatrix::operator-=(const MVMatrix& b) {
  if (!sameSize(*this, b)) {
    MVErrorMessage("MVMutableMatrix-=MVMatrix", "Incompatiable sizes");
  } else if (!IsEmpty()) {
    cblas_daxpy(blasint(m()) * n(), -1.0, b.Pointer(), 1, MutablePointer(), 1);
  }
  return *this;
}

MVMutableMatrix& MVMutableMatrix::operator*=(double x) {
  mutable_ *= x;
  return *this;
}

MVMutableMatrix MutableCopy(const MVMatrix& a) { return a.Copy(); }

MVMutableMatrix Transpose(const MVMatrix& a) { return MVMutableMatrix(Transpose(a.Array())); }

MVMutableMatrix Abs(const MVMatrix& a) {
  return mapElements(a, [](double v) { return std::fabs(v); });
}

MVMutableMatrix ColumnVector(const MVDoubleArray& v) { return MVMutableMatrix(Reshape(v, v.Length(), 1, 1)); }

MVMutableMatrix operator*(const MVMatrix& a, const MVMatrix& b) {
  return product("MVMatrix*MVMatrix", a, false, b, false);
}

MVMutableMatrix TransposeTimes(const MVMatrix& a, const MVMatrix& b) {
  return product("TransposeTimes(MVMatrix,MVMatrix)", a, true, b, false);
}

MVMutableMatrix MultiplyTransposeTimesStandard(const MVMatrix& a, const MVMatrix& b) {
  return product("MultiplyTransposeTimesStandard(MVMatrix,MVMatrix)", a, false, b, true);
}

MVMutableMatrix operator+(const MVMatrix& a, const MVMatrix& b) {
  return combineElements("MVMatrix+MVMatrix", a, b, [](double x, double y) { return x + y; });
}

MVMutableMatrix operator-(const MVMatrix& a, const MVMatrix& b) {
  return combineElements("MVMatrix-MVMatrix", a, b, [](double x, double y) { return x - y; });
}

MVMutableMatrix operator*(const MVMatrix& a, double x) { return MVMutableMatrix(a.Array() * x); }
MVMutableMatrix operator*(double x, const MVMatrix& a) { return a * x; }
MVMutableMatrix operator+(const MVMatrix& a, double x) { return MVMutableMatrix(a.Array() + x); }
MVMutableMatrix operator+(double x, const MVMatrix& a) { return a + x; }
MVMutableMatrix operator-(const MVMatrix& a, double x) { return a + (-x); }

MVMutableMatrix Inverse(const MVMatrix& a) {
  const char* function = "Inverse(MVMatrix)";
  if (a.m() != a.n()) {
    MVErrorMessage(function, "Can only compute the inverse of a square matrix.");
    return {};
  }
  MVMutableMatrix inverse = a.Copy();
  if (inverse.IsEmpty()) return inverse;
  std::vector<lapack_int> pivot(std::size_t(a.n()));
  lapack_int info = LAPACKE_dgetrf(LAPACK_COL_MAJOR, a.m(), a.n(), inverse.MutablePointer(), leading(inverse),
                                   pivot.data());
  if (!lapackSucceeded(function, info)) return {};
  info = LAPACKE_dgetri(LAPACK_COL_MAJOR, a.n(), inverse.MutablePointer(), leading(inverse), pivot.data());
  if (!lapackSucceeded(function, info)) return {};
  return inverse;
}

MVMutableMatrix InverseTimes(const MVMatrix& a, const MVMatrix& b) {
  const char* function = "InverseTimes(MVMatrix,MVMatrix)";
  if (!checkSolve(function, a, b)) return {};
  MVMutableMatrix factored = a.Copy();
  MVMutableMatrix x = b.Copy();
  if (x.IsEmpty()) return x;
  std::vector<lapack_int> pivot(std::size_t(a.n()));
  lapack_int info = LAPACKE_dgesv(LAPACK_COL_MAJOR, a.n(), b.n(), factored.MutablePointer(),
                                  leading(factored), pivot.data(), x.MutablePointer(), leading(x));
  if (!lapackSucceeded(function, info)) return {};
  return x;
}

double TwoNorm(const MVMatrix&) {
  MVErrorMessage("TwoNorm", "Not done yet");
  return std::numeric_limits<double>::quiet_NaN();
}

MVDiagonalMatrix::MVDiagonalMatrix(const MVDoubleArray& diagonal) {
  if (!isVector(diagonal)) {
    MVErrorMessage("MVDiagonalMatrix(MVDoubleArray)", "Input has to be a vector");
    return;
  }
  diagonal_ = diagonal;
}

MVMutableMatrix MVDiagonalMatrix::Matrix() const {
  MVMutableMatrix full(Size(), Size());
  full = 0;
  for (long i = 0; i < Size(); ++i) full(i, i) = diagonal_.Pointer()[i];
  return full;
}

MVMutableMatrix MVDiagonalMatrix::InverseTimes(const MVMatrix& a) const {
  return scaleRows("MVDiagonalMatrix::InverseTimes", *this, a,
                   [this](long i) { return 1.0 / diagonal_.Pointer()[i]; });
}

void MVDiagonalMatrix::MultiplyOnLeftInPlace(MVMutableMatrix& a) const {
  if (Size() != a.m()) {
    MVErrorMessage("MVDiagonalMatrix::MultiplyOnLeftInPlace", "Invalid size");
    return;
  }
  for (long j = 0; j < a.n(); ++j) {
    for (long i = 0; i < a.m(); ++i) a.MutablePointer()[i + j * a.m()] *= diagonal_.Pointer()[i];
  }
}

MVDiagonalMatrix Diagonal(const MVMatrix& a) {
  return diagonalOf(std::min(a.m(), a.n()), [&](long i) { return a.Pointer()[i + i * a.m()]; });
}

MVDiagonalMatrix Inverse(const MVDiagonalMatrix& d) { return MVDiagonalMatrix(1.0 / d.Diagonal()); }
MVDiagonalMatrix operator+(const MVDiagonalMatrix& d, double x) { return MVDiagonalMatrix(d.Diagonal() + x); }
MVDiagonalMatrix operator-(const MVDiagonalMatrix& d, double x) { return MVDiagonalMatrix(d.Diagonal() - x); }
MVDiagonalMatrix operator*(const MVDiagonalMatrix& d, double x) { return MVDiagonalMatrix(d.Diagonal() * x); }
MVDiagonalMatrix operator*(double x, const MVDiagonalMatrix& d) { return d * x; }
MVDiagonalMatrix operator/(const MVDiagonalMatrix& d, double x) { return MVDiagonalMatrix(d.Diagonal() / x); }

MVDiagonalMatrix operator+(const MVDiagonalMatrix& a, const MVDiagonalMatrix& b) {
  return combineDiagonals("MVDiagonalMatrix+MVDiagonalMatrix", a, b,
                          [](double x, double y) { return x + y; });
}
MVDiagonalMatrix operator-(const MVDiagonalMatrix& a, const MVDiagonalMatrix& b) {
  return combineDiagonals("MVDiagonalMatrix-MVDiagonalMatrix", a, b,
                          [](double x, double y) { return x - y; });
}
MVDiagonalMatrix operator*(const MVDiagonalMatrix& a, const MVDiagonalMatrix& b) {
  return combineDiagonals("MVDiagonalMatrix*MVDiagonalMatrix", a, b,
                          [](double x, double y) { return x * y; });
}

MVMutableMatrix operator*(const MVDiagonalMatrix& d, const MVMatrix& a) {
  return scaleRows("MVDiagonalMatrix*MVMatrix", d, a, [&d](long i) { return d.Diagonal().Pointer()[i]; });
}

MVMutableMatrix operator+(const MVMatrix& a, const MVDiagonalMatrix& d) {
  if (a.m() != a.n() || a.m() != d.Size()) {
    MVErrorMessage("MVMatrix+MVDiagonalMatrix", "Invalid size");
    return {};
  }
  MVMutableMatrix result = a.Copy();
  for (long i = 0; i < d.Size(); ++i) result(i, i) += d.Diagonal().Pointer()[i];
  return result;
}

MVMutableMatrix operator+(const MVDiagonalMatrix& d, const MVMatrix& a) { return a + d; }

MVSymmetricTridiagonal::MVSymmetricTridiagonal(const MVDoubleArray& diagonal,
                                               const MVDoubleArray& offDiagonal) {
  bool fits = isVector(diagonal) && isVector(offDiagonal) &&
              offDiagonal.Length() == std::max(diagonal.Length() - 1, 0);
  if (!fits) {
    MVErrorMessage("MVSymmetricTridiagonal(diagonal,off diagonal)", "Invalid arrays");
    return;
  }
  diagonal_ = diagonal;
  offDiagonal_ = offDiagonal;
}

MVMutableMatrix MVSymmetricTridiagonal::Matrix() const {
  MVMutableMatrix full(Size(), Size());
  full = 0;
  for (long i = 0; i < Size(); ++i) {
    full(i, i) = diagonal_.Pointer()[i];
    if (i + 1 < Size()) full(i + 1, i) = full(i, i + 1) = offDiagonal_.Pointer()[i];
  }
  return full;
}

MVMutableMatrix operator*(const MVSymmetricTridiagonal& t, const MVMatrix& a) {
  long size = t.Size();
  if (size != a.m()) {
    MVErrorMessage("MVSymmetricTridiagonal*MVMatrix", "Sizes don't match");
    return {};
  }
  const double* d = t.Diagonal().Pointer();
  const double* e = t.OffDiagonal().Pointer();
  MVMutableMatrix result(size, a.n());
  for (long j = 0; j < a.n(); ++j) {
    const double* x = a.Pointer() + j * size;
    double* y = result.MutablePointer() + j * size;
    for (long i = 0; i < size; ++i) {
      double sum = d[i] * x[i];
      if (i > 0) sum += e[i - 1] * x[i - 1];
      if (i + 1 < size) sum += e[i] * x[i + 1];
      y[i] = sum;
    }
  }
  return result;
}

MVPivot::MVPivot(const MVIntArray& pivot) {
  if (pivot.o() > 1 || (pivot.m() > 1 && pivot.n() > 1)) {
    MVErrorMessage("MVPivot(array)", "Can only hand in a one dimensional vector");
    return;
  }
  pivot_ = pivot;
}

MVMutableMatrix operator*(const MVPivot& p, const MVMatrix& a) {
  const int* swaps = p.Array().Pointer();
  bool fits = p.Length() <= a.m();
  for (long i = 0; fits && i < p.Length(); ++i) fits = swaps[i] >= 1 && swaps[i] <= a.m();
  if (!fits) {
    MVErrorMessage("MVPivot*MVMatrix", "Sizes don't match");
    return {};
  }
  MVMutableMatrix result = a.Copy();
  for (long i = 0; i < p.Length(); ++i) {
    long other = swaps[i] - 1;
    if (other == i) continue;
    for (long j = 0; j < a.n(); ++j) std::swap(result(i, j), result(other, j));
  }
  return result;
}

}  // namespace orrelin
