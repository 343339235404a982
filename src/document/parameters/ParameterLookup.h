#pragma once
// Parameters by name, as whatever reads them (column cells, formula columns,
// commands) sees them: only names that passed validation resolve. The
// definitions list implements it.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace orrelin {

class VKParameterController;

class ParameterLookup {
 public:
  virtual ~ParameterLookup() = default;

  // The parameter itself, so that a reader can become its client; null when
  // no valid parameter has the name.
  virtual std::shared_ptr<VKParameterController> parameterWithName(std::string_view name) const = 0;
  // The value of a number parameter (NaN when its value could not be worked
  // out); none when the name resolves to no number parameter.
  virtual std::optional<double> valueForParameter(std::string_view name) const = 0;
  // The text of a text parameter; none otherwise.
  virtual std::optional<std::string> stringForParameter(std::string_view name) const = 0;
};

}  // namespace orrelin
