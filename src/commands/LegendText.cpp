#include "commands/LegendText.h"

#include "graph/commandbase/InputControllers.h"
#include "table/OrrelinColumn.h"

namespace orrelin {

std::string legendWithColumnNames(std::string legend, const std::shared_ptr<VKColumnSelector>& x,
                                  const std::shared_ptr<VKColumnSelector>& y) {
  const auto nameOf = [](const std::shared_ptr<VKColumnSelector>& selector) {
    if (auto column = selector ? selector->column() : nullptr) return column->name();
    return selector ? selector->columnName() : std::string();
  };
  const auto replaceAll = [&legend](const std::string& from, const std::string& to) {
    for (std::size_t at = legend.find(from); at != std::string::npos; at = legend.find(from, at + to.size()))
      legend.replace(at, from.size(), to);
  };
  replaceAll("<Label>Y Label</Label>", nameOf(y));
  replaceAll("<Label>X Label</Label>", nameOf(x));
  replaceAll("<Label>", "");
  replaceAll("</Label>", "");
  return legend;
}

}  // namespace orrelin
