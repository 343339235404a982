#include "ParametersTestSupport.h"

#include "platform/MainThreadQueue.h"

namespace orrelin::testing_support {

Definitions::Definitions() : document(std::make_shared<TestDocument>()) {
  list.setDocument(document);
  list.setNeighbour(document);
}

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
