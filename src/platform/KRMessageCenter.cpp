#include "KRMessageCenter.h"

#include <execinfo.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/MainThreadQueue.h"
#include "platform/ThreadDictionary.h"

namespace orrelin {

KRMessageCenter::KRMessageCenter() : refresh_(&KRMessageCenter::writeToStandardError) {}

std::shared_ptr<KRMessageCenter> KRMessageCenter::sharedCenter() {
  // Never destroyed, so messages posted while the process ends still land.
  static auto* center = new std::shared_ptr<KRMessageCenter>(std::make_shared<KRMessageCenter>());
  return *center;
}

std::shared_ptr<KRMessageCenter> KRMessageCenter::currentCenter() {
  auto own = ThreadDictionary::get<KRMessageCenter>(kThreadDictionaryKey);
  return own ? own : sharedCenter();
}

void KRMessageCenter::setCenterForCurrentThread(std::shared_ptr<KRMessageCenter> center) {
  ThreadDictionary::set(kThreadDictionaryKey, std::move(center));
}

void KRMessageCenter::addMessage(const std::string& text) { currentCenter()->post(text, ""); }

void KRMessageCenter::addMessage(const std::string& text, const std::string& longVersion) {
  currentCenter()->post(text, longVersion);
}

void KRMessageCenter::seriousErrorMessage(const std::string& text) {
  currentCenter()->post(text, currentCallStack(), true);
}

void KRMessageCenter::post(const std::string& shortText, const std::string& longText, bool serious) {
  KRMessage message{shortText, longText, std::chrono::system_clock::now(), serious};
  bool scheduleUpdate = false;
  {
    std::lock_guard guard(lock_);
    // Once the shown list is past the limit, messages are dropped. The one
    // that brings shown and waiting together to the limit becomes the notice
    // that further ones are blocked; messages posted before the main thread
    // has moved the waiting ones still get in.
    if (shown_.size() > kMessageLimit) return;
    if (shown_.size() + waiting_.size() == kMessageLimit) {
      message.shortText = kTooManyMessages;
      message.longText.clear();
      message.serious = false;
    }
    waiting_.push_back(message);
    if (!updatePending_) {
      updatePending_ = true;
      scheduleUpdate = true;
    }
  }
  appendToLogFile(message);
  if (scheduleUpdate) {
    std::weak_ptr<KRMessageCenter> weak = weak_from_this();
    MainThreadQueue::shared().performOnMainThread([weak] {
      if (auto center = weak.lock()) center->updateShownMessages();
    });
  }
}

void KRMessageCenter::updateShownMessages() {
  std::vector<KRMessage> moved;
  Refresh refresh;
  {
    std::lock_guard guard(lock_);
    moved.swap(waiting_);
    shown_.insert(shown_.end(), moved.begin(), moved.end());
    updatePending_ = false;
    refresh = refresh_;
  }
  if (refresh && !moved.empty()) refresh(moved);
}

std::vector<KRMessage> KRMessageCenter::shownMessages() const {
  std::lock_guard guard(lock_);
  return shown_;
}

std::size_t KRMessageCenter::waitingCount() const {
  std::lock_guard guard(lock_);
  return waiting_.size();
}

void KRMessageCenter::removeAllMessages() {
  std::lock_guard guard(lock_);
  shown_.clear();
  waiting_.clear();
}

void KRMessageCenter::setRefresh(Refresh refresh) {
  std::lock_guard guard(lock_);
  refresh_ = std::move(refresh);
}

void KRMessageCenter::setLogFile(const std::string& path) {
  std::lock_guard guard(logLock_);
  logFile_ = path;
}

void KRMessageCenter::appendToLogFile(const KRMessage& message) {
  std::lock_guard guard(logLock_);
  if (logFile_.empty()) return;
  std::FILE* file = std::fopen(logFile_.c_str(), "a");
  if (!file) return;
  std::time_t seconds = std::chrono::system_clock::to_time_t(message.time);
  std::tm local{};
  localtime_r(&seconds, &local);
  char stamp[64];
  std::strftime(stamp, sizeof stamp, "%m/%e at %H:%M:%S", &local);
  std::fprintf(file, "%s %s\n", stamp, message.shortText.c_str());
  if (!message.longText.empty()) std::fprintf(file, "%s\n", message.longText.c_str());
  std::fclose(file);
}

void KRMessageCenter::writeToStandardError(const std::vector<KRMessage>& messages) {
  for (const auto& message : messages) {
    std::fprintf(stderr, "%s\n", message.shortText.c_str());
    if (!message.serious && !message.longText.empty()) std::fprintf(stderr, "%s\n", message.longText.c_str());
  }
  std::fflush(stderr);
}

std::string currentCallStack() {
  void* frames[64];
  int count = ::backtrace(frames, 64);
  char** symbols = ::backtrace_symbols(frames, count);
  if (!symbols) return "";
  std::string stack;
  // Frame 0 is this function.
  for (int i = 1; i < count; ++i) {
    stack += symbols[i];
    stack += '\n';
  }
  std::free(symbols);
  return stack;
}

}  // namespace orrelin
