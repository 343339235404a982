#include "VKOperationQueue.h"

#include <algorithm>
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

// The operations still to run, shared by the threads of one batch.
class Remaining {
 public:
  explicit Remaining(const std::vector<std::shared_ptr<VKOperation>>& operations) : entries_(operations) {}

  // The last operation not yet taken, or none when all are taken.
  std::shared_ptr<VKOperation> takeLast() {
    std::lock_guard guard(lock_);
    while (!entries_.empty()) {
      auto next = std::move(entries_.back());
      entries_.pop_back();
      if (next) return next;
    }
    return nullptr;
  }

  void runAll() {
    while (auto operation = takeLast()) {
      try {
        operation->start();
      } catch (const std::exception& e) {
        KRMessageCenter::addMessage("Error in a parallel operation", e.what());
      } catch (...) {
        KRMessageCenter::addMessage("Error in a parallel operation", "unknown exception");
      }
    }
  }

 private:
  std::mutex lock_;
  std::vector<std::shared_ptr<VKOperation>> entries_;
};

}  // namespace

std::shared_ptr<VKOperation> VKOperation::withCall(std::function<void()> call) {
  return std::make_shared<CallOperation>(std::move(call));
}

VKOperationQueue::VKOperationQueue(unsigned threadLimit) : threadLimit_(threadLimit) {}

VKOperationQueue& VKOperationQueue::shared() {
  static VKOperationQueue queue;
  return queue;
}

unsigned VKOperationQueue::howManyProcessors() { return std::max(1u, std::thread::hardware_concurrency()); }

unsigned VKOperationQueue::threadLimit() const { return threadLimit_ ? threadLimit_ : howManyProcessors(); }

void VKOperationQueue::performOperations(const std::vector<std::shared_ptr<VKOperation>>& operations) const {
  if (operations.empty()) return;
  // The list is copied: the caller may change its own while this runs.
  Remaining remaining(operations);
  std::size_t wanted = std::min<std::size_t>(operations.size(), threadLimit());
  std::vector<std::thread> threads;
  threads.reserve(wanted);
  for (std::size_t i = 0; i < wanted; ++i) {
    try {
      threads.emplace_back([&remaining] { remaining.runAll(); });
    } catch (const std::system_error&) {
      break;  // fewer threads than wanted; the ones running share the work
    }
  }
  // Without any thread the caller does the work itself.
  if (threads.empty()) remaining.runAll();
  for (auto& thread : threads) thread.join();
}

}  // namespace orrelin
