#include "EntryTable.h"

#include <algorithm>
#include <functional>

namespace orrelin {

namespace {

std::size_t hashOf(std::string_view name) { return std::hash<std::string_view>{}(name); }

// At most half the slots are used, so probes stay short.
std::size_t slotCountFor(std::size_t count) {
  std::size_t slots = 16;
  while (slots < 2 * count) slots *= 2;
  return slots;
}

std::uint64_t tagOf(std::size_t hash) { return static_cast<std::uint64_t>(hash >> 32) << 32; }
std::uint32_t positionIn(std::uint64_t slot) { return static_cast<std::uint32_t>(slot); }

bool byName(const EntryTable::Item& a, const EntryTable::Item& b) { return a.first < b.first; }

}  // namespace

void EntryTable::assign(std::vector<Item> items) {
  clear();
  sorted_ = std::move(items);
  bool strictlyAscending = true;
  for (std::size_t i = 1; i < sorted_.size() && strictlyAscending; ++i)
    strictlyAscending = sorted_[i - 1].first < sorted_[i].first;
  if (strictlyAscending) return;
  // Keep the last of each name: sort stably, then keep each run's end.
  std::stable_sort(sorted_.begin(), sorted_.end(), byName);
  std::vector<Item> unique;
  unique.reserve(sorted_.size());
  for (std::size_t i = 0; i < sorted_.size(); ++i) {
    if (i + 1 < sorted_.size() && sorted_[i + 1].first == sorted_[i].first) continue;
    unique.push_back(std::move(sorted_[i]));
  }
  sorted_ = std::move(unique);
}

void EntryTable::reserve(std::size_t count) {
  added_.reserve(count);
  if (slotCountFor(count) > slots_.size()) rebuild(slotCountFor(count));
}

void EntryTable::clear() {
  sorted_.clear();
  added_.clear();
  slots_.clear();
}

const KRDataFileBinaryEntry* EntryTable::findSorted(std::string_view name) const {
  auto at = std::lower_bound(sorted_.begin(), sorted_.end(), name,
                             [](const Item& item, std::string_view key) { return item.first < key; });
  return at != sorted_.end() && at->first == name ? &at->second : nullptr;
}

std::size_t EntryTable::slotFor(std::string_view name, std::size_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  const std::uint64_t tag = tagOf(hash);
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const std::uint64_t value = slots_[slot];
    if (value == 0) return slot;
    if ((value & 0xFFFFFFFF00000000ull) == tag && added_[positionIn(value) - 1].first == name) return slot;
  }
}

const KRDataFileBinaryEntry* EntryTable::find(std::string_view name) const {
  if (!slots_.empty()) {
    const std::uint64_t value = slots_[slotFor(name, hashOf(name))];
    if (value) return &added_[positionIn(value) - 1].second;
  }
  return findSorted(name);
}

KRDataFileBinaryEntry* EntryTable::find(std::string_view name) {
  return const_cast<KRDataFileBinaryEntry*>(static_cast<const EntryTable*>(this)->find(name));
}

void EntryTable::insertOrAssign(std::string name, KRDataFileBinaryEntry entry) {
  if (auto* existing = const_cast<KRDataFileBinaryEntry*>(findSorted(name))) {
    *existing = std::move(entry);
    return;
  }
  if (slots_.size() < 2 * (added_.size() + 1)) rebuild(slotCountFor(added_.size() + 1));
  const std::size_t hash = hashOf(name);
  const std::size_t slot = slotFor(name, hash);
  if (slots_[slot]) {
    added_[positionIn(slots_[slot]) - 1].second = std::move(entry);
    return;
  }
  added_.emplace_back(std::move(name), std::move(entry));
  slots_[slot] = tagOf(hash) | static_cast<std::uint32_t>(added_.size());
}

void EntryTable::rebuild(std::size_t slotCount) {
  slots_.assign(slotCount, 0);
  const std::size_t mask = slotCount - 1;
  for (std::size_t i = 0; i < added_.size(); ++i) {
    const std::size_t hash = hashOf(added_[i].first);
    std::size_t slot = hash & mask;
    while (slots_[slot]) slot = (slot + 1) & mask;
    slots_[slot] = tagOf(hash) | static_cast<std::uint32_t>(i + 1);
  }
}

}  // namespace orrelin
