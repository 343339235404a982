#pragma once
// A document: its table and definitions list (held together by DocumentData),
// its graphs, the animation settings and the movie settings, and the package
// it is stored in.
//
// The document is the one place the entities of its dependency graph report
// to: every change notice arrives at entryChanged and goes to the update
// cycle, which makes one update of the graph at the end of the event however
// many notices came. Names that begin or stop resolving to a parameter travel
// from the definitions list to the columns inside DocumentData; the document
// hears of them afterwards, for its commands.
//
// Everything here runs on the main thread.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "graph/commandbase/CommandDocument.h"
#include "graph/DataDocumentDrawing.h"
#include "graph/commandbase/VKCommandGraph.h"
#include "platform/PageGeometry.h"
#include "platform/PropertyList.h"
#include "platform/UndoManager.h"
#include "table/DocumentData.h"

namespace orrelin {

// How much the preview of a graph of this size is scaled: to fit 800 by 600
// pixels, never enlarged.
double previewScale(KRSize size);

class OrrelinDocument final : public CommandDocument, public std::enable_shared_from_this<OrrelinDocument> {
 public:
  // An interactive document records undo actions; a command-line document
  // (a batch run) records none and never shows anything.
  enum class Mode { Application, CommandLine };

  // A new empty document: the row-number column named "#", an empty
  // definitions list, one empty graph.
  static std::shared_ptr<OrrelinDocument> create(Mode mode = Mode::Application);
  ~OrrelinDocument() override;
  OrrelinDocument(const OrrelinDocument&) = delete;
  OrrelinDocument& operator=(const OrrelinDocument&) = delete;

  Mode mode() const { return mode_; }
  bool isCommandLine() const { return mode_ == Mode::CommandLine; }

  // ---- Data
  const std::shared_ptr<DocumentData>& data() const { return data_; }
  DataDocumentTable& table() const { return *data_->table(); }
  VKDefinedObjectsController& definitions() const { return data_->definitions(); }

  // ---- Parameters (the batch tool's overrides and the animation)
  void changeParameter(const std::string& name, const std::string& value);
  void overwriteColorSchemesFromCommandLine(const std::vector<std::string>& arguments, std::ostream& out);
  void setAnimationRange(const std::optional<std::string>& rangeText);
  void setAnimationDurationText(const std::optional<std::string>& durationText);

  // ---- Graphs, in document order; there is always at least one.
  const std::vector<std::shared_ptr<DataDocumentDrawing>>& drawings() const { return graphs_; }
  std::size_t currentGraphIndex() const { return currentGraph_; }
  void setCurrentGraphIndex(std::size_t index);
  // Appends a graph (made for this document) and gives it.
  std::shared_ptr<DataDocumentDrawing> addGraph();
  // The graphs in their stored form: the style settings, the canvas
  // settings and then the commands in drawing order.
  std::vector<PlistArray> storedGraphs() const;
  // Replaces the graphs by those of the stored forms (none: one new graph).
  void setStoredGraphs(const std::vector<PlistArray>& graphs, std::size_t current);

  // ---- Window and view state kept with the document
  KRSize drawingSize() const { return drawingSize_; }
  void setDrawingSize(KRSize size) { drawingSize_ = size; }
  KRSize windowSize() const { return windowSize_; }
  void setWindowSize(KRSize size) { windowSize_ = size; }
  bool largeCommandArea() const { return largeCommandArea_; }
  void setLargeCommandArea(bool large) { largeCommandArea_ = large; }
  // The merge controller's cached lists, kept as stored.
  const std::optional<PropertyList>& cachedMergeLists() const { return cachedMergeLists_; }
  void setCachedMergeLists(std::optional<PropertyList> lists) { cachedMergeLists_ = std::move(lists); }
  // The movie settings ("Frames Per Second", "Compression Number",
  // "Transparency" and whatever else the movie writer keeps).
  const PlistDictionary& quickTimeSettings() const { return quickTimeSettings_; }
  void setQuickTimeSettings(PlistDictionary settings) { quickTimeSettings_ = std::move(settings); }

  // ---- The package. fileName() is where the document was read from or
  // last saved to, "" for an untitled document.
  const std::string& fileName() const { return fileName_; }
  void setFileName(std::string path) { fileName_ = std::move(path); }
  // The template a command-line document was made from.
  const std::string& fileNameOpenedByCommandLine() const { return fileNameOpenedByCommandLine_; }

