#include "ParametersTestSupport.h"

#include "platform/MainThreadQueue.h"

namespace orrelin::testing_support {

MessageCapture::MessageCapture() : center_(std::make_shared<KRMessageCenter>()) {
  MainThreadQueue::shared().drain();
  center_->setRefresh([](const std::vector<KRMessage>&) {});
  KRMessageCenter::setCenterForCurrentThread(center_);
}

MessageCapture::~MessageCapture() {
  KRMessageCenter::setCenterForCurrentThread(nullptr);
  MainThreadQueue::shared().drain();
}

std::vector<std::string> MessageCapture::takeShortTexts() {
  MainThreadQueue::shared().drain();
  std::vector<std::string> texts;
  for (const auto& message : center_->shownMessages()) texts.push_back(message.shortText);
  center_->removeAllMessages();
  return texts;
}

Definitions::Definitions() : document(std::make_shared<TestDocument>()) { list.setDocument(document); }

Definitions::~Definitions() {
  for (auto& consumer : consumers) consumer->setDocument(nullptr);
  list.setDocument(nullptr);
}

std::shared_ptr<Consumer> Definitions::consumerOf(const std::shared_ptr<VKDependencyBase>& parameter) {
  auto consumer = std::make_shared<Consumer>();
  consumer->connectAsSupplier(parameter);
  consumers.push_back(consumer);
  return consumer;
}

}  // namespace orrelin::testing_support
