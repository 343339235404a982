#include "numeric/ArrayStorage.h"

#include <sys/mman.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace orrelin {

namespace {

std::atomic<bool> allocationFails{false};

constexpr std::size_t kHugePage = std::size_t(2) << 20;
constexpr std::size_t kCacheLine = 64;

}  // namespace

std::string formatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  int needed = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text;
  if (needed > 0) {
    text.resize(static_cast<std::size_t>(needed) + 1);
    std::vsnprintf(text.data(), text.size(), format, again);
    text.resize(static_cast<std::size_t>(needed));
  }
  va_end(again);
  return text;
}

void* allocateElements(std::size_t bytes) {
  if (allocationFails.load(std::memory_order_relaxed)) return nullptr;
  if (bytes >= kHugePage) {
    std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* data = std::aligned_alloc(kHugePage, rounded);
    if (data) madvise(data, rounded, MADV_HUGEPAGE);
    return data;
  }
  std::size_t rounded = (bytes + kCacheLine - 1) / kCacheLine * kCacheLine;
  return std::aligned_alloc(kCacheLine, rounded);
}

void freeElements(void* data) { std::free(data); }

void setElementAllocationFailsForTesting(bool fails) { allocationFails.store(fails); }

PlannedBlock planBlock(const ArrayTypeInfo& info, long m, long n, long o, std::size_t elementSize) {
  PlannedBlock block;
  if (m < 0 || n < 0 || o < 0) {
    if (info.reportNegative) {
      info.report(formatText("%s(P,m,n,o): One of the dimensions is negative (m = %ld,n = %ld, o = %ld)",
                             info.name, m, n, o));
    }
    return block;
  }
  if (m == 0 || n == 0 || o == 0) return block;
  // The product is formed in 64 bits (saturating) before anything is
  // allocated, so that no overflow can slip a huge request past the limit.
  std::int64_t mn64 = 0, length64 = 0;
  bool overflow = __builtin_mul_overflow(static_cast<std::int64_t>(m), static_cast<std::int64_t>(n), &mn64) ||
                  __builtin_mul_overflow(mn64, static_cast<std::int64_t>(o), &length64);
  if (overflow || length64 > info.maxLength) {
    info.report(info.sizeMessage);
    return block;
  }
  void* data = allocateElements(static_cast<std::size_t>(length64) * elementSize);
  if (!data) {
    info.report("Memory allocation failed");
    return block;
  }
  block.data = data;
  block.m = static_cast<int>(m);
  block.n = static_cast<int>(n);
  block.o = static_cast<int>(o);
  block.mn = static_cast<int>(mn64);
  block.length = static_cast<int>(length64);
  return block;
}

}  // namespace orrelin
