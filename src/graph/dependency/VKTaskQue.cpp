#include "VKTaskQue.h"

#include <cstdio>

#include "platform/KRMessageCenter.h"

namespace orrelin {

namespace {
void writeToStandardError(const std::string& line) {
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
}
}  // namespace

VKTaskQue::VKTaskQue() : log_(&writeToStandardError), worker_([this](std::size_t count) { batchDone(count); }) {}

VKTaskQue& VKTaskQue::shared() {
  static VKTaskQue queue;
  return queue;
}

void VKTaskQue::setLog(Log log) {
  std::lock_guard guard(logLock_);
  log_ = std::move(log);
}

void VKTaskQue::reportEmptyObject() { KRMessageCenter::addMessage(kEmptyObject); }

void VKTaskQue::batchDone(std::size_t count) {
  char line[64];
  std::snprintf(line, sizeof line, "called %d method(s)", static_cast<int>(count));
  Log log;
  {
    std::lock_guard guard(logLock_);
    log = log_;
  }
  if (log) log(line);
}

}  // namespace orrelin
