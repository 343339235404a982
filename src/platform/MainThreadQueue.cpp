#include "MainThreadQueue.h"

#include <thread>

namespace orrelin {

namespace {
// Static initialisation runs on the thread that starts the program.
const std::thread::id kMainThread = std::this_thread::get_id();
}  // namespace

MainThreadQueue& MainThreadQueue::shared() {
  // Never destroyed: calls may still be queued from exit handlers.
  static auto* queue = new MainThreadQueue;
  return *queue;
}

bool MainThreadQueue::isMainThread() { return std::this_thread::get_id() == kMainThread; }

void MainThreadQueue::enqueue(Entry entry) {
  std::function<void()> wakeUp;
  {
    std::lock_guard guard(lock_);
    calls_.push_back(std::move(entry));
    wakeUp = wakeUp_;
  }
  if (wakeUp) wakeUp();
}

void MainThreadQueue::performOnMainThread(Call fn) { enqueue({std::move(fn), nullptr}); }

void MainThreadQueue::performAtEndOfEvent(Call fn, const void* owner) { enqueue({std::move(fn), owner}); }

void MainThreadQueue::cancelPerforms(const void* owner) {
  if (!owner) return;
  std::lock_guard guard(lock_);
  std::erase_if(calls_, [owner](const Entry& e) { return e.owner == owner; });
}

std::size_t MainThreadQueue::drain() {
  std::size_t ran = 0;
  for (;;) {
    Entry next;
    {
      std::lock_guard guard(lock_);
      if (calls_.empty()) return ran;
      next = std::move(calls_.front());
      calls_.pop_front();
    }
    if (next.fn) next.fn();
    ++ran;
  }
}

bool MainThreadQueue::hasPending() const {
  std::lock_guard guard(lock_);
  return !calls_.empty();
}

void MainThreadQueue::setWakeUp(std::function<void()> wakeUp) {
  std::lock_guard guard(lock_);
  wakeUp_ = std::move(wakeUp);
}

}  // namespace orrelin
