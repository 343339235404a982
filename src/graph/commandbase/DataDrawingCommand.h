#pragma once
// A command of a graph as a set of named settings: its property list, exclude
// and hide, undo records, the error explanation, and the cached drawing that
// VKDrawingCommand fills. Every graph command derives from VKDrawingCommand,
// which derives from this.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "drawing/KRDrawingGroup.h"
#include "graph/commandbase/DrawingInformation.h"
#include "graph/commandbase/VKInputController.h"
#include "platform/PropertyList.h"

namespace orrelin {

struct VKFontStyle;
class KRDrawingStyleFont;

class CommandDocument;
class CommandPanel;
class VKButtonInputController;
class VKCommandGraph;
class VKDrawingCommandSelector;

class DataDrawingCommand : public VKDependencyBase {
 public:
  using VKDependencyBase::entryChanged;

  // Takes the next serial number of the process.
  DataDrawingCommand();
  ~DataDrawingCommand() override;

  // The kind, stored under "Type"; empty here.
  virtual std::string type() const { return {}; }

  // Settings. connect refuses (with a diagnostic, changing nothing) the name
  // "Type", an empty name, a missing setting, a name already taken and a
  // setting already connected. The command owns what it connects.
  bool connect(std::shared_ptr<VKInputController> controller, const std::string& name);
  // Every name, sorted by plain string comparison.
  std::vector<std::string> objectNames() const;
  std::shared_ptr<VKInputController> objectWithName(const std::string& name) const;
  // In the order they were connected.
  const std::vector<std::shared_ptr<VKInputController>>& allObjects() const { return allObjects_; }
  std::optional<std::string> findKeyFor(const VKInputController* controller) const;

  // The stored form: "Type", one key per setting, "Open", and the keys read
  // that no setting claimed, unchanged.
  virtual PropertyList propertyList() const;
  // Reads the stored form into the connected settings; a missing key gives
  // the setting its default.
  virtual void fillFromPropertyList(const PropertyList& list);
  // The same as a change by the user: every setting that changes is recorded
  // for undo (one step), and the clients hear of it once.
  void setFromPropertyListRecordUndo(const PropertyList& list);
  // Connects the settings; subclasses connect theirs and then call this.
  virtual void finishConnections();
  // Links every setting to what it names; a setting that names something
  // missing becomes the command's error explanation.
  virtual void establishDependencyConnections();

  // Names. commandName is the legend name, groupName the command name or,
  // when it is empty, the type.
  virtual std::string legendName() const { return {}; }
  // Whether the command has an entry in the graph's legend.
  virtual bool partOfLegend() const { return false; }
  std::string commandName() const { return legendName(); }
  std::string groupName() const;
  // 1 opens a group of commands, 2 closes it, 0 for every other command.
  virtual int collapserType() const { return 0; }
  // Whether the command keeps and writes back keys that none of its
  // settings claims without comment (the kinds whose settings are not
  // known yet); the others report such keys.
  virtual bool keepsUnknownSettingsQuietly() const { return false; }

  // Visibility.
  virtual bool canExclude() const { return true; }
  virtual bool canHide() const { return true; }
  bool exclude() const;
  bool hide() const;
  void setExclude(bool exclude);
  void setHidden(bool hidden);
  virtual bool shouldDrawInStandardView() const { return !hide() && !exclude(); }
  virtual bool drawInTopLayer() const { return false; }
  virtual bool onlyDrawInLoupeTool() const { return false; }
  void setOpen(bool open) { open_ = open; }
  bool isOpen() const { return open_; }

  // The cache. Clearing counts in changeCount.
  virtual void clearCachedDrawing();
  std::shared_ptr<KRDrawingGroup> cachedFinalDrawing() const { return cachedFinalDrawing_; }
  std::int32_t changeCount() const { return changeCount_; }
  std::int32_t serialNumber() const { return serialNumber_; }
  // Whether the inputs changed since the command last prepared its data;
  // commands that keep derived data answer, the base has none.
  virtual bool somethingChanged() const { return false; }
  // Brings derived data up to date; nothing here.
  virtual void updateIfNeeded() {}

  // A setting (or something a setting names) changed. Unless the command was
  // already reached by this change, it asks senderAffectsDrawing and, when so,
  // calls entryChanged(sender) before passing the notice on.
  void entryChanged(VKDependencyBase* sender, DependencyVisitSet& alreadySentFor) override;
  // The drawing is affected: clear the cache and tell the graph.
  void entryChanged(VKDependencyBase* sender) override;
  virtual bool senderAffectsDrawing(const VKDependencyBase* sender) const {
    (void)sender;
    return true;
  }

