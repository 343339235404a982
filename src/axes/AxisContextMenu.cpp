#include "axes/AxisContextMenu.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "axes/AxisTexts.h"
#include "graph/commandbase/CommandDocument.h"
#include "table/OrrelinColumn.h"

namespace orrelin {

namespace {

using Kind = AxisMenuItem::Kind;

AxisMenuItem choiceItem(std::string title, const VKMenuInputController& menu, int chosen) {
  AxisMenuItem item;
  item.title = std::move(title);
  item.kind = Kind::Choice;
  item.choices = menu.entries();
  item.chosenTag = chosen;
  return item;
}

AxisMenuItem toggleItem(std::string title, bool on) {
  AxisMenuItem item;
  item.title = std::move(title);
  item.kind = Kind::Toggle;
  item.checked = on;
  return item;
}

bool hasChoice(const AxisMenuItem& item, int tag) {
  return std::any_of(item.choices.begin(), item.choices.end(), [tag](const VKMenuEntry& e) { return e.tag == tag; });
}

// A whole number; a real without a fraction counts as one.
std::optional<int> tagArgument(const PropertyList& argument) {
  if (!argument.isNumber()) return std::nullopt;
  const double value = argument.real();
  if (!(std::fabs(value) < 1e9) || value != std::floor(value)) return std::nullopt;
  return static_cast<int>(value);
}

bool chooseTag(VKMenuInputController& menu, const AxisMenuItem& item, const PropertyList& argument) {
  auto tag = tagArgument(argument);
  if (!tag || !hasChoice(item, *tag)) return false;
  if (*tag != menu.tag()) menu.setFromPropertyListRecordUndo(PropertyList(*tag));
  return true;
}

void flip(VKButtonInputController& button) { button.setFromPropertyListRecordUndo(PropertyList(!button.isSelected())); }

// The category column by its name; an empty name chooses none. Row numbers
// and columns of other kinds are not categories.
bool chooseCategoryColumn(VKColumnSelector& selector, const PropertyList& argument) {
  if (!argument.isString()) return false;
  const std::string& name = argument.string();
  if (name.empty()) {
    if (selector.hasSelection()) selector.setFromPropertyListRecordUndo(PropertyList(PlistDictionary{}));
    return true;
  }
  CommandDocument* document = selector.commandDocument();
  auto column = document ? document->columnWithName(name) : nullptr;
  if (!column || column->isRowNumberColumn() || !column->holdsValues()) return false;
  if (column == selector.column()) return true;
  selector.setFromPropertyListRecordUndo(
      PropertyList(PlistDictionary{{"Name", column->name()}, {"Serial", column->columnSerialNumber()}}));
  // Follow the column from now on, so that a change of its texts reaches the axis.
  selector.establishDependencyConnections();
  return true;
}

}  // namespace

const AxisMenuItem* findMenuItem(const std::vector<AxisMenuItem>& menu, const std::vector<std::string>& path) {
  const std::vector<AxisMenuItem>* level = &menu;
  const AxisMenuItem* found = nullptr;
  for (const auto& title : path) {
    if (!level) return nullptr;
    auto at = std::find_if(level->begin(), level->end(), [&](const AxisMenuItem& item) { return item.title == title; });
    if (at == level->end()) return nullptr;
    found = &*at;
    level = found->kind == Kind::Submenu ? &found->items : nullptr;
  }
  return found;
}

std::vector<AxisMenuItem> axisMenuItems(const AxisControllers& axis) {
  const char letter = axis.letter;
  std::vector<AxisMenuItem> menu;
  if (axis.title->text().empty()) menu.push_back(AxisMenuItem::named(axisKey(axistext::kMenuAddTitle, letter)));
  menu.push_back(choiceItem(axisKey(axistext::kMenuPadding, letter), *axis.padding, axis.padding->tag()));

  // "Default" and "Automatic" are the same choice; the menu offers the latter.
  const int choice = axis.ticksChoice->tag();
  AxisMenuItem ticks = choiceItem(axisKey(axistext::kMenuTickMarks, letter), *axis.ticksChoice,
                                  choice == kTicksDefault ? kTicksAutomatic : choice);
  std::erase_if(ticks.choices, [](const VKMenuEntry& e) { return e.tag == kTicksDefault; });
  menu.push_back(std::move(ticks));

  AxisMenuItem column = AxisMenuItem::named(axisKey(axistext::kMenuCategoryColumn, letter));
  if (auto chosen = axis.categories->column())
    column.text = chosen->name();
  else
    column.text = axis.categories->columnName();
  // Without a document there are no columns to choose from.
  column.enabled = axis.categories->commandDocument() != nullptr;
  menu.push_back(std::move(column));

  AxisMenuItem categories = toggleItem(axistext::kMenuCategoryLabels, choice == kTicksCategories);
  categories.enabled = axis.categories->hasSelection();
  menu.push_back(std::move(categories));

  if (choice == kTicksAngle) {
    AxisMenuItem angles = AxisMenuItem::named(axisKey(axistext::kMenuAngleSettings, letter), Kind::Submenu);
    angles.items.push_back(choiceItem(axistext::kMenuAngleUnit, *axis.angleUnit, axis.angleUnit->tag()));
    menu.push_back(std::move(angles));
  }
  if (choice == kTicksCurrency) {
    AxisMenuItem money = AxisMenuItem::named(axisKey(axistext::kMenuCurrencySettings, letter), Kind::Submenu);
    money.items.push_back(choiceItem(axistext::kMenuNumberFormat, *axis.currency, axis.currency->tag()));
    money.items.push_back(toggleItem(axistext::kMenuNegativeInParentheses, axis.currencyNegative->isSelected()));
    money.items.push_back(toggleItem(axistext::kMenuNegativeRed, axis.currencyNegativeRed->isSelected()));
    menu.push_back(std::move(money));
  }
  return menu;
}

bool performAxisMenuItem(AxisControllers& axis, const std::vector<std::string>& path, const PropertyList& argument) {
  const auto menu = axisMenuItems(axis);
  const AxisMenuItem* item = findMenuItem(menu, path);
  if (!item || !item->enabled || item->kind == Kind::Submenu) return false;
  const std::string& title = item->title;
  const char letter = axis.letter;

  if (title == axisKey(axistext::kMenuAddTitle, letter)) {
    // The user names the axis next; until then it is called by its letter.
    std::string text = argument.kind() == PropertyList::Kind::String ? argument.string() : std::string();
    if (text.empty()) text = std::string(1, static_cast<char>(std::tolower(static_cast<unsigned char>(letter))));
    axis.title->setFromPropertyListRecordUndo(PropertyList(text));
    return true;
  }
  if (title == axisKey(axistext::kMenuPadding, letter)) return chooseTag(*axis.padding, *item, argument);
  if (title == axisKey(axistext::kMenuTickMarks, letter)) return chooseTag(*axis.ticksChoice, *item, argument);
  if (title == axisKey(axistext::kMenuCategoryColumn, letter)) return chooseCategoryColumn(*axis.categories, argument);
  if (title == axistext::kMenuCategoryLabels) {
    int tag = item->checked ? kTicksAutomatic : kTicksCategories;
    axis.ticksChoice->setFromPropertyListRecordUndo(PropertyList(tag));
    return true;
  }
  if (title == axistext::kMenuAngleUnit) return chooseTag(*axis.angleUnit, *item, argument);
  if (title == axistext::kMenuNumberFormat) return chooseTag(*axis.currency, *item, argument);
  if (title == axistext::kMenuNegativeInParentheses) {
    flip(*axis.currencyNegative);
    return true;
  }
  if (title == axistext::kMenuNegativeRed) {
    flip(*axis.currencyNegativeRed);
    return true;
  }
  return false;
}

}  // namespace orrelin
