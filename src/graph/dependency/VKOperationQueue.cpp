#include "VKOperationQueue.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/KRMessageCenter.h"

namespace orrelin {

namespace {

class CallOperation : public VKOperation {
 public:
  explicit CallOperation(std::function<void()> call) : call_(std::move(call)) {}
  void start() override {
    if (call_) call_();
  }

 private:
  std::function<void()> call_;
};

void runReported(VKOperation& operation) {
  try {
    operation.start();
  } catch (const std::exception& e) {
    KRMessageCenter::addMessage("Error in a parallel operation", e.what());
  } catch (...) {
    KRMessageCenter::addMessage("Error in a parallel operation", "unknown exception");
  }
}

}  // namespace

// The threads and the batches waiting for them. One lock guards all of it;
// operations run outside it.
class VKOperationQueue::Pool {
 public:
  explicit Pool(unsigned limit) : limit_(limit) {}

  ~Pool() {
    std::vector<std::thread> threads;
    {
      std::lock_guard guard(lock_);
      stopping_ = true;
      threads.swap(threads_);
    }
    work_.notify_all();
    for (auto& thread : threads) thread.join();
  }

  unsigned threadsStarted() const {
    std::lock_guard guard(lock_);
    return unsigned(threads_.size());
  }

  void run(const std::vector<std::shared_ptr<VKOperation>>& operations, const std::function<void()>* own) {
    auto batch = std::make_shared<Batch>();
    // A copy: the caller may change its own list while this runs.
    for (const auto& operation : operations)
      if (operation) batch->entries.push_back(operation);
    if (runningOn() == this) {
      // Nested: this thread is one of ours and would wait for itself.
      if (own && *own) (*own)();
      runAll(*batch);
      return;
    }
    batch->unfinished = batch->entries.size();
    if (batch->unfinished > 0) {
      std::unique_lock guard(lock_);
      const std::size_t wanted = std::min<std::size_t>(batch->unfinished, limit_);
      while (threads_.size() < wanted) {
        try {
          threads_.emplace_back(&Pool::work, this);
        } catch (const std::system_error&) {
          break;  // the threads there are share the work
        }
      }
      if (threads_.empty()) {
        guard.unlock();
        runAll(*batch);
        if (own && *own) (*own)();
        return;
      }
      batches_.push_back(batch);
      guard.unlock();
      work_.notify_all();
    }
    if (own) {
      if (*own) (*own)();
      // The caller helps with what is left rather than sit idle.
      while (auto operation = takeFrom(*batch)) finish(*batch, *operation);
    }
    std::unique_lock guard(lock_);
    batch->done.wait(guard, [&] { return batch->unfinished == 0; });
  }

 private:
  struct Batch {
    std::vector<std::shared_ptr<VKOperation>> entries;  // not yet taken; taken from the end
    std::size_t unfinished = 0;                         // taken or not, not yet finished
    std::condition_variable done;
  };

  static Pool*& runningOn() {
    thread_local Pool* pool = nullptr;
    return pool;
  }

  static void runAll(Batch& batch) {
    while (!batch.entries.empty()) {
      auto operation = std::move(batch.entries.back());
      batch.entries.pop_back();
      runReported(*operation);
    }
  }

  std::shared_ptr<VKOperation> takeFrom(Batch& batch) {
    std::lock_guard guard(lock_);
    return takeLocked(batch);
  }

  std::shared_ptr<VKOperation> takeLocked(Batch& batch) {
    if (batch.entries.empty()) return nullptr;
    auto operation = std::move(batch.entries.back());
    batch.entries.pop_back();
    if (batch.entries.empty()) std::erase_if(batches_, [&](const auto& waiting) { return waiting.get() == &batch; });
    return operation;
  }

  void finish(Batch& batch, VKOperation& operation) {
    runReported(operation);
    std::lock_guard guard(lock_);
    if (--batch.unfinished == 0) batch.done.notify_all();
  }

  void work() {
    runningOn() = this;
    std::unique_lock guard(lock_);
    for (;;) {
      work_.wait(guard, [this] { return stopping_ || !batches_.empty(); });
      if (batches_.empty()) return;  // stopping, and nothing waits
      // The batch stays alive while its operation runs: its caller waits
      // for the operation before it lets go of it.
      std::shared_ptr<Batch> batch = batches_.front();
      auto operation = takeLocked(*batch);
      guard.unlock();
      finish(*batch, *operation);
      guard.lock();
    }
  }

  const unsigned limit_;
  mutable std::mutex lock_;
  std::condition_variable work_;
  std::deque<std::shared_ptr<Batch>> batches_;
  std::vector<std::thread> threads_;
  bool stopping_ = false;
};

std::shared_ptr<VKOperation> VKOperation::withCall(std::function<void()> call) {
  return std::make_shared<CallOperation>(std::move(call));
}

VKOperationQueue::VKOperationQueue(unsigned threadLimit)
    : threadLimit_(threadLimit ? threadLimit : howManyProcessors()), pool_(std::make_unique<Pool>(threadLimit_)) {}

VKOperationQueue::~VKOperationQueue() = default;

VKOperationQueue& VKOperationQueue::shared() {
  static VKOperationQueue queue;
  return queue;
}

unsigned VKOperationQueue::howManyProcessors() { return std::max(1u, std::thread::hardware_concurrency()); }

unsigned VKOperationQueue::threadLimit() const { return threadLimit_; }

unsigned VKOperationQueue::threadsStarted() const { return pool_->threadsStarted(); }

void VKOperationQueue::performOperations(const std::vector<std::shared_ptr<VKOperation>>& operations) const {
  pool_->run(operations, nullptr);
}

void VKOperationQueue::performOperationsAlongside(const std::vector<std::shared_ptr<VKOperation>>& operations,
                                                  const std::function<void()>& own) const {
  pool_->run(operations, &own);
}

}  // namespace orrelin
