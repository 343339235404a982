#include "table/VKDataColumnNumber.h"

#include <algorithm>

#include "table/TableMessages.h"

namespace orrelin {

namespace {

// The name a new table gives its row-number column; "#" reads as a name in
// formulas.
constexpr const char* kDefaultName = "#";

}  // namespace

VKDataColumnNumber::VKDataColumnNumber() { setSetting(table_text::kName, kDefaultName); }

std::shared_ptr<VKDataColumnNumber> VKDataColumnNumber::createEmptyFor(const std::shared_ptr<DependencyDocument>& document) {
  return makeColumnFor<VKDataColumnNumber>(document);
}

std::string VKDataColumnNumber::type() const { return table_text::kTypeRowNumber; }

void VKDataColumnNumber::setNumberOfRows(long rows) {
  rows = std::max(rows, 0L);
  if (rows == rowCount_) return;
  rowCount_ = rows;
  exact_.reset();
  mask_.reset();
  columnChanged(false);
}

std::shared_ptr<const KRDoubleArrayContainer> VKDataColumnNumber::numberVersionForLength(long length) {
  length = std::max(length, 0L);
  const long have = numbered_ ? numbered_->length() : 0;
  if (!numbered_ || have < length) {
    // Grown in steps so that a formula that asks for one row more each
    // time does not renumber everything each time.
    const long size = std::max(length, have + have / 2);
    auto grown = KRDoubleArrayContainer::createArrayOfLength(size);
    if (!grown) return KRDoubleArrayContainer::createArrayOfLength(0);
    double* data = grown->mutableDoublePointer();
    for (long r = 0; r < size; ++r) data[r] = double(r + 1);
    numbered_ = std::move(grown);
  }
  return numbered_;
}

std::shared_ptr<const KRDoubleArrayContainer> VKDataColumnNumber::numberVersion() {
  if (!exact_) {
    auto all = numberVersionForLength(rowCount_);
    exact_ = all->length() == rowCount_ ? all : all->numbersFrom(0, rowCount_);
    if (!exact_) exact_ = KRDoubleArrayContainer::createArrayOfLength(0);
  }
  return exact_;
}

std::shared_ptr<const KRUCharArrayContainer> VKDataColumnNumber::whichAreIncluded() {
  if (!mask_) {
    auto mask = KRUCharArrayContainer::createArrayOfLength(rowCount_);
    if (mask) mask->setAllValues(1);
    mask_ = mask ? mask : KRUCharArrayContainer::createArrayOfLength(0);
  }
  return mask_;
}

void VKDataColumnNumber::writeOwnDescription(PlistDictionary& description, PlistDictionary&) {
  // Documents store the row-number column under its older name.
  description[table_text::kType] = table_text::kTypeLineNumber;
  description.erase(table_text::kOpen);
}

}  // namespace orrelin
