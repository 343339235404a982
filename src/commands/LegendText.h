#pragma once
// The legend text of a command with its column placeholders filled in: the
// stored text names the columns as "<Label>Y Label</Label>" and
// "<Label>X Label</Label>", which become the names of the columns the
// command draws; other label marks are dropped.

#include <memory>
#include <string>

namespace orrelin {

class VKColumnSelector;

std::string legendWithColumnNames(std::string legend, const std::shared_ptr<VKColumnSelector>& x,
                                  const std::shared_ptr<VKColumnSelector>& y);

}  // namespace orrelin
