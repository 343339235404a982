#include "document/ORDocumentController.h"

#include <algorithm>
#include <filesystem>

#include "document/DocumentTexts.h"

namespace orrelin {

namespace fs = std::filesystem;
namespace text = document_text;

namespace {

std::string lowerEnding(const std::string& path) {
  std::string ending = fs::path(path).extension().string();
  if (!ending.empty()) ending.erase(0, 1);
  std::transform(ending.begin(), ending.end(), ending.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return ending;
}

bool isDocumentEnding(const std::string& ending) {
  return ending == "orrel" || ending == "velar" || ending == "dobject";
}

}  // namespace

std::optional<std::string> ORDocumentController::typeForContentsOfURL(const std::string& path, std::string* error) {
  // A package path may end in a slash.
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  const std::string ending = lowerEnding(trimmed);
  if (ending == "orrel" || ending == "velar") return std::string(text::kOrrelinDocumentType);
  if (ending == "orrelticket") return std::string(text::kOrrelinTicketType);
  std::error_code ignored;
  if (ending == "dobject" || fs::exists(fs::path(trimmed) / text::kDataObjectFile, ignored))
    return std::string(text::kDataStoreDocumentType);
  if (error) *error = "The file \"" + path + "\" is not a document this application opens.";
  return std::nullopt;
}

std::shared_ptr<OrrelinDocument> ORDocumentController::openDocument(const std::string& path,
                                                                    OrrelinDocument::ReadError* error) {
  std::string reason;
  const auto type = typeForContentsOfURL(path, &reason);
  if (!type || *type == text::kDataStoreDocumentType) {
    if (error) {
      error->description = "Could not open the file \"" + path + "\"";
      error->reason = type ? "Data store objects are opened by the data store, which is not part of this program."
                           : reason;
    }
    return nullptr;
  }
  // Only documents are remembered; a ticket is opened without entering the
  // list.
  const bool ignore = !isDocumentEnding(lowerEnding(path));
  ignoreNewDocuments_ = ignore;
  auto document = OrrelinDocument::create();
  const bool read = document->redirectReadFromURL(path, *type, error);
  if (read) noteNewRecentDocument(path);
  ignoreNewDocuments_ = false;
  if (!read) {
    document->disconnectBeforeClosing();
    return nullptr;
  }
  return document;
}

void ORDocumentController::noteNewRecentDocument(const std::string& path) {
  if (ignoreNewDocuments_) return;
  recent_.erase(std::remove(recent_.begin(), recent_.end(), path), recent_.end());
  recent_.insert(recent_.begin(), path);
  if (recent_.size() > kRecentLimit) recent_.resize(kRecentLimit);
}

}  // namespace orrelin
