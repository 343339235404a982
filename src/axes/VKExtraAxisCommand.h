#pragma once
// A second scale on an existing axis ("Extra Axis"): the same positions
// labelled in other units (metres against feet, Celsius against Fahrenheit,
// or an origin and unit of one's own), with its own ticks, title and look.

#include <memory>
#include <optional>
#include <string>

#include "axes/AxisControllers.h"
#include "axes/UnitConstants.h"
#include "graph/commandbase/VKDrawingCommand.h"

namespace orrelin {

class VKExtraAxisCommand : public VKDrawingCommand {
 public:
  enum Conversion { kNoConversion = 1, kUnits = 2, kTemperature = 3, kOriginAndUnit = 4 };

  VKExtraAxisCommand() : VKDrawingCommand(true) {}

  std::string type() const override;
  bool hasMagnificationChoice() const override { return false; }
  void finishConnections() override;
  void establishDependencyConnections() override;
  void entryChanged(VKDependencyBase* sender, DependencyVisitSet& alreadySentFor) override;
  using VKDrawingCommand::entryChanged;

  // From graph values to the values this axis shows; none, with the reason
  // in conversionProblem, when the settings do not give one.
  std::optional<UnitConversion> conversion() const;
  std::optional<std::string> conversionProblem() const;
  // The range of axis values over a range of graph values (ends in order).
  KRBoundingRange axisRangeFor(const KRBoundingRange& graphRange) const;

  const std::shared_ptr<VKMenuInputController>& unitConversion() const { return unitConversion_; }
  const std::shared_ptr<VKTextInputController>& graphUnits() const { return graphUnits_; }
  const std::shared_ptr<VKTextInputController>& axisUnits() const { return axisUnits_; }

  static const char* temperatureScaleName(int tag);

 private:
  void refreshErrorExplanation();

  std::shared_ptr<VKMenuInputController> unitConversion_;
  std::shared_ptr<VKTextInputController> graphUnits_;
  std::shared_ptr<VKTextInputController> axisUnits_;
  std::shared_ptr<VKMenuInputController> graphTemperature_;
  std::shared_ptr<VKMenuInputController> axisTemperature_;
  std::shared_ptr<VKNumberInputController> origin_;
  std::shared_ptr<VKNumberInputController> unit_;
};

}  // namespace orrelin
