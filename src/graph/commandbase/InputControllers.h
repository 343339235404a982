#pragma once
// The kinds of settings the commands use. Each keeps its value, has a stored
// form (docs/command-settings.md lists them), and links itself to the columns,
// parameters and commands it names, so that their changes reach the command.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "axes/ticks/KRNumberFormatter.h"
#include "graph/commandbase/KRBoundingRange.h"
#include "graph/commandbase/VKInputController.h"
#include "platform/KRColor.h"
#include "platform/PageGeometry.h"

namespace orrelin {

class DataDrawingCommand;
class OrrelinColumn;

// A check box or a button with an on/off state: a boolean.
class VKButtonInputController : public VKInputController {
 public:
  explicit VKButtonInputController(bool defaultState = false) : default_(defaultState), selected_(defaultState) {}
  const char* className() const override { return "VKButtonInputController"; }
  std::optional<PropertyList> propertyList() const override { return PropertyList(selected_); }
  void setFromPropertyList(const PropertyList* value) override;
  bool isSelected() const { return selected_; }
  // Tells the clients when the state changes.
  void setSelected(bool selected);

 private:
  bool default_;
  bool selected_;
};

struct VKMenuEntry {
  int tag;
  std::string title;
};

// A pop-up menu: the tag of the chosen entry, an integer.
class VKMenuInputController : public VKInputController {
 public:
  VKMenuInputController(std::vector<VKMenuEntry> entries, int defaultTag);
  const char* className() const override { return "VKMenuInputController"; }
  std::optional<PropertyList> propertyList() const override { return PropertyList(tag_); }
  void setFromPropertyList(const PropertyList* value) override;
  int tag() const { return tag_; }
  // A tag the menu does not have is refused.
  bool setTag(int tag);
  const std::vector<VKMenuEntry>& entries() const { return entries_; }
  bool hasTag(int tag) const;
  std::optional<std::string> titleOfTag(int tag) const;
  // The entries as the list of {"Tag", "Title"} dictionaries.
  PlistArray entriesPropertyList() const;

 private:
  std::vector<VKMenuEntry> entries_;
  int default_;
  int tag_;
};

// A row of segments, one chosen: stored like a menu.
class VKSegmentedInputController : public VKMenuInputController {
 public:
  using VKMenuInputController::VKMenuInputController;
  const char* className() const override { return "VKSegmentedInputController"; }
};

// A formula text and what it computes to. Names in the formula are
// parameters of the document.
class FormulaText {
 public:
  explicit FormulaText(std::string text = {}) : text_(std::move(text)) {}
  const std::string& text() const { return text_; }
  void setText(std::string text) { text_ = std::move(text); }
  // The value with the document's parameters; none when it does not compute.
  std::optional<double> evaluate(const VKInputController& owner) const;
  // The names the formula uses.
  std::vector<std::string> namesUsed() const;

 private:
  std::string text_;
};

// A number field: keeps the text as typed and the value it gives. The stored
// value is used until the document can compute the text again.
class VKNumberInputController : public VKInputController {
 public:
  explicit VKNumberInputController(std::string defaultText = "0");
  const char* className() const override { return "VKNumberInputController"; }
  std::optional<PropertyList> propertyList() const override;
  void setFromPropertyList(const PropertyList* value) override;
  void establishDependencyConnections() override;
  void entryChanged(VKDependencyBase* sender, DependencyVisitSet& alreadySentFor) override;
  using VKInputController::entryChanged;
  void parameterListChanged(const ParameterListChanges& changes) override;
  std::optional<std::string> errorExplanation() const override;

  const std::string& text() const { return formula_.text(); }
  // NaN when the text does not compute.
  double value() const { return value_; }
  void setText(const std::string& text);

 private:
  bool recompute();

  std::string default_;
  FormulaText formula_;
  double value_;
};

// A text field: a string.
class VKTextInputController : public VKInputController {
 public:
  explicit VKTextInputController(std::string defaultText = {}) : default_(defaultText), text_(std::move(defaultText)) {}
  const char* className() const override { return "VKTextInputController"; }
  std::optional<PropertyList> propertyList() const override { return PropertyList(text_); }
  void setFromPropertyList(const PropertyList* value) override;
  const std::string& text() const { return text_; }
  void setText(const std::string& text);

