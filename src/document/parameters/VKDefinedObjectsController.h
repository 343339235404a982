#pragma once
// A document's definitions list: its parameters, colour schemes and other
// named definitions, in the order the user arranged them, together with the
// animation parameter and the animation duration.
//
// The list validates the parameter names (currentParameterControllers holds
// the parameters whose names resolve), answers the document's parameter
// look-ups, applies the batch tool's overrides, and reads and writes the
// document's parameter record. The document's data holder owns one; everything
// here runs on the main thread.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "document/parameters/ParameterListNeighbour.h"
#include "document/parameters/ParameterLookup.h"
#include "document/parameters/VKColorScheme.h"
#include "document/parameters/VKMarkerScheme.h"
#include "graph/dependency/DependencyDocument.h"
#include "document/parameters/VKParameterKinds.h"
#include "document/parameters/VKParameterSlider.h"
#include "document/parameters/VKParameterValue.h"

namespace orrelin {

class VKDefinedObjectsController final : public ParameterLookup {
 public:
  using ParameterMap = std::map<std::string, std::shared_ptr<VKParameterController>, std::less<>>;

  VKDefinedObjectsController();
  // Detaches every definition from the document and the dependency graph.
  ~VKDefinedObjectsController();
  VKDefinedObjectsController(const VKDefinedObjectsController&) = delete;
  VKDefinedObjectsController& operator=(const VKDefinedObjectsController&) = delete;

  // The document that owns the list; handed on to every definition. None
  // detaches them all from the dependency graph (the document is closing).
  void setDocument(std::shared_ptr<DependencyDocument> document);
  std::shared_ptr<DependencyDocument> document() const { return document_.lock(); }
  // The table side: where column names come from and where the names that
  // were added or removed go. None: no column names, no announcements.
  void setNeighbour(std::shared_ptr<ParameterListNeighbour> neighbour);

  // Counts the changes of what computed parameter values depend on: any
  // value set from outside, any new connection. A computed value checked
  // during the current count is current, so a read does not walk its inputs
  // again. One count per list: one document's edits never make another
  // document's parameters look again, and documents on different threads
  // never share it.
  std::uint64_t inputGeneration() const { return inputGeneration_; }
  void noteInputChanged() { ++inputGeneration_; }

  // ---- The list
  const std::vector<std::shared_ptr<VKDefinedObject>>& definitions() const { return definitions_; }
  // Appends (or inserts before index) a definition that no list holds yet.
  // Parameters are validated at once.
  void addDefinition(std::shared_ptr<VKDefinedObject> definition);
  void insertDefinition(std::shared_ptr<VKDefinedObject> definition, std::size_t index);
  bool removeDefinition(const VKDefinedObject* definition);

  // ---- Parameters by name. Only parameters whose names passed validation
  // resolve.
  const ParameterMap& currentParameterControllers() const { return currentParameterControllers_; }
  std::shared_ptr<VKParameterController> parameterWithName(std::string_view name) const override;
  // The parameter when it is a number parameter.
  std::shared_ptr<VKParameterController> valueParameterForName(std::string_view name) const;
  // The value of a number parameter (NaN when its value could not be worked
  // out; valueParameterIsValid tells); none when the name resolves to no
  // number parameter.
  std::optional<double> valueForParameter(std::string_view name) const override;
  // The text of a text parameter; none otherwise.
  std::optional<std::string> stringForParameter(std::string_view name) const override;
  bool parameterIsNumber(std::string_view name) const;
  bool parameterIsString(std::string_view name) const;
  // A number parameter with a value.
  bool valueParameterIsValid(std::string_view name) const;
  // A formula parameter whose formula would depend on itself.
  bool valueParameterIsCyclic(std::string_view name) const;
  // The names that resolve, in list order (the animation parameter last), and
  // those of them that are numbers.
  std::vector<std::string> listOfParameterNames() const;
  std::vector<std::string> listOfNumericalParameters() const;

  // ---- Parameters by position among the parameters of the list (other
  // definitions and the animation parameter are not counted).
  std::size_t howManyVariables() const;
  std::shared_ptr<VKParameterController> variableNumber(std::size_t index) const;
  std::optional<std::size_t> indexOfVariable(const VKParameterController* parameter) const;
  // The parameter at oldPlace ends up at newPlace; false when either place
  // is out of range.
  bool moveVariable(std::size_t oldPlace, std::size_t newPlace);

  // ---- New parameters, appended to the list with the given name and
  // validated.
  std::shared_ptr<VKParameterValue> addParameterValue(std::string name = {});
  std::shared_ptr<VKParameterSlider> addParameterSlider(std::string name = {});
  std::shared_ptr<VKParameterString> addParameterString(std::string name = {});
  std::shared_ptr<VKParameterDate> addParameterDate(std::string name = {});
  std::shared_ptr<VKParameterNumberFromDataGroup> addParameterNumberFromDataGroup(std::string name = {});
  std::shared_ptr<VKParameterStringFromDataGroup> addParameterStringFromDataGroup(std::string name = {});
  std::shared_ptr<VKParameterNumberFromCommand> addParameterNumberFromCommand(std::string name = {});
  std::shared_ptr<VKParameterField> addParameterField(std::string name = {});
  bool deleteParameter(const VKParameterController* parameter);
  bool deleteParameterNumber(std::size_t index);