  // A command-line document from a template package; none when the package
  // cannot be read (the older layout is not accepted here).
  static std::shared_ptr<OrrelinDocument> createCommandLineFrom(const std::string& path);
  bool initCommandLineFrom(const std::string& path);
  // Ends the document: pending updates are dropped and every entity leaves
  // the dependency graph. The document does nothing useful afterwards.
  void disconnectBeforeClosing();
  bool isClosed() const { return closed_; }

  // ---- Saving. Every save writes a whole new package; the document's
  // column files remember what they wrote, so the next save over that
  // package links the files that did not change instead of writing them.
  //
  // Writes the package into the folder the save information names
  // ("Wrapper"), linking unchanged files from "OriginalURL" when given.
  // False when the package could not be written.
  bool writeToURL(const std::string& path, PlistDictionary& info);
  // A save to path: the new package is written beside it and then takes its
  // place in one step, so an interruption at any moment leaves either the
  // old package or the new one at path, each complete. originalPath (the
  // package the document was read from or last saved to, "" for none) lends
  // its unchanged files. False, with "Could not save" in error, when nothing
  // was saved; path is then as it was.
  bool redirectWriteToURL(const std::string& path, const std::string& originalPath, std::string* error = nullptr);
  // Save or Save As: the document's file becomes path.
  bool saveToURL(const std::string& path, std::string* error = nullptr);
  // A copy at path (the batch tool's ".orrel" output); the document keeps
  // its file.
  bool writeToURL(const std::string& path, std::string* error = nullptr);
  // The preview: the current graph drawn at the drawing size, at most 800
  // by 600 pixels, as "QuickLook/Preview.png" and "Thumbnail.png".
  void saveExtraInformation(PlistDictionary& info);
  // The content dictionary of a save, with the column data array beside it.
  PlistDictionary contentDictionary(PlistArray& columnData, PlistDictionary& info);

  // ---- Reading. A package, a ticket naming a package, or (type "Plain
  // Text") a text file imported into this document. On failure the
  // description and reason say why and the document is unchanged.
  struct ReadError {
    std::string description;
    std::string reason;
  };
  bool redirectReadFromURL(const std::string& path, const std::string& type, ReadError* error = nullptr);

  // What the package reader put aside ("Content", "Data", "File Name", and
  // for a ticket "Work Ticket", "Work Ticket Name") until setFromFile builds
  // the document from it.
  PlistDictionary& fromFile() { return fromFile_; }
  // Builds the document from fromFile and releases it.
  void setFromFile();
  // Rebuilds the graphs from a content dictionary.
  void setCommandsFromContent(const PlistDictionary& content);
  // The columns a ticket's data files were imported into.
  const std::vector<long>& columnsImportedByTicket() const { return columnsImportedByTicket_; }

  // ---- CommandDocument
  void entryChanged(VKDependencyBase* sender) override;
  void presentException(const std::exception& exception, const std::string& message) override;
  const ParameterLookup& parameters() const override { return data_->definitions(); }
  std::shared_ptr<OrrelinColumn> columnWithName(const std::string& name) override;
  std::shared_ptr<OrrelinColumn> columnWithIdentity(std::int64_t columnSerialNumber) override;
  std::vector<std::shared_ptr<VKCommandGraph>> graphs() const override;
  std::shared_ptr<VKCommandGraph> currentGraph() const override;
  UndoManager* undoManager() override;

  VKUpdateCycle& updateCycle() { return *updateCycle_; }
  // How many change notices reached the document since it was made.
  std::uint64_t changeNoticeCount() const { return changeNotices_; }

 private:
  explicit OrrelinDocument(Mode mode);
  void wire();
  void applyTicket(const PlistDictionary& ticket);

  Mode mode_;
  std::shared_ptr<DocumentData> data_;
  std::unique_ptr<VKUpdateCycle> updateCycle_;
  std::unique_ptr<UndoManager> undoManager_;
  std::vector<std::shared_ptr<DataDocumentDrawing>> graphs_;
  std::size_t currentGraph_ = 0;
  KRSize drawingSize_{};
  KRSize windowSize_{};
  bool largeCommandArea_ = false;
  std::optional<PropertyList> cachedMergeLists_;
  PlistDictionary quickTimeSettings_;
  std::string fileName_;
  std::string fileNameOpenedByCommandLine_;
  PlistDictionary fromFile_;
  std::vector<long> columnsImportedByTicket_;
  std::uint64_t changeNotices_ = 0;
  bool closed_ = false;
};

}  // namespace orrelin
