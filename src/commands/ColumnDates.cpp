#include "commands/ColumnDates.h"

#include "graph/commandbase/InputControllers.h"
#include "table/VKDataColumnDate.h"

namespace orrelin {

bool selectsDateColumn(const std::shared_ptr<VKColumnSelector>& selector) {
  auto column = selector ? selector->column() : nullptr;
  return column && column->isDateColumn();
}

std::string dateLocaleOfSelection(const std::shared_ptr<VKColumnSelector>& selector) {
  auto dates = std::dynamic_pointer_cast<VKDataColumnDate>(selector ? selector->column() : nullptr);
  return dates ? dates->localeName() : std::string();
}

}  // namespace orrelin