  // The batch override: every parameter of the list that takes part in
  // evaluation and has this name gets the text as its value, then the
  // animation parameter when it has the name and is valid. A name that
  // matches nothing changes nothing.
  void changeParameter(std::string_view name, const std::string& value);

  // Validates every parameter name, rebuilds currentParameterControllers,
  // lets formula parameters find their inputs again and announces the names
  // that were added or removed to the document. Runs after every change of
  // the list or of a name; the document runs it when column names change.
  void parameterListChanged();

  // ---- Colour schemes
  std::shared_ptr<VKColorScheme> addColorScheme(std::string name = {});
  // The first colour scheme of the list with the name.
  std::shared_ptr<VKColorScheme> colorSchemeWithName(std::string_view name) const;
  std::vector<std::shared_ptr<VKColorScheme>> listOfColorSchemes() const;

  // ---- Marker schemes
  std::shared_ptr<VKMarkerScheme> addMarkerScheme(std::string name = {});
  // The first marker scheme of the list with the name.
  std::shared_ptr<VKMarkerScheme> markerSchemeWithName(std::string_view name) const;
  std::vector<std::shared_ptr<VKMarkerScheme>> listOfMarkerSchemes() const;

  // The batch tool's colour-scheme overrides, one argument at a time:
  // "name;key#N=value;key#N=value...". Problems are printed to out in Mac OS
  // Roman, each on a line of its own, and the rest goes on.
  void overwriteColorSchemesFromCommandLine(const std::vector<std::string>& arguments, std::ostream& out);

  // ---- Animation
  const std::shared_ptr<VKParameterSlider>& animationController() const { return animationController_; }
  double animationStarts() const;
  double animationStops() const;
  // 1 when the animation parameter takes only whole numbers, else 0 (the
  // movie then chooses its own step).
  double animationStep() const;
  // The duration in seconds while the animation parameter is valid, else 0.
  double animationDuration() const;
  // Moves the animation parameter, which tells everything that uses it.
  void setAnimationTime(double value);
  // None leaves the setting as it is.
  void setAnimationRange(const std::optional<std::string>& rangeText);
  void setAnimationDurationText(const std::optional<std::string>& durationText);
  const std::string& animationDurationText() const { return animationDurationText_; }
  double animationDurationValue() const { return animationDurationValue_; }
  bool loopAnimation() const { return loopAnimation_; }
  void setLoopAnimation(bool loop) { loopAnimation_ = loop; }

  // Panel state kept with the document.
  bool parametersOpen() const { return parametersOpen_; }
  void setParametersOpen(bool open) { parametersOpen_ = open; }
  bool definitionsFloating() const { return definitionsFloating_; }
  void setDefinitionsFloating(bool floating) { definitionsFloating_ = floating; }

  // ---- The document's parameter record: "List" (every definition in order),
  // "Animation", "Animation Duration", "Loop Animation", "Parameters Open",
  // "Definitions Floating".
  PropertyList propertyList() const;
  // Replaces the whole list by the record's and validates the names.
  void fillFromPropertyList(const PropertyList& record);
  // The definition a stored entry describes, by its "Type"; a type this
  // version does not handle gives a VKUnknownDefinition that keeps the entry.
  static std::shared_ptr<VKDefinedObject> definitionFromPropertyList(const PropertyList& entry);

 private:
  template <class T>
  std::shared_ptr<T> addNew(std::string name);
  void adopt(const std::shared_ptr<VKDefinedObject>& definition);
  void release(const std::shared_ptr<VKDefinedObject>& definition);
  template <class T>
  std::vector<std::shared_ptr<T>> definitionsOfKind() const;
  std::vector<std::shared_ptr<VKParameterController>> parameters() const;
  void overwriteColorScheme(const std::string& argument, std::ostream& out);

  std::weak_ptr<DependencyDocument> document_;
  std::weak_ptr<ParameterListNeighbour> neighbour_;
  std::uint64_t inputGeneration_ = 1;
  std::vector<std::shared_ptr<VKDefinedObject>> definitions_;
  ParameterMap currentParameterControllers_;
  std::shared_ptr<VKParameterSlider> animationController_;
  std::string animationDurationText_;
  double animationDurationValue_ = 1;
  bool loopAnimation_ = false;
  bool parametersOpen_ = false;
  bool definitionsFloating_ = false;
  // Set while a validation pass runs, so renames inside it do not start another.
  bool validating_ = false;
};

}  // namespace orrelin