 private:
  std::string default_;
  std::string text_;
};

// A legend, title or label text with tokens, kept as given: a string.
class VKTokenTextController : public VKTextInputController {
 public:
  using VKTextInputController::VKTextInputController;
  const char* className() const override { return "VKTokenTextController"; }
};

// Picks a column. Stored by the column's identity number and its name, so a
// renamed column is still found (by number) and a column of another document
// is found by name.
class VKColumnSelector : public VKInputController {
 public:
  explicit VKColumnSelector(bool allowRowNumber = false, bool allowStrings = false)
      : allowRowNumber_(allowRowNumber), allowStrings_(allowStrings) {}
  const char* className() const override { return "VKColumnSelector"; }
  std::optional<PropertyList> propertyList() const override;
  void setFromPropertyList(const PropertyList* value) override;
  void establishDependencyConnections() override;
  void replacedColumn(const OrrelinColumn* old, const std::shared_ptr<OrrelinColumn>& replacement) override;
  void columnsWereRemoved(const std::vector<const OrrelinColumn*>& columns) override;
  void updateAllColumnMenus() override;
  void columnTypeMightHaveChanged(const OrrelinColumn* column) override;
  std::optional<std::string> errorExplanation() const override;
  void columnNamesUsed(std::vector<std::string>& names) const override;

  // The selected column, none when nothing is selected or it is not there.
  std::shared_ptr<OrrelinColumn> column() const;
  bool hasSelection() const { return !name_.empty() || identity_ != 0; }
  const std::string& columnName() const { return name_; }
  std::int64_t columnIdentity() const { return identity_; }
  void selectColumn(const std::shared_ptr<OrrelinColumn>& column);
  void clearSelection();
  // The selected column's serial number, -1 when there is none.
  std::int32_t columnSerialNumber() const;

 private:
  std::shared_ptr<OrrelinColumn> lookUp() const;
  bool acceptable(const OrrelinColumn& column) const;
  void readStoredForm(const PropertyList* value);

  bool allowRowNumber_;
  bool allowStrings_;
  std::string name_;
  std::int64_t identity_ = 0;
  std::weak_ptr<OrrelinColumn> column_;
};

// A colour: {"Space", "Components", "Alpha"}.
class VKColorInputController : public VKInputController {
 public:
  explicit VKColorInputController(KRColor defaultColor = KRColor::black()) : default_(defaultColor), color_(defaultColor) {}
  const char* className() const override { return "VKColorInputController"; }
  std::optional<PropertyList> propertyList() const override;
  void setFromPropertyList(const PropertyList* value) override;
  const KRColor& color() const { return color_; }
  void setColor(const KRColor& color);

  static PropertyList colorPropertyList(const KRColor& color);
  // None when the dictionary does not describe a colour.
  static std::optional<KRColor> colorFromPropertyList(const PropertyList& value);

 private:
  KRColor default_;
  KRColor color_;
};

struct VKLineStyle {
  int tag = 2;
  double width = 1;
  KRColor color = KRColor::black();
  bool operator==(const VKLineStyle&) const = default;
};

// A line: menu tag (1 "No Line", 2 to 10 the dash patterns), width, colour.
class VKLineStyleInputController : public VKInputController {
 public:
  using Style = VKLineStyle;
  explicit VKLineStyleInputController(Style defaultStyle = {}) : default_(defaultStyle), style_(defaultStyle) {}
  const char* className() const override { return "VKLineStyleInputController"; }
  std::optional<PropertyList> propertyList() const override;
  void setFromPropertyList(const PropertyList* value) override;
  const Style& style() const { return style_; }
  bool drawsLine() const { return style_.tag != 1; }

 private:
  Style default_;
  Style style_;
};

struct VKFillStyle {
  int kind = 1;
  KRColor color = KRColor::grey(0.5);
  KRColor secondColor = KRColor::white();
  int pattern = 1;
  double angle = 0;
  bool operator==(const VKFillStyle&) const = default;
};

// A fill: kind tag (1 "Nothing", 2 "Solid color", 3 "Pattern", 5 "Gradient",
// 6 "Noise"), colours, pattern number and gradient angle.
class VKFillStyleInputController : public VKInputController {
 public:
  using Style = VKFillStyle;
  explicit VKFillStyleInputController(Style defaultStyle = {}) : default_(defaultStyle), style_(defaultStyle) {}
  const char* className() const override { return "VKFillStyleInputController"; }
  std::optional<PropertyList> propertyList() const override;
  void setFromPropertyList(const PropertyList* value) override;
  const Style& style() const { return style_; }
  bool fills() const { return style_.kind != 1; }

 private:
  Style default_;
  Style style_;
};

struct VKFontStyle {
  int which = 1;
  std::string family = "Helvetica";
  double size = 12;
  KRColor color = KRColor::black();
  bool operator==(const VKFontStyle&) const = default;
};

// A font: which of the graph's fonts (1 "Main", 2 "Title", 3 "Axis",
// 4 "Label", 5 "Local"); the family, size and colour of a local font.
class VKFontStyleInputController : public VKInputController {
 public:
  using Style = VKFontStyle;
  explicit VKFontStyleInputController(Style defaultStyle = {}) : default_(defaultStyle), style_(defaultStyle) {}
  const char* className() const override { return "VKFontStyleInputController"; }
  std::optional<PropertyList> propertyList() const override;
  void setFromPropertyList(const PropertyList* value) override;
  const Style& style() const { return style_; }

