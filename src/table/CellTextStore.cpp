#include "table/CellTextStore.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace orrelin {

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

}  // namespace

CellTextStore::CellTextStore(const std::vector<std::string>& texts) {
  std::size_t characters = 0;
  for (const auto& text : texts) characters += text.size();
  reserve(texts.size(), characters);
  for (const auto& text : texts) push_back(text);
}

std::vector<std::string> CellTextStore::toVector() const {
  std::vector<std::string> texts;
  texts.reserve(size());
  for (std::size_t r = 0; r < size(); ++r) texts.emplace_back((*this)[r]);
  return texts;
}

void CellTextStore::set(std::size_t row, std::string_view text) {
  if (row >= size()) resize(row + 1);
  const std::uint32_t length = checkedLength(text.size());
  if (length <= lengths_[row]) {
    // Fits where the old text was (memmove: the new text may be part of it).
    if (length) std::char_traits<char>::move(chars_.data() + starts_[row], text.data(), length);
    unused_ += lengths_[row] - length;
    lengths_[row] = length;
  } else {
    // The new text may lie in the buffer, which appending can move.
    const std::string copy = inside(chars_, text) ? std::string(text) : std::string();
    const std::string_view source = inside(chars_, text) ? std::string_view(copy) : text;
    unused_ += lengths_[row];
    starts_[row] = chars_.size();
    lengths_[row] = length;
    chars_.append(source);
  }
  packIfWasteful();
}

void CellTextStore::push_back(std::string_view text) {
  const std::uint32_t length = checkedLength(text.size());
  if (inside(chars_, text)) {
    const std::string copy(text);
    push_back(copy);
    return;
  }
  starts_.push_back(chars_.size());
  lengths_.push_back(length);
  chars_.append(text);
}

void CellTextStore::resize(std::size_t rows) {
  for (std::size_t r = rows; r < size(); ++r) unused_ += lengths_[r];
  starts_.resize(rows, chars_.size());
  lengths_.resize(rows, 0);
  packIfWasteful();
}

void CellTextStore::reserve(std::size_t rows, std::size_t characters) {
  starts_.reserve(rows);
  lengths_.reserve(rows);
  chars_.reserve(characters);
}

void CellTextStore::clear() { *this = CellTextStore(); }

void CellTextStore::append(CellTextStore&& more) {
  if (empty() && unused_ == 0) {
    *this = std::move(more);
    return;
  }
  const std::uint64_t shift = chars_.size();
  chars_.append(more.chars_);
  std::string().swap(more.chars_);
  starts_.reserve(size() + more.size());
  for (std::uint64_t start : more.starts_) starts_.push_back(start + shift);
  std::vector<std::uint64_t>().swap(more.starts_);
  lengths_.insert(lengths_.end(), more.lengths_.begin(), more.lengths_.end());
  unused_ += more.unused_;
  more.clear();
}

void CellTextStore::gather(const std::vector<long>& plan, const std::vector<std::string>& items) {
  std::size_t characters = 0;
  for (long from : plan) {
    if (from >= 0) characters += lengths_[std::size_t(from)];
    else if (from <= -2) characters += items[std::size_t(-2 - from)].size();
  }
  CellTextStore result;
  result.reserve(plan.size(), characters);
  for (long from : plan) {
    if (from >= 0) result.push_back((*this)[std::size_t(from)]);
    else if (from <= -2) result.push_back(items[std::size_t(-2 - from)]);
    else result.push_back({});
  }
  *this = std::move(result);
}

void CellTextStore::insertRows(const RowIndices& positions, const std::vector<std::string>& items) {
  std::vector<long> plan(size());
  std::iota(plan.begin(), plan.end(), 0L);
  std::vector<long> itemPlan(std::min(items.size(), positions.size()));
  for (std::size_t k = 0; k < itemPlan.size(); ++k) itemPlan[k] = -2 - long(k);
  gather(insertedRows(plan, positions, itemPlan, -1L), items);
}

void CellTextStore::removeRows(const RowIndices& positions) {
  std::vector<long> plan(size());
  std::iota(plan.begin(), plan.end(), 0L);
  gather(removedRows(plan, positions), {});
}

void CellTextStore::reorderRows(const std::vector<long>& order) {
  // A row beyond the store reads as empty, like a missing one.
  std::vector<long> plan(std::max(size(), order.size()), -1L);
  for (std::size_t k = 0; k < order.size(); ++k)
    if (order[k] >= 0 && std::size_t(order[k]) < size()) plan[k] = order[k];
  for (std::size_t k = order.size(); k < size(); ++k) plan[k] = long(k);
  // A store that was shorter than the order keeps only the rows it has
  // something in.
  while (plan.size() > size() && (plan.back() < 0 || lengths_[std::size_t(plan.back())] == 0)) plan.pop_back();
  gather(plan, {});
}

bool CellTextStore::operator==(const CellTextStore& other) const {
  if (size() != other.size()) return false;
  for (std::size_t r = 0; r < size(); ++r)
    if ((*this)[r] != other[r]) return false;
  return true;
}

void CellTextStore::packIfWasteful() {
  if (unused_ < kSmallestPacking || unused_ * 2 < chars_.size()) return;
  gather([&] {
    std::vector<long> plan(size());
    std::iota(plan.begin(), plan.end(), 0L);
    return plan;
  }(), {});
}

}  // namespace orrelin
