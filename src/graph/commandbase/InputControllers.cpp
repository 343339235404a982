#include "graph/commandbase/InputControllers.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "document/parameters/VKVariable.h"
#include "expression/KRExpression.h"
#include "graph/commandbase/CommandDocument.h"
#include "graph/commandbase/CommandTexts.h"
#include "graph/commandbase/DataDrawingCommand.h"
#include "graph/commandbase/TextFormat.h"
#include "graph/commandbase/VKCommandGraph.h"
#include "table/OrrelinColumn.h"

namespace orrelin {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A number stored as an integer, a real or a boolean.
std::optional<double> numberIn(const PropertyList& value) {
  if (value.isNumber()) return value.real();
  if (value.isBoolean()) return value.boolean() ? 1.0 : 0.0;
  return std::nullopt;
}

// A whole number within int, from an integer or a real with no fraction.
std::optional<int> tagIn(const PropertyList& value) {
  auto number = numberIn(value);
  if (!number || !std::isfinite(*number) || *number != std::floor(*number) || std::fabs(*number) > 1e9)
    return std::nullopt;
  return static_cast<int>(*number);
}

bool usesAnyName(const std::vector<std::string>& used, const ParameterListChanges& changes) {
  return std::any_of(used.begin(), used.end(), [&](const std::string& name) { return changes.count(name) > 0; });
}

// Splits "a,b" at commas that are not inside brackets, so "max(1,2),3" has two parts.
std::vector<std::string> splitAtTopLevelCommas(const std::string& text) {
  std::vector<std::string> parts;
  std::string current;
  int depth = 0;
  for (char c : text) {
    if (c == '(' || c == '[') ++depth;
    if ((c == ')' || c == ']') && depth > 0) --depth;
    if (c == ',' && depth == 0) {
      parts.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  parts.push_back(current);
  return parts;
}

// Links owner to every parameter the formulas name.
void connectToParameters(VKInputController& owner, const std::vector<std::string>& names,
                         const std::function<bool(const std::shared_ptr<VKDependencyBase>&)>& connect) {
  auto* document = owner.commandDocument();
  if (!document) return;
  for (const auto& name : names)
    if (auto parameter = document->parameters().parameterWithName(name)) connect(parameter);
}

}  // namespace

// Buttons.

void VKButtonInputController::setFromPropertyList(const PropertyList* value) {
  selected_ = default_;
  if (!value) return;
  if (auto number = numberIn(*value))
    selected_ = *number != 0;
  else
    reportBadValue(*value, "a boolean");
}

void VKButtonInputController::setSelected(bool selected) {
  if (selected == selected_) return;
  selected_ = selected;
  changed();
}

// Menus.

VKMenuInputController::VKMenuInputController(std::vector<VKMenuEntry> entries, int defaultTag)
    : entries_(std::move(entries)), default_(defaultTag), tag_(defaultTag) {}

bool VKMenuInputController::hasTag(int tag) const {
  return entries_.empty() ||
         std::any_of(entries_.begin(), entries_.end(), [tag](const VKMenuEntry& e) { return e.tag == tag; });
}

std::optional<std::string> VKMenuInputController::titleOfTag(int tag) const {
  for (const auto& entry : entries_)
    if (entry.tag == tag) return entry.title;
  return std::nullopt;
}

PlistArray VKMenuInputController::entriesPropertyList() const {
  PlistArray list;
  for (const auto& entry : entries_) {
    PlistDictionary item;
    item["Tag"] = entry.tag;
    item["Title"] = entry.title;
    list.emplace_back(std::move(item));
  }
  return list;
}

void VKMenuInputController::setFromPropertyList(const PropertyList* value) {
  tag_ = default_;
  if (!value) return;
  auto tag = tagIn(*value);
  if (tag && hasTag(*tag))
    tag_ = *tag;
  else
    reportBadValue(*value, "the tag of a menu entry");
}

bool VKMenuInputController::setTag(int tag) {
  if (!hasTag(tag)) return false;
  if (tag != tag_) {
    tag_ = tag;
    changed();
  }
  return true;
}

// Formulas.

std::optional<double> FormulaText::evaluate(const VKInputController& owner) const {
  if (text_.empty()) return std::nullopt;
  KRExpressionErrorHandler errors;
  auto expression = KRExpression::createFromString(text_, &errors);
  if (!expression) return std::nullopt;
  std::map<std::string, double, std::less<>> arguments;
  auto* document = owner.commandDocument();
  for (const auto& name : expression->unknowns()) {
    std::optional<double> value = document ? document->parameters().valueForParameter(name) : std::nullopt;
    if (!value) return std::nullopt;
    arguments.emplace(name, *value);
  }
  return expression->evaluateNumberWithArguments(arguments);
}

std::vector<std::string> FormulaText::namesUsed() const {
  if (text_.empty()) return {};
  KRExpressionErrorHandler errors;
  auto expression = KRExpression::createFromString(text_, &errors);
  if (!expression) return {};
  return {expression->unknowns().begin(), expression->unknowns().end()};
}

// Number fields.

VKNumberInputController::VKNumberInputController(std::string defaultText)
    : default_(defaultText), formula_(std::move(defaultText)), value_(kNaN) {
  value_ = formula_.evaluate(*this).value_or(kNaN);
}

std::optional<PropertyList> VKNumberInputController::propertyList() const {
  PlistDictionary form{{"Text", formula_.text()}};
  // A value that is not finite cannot be written in every stored form.
  if (std::isfinite(value_)) form.emplace("Value", value_);
  return PropertyList(std::move(form));
}

void VKNumberInputController::setFromPropertyList(const PropertyList* value) {
  formula_.setText(default_);
  value_ = formula_.evaluate(*this).value_or(kNaN);
  if (!value) return;
  if (value->isDictionary()) {
    auto text = value->stringForKey("Text");
    if (!text) {
      reportBadValue(*value, "a dictionary with \"Text\"");
      return;
    }
    formula_.setText(*text);
    auto stored = value->numberForKey("Value");
    value_ = stored ? *stored : formula_.evaluate(*this).value_or(kNaN);
  } else if (value->isString()) {
    formula_.setText(value->string());
    value_ = formula_.evaluate(*this).value_or(kNaN);
  } else if (value->isNumber()) {
    value_ = value->real();
    KRNumberFormatter exact = KRNumberFormatter::createWithSignificantDigits(17, true);
    formula_.setText(exact.convertNumber(value_));
  } else {
    reportBadValue(*value, "a number field's dictionary");
  }
}

bool VKNumberInputController::recompute() {
  const double before = value_;
  value_ = formula_.evaluate(*this).value_or(kNaN);
  return !(before == value_ || (std::isnan(before) && std::isnan(value_)));
}

void VKNumberInputController::establishDependencyConnections() {
  disconnectAllSuppliers();
  connectToParameters(*this, formula_.namesUsed(), [this](const auto& p) { return connectToSupplier(p); });
  recompute();
}

void VKNumberInputController::entryChanged(VKDependencyBase* sender, DependencyVisitSet& alreadySentFor) {
  if (!alreadySentFor.count(this) && sender && hasSupplier(sender)) recompute();
  VKInputController::entryChanged(sender, alreadySentFor);
}

void VKNumberInputController::parameterListChanged(const ParameterListChanges& changes) {
  if (!usesAnyName(formula_.namesUsed(), changes)) return;
  establishDependencyConnections();
  changed();
}

std::optional<std::string> VKNumberInputController::errorExplanation() const {
  if (std::isfinite(value_)) return std::nullopt;
  return formatText(commandtext::kNumberNotValid, formula_.text(), settingName());
}

void VKNumberInputController::setText(const std::string& text) {
  if (text == formula_.text()) return;
  formula_.setText(text);
  establishDependencyConnections();
  changed();
}

// Text fields.

void VKTextInputController::setFromPropertyList(const PropertyList* value) {
  text_ = default_;
  if (!value) return;
  if (value->isString())
    text_ = value->string();
  else
    reportBadValue(*value, "a string");
}

void VKTextInputController::setText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  changed();
}

// Column selectors.

std::optional<PropertyList> VKColumnSelector::propertyList() const {
  PlistDictionary form;
  auto current = column();
  const std::string name = current ? current->name() : name_;
  const std::int64_t identity = current ? current->columnSerialNumber() : identity_;
  if (!name.empty()) form.emplace("Name", name);
  if (identity != 0) form.emplace("Serial", identity);
  return PropertyList(std::move(form));
}

void VKColumnSelector::setFromPropertyList(const PropertyList* value) {
  readStoredForm(value);
  // The column the stored form names is followed from now on, also when the
  // form comes back through undo; outside a document nothing is followed.
  establishDependencyConnections();
}

void VKColumnSelector::readStoredForm(const PropertyList* value) {
  name_.clear();
  identity_ = 0;
  column_.reset();
  if (!value) return;
  if (value->isString()) {  // a bare name
    name_ = value->string();
    return;
  }
  if (!value->isDictionary()) {
    reportBadValue(*value, "a column's dictionary");
    return;
  }
  if (auto name = value->stringForKey("Name")) name_ = *name;
  if (auto identity = value->integerForKey("Serial")) identity_ = *identity;
  const PropertyList* nameEntry = value->find("Name");
  const PropertyList* serialEntry = value->find("Serial");
  if ((nameEntry && !nameEntry->isString()) || (serialEntry && !serialEntry->isInteger()))
    reportBadValue(*value, "\"Name\" as a string and \"Serial\" as an integer");
}

bool VKColumnSelector::acceptable(const OrrelinColumn& column) const {
  if (column.isRowNumberColumn()) return allowRowNumber_;
  if (column.isNumberColumn()) return true;
  return allowStrings_ && column.isStringColumn();
}

std::shared_ptr<OrrelinColumn> VKColumnSelector::lookUp() const {
  auto* document = commandDocument();
  if (!document || !hasSelection()) return nullptr;
  if (identity_ != 0)
    if (auto found = document->columnWithIdentity(identity_); found && acceptable(*found)) return found;
  if (!name_.empty())
    if (auto found = document->columnWithName(name_); found && acceptable(*found)) return found;
  return nullptr;
}

std::shared_ptr<OrrelinColumn> VKColumnSelector::column() const {
  if (auto current = column_.lock()) return current;
  return lookUp();
}

void VKColumnSelector::establishDependencyConnections() {
  disconnectAllSuppliers();
  auto found = lookUp();
  column_ = found;
  if (!found) return;
  name_ = found->name();
  identity_ = found->columnSerialNumber();
  connectToSupplier(found);
}

void VKColumnSelector::selectColumn(const std::shared_ptr<OrrelinColumn>& column) {
  if (!column) {
    clearSelection();
    return;
  }
  if (column == column_.lock()) return;
  name_ = column->name();
  identity_ = column->columnSerialNumber();
  disconnectAllSuppliers();
  column_ = column;
  connectToSupplier(column);
  changed();
}

void VKColumnSelector::clearSelection() {
  if (!hasSelection()) return;
  name_.clear();
  identity_ = 0;
  column_.reset();
  disconnectAllSuppliers();
  changed();
}

void VKColumnSelector::replacedColumn(const OrrelinColumn* old, const std::shared_ptr<OrrelinColumn>& replacement) {
  auto current = column_.lock();
  if (!old || current.get() != old) return;
  disconnectAllSuppliers();
  column_.reset();
  if (replacement && acceptable(*replacement)) {
    name_ = replacement->name();
    identity_ = replacement->columnSerialNumber();
    column_ = replacement;
    connectToSupplier(replacement);
  }
  changed();
}

void VKColumnSelector::columnsWereRemoved(const std::vector<const OrrelinColumn*>& columns) {
  auto current = column_.lock();
  if (!current || std::find(columns.begin(), columns.end(), current.get()) == columns.end()) return;
  // The name stays, so the selection comes back when a column of that name does.
  disconnectAllSuppliers();
  column_.reset();
  identity_ = 0;
  changed();
}

void VKColumnSelector::updateAllColumnMenus() {
  auto before = column_.lock();
  auto found = lookUp();
  if (found == before) return;
  establishDependencyConnections();
  changed();
}

void VKColumnSelector::columnTypeMightHaveChanged(const OrrelinColumn* column) {
  auto current = column_.lock();
  if (current && current.get() == column && !acceptable(*current)) {
    disconnectAllSuppliers();
    column_.reset();
    changed();
  }
}

std::optional<std::string> VKColumnSelector::errorExplanation() const {
  if (!hasSelection() || column()) return std::nullopt;
  if (name_.empty()) return formatText(commandtext::kColumnNotFoundBySerial, settingName());
  return formatText(commandtext::kColumnNotFound, name_);
}

void VKColumnSelector::columnNamesUsed(std::vector<std::string>& names) const {
  auto current = column();
  const std::string name = current ? current->name() : name_;
  if (!name.empty()) names.push_back(name);
}

std::int32_t VKColumnSelector::columnSerialNumber() const {
  auto current = column();
  return current ? current->serialNumber() : -1;
}

// Colours.

PropertyList VKColorInputController::colorPropertyList(const KRColor& color) {
  const char* space = color.space == KRColor::Space::RGB ? "RGB" : color.space == KRColor::Space::CMYK ? "CMYK" : "Grey";
  PlistArray components;
  for (int i = 0; i < color.numberOfComponents(); ++i) components.push_back(color.components[i]);
  return PlistDictionary{{"Space", space}, {"Components", std::move(components)}, {"Alpha", color.alpha}};
}

std::optional<KRColor> VKColorInputController::colorFromPropertyList(const PropertyList& value) {
  auto space = value.stringForKey("Space");
  const PlistArray* components = value.arrayForKey("Components");
  if (!space || !components) return std::nullopt;
  KRColor color;
  if (*space == "RGB")
    color.space = KRColor::Space::RGB;
  else if (*space == "Grey")
    color.space = KRColor::Space::Grey;
  else if (*space == "CMYK")
    color.space = KRColor::Space::CMYK;
  else
    return std::nullopt;
  if (static_cast<int>(components->size()) != color.numberOfComponents()) return std::nullopt;
  for (std::size_t i = 0; i < components->size(); ++i) {
    if (!(*components)[i].isNumber()) return std::nullopt;
    color.components[i] = (*components)[i].real();
    if (!(color.components[i] >= 0 && color.components[i] <= 1)) return std::nullopt;
  }
  color.alpha = value.numberForKey("Alpha").value_or(1.0);
  if (!(color.alpha >= 0 && color.alpha <= 1)) return std::nullopt;
  return color;
}

std::optional<PropertyList> VKColorInputController::propertyList() const { return colorPropertyList(color_); }

void VKColorInputController::setFromPropertyList(const PropertyList* value) {
  color_ = default_;
  if (!value) return;
  if (auto color = colorFromPropertyList(*value))
    color_ = *color;
  else
    reportBadValue(*value, "a colour");
}

void VKColorInputController::setColor(const KRColor& color) {
  if (color == color_) return;
  color_ = color;
  changed();
}

// Line, fill and font styles. Each key is read on its own: a bad entry falls
// back to the default of that entry alone.

namespace {

// Reads one entry of a style's dictionary; read answers false for a value it
// cannot use, which leaves that entry's default and marks the form bad.
template <class Read>
void readEntry(const PropertyList& form, const char* key, Read read, bool& bad) {
  const PropertyList* entry = form.find(key);
  if (entry && !read(*entry)) bad = true;
}

// A colour entry of a style's dictionary; one that is not a colour leaves the
// target as it was and marks the dictionary bad.
void readColorEntry(const PropertyList& form, const char* key, KRColor& target, bool& bad) {
  readEntry(form, key, [&](const PropertyList& e) {
    auto color = VKColorInputController::colorFromPropertyList(e);
    if (color) target = *color;
    return color.has_value();
  }, bad);
}

}  // namespace

std::optional<PropertyList> VKLineStyleInputController::propertyList() const {
  return PropertyList(PlistDictionary{{"Tag", style_.tag},
                                      {"Width", style_.width},
                                      {"Color", VKColorInputController::colorPropertyList(style_.color)}});
}

void VKLineStyleInputController::setFromPropertyList(const PropertyList* value) {
  style_ = default_;
  if (!value) return;
  if (!value->isDictionary()) {
    reportBadValue(*value, "a line style's dictionary");
    return;
  }
  bool bad = false;
  readEntry(*value, "Tag", [&](const PropertyList& e) {
    auto tag = tagIn(e);
    if (!tag || *tag < 1 || *tag > 10) return false;
    style_.tag = *tag;
    return true;
  }, bad);
  readEntry(*value, "Width", [&](const PropertyList& e) {
    if (!e.isNumber() || !(e.real() >= 0) || !std::isfinite(e.real())) return false;
    style_.width = e.real();
    return true;
  }, bad);
  readColorEntry(*value, "Color", style_.color, bad);
  if (bad) reportBadValue(*value, "a line style with \"Tag\" 1 to 10, \"Width\" and \"Color\"");
}

std::optional<PropertyList> VKFillStyleInputController::propertyList() const {
  return PropertyList(PlistDictionary{{"Kind", style_.kind},
                                      {"Color", VKColorInputController::colorPropertyList(style_.color)},
                                      {"Second Color", VKColorInputController::colorPropertyList(style_.secondColor)},
                                      {"Pattern", style_.pattern},
                                      {"Angle", style_.angle}});
}

void VKFillStyleInputController::setFromPropertyList(const PropertyList* value) {
  style_ = default_;
  if (!value) return;
  if (!value->isDictionary()) {
    reportBadValue(*value, "a fill style's dictionary");
    return;
  }
  bool bad = false;
  readEntry(*value, "Kind", [&](const PropertyList& e) {
    auto tag = tagIn(e);
    if (!tag || !(*tag == 1 || *tag == 2 || *tag == 3 || *tag == 5 || *tag == 6)) return false;
    style_.kind = *tag;
    return true;
  }, bad);
  readColorEntry(*value, "Color", style_.color, bad);
  readColorEntry(*value, "Second Color", style_.secondColor, bad);
  readEntry(*value, "Pattern", [&](const PropertyList& e) {
    auto tag = tagIn(e);
    if (!tag) return false;
    style_.pattern = *tag;
    return true;
  }, bad);
  readEntry(*value, "Angle", [&](const PropertyList& e) {
    if (!e.isNumber() || !std::isfinite(e.real())) return false;
    style_.angle = e.real();
    return true;
  }, bad);
  if (bad) reportBadValue(*value, "a fill style with \"Kind\" 1, 2, 3, 5 or 6, colours, \"Pattern\" and \"Angle\"");
}

std::optional<PropertyList> VKFontStyleInputController::propertyList() const {
  return PropertyList(PlistDictionary{{"Font", style_.which},
                                      {"Family", style_.family},
                                      {"Size", style_.size},
                                      {"Color", VKColorInputController::colorPropertyList(style_.color)}});
}

void VKFontStyleInputController::setFromPropertyList(const PropertyList* value) {
  style_ = default_;
  if (!value) return;
  if (!value->isDictionary()) {
    reportBadValue(*value, "a font's dictionary");
    return;
  }
  bool bad = false;
  readEntry(*value, "Font", [&](const PropertyList& e) {
    auto tag = tagIn(e);
    if (!tag || *tag < 1 || *tag > 5) return false;
    style_.which = *tag;
    return true;
  }, bad);
  readEntry(*value, "Family", [&](const PropertyList& e) {
    if (!e.isString()) return false;
    style_.family = e.string();
    return true;
  }, bad);
  readEntry(*value, "Size", [&](const PropertyList& e) {
    if (!e.isNumber() || !(e.real() > 0) || !std::isfinite(e.real())) return false;
    style_.size = e.real();
    return true;
  }, bad);
  readColorEntry(*value, "Color", style_.color, bad);
  if (bad) reportBadValue(*value, "a font with \"Font\" 1 to 5, \"Family\", \"Size\" and \"Color\"");
}

// Masks.

void VKMaskInputController::setFromPropertyList(const PropertyList* value) {
  formula_.setText({});
  if (!value) return;
  if (value->isString())
    formula_.setText(value->string());
  else
    reportBadValue(*value, "a string");
}

void VKMaskInputController::establishDependencyConnections() {
  disconnectAllSuppliers();
  missing_.clear();
  auto* document = commandDocument();
  if (!document) return;
  for (const auto& name : formula_.namesUsed()) {
    if (auto column = document->columnWithName(name))
      connectToSupplier(column);
    else if (auto parameter = document->parameters().parameterWithName(name))
      connectToSupplier(parameter);
    else
      missing_.push_back(name);
  }
}

void VKMaskInputController::parameterListChanged(const ParameterListChanges& changes) {
  if (!usesAnyName(formula_.namesUsed(), changes)) return;
  establishDependencyConnections();
  changed();
}

void VKMaskInputController::columnNamesUsed(std::vector<std::string>& names) const {
  auto* document = commandDocument();
  for (const auto& name : formula_.namesUsed())
    if (!document || document->columnWithName(name)) names.push_back(name);
}

std::optional<std::string> VKMaskInputController::errorExplanation() const {
  if (missing_.empty()) return std::nullopt;
  return formatText(commandtext::kColumnNotFound, missing_.front());
}

void VKMaskInputController::setText(const std::string& text) {
  if (text == formula_.text()) return;
  formula_.setText(text);
  establishDependencyConnections();
  changed();
}

// Axis selectors.

std::optional<PropertyList> VKAxisSelectorController::propertyList() const {
  return PropertyList(PlistDictionary{{commandtext::kWhichX, x_}, {commandtext::kWhichY, y_}});
}

void VKAxisSelectorController::setFromPropertyList(const PropertyList* value) {
  x_ = y_ = 0;
  if (!value) return;
  const PropertyList* x = value->isDictionary() ? value->find(commandtext::kWhichX) : nullptr;
  const PropertyList* y = value->isDictionary() ? value->find(commandtext::kWhichY) : nullptr;
  auto xTag = x ? tagIn(*x) : std::optional<int>(0);
  auto yTag = y ? tagIn(*y) : std::optional<int>(0);
  if (value->isDictionary() && xTag && yTag && *xTag >= 0 && *yTag >= 0) {
    x_ = *xTag;
    y_ = *yTag;
  } else {
    reportBadValue(*value, "\"Which X\" and \"Which Y\" as axis numbers");
  }
}

void VKAxisSelectorController::setAxes(int x, int y) {
  x = std::max(x, 0);
  y = std::max(y, 0);
  if (x == x_ && y == y_) return;
  x_ = x;
  y_ = y;
  changed();
}

// Ranges.

std::optional<PropertyList> VKRangeInputController::propertyList() const {
  return PropertyList(PlistDictionary{{"Min", min_.text()}, {"Max", max_.text()}});
}

void VKRangeInputController::setFromPropertyList(const PropertyList* value) {
  min_.setText({});
  max_.setText({});
  if (!value) return;
  auto low = value->stringForKey("Min");
  auto high = value->stringForKey("Max");
  const bool lowBad = value->find("Min") && !low;
  const bool highBad = value->find("Max") && !high;
  if (!value->isDictionary() || lowBad || highBad) {
    reportBadValue(*value, "\"Min\" and \"Max\" as strings");
    if (!value->isDictionary()) return;
  }
  if (low) min_.setText(*low);
  if (high) max_.setText(*high);
}

void VKRangeInputController::establishDependencyConnections() {
  disconnectAllSuppliers();
  auto names = min_.namesUsed();
  auto more = max_.namesUsed();
  names.insert(names.end(), more.begin(), more.end());
  connectToParameters(*this, names, [this](const auto& p) { return connectToSupplier(p); });
}

void VKRangeInputController::parameterListChanged(const ParameterListChanges& changes) {
  auto names = min_.namesUsed();
  auto more = max_.namesUsed();
  names.insert(names.end(), more.begin(), more.end());
  if (!usesAnyName(names, changes)) return;
  establishDependencyConnections();
  changed();
}

KRBoundingRange VKRangeInputController::range() const {
  if (min_.text().empty() && max_.text().empty()) return KRBoundingRange::invalid();
  const double inf = std::numeric_limits<double>::infinity();
  std::optional<double> low = min_.text().empty() ? std::optional<double>(-inf) : min_.evaluate(*this);
  std::optional<double> high = max_.text().empty() ? std::optional<double>(inf) : max_.evaluate(*this);
  if (!low || !high || std::isnan(*low) || std::isnan(*high) || *low > *high) return KRBoundingRange::empty();
  return {*low, *high, false, true};
}

std::optional<std::string> VKRangeInputController::errorExplanation() const {
  for (const FormulaText* side : {&min_, &max_})
    if (!side->text().empty() && !side->evaluate(*this))
      return formatText(commandtext::kNumberNotValid, side->text(), settingName());
  return std::nullopt;
}

void VKRangeInputController::setTexts(const std::string& minText, const std::string& maxText) {
  if (minText == min_.text() && maxText == max_.text()) return;
  min_.setText(minText);
  max_.setText(maxText);
  establishDependencyConnections();
  changed();
}

// Points.

std::vector<FormulaText> VKPointInputController::parts() const {
  std::vector<FormulaText> result;
  for (auto& part : splitAtTopLevelCommas(text_)) result.emplace_back(part);
  return result;
}

void VKPointInputController::setFromPropertyList(const PropertyList* value) {
  text_ = default_;
  if (!value) return;
  if (value->isString())
    text_ = value->string();
  else
    reportBadValue(*value, "a string");
}

void VKPointInputController::establishDependencyConnections() {
  disconnectAllSuppliers();
  std::vector<std::string> names;
  for (const auto& part : parts()) {
    auto used = part.namesUsed();
    names.insert(names.end(), used.begin(), used.end());
  }
  connectToParameters(*this, names, [this](const auto& p) { return connectToSupplier(p); });
}

void VKPointInputController::parameterListChanged(const ParameterListChanges& changes) {
  std::vector<std::string> names;
  for (const auto& part : parts()) {
    auto used = part.namesUsed();
    names.insert(names.end(), used.begin(), used.end());
  }
  if (!usesAnyName(names, changes)) return;
  establishDependencyConnections();
  changed();
}

std::optional<KRPoint> VKPointInputController::point() const {
  auto pieces = parts();
  if (pieces.size() != 2) return std::nullopt;
  auto x = pieces[0].evaluate(*this);
  auto y = pieces[1].evaluate(*this);
  if (!x || !y) return std::nullopt;
  return KRPoint{*x, *y};
}

std::optional<std::string> VKPointInputController::errorExplanation() const {
  if (point()) return std::nullopt;
  return formatText(commandtext::kNumberNotValid, text_, settingName());
}

void VKPointInputController::setText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  establishDependencyConnections();
  changed();
}

