// Matrices and factorizations: messages, hand-checked small systems and
// reconstruction of random matrices from their factors.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

#include "NumericTestSupport.h"
#include "numeric/MVFactorizations.h"

using namespace orrelin;
using testing_support::Lines;
using testing_support::ReportedMessages;

namespace {

// A matrix given row by row, as it is written on paper.
MVMutableMatrix rows(std::initializer_list<std::initializer_list<double>> entries) {
  long m = long(entries.size()), n = long(entries.begin()->size());
  MVMutableMatrix a(m, n);
  long i = 0;
  for (const auto& row : entries) {
    long j = 0;
    for (double v : row) a(i, j++) = v;
    ++i;
  }
  return a;
}

MVMutableMatrix randomMatrix(long m, long n, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> value(-10, 10);
  MVMutableMatrix a(m, n);
  for (long p = 0; p < m * n; ++p) a.MutablePointer()[p] = value(random);
  return a;
}

double frobenius(const MVMatrix& a) {
  double sum = 0;
  for (long p = 0; p < long(a.m()) * a.n(); ++p) sum += a.Pointer()[p] * a.Pointer()[p];
  return std::sqrt(sum);
}

// |A - B| / |A| in the Frobenius norm; infinity when the shapes differ.
double relativeDifference(const MVMatrix& a, const MVMatrix& b) {
  if (a.m() != b.m() || a.n() != b.n()) return INFINITY;
  return frobenius(a - b) / frobenius(a);
}

MVMutableMatrix identity(long n) { return MVDiagonalMatrix(MVMutableDoubleArray(n) = 1).Matrix(); }

struct MatrixMisuse {
  const char* name;
  std::function<bool()> run;  // whether the result is empty (or NaN, or A unchanged)
  const char* line;
};

class MatrixMessages : public ::testing::TestWithParam<MatrixMisuse> {};

TEST_P(MatrixMessages, ReportAndGiveTheEmptyMatrix) {
  ReportedMessages messages;
  EXPECT_TRUE(GetParam().run());
  EXPECT_EQ(messages.errorList(), Lines{GetParam().line});
}

MVMutableMatrix square3() { return rows({{2, 1, 1}, {1, 3, 2}, {1, 0, 0}}); }
MVMutableMatrix wide() { return rows({{1, 2, 3}, {4, 5, 6}}); }
MVMutableIntArray pivotOf(std::initializer_list<int> values, long m = -1, long n = 1) {
  return MVMutableIntArray::WithValues(values, m, n);
}

INSTANTIATE_TEST_SUITE_P(
    EveryMessage, MatrixMessages,
    ::testing::Values(
        MatrixMisuse{"Matrix3D", [] { return MVMatrix(MVMutableDoubleArray(2, 2, 2)).IsEmpty(); },
                     "MVMatrix(array): Can not be a 3D array"},
        MatrixMisuse{"MutableMatrix3D",
                     [] { return MVMutableMatrix(MVMutableDoubleArray(2, 2, 2)).IsEmpty(); },
                     "MVMutableMatrix(MVMutableDoubleArray): Input is 3D."},
        MatrixMisuse{"DiagonalNotAVector",
                     [] { return MVDiagonalMatrix(MVMutableDoubleArray(2, 2)).IsEmpty(); },
                     "MVDiagonalMatrix(MVDoubleArray): Input has to be a vector"},
        MatrixMisuse{
            "Tridiagonal",
            [] {
              return MVSymmetricTridiagonal(MVMutableDoubleArray(3), MVMutableDoubleArray(3)).Size() == 0;
            },
            "MVSymmetricTridiagonal(diagonal,off diagonal): Invalid arrays"},
        MatrixMisuse{"Pivot2D",
                     [] {
                       return MVPivot(pivotOf({1, 2, 2, 2}, 2, 2)).Length() == 0;
                     },
                     "MVPivot(array): Can only hand in a one dimensional vector"},
        MatrixMisuse{"LUFactorsSizes",
                     [] { return MVLUFactors(square3(), MVPivot(pivotOf({1})), square3()).IsEmpty(); },
                     "MVLUFactors(A,pivot,factored): Invalid size"},
        MatrixMisuse{"LUSolveNotSquare",
                     [] {
                       return LU(wide()).InverseTimes(rows({{1}, {2}})).IsEmpty();
                     },
                     "MVLUFactors::InverseTimes: Only works for a square matrix"},
        MatrixMisuse{"LUSolveRows",
                     [] {
                       return (Inverse(LU(square3())) * rows({{1}, {2}})).IsEmpty();
                     },
                     "MVLUFactors::InverseTimes: Invalid number of rows in the right hand side."},
        MatrixMisuse{"LUSolveSingular",
                     [] {
                       return LU(rows({{1, 2}, {2, 4}})).InverseTimes(rows({{1}, {2}})).IsEmpty();
                     },
                     "MVLUFactors::InverseTimes: Matrix is singular."},
        MatrixMisuse{"ImproveNotSquare",
                     [] {
                       MVMutableMatrix x = rows({{1}, {2}});
                       LU(wide()).ImproveSolution(x, rows({{1}, {2}}));
                       return x(1, 0) == 2;
                     },
                     "MVLUFactors::ImproveSolution(x,b): Only works for a square matrix"},
        MatrixMisuse{"ImproveDifferentSizes",
                     [] {
                       MVMutableMatrix x = rows({{1}, {2}, {3}});
                       LU(square3()).ImproveSolution(x, rows({{1, 2}, {2, 3}, {3, 4}}));
                       return x(2, 0) == 3;
                     },
                     "MVLUFactors::ImproveSolution(x,b): x and b have to have the same size."},
        MatrixMisuse{"ImproveRows",
                     [] {
                       MVMutableMatrix x = rows({{1}, {2}});
                       LU(square3()).ImproveSolution(x, rows({{1}, {2}}));
                       return x(1, 0) == 2;
                     },
                     "MVLUFactors::ImproveSolution(x,b): Solution vector has the wrong number of rows."},
        MatrixMisuse{"ConditionNotSquare", [] { return std::isnan(EstimateOneNorm(Inverse(LU(wide())))); },
                     "EstimateOneNorm: Matrix needs to be square"},
        MatrixMisuse{"ConditionInfinityNotSquare",
                     [] { return std::isnan(EstimateInfinityNorm(Inverse(LU(wide())))); },
                     "EstimateInfinityNorm: Matrix needs to be square"},
        MatrixMisuse{"SVDProduct",
                     [] {
                       return (SVD(wide()) * rows({{1}, {2}})).IsEmpty();
                     },
                     "MVSVDFactors*MVMatrix: Sizes need to match"},
        MatrixMisuse{"SVDSolve",
                     [] {
                       return SVD(wide()).InverseTimes(rows({{1}, {2}, {3}})).IsEmpty();
                     },
                     "MVSVDFactors*MVMatrix: Sizes need to match"},
        MatrixMisuse{
            "SVDFactors",
            [] { return MVSVDFactors(wide(), MVDiagonalMatrix(MVMutableDoubleArray(2)), wide()).IsEmpty(); },
            "MVSVDFactors(u,sigma,v): Invalid sizes"},
        MatrixMisuse{"InverseNotSquare", [] { return Inverse(wide()).IsEmpty(); },
                     "Inverse(MVMatrix): Can only compute the inverse of a square matrix."},
        MatrixMisuse{"InverseSingular",
                     [] {
                       return Inverse(rows({{1, 2}, {2, 4}})).IsEmpty();
                     },
                     "Inverse(MVMatrix): Matrix is singular."},
        MatrixMisuse{"SolveNotSquare",
                     [] {
                       return InverseTimes(wide(), rows({{1}, {2}})).IsEmpty();
                     },
                     "InverseTimes(MVMatrix,MVMatrix): Only works for a square matrix"},
        MatrixMisuse{"Add",
                     [] {
                       return (rows({{1, 2}, {3, 4}}) + square3()).IsEmpty();
                     },
                     "MVMatrix+MVMatrix: Sizes don't match"},
        MatrixMisuse{"Subtract", [] { return (square3() - wide()).IsEmpty(); },
                     "MVMatrix-MVMatrix: Sizes don't match"},
        MatrixMisuse{"PlusEquals",
                     [] {
                       MVMutableMatrix a = wide();
                       a += square3();
                       return relativeDifference(a, wide()) == 0;
                     },
                     "MVMutableMatrix+=MVMatrix: Incompatiable sizes"},
        MatrixMisuse{"MinusEquals",
                     [] {
                       MVMutableMatrix a = wide();
                       a -= square3();
                       return relativeDifference(a, wide()) == 0;
                     },
                     "MVMutableMatrix-=MVMatrix: Incompatiable sizes"},
        MatrixMisuse{"Product", [] { return (wide() * wide()).IsEmpty(); },
                     "MVMatrix*MVMatrix: Sizes don't match"},
        MatrixMisuse{"PivotRows",
                     [] {
                       return (MVPivot(pivotOf({3, 3, 3})) * wide()).IsEmpty();
                     },
                     "MVPivot*MVMatrix: Sizes don't match"},
        MatrixMisuse{"DiagonalSizes",
                     [] {
                       return (MVDiagonalMatrix(MVMutableDoubleArray(2)) +
                               MVDiagonalMatrix(MVMutableDoubleArray(3)))
                           .IsEmpty();
                     },
                     "MVDiagonalMatrix+MVDiagonalMatrix: Different sizes"},
        MatrixMisuse{"DiagonalTimesMatrix",
                     [] { return (MVDiagonalMatrix(MVMutableDoubleArray(3)) * wide()).IsEmpty(); },
                     "MVDiagonalMatrix*MVMatrix: Invalid size"},
        MatrixMisuse{"MatrixPlusDiagonal",
                     [] { return (wide() + MVDiagonalMatrix(MVMutableDoubleArray(2))).IsEmpty(); },
                     "MVMatrix+MVDiagonalMatrix: Invalid size"},
        MatrixMisuse{"TwoNorm", [] { return std::isnan(TwoNorm(square3())); }, "TwoNorm: Not done yet"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LU, HandCheckedFactorsWithPartialPivoting) {
  // The larger first-column entry 6 becomes the pivot: rows 1 and 2 swap.
  auto factors = LU(rows({{4, 3}, {6, 3}}));
  EXPECT_EQ(factors.Pivot()(0), 2);
  EXPECT_EQ(factors.Pivot()(1), 2);
  EXPECT_EQ(relativeDifference(factors.ExtractL(), rows({{1, 0}, {4.0 / 6, 1}})), 0);
  EXPECT_EQ(relativeDifference(factors.ExtractU(), rows({{6, 3}, {0, 1}})), 0);
  EXPECT_FALSE(factors.IsSingular());
  EXPECT_TRUE(LU(rows({{1, 2}, {2, 4}})).IsSingular());
}

TEST(LU, SolvesAndImprovementKeepsAnExactSolution) {
  auto a = square3();
  auto b = rows({{7}, {13}, {1}});  // A (1, 2, 3)
  auto factors = LU(a);
  MVMutableMatrix x = factors.InverseTimes(b);
  EXPECT_LT(relativeDifference(rows({{1}, {2}, {3}}), x), 1e-15);
  MVMutableMatrix exact = rows({{1}, {2}, {3}});
  factors.ImproveSolution(exact, b);
  EXPECT_EQ(relativeDifference(rows({{1}, {2}, {3}}), exact), 0);
  MVMutableMatrix rough = rows({{1.001}, {1.999}, {3.002}});
  factors.ImproveSolution(rough, b);
  EXPECT_LT(relativeDifference(rows({{1}, {2}, {3}}), rough), 1e-14);
  EXPECT_LT(relativeDifference(x, InverseTimes(a, b)), 1e-15);
  EXPECT_LT(relativeDifference(x, Inverse(factors) * b), 1e-15);
}

TEST(LU, ReciprocalConditionEstimates) {
  auto inverse = Inverse(LU(rows({{1, 0}, {0, 10}})));
  EXPECT_NEAR(EstimateOneNorm(inverse), 0.1, 1e-15);
  EXPECT_NEAR(EstimateInfinityNorm(inverse), 0.1, 1e-15);
  // [[1, 2], [3, 4]]: |A|_1 = 6, |A^-1|_1 = 3.5; |A|_inf = 7, |A^-1|_inf = 3.
  auto general = Inverse(LU(rows({{1, 2}, {3, 4}})));
  EXPECT_NEAR(EstimateOneNorm(general), 1 / 21.0, 1e-12);
  EXPECT_NEAR(EstimateInfinityNorm(general), 1 / 21.0, 1e-12);
  EXPECT_EQ(EstimateOneNorm(Inverse(LU(rows({{1, 2}, {2, 4}})))), 0);
}

TEST(LU, ReconstructsRandomMatrices) {
  for (auto [m, n, seed] : {std::array<long, 3>{5, 5, 1}, {6, 4, 2}, {4, 6, 3}, {1, 1, 4}, {40, 40, 5}}) {
    auto a = randomMatrix(m, n, unsigned(seed));
    auto factors = LU(a);
    EXPECT_LT(relativeDifference(MVPivot(factors.Pivot()) * a, factors.ExtractL() * factors.ExtractU()),
              1e-12)
        << m << "x" << n;
  }
}

TEST(Inverse, HandCheckedTwoByTwo) {
  auto inverse = Inverse(rows({{4, 7}, {2, 6}}));
  EXPECT_LT(relativeDifference(rows({{0.6, -0.7}, {-0.2, 0.4}}), inverse), 1e-15);
  auto a = randomMatrix(7, 7, 11);
  EXPECT_LT(relativeDifference(identity(7), a * Inverse(a)), 1e-12);
}

TEST(QR, HandCheckedAndReconstructed) {
  auto factors = QR(rows({{3}, {4}}));
  MVMutableMatrix q = factors.Q(), r = factors.R();
  EXPECT_NEAR(std::fabs(r(0, 0)), 5, 1e-15);
  EXPECT_NEAR(q(0, 0) * r(0, 0), 3, 1e-15);
  EXPECT_NEAR(q(1, 0) * r(0, 0), 4, 1e-15);
  for (auto [m, n, seed] : {std::array<long, 3>{5, 5, 21}, {7, 3, 22}, {3, 7, 23}}) {
    auto a = randomMatrix(m, n, unsigned(seed));
    auto qr = QR(a);
    long k = std::min(m, n);
    EXPECT_EQ(qr.Q().n(), k);
    EXPECT_EQ(qr.R().m(), k);
    EXPECT_LT(relativeDifference(a, qr.Q() * qr.R()), 1e-12) << m << "x" << n;
    EXPECT_LT(relativeDifference(identity(k), TransposeTimes(qr.Q(), qr.Q())), 1e-12);
    MVMutableMatrix r = qr.R();
    for (long j = 0; j < k; ++j) {
      for (long i = j + 1; i < k; ++i) EXPECT_EQ(r(i, j), 0);
    }
  }
}

TEST(SVD, HandCheckedSingularValuesAndPseudoInverse) {
  auto diagonal = SVD(rows({{3, 0}, {0, -2}}));
  EXPECT_NEAR(diagonal.Sigma()(0), 3, 1e-15);
  EXPECT_NEAR(diagonal.Sigma()(1), 2, 1e-15);
  // A rank-one matrix: singular values 2 and 0, pseudo-inverse A / 4.
  auto ones = SVD(rows({{1, 1}, {1, 1}}));
  EXPECT_NEAR(ones.Sigma()(0), 2, 1e-15);
  EXPECT_NEAR(ones.Sigma()(1), 0, 1e-15);
  EXPECT_LT(relativeDifference(rows({{0.25, 0.25}, {0.25, 0.25}}), Inverse(ones) * identity(2)), 1e-14);
  EXPECT_LT(relativeDifference(rows({{0.5}, {0.5}}), ones.InverseTimes(rows({{1}, {1}}))), 1e-14);
}

TEST(SVD, ReconstructsRandomMatrices) {
  for (auto [m, n, seed] : {std::array<long, 3>{5, 5, 31}, {8, 3, 32}, {3, 8, 33}, {30, 20, 34}}) {
    auto a = randomMatrix(m, n, unsigned(seed));
    auto svd = SVD(a);
    long k = std::min(m, n);
    EXPECT_EQ(svd.U().m(), m);
    EXPECT_EQ(svd.V().m(), n);
    EXPECT_EQ(svd.Sigma().Size(), k);
    EXPECT_LT(relativeDifference(a, svd.Matrix()), 1e-12) << m << "x" << n;
    EXPECT_LT(relativeDifference(a, svd * identity(n)), 1e-12);
    for (long i = 1; i < k; ++i) EXPECT_GE(svd.Sigma()(i - 1), svd.Sigma()(i));
    EXPECT_LT(relativeDifference(identity(k), TransposeTimes(svd.V(), svd.V())), 1e-12);
    if (m == n) {
      EXPECT_LT(relativeDifference(Inverse(a), Inverse(svd) * identity(n)), 1e-10);
    }
  }
}

TEST(MatrixProducts, HandCheckedProductsAndSums) {
  auto a = wide();                          // 2 x 3
  auto b = rows({{1, 0}, {0, 1}, {1, 1}});  // 3 x 2
  EXPECT_EQ(relativeDifference(rows({{4, 5}, {10, 11}}), a * b), 0);
  EXPECT_EQ(relativeDifference(rows({{17, 22, 27}, {22, 29, 36}, {27, 36, 45}}), TransposeTimes(a, a)), 0);
  EXPECT_EQ(relativeDifference(rows({{14, 32}, {32, 77}}), MultiplyTransposeTimesStandard(a, a)), 0);
  // A matrix with no columns is the empty matrix, like the array under it.
  MVMutableMatrix noColumns(2, 0);
  EXPECT_EQ(noColumns.m(), 0);
  EXPECT_TRUE((noColumns * MVMatrix()).IsEmpty());
  EXPECT_EQ(relativeDifference(rows({{2, 4, 6}, {8, 10, 12}}), a + a), 0);
  EXPECT_EQ(relativeDifference(rows({{3, 6, 9}, {12, 15, 18}}), 3.0 * a), 0);
  EXPECT_EQ(relativeDifference(rows({{2, 3, 4}, {5, 6, 7}}), a + 1.0), 0);
  EXPECT_EQ(relativeDifference(rows({{0, 1, 2}, {3, 4, 5}}), a - 1.0), 0);
  MVMutableMatrix c = a.Copy();
  c += a;
  c -= rows({{1, 1, 1}, {1, 1, 1}});
  c *= 2;
  EXPECT_EQ(relativeDifference(rows({{2, 6, 10}, {14, 18, 22}}), c), 0);
  EXPECT_EQ(relativeDifference(rows({{1, 4}, {2, 5}, {3, 6}}), Transpose(a)), 0);
  EXPECT_EQ(relativeDifference(rows({{1, 2}, {3, 4}}), Abs(rows({{-1, 2}, {3, -4}}))), 0);
  EXPECT_EQ(relativeDifference(rows({{1}, {4}, {2}, {5}}), ColumnVector(rows({{1, 2}, {4, 5}}).Array())), 0);
  EXPECT_FALSE(a.ContainsNonFiniteNumber());
  EXPECT_TRUE(rows({{1, INFINITY}}).ContainsNonFiniteNumber());
}

TEST(MatrixProducts, DiagonalTridiagonalAndPivot) {
  MVDiagonalMatrix d(MVMutableDoubleArray::WithValues({2, -1}));
  auto a = wide();
  EXPECT_EQ(relativeDifference(rows({{2, 4, 6}, {-4, -5, -6}}), d * a), 0);
  EXPECT_EQ(relativeDifference(rows({{0.5, 1, 1.5}, {-4, -5, -6}}), d.InverseTimes(a)), 0);
  MVMutableMatrix inPlace = a.Copy();
  d.MultiplyOnLeftInPlace(inPlace);
  EXPECT_EQ(relativeDifference(d * a, inPlace), 0);
  EXPECT_EQ(relativeDifference(rows({{3, 2}, {3, 3}}), rows({{1, 2}, {3, 4}}) + d), 0);
  EXPECT_EQ(Inverse(d)(0), 0.5);
  EXPECT_EQ((d * d)(1), 1);
  EXPECT_EQ((d + d)(0), 4);
  EXPECT_EQ((d - 1.0)(1), -2);
  EXPECT_EQ((d / 4.0)(0), 0.5);
  EXPECT_EQ(Diagonal(a)(1), 5);

  MVSymmetricTridiagonal t(MVMutableDoubleArray::WithValues({2, 3, 4}),
                           MVMutableDoubleArray::WithValues({1, -1}));
  EXPECT_EQ(relativeDifference(rows({{2, 1, 0}, {1, 3, -1}, {0, -1, 4}}), t.Matrix()), 0);
  auto x = randomMatrix(3, 2, 41);
  EXPECT_LT(relativeDifference(t.Matrix() * x, t * x), 1e-15);

  MVPivot p(pivotOf({3, 3, 3}));
  EXPECT_EQ(relativeDifference(rows({{3, 1}, {2, 9}, {1, 0}}), p * rows({{2, 9}, {1, 0}, {3, 1}})), 0);
}

}  // namespace
