#pragma once
// The texts of a column's cells in one character buffer: each row is a start
// and a length in it, so a cell costs twelve bytes beside its characters
// instead of a string object of its own. An edited cell that no longer fits
// where it was goes to the end of the buffer; once more than half the buffer
// is left behind by such edits, it is packed again.
//
// A coded store keeps, besides, a form per row (see NumberForms.h): a row
// whose text its number makes again in that form keeps no characters and no
// place at all, only its one-byte code; the rows that keep their texts are
// listed in order. Such a store cannot make those texts by itself: their
// owner gives the numbers (textOf).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "table/NumberForms.h"
#include "table/RowEditing.h"

namespace orrelin {

class CellTextStore {
 public:
  CellTextStore() = default;
  explicit CellTextStore(const std::vector<std::string>& texts);

  std::size_t size() const { return coded_ ? forms_.size() : lengths_.size(); }
  bool empty() const { return size() == 0; }
  // The text of a row; the view lasts until the store next changes. A row
  // held in a number form reads as empty here (textOf gives its text).
  std::string_view operator[](std::size_t row) const {
    if (!coded_) return view(row);
    return forms_[row] == number_forms::kKept ? view(keptSlot(row)) : std::string_view();
  }
  std::string text(std::size_t row) const { return std::string((*this)[row]); }
  // The text of any row, a row in a number form made from `number` into
  // `buffer` (at least number_forms::kLongestText characters).
  std::string_view textOf(std::size_t row, double number, char* buffer) const;
  // Every text as the rows' own (see operator[] for coded stores).
  std::vector<std::string> toVector() const;

  // The form of a row: kEmpty for an empty text, kKept for a kept one.
  std::uint8_t form(std::size_t row) const {
    if (coded_) return forms_[row];
    return lengths_[row] == 0 ? number_forms::kEmpty : number_forms::kKept;
  }
  bool coded() const { return coded_; }
  // Makes the store a coded one, its rows keeping their texts.
  void code();
  // Rows kept as text (every row of a store that is not coded).
  std::size_t keptTexts() const { return lengths_.size(); }
  // Holds the row in a form (not kKept) from now on, letting its text go.
  // The store must be coded.
  void setForm(std::size_t row, std::uint8_t form);
  // Adds a row held in a form; the store must be coded.
  void pushForm(std::uint8_t form) {
    if (!coded_ || form == number_forms::kKept) formOnStoreNotCoded();
    forms_.push_back(form);
  }

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
  [[noreturn]] static void formOnStoreNotCoded();
  // Rows from a plan: an entry >= 0 is that row of this store, -1 an empty
  // row, -2 - k item k.
  void gather(const std::vector<long>& plan, const std::vector<std::string>& items);
  void packIfWasteful();
  std::string_view view(std::size_t slot) const { return std::string_view(chars_.data() + starts_[slot], lengths_[slot]); }
  // The place of a kept row's text.
  std::size_t keptSlot(std::size_t row) const;
  // Adds a kept text at the end (coded: for row `row`).
  void pushText(std::string_view text);
  // Drops the kept text of a row of a coded store.
  void dropSlot(std::size_t slot);
  bool isEmptyRow(std::size_t row) const;

  std::string chars_;
  // Per kept text.
  std::vector<std::uint64_t> starts_;
  std::vector<std::uint32_t> lengths_;
  bool coded_ = false;
  // Coded stores: the form of each row and the rows of the kept texts,
  // ascending.
  std::vector<std::uint8_t> forms_;
  std::vector<std::uint64_t> keptRows_;
  // Characters no row refers to any more.
  std::size_t unused_ = 0;
};

}  // namespace orrelin
