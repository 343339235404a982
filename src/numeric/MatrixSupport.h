#pragma once
// Helpers shared by the matrix code: size checks and the handling of the
// status LAPACK gives back.

#include <lapacke.h>

#include <algorithm>
#include <string>

#include "numeric/MVMatrix.h"

namespace orrelin {

inline bool sameSize(const MVMatrix& a, const MVMatrix& b) { return a.m() == b.m() && a.n() == b.n(); }

// The leading dimension BLAS and LAPACK expect for a column-major matrix.
inline int leading(const MVMatrix& a) { return std::max(1, a.m()); }

// Reports a failed LAPACK call. Negative statuses come from LAPACKE's own
// checks: a NaN in the input, or no memory for the workspace (the arguments
// themselves are always valid). Positive ones mean the matrix was singular,
// or, for the singular value decomposition, that it did not converge.
inline bool lapackSucceeded(const char* function, lapack_int info,
                            const char* positive = "Matrix is singular.") {
  if (info == 0) return true;
  if (info == LAPACK_WORK_MEMORY_ERROR || info == LAPACK_TRANSPOSE_MEMORY_ERROR) {
    MVErrorMessage(function, "Memory allocation failed");
  } else if (info < 0) {
    MVErrorMessage(function, "The matrix contains NaN.");
  } else {
    MVErrorMessage(function, positive);
  }
  return false;
}

// A must be square and B must have as many rows as A.
inline bool checkSolve(const char* function, const MVMatrix& a, const MVMatrix& b) {
  if (a.m() != a.n()) {
    MVErrorMessage(function, "Only works for a square matrix");
    return false;
  }
  if (b.m() != a.n()) {
    MVErrorMessage(function, "Invalid number of rows in the right hand side.");
    return false;
  }
  return true;
}

}  // namespace orrelin
