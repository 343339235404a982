#include "table/DocumentData.h"

namespace orrelin {

std::shared_ptr<DocumentData> DocumentData::create(const std::shared_ptr<DependencyDocument>& document) {
  std::shared_ptr<DocumentData> data(new DocumentData());
  data->definitions_ = std::make_shared<VKDefinedObjectsController>();
  data->definitions_->setDocument(document);
  data->definitions_->setNeighbour(data);
  data->table_ = DataDocumentTable::create(document);
  data->table_->setOwner(data);
  data->table_->setParameters(data->definitions_);
  return data;
}

DocumentData::~DocumentData() {
  // Whoever still holds the table keeps a table without a document (its
  // parameter look-ups end with the list).
  table_->setOwner(nullptr);
  table_->setDocument(nullptr);
  definitions_->setNeighbour(nullptr);
  definitions_->setDocument(nullptr);
}

void DocumentData::setDocument(const std::shared_ptr<DependencyDocument>& document) {
  definitions_->setDocument(document);
  table_->setDocument(document);
}

std::vector<std::string> DocumentData::columnNames() const { return table_->columnNames(); }

void DocumentData::parameterListChanged(const ParameterListChanges& changes) {
  // Each column compares what its names resolve to now with what they did,
  // which covers every name of the changes and nothing else.
  table_->parameterListChanged();
  if (parameterListListener_) parameterListListener_(changes);
}

void DocumentData::tableColumnsChanged(DataDocumentTable&) { definitions_->parameterListChanged(); }

void DocumentData::registerUndo(const std::string& actionName, std::function<void()> undo) {
  if (undoRegistration_) undoRegistration_(actionName, std::move(undo));
}

}  // namespace orrelin
