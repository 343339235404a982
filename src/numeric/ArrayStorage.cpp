#include "numeric/ArrayStorage.h"

#include <sys/mman.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>

namespace orrelin {

namespace {

std::atomic<bool> allocationFails{false};

constexpr std::size_t kHugePage = std::size_t(2) << 20;
constexpr std::size_t kCacheLine = 64;

std::size_t roundedSize(std::size_t bytes) {
  std::size_t unit = bytes >= kHugePage ? kHugePage : kCacheLine;
  return (bytes + unit - 1) / unit * unit;
}

// Recently freed large blocks, kept for reuse. Fresh memory costs a page
// fault and the kernel's zeroing on first touch, which makes writing a new
// result array much slower than writing into memory already mapped; a chain
// of element-wise operations over columns frees and allocates blocks of the
// same size again and again. The cache is small and bounded, and it is off
// under AddressSanitizer so that a use after free is still caught.
class LargeBlockCache {
 public:
  void* take(std::size_t bytes) {
    std::lock_guard guard(lock_);
    for (auto block = blocks_.begin(); block != blocks_.end(); ++block) {
      if (block->bytes == bytes) {
        void* data = block->data;
        total_ -= block->bytes;
        blocks_.erase(block);
        return data;
      }
    }
    return nullptr;
  }
  // False when the block is not kept; the caller then frees it.
  bool keep(void* data, std::size_t bytes) {
    if (!kEnabled || bytes > kMaxTotal) return false;
    std::deque<Block> evicted;
    {
      std::lock_guard guard(lock_);
      blocks_.push_back({data, bytes});
      total_ += bytes;
      while (blocks_.size() > kMaxBlocks || total_ > kMaxTotal) {
        evicted.push_back(blocks_.front());
        total_ -= blocks_.front().bytes;
        blocks_.pop_front();
      }
    }
    for (const auto& block : evicted) std::free(block.data);
    return true;
  }

 private:
#if defined(__SANITIZE_ADDRESS__)
  static constexpr bool kEnabled = false;
#else
  static constexpr bool kEnabled = true;
#endif
  static constexpr std::size_t kMaxBlocks = 4;
  static constexpr std::size_t kMaxTotal = std::size_t(512) << 20;
  struct Block {
    void* data;
    std::size_t bytes;
  };
  std::mutex lock_;
  std::deque<Block> blocks_;
  std::size_t total_ = 0;
};

LargeBlockCache& largeBlocks() {
  static auto* cache = new LargeBlockCache;
  return *cache;
}

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
  std::size_t rounded = roundedSize(bytes);
  if (rounded < kHugePage) return std::aligned_alloc(kCacheLine, rounded);
  if (void* reused = largeBlocks().take(rounded)) return reused;
  void* data = std::aligned_alloc(kHugePage, rounded);
  if (data) madvise(data, rounded, MADV_HUGEPAGE);
  return data;
}

void freeElements(void* data, std::size_t bytes) {
  if (!data) return;
  std::size_t rounded = roundedSize(bytes);
  if (rounded >= kHugePage && largeBlocks().keep(data, rounded)) return;
  std::free(data);
}

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
  block.bytes = static_cast<std::size_t>(length64) * elementSize;
  block.m = static_cast<int>(m);
  block.n = static_cast<int>(n);
  block.o = static_cast<int>(o);
  block.mn = static_cast<int>(mn64);
  block.length = static_cast<int>(length64);
  return block;
}

}  // namespace orrelin
