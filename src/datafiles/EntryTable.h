#pragma once
// The variables of a data file by name. Entries read from an index file
// arrive sorted by name and are kept as they came, in one block, found by
// bisection; entries found by scanning or added by writing go into an
// open-addressing hash table. Opening a file of a hundred thousand variables
// from its index thus writes memory in order and never probes a hash table.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "datafiles/KRDataFileBinaryEntry.h"

namespace orrelin {

class EntryTable {
 public:
  using Item = std::pair<std::string, KRDataFileBinaryEntry>;

  // Replaces the whole table by these items; they need not be sorted, but
  // usually are. Of two items of one name the later one counts.
  void assign(std::vector<Item> items);
  void reserve(std::size_t count);
  void clear();
  std::size_t size() const { return sorted_.size() + added_.size(); }
  bool empty() const { return size() == 0; }

  KRDataFileBinaryEntry* find(std::string_view name);
  const KRDataFileBinaryEntry* find(std::string_view name) const;
  bool contains(std::string_view name) const { return find(name) != nullptr; }
  // A name already there gets the new entry in its old place.
  void insertOrAssign(std::string name, KRDataFileBinaryEntry entry);

  template <typename Visit>
  void forEach(Visit&& visit) const {
    for (const auto& [name, entry] : sorted_) visit(name, entry);
    for (const auto& [name, entry] : added_) visit(name, entry);
  }

 private:
  std::size_t slotFor(std::string_view name, std::size_t hash) const;
  void rebuild(std::size_t slotCount);
  const KRDataFileBinaryEntry* findSorted(std::string_view name) const;

  std::vector<Item> sorted_;  // by name, each name once
  std::vector<Item> added_;
  // 0: empty; else the upper half of the name's hash above its position in
  // added_ + 1, so that a probe compares names only when the hashes agree.
  std::vector<std::uint64_t> slots_;
};

}  // namespace orrelin
