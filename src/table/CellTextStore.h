#pragma once
// The texts of a column's cells in one character buffer: each row is a start
// and a length in it, so a cell costs twelve bytes beside its characters
// instead of a string object of its own. An edited cell that no longer fits
// where it was goes to the end of the buffer; once more than half the buffer
// is left behind by such edits, it is packed again.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "table/RowEditing.h"

namespace orrelin {

class CellTextStore {
 public:
  CellTextStore() = default;
  explicit CellTextStore(const std::vector<std::string>& texts);

  std::size_t size() const { return lengths_.size(); }
  bool empty() const { return lengths_.empty(); }
  // The text of a row; the view lasts until the store next changes.
  std::string_view operator[](std::size_t row) const {
    return std::string_view(chars_.data() + starts_[row], lengths_[row]);
  }
  std::string text(std::size_t row) const { return std::string((*this)[row]); }
  std::vector<std::string> toVector() const;

  void set(std::size_t row, std::string_view text);
  void push_back(std::string_view text);
  // Rows past the end come in empty.
  void resize(std::size_t rows);
  void reserve(std::size_t rows, std::size_t characters);
  void clear();
  // Takes the rows of `more` after its own, letting `more` go.
  void append(CellTextStore&& more);

  // The row operations of RowEditing.h, with the same rules.
  void insertRows(const RowIndices& positions, const std::vector<std::string>& items);
  void removeRows(const RowIndices& positions);
  void reorderRows(const std::vector<long>& order);

  // Characters held, including those that edits left behind.
  std::size_t charactersHeld() const { return chars_.size(); }

  bool operator==(const CellTextStore& other) const;

  class const_iterator {
   public:
    using value_type = std::string_view;
    using difference_type = std::ptrdiff_t;
    using iterator_category = std::forward_iterator_tag;
    using pointer = void;
    using reference = std::string_view;
    const_iterator() = default;
    const_iterator(const CellTextStore* store, std::size_t row) : store_(store), row_(row) {}
    std::string_view operator*() const { return (*store_)[row_]; }
    const_iterator& operator++() {
      ++row_;
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator before = *this;
      ++row_;
      return before;
    }
    bool operator==(const const_iterator& other) const { return row_ == other.row_; }

   private:
    const CellTextStore* store_ = nullptr;
    std::size_t row_ = 0;
  };
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, size()}; }

 private:
  // Rows from a plan: an entry >= 0 is that row of this store, -1 an empty
  // row, -2 - k item k.
  void gather(const std::vector<long>& plan, const std::vector<std::string>& items);
  void packIfWasteful();

  std::string chars_;
  std::vector<std::uint64_t> starts_;
  std::vector<std::uint32_t> lengths_;
  // Characters no row refers to any more.
  std::size_t unused_ = 0;
};

}  // namespace orrelin
