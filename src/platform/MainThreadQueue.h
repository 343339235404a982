#pragma once
// The run loop seam: calls to be made on the main thread, either "as soon as
// the main thread gets to it" or "once, at the end of the current event".
// The desktop application maps this onto its event loop; the command-line tool
// drains it at the points where it needs a settled document and before it
// ends.

#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>

namespace orrelin {

class MainThreadQueue {
 public:
  using Call = std::function<void()>;

  static MainThreadQueue& shared();

  // Queues fn for the main thread without waiting for it. Safe from any thread.
  void performOnMainThread(Call fn);

  // Queues fn to run after the current event; an owner lets it be cancelled.
  void performAtEndOfEvent(Call fn, const void* owner = nullptr);
  // Drops every queued call of the owner that has not run yet.
  void cancelPerforms(const void* owner);

  // Runs queued calls in order, including those queued while draining, until
  // none is left; returns how many ran. Call on the main thread.
  std::size_t drain();
  bool hasPending() const;

  // Called (from the posting thread) whenever a call is queued, so an event
  // loop can wake up. None in the tool.
  void setWakeUp(std::function<void()> wakeUp);

  static bool isMainThread();

 private:
  struct Entry {
    Call fn;
    const void* owner;
  };
  void enqueue(Entry entry);

  mutable std::mutex lock_;
  std::deque<Entry> calls_;
  std::function<void()> wakeUp_;
};

}  // namespace orrelin
