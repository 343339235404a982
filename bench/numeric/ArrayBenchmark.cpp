// The hot paths of the numeric core against the physical limit or the
// standard library, measured side by side in one run:
//   - element-wise A + B and A * x over 10^7 doubles against memcpy of the
//     same bytes (the memory-bandwidth limit);
//   - Sort of 10^7 doubles against std::sort;
//   - a 1000 x 1000 matrix product in GFLOP/s.
// Every benchmark reports "bytes_moved" per second: the bytes an ideal
// implementation must read plus the bytes it must write. array_ratios.py
// turns the figures into ratios.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "numeric/LockedArrays.h"
#include "numeric/MVArrays.h"
#include "numeric/MVMatrix.h"

using namespace orrelin;

namespace {

constexpr long kCount = 10'000'000;

template <class M>
M filled(long count, unsigned seed) {
  M array(count);
  std::mt19937_64 random(seed);
  std::uniform_real_distribution<double> value(-1e6, 1e6);
  for (long p = 0; p < count; ++p) array.MutablePointer()[p] = value(random);
  return array;
}

void setBytesMoved(benchmark::State& state, double bytesPerIteration) {
  state.counters["bytes_moved"] = benchmark::Counter(
      bytesPerIteration, benchmark::Counter::kIsIterationInvariantRate, benchmark::Counter::kIs1024);
}

// The limit: copying 8 * 10^7 bytes reads and writes each byte once.
void MemcpyLimit(benchmark::State& state) {
  std::vector<double> from(kCount, 1.0), to(kCount, 0.0);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), kCount * sizeof(double));
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  setBytesMoved(state, 2.0 * kCount * sizeof(double));
}
BENCHMARK(MemcpyLimit)->Unit(benchmark::kMillisecond);

// memcpy into a new array for every copy, as an operation's result is (its
// memory comes from the arrays' allocator, which may reuse a freed block).
void MemcpyIntoNewArray(benchmark::State& state) {
  std::vector<double> from(kCount, 1.0);
  for (auto _ : state) {
    MVMutableDoubleArray to(kCount);
    std::memcpy(to.MutablePointer(), from.data(), kCount * sizeof(double));
    benchmark::DoNotOptimize(to.MutablePointer());
  }
  setBytesMoved(state, 2.0 * kCount * sizeof(double));
}
BENCHMARK(MemcpyIntoNewArray)->Unit(benchmark::kMillisecond);

template <class M>
void AddArrays(benchmark::State& state) {
  auto a = filled<M>(kCount, 1), b = filled<M>(kCount, 2);
  for (auto _ : state) {
    auto sum = a + b;
    benchmark::DoNotOptimize(sum.Pointer());
  }
  setBytesMoved(state, 3.0 * kCount * sizeof(double));
}
BENCHMARK_TEMPLATE(AddArrays, MVMutableDoubleArray)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(AddArrays, MutableDoubleArray)->Unit(benchmark::kMillisecond);

template <class M>
void AddArraysInPlace(benchmark::State& state) {
  auto a = filled<M>(kCount, 1), b = filled<M>(kCount, 2);
  for (auto _ : state) {
    a += b;
    benchmark::DoNotOptimize(a.Pointer());
  }
  setBytesMoved(state, 3.0 * kCount * sizeof(double));
}
BENCHMARK_TEMPLATE(AddArraysInPlace, MVMutableDoubleArray)->Unit(benchmark::kMillisecond);

template <class M>
void ArrayTimesNumber(benchmark::State& state) {
  auto a = filled<M>(kCount, 1);
  for (auto _ : state) {
    auto product = a * 1.0000001;
    benchmark::DoNotOptimize(product.Pointer());
  }
  setBytesMoved(state, 2.0 * kCount * sizeof(double));
}
BENCHMARK_TEMPLATE(ArrayTimesNumber, MVMutableDoubleArray)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(ArrayTimesNumber, MutableDoubleArray)->Unit(benchmark::kMillisecond);

void ArrayTimesNumberInPlace(benchmark::State& state) {
  auto a = filled<MVMutableDoubleArray>(kCount, 1);
  for (auto _ : state) {
    a *= 1.0000001;
    benchmark::DoNotOptimize(a.Pointer());
  }
  setBytesMoved(state, 2.0 * kCount * sizeof(double));
}
BENCHMARK(ArrayTimesNumberInPlace)->Unit(benchmark::kMillisecond);

// Both sorts start from the same unsorted values and include making the
// sorted copy.
void SortArray(benchmark::State& state) {
  auto values = filled<MVMutableDoubleArray>(kCount, 3);
  for (auto _ : state) {
    auto sorted = Sort(values);
    benchmark::DoNotOptimize(sorted.Pointer());
  }
}
BENCHMARK(SortArray)->Unit(benchmark::kMillisecond)->Iterations(3);

void StdSort(benchmark::State& state) {
  auto values = filled<MVMutableDoubleArray>(kCount, 3);
  for (auto _ : state) {
    std::vector<double> sorted(values.Pointer(), values.Pointer() + kCount);
    std::sort(sorted.begin(), sorted.end());
    benchmark::DoNotOptimize(sorted.data());
  }
}
BENCHMARK(StdSort)->Unit(benchmark::kMillisecond)->Iterations(3);

void MatrixProduct(benchmark::State& state) {
  long n = state.range(0);
  MVMutableMatrix a(filled<MVMutableDoubleArray>(n * n, 4)), b(filled<MVMutableDoubleArray>(n * n, 5));
  a.MutableArray().Reshape(n, n);
  b.MutableArray().Reshape(n, n);
  MVMatrix ma(a.Array()), mb(b.Array());
  for (auto _ : state) {
    auto c = ma * mb;
    benchmark::DoNotOptimize(c.Pointer());
  }
  state.counters["GFLOP/s"] =
      benchmark::Counter(2.0 * n * n * n * 1e-9, benchmark::Counter::kIsIterationInvariantRate);
}
// BLAS runs the product on several threads: wall-clock time.
BENCHMARK(MatrixProduct)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
