#pragma once
// The undo seam. Entities register the action that takes a change back; the
// desktop application backs this with its real undo stack, a batch run with
// the recorder that drops everything, and the in-memory stack serves the
// tests and headless sessions.
//
// While an action is being undone, whatever it registers becomes the redo
// action, and the other way round, so undo followed by redo ends where the
// user started.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace orrelin {

class UndoManager {
 public:
  using Action = std::function<void()>;

  virtual ~UndoManager() = default;

  virtual void registerUndo(Action action) = 0;
  // Everything registered between these two calls is undone as one step.
  // Groups nest; only the outermost one makes a step.
  virtual void beginUndoGrouping() {}
  virtual void endUndoGrouping() {}
  // Whether actions are being recorded at all.
  virtual bool isRecording() const { return true; }
};

// Batch mode: nothing is ever undone.
class NoUndoManager : public UndoManager {
 public:
  void registerUndo(Action) override {}
  bool isRecording() const override { return false; }
};

class InMemoryUndoManager : public UndoManager {
 public:
  void registerUndo(Action action) override;
  void beginUndoGrouping() override;
  void endUndoGrouping() override;

  bool canUndo() const { return !undoStack_.empty(); }
  bool canRedo() const { return !redoStack_.empty(); }
  std::size_t undoCount() const { return undoStack_.size(); }
  std::size_t redoCount() const { return redoStack_.size(); }
  // Each takes back one step and answers whether there was one.
  bool undo();
  bool redo();
  void removeAllActions();

 private:
  using Step = std::vector<Action>;
  enum class Mode { Normal, Undoing, Redoing };

  void run(std::vector<Step>& from, std::vector<Step>& to, Mode mode);

  std::vector<Step> undoStack_;
  std::vector<Step> redoStack_;
  Step openGroup_;
  int groupDepth_ = 0;
  Mode mode_ = Mode::Normal;
};

}  // namespace orrelin
