#pragma once
// Opens documents by the kind of file: packages (".orrel", and ".velar" from
// earlier versions), tickets handed over by the command-line tool, and the
// data store's objects. Keeps the recent-documents list, which a ticket never
// enters.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/OrrelinDocument.h"

namespace orrelin {

class ORDocumentController {
 public:
  // The document type for a file by its ending (lower-cased), or a folder
  // holding "DataObject.plist"; none for anything else, with the reason in
  // error when given.
  static std::optional<std::string> typeForContentsOfURL(const std::string& path, std::string* error = nullptr);

  // Opens the file as a new document; none, with the reason in error, when
  // the file has no type or cannot be read. A file whose ending is not that
  // of a document is not remembered among the recent documents.
  std::shared_ptr<OrrelinDocument> openDocument(const std::string& path, OrrelinDocument::ReadError* error = nullptr);

  // Enters the path at the front of the recent documents (once); does
  // nothing while ignoreNewDocuments is set.
  void noteNewRecentDocument(const std::string& path);
  const std::vector<std::string>& recentDocuments() const { return recent_; }
  bool ignoreNewDocuments() const { return ignoreNewDocuments_; }

  // How many recent documents are kept.
  static constexpr std::size_t kRecentLimit = 20;

 private:
  std::vector<std::string> recent_;
  bool ignoreNewDocuments_ = false;
};

}  // namespace orrelin
