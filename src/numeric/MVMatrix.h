#pragma once
// Dense matrices over the plain double array (column-major, m rows and n
// columns), diagonal and symmetric tridiagonal matrices, and row pivots.
// Products go to BLAS. Misuse is reported through MVErrorMessage(function,
// text) and gives the empty matrix (or NaN where the result is a number).
// Matrices share their array like the arrays do; Copy() is the deep copy.

#include "numeric/MVArrays.h"

namespace orrelin {

class MVMutableMatrix;

class MVMatrix {
 public:
  // The empty 0 x 0 matrix.
  MVMatrix() = default;
  // An m x n matrix over a 1-D or 2-D array (sharing it); a 3-D array is
  // refused.
  explicit MVMatrix(const MVDoubleArray& array);

  int m() const { return array_.m(); }
  int n() const { return array_.n(); }
  bool IsEmpty() const { return array_.IsEmpty(); }
  double operator()(long i, long j) const { return array_(i, j); }
  const double* Pointer() const { return array_.Pointer(); }
  const MVDoubleArray& Array() const { return array_; }
  MVMutableMatrix Copy() const;
  bool ContainsNonFiniteNumber() const { return array_.ContainsNonFiniteNumbers(); }

 protected:
  MVDoubleArray array_;
};

class MVMutableMatrix : public MVMatrix {
 public:
  MVMutableMatrix() = default;
  // rows x columns, elements not initialised.
  MVMutableMatrix(long rows, long columns);
  // Over a mutable 1-D or 2-D array (sharing it); a 3-D array is refused.
  explicit MVMutableMatrix(const MVMutableDoubleArray& array);

  using MVMatrix::operator();
  double& operator()(long i, long j) { return mutable_(i, j); }
  double* MutablePointer() { return mutable_.MutablePointer(); }
  MVMutableDoubleArray& MutableArray() { return mutable_; }
  // Sets every element.
  MVMutableMatrix& operator=(double value);

  // In place through BLAS daxpy; a matrix of other dimensions is reported
  // and this one is unchanged.
  MVMutableMatrix& operator+=(const MVMatrix& b);
  MVMutableMatrix& operator-=(const MVMatrix& b);
  MVMutableMatrix& operator*=(double x);

 private:
  MVMutableDoubleArray mutable_;  // the same storage as array_
};

MVMutableMatrix MutableCopy(const MVMatrix& a);
MVMutableMatrix Transpose(const MVMatrix& a);
MVMutableMatrix Abs(const MVMatrix& a);
// The elements of v (in storage order) as a column.
MVMutableMatrix ColumnVector(const MVDoubleArray& v);

// Products through BLAS dgemm: A*B, A^T*B and A*B^T.
MVMutableMatrix operator*(const MVMatrix& a, const MVMatrix& b);
MVMutableMatrix TransposeTimes(const MVMatrix& a, const MVMatrix& b);
MVMutableMatrix MultiplyTransposeTimesStandard(const MVMatrix& a, const MVMatrix& b);

MVMutableMatrix operator+(const MVMatrix& a, const MVMatrix& b);
MVMutableMatrix operator-(const MVMatrix& a, const MVMatrix& b);
MVMutableMatrix operator*(const MVMatrix& a, double x);
MVMutableMatrix operator*(double x, const MVMatrix& a);
MVMutableMatrix operator+(const MVMatrix& a, double x);
MVMutableMatrix operator+(double x, const MVMatrix& a);
MVMutableMatrix operator-(const MVMatrix& a, double x);

// A^-1 through LAPACK dgetrf and dgetri.
MVMutableMatrix Inverse(const MVMatrix& a);
// A^-1 B through LAPACK dgesv.
MVMutableMatrix InverseTimes(const MVMatrix& a, const MVMatrix& b);
// Not provided: reports and gives NaN.
double TwoNorm(const MVMatrix& a);

class MVDiagonalMatrix {
 public:
  MVDiagonalMatrix() = default;
  // The diagonal given as a vector (m x 1 or 1 x n).
  explicit MVDiagonalMatrix(const MVDoubleArray& diagonal);

  int Size() const { return diagonal_.Length(); }
  bool IsEmpty() const { return diagonal_.IsEmpty(); }
  double operator()(long i) const { return diagonal_(i); }
  const MVDoubleArray& Diagonal() const { return diagonal_; }
  // The full square matrix.
  MVMutableMatrix Matrix() const;
  // D^-1 A: the rows of A divided by the diagonal.
  MVMutableMatrix InverseTimes(const MVMatrix& a) const;
  // A becomes D A in place.
  void MultiplyOnLeftInPlace(MVMutableMatrix& a) const;

 private:
  MVDoubleArray diagonal_;
};

// The diagonal of A (its leading min(m, n) entries).
MVDiagonalMatrix Diagonal(const MVMatrix& a);
MVDiagonalMatrix Inverse(const MVDiagonalMatrix& d);
MVDiagonalMatrix operator+(const MVDiagonalMatrix& d, double x);
MVDiagonalMatrix operator-(const MVDiagonalMatrix& d, double x);
MVDiagonalMatrix operator*(const MVDiagonalMatrix& d, double x);
MVDiagonalMatrix operator*(double x, const MVDiagonalMatrix& d);
MVDiagonalMatrix operator/(const MVDiagonalMatrix& d, double x);
MVDiagonalMatrix operator+(const MVDiagonalMatrix& a, const MVDiagonalMatrix& b);
MVDiagonalMatrix operator-(const MVDiagonalMatrix& a, const MVDiagonalMatrix& b);
MVDiagonalMatrix operator*(const MVDiagonalMatrix& a, const MVDiagonalMatrix& b);
// D A: the rows of A scaled by the diagonal.
MVMutableMatrix operator*(const MVDiagonalMatrix& d, const MVMatrix& a);
// A + D and D + A: the diagonal added to that of a square A.
MVMutableMatrix operator+(const MVMatrix& a, const MVDiagonalMatrix& d);
MVMutableMatrix operator+(const MVDiagonalMatrix& d, const MVMatrix& a);

class MVSymmetricTridiagonal {
 public:
  MVSymmetricTridiagonal() = default;
  // The diagonal (length n) and the off-diagonal (length n-1).
  MVSymmetricTridiagonal(const MVDoubleArray& diagonal, const MVDoubleArray& offDiagonal);

  int Size() const { return diagonal_.Length(); }
  const MVDoubleArray& Diagonal() const { return diagonal_; }
  const MVDoubleArray& OffDiagonal() const { return offDiagonal_; }
  MVMutableMatrix Matrix() const;

 private:
  MVDoubleArray diagonal_;
  MVDoubleArray offDiagonal_;
};

MVMutableMatrix operator*(const MVSymmetricTridiagonal& t, const MVMatrix& a);

// A row permutation in LAPACK's form: entry i (1-based) is the row that row
// i was swapped with, the swaps applied in order.
class MVPivot {
 public:
  MVPivot() = default;
  explicit MVPivot(const MVIntArray& pivot);

  int Length() const { return pivot_.Length(); }
  int operator()(long i) const { return pivot_(i); }
  const MVIntArray& Array() const { return pivot_; }

 private:
  MVIntArray pivot_;
};

// The rows of A permuted by the swaps of the pivot.
MVMutableMatrix operator*(const MVPivot& p, const MVMatrix& a);

}  // namespace orrelin
