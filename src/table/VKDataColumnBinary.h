#pragma once
// Numbers held only in binary form: large imports and binary data files.
// Saved as a binary data file of the package with "Numbers" and "Mask".

#include "table/NumberColumn.h"

namespace orrelin {

class VKDataColumnBinary final : public NumberColumn {
 public:
  static std::shared_ptr<VKDataColumnBinary> createEmptyFor(const std::shared_ptr<DependencyDocument>& document = nullptr);

  std::string type() const override;
  bool canBeModified() const override { return true; }
};

}  // namespace orrelin