 private:
  Style default_;
  Style style_;
};

// A row mask: a formula over columns and parameters that is true for the
// rows to keep; an empty text masks nothing.
class VKMaskInputController : public VKInputController {
 public:
  const char* className() const override { return "VKMaskInputController"; }
  std::optional<PropertyList> propertyList() const override { return PropertyList(formula_.text()); }
  void setFromPropertyList(const PropertyList* value) override;
  void establishDependencyConnections() override;
  void parameterListChanged(const ParameterListChanges& changes) override;
  void columnNamesUsed(std::vector<std::string>& names) const override;
  std::optional<std::string> errorExplanation() const override;
  const std::string& text() const { return formula_.text(); }
  bool isDefined() const { return !formula_.text().empty(); }
  void setText(const std::string& text);

 private:
  FormulaText formula_;
  std::vector<std::string> missing_;
};

// Which x axis and which y axis a command uses: {"Which X", "Which Y"}.
class VKAxisSelectorController : public VKInputController {
 public:
  const char* className() const override { return "VKAxisSelectorController"; }
  std::optional<PropertyList> propertyList() const override;
  void setFromPropertyList(const PropertyList* value) override;
  int whichX() const { return x_; }
  int whichY() const { return y_; }
  // Tells the clients when the choice changes. Negative numbers are taken as 0.
  void setAxes(int x, int y);

 private:
  int x_ = 0;
  int y_ = 0;
};

// A range from two formula texts, an empty side leaving that end open:
// {"Min", "Max"}.
class VKRangeInputController : public VKInputController {
 public:
  const char* className() const override { return "VKRangeInputController"; }
  std::optional<PropertyList> propertyList() const override;
  void setFromPropertyList(const PropertyList* value) override;
  void establishDependencyConnections() override;
  void parameterListChanged(const ParameterListChanges& changes) override;
  std::optional<std::string> errorExplanation() const override;
  const std::string& minText() const { return min_.text(); }
  const std::string& maxText() const { return max_.text(); }
  void setTexts(const std::string& minText, const std::string& maxText);
  // Invalid when both sides are empty; an open side is infinite; empty when
  // a side does not compute or the minimum is above the maximum.
  KRBoundingRange range() const;

 private:
  FormulaText min_;
  FormulaText max_;
};

// A point or a pair of numbers ("0,0", "2,0"): the text as typed, each part a formula.
class VKPointInputController : public VKInputController {
 public:
  explicit VKPointInputController(std::string defaultText = "0,0") : default_(defaultText), text_(std::move(defaultText)) {}
  const char* className() const override { return "VKPointInputController"; }
  std::optional<PropertyList> propertyList() const override { return PropertyList(text_); }
  void setFromPropertyList(const PropertyList* value) override;
  void establishDependencyConnections() override;
  void parameterListChanged(const ParameterListChanges& changes) override;
  std::optional<std::string> errorExplanation() const override;
  const std::string& text() const { return text_; }
  void setText(const std::string& text);
  // None when the text is not two numbers separated by a comma.
  std::optional<KRPoint> point() const;

 private:
  std::vector<FormulaText> parts() const;
  std::string default_;
  std::string text_;
};

// Picks another command of the same graph: {"Index", "Type"}, its position
// in the graph and its kind. The owning command decides which kinds it offers.
class VKDrawingCommandSelector : public VKInputController {
 public:
  const char* className() const override { return "VKDrawingCommandSelector"; }
  std::optional<PropertyList> propertyList() const override;
  void setFromPropertyList(const PropertyList* value) override;
  void establishDependencyConnections() override;
  void removingDrawingCommand(const DataDrawingCommand* command) override;
  void drawingCommandsWereReordered() override;
  std::optional<std::string> errorExplanation() const override;

  std::shared_ptr<DataDrawingCommand> selectedCommand() const { return command_.lock(); }
  bool hasSelection() const { return index_ >= 0; }
  // Refused for a command the owner does not allow, or one that depends on
  // the owner (a cycle).
  bool selectCommand(const std::shared_ptr<DataDrawingCommand>& command);
  void clearSelection();
  // The commands of the owner's graph that it allows.
  std::vector<std::shared_ptr<DataDrawingCommand>> allowedCommands() const;

 private:
  void rememberPosition();

  int index_ = -1;
  std::string type_;
  std::weak_ptr<DataDrawingCommand> command_;
};

// How numbers are written next to points: {"Format", "Digits"}, the format
// 0 significant digits, 1 digits after the decimal separator, 2 scientific.
class VKNumberFormatController : public VKInputController {
 public:
  const char* className() const override { return "VKNumberFormatController"; }
  std::optional<PropertyList> propertyList() const override;
  void setFromPropertyList(const PropertyList* value) override;
  int format() const { return format_; }
  int digits() const { return digits_; }
  KRNumberFormatter formatter() const;

 private:
  int format_ = 0;
  int digits_ = 4;
};

}  // namespace orrelin
