#include "table/CellTextStore.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace orrelin {

namespace forms = number_forms;

namespace {

// Below this many characters left behind, packing is not worth a pass.
constexpr std::size_t kSmallestPacking = 1 << 16;

std::uint32_t checkedLength(std::size_t length) {
  if (length > UINT32_MAX) throw std::length_error("a cell's text is longer than 4 GiB");
  return std::uint32_t(length);
}

bool inside(const std::string& buffer, std::string_view text) {
  return !text.empty() && text.data() >= buffer.data() && text.data() < buffer.data() + buffer.size();
}

std::vector<long> identityPlan(std::size_t rows) {
  std::vector<long> plan(rows);
  std::iota(plan.begin(), plan.end(), 0L);
  return plan;
}

}  // namespace

CellTextStore::CellTextStore(const std::vector<std::string>& texts) {
  std::size_t characters = 0;
  for (const auto& text : texts) characters += text.size();
  reserve(texts.size(), characters);
  for (const auto& text : texts) push_back(text);
}

std::size_t CellTextStore::keptSlot(std::size_t row) const {
  return std::size_t(std::lower_bound(keptRows_.begin(), keptRows_.end(), row) - keptRows_.begin());
}

std::string_view CellTextStore::textOf(std::size_t row, double number, char* buffer) const {
  const std::uint8_t rowForm = form(row);
  if (rowForm == forms::kKept) return (*this)[row];
  return std::string_view(buffer, forms::writeInForm(rowForm, number, buffer));
}

std::vector<std::string> CellTextStore::toVector() const {
  std::vector<std::string> texts;
  texts.reserve(size());
  for (std::size_t r = 0; r < size(); ++r) texts.emplace_back((*this)[r]);
  return texts;
}

void CellTextStore::code() {
  if (coded_) return;
  CellTextStore result;
  result.coded_ = true;
  result.reserve(size(), chars_.size() - unused_);
  for (std::size_t r = 0; r < size(); ++r) result.push_back(view(r));
  *this = std::move(result);
}

void CellTextStore::pushText(std::string_view text) {
  if (coded_) keptRows_.push_back(forms_.size() - 1);
  starts_.push_back(chars_.size());
  lengths_.push_back(checkedLength(text.size()));
  chars_.append(text);
}

void CellTextStore::dropSlot(std::size_t slot) {
  unused_ += lengths_[slot];
  keptRows_.erase(keptRows_.begin() + long(slot));
  starts_.erase(starts_.begin() + long(slot));
  lengths_.erase(lengths_.begin() + long(slot));
}

void CellTextStore::setForm(std::size_t row, std::uint8_t form) {
  if (!coded_ || form == forms::kKept) formOnStoreNotCoded();
  if (row >= size()) resize(row + 1);
  if (forms_[row] == forms::kKept) dropSlot(keptSlot(row));
  forms_[row] = form;
  packIfWasteful();
}

void CellTextStore::formOnStoreNotCoded() { throw std::logic_error("a form is set on a coded store only"); }

void CellTextStore::set(std::size_t row, std::string_view text) {
  if (row >= size()) resize(row + 1);
  if (coded_ && text.empty()) {
    setForm(row, forms::kEmpty);
    return;
  }
  if (coded_ && forms_[row] != forms::kKept) {
    // A new kept text, in its place among the others.
    const std::string copy = inside(chars_, text) ? std::string(text) : std::string();
    const std::string_view source = inside(chars_, text) ? std::string_view(copy) : text;
    const std::size_t slot = keptSlot(row);
    keptRows_.insert(keptRows_.begin() + long(slot), row);
    starts_.insert(starts_.begin() + long(slot), chars_.size());
    lengths_.insert(lengths_.begin() + long(slot), checkedLength(source.size()));
    chars_.append(source);
    forms_[row] = forms::kKept;
    return;
  }
  const std::size_t slot = coded_ ? keptSlot(row) : row;
  const std::uint32_t length = checkedLength(text.size());
  if (length <= lengths_[slot]) {
    // Fits where the old text was (memmove: the new text may be part of it).
    if (length) std::char_traits<char>::move(chars_.data() + starts_[slot], text.data(), length);
    unused_ += lengths_[slot] - length;
    lengths_[slot] = length;
  } else {
    // The new text may lie in the buffer, which appending can move.
    const std::string copy = inside(chars_, text) ? std::string(text) : std::string();
    const std::string_view source = inside(chars_, text) ? std::string_view(copy) : text;
    unused_ += lengths_[slot];
    starts_[slot] = chars_.size();
    lengths_[slot] = length;
    chars_.append(source);
  }
  packIfWasteful();
}

void CellTextStore::push_back(std::string_view text) {
  if (inside(chars_, text)) {
    const std::string copy(text);
    push_back(copy);
    return;
  }
  if (coded_) {
    forms_.push_back(text.empty() ? forms::kEmpty : forms::kKept);
    if (text.empty()) return;
  }
  pushText(text);
}

