#pragma once
// The block of elements behind every typed array: dimensions, the reference
// count and the element memory. Both array families build their storage on
// ArrayBlock; what differs (a mutex, the count of mutable handles, where
// messages go) is added by the family.

#include <cstddef>
#include <cstdint>
#include <string>

namespace orrelin {

// Everything that varies per array type apart from the element type: the
// names used in messages and the largest element count a storage accepts.
struct ArrayTypeInfo {
  const char* name;          // "DoubleArray", "MVDoubleArray"
  const char* mutableName;   // "MutableDoubleArray", "MVMutableDoubleArray"
  const char* word;          // "double" in "Region of double array, incorrect offsets."
  const char* messageName;   // "DoubleArray" in the messages both families share:
                             // "DoubleArray+DoubleArray", "CropLength(DoubleArray,len)"
  std::int64_t maxLength;    // largest m*n*o
  const char* sizeMessage;   // reported when m*n*o exceeds maxLength
  bool reportNegative;       // whether negative dimensions are reported
  void (*report)(const std::string& line);
};

// printf-style formatting into a std::string, for message lines.
std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Element memory. Large blocks are aligned to 2 MB and advised for huge
// pages, which makes first touch of a fresh result array much cheaper, and
// a few recently freed ones are kept for reuse. freeElements takes the size
// that was asked of allocateElements.
void* allocateElements(std::size_t bytes);
void freeElements(void* data, std::size_t bytes);
// Makes every following allocation fail (true) or behave normally (false);
// lets the failure path be exercised without exhausting memory.
void setElementAllocationFailsForTesting(bool fails);

// The dimensions a storage ends up with for a request of m x n x o, after
// negative dimensions are reported (when the type does) and taken as 0, a
// zero dimension makes the array empty, and the 64-bit product is checked
// against the type's limit. The memory is allocated here as well; every
// failure leaves the empty shape and has been reported.
struct PlannedBlock {
  void* data = nullptr;
  std::size_t bytes = 0;
  int m = 0, n = 0, o = 0, mn = 0, length = 0;
};
PlannedBlock planBlock(const ArrayTypeInfo& info, long m, long n, long o, std::size_t elementSize);

template <class T>
class ArrayBlock {
 public:
  using Element = T;

  ArrayBlock(const ArrayTypeInfo& info, long m, long n, long o) {
    PlannedBlock planned = planBlock(info, m, n, o, sizeof(T));
    data = static_cast<T*>(planned.data);
    allocatedBytes = planned.bytes;
    this->m = planned.m;
    this->n = planned.n;
    this->o = planned.o;
    mn = planned.mn;
    length = planned.length;
  }
  ~ArrayBlock() { freeElements(data, allocatedBytes); }
  ArrayBlock(const ArrayBlock&) = delete;
  ArrayBlock& operator=(const ArrayBlock&) = delete;

  // Gives the block new dimensions over the same elements; the caller has
  // checked that the length does not grow.
  void setShape(int newM, int newN, int newO) {
    if (newM <= 0 || newN <= 0 || newO <= 0) newM = newN = newO = 0;
    m = newM;
    n = newN;
    o = newO;
    mn = newM * newN;
    length = mn * newO;
  }

  T* data = nullptr;
  int m = 0, n = 0, o = 0;
  int mn = 0;      // m*n, the stride of the third index
  int length = 0;  // m*n*o
  int referenceCount = 1;
  std::size_t allocatedBytes = 0;  // the length may shrink in place, the allocation does not
};

}  // namespace orrelin