// Command selectors.

std::optional<PropertyList> VKDrawingCommandSelector::propertyList() const {
  int index = index_;
  std::string type = type_;
  auto current = command_.lock();
  auto* owner = usedInside();
  if (current && owner && owner->insideDrawing()) {
    index = owner->insideDrawing()->indexOfCommand(current.get());
    type = current->type();
  }
  if (index < 0) return PropertyList(PlistDictionary{});
  return PropertyList(PlistDictionary{{"Index", index}, {"Type", type}});
}

void VKDrawingCommandSelector::setFromPropertyList(const PropertyList* value) {
  index_ = -1;
  type_.clear();
  command_.reset();
  if (!value) return;
  if (!value->isDictionary()) {
    reportBadValue(*value, "a command's dictionary");
    return;
  }
  if (value->dictionary().empty()) return;
  const PropertyList* index = value->find("Index");
  auto type = value->stringForKey("Type");
  auto tag = index ? tagIn(*index) : std::nullopt;
  if (!tag || *tag < 0 || !type) {
    reportBadValue(*value, "\"Index\" as a command position and \"Type\" as a string");
    return;
  }
  index_ = *tag;
  type_ = *type;
}

void VKDrawingCommandSelector::establishDependencyConnections() {
  disconnectAllSuppliers();
  command_.reset();
  auto* owner = usedInside();
  if (index_ < 0 || !owner || !owner->insideDrawing()) return;
  const auto& commands = owner->insideDrawing()->commands();
  if (index_ >= static_cast<int>(commands.size())) return;
  const auto& candidate = commands[index_];
  if (candidate.get() == owner || candidate->type() != type_ || !owner->commandSelectorShouldAllow(*this, *candidate))
    return;
  if (connectToSupplier(candidate)) command_ = candidate;
}

