#include "table/VKDataColumnBinary.h"

#include "table/TableMessages.h"

namespace orrelin {

std::shared_ptr<VKDataColumnBinary> VKDataColumnBinary::createEmptyFor(const std::shared_ptr<DependencyDocument>& document) {
  return makeColumnFor<VKDataColumnBinary>(document);
}

std::string VKDataColumnBinary::type() const { return table_text::kTypeBinary; }

}  // namespace orrelin
