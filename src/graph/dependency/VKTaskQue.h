#pragma once
// Runs deferred calls, such as writing column data to disk, one after the
// other in the order they were queued, on one background thread. After each
// batch of calls it logs "called N method(s)".

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "graph/dependency/SerialWorker.h"

namespace orrelin {

class VKTaskQue {
 public:
  using Log = std::function<void(const std::string& line)>;
  static constexpr const char* kEmptyObject = "Trying to queue a call on an empty object";

  VKTaskQue();
  // Runs whatever is still queued, then stops the thread.
  ~VKTaskQue() = default;

  // The one the application uses; it is finished when the process ends.
  static VKTaskQue& shared();

  // Queues selector for object: a member function pointer (&Column::writeData)
  // or anything callable with the object (T&). The queue keeps the object
  // alive until the call has run; calls must not wait for the main thread.
  template <class T, class Selector>
  void addObject(std::shared_ptr<T> object, Selector selector) {
    if (!object) {
      reportEmptyObject();
      return;
    }
    worker_.add([held = std::move(object), selector = std::move(selector)]() mutable {
      std::invoke(selector, *held);
      held.reset();
    });
  }

  // Blocks until every call queued so far (and any they queue) has run.
  void waitUntilFinished() { worker_.waitUntilFinished(); }
  // Runs what is queued and stops the thread; later calls run at once on the
  // caller's thread.
  void shutdown() { worker_.shutdown(); }

  // Where the log lines go (standard error unless set); none silences them.
  void setLog(Log log);

 private:
  static void reportEmptyObject();
  void batchDone(std::size_t count);

  std::mutex logLock_;
  Log log_;
  // Last, so it stops before the log it reports to goes away.
  SerialWorker worker_;
};

}  // namespace orrelin
