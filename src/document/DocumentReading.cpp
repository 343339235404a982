// Reading a document package (or a ticket that names one) and building the
// document from what was read.

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "document/DocumentTexts.h"
#include "document/GraphEnvelope.h"
#include "document/OrrelinDocument.h"
#include "document/PackageFiles.h"
#include "platform/KRMessageCenter.h"
#include "platform/PropertyListSerialization.h"
#include "table/TableMessages.h"

namespace orrelin {

namespace fs = std::filesystem;
namespace text = document_text;

namespace {

std::string withPath(const char* pattern, const std::string& path) {
  std::string result(pattern);
  const auto at = result.find("%@");
  if (at != std::string::npos) result.replace(at, 2, path);
  return result;
}

std::string endingOf(const std::string& path) {
  std::string ending = fs::path(path).extension().string();
  if (!ending.empty()) ending.erase(0, 1);
  std::transform(ending.begin(), ending.end(), ending.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return ending;
}

// The modern content dictionary built from a package of the older layout:
// "Content.plist" the column data lists, "Parameters.plist" the parameter
// list, "Commands.plist" the commands and "Layout.plist" the column names and
// the animation settings. Every column but the first holds typed-in values.
std::optional<std::pair<PlistDictionary, PlistArray>> readOlderLayout(const std::string& package) {
  const auto layout = readPropertyListFile(package + "/" + text::kLayoutFile);
  const auto data = readPropertyListFile(package + "/" + text::kContentFile);
  if (!layout || !layout->isDictionary() || !data || !data->isArray()) return std::nullopt;

  PlistDictionary content;
  PlistDictionary parameters;
  if (const auto list = readPropertyListFile(package + "/" + text::kOldParametersFile); list && list->isArray())
    parameters[text::kList] = *list;
  for (const char* key : text::kLayoutParameterKeys)
    if (const PropertyList* value = layout->find(key)) parameters[key] = *value;
  content[text::kParameters] = std::move(parameters);
  if (const auto commands = readPropertyListFile(package + "/" + text::kOldCommandsFile); commands && commands->isArray())
    content[text::kCommands] = *commands;

  PlistArray columns;
  if (const PlistArray* names = layout->arrayForKey(text::kColumnNames)) {
    for (std::size_t i = 0; i < names->size(); ++i) {
      PlistDictionary description;
      description[table_text::kName] = (*names)[i].isString() ? (*names)[i].string() : std::string();
      description[table_text::kType] = i == 0 ? table_text::kTypeLineNumber : table_text::kTypeAscii;
      columns.emplace_back(std::move(description));
    }
  }
  content[text::kColumns] = std::move(columns);
  return std::make_pair(std::move(content), data->array());
}

// "Content.plist" and "Columns.plist" of a package of the current layout.
std::optional<std::pair<PlistDictionary, PlistArray>> readPackage(const std::string& package) {
  const auto content = readPropertyListFile(package + "/" + text::kContentFile);
  const auto data = readPropertyListFile(package + "/" + text::kColumnsFile);
  if (!content || !content->isDictionary() || !data || !data->isArray()) return std::nullopt;
  return std::make_pair(content->dictionary(), data->array());
}

void fail(OrrelinDocument::ReadError* error, std::string description, std::string reason) {
  if (!error) return;
  error->description = std::move(description);
  error->reason = std::move(reason);
}

// Counts the data-taking descriptions against the entries, and the kinds
// that make no column, so that nothing is lost without a word.
void reportColumnMismatches(const PlistArray& descriptions, const PlistArray& data) {
  std::size_t taking = 0;
  std::string unknown;
  for (std::size_t i = 0; i < descriptions.size(); ++i) {
    const auto type = descriptions[i].stringForKey(table_text::kType);
    if (type && columnTypeTakesDataEntry(*type)) ++taking;
    const bool known =
        type && std::find(text::kColumnTypes.begin(), text::kColumnTypes.end(), *type) != text::kColumnTypes.end();
    if (!known) unknown += (unknown.empty() ? "\"" : ", \"") + type.value_or("") + "\"";
  }
  if (!unknown.empty()) KRMessageCenter::addMessage(text::kColumnsDropped + unknown);
  if (taking != data.size()) {
    std::ostringstream detail;
    detail << taking << " columns take data, " << data.size() << " data entries were stored";
    KRMessageCenter::addMessage(text::kDataEntriesMismatch + detail.str());
  }
}

}  // namespace

bool OrrelinDocument::redirectReadFromURL(const std::string& path, const std::string& type, ReadError* error) {
  if (path.empty() || path.find("://") != std::string::npos) {
    fail(error, text::kInvalidFile, path);
    return false;
  }
  if (type == "Plain Text") {
    RowIndices written;
    if (!table().importAll(path, std::nullopt, -1, false, written)) {
      fail(error, withPath(text::kCouldNotOpen, path), "");
      return false;
    }
    fileName_.clear();
    return true;
  }

  PlistDictionary readFrom;
  std::string package = path;
  std::optional<PlistDictionary> ticket;
  if (endingOf(path) == "orrelticket") {
    const auto stored = readPropertyListFile(path);
    if (!stored || !stored->isDictionary()) {
      fail(error, withPath(text::kCouldNotOpen, path), withPath(text::kCouldNotBeRead, path));
      return false;
    }
    ticket = stored->dictionary();
    package = stored->stringForKey(text::kScript).value_or("");
  }

  if (!package.empty()) {
    auto read = fs::exists(package + "/" + text::kLayoutFile) ? readOlderLayout(package) : readPackage(package);
    if (!read) {
      fail(error, withPath(text::kCouldNotOpen, package), withPath(text::kCouldNotBeRead, package));
      return false;
    }
    readFrom[text::kContent] = std::move(read->first);
    readFrom[text::kData] = std::move(read->second);
    readFrom[text::kFileName] = package;
  }
  if (ticket) {
    readFrom[text::kWorkTicket] = *ticket;
    readFrom[text::kWorkTicketName] = path;
  }
  fromFile_ = std::move(readFrom);
  // A ticket's document is untitled, so its template is never overwritten.
  fileName_ = ticket ? std::string() : package;
  setFromFile();
  return true;
}

void OrrelinDocument::setFromFile() {
  updateCycle_->setLoading(true);
  const PropertyList* contentEntry = nullptr;
  if (auto found = fromFile_.find(text::kContent); found != fromFile_.end() && found->second.isDictionary())
    contentEntry = &found->second;
  static const PlistDictionary kNothing;
  const PlistDictionary& content = contentEntry ? contentEntry->dictionary() : kNothing;
  const std::string package = fromFile_.count(text::kFileName) && fromFile_[text::kFileName].isString()
                                  ? fromFile_[text::kFileName].string()
                                  : std::string();

  const auto applySizes = [this, &content] {
    if (auto found = content.find(text::kWindowSize); found != content.end() && found->second.isString())
      if (auto size = sizeFromText(found->second.string())) windowSize_ = *size;
    if (auto found = content.find(text::kDrawingSize); found != content.end() && found->second.isString())
      if (auto size = sizeFromText(found->second.string())) drawingSize_ = *size;
  };

  // 1. Merge lists, sizes, parameters, the command area.
  if (auto found = content.find(text::kCachedMergeLists); found != content.end()) cachedMergeLists_ = found->second;
  applySizes();
  if (auto found = content.find(text::kParameters); found != content.end() && found->second.isDictionary())
    definitions().fillFromPropertyList(found->second);
  if (auto found = content.find(text::kLargeCommandArea); found != content.end())
    largeCommandArea_ = found->second.isBoolean() && found->second.boolean();

  // 2. The columns, paired with their data entries by counting.
  if (auto found = content.find(text::kColumns); found != content.end() && found->second.isArray()) {
    static const PlistArray kNoData;
    const auto data = fromFile_.find(text::kData);
    const PlistArray& entries = data != fromFile_.end() && data->second.isArray() ? data->second.array() : kNoData;
    reportColumnMismatches(found->second.array(), entries);
    table().setFromColumnDescriptions(found->second.array(), entries, package);
  }

  // 3. Names are checked against the new columns; formulas computed.
  definitions().parameterListChanged();
  table().updateExpressionColumns();

  // 4. The ticket.
  if (auto found = fromFile_.find(text::kWorkTicket); found != fromFile_.end() && found->second.isDictionary())
    applyTicket(found->second.dictionary());

  // 5. Movie settings, graphs, sizes again.
  if (auto found = content.find(text::kQuickTimeSettings); found != content.end() && found->second.isDictionary())
    quickTimeSettings_ = found->second.dictionary();
  setCommandsFromContent(content);
  applySizes();

  // 6. Everything connects and is brought up to date.
  table().finishConnections();
  definitions().parameterListChanged();
  table().updateExpressionColumns();
  table().recomputeNumberOfRows();
  updateCycle_->setLoading(false);

  // 7. What was read is let go; nothing of the reading can be undone.
  fromFile_.clear();
  if (auto* undo = dynamic_cast<InMemoryUndoManager*>(undoManager_.get())) undo->removeAllActions();
  if (!isCommandLine()) updateCycle_->updateGraphicWhenPossible();
}

void OrrelinDocument::applyTicket(const PlistDictionary& ticket) {
  if (auto found = ticket.find(text::kTicketParameters); found != ticket.end() && found->second.isDictionary())
    for (const auto& [name, value] : found->second.dictionary())
      if (value.isString()) changeParameter(name, value.string());
  if (auto found = ticket.find(text::kTicketColorSchemes); found != ticket.end() && found->second.isArray()) {
    std::vector<std::string> overrides;
    for (const auto& entry : found->second.array())
      if (entry.isString()) overrides.push_back(entry.string());
    std::ostringstream out;
    overwriteColorSchemesFromCommandLine(overrides, out);
    if (!out.str().empty()) KRMessageCenter::addMessage(out.str());
  }
  columnsImportedByTicket_.clear();
  if (auto found = ticket.find(text::kTicketFileNames); found != ticket.end() && found->second.isArray()) {
    RowIndices pool = table().displayedColumnIndexesExceptRowNumber();
    for (const auto& entry : found->second.array()) {
      if (!entry.isString()) continue;
      const std::string& file = entry.string();
      std::error_code ignored;
      if (!fs::exists(file, ignored)) {
        KRMessageCenter::addMessage(withPath(text::kTicketFileMissing, file));
        continue;
      }
      // A file that finds no free column (a ticket without a template, or
      // one whose columns the files before it filled) goes into new columns
      // as the Import action puts it, rather than being lost.
      const bool poolHasRoom = std::any_of(pool.begin(), pool.end(), [this](long position) {
        auto column = table().columnAtIndex(position);
        return column && column->canBeModified();
      });
      RowIndices written;
      if (poolHasRoom)
        written = table().overwriteByImportingFile(file, pool);
      else
        table().importAll(file, std::nullopt, table().numberOfColumns(), false, written);
      if (written.empty()) continue;
      columnsImportedByTicket_.insert(columnsImportedByTicket_.end(), written.begin(), written.end());
      const long last = *std::max_element(written.begin(), written.end());
      pool.erase(std::remove_if(pool.begin(), pool.end(), [last](long position) { return position <= last; }),
                 pool.end());
    }
    table().recomputeNumberOfRows();
  }
}

std::shared_ptr<OrrelinDocument> OrrelinDocument::createCommandLineFrom(const std::string& path) {
  auto document = create(Mode::CommandLine);
  if (!document->initCommandLineFrom(path)) {
    document->disconnectBeforeClosing();
    return nullptr;
  }
  return document;
}

bool OrrelinDocument::initCommandLineFrom(const std::string& path) {
  auto read = readPackage(path);
  if (!read) return false;
  fileNameOpenedByCommandLine_ = path;
  fromFile_.clear();
  fromFile_[text::kContent] = std::move(read->first);
  fromFile_[text::kData] = std::move(read->second);
  fromFile_[text::kFileName] = path;
  fileName_ = path;
  setFromFile();
  updateCycle_->updateGraphicWhenPossible();
  table().updateExpressionColumns();
  return true;
}

}  // namespace orrelin