bool VKDrawingCommandSelector::selectCommand(const std::shared_ptr<DataDrawingCommand>& command) {
  if (!command) {
    clearSelection();
    return true;
  }
  auto* owner = usedInside();
  if (!owner || command.get() == owner || !owner->commandSelectorShouldAllow(*this, *command)) return false;
  if (command == command_.lock()) return true;
  if (!canAddSupplier(command)) return false;
  disconnectAllSuppliers();
  connectToSupplier(command);
  command_ = command;
  rememberPosition();
  changed();
  return true;
}

void VKDrawingCommandSelector::clearSelection() {
  if (index_ < 0 && !command_.lock()) return;
  index_ = -1;
  type_.clear();
  command_.reset();
  disconnectAllSuppliers();
  changed();
}

void VKDrawingCommandSelector::rememberPosition() {
  auto current = command_.lock();
  auto* owner = usedInside();
  if (!current || !owner || !owner->insideDrawing()) return;
  index_ = owner->insideDrawing()->indexOfCommand(current.get());
  type_ = current->type();
}

void VKDrawingCommandSelector::removingDrawingCommand(const DataDrawingCommand* command) {
  if (command && command == command_.lock().get()) clearSelection();
}

void VKDrawingCommandSelector::drawingCommandsWereReordered() { rememberPosition(); }

