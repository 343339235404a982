#pragma once
// What a command's panel in the command list is asked to show. The desktop
// panel draws it; the headless panel keeps a record of what it was asked,
// which is all a batch run or a test needs.

#include <map>
#include <optional>
#include <string>
#include <utility>

#include "graph/commandbase/KRBoundingRange.h"

namespace orrelin {

class CommandPanel {
 public:
  virtual ~CommandPanel() = default;

  // A refresh of the whole panel starts.
  virtual void beginUpdate() = 0;
  // The small red dot whose tooltip is the explanation; none removes it.
  virtual void showErrorExplanation(const std::optional<std::string>& text) = 0;
  // The data range an axis of the command spans before padding and
  // cropping ('X' or 'Y', the axis number in the graph), shown beside the
  // axis's crop entry; an invalid range shows nothing there.
  virtual void showAxisRange(char letter, int axis, const KRBoundingRange& range) = 0;
};

class HeadlessCommandPanel : public CommandPanel {
 public:
  void beginUpdate() override { ++updates_; }
  void showErrorExplanation(const std::optional<std::string>& text) override { errorDot_ = text; }
  void showAxisRange(char letter, int axis, const KRBoundingRange& range) override {
    ranges_[{letter, axis}] = range;
  }

  int updates() const { return updates_; }
  const std::optional<std::string>& errorDot() const { return errorDot_; }
  // The range last shown for the axis; none when the panel never showed one.
  std::optional<KRBoundingRange> axisRange(char letter, int axis) const {
    auto found = ranges_.find({letter, axis});
    if (found == ranges_.end()) return std::nullopt;
    return found->second;
  }
  std::size_t axisRangesShown() const { return ranges_.size(); }

 private:
  int updates_ = 0;
  std::optional<std::string> errorDot_;
  std::map<std::pair<char, int>, KRBoundingRange> ranges_;
};

}  // namespace orrelin
