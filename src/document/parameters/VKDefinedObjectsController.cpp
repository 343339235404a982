#include "VKDefinedObjectsController.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "document/parameters/ParameterTexts.h"
#include "expression/KRExpression.h"
#include "platform/KRMessageCenter.h"

namespace orrelin {

namespace texts = parameter_texts;

namespace {

// A new document animates for this long.
constexpr const char* kDefaultAnimationDuration = "10";
constexpr double kLongestAnimation = 10000;

}  // namespace

VKDefinedObjectsController::VKDefinedObjectsController()
    : animationController_(std::make_shared<VKParameterSlider>()) {
  animationController_->owner_ = this;
  setAnimationDurationText(std::string(kDefaultAnimationDuration));
}

VKDefinedObjectsController::~VKDefinedObjectsController() {
  for (const auto& definition : definitions_) release(definition);
  release(animationController_);
}

void VKDefinedObjectsController::setNeighbour(std::shared_ptr<ParameterListNeighbour> neighbour) {
  neighbour_ = neighbour;
}

void VKDefinedObjectsController::setDocument(std::shared_ptr<DependencyDocument> document) {
  document_ = document;
  for (const auto& definition : definitions_) definition->setDocument(document);
  animationController_->setDocument(document);
}

// ---- The list

void VKDefinedObjectsController::adopt(const std::shared_ptr<VKDefinedObject>& definition) {
  definition->owner_ = this;
  if (auto document = document_.lock()) definition->setDocument(document);
}

void VKDefinedObjectsController::release(const std::shared_ptr<VKDefinedObject>& definition) {
  definition->owner_ = nullptr;
  // Leaving the document takes it out of the dependency graph, so nothing
  // goes on reading a definition that is gone.
  definition->setDocument(nullptr);
}

void VKDefinedObjectsController::addDefinition(std::shared_ptr<VKDefinedObject> definition) {
  insertDefinition(std::move(definition), definitions_.size());
}

void VKDefinedObjectsController::insertDefinition(std::shared_ptr<VKDefinedObject> definition, std::size_t index) {
  if (!definition || definition->owner_) return;
  index = std::min(index, definitions_.size());
  definitions_.insert(definitions_.begin() + static_cast<std::ptrdiff_t>(index), definition);
  adopt(definition);
  if (std::dynamic_pointer_cast<VKParameterController>(definition)) parameterListChanged();
}

bool VKDefinedObjectsController::removeDefinition(const VKDefinedObject* definition) {
  auto it = std::find_if(definitions_.begin(), definitions_.end(),
                         [definition](const auto& entry) { return entry.get() == definition; });
  if (!definition || it == definitions_.end()) return false;
  std::shared_ptr<VKDefinedObject> removed = *it;
  definitions_.erase(it);
  release(removed);
  if (std::dynamic_pointer_cast<VKParameterController>(removed)) parameterListChanged();
  return true;
}

template <class T>
std::vector<std::shared_ptr<T>> VKDefinedObjectsController::definitionsOfKind() const {
  std::vector<std::shared_ptr<T>> result;
  for (const auto& definition : definitions_)
    if (auto ofKind = std::dynamic_pointer_cast<T>(definition)) result.push_back(std::move(ofKind));
  return result;
}

std::vector<std::shared_ptr<VKParameterController>> VKDefinedObjectsController::parameters() const {
  return definitionsOfKind<VKParameterController>();
}

// ---- Parameters by name

std::shared_ptr<VKParameterController> VKDefinedObjectsController::parameterWithName(std::string_view name) const {
  auto it = currentParameterControllers_.find(name);
  return it == currentParameterControllers_.end() ? nullptr : it->second;
}

std::shared_ptr<VKParameterController> VKDefinedObjectsController::valueParameterForName(std::string_view name) const {
  auto parameter = parameterWithName(name);
  return parameter && parameter->isNumber() ? parameter : nullptr;
}

std::optional<double> VKDefinedObjectsController::valueForParameter(std::string_view name) const {
  auto parameter = valueParameterForName(name);
  if (!parameter) return std::nullopt;
  return parameter->valueOfVariable();
}

std::optional<std::string> VKDefinedObjectsController::stringForParameter(std::string_view name) const {
  auto parameter = parameterWithName(name);
  if (!parameter || !parameter->isString()) return std::nullopt;
  return parameter->stringValue();
}

bool VKDefinedObjectsController::parameterIsNumber(std::string_view name) const {
  return valueParameterForName(name) != nullptr;
}

bool VKDefinedObjectsController::parameterIsString(std::string_view name) const {
  auto parameter = parameterWithName(name);
  return parameter && parameter->isString();
}

bool VKDefinedObjectsController::valueParameterIsValid(std::string_view name) const {
  auto parameter = valueParameterForName(name);
  return parameter && parameter->entryIsValid();
}

bool VKDefinedObjectsController::valueParameterIsCyclic(std::string_view name) const {
  auto parameter = std::dynamic_pointer_cast<VKParameterValue>(parameterWithName(name));
  return parameter && parameter->isCyclic();
}

std::vector<std::string> VKDefinedObjectsController::listOfParameterNames() const {
  std::vector<std::string> names;
  auto all = parameters();
  all.push_back(animationController_);
  for (const auto& parameter : all)
    if (parameterWithName(parameter->name()) == parameter) names.push_back(parameter->name());
  return names;
}

std::vector<std::string> VKDefinedObjectsController::listOfNumericalParameters() const {
  std::vector<std::string> names = listOfParameterNames();
  std::erase_if(names, [this](const std::string& name) { return !parameterIsNumber(name); });
  return names;
}

// ---- Parameters by position

std::size_t VKDefinedObjectsController::howManyVariables() const { return parameters().size(); }

std::shared_ptr<VKParameterController> VKDefinedObjectsController::variableNumber(std::size_t index) const {
  auto all = parameters();
  return index < all.size() ? all[index] : nullptr;
}

std::optional<std::size_t> VKDefinedObjectsController::indexOfVariable(const VKParameterController* parameter) const {
  auto all = parameters();
  for (std::size_t i = 0; i < all.size(); ++i)
    if (all[i].get() == parameter) return i;
  return std::nullopt;
}

bool VKDefinedObjectsController::moveVariable(std::size_t oldPlace, std::size_t newPlace) {
  auto all = parameters();
  if (oldPlace >= all.size() || newPlace >= all.size()) return false;
  if (oldPlace == newPlace) return true;
  std::shared_ptr<VKDefinedObject> moving = all[oldPlace];
  all.erase(all.begin() + static_cast<std::ptrdiff_t>(oldPlace));
  definitions_.erase(std::find(definitions_.begin(), definitions_.end(), moving));
  // Other definitions between the parameters keep their places: the
  // parameter goes just before the one that now holds newPlace, or just
  // after the last parameter.
  auto position = newPlace < all.size()
                      ? std::find(definitions_.begin(), definitions_.end(), all[newPlace])
                      : std::find(definitions_.begin(), definitions_.end(), all.back()) + 1;
  definitions_.insert(position, moving);
  return true;
}

// ---- New and removed parameters

template <class T>
std::shared_ptr<T> VKDefinedObjectsController::addNew(std::string name) {
  auto definition = std::make_shared<T>();
  definition->VKDefinedObject::setName(std::move(name));
  addDefinition(definition);
  return definition;
}

std::shared_ptr<VKParameterValue> VKDefinedObjectsController::addParameterValue(std::string name) {
  return addNew<VKParameterValue>(std::move(name));
}
std::shared_ptr<VKParameterSlider> VKDefinedObjectsController::addParameterSlider(std::string name) {
  return addNew<VKParameterSlider>(std::move(name));
}
std::shared_ptr<VKParameterString> VKDefinedObjectsController::addParameterString(std::string name) {
  return addNew<VKParameterString>(std::move(name));
}
std::shared_ptr<VKParameterDate> VKDefinedObjectsController::addParameterDate(std::string name) {
  return addNew<VKParameterDate>(std::move(name));
}
std::shared_ptr<VKParameterNumberFromDataGroup> VKDefinedObjectsController::addParameterNumberFromDataGroup(
    std::string name) {
  return addNew<VKParameterNumberFromDataGroup>(std::move(name));
}
std::shared_ptr<VKParameterStringFromDataGroup> VKDefinedObjectsController::addParameterStringFromDataGroup(
    std::string name) {
  return addNew<VKParameterStringFromDataGroup>(std::move(name));
}
std::shared_ptr<VKParameterNumberFromCommand> VKDefinedObjectsController::addParameterNumberFromCommand(
    std::string name) {
  return addNew<VKParameterNumberFromCommand>(std::move(name));
}
std::shared_ptr<VKParameterField> VKDefinedObjectsController::addParameterField(std::string name) {
  return addNew<VKParameterField>(std::move(name));
}
std::shared_ptr<VKColorScheme> VKDefinedObjectsController::addColorScheme(std::string name) {
  return addNew<VKColorScheme>(std::move(name));
}

bool VKDefinedObjectsController::deleteParameter(const VKParameterController* parameter) {
  return removeDefinition(parameter);
}

bool VKDefinedObjectsController::deleteParameterNumber(std::size_t index) {
  auto parameter = variableNumber(index);
  return parameter && removeDefinition(parameter.get());
}

// ---- Overrides, validation and notices

void VKDefinedObjectsController::changeParameter(std::string_view name, const std::string& value) {
  if (name.empty()) return;
  for (const auto& parameter : parameters())
    if (parameter->variableShouldBeIncluded() && parameter->name() == name) parameter->setValue(value);
  if (animationController_->name() == name && animationController_->isValid()) animationController_->setValue(value);
  parameterListChanged();
}

void VKDefinedObjectsController::parameterListChanged() {
  if (validating_) return;
  validating_ = true;

  auto all = parameters();
  all.push_back(animationController_);

  std::map<std::string, int, std::less<>> uses;
  for (const auto& parameter : all)
    if (!parameter->name().empty()) ++uses[parameter->name()];
  std::set<std::string, std::less<>> columns;
  if (auto neighbour = neighbour_.lock())
    for (auto& name : neighbour->columnNames()) columns.insert(std::move(name));

  ParameterMap current;
  for (const auto& parameter : all) {
    const std::string& name = parameter->name();
    if (name.empty()) {
      parameter->setNameValidity(false, texts::kNoNameSpecified);
    } else if (uses[name] > 1) {
      parameter->setNameValidity(false, texts::kNameUsedTwice);
    } else if (columns.count(name)) {
      parameter->setNameValidity(false, texts::kNameUsedForColumn);
    } else {
      parameter->setNameValidity(true, {});
      current.emplace(name, parameter);
    }
  }

  ParameterListChanges changes;
  for (const auto& [name, parameter] : currentParameterControllers_)
    if (!current.count(name)) changes.emplace(name, texts::kRemoved);
  for (const auto& [name, parameter] : current) {
    auto before = currentParameterControllers_.find(name);
    if (before == currentParameterControllers_.end() || before->second != parameter) changes.emplace(name, texts::kAdded);
  }
  currentParameterControllers_ = std::move(current);

  // Formulas look their names up again; those whose value changed tell their
  // clients, in one pass so each client hears once.
  std::vector<std::int64_t> serials;
  serials.reserve(all.size());
  for (const auto& parameter : all) serials.push_back(parameter->serialNumber());
  for (const auto& parameter : all) parameter->parameterNamesChanged();
  DependencyList changed;
  for (std::size_t i = 0; i < all.size(); ++i)
    if (all[i]->serialNumber() != serials[i]) changed.push_back(all[i]);
  validating_ = false;

  if (!changed.empty()) VKDependencyBase::listOfControllersChanged(changed);
  if (!changes.empty())
    if (auto neighbour = neighbour_.lock()) neighbour->parameterListChanged(changes);
}

// ---- Colour schemes

std::shared_ptr<VKColorScheme> VKDefinedObjectsController::colorSchemeWithName(std::string_view name) const {
  for (auto& scheme : listOfColorSchemes())
    if (scheme->name() == name) return scheme;
  return nullptr;
}

std::vector<std::shared_ptr<VKColorScheme>> VKDefinedObjectsController::listOfColorSchemes() const {
  return definitionsOfKind<VKColorScheme>();
}

std::shared_ptr<VKMarkerScheme> VKDefinedObjectsController::addMarkerScheme(std::string name) {
  return addNew<VKMarkerScheme>(std::move(name));
}

std::shared_ptr<VKMarkerScheme> VKDefinedObjectsController::markerSchemeWithName(std::string_view name) const {
  for (auto& scheme : listOfMarkerSchemes())
    if (scheme->name() == name) return scheme;
  return nullptr;
}

std::vector<std::shared_ptr<VKMarkerScheme>> VKDefinedObjectsController::listOfMarkerSchemes() const {
  return definitionsOfKind<VKMarkerScheme>();
}

// ---- Animation

double VKDefinedObjectsController::animationStarts() const { return animationController_->minSliderValue(); }

double VKDefinedObjectsController::animationStops() const { return animationController_->maxSliderValue(); }

double VKDefinedObjectsController::animationStep() const { return animationController_->integerOption() ? 1 : 0; }

double VKDefinedObjectsController::animationDuration() const {
  return animationController_->sliderIsValid() ? animationDurationValue_ : 0;
}

void VKDefinedObjectsController::setAnimationTime(double value) { animationController_->setSliderValue(value); }

void VKDefinedObjectsController::setAnimationRange(const std::optional<std::string>& rangeText) {
  if (rangeText) animationController_->setRangeString(*rangeText);
}

void VKDefinedObjectsController::setAnimationDurationText(const std::optional<std::string>& durationText) {
  if (!durationText) return;
  animationDurationText_ = *durationText;
  // A duration that makes no sense still gives a movie: one second; the
  // longest is kept to a length a movie writer handles.
  auto seconds = KRExpression::evaluateNumberFromString(animationDurationText_);
  if (!seconds || !std::isfinite(*seconds) || *seconds <= 0)
    animationDurationValue_ = 1;
  else
    animationDurationValue_ = std::min(*seconds, kLongestAnimation);
}

// ---- The parameter record

PropertyList VKDefinedObjectsController::propertyList() const {
  PlistArray list;
  for (const auto& definition : definitions_) list.push_back(definition->propertyList());
  PlistDictionary record;
  record.emplace(texts::kKeyList, std::move(list));
  record.emplace(texts::kKeyAnimation, animationController_->propertyList());
  record.emplace(texts::kKeyAnimationDuration, animationDurationText_);
  record.emplace(texts::kKeyLoopAnimation, loopAnimation_);
  if (parametersOpen_) record.emplace(texts::kKeyParametersOpen, true);
  record.emplace(texts::kKeyDefinitionsFloating, definitionsFloating_);
  return record;
}

std::shared_ptr<VKDefinedObject> VKDefinedObjectsController::definitionFromPropertyList(const PropertyList& entry) {
  if (auto parameter = VKParameterController::createFromPropertyList(entry)) return parameter;
  if (entry.stringForKey(texts::kKeyType) == std::optional<std::string>(texts::kTypeColorScheme)) {
    auto scheme = std::make_shared<VKColorScheme>();
    scheme->fillFromPropertyList(entry);
    return scheme;
  }
  if (entry.stringForKey(texts::kKeyType) == std::optional<std::string>(texts::kTypeMarkerScheme) &&
      VKMarkerScheme::canRead(entry)) {
    auto scheme = std::make_shared<VKMarkerScheme>();
    scheme->fillFromPropertyList(entry);
    return scheme;
  }
  return std::make_shared<VKUnknownDefinition>(entry);
}

void VKDefinedObjectsController::fillFromPropertyList(const PropertyList& record) {
  if (!record.isDictionary()) return;
  for (const auto& definition : definitions_) release(definition);
  definitions_.clear();
  if (const PlistArray* list = record.arrayForKey(texts::kKeyList)) {
    for (const auto& entry : *list) {
      if (!entry.isDictionary()) {
        KRMessageCenter::addMessage(texts::kEntryNotADictionary);
        continue;
      }
      auto definition = definitionFromPropertyList(entry);
      definitions_.push_back(definition);
      adopt(definition);
    }
  }
  if (const PropertyList* animation = record.find(texts::kKeyAnimation); animation && animation->isDictionary())
    animationController_->fillFromPropertyList(*animation);
  if (auto duration = record.stringForKey(texts::kKeyAnimationDuration))
    setAnimationDurationText(*duration);
  else if (auto seconds = record.numberForKey(texts::kKeyAnimationDuration))
    setAnimationDurationText(texts::numberText(*seconds));
  loopAnimation_ = record.booleanForKey(texts::kKeyLoopAnimation).value_or(false);
  parametersOpen_ = record.booleanForKey(texts::kKeyParametersOpen).value_or(false);
  definitionsFloating_ = record.booleanForKey(texts::kKeyDefinitionsFloating).value_or(false);
  parameterListChanged();
}

}  // namespace orrelin
