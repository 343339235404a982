#pragma once
// What a column selector's column says about date axes: whether it holds
// dates, and in which language its dates are written.

#include <memory>
#include <string>

namespace orrelin {

class VKColumnSelector;

bool selectsDateColumn(const std::shared_ptr<VKColumnSelector>& selector);
// The date column's ICU locale; "" for any other column or none.
std::string dateLocaleOfSelection(const std::shared_ptr<VKColumnSelector>& selector);

}  // namespace orrelin
