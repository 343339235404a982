#include "graph/commandbase/VKCommandFactory.h"

#include "graph/commandbase/CommandTexts.h"
#include "graph/commandbase/VKCollapserCommand.h"
#include "platform/KRMessageCenter.h"

namespace orrelin {

namespace {

constexpr const char* kUnknownType = "Unknown kind of command skipped";

}  // namespace

VKCommandFactory& VKCommandFactory::shared() {
  static VKCommandFactory factory;
  return factory;
}

VKCommandFactory::VKCommandFactory() {
  for (const char* type : {"Anchored Image", "Color Legend", "Connection", "Label", "Legend", "Lines",
                           "ND Fit", "Multiple Lines", "Plots", "Range", "Scalar Field", "Stock", "Zoom"})
    registerKind(type, [type] { return std::make_shared<VKStoredDrawingCommand>(type); });
  registerKind("Open", [] { return std::make_shared<VKCollapserCommandOpen>(); });
  registerKind("Close", [] { return std::make_shared<VKCollapserCommandClose>(); });
  registerKind("Text Block", [] { return std::make_shared<VKTextBlockController>(); });
}

void VKCommandFactory::registerKind(const std::string& type, Creator creator) {
  if (creator) creators_[type] = std::move(creator);
}

std::vector<std::string> VKCommandFactory::kinds() const {
  std::vector<std::string> result;
  for (const auto& [type, creator] : creators_) result.push_back(type);
  return result;
}

std::shared_ptr<DataDrawingCommand> VKCommandFactory::createCommand(const std::string& type) const {
  auto found = creators_.find(type);
  if (found == creators_.end()) return nullptr;
  auto command = found->second();
  if (command) command->finishConnections();
  return command;
}

std::shared_ptr<DataDrawingCommand> VKCommandFactory::createFromPropertyList(const PropertyList& list) const {
  auto type = list.stringForKey(commandtext::kType);
  auto command = type ? createCommand(*type) : nullptr;
  if (!command) {
    KRMessageCenter::addMessage(kUnknownType, type ? *type : std::string("(no \"Type\")"));
    return nullptr;
  }
  command->fillFromPropertyList(list);
  return command;
}

}  // namespace orrelin