std::optional<std::string> VKDrawingCommandSelector::errorExplanation() const {
  if (index_ < 0 || command_.lock()) return std::nullopt;
  return formatText(commandtext::kCommandNotFound, settingName());
}

std::vector<std::shared_ptr<DataDrawingCommand>> VKDrawingCommandSelector::allowedCommands() const {
  std::vector<std::shared_ptr<DataDrawingCommand>> result;
  auto* owner = usedInside();
  if (!owner || !owner->insideDrawing()) return result;
  for (const auto& command : owner->insideDrawing()->commands())
    if (command.get() != owner && owner->commandSelectorShouldAllow(*this, *command)) result.push_back(command);
  return result;
}

// Number formats.

std::optional<PropertyList> VKNumberFormatController::propertyList() const {
  return PropertyList(PlistDictionary{{"Format", format_}, {"Digits", digits_}});
}

void VKNumberFormatController::setFromPropertyList(const PropertyList* value) {
  format_ = 0;
  digits_ = 4;
  if (!value) return;
  auto format = value->isDictionary() && value->find("Format") ? tagIn(*value->find("Format")) : std::optional<int>(0);
  auto digits = value->isDictionary() && value->find("Digits") ? tagIn(*value->find("Digits")) : std::optional<int>(4);
  if (!value->isDictionary() || !format || *format < 0 || *format > 2 || !digits || *digits < 0 || *digits > 18) {
    reportBadValue(*value, "\"Format\" 0 to 2 and \"Digits\" 0 to 18");
    return;
  }
  format_ = *format;
  digits_ = *digits;
}

KRNumberFormatter VKNumberFormatController::formatter() const {
  switch (format_) {
    case 1: return KRNumberFormatter::createWithFixedDigitsAfterDecimal(digits_);
    case 2: return KRNumberFormatter::createWithScientificNotationDigits(digits_);
    default: return KRNumberFormatter::createWithSignificantDigits(std::max(digits_, 1));
  }
}

}  // namespace orrelin
