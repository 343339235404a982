#pragma once
// Threads that a column evaluation may share its blocks with. The formula
// library starts no threads of its own: whoever evaluates a column hands in
// the workers it has (the application its shared operation queue). The
// caller's thread always works too, so an evaluation without workers runs
// whole on the caller's thread.

#include <functional>
#include <vector>

namespace orrelin {

class KRExpressionWorkers {
 public:
  virtual ~KRExpressionWorkers() = default;
  // How many calls may usefully run beside the caller's own work.
  virtual unsigned helperCount() const = 0;
  // Runs each helper call once, on other threads, while the caller runs own;
  // returns when all of them have finished.
  virtual void runAlongside(const std::vector<std::function<void()>>& helpers, const std::function<void()>& own) = 0;
};

}  // namespace orrelin
