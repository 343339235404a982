#pragma once
// Gives the test's thread a message centre of its own, so the messages a test
// causes on that thread can be read back and nothing reaches standard error.

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/KRMessageCenter.h"
#include "platform/MainThreadQueue.h"

namespace orrelin {

class MessageCapture {
 public:
  MessageCapture() : center_(std::make_shared<KRMessageCenter>()) {
    MainThreadQueue::shared().drain();
    center_->setRefresh([](const std::vector<KRMessage>&) {});
    KRMessageCenter::setCenterForCurrentThread(center_);
  }
  ~MessageCapture() {
    KRMessageCenter::setCenterForCurrentThread(nullptr);
    MainThreadQueue::shared().drain();
  }
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;

  // The messages posted so far, oldest first; they stay recorded.
  std::vector<KRMessage> messages() {
    MainThreadQueue::shared().drain();
    return center_->shownMessages();
  }
  std::vector<std::string> texts() {
    std::vector<std::string> result;
    for (const auto& message : messages()) result.push_back(message.shortText);
    return result;
  }
  bool saw(const std::string& text) {
    auto all = texts();
    return std::find(all.begin(), all.end(), text) != all.end();
  }

  // The messages posted since the last take, oldest first.
  std::vector<KRMessage> take() {
    auto result = messages();
    center_->removeAllMessages();
    return result;
  }
  std::vector<std::string> takeShortTexts() {
    auto result = texts();
    center_->removeAllMessages();
    return result;
  }

 private:
  std::shared_ptr<KRMessageCenter> center_;
};

}  // namespace orrelin
