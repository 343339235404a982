#pragma once
// Makes a command from its "Type". The kinds whose behaviour is not written
// yet are known from the start: they keep every setting they were read with
// and write it back unchanged, report invalid ranges and draw nothing. The
// libraries above register the kinds they implement, which replace those.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "graph/commandbase/VKDrawingCommand.h"

namespace orrelin {

// A drawing command kind that stores its settings but does not draw yet.
class VKStoredDrawingCommand : public VKDrawingCommand {
 public:
  VKStoredDrawingCommand(std::string type, int collapserType = 0)
      : type_(std::move(type)), collapserType_(collapserType) {}
  std::string type() const override { return type_; }
  int collapserType() const override { return collapserType_; }
  bool keepsUnknownSettingsQuietly() const override { return true; }

 private:
  std::string type_;
  int collapserType_;
};

// The text block is a command without axes or drawing cache.
class VKTextBlockController : public DataDrawingCommand {
 public:
  std::string type() const override { return "Text Block"; }
  bool keepsUnknownSettingsQuietly() const override { return true; }
  bool canExclude() const override { return false; }
  bool canHide() const override { return false; }
};

class VKCommandFactory {
 public:
  using Creator = std::function<std::shared_ptr<DataDrawingCommand>()>;

  static VKCommandFactory& shared();

  // Registers (or replaces) the maker of a kind.
  void registerKind(const std::string& type, Creator creator);
  bool knowsKind(const std::string& type) const { return creators_.count(type) > 0; }
  std::vector<std::string> kinds() const;

  // A new command of the kind with its settings connected; null for an
  // unknown type.
  std::shared_ptr<DataDrawingCommand> createCommand(const std::string& type) const;
  // Made from a stored form: created from "Type", connected, then filled.
  // Null, with a message, when the type is missing or unknown.
  std::shared_ptr<DataDrawingCommand> createFromPropertyList(const PropertyList& list) const;

 private:
  VKCommandFactory();
  std::map<std::string, Creator> creators_;
};

}  // namespace orrelin
