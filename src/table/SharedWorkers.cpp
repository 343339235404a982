#include "table/SharedWorkers.h"

#include <memory>

#include "graph/dependency/VKOperationQueue.h"

namespace orrelin {

namespace {

class OperationQueueWorkers final : public KRExpressionWorkers {
 public:
  // The caller's thread is one of the processors.
  unsigned helperCount() const override { return VKOperationQueue::shared().threadLimit() - 1; }

  void runAlongside(const std::vector<std::function<void()>>& helpers, const std::function<void()>& own) override {
    std::vector<std::shared_ptr<VKOperation>> operations;
    operations.reserve(helpers.size());
    for (const auto& helper : helpers) operations.push_back(VKOperation::withCall(helper));
    VKOperationQueue::shared().performOperationsAlongside(operations, own);
  }
};

}  // namespace

KRExpressionWorkers& sharedExpressionWorkers() {
  static OperationQueueWorkers workers;
  return workers;
}

}  // namespace orrelin
