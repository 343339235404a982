#include "cli/TemplateDocument.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "cli/BatchOutput.h"
#include "document/OrrelinDocument.h"
#include "document/parameters/VKDefinedObjectsController.h"
#include "drawing/writers/KRDrawingSource.h"
#include "drawing/writers/VKQuickTimeController.h"
#include "platform/DesktopServices.h"
#include "platform/TextEncoding.h"
#include "platform/Timing.h"

namespace orrelin {

namespace {

// An opened template as the output step sees it. The graph it draws is the
// document's current graph; its page is the size the canvas settings give,
// or else the size the document was saved with.
class TemplateDocument final : public BatchDocument, public KRDrawingSource, public KRAnimationTarget {
 public:
  explicit TemplateDocument(std::shared_ptr<OrrelinDocument> document) : document_(std::move(document)) {
    movie_.fillFromPropertyList(PropertyList(document_->quickTimeSettings()));
    size_ = graph().overwriteSizeWith();
    if (size_.width <= 0 || size_.height <= 0) size_ = document_->drawingSize();
  }
  ~TemplateDocument() override { disconnectBeforeClosing(); }

  DataDocumentDrawing& graph() const { return *document_->drawings().at(document_->currentGraphIndex()); }
  void setDrawingSize(KRSize size) { size_ = size; }

  // BatchDocument
  KRDrawingSource& currentGraph() override { return *this; }
  KRAnimationTarget& animation() override { return *this; }
  VKQuickTimeController& quickTimeController() override { return movie_; }
  bool writeToURL(const std::string& path, std::string* error) override {
    document_->setQuickTimeSettings(movie_.propertyList().dictionary());
    return document_->writeToURL(path, error);
  }
  void disconnectBeforeClosing() override {
    if (!document_->isClosed()) document_->disconnectBeforeClosing();
  }

  // KRDrawingSource
  KRSize drawingSize() const override { return size_; }
  std::shared_ptr<KRDrawingGroup> createGraphic(const std::string& destination, KRSize size) override {
    PlistDictionary info;
    if (!destination.empty()) info["Destination"] = destination;
    return graph().createGraphic(size, 1, false, info, KRRect(0, 0, size.width, size.height));
  }

  // KRAnimationTarget
  double animationStarts() const override { return definitions().animationStarts(); }
  double animationStops() const override { return definitions().animationStops(); }
  double animationStep() const override { return definitions().animationStep(); }
  double animationDuration() const override { return definitions().animationDuration(); }
  void setAnimationTime(double value) override { definitions().setAnimationTime(value); }
  void setAnimationRange(const std::optional<std::string>& rangeText) override {
    document_->setAnimationRange(rangeText);
  }
  void setAnimationDurationText(const std::optional<std::string>& durationText) override {
    document_->setAnimationDurationText(durationText);
  }

 private:
  VKDefinedObjectsController& definitions() const { return document_->definitions(); }

  std::shared_ptr<OrrelinDocument> document_;
  VKQuickTimeController movie_;
  KRSize size_;
};

// The data files fill the template's columns one after the other: each
// starts at the first column the files before it left free.
void importDataFiles(OrrelinDocument& document, const std::vector<std::string>& fileNames, ToolContext& context) {
  DataDocumentTable& table = document.table();
  RowIndices pool = table.displayedColumnIndexesExceptRowNumber();
  std::erase(pool, 0L);
  for (const std::string& path : fileNames) {
    if (!context.desktop.fileExists(path)) {
      context.out << convertToMacOSRoman("orrel: Could not find the file \"" + path + "\"") << '\n';
      continue;
    }
    const RowIndices used = table.overwriteByImportingFile(path, pool);
    std::erase_if(pool, [&](long k) { return std::find(used.begin(), used.end(), k) != used.end(); });
  }
  table.recomputeNumberOfRows();
}

}  // namespace

std::unique_ptr<BatchDocument> batchDocumentFor(std::shared_ptr<OrrelinDocument> document) {
  if (!document) return nullptr;
  return std::make_unique<TemplateDocument>(std::move(document));
}

std::unique_ptr<BatchDocument> openTemplateDocument(const CommandLineRequest& request, ToolContext& context) {
  if (!request.scriptPath) return nullptr;
  const auto started = std::chrono::steady_clock::now();
  auto document = OrrelinDocument::createCommandLineFrom(*request.scriptPath);
  if (!document) return nullptr;
  auto opened = std::make_unique<TemplateDocument>(document);

  importDataFiles(*document, request.fileNames, context);

  if (request.hasSwitch("width") || request.hasSwitch("height")) {
    KRSize size = opened->drawingSize();
    if (auto width = request.switchValue("width")) size.width = batchDoubleValue(*width);
    if (auto height = request.switchValue("height")) size.height = batchDoubleValue(*height);
    opened->setDrawingSize(size);
  }
  for (const auto& [name, value] : request.parameters) document->changeParameter(name, value);
  document->overwriteColorSchemesFromCommandLine(request.colorSchemes, context.out);
  if (shouldPrintTiming()) {
    char line[96];
    std::snprintf(line, sizeof line, "Setting up the document = %g seconds",
                  std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    context.desktop.logLine(line);
  }
  return opened;
}

}  // namespace orrelin
