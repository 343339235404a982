#include "document/OrrelinDocument.h"

#include "commands/VKPlotCommand.h"
#include "commands/VKPointsCommand.h"
#include "document/DocumentTexts.h"
#include "document/GraphEnvelope.h"
#include "graph/commandbase/VKCommandFactory.h"
#include "platform/KRMessageCenter.h"
#include "platform/MainThreadQueue.h"
#include "table/VKDataColumnNumber.h"

namespace orrelin {

namespace text = document_text;

namespace {

constexpr const char* kRowNumberName = "#";

// Every command kind a document may hold can be read and written back, even
// the kinds this version cannot draw yet: those keep their settings as read.
void registerDocumentCommandKinds() {
  static const bool registered = [] {
    registerGraphCommandKinds();
    auto& factory = VKCommandFactory::shared();
    registerPlotCommandKind(factory);
    registerPointsCommandKind(factory);
    for (std::string_view type : text::kCommandTypes) {
      const std::string name(type);
      if (!factory.knowsKind(name))
        factory.registerKind(name, [name] { return std::make_shared<VKStoredDrawingCommand>(name); });
    }
    return true;
  }();
  (void)registered;
}

}  // namespace

OrrelinDocument::OrrelinDocument(Mode mode) : mode_(mode) {}

std::shared_ptr<OrrelinDocument> OrrelinDocument::create(Mode mode) {
  std::shared_ptr<OrrelinDocument> document(new OrrelinDocument(mode));
  document->wire();
  return document;
}

void OrrelinDocument::wire() {
  updateCycle_ = std::make_unique<VKUpdateCycle>(*this);
  if (mode_ == Mode::CommandLine)
    undoManager_ = std::make_unique<NoUndoManager>();
  else
    undoManager_ = std::make_unique<InMemoryUndoManager>();
  data_ = DocumentData::create(shared_from_this());
  if (mode_ == Mode::Application) {
    std::weak_ptr<OrrelinDocument> weak = weak_from_this();
    data_->setUndoRegistration([weak](const std::string&, std::function<void()> undo) {
      if (auto document = weak.lock()) document->undoManager_->registerUndo(std::move(undo));
    });
  }
  // Names that began or stopped meaning a parameter change what commands
  // draw; the columns have heard of them already.
  std::weak_ptr<OrrelinDocument> weak = weak_from_this();
  data_->setParameterListListener([weak](const ParameterListChanges&) {
    if (auto document = weak.lock()) document->updateCycle_->updateGraphicWhenPossible();
  });
  if (auto rowNumbers = data_->table()->rowNumberColumn()) rowNumbers->setName(kRowNumberName);
  registerDocumentCommandKinds();
  addGraph();
}

OrrelinDocument::~OrrelinDocument() {
  if (!closed_) disconnectBeforeClosing();
}

void OrrelinDocument::disconnectBeforeClosing() {
  if (closed_) return;
  closed_ = true;
  MainThreadQueue::shared().cancelPerforms(this);
  MainThreadQueue::shared().cancelPerforms(updateCycle_.get());
  data_->setParameterListListener(nullptr);
  data_->setUndoRegistration(nullptr);
  data_->setDocument(nullptr);
  for (const auto& graph : graphs_) graph->setDocument(nullptr);
}

// ---- Parameters

void OrrelinDocument::changeParameter(const std::string& name, const std::string& value) {
  definitions().changeParameter(name, value);
}

void OrrelinDocument::overwriteColorSchemesFromCommandLine(const std::vector<std::string>& arguments,
                                                           std::ostream& out) {
  definitions().overwriteColorSchemesFromCommandLine(arguments, out);
}

void OrrelinDocument::setAnimationRange(const std::optional<std::string>& rangeText) {
  definitions().setAnimationRange(rangeText);
}

void OrrelinDocument::setAnimationDurationText(const std::optional<std::string>& durationText) {
  definitions().setAnimationDurationText(durationText);
}

// ---- Graphs

std::shared_ptr<DataDocumentDrawing> OrrelinDocument::addGraph() {
  auto graph = DataDocumentDrawing::create();
  graph->setDocument(shared_from_this());
  graphs_.push_back(graph);
  return graph;
}

void OrrelinDocument::setCurrentGraphIndex(std::size_t index) {
  currentGraph_ = index < graphs_.size() ? index : 0;
  updateCycle_->updateGraphicWhenPossible();
}

std::vector<PlistArray> OrrelinDocument::storedGraphs() const {
  std::vector<PlistArray> stored;
  stored.reserve(graphs_.size());
  for (const auto& graph : graphs_) {
    PropertyList list = graph->propertyList();
    stored.push_back(list.isArray() ? std::move(list.array()) : PlistArray{});
  }
  return stored;
}

void OrrelinDocument::setStoredGraphs(const std::vector<PlistArray>& graphs, std::size_t current) {
  for (const auto& graph : graphs_) graph->setDocument(nullptr);
  graphs_.clear();
  for (const auto& stored : graphs) {
    auto graph = DataDocumentDrawing::createFromPropertyList(PropertyList(stored));
    graph->setDocument(shared_from_this());
    graphs_.push_back(std::move(graph));
  }
  if (graphs_.empty()) addGraph();
  setCurrentGraphIndex(current);
}

void OrrelinDocument::setCommandsFromContent(const PlistDictionary& content) {
  StoredGraphs stored = graphsFromContent(content);
  if (!stored.droppedTypes.empty()) {
    std::string types;
    for (const auto& type : stored.droppedTypes) types += (types.empty() ? "\"" : ", \"") + type + "\"";
    KRMessageCenter::addMessage(text::kCommandsDropped + types);
  }
  setStoredGraphs(stored.graphs, stored.current);
}

// ---- CommandDocument

std::vector<std::shared_ptr<VKCommandGraph>> OrrelinDocument::graphs() const {
  return std::vector<std::shared_ptr<VKCommandGraph>>(graphs_.begin(), graphs_.end());
}

std::shared_ptr<VKCommandGraph> OrrelinDocument::currentGraph() const {
  return currentGraph_ < graphs_.size() ? graphs_[currentGraph_] : nullptr;
}

void OrrelinDocument::entryChanged(VKDependencyBase* sender) {
  if (closed_) return;
  ++changeNotices_;
  updateCycle_->entryChanged(sender);
}

void OrrelinDocument::presentException(const std::exception& exception, const std::string& message) {
  KRMessageCenter::addMessage(message, exception.what());
}

std::shared_ptr<OrrelinColumn> OrrelinDocument::columnWithName(const std::string& name) {
  const auto columns = table().columnsByNameAllowStrings(true);
  const auto found = columns->find(name);
  return found == columns->end() ? nullptr : found->second;
}

std::shared_ptr<OrrelinColumn> OrrelinDocument::columnWithIdentity(std::int64_t columnSerialNumber) {
  return table().columnWithSerialNumber(columnSerialNumber);
}

UndoManager* OrrelinDocument::undoManager() {
  // While the document is being read nothing is recorded.
  if (updateCycle_->isLoading() || isCommandLine()) return nullptr;
  return undoManager_.get();
}

}  // namespace orrelin
