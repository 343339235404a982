// The kinds with little behaviour of their own: structural columns, kinds
// whose values come from above the table, and the data-store kinds.

#include "table/DeferredColumns.h"
#include "table/StructuralColumns.h"
#include "table/TableMessages.h"
#include "table/VKDataColumnDataObject.h"

namespace orrelin {

namespace text = table_text;

VKDataColumnStringExpression::VKDataColumnStringExpression() : DeferredColumn(text::kNoValuesFromTokens) {}
std::shared_ptr<VKDataColumnStringExpression> VKDataColumnStringExpression::createEmptyFor(
    const std::shared_ptr<DependencyDocument>& document) {
  return makeColumnFor<VKDataColumnStringExpression>(document);
}
std::string VKDataColumnStringExpression::type() const { return text::kTypeStringExpression; }

VKDataColumnFromCommand::VKDataColumnFromCommand() : DeferredColumn(text::kNoValuesFromCommand) {}
std::shared_ptr<VKDataColumnFromCommand> VKDataColumnFromCommand::createEmptyFor(
    const std::shared_ptr<DependencyDocument>& document) {
  return makeColumnFor<VKDataColumnFromCommand>(document);
}
std::string VKDataColumnFromCommand::type() const { return text::kTypeFromCommand; }

VKDataColumnPlotAction::VKDataColumnPlotAction() : DeferredColumn(text::kNoValuesFromPlotAction) {}
std::shared_ptr<VKDataColumnPlotAction> VKDataColumnPlotAction::createEmptyFor(
    const std::shared_ptr<DependencyDocument>& document) {
  return makeColumnFor<VKDataColumnPlotAction>(document);
}
std::string VKDataColumnPlotAction::type() const { return text::kTypePlotAction; }

std::shared_ptr<VKDataColumnCollapserOpen> VKDataColumnCollapserOpen::createEmptyFor(
    const std::shared_ptr<DependencyDocument>& document) {
  return makeColumnFor<VKDataColumnCollapserOpen>(document);
}
std::string VKDataColumnCollapserOpen::type() const { return text::kTypeOpenCollapser; }
std::int64_t VKDataColumnCollapserOpen::connectionType() const {
  const PropertyList* type = setting(text::kConnectionType);
  return type && type->isNumber() ? type->integer() : 0;
}
void VKDataColumnCollapserOpen::setConnectionType(std::int64_t type) { setSetting(text::kConnectionType, type); }

std::shared_ptr<VKDataColumnCollapserClose> VKDataColumnCollapserClose::createEmptyFor(
    const std::shared_ptr<DependencyDocument>& document) {
  return makeColumnFor<VKDataColumnCollapserClose>(document);
}
std::string VKDataColumnCollapserClose::type() const { return text::kTypeCloseCollapser; }

std::shared_ptr<VKDataColumnDivider> VKDataColumnDivider::createEmptyFor(const std::shared_ptr<DependencyDocument>& document) {
  return makeColumnFor<VKDataColumnDivider>(document);
}
std::string VKDataColumnDivider::type() const { return text::kTypeDivider; }

std::shared_ptr<VKDataColumnTextBlock> VKDataColumnTextBlock::createEmptyFor(
    const std::shared_ptr<DependencyDocument>& document) {
  return makeColumnFor<VKDataColumnTextBlock>(document);
}
std::string VKDataColumnTextBlock::type() const { return text::kTypeTextBlock; }
std::string VKDataColumnTextBlock::textString() const { return stringSetting(text::kTextString); }
void VKDataColumnTextBlock::setTextString(const std::string& value) { setSetting(text::kTextString, value); }
double VKDataColumnTextBlock::height() const {
  const PropertyList* value = setting(text::kHeight);
  return value && value->isNumber() ? value->real() : 0;
}
void VKDataColumnTextBlock::setHeight(double value) { setSetting(text::kHeight, value); }

std::string VKDataColumnDataObject::uuid(const OrrelinColumn& column) { return column.stringSetting(text::kUUID); }
std::string VKDataColumnDataObject::columnUsed(const OrrelinColumn& column) {
  return column.stringSetting(text::kColumnUsed);
}

std::shared_ptr<VKDataColumnDataObjectString> VKDataColumnDataObjectString::createEmptyFor(
    const std::shared_ptr<DependencyDocument>& document) {
  return makeColumnFor<VKDataColumnDataObjectString>(document);
}
std::string VKDataColumnDataObjectString::type() const { return text::kTypeDataObjectString; }
std::string VKDataColumnDataObjectString::whyNoValues() { return text::kNotConnectedToDataStore; }
void VKDataColumnDataObjectString::setTexts(std::vector<std::string> strings) {
  stringVersion_ = CellTextStore(strings);
  columnChanged();
}
std::optional<PropertyList> VKDataColumnDataObjectString::propertyToSaveWithInfo(PlistDictionary&) {
  // Always inline: the store holds the data, this is the copy that shows.
  const auto texts = stringVersion_.toVector();
  return PlistArray(texts.begin(), texts.end());
}
bool VKDataColumnDataObjectString::readDataEntry(const PropertyList& data, const std::string& packagePath) {
  return readTexts(data, packagePath);
}

std::shared_ptr<VKDataColumnDataObjectBinary> VKDataColumnDataObjectBinary::createEmptyFor(
    const std::shared_ptr<DependencyDocument>& document) {
  return makeColumnFor<VKDataColumnDataObjectBinary>(document);
}
std::string VKDataColumnDataObjectBinary::type() const { return text::kTypeDataObjectBinary; }
std::string VKDataColumnDataObjectBinary::whyNoValues() { return text::kNotConnectedToDataStore; }
void VKDataColumnDataObjectBinary::setValues(const std::vector<double>& values, const std::vector<std::uint8_t>& mask) {
  rows_ = NumberRows(values, mask);
  numbersEdited(false);
}

}  // namespace orrelin
