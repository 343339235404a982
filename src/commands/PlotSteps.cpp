#include "commands/PlotSteps.h"

namespace orrelin {

Plot1D stepsFor(const Plot1D& plot, StepType type) {
  Plot1D result;
  result.reserveColumns(static_cast<std::size_t>(3 * plot.numberOfColumns()));
  for (const auto& run : plot.runs()) {
    result.beginRun();
    result.addPoint(plot.point(run.start));
    for (long i = run.start + 1; i < run.start + run.length; ++i) {
      const KRPoint a = plot.point(i - 1), b = plot.point(i);
      switch (type) {
        case StepType::HorizontalFirst:
          result.addPoint(b.x, a.y);
          break;
        case StepType::VerticalFirst:
          result.addPoint(a.x, b.y);
          break;
        case StepType::Halfway: {
          const double middle = 0.5 * (a.x + b.x);
          result.addPoint(middle, a.y);
          result.addPoint(middle, b.y);
          break;
        }
      }
      result.addPoint(b);
    }
    result.endRun();
  }
  return result;
}

}  // namespace orrelin
