#include "graph/commandbase/DataDrawingCommand.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cxxabi.h>
#include <typeinfo>

#include "drawing/KRDrawingStyle.h"
#include "graph/commandbase/CommandDocument.h"
#include "graph/commandbase/CommandPanel.h"
#include "graph/commandbase/CommandTexts.h"
#include "graph/commandbase/InputControllers.h"
#include "graph/commandbase/TextFormat.h"
#include "graph/commandbase/VKCommandGraph.h"
#include "platform/KRMessageCenter.h"
#include "platform/UndoManager.h"

namespace orrelin {

namespace {

std::atomic<std::int32_t> commandSerialNumbers{0};

std::string demangled(const char* mangled) {
  int status = 0;
  char* readable = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
  std::string name = (status == 0 && readable) ? readable : mangled;
  std::free(readable);
  return name;
}

}  // namespace

DataDrawingCommand::DataDrawingCommand() : serialNumber_(++commandSerialNumbers) {}

DataDrawingCommand::~DataDrawingCommand() {
  // The settings go with the command; they leave the graph first.
  for (const auto& controller : allObjects_) controller->setDocument(nullptr);
}

void DataDrawingCommand::refuse(const std::string& why) const {
  KRMessageCenter::addMessage(commandtext::kConnectRefused, why);
}

bool DataDrawingCommand::connect(std::shared_ptr<VKInputController> controller, const std::string& name) {
  if (name == commandtext::kType) {
    refuse(commandtext::kReservedName);
    return false;
  }
  if (name.empty()) {
    refuse(commandtext::kMissingName);
    return false;
  }
  if (!controller) {
    refuse(formatText(commandtext::kMissingController, name));
    return false;
  }
  if (auto taken = findKeyFor(controller.get())) {
    refuse(formatText(commandtext::kControllerTaken, *taken));
    return false;
  }
  if (objectByName_.count(name)) {
    refuse(formatText(commandtext::kNameTaken, name));
    return false;
  }
  connectAsSupplier(controller);
  // (Setting no document would detach the setting again.)
  if (auto owner = document()) controller->setDocument(owner);
  controller->setUsedInside(this, name);
  objectByName_.emplace(name, controller);
  allObjects_.push_back(controller);
  controller->finishConnections();
  return true;
}

std::vector<std::string> DataDrawingCommand::objectNames() const {
  std::vector<std::string> names;
  for (const auto& [name, controller] : objectByName_) names.push_back(name);
  return names;  // the map keeps them sorted
}

std::shared_ptr<VKInputController> DataDrawingCommand::objectWithName(const std::string& name) const {
  auto found = objectByName_.find(name);
  return found == objectByName_.end() ? nullptr : found->second;
}

std::optional<std::string> DataDrawingCommand::findKeyFor(const VKInputController* controller) const {
  for (const auto& [name, each] : objectByName_)
    if (each.get() == controller) return name;
  return std::nullopt;
}

PropertyList DataDrawingCommand::propertyList() const {
  PlistDictionary list = unclaimed_;
  list[commandtext::kType] = type();
  for (const auto& [name, controller] : objectByName_) {
    try {
      if (auto value = controller->propertyList())
        list[name] = std::move(*value);
      else
        list.erase(name);
    } catch (const std::exception& exception) {
      list.erase(name);
      auto* self = const_cast<DataDrawingCommand*>(this);
      self->presentException(exception, commandtext::kCouldNotGetProperty);
      KRMessageCenter::addMessage(commandtext::kCouldNotGetProperty,
                                  formatText(commandtext::kCouldNotGetPropertyLong, demangled(typeid(*this).name()),
                                             name, demangled(typeid(exception).name()),
                                             std::string(exception.what())));
    }
  }
  list[commandtext::kOpen] = open_;
  return list;
}

void DataDrawingCommand::fillFromPropertyList(const PropertyList& list) {
  unclaimed_.clear();
  if (!list.isDictionary()) {
    KRMessageCenter::addMessage(commandtext::kBadSettingValue,
                                formatText(commandtext::kBadSettingValueLong, "", type(),
                                           propertyListKindDescription(list), "a dictionary"));
  }
  for (const auto& [name, controller] : objectByName_) controller->setFromPropertyList(list.find(name));
  if (auto open = list.find(commandtext::kOpen)) {
    if (open->isNumber() || open->isBoolean())
      open_ = open->isBoolean() ? open->boolean() : open->real() != 0;
    else
      KRMessageCenter::addMessage(commandtext::kBadSettingValue,
                                  formatText(commandtext::kBadSettingValueLong, commandtext::kOpen, type(),
                                             propertyListKindDescription(*open), "a boolean"));
  }
  if (!list.isDictionary()) return;
  for (const auto& [key, value] : list.dictionary()) {
    if (key == commandtext::kType || key == commandtext::kOpen || objectByName_.count(key)) continue;
    unclaimed_.emplace(key, value);
    if (!keepsUnknownSettingsQuietly())
      KRMessageCenter::addMessage(commandtext::kUnknownSetting,
                                  formatText(commandtext::kUnknownSettingLong, type(), key));
  }
}

void DataDrawingCommand::setFromPropertyListRecordUndo(const PropertyList& list) {
  UndoManager* undo = commandDocument() ? commandDocument()->undoManager() : nullptr;
  if (undo) undo->beginUndoGrouping();
  DependencyList changedSettings;
  for (const auto& controller : allObjects_) {
    const PropertyList* value = list.find(*findKeyFor(controller.get()));
    auto before = controller->propertyList();
    if (value && before && *value == *before) continue;
    if (!value && !before) continue;
    if (auto argument = controller->undoArgumentFor(commandtext::kSetFromPropertyList))
      recordUndoFor(controller.get(), commandtext::kSetFromPropertyList, *argument);
    controller->setFromPropertyList(value);
    changedSettings.push_back(controller);
  }
  if (undo) undo->endUndoGrouping();
  VKDependencyBase::listOfControllersChanged(changedSettings);
}

void DataDrawingCommand::finishConnections() {
  if (canExclude() && !excludeButton_) {
    excludeButton_ = std::make_shared<VKButtonInputController>(false);
    connect(excludeButton_, commandtext::kExclude);
  }
  if (canHide() && !hideButton_) {
    hideButton_ = std::make_shared<VKButtonInputController>(false);
    connect(hideButton_, commandtext::kHide);
  }
}

void DataDrawingCommand::establishDependencyConnections() {
  for (const auto& controller : allObjects_) controller->establishDependencyConnections();
  setErrorExplanation(settingsErrorExplanation());
}

std::string DataDrawingCommand::groupName() const {
  std::string name = commandName();
  return name.empty() ? type() : name;
}

std::shared_ptr<KRDrawingStyleFont> DataDrawingCommand::drawingFont(const VKFontStyle& style) const {
  if (insideDrawing_) return insideDrawing_->drawingFont(style);
  return KRDrawingStyleFont::styleWithFont(style.family, style.size, style.color);
}

bool DataDrawingCommand::exclude() const { return excludeButton_ && excludeButton_->isSelected(); }
bool DataDrawingCommand::hide() const { return hideButton_ && hideButton_->isSelected(); }
void DataDrawingCommand::setExclude(bool exclude) {
  if (excludeButton_) excludeButton_->setSelected(exclude);
}
void DataDrawingCommand::setHidden(bool hidden) {
  if (hideButton_) hideButton_->setSelected(hidden);
}

void DataDrawingCommand::clearCachedDrawing() {
  ++changeCount_;
  cachedUncroppedDrawing_.reset();
  cachedFinalDrawing_.reset();
  lastInformation_.reset();
}

void DataDrawingCommand::entryChanged(VKDependencyBase* sender, DependencyVisitSet& alreadySentFor) {
  if (!alreadySentFor.count(this) && senderAffectsDrawing(sender)) entryChanged(sender);
  VKDependencyBase::entryChanged(sender, alreadySentFor);
}

void DataDrawingCommand::entryChanged(VKDependencyBase* sender) {
  (void)sender;
  clearCachedDrawing();
  if (insideDrawing_) insideDrawing_->entryChanged(this);
}

void DataDrawingCommand::parameterValueChanged(const std::string& name) {
  for (const auto& c : allObjects_) c->parameterValueChanged(name);
}
void DataDrawingCommand::parameterListChanged(const ParameterListChanges& changes) {
  for (const auto& c : allObjects_) c->parameterListChanged(changes);
}
void DataDrawingCommand::parameterVariablesMightHaveChanged() {
  for (const auto& c : allObjects_) c->establishDependencyConnections();
}
void DataDrawingCommand::replacedColumn(const OrrelinColumn* old, const std::shared_ptr<OrrelinColumn>& replacement) {
  for (const auto& c : allObjects_) c->replacedColumn(old, replacement);
}
void DataDrawingCommand::columnTypeMightHaveChanged(const OrrelinColumn* column) {
  for (const auto& c : allObjects_) c->columnTypeMightHaveChanged(column);
}
void DataDrawingCommand::columnChangedToString(const OrrelinColumn* column) {
  for (const auto& c : allObjects_) c->columnTypeMightHaveChanged(column);
}
void DataDrawingCommand::columnsWereReordered() {
  for (const auto& c : allObjects_) c->columnsWereReordered();
}
void DataDrawingCommand::columnsWereRemoved(const std::vector<const OrrelinColumn*>& columns) {
  for (const auto& c : allObjects_) c->columnsWereRemoved(columns);
}
void DataDrawingCommand::updateAllColumnMenus() {
  for (const auto& c : allObjects_) c->updateAllColumnMenus();
}
void DataDrawingCommand::forceColumnSelectorUpdate() {
  for (const auto& c : allObjects_) c->updateAllColumnMenus();
}
void DataDrawingCommand::removingDrawingCommand(const DataDrawingCommand* command) {
  for (const auto& c : allObjects_) c->removingDrawingCommand(command);
}
void DataDrawingCommand::drawingCommandsWereReordered() {
  for (const auto& c : allObjects_) c->drawingCommandsWereReordered();
}
void DataDrawingCommand::updateDrawingCommandMenus() {
  for (const auto& c : allObjects_) c->updateDrawingCommandMenus();
}

std::vector<std::string> DataDrawingCommand::columnNamesExtractedFromCommand() const {
  std::vector<std::string> names;
  for (const auto& c : allObjects_) c->columnNamesUsed(names);
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

std::optional<double> DataDrawingCommand::valueForParameter(const std::string& name) const {
  auto* document = commandDocument();
  return document ? document->parameters().valueForParameter(name) : std::nullopt;
}

std::optional<std::string> DataDrawingCommand::stringForParameter(const std::string& name) const {
  auto* document = commandDocument();
  return document ? document->parameters().stringForParameter(name) : std::nullopt;
}

void DataDrawingCommand::updateViews() {
  if (!panel_) return;
  panel_->beginUpdate();
  panel_->showErrorExplanation(whatIsInErrorText_);
}

void DataDrawingCommand::setErrorExplanation(std::optional<std::string> text) {
  if (text == whatIsInErrorText_) return;
  whatIsInErrorText_ = std::move(text);
}

std::optional<std::string> DataDrawingCommand::settingsErrorExplanation() const {
  for (const auto& c : allObjects_)
    if (auto why = c->errorExplanation()) return why;
  return std::nullopt;
}

bool DataDrawingCommand::commandSelectorShouldAllow(const VKDrawingCommandSelector& selector,
                                                    const DataDrawingCommand& candidate) const {
  (void)selector;
  return &candidate != this;
}

bool DataDrawingCommand::recordUndoFor(VKInputController* target, const std::string& selector,
                                       const PropertyList& argument) {
  if (!target || !target->respondsToSelector(selector)) {
    KRMessageCenter::addMessage(commandtext::kInvalidUndoSelector);
    return false;
  }
  auto key = findKeyFor(target);
  auto* document = commandDocument();
  UndoManager* undo = document ? document->undoManager() : nullptr;
  if (!key || !undo || !undo->isRecording()) return false;
  int graphNumber = -1;
  auto graphs = document->graphs();
  for (std::size_t i = 0; i < graphs.size(); ++i)
    if (graphs[i].get() == insideDrawing_) graphNumber = static_cast<int>(i);
  const int commandNumber = insideDrawing_ ? insideDrawing_->indexOfCommand(this) : -1;
  if (graphNumber < 0 || commandNumber < 0) return false;
  PlistDictionary record{{commandtext::kCommandNumber, commandNumber},
                         {commandtext::kDrawingNumber, graphNumber},
                         {commandtext::kCommandData, argument},
                         {commandtext::kWhich, *key},
                         {commandtext::kSelector, selector}};
  std::weak_ptr<DependencyDocument> owner = this->document();
  undo->registerUndo([owner, record] {
    if (auto held = owner.lock())
      if (auto* commands = dynamic_cast<CommandDocument*>(held.get())) undoCommand(*commands, record);
  });
  return true;
}

bool DataDrawingCommand::undoCommand(CommandDocument& document, const PlistDictionary& record) {
  const PropertyList wrapped(record);
  auto graphNumber = wrapped.integerForKey(commandtext::kDrawingNumber);
  auto commandNumber = wrapped.integerForKey(commandtext::kCommandNumber);
  auto which = wrapped.stringForKey(commandtext::kWhich);
  auto selector = wrapped.stringForKey(commandtext::kSelector);
  const PropertyList* argument = wrapped.find(commandtext::kCommandData);
  auto graphs = document.graphs();
  if (!graphNumber || !commandNumber || !which || !selector || !argument || *graphNumber < 0 ||
      *graphNumber >= static_cast<std::int64_t>(graphs.size()))
    return false;
  const auto& commands = graphs[*graphNumber]->commands();
  if (*commandNumber < 0 || *commandNumber >= static_cast<std::int64_t>(commands.size())) return false;
  const auto& command = commands[*commandNumber];
  auto target = command->objectWithName(*which);
  if (!target || !target->respondsToSelector(*selector)) {
    KRMessageCenter::addMessage(commandtext::kUnexpectedUndoSelector);
    return false;
  }
  // The opposite goes on the other stack, so the step can be redone.
  if (auto opposite = target->undoArgumentFor(*selector)) command->recordUndoFor(target.get(), *selector, *opposite);
  return target->perform(*selector, *argument);
}

CommandDocument* DataDrawingCommand::commandDocument() const {
  return dynamic_cast<CommandDocument*>(document().get());
}

void DataDrawingCommand::setDocument(std::shared_ptr<DependencyDocument> document) {
  for (const auto& controller : allObjects_) controller->setDocument(document);
  VKDependencyBase::setDocument(document);
  // Detaching drops the links to the settings too; a command that joins a
  // document again links them anew.
  if (document)
    for (const auto& controller : allObjects_)
      if (!hasSupplier(controller.get())) connectAsSupplier(controller);
}

}  // namespace orrelin
