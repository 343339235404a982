#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace orrelin {

// Application mode. The desktop window is a later addition: for now the
// application reads the tickets and documents it is given and says what it
// would open.
int runApplication(const std::vector<std::string>& argv);
int runApplication(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err);

}  // namespace orrelin
