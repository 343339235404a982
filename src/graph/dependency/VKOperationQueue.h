#pragma once
// Runs a batch of independent operations on as many threads as there are
// processors and returns when all of them are done (the mask setting uses it
// to combine its entries, column evaluation to share its blocks).
//
// The threads are the queue's own: started when a batch first needs them and
// kept, sleeping, for the batches after it, until the queue goes away. An
// operation that itself hands a batch to the queue it runs on gets it run on
// its own thread, so nesting never waits for a thread that is busy waiting.

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
  // At most threadLimit threads; 0 means one per processor.
  explicit VKOperationQueue(unsigned threadLimit = 0);
  // Lets the threads finish what they run and ends them.
  ~VKOperationQueue();
  VKOperationQueue(const VKOperationQueue&) = delete;
  VKOperationQueue& operator=(const VKOperationQueue&) = delete;

  static VKOperationQueue& shared();
  // The processors the system reports, at least 1.
  static unsigned howManyProcessors();

  // Runs every operation of the list once on the queue's threads, at most
  // min(list size, thread limit) of them, which take the operations from the
  // end of the list, and blocks until all have finished. An operation that
  // fails is reported to the message centre; the others still run. Empty
  // entries are skipped. When no thread can be had the caller runs them.
  void performOperations(const std::vector<std::shared_ptr<VKOperation>>& operations) const;
  // The same, while the caller runs own; once own is done the caller takes
  // operations too, until none is left, then waits for those still running.
  void performOperationsAlongside(const std::vector<std::shared_ptr<VKOperation>>& operations,
                                  const std::function<void()>& own) const;

  unsigned threadLimit() const;
  // The threads started so far; they serve every later batch.
  unsigned threadsStarted() const;

 private:
  class Pool;
  unsigned threadLimit_;
  std::unique_ptr<Pool> pool_;
};

}  // namespace orrelin
