#include "MessageCapture.h"

#include "platform/MainThreadQueue.h"

namespace orrelin {

MessageCapture::MessageCapture() : center_(std::make_shared<KRMessageCenter>()) {
  MainThreadQueue::shared().drain();
  center_->setRefresh([](const std::vector<KRMessage>&) {});
  KRMessageCenter::setCenterForCurrentThread(center_);
}

MessageCapture::~MessageCapture() {
  KRMessageCenter::setCenterForCurrentThread(nullptr);
  MainThreadQueue::shared().drain();
}

std::vector<KRMessage> MessageCapture::take() {
  MainThreadQueue::shared().drain();
  auto messages = center_->shownMessages();
  center_->removeAllMessages();
  return messages;
}

std::vector<std::string> MessageCapture::takeShortTexts() {
  std::vector<std::string> texts;
  for (const auto& message : take()) texts.push_back(message.shortText);
  return texts;
}

}  // namespace orrelin
