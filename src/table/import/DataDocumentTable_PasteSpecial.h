#pragma once
// The splitting behind the paste-special panel: pasted lines become columns
// of texts by the same separator choice and field rules as an import, for the
// panel to preview, transpose and name. Without allowComma a comma never
// separates (numbers written with a decimal comma stay whole).

#include <string>
#include <vector>

#include "datafiles/KRDataFileProgress.h"
#include "table/import/KRBigTextFile.h"

namespace orrelin {

class DataDocumentTable_PasteSpecial {
 public:
  using TextColumns = std::vector<std::vector<std::string>>;

  // Field k of every line goes to column k; short lines leave "" in the
  // columns they lack. Empty lines are passed over. Nothing when the user
  // stopped it.
  static TextColumns convertLinesToColumns(const ImportLines& lines, bool allowComma,
                                           KRDataFileProgress* progress = nullptr);
  // Each line becomes one column of its fields.
  static TextColumns convertEachLineToColumn(const ImportLines& lines, bool allowComma,
                                             KRDataFileProgress* progress = nullptr);
};

}  // namespace orrelin