  // Notices the document sends to every command; passed on to the settings.
  virtual void parameterValueChanged(const std::string& name);
  virtual void parameterListChanged(const ParameterListChanges& changes);
  virtual void parameterVariablesMightHaveChanged();
  virtual void replacedColumn(const OrrelinColumn* old, const std::shared_ptr<OrrelinColumn>& replacement);
  virtual void columnTypeMightHaveChanged(const OrrelinColumn* column);
  virtual void columnChangedToString(const OrrelinColumn* column);
  virtual void columnsWereReordered();
  virtual void columnsWereRemoved(const std::vector<const OrrelinColumn*>& columns);
  virtual void updateAllColumnMenus();
  virtual void forceColumnSelectorUpdate();
  virtual void removingDrawingCommand(const DataDrawingCommand* command);
  virtual void drawingCommandsWereReordered();
  virtual void updateDrawingCommandMenus();
  virtual void graphsWereReordered() {}
  virtual void updateListOfGraphs() {}
  virtual void updateGraphFor(const VKCommandGraph* graph) { (void)graph; }
  virtual void removingGraph(const VKCommandGraph* graph) { (void)graph; }

  // Queries other parts use.
  virtual std::vector<std::string> columnNamesExtractedFromCommand() const;
  // Named numbers the command publishes (a fit's parameters ...).
  virtual std::vector<std::string> numericalValueNames() const { return {}; }
  virtual std::optional<double> numericalValueFor(const std::string& name) const {
    (void)name;
    return std::nullopt;
  }
  // A column the command makes from its results (a fit's residuals ...); none here.
  virtual std::shared_ptr<OrrelinColumn> derivedColumnWithName(const std::string& name) const {
    (void)name;
    return nullptr;
  }
  std::optional<double> valueForParameter(const std::string& name) const;
  std::optional<std::string> stringForParameter(const std::string& name) const;

  // The error explanation: what keeps the command from drawing what the user
  // asked for; none when all is well.
  bool hasErrorExplanation() const { return whatIsInErrorText_.has_value(); }
  const std::optional<std::string>& errorExplanation() const { return whatIsInErrorText_; }
  void setErrorExplanation(std::optional<std::string> text);
  // The first explanation a setting gives (a column that is not there ...).
  std::optional<std::string> settingsErrorExplanation() const;

  // The command selector of "Crop With" asks which commands it may offer.
  virtual bool commandSelectorShouldAllow(const VKDrawingCommandSelector& selector,
                                          const DataDrawingCommand& candidate) const;

  // Undo: records that target (one of this command's settings) can be set
  // back by sending it selector with argument. Refused with a message when
  // target does not answer selector.
  bool recordUndoFor(VKInputController* target, const std::string& selector, const PropertyList& argument);
  // Carries out an undo record: finds the command by its numbers and the
  // setting by name, records the opposite, and sends the selector.
  static bool undoCommand(CommandDocument& document, const PlistDictionary& record);

  // The graph that holds the command; not owned.
  VKCommandGraph* insideDrawing() const { return insideDrawing_; }
  void setInsideDrawing(VKCommandGraph* graph) { insideDrawing_ = graph; }
  // The font a font setting stands for in the graph that holds the command
  // (the graph's label or number font, or the setting's own); outside a
  // graph, the setting's own family and size.
  std::shared_ptr<KRDrawingStyleFont> drawingFont(const VKFontStyle& style) const;
  CommandDocument* commandDocument() const;
  // Passes the document on to the settings; none detaches them too.
  void setDocument(std::shared_ptr<DependencyDocument> document) override;

  std::mutex& lockForDerivedData() { return lockForDerivedData_; }

  // The command's panel in the command list; none when nothing shows it.
  const std::shared_ptr<CommandPanel>& panel() const { return panel_; }
  void setPanel(std::shared_ptr<CommandPanel> panel) { panel_ = std::move(panel); }
  // Brings the panel up to date with the command: the error explanation
  // here, what subclasses show besides. Nothing happens without a panel.
  virtual void updateViews();

  bool currentlyDragging() const { return currentlyDragging_; }
  void setCurrentlyDragging(bool dragging) { currentlyDragging_ = dragging; }

 protected:
  std::shared_ptr<VKButtonInputController> excludeButton_;
  std::shared_ptr<VKButtonInputController> hideButton_;
  std::shared_ptr<VKDrawingCommandSelector> cropWithCommand_;

  std::optional<KRDrawingInformation> lastInformation_;
  std::shared_ptr<KRDrawingGroup> cachedUncroppedDrawing_;
  std::shared_ptr<KRDrawingGroup> cachedFinalDrawing_;
  PlistDictionary storedForUpdate_;

 private:
  void refuse(const std::string& why) const;

  std::mutex lockForDerivedData_;
  std::optional<std::string> whatIsInErrorText_;
  std::map<std::string, std::shared_ptr<VKInputController>> objectByName_;
  std::vector<std::shared_ptr<VKInputController>> allObjects_;
  // Keys read that no setting claimed, written back as they were.
  PlistDictionary unclaimed_;
  std::int32_t serialNumber_;
  std::int32_t changeCount_ = 0;
  bool currentlyDragging_ = false;
  bool open_ = false;
  VKCommandGraph* insideDrawing_ = nullptr;
  std::shared_ptr<CommandPanel> panel_;
};

}  // namespace orrelin
