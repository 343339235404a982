#pragma once
// Runs a batch of independent operations on as many threads as there are
// processors and returns when all of them are done (the mask setting uses it
// to combine its entries).

#include <functional>
#include <memory>
#include <vector>

namespace orrelin {

class VKOperation {
 public:
  virtual ~VKOperation() = default;
  virtual void start() = 0;

  // An operation that makes one call.
  static std::shared_ptr<VKOperation> withCall(std::function<void()> call);
};

class VKOperationQueue {
 public:
  // At most threadLimit threads per batch; 0 means one per processor.
  explicit VKOperationQueue(unsigned threadLimit = 0);

  static VKOperationQueue& shared();
  // The processors the system reports, at least 1.
  static unsigned howManyProcessors();

  // Runs every operation of the list once, on min(list size, thread limit)
  // new threads that take the operations from the end of the list, and blocks
  // until all have finished and every thread has ended. An operation that
  // fails is reported to the message centre; the others still run. Empty
  // entries are skipped.
  void performOperations(const std::vector<std::shared_ptr<VKOperation>>& operations) const;

  unsigned threadLimit() const;

 private:
  unsigned threadLimit_;
};

}  // namespace orrelin
