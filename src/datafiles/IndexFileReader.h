#pragma once
// Reading an index file in the binary property-list form straight into a
// table of entries. Opening a file of a hundred thousand variables must cost
// a small part of scanning its headers, which a general property-list tree
// cannot give; anything this reader does not know is left to the general
// reader.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "datafiles/EntryTable.h"

namespace orrelin {

enum class IndexReading {
  NotHandled,  // not a binary property list this reader knows: ask the general reader
  Unusable,    // a property list that does not describe a data file's entries
  Usable,
};

struct IndexContents {
  std::uint64_t length = 0;  // the data file length the index describes
  std::vector<EntryTable::Item> entries;  // in the order of the index
};

IndexReading readBinaryIndex(std::string_view bytes, IndexContents& contents);

// The same from the general property-list form.
IndexReading readIndexPropertyList(const PropertyList& index, IndexContents& contents);

}  // namespace orrelin
