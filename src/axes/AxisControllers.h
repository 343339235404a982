#pragma once
// The settings of one axis, shared by the main axis (once for x, once for y)
// and the single-axis command (once, for its own direction), and the setting
// kind that holds a list of numbers typed as text.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "graph/commandbase/DataDrawingCommand.h"
#include "graph/commandbase/InputControllers.h"
#include "graph/commandbase/KRBoundingRange.h"

namespace orrelin {

// Numbers typed as one text, separated by commas outside brackets; each part
// is a formula over the document's parameters. With a required count (2 for
// a crop range) a text with another number of parts is an error; an empty
// text is always allowed and means "none given". The setting is a client of
// the parameters its formulas name, so a change of one reaches the command.
class VKNumberListController : public VKInputController {
 public:
  explicit VKNumberListController(int requiredCount = -1) : requiredCount_(requiredCount) {}
  const char* className() const override { return "VKNumberListController"; }
  std::optional<PropertyList> propertyList() const override { return PropertyList(text_); }
  void setFromPropertyList(const PropertyList* value) override;
  void establishDependencyConnections() override;
  void parameterListChanged(const ParameterListChanges& changes) override;
  bool perform(const std::string& selector, const PropertyList& argument) override;
  std::optional<std::string> errorExplanation() const override;

  const std::string& text() const { return text_; }
  // Tells the clients when the text changes.
  void setText(const std::string& text);
  // The parameter names the formulas use, each once.
  std::vector<std::string> namesUsed() const;

  // The numbers; none when the text is empty, a part does not compute or the
  // count is not the required one.
  std::optional<std::vector<double>> values() const;

 private:
  int requiredCount_;
  std::string text_;
};

// Menu tags.
enum class AxisScale { Linear = 1, Logarithmic = 2, Reversed = 3, ReverseLog = 4 };
enum AxisTicksChoice {
  kTicksDefault = 0,
  kTicksAutomatic = 1,
  kTicksStride = 2,
  kTicksGivenValues = 3,
  kTicksFromColumns = 4,
  kTicksCategories = 5,
  kTicksAngle = 6,
  kTicksCurrency = 8,
};

// The key of a setting of the axis with the letter ('X' or 'Y').
std::string axisKey(const char* pattern, char letter);

struct AxisControllers {
  // Connects the settings of one axis under the keys of letter. The
  // currency-negative options go under currencyLetter's keys; labelSpaceKey
  // is "X Label Height" or "Y Label Width"; orientation only when asked.
  void connectTo(DataDrawingCommand& command, char letter, char currencyLetter, bool withOrientation);

  // The fixed range of "Crop": none when the text is empty or unusable
  // (the setting then explains why). The ends are taken in order.
  std::optional<KRBoundingRange> croppingRange() const;
  // The range that the numbers of "Include" span; invalid when there are none.
  KRBoundingRange includeRange() const;
  // The crop text of a range ("0,10"); empty for an invalid range.
  static std::string croppingText(const KRBoundingRange& range);
  // Whether a drag of the axis or a zoom rectangle may rewrite "Crop": not
  // while its text names a parameter, which would be lost.
  bool croppingMayChange() const;
  // Whether the range can be shown on this axis: finite ends with a width
  // between them, positive on logarithmic scales.
  bool canShow(const KRBoundingRange& range) const;
  // Writes the range as "Crop" (an invalid range makes the axis automatic
  // again), through undo when asked. A range the axis cannot show is refused
  // and nothing changes.
  bool setCroppingRange(const KRBoundingRange& range, bool recordUndo);
  // Moves the lower or the upper end of the range to value; the other end is
  // that of "Crop" or, while the axis is automatic, of the range shown.
  // Refused like setCroppingRange, and when the end would pass the other.
  bool setCroppingEdge(bool upperEnd, double value, const KRBoundingRange& shown, bool recordUndo);

  // Why the tick choice gives no ticks of its own: ticks from columns or
  // categories without a column, or with one that holds no positions or
  // categories (the axis then chooses its ticks automatically). None when
  // the choice works, or when a setting explains it itself (a column that
  // is not there).
  std::optional<std::string> ticksProblem() const;

  AxisScale scale() const { return static_cast<AxisScale>(scaleMenu->tag()); }
  bool isLinear() const { return scale() == AxisScale::Linear || scale() == AxisScale::Reversed; }
  bool isReversed() const { return scale() == AxisScale::Reversed || scale() == AxisScale::ReverseLog; }
  // The share of the automatic range added at each end.
  double paddingFraction() const;
  // The space kept for the labels with the number font size; none when it is
  // measured from the labels themselves.
  std::optional<double> reservedLabelSpace(double fontSize) const;

  char letter = 'X';
  std::shared_ptr<VKTokenTextController> title;
  std::shared_ptr<VKMenuInputController> scaleMenu;
  std::shared_ptr<VKNumberListController> include;
  std::shared_ptr<VKNumberListController> crop;
  std::shared_ptr<VKMenuInputController> padding;
  std::shared_ptr<VKButtonInputController> drawLabels;
  std::shared_ptr<VKMenuInputController> ticksChoice;
  std::shared_ptr<VKNumberInputController> ticksStride;
  std::shared_ptr<VKNumberListController> ticksValues;
  std::shared_ptr<VKNumberListController> minorTicksValues;
  std::shared_ptr<VKColumnSelector> tickLocations;
  std::shared_ptr<VKColumnSelector> tickLabels;
  std::shared_ptr<VKColumnSelector> categories;
  std::shared_ptr<VKButtonInputController> categoryTicks;
  std::shared_ptr<VKMenuInputController> angleUnit;
  std::shared_ptr<VKMenuInputController> currency;
  std::shared_ptr<VKButtonInputController> currencyNegative;
  std::shared_ptr<VKButtonInputController> currencyNegativeRed;
  std::shared_ptr<VKTextInputController> prefix;
  std::shared_ptr<VKTextInputController> suffix;
  std::shared_ptr<VKMenuInputController> labelSpace;
  std::shared_ptr<VKButtonInputController> datesWithTwoLines;
  // Only for x axes.
  std::shared_ptr<VKMenuInputController> orientation;
};

// Reads the title and scale of documents older than "% Title" and "% Type"
// into those keys, and drops the old keys so they are not written again.
void convertOlderAxisKeys(PlistDictionary& list, char letter);

}  // namespace orrelin
