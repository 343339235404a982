#include "table/NumberRows.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "graph/dependency/VKMemoryManager.h"

namespace orrelin {

namespace {

constexpr double kEmpty = std::numeric_limits<double>::quiet_NaN();

std::shared_ptr<KRDoubleArrayContainer> newValues(long length) {
  // Every set of rows starts with new values, so the memory manager that
  // frees what the rows let go of exists before the first rows and, being a
  // static, is destroyed after the last ones, also at the end of the process.
  VKMemoryManager::shared();
  auto values = KRDoubleArrayContainer::createArrayOfLength(length);
  return values ? values : KRDoubleArrayContainer::createArrayOfLength(0);
}

std::shared_ptr<KRUCharArrayContainer> newMask(long length) {
  auto mask = KRUCharArrayContainer::createArrayOfLength(length);
  return mask ? mask : KRUCharArrayContainer::createArrayOfLength(0);
}

// A copy of the mask cut or padded with 1 to the length, holding 0 and 1 only.
std::shared_ptr<KRUCharArrayContainer> fittedMask(const KRUCharArrayContainer* mask, long length) {
  auto fitted = newMask(length);
  std::uint8_t* m = fitted->mutablePointer();
  const long given = mask ? std::min(mask->length(), length) : 0;
  for (long k = 0; k < given; ++k) m[k] = mask->constPointer()[k] ? 1 : 0;
  if (length > given) std::fill(m + given, m + length, std::uint8_t(1));
  return fitted;
}

std::vector<long> identityPlan(long length) {
  std::vector<long> plan(static_cast<std::size_t>(length));
  std::iota(plan.begin(), plan.end(), 0L);
  return plan;
}

// Drops the reference; a large array that nothing else holds is handed to
// the memory manager to be freed there.
template <class Array>
void letGo(std::shared_ptr<Array>& array) {
  if (array && array.use_count() == 1 && array->length() >= NumberRows::kLargeRows)
    releaseInQue(array);
  else
    array.reset();
}

}  // namespace

NumberRows::NumberRows() : values_(newValues(0)), mask_(newMask(0)) {}

NumberRows::~NumberRows() {
  letGo(values_);
  letGo(mask_);
}

NumberRows& NumberRows::operator=(const NumberRows& other) {
  if (this != &other) replaceArrays(other.values_, other.mask_);
  return *this;
}

NumberRows& NumberRows::operator=(NumberRows&& other) {
  if (this != &other) replaceArrays(std::move(other.values_), std::move(other.mask_));
  return *this;
}

void NumberRows::replaceArrays(std::shared_ptr<KRDoubleArrayContainer> values,
                               std::shared_ptr<KRUCharArrayContainer> mask) {
  std::swap(values_, values);
  std::swap(mask_, mask);
  letGo(values);
  letGo(mask);
}

NumberRows::NumberRows(std::shared_ptr<const KRDoubleArrayContainer> values,
                       std::shared_ptr<const KRUCharArrayContainer> mask) {
  const long length = values ? values->length() : 0;
  // The arrays are copied once, as vectors of the column's length: the
  // column owns what it changes.
  values_ = newValues(length);
  if (length > 0) std::copy_n(values->constDoublePointer(), length, values_->mutableDoublePointer());
  mask_ = fittedMask(mask.get(), length);
}

NumberRows::NumberRows(const std::vector<double>& values, const std::vector<std::uint8_t>& mask) {
  assign(values, mask);
}

NumberRows NumberRows::adopt(std::shared_ptr<KRDoubleArrayContainer> values,
                             std::shared_ptr<KRUCharArrayContainer> mask) {
  if (!values || !values->isMutable()) return NumberRows(std::move(values), std::move(mask));
  NumberRows rows;
  rows.values_ = std::move(values);
  const long length = rows.values_->length();
  if (mask && mask->isMutable() && mask->length() == length) {
    rows.mask_ = std::move(mask);
    // The mask holds 0 or 1 only.
    std::uint8_t* m = rows.mask_->mutablePointer();
    for (long k = 0; k < length; ++k) m[k] = m[k] ? 1 : 0;
  } else {
    rows.mask_ = fittedMask(mask.get(), length);
  }
  return rows;
}

NumberRows NumberRows::adopt(std::shared_ptr<KRDoubleArrayContainer> values,
                             std::shared_ptr<const KRUCharArrayContainer> sharedMask) {
  if (!values || !values->isMutable() || !sharedMask || sharedMask->length() != values->length())
    return NumberRows(std::move(values), std::move(sharedMask));
  NumberRows rows;
  rows.values_ = std::move(values);
  // Written only after makeWritable, which copies a mask that is shared.
  rows.mask_ = std::const_pointer_cast<KRUCharArrayContainer>(std::move(sharedMask));
  return rows;
}

double NumberRows::value(long row) const {
  return row >= 0 && row < length() ? values_->constDoublePointer()[row] : kEmpty;
}

bool NumberRows::included(long row) const { return row >= 0 && row < length() && mask_->constPointer()[row] != 0; }

bool NumberRows::valid(long row) const { return included(row) && std::isfinite(values_->constDoublePointer()[row]); }

void NumberRows::set(long row, double value, bool included) {
  if (row < 0) return;
  if (row >= length()) resize(row + 1);
  makeWritable();
  values_->mutableDoublePointer()[row] = value;
  mask_->mutablePointer()[row] = included ? 1 : 0;
}

void NumberRows::resize(long length) {
  if (length < 0) length = 0;
  if (length == this->length()) return;
  auto plan = identityPlan(std::min(length, this->length()));
  plan.resize(static_cast<std::size_t>(length), -1);
  gather(plan, {}, {});
}

void NumberRows::insertRows(const RowIndices& positions, const std::vector<double>& values,
                            const std::vector<std::uint8_t>& mask) {
  std::vector<long> items(positions.size());
  for (std::size_t k = 0; k < items.size(); ++k) items[k] = -2 - long(k);
  gather(insertedRows(identityPlan(length()), positions, items, -1L), values, mask);
}

void NumberRows::removeRows(const RowIndices& positions) { gather(removedRows(identityPlan(length()), positions), {}, {}); }

void NumberRows::reorder(const std::vector<long>& order) {
  gather(reorderedRows(identityPlan(length()), order, -1L), {}, {});
}

std::vector<double> NumberRows::valueVector() const {
  const double* v = values_->constDoublePointer();
  return std::vector<double>(v, v + length());
}

std::vector<std::uint8_t> NumberRows::maskVector() const {
  const std::uint8_t* m = mask_->constPointer();
  return std::vector<std::uint8_t>(m, m + length());
}

void NumberRows::assign(const std::vector<double>& values, const std::vector<std::uint8_t>& mask) {
  const long length = long(values.size());
  replaceArrays(newValues(length), newMask(length));
  if (length == 0) return;
  std::copy(values.begin(), values.end(), values_->mutableDoublePointer());
  std::uint8_t* m = mask_->mutablePointer();
  for (long k = 0; k < length; ++k) m[k] = std::size_t(k) < mask.size() ? (mask[std::size_t(k)] ? 1 : 0) : 1;
}

void NumberRows::gather(const std::vector<long>& plan, const std::vector<double>& extraValues,
                        const std::vector<std::uint8_t>& extraMask) {
  const long length = long(plan.size());
  auto values = newValues(length);
  auto mask = newMask(length);
  const double* oldValues = values_->constDoublePointer();
  const std::uint8_t* oldMask = mask_->constPointer();
  double* v = values->mutableDoublePointer();
  std::uint8_t* m = mask->mutablePointer();
  for (long k = 0; k < length; ++k) {
    const long from = plan[std::size_t(k)];
    if (from >= 0) {
      v[k] = oldValues[from];
      m[k] = oldMask[from];
    } else if (from <= -2) {
      const auto j = std::size_t(-2 - from);
      v[k] = j < extraValues.size() ? extraValues[j] : kEmpty;
      m[k] = j < extraValues.size() && (j >= extraMask.size() || extraMask[j]) ? 1 : 0;
    } else {
      v[k] = kEmpty;
      m[k] = 0;
    }
  }
  replaceArrays(std::move(values), std::move(mask));
}

void NumberRows::makeWritable() {
  if (values_.use_count() > 1) {
    auto copy = newValues(length());
    if (length() > 0) std::copy_n(values_->constDoublePointer(), length(), copy->mutableDoublePointer());
    std::swap(values_, copy);
    letGo(copy);
  }
  if (mask_.use_count() > 1) {
    auto copy = newMask(length());
    if (length() > 0) std::copy_n(mask_->constPointer(), length(), copy->mutablePointer());
    std::swap(mask_, copy);
    letGo(copy);
  }
}

}  // namespace orrelin