void CellTextStore::resize(std::size_t rows) {
  if (coded_) {
    while (!keptRows_.empty() && keptRows_.back() >= rows) {
      unused_ += lengths_.back();
      keptRows_.pop_back();
      starts_.pop_back();
      lengths_.pop_back();
    }
    forms_.resize(rows, forms::kEmpty);
  } else {
    for (std::size_t r = rows; r < size(); ++r) unused_ += lengths_[r];
    starts_.resize(rows, chars_.size());
    lengths_.resize(rows, 0);
  }
  packIfWasteful();
}

void CellTextStore::reserve(std::size_t rows, std::size_t characters) {
  if (coded_) {
    forms_.reserve(rows);
  } else {
    starts_.reserve(rows);
    lengths_.reserve(rows);
  }
  chars_.reserve(characters);
}

void CellTextStore::clear() { *this = CellTextStore(); }

void CellTextStore::append(CellTextStore&& more) {
  if (empty() && unused_ == 0 && coded_ == more.coded_) {
    *this = std::move(more);
    return;
  }
  if (more.coded_) code();
  if (coded_) more.code();
  const std::uint64_t rowShift = size();
  const std::uint64_t shift = chars_.size();
  chars_.append(more.chars_);
  std::string().swap(more.chars_);
  // Stores appended to again and again grow as vectors do.
  const auto roomFor = [](auto& list, std::size_t extra) {
    if (list.size() + extra > list.capacity()) list.reserve(std::max(list.size() + extra, 2 * list.capacity()));
  };
  roomFor(starts_, more.starts_.size());
  for (std::uint64_t start : more.starts_) starts_.push_back(start + shift);
  std::vector<std::uint64_t>().swap(more.starts_);
  lengths_.insert(lengths_.end(), more.lengths_.begin(), more.lengths_.end());
  if (coded_) {
    forms_.insert(forms_.end(), more.forms_.begin(), more.forms_.end());
    roomFor(keptRows_, more.keptRows_.size());
    for (std::uint64_t row : more.keptRows_) keptRows_.push_back(row + rowShift);
  }
  unused_ += more.unused_;
  more.clear();
}

void CellTextStore::gather(const std::vector<long>& plan, const std::vector<std::string>& items) {
  std::size_t characters = 0;
  for (long from : plan) {
    if (from >= 0) characters += (*this)[std::size_t(from)].size();
    else if (from <= -2) characters += items[std::size_t(-2 - from)].size();
  }
  CellTextStore result;
  result.coded_ = coded_;
  result.reserve(plan.size(), characters);
  for (long from : plan) {
    if (from >= 0) {
      const std::uint8_t rowForm = form(std::size_t(from));
      if (coded_ && rowForm != forms::kKept) result.pushForm(rowForm);
      else result.push_back((*this)[std::size_t(from)]);
    } else {
      result.push_back(from <= -2 ? std::string_view(items[std::size_t(-2 - from)]) : std::string_view());
    }
  }
  *this = std::move(result);
}

void CellTextStore::insertRows(const RowIndices& positions, const std::vector<std::string>& items) {
  std::vector<long> itemPlan(std::min(items.size(), positions.size()));
  for (std::size_t k = 0; k < itemPlan.size(); ++k) itemPlan[k] = -2 - long(k);
  gather(insertedRows(identityPlan(size()), positions, itemPlan, -1L), items);
}

void CellTextStore::removeRows(const RowIndices& positions) { gather(removedRows(identityPlan(size()), positions), {}); }

bool CellTextStore::isEmptyRow(std::size_t row) const { return form(row) == forms::kEmpty; }

void CellTextStore::reorderRows(const std::vector<long>& order) {
  // A row beyond the store reads as empty, like a missing one.
  std::vector<long> plan(std::max(size(), order.size()), -1L);
  for (std::size_t k = 0; k < order.size(); ++k)
    if (order[k] >= 0 && std::size_t(order[k]) < size()) plan[k] = order[k];
  for (std::size_t k = order.size(); k < size(); ++k) plan[k] = long(k);
  // A store that was shorter than the order keeps only the rows it has
  // something in.
  while (plan.size() > size() && (plan.back() < 0 || isEmptyRow(std::size_t(plan.back())))) plan.pop_back();
  gather(plan, {});
}

bool CellTextStore::operator==(const CellTextStore& other) const {
  if (size() != other.size()) return false;
  for (std::size_t r = 0; r < size(); ++r)
    if (form(r) != other.form(r) || (*this)[r] != other[r]) return false;
  return true;
}

void CellTextStore::packIfWasteful() {
  if (unused_ < kSmallestPacking || unused_ * 2 < chars_.size()) return;
  gather(identityPlan(size()), {});
}

}  // namespace orrelin
