#pragma once
// LU, QR and singular value factorizations over LAPACK, with solves,
// inverses and condition estimates. Misuse is reported through
// MVErrorMessage(function, text) and gives the empty matrix.

#include "numeric/MVMatrix.h"

namespace orrelin {

class MVLUFactors {
 public:
  MVLUFactors() = default;
  // A, its pivot and the factored array (L below the diagonal with a unit
  // diagonal, U on and above it). The sizes must fit together.
  MVLUFactors(const MVMatrix& a, const MVPivot& pivot, const MVMatrix& factored);

  bool IsEmpty() const { return factored_.IsEmpty(); }
  const MVMatrix& Matrix() const { return a_; }
  const MVPivot& Pivot() const { return pivot_; }
  const MVMatrix& Factored() const { return factored_; }
  // Whether U has a zero on its diagonal.
  bool IsSingular() const;

  // A^-1 B through dgetrs.
  MVMutableMatrix InverseTimes(const MVMatrix& b) const;
  // Refines the solution x of A x = b in place (dgerfs).
  void ImproveSolution(MVMutableMatrix& x, const MVMatrix& b) const;
  // The m x min(m,n) unit lower factor and the min(m,n) x n upper factor,
  // so that Pivot() * A = ExtractL() * ExtractU().
  MVMutableMatrix ExtractL() const;
  MVMutableMatrix ExtractU() const;

 private:
  MVMatrix a_;
  MVPivot pivot_;
  MVMatrix factored_;
};

// dgetrf on a copy of A.
MVLUFactors LU(const MVMatrix& a);

// The inverse of a factored matrix, kept as its factors so that products
// solve instead of inverting.
class MVLUInverse {
 public:
  MVLUInverse() = default;
  explicit MVLUInverse(const MVLUFactors& factors) : factors_(factors) {}
  const MVLUFactors& Factors() const { return factors_; }

 private:
  MVLUFactors factors_;
};

MVLUInverse Inverse(const MVLUFactors& factors);
MVMutableMatrix operator*(const MVLUInverse& inverse, const MVMatrix& b);
// Reciprocal condition estimates of A in the 1-norm and the infinity-norm
// (dgecon); NaN after a message.
double EstimateOneNorm(const MVLUInverse& inverse);
double EstimateInfinityNorm(const MVLUInverse& inverse);

class MVQRFactors {
 public:
  MVQRFactors() = default;
  MVQRFactors(const MVMatrix& factored, const MVDoubleArray& tau) : factored_(factored), tau_(tau) {}

  bool IsEmpty() const { return factored_.IsEmpty(); }
  const MVMatrix& Factored() const { return factored_; }
  const MVDoubleArray& Tau() const { return tau_; }
  // The m x min(m,n) factor with orthonormal columns (dorgqr) and the
  // min(m,n) x n upper triangle, so that A = Q() * R().
  MVMutableMatrix Q() const;
  MVMutableMatrix R() const;

 private:
  MVMatrix factored_;
  MVDoubleArray tau_;
};

// dgeqrf on a copy of A.
MVQRFactors QR(const MVMatrix& a);

class MVSVDFactors {
 public:
  MVSVDFactors() = default;
  // A = U Sigma V^T with U m x k, Sigma k x k, V n x k.
  MVSVDFactors(const MVMatrix& u, const MVDiagonalMatrix& sigma, const MVMatrix& v);

  bool IsEmpty() const { return sigma_.IsEmpty(); }
  const MVMatrix& U() const { return u_; }
  const MVDiagonalMatrix& Sigma() const { return sigma_; }
  const MVMatrix& V() const { return v_; }
  // U Sigma V^T.
  MVMutableMatrix Matrix() const;
  // The pseudo-inverse applied to B: V Sigma^+ U^T B, where singular values
  // below max(m,n) * eps * the largest count as zero.
  MVMutableMatrix InverseTimes(const MVMatrix& b) const;

 private:
  MVMatrix u_;
  MVDiagonalMatrix sigma_;
  MVMatrix v_;
};

// dgesvd with the thin U and V.
MVSVDFactors SVD(const MVMatrix& a);
// The factors of the pseudo-inverse: V Sigma^+ U^T.
MVSVDFactors Inverse(const MVSVDFactors& factors);
// U Sigma V^T B.
MVMutableMatrix operator*(const MVSVDFactors& factors, const MVMatrix& b);

}  // namespace orrelin
