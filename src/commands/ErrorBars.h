#pragma once
// Error bars, shared by the points and plot commands: how the four error
// columns give the ends of a bar for each error type, and the drawing of the
// bars from page positions. docs/commands-points.md describes the types.

#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "drawing/KRDrawingGroup.h"
#include "graph/commandbase/InputControllers.h"
#include "platform/KRColor.h"

namespace orrelin {

class OrrelinColumn;

// "Error Style" tags.
enum VKErrorStyle : int {
  kErrorStyleNoError = 1,
  kErrorStyleSmallBars = 2,
  kErrorStyleMediumBars = 3,
  kErrorStyleWideBars = 4,
  kErrorStyleNoBars = 5,
  kErrorStyleSingleLine = 6,
  kErrorStyleTinyBars = 7,
};

// "X Error Type" and "Y Error Type" tags.
enum VKErrorType : int {
  kErrorTypeSymmetric = 1,
  kErrorTypeSeparate = 2,
  kErrorTypePercent = 3,
  kErrorTypeBounds = 4,
};

class DataDrawingCommand;

// The error-bar settings the plot and points commands share, connected to a
// command under their stored names. The commands differ only in the
// default style; both draw bars one pen width (0.5 points) wide.
struct VKErrorBarSettings {
  static constexpr const char* kOnePenWidth = "0.5";
  VKErrorBarSettings() = default;
  explicit VKErrorBarSettings(int defaultStyle);
  void connectTo(DataDrawingCommand& command) const;
  // Whether bars are asked for: a style that draws and an error column
  // named (drawn), or found for x or y (the axis must then take numbers).
  bool drawn() const;
  bool drawnInX() const;
  bool drawnInY() const;

  std::shared_ptr<VKMenuInputController> style;
  std::shared_ptr<VKColorInputController> color;
  std::shared_ptr<VKNumberInputController> barSize;
  std::shared_ptr<VKColumnSelector> negX, posX, negY, posY;
  std::shared_ptr<VKMenuInputController> xType, yType;
};

// The error-bar settings as the plot and points commands show them.
class VKErrorBarSettingsOwner {
 public:
  const std::shared_ptr<VKMenuInputController>& errorStyle() const { return errorBars_.style; }
  const std::shared_ptr<VKColorInputController>& errorColor() const { return errorBars_.color; }
  const std::shared_ptr<VKNumberInputController>& errorBarSize() const { return errorBars_.barSize; }
  const std::shared_ptr<VKColumnSelector>& errorNegX() const { return errorBars_.negX; }
  const std::shared_ptr<VKColumnSelector>& errorPosX() const { return errorBars_.posX; }
  const std::shared_ptr<VKColumnSelector>& errorNegY() const { return errorBars_.negY; }
  const std::shared_ptr<VKColumnSelector>& errorPosY() const { return errorBars_.posY; }
  const std::shared_ptr<VKMenuInputController>& errorXType() const { return errorBars_.xType; }
  const std::shared_ptr<VKMenuInputController>& errorYType() const { return errorBars_.yType; }

 protected:
  VKErrorBarSettings errorBars_;
};

class VKErrorBars {
 public:
  // One bar in page coordinates; a side that is NaN has no bar.
  struct Bar {
    KRPoint center;
    double xLow = NAN, xHigh = NAN, yLow = NAN, yHigh = NAN;
  };

  static const std::vector<VKMenuEntry>& styleMenu();
  static const std::vector<VKMenuEntry>& typeMenu();

  // The ends of the bar around value in data units (low, high); an end
  // without a bar is NaN. negative and positive are the rows' values of the
  // two error columns, NaN when the column is not selected or the row has
  // no number.
  static std::pair<double, double> extent(int type, double value, double negative, double positive);
  // A column's numbers at the given rows, for reading error columns: NaN
  // where a row lies past the column's end, is excluded or holds no number.
  // Values past the last row asked for are not read.
  static std::vector<double> valuesAtRows(const std::shared_ptr<OrrelinColumn>& column, const std::vector<long>& rows);
  // How long a cap is on each side of the bar, in units of the bar's line
  // width; 0 for styles without caps.
  static double capFactor(int style);
  // "Error Bar Size" as drawn: not a number or negative gives 0.5, above 300 gives 300.
  static double barLineWidth(double setting);

  // The bars as one line collection in the colour and width, cut to crop
  // (no cut when crop is the null rectangle). Null when there is nothing to draw.
  static std::shared_ptr<KRDrawingGroup> computeErrorBars(const std::vector<Bar>& bars, int style,
                                                          const KRColor& color, double lineWidth,
                                                          const KRRect& crop);
};

}  // namespace orrelin
