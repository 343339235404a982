#pragma once
// The commands that delimit a group of commands in a graph: an opener
// ("Open") and its closer ("Close"). Groups nest. The commands between them
// are drawn into one group of the picture that carries the opener's name and
// is cropped by the outline of the command the opener's "Crop With" names;
// excluding or hiding the opener does the same to everything in the group.
// The openers and closers draw nothing themselves.

#include <memory>
#include <string>

#include "graph/commandbase/VKDrawingCommand.h"

namespace orrelin {

class VKTextInputController;

class VKCollapserCommandOpen : public VKDrawingCommand {
 public:
  std::string type() const override { return "Open"; }
  int collapserType() const override { return 1; }
  // Settings of documents written before the group had them are kept.
  bool keepsUnknownSettingsQuietly() const override { return true; }
  bool hasMagnificationChoice() const override { return false; }
  bool canBeCropped() const override { return true; }
  // Connects "Name" and the base settings.
  void finishConnections() override;

  // The name of the group ("Name"); empty when not given.
  std::string nameOfCollapser() const;
  void setNameOfCollapser(const std::string& name);
  std::string legendName() const override { return nameOfCollapser(); }

 private:
  std::shared_ptr<VKTextInputController> name_;
};

class VKCollapserCommandClose : public VKDrawingCommand {
 public:
  VKCollapserCommandClose() : VKDrawingCommand(false) {}
  std::string type() const override { return "Close"; }
  int collapserType() const override { return 2; }
  bool keepsUnknownSettingsQuietly() const override { return true; }
  bool hasMagnificationChoice() const override { return false; }
  // A closer follows its opener.
  bool canExclude() const override { return false; }
  bool canHide() const override { return false; }
};

}  // namespace orrelin
