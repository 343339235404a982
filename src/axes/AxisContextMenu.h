#pragma once
// The context menu of an axis as operations a user interface can offer: what
// the menu holds for the axis the user clicked (with each entry's state) and
// carrying out an entry. Every change goes through the setting it touches,
// recorded for undo, so the menu is one more way to edit the stored settings.

#include <optional>
#include <string>
#include <vector>

#include "axes/AxisControllers.h"
#include "graph/commandbase/InputControllers.h"
#include "platform/PropertyList.h"

namespace orrelin {

struct AxisMenuItem {
  enum class Kind {
    Action,   // does one thing; some take an argument (a text, a font)
    Toggle,   // on or off; carrying it out flips it
    Choice,   // one of choices; carrying it out takes the tag to choose
    Submenu,  // holds items
  };
  std::string title;
  Kind kind = Kind::Action;
  // A toggle's state; for a choice, whether it is shown with a check mark.
  bool checked = false;
  // Shown but not available (a category toggle without a category column).
  bool enabled = true;
  std::vector<VKMenuEntry> choices;
  int chosenTag = 0;
  // For an action that names something (the category column), what it
  // names now; empty when nothing.
  std::string text;
  std::vector<AxisMenuItem> items;

  static AxisMenuItem named(std::string title, Kind kind = Kind::Action) {
    AxisMenuItem item;
    item.title = std::move(title);
    item.kind = kind;
    return item;
  }
};

// The entry at path (titles from the top, through submenus); none when the
// menu does not hold it now.
const AxisMenuItem* findMenuItem(const std::vector<AxisMenuItem>& menu, const std::vector<std::string>& path);

// The entries for one axis, in menu order: "Add X title" (only while the
// axis has none), "X Padding", "X Tick Marks", "X Category Column" (takes
// the name of a column, or an empty text for none), "Category Labels", and
// the "X Angle Settings" and "X Currency Settings" submenus while the tick
// choice is angles or money.
std::vector<AxisMenuItem> axisMenuItems(const AxisControllers& axis);

// Carries out the entry at path with argument (see AxisMenuItem::Kind).
// False, changing nothing, for an entry the menu does not hold now, one that
// is not enabled, or an argument it cannot take (a tag not among the
// choices, a name that is not a column of text or numbers).
bool performAxisMenuItem(AxisControllers& axis, const std::vector<std::string>& path, const PropertyList& argument);

}  // namespace orrelin
