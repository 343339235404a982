#include "SerialWorker.h"

#include <exception>
#include <string>
#include <system_error>

#include "platform/KRMessageCenter.h"

namespace orrelin {

namespace {

// A failing call must neither end the worker nor the ones queued after it.
void runGuarded(SerialWorker::Call& call) {
  try {
    if (call) call();
  } catch (const std::exception& e) {
    KRMessageCenter::addMessage("Error in a background call", e.what());
  } catch (...) {
    KRMessageCenter::addMessage("Error in a background call", "unknown exception");
  }
}

}  // namespace

SerialWorker::SerialWorker(BatchDone batchDone) : batchDone_(std::move(batchDone)) {}

SerialWorker::~SerialWorker() {
  shutdown();
  // Only when the process ends from inside a queued call is the worker
  // destroyed on its own thread; that thread cannot join itself and never
  // comes back to the loop.
  if (thread_.joinable()) thread_.detach();
}

bool SerialWorker::isWorkerThread() const {
  std::lock_guard guard(lock_);
  return onWorkerThread();
}

bool SerialWorker::onWorkerThread() const {
  return (state_ == State::Running || state_ == State::Stopping) && std::this_thread::get_id() == workerId_;
}

void SerialWorker::add(Call call) {
  {
    std::unique_lock guard(lock_);
    if (state_ != State::Finished) {
      queue_.push_back(std::move(call));
      if (state_ == State::NotStarted) {
        try {
          thread_ = std::thread(&SerialWorker::run, this);
          workerId_ = thread_.get_id();
          state_ = State::Running;
        } catch (const std::system_error&) {
          // No thread to be had: run everything here from now on.
          state_ = State::Finished;
          std::vector<Call> batch;
          batch.swap(queue_);
          guard.unlock();
          runBatch(batch);
          return;
        }
      }
      wake_.notify_one();
      return;
    }
  }
  std::vector<Call> single;
  single.push_back(std::move(call));
  runBatch(single);
}

void SerialWorker::runBatch(std::vector<Call>& batch) {
  for (auto& call : batch) {
    runGuarded(call);
    // Whatever the call holds is released here, in order.
    call = nullptr;
  }
  if (batchDone_ && !batch.empty()) batchDone_(batch.size());
  batch.clear();
}

void SerialWorker::run() {
  std::vector<Call> batch;
  std::unique_lock guard(lock_);
  for (;;) {
    wake_.wait(guard, [this] { return !queue_.empty() || state_ == State::Stopping; });
    if (queue_.empty()) {
      // Stopping and nothing left; a call queued from now on runs on its
      // caller's thread.
      state_ = State::Finished;
      idle_.notify_all();
      return;
    }
    batch.swap(queue_);
    busy_ = true;
    guard.unlock();
    runBatch(batch);
    guard.lock();
    busy_ = false;
    if (queue_.empty()) idle_.notify_all();
  }
}

void SerialWorker::waitUntilFinished() {
  std::unique_lock guard(lock_);
  if (onWorkerThread()) return;
  idle_.wait(guard, [this] { return queue_.empty() && !busy_; });
}

void SerialWorker::shutdown() {
  std::thread worker;
  {
    std::unique_lock guard(lock_);
    switch (state_) {
      case State::NotStarted:
        state_ = State::Finished;
        return;
      case State::Running:
        if (std::this_thread::get_id() == workerId_) return;
        state_ = State::Stopping;
        worker = std::move(thread_);
        wake_.notify_one();
        break;
      case State::Stopping:
        // Another thread is stopping it; wait until that is done.
        if (std::this_thread::get_id() == workerId_) return;
        idle_.wait(guard, [this] { return state_ == State::Finished; });
        return;
      case State::Finished:
        return;
    }
  }
  worker.join();
}

}  // namespace orrelin
