#pragma once
// One background thread that runs calls in the order they were queued. The
// memory manager and the task queue are built on it.
//
// The thread starts with the first call and then sleeps on a condition
// variable between calls. It takes everything queued so far as one batch,
// runs the batch outside the lock, destroying each call (and whatever it
// holds) right after it ran, and goes back for more. shutdown() lets it run
// what is queued, including calls queued meanwhile, and joins it; the
// destructor does the same, so no call is lost and no thread outlives its
// worker. A call queued after shutdown runs at once on the caller's thread.

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace orrelin {

class SerialWorker {
 public:
  using Call = std::function<void()>;
  // Told on the worker thread how many calls a batch held, after it ran.
  using BatchDone = std::function<void(std::size_t)>;

  explicit SerialWorker(BatchDone batchDone = {});
  ~SerialWorker();
  SerialWorker(const SerialWorker&) = delete;
  SerialWorker& operator=(const SerialWorker&) = delete;

  // Safe from any thread, also from inside a call.
  void add(Call call);
  // Blocks until every call queued so far, and every call those queue, has
  // run. From inside a call it returns at once (waiting would never end).
  void waitUntilFinished();
  // Runs what is queued and stops the thread. From inside a call it does
  // nothing; the worker is stopped by its owner.
  void shutdown();
  bool isWorkerThread() const;

 private:
  enum class State { NotStarted, Running, Stopping, Finished };

  // Whether the caller is the running worker thread; lock_ is held.
  bool onWorkerThread() const;
  void run();
  void runBatch(std::vector<Call>& batch);

  BatchDone batchDone_;
  mutable std::mutex lock_;
  std::condition_variable wake_;  // the worker: calls arrived, or stop
  std::condition_variable idle_;  // waiters: queue empty and nothing running
  std::vector<Call> queue_;
  bool busy_ = false;
  State state_ = State::NotStarted;
  std::thread thread_;
  std::thread::id workerId_;
};

}  // namespace orrelin
