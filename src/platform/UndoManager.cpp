#include "platform/UndoManager.h"

#include <utility>

namespace orrelin {

void InMemoryUndoManager::registerUndo(Action action) {
  if (!action) return;
  if (groupDepth_ > 0) {
    openGroup_.push_back(std::move(action));
    return;
  }
  if (mode_ == Mode::Normal) redoStack_.clear();
  auto& target = mode_ == Mode::Undoing ? redoStack_ : undoStack_;
  target.push_back(Step{std::move(action)});
}

void InMemoryUndoManager::beginUndoGrouping() { ++groupDepth_; }

void InMemoryUndoManager::endUndoGrouping() {
  if (groupDepth_ == 0) return;
  if (--groupDepth_ > 0 || openGroup_.empty()) return;
  Step step = std::move(openGroup_);
  openGroup_.clear();
  if (mode_ == Mode::Normal) redoStack_.clear();
  auto& target = mode_ == Mode::Undoing ? redoStack_ : undoStack_;
  target.push_back(std::move(step));
}

void InMemoryUndoManager::run(std::vector<Step>& from, std::vector<Step>& to, Mode mode) {
  (void)to;
  Step step = std::move(from.back());
  from.pop_back();
  const Mode before = mode_;
  mode_ = mode;
  // What the step registers while it runs is its own opposite, one step.
  beginUndoGrouping();
  for (auto it = step.rbegin(); it != step.rend(); ++it) (*it)();
  endUndoGrouping();
  mode_ = before;
}

bool InMemoryUndoManager::undo() {
  if (undoStack_.empty() || groupDepth_ > 0) return false;
  run(undoStack_, redoStack_, Mode::Undoing);
  return true;
}

bool InMemoryUndoManager::redo() {
  if (redoStack_.empty() || groupDepth_ > 0) return false;
  run(redoStack_, undoStack_, Mode::Redoing);
  return true;
}

void InMemoryUndoManager::removeAllActions() {
  undoStack_.clear();
  redoStack_.clear();
  openGroup_.clear();
  groupDepth_ = 0;
}

}  // namespace orrelin
