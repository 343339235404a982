#pragma once
// A second scale on an existing axis ("Extra Axis"): the same positions
// labelled in other units (metres against feet, Celsius against Fahrenheit,
// or an origin and unit of one's own), with its own ticks, title and look.

#include <memory>
#include <optional>
#include <string>

#include "axes/AxisControllers.h"
#include "axes/AxisDrawing.h"
#include "axes/AxisTicks.h"
#include "axes/UnitConstants.h"
#include "graph/commandbase/VKDrawingCommand.h"

namespace orrelin {

class VKExtraAxisCommand : public VKDrawingCommand {
 public:
  enum Conversion { kNoConversion = 1, kUnits = 2, kTemperature = 3, kOriginAndUnit = 4 };
  // "Axis Location" tags: beside the plot area on top (an x axis in other
  // units) or on the right (a y axis in other units).
  enum Location { kTop = 1, kRight = 2 };

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
  // The part of that range which is drawn: all of it, or what "Axis Range"
  // (in axis values, an open side unlimited) leaves of it; empty when
  // nothing is left or "Axis Range" does not compute.
  KRBoundingRange drawnAxisRange(const KRBoundingRange& graphRange) const;
  // "Position Inside": the axis lies on the frame with its numbers inside the
  // plot area and asks for no room outside.
  bool positionInside() const;

  const std::shared_ptr<VKMenuInputController>& unitConversion() const { return unitConversion_; }
  const std::shared_ptr<VKTextInputController>& graphUnits() const { return graphUnits_; }
  const std::shared_ptr<VKTextInputController>& axisUnits() const { return axisUnits_; }

  static const char* temperatureScaleName(int tag);

  // Drawing: the axis on the pair it belongs to, beyond the axes the layout
  // put on that side (see docs/graph-layout.md), with its grid lines.
  bool onTop() const { return axisLocation_->tag() == kTop; }
  std::shared_ptr<KRDrawingGroup> computeDrawingObjectForScale(const KR1DPlotDrawingInfo& record,
                                                               KRDrawingInformation& information) override;
  // The room it takes above the plot area or on its right.
  double spaceForPlotTitle() const override { return onTop() ? roomNeeded() : 0; }
  double spaceToTheRight() const override { return onTop() ? 0 : roomNeeded(); }
  // The ticks and labels of the axis for the graph range it stands beside
  // and its length in points, by its tick choice as for an axis of the
  // graph (values, strides and locations in the axis's own units); none
  // without a conversion or range.
  std::optional<AxisTicks> ticksFor(const KRBoundingRange& graphRange, double length) const;

 private:
  void refreshErrorExplanation();
  AxisLook look() const;
  AxisContent content(const AxisTicks& ticks) const;
  double roomNeeded() const;

  std::shared_ptr<VKMenuInputController> unitConversion_;
  std::shared_ptr<VKTextInputController> graphUnits_;
  std::shared_ptr<VKTextInputController> axisUnits_;
  std::shared_ptr<VKMenuInputController> graphTemperature_;
  std::shared_ptr<VKMenuInputController> axisTemperature_;
  std::shared_ptr<VKNumberInputController> origin_;
  std::shared_ptr<VKNumberInputController> unit_;
  std::shared_ptr<VKMenuInputController> axisType_;
  std::shared_ptr<VKMenuInputController> axisLocation_;
  std::shared_ptr<VKRangeInputController> axisRange_;
  std::shared_ptr<VKButtonInputController> positionInside_;
  std::shared_ptr<VKTextInputController> prefix_;
  std::shared_ptr<VKTextInputController> suffix_;
  std::shared_ptr<VKNumberListController> excludeNumbers_;
  std::shared_ptr<VKTokenTextController> axisTitle_;
  std::shared_ptr<VKMenuInputController> titlePosition_;
  std::shared_ptr<VKNumberInputController> titleOffset_;
  std::shared_ptr<VKNumberInputController> titleShift_;
  std::shared_ptr<VKButtonInputController> drawBackground_;
  std::shared_ptr<VKColorInputController> backgroundColor_;
  std::shared_ptr<VKLineStyleInputController> majorGrid_;
  std::shared_ptr<VKLineStyleInputController> minorGrid_;
  std::shared_ptr<VKColorInputController> axisColor_;
  std::shared_ptr<VKFontStyleInputController> axisFont_;
  std::shared_ptr<VKMenuInputController> drawingStyle_;
  std::shared_ptr<VKMenuInputController> orientation_;
  // The tick-choice settings, gathered as the tick computation takes them.
  AxisControllers ticks_;
};

}  // namespace orrelin
