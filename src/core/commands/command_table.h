#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "core/commands/command_ids.h"

namespace litho {

// A key in window-system-neutral form.
// name: a virtual key ("A".."Z", "0".."9", "Up", "Down", "Left", "Right", "Insert", "Esc"),
// or, when isCharacter, the typed character ("+", "-") whichever key produced it.
// keypad: the key of that name on the numeric keypad ("8" with keypad is Numpad 8).
struct KeyBinding {
  std::string_view name;
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
  bool keypad = false;
  bool isCharacter = false;
  bool operator==(const KeyBinding&) const = default;
};

// The key as portable text: modifiers "Ctrl+", "Shift+", "Alt+", "Num+" then the name
// ("Ctrl+Insert", "Num+8", "Shift+Up", "+"). A character key is matched on the character,
// so a binder also accepts it from the keypad ("Num++").
std::string keyText(const KeyBinding& key);

// Where the command is handled when it is offered in dispatch order view, document, frame, application.
enum class CommandOwner { View, Document, Frame, Application, None };

inline constexpr int kNoToolbarSlot = 0;
inline constexpr int kToolbarSlots = 22;

struct Command {
  int id = 0;
  std::string_view menuText;  // with "&" and "\t"; empty when the command has no menu entry
  std::vector<KeyBinding> keys;
  int toolbarSlot = kNoToolbarSlot;  // 1..22
  std::string_view prompt;           // status text, optionally "\n" and the tooltip; empty for none
  CommandOwner owner = CommandOwner::View;
};

enum class MenuItemKind { Command, Separator, Submenu };

struct MenuItem {
  MenuItemKind kind = MenuItemKind::Command;
  int command = 0;              // for Command
  std::string_view text;        // the entry's menu text, or the submenu's title
  std::vector<MenuItem> items;  // for Submenu
};

struct Menu {
  std::string_view title;
  std::vector<MenuItem> items;
};

// Every command once: the menu commands in menu order, then those reached only by keys and buttons.
const std::vector<Command>& commandTable();
// The menu bar, menus left to right.
const std::vector<Menu>& menuBar();
const Command* findCommand(int id);
// Commands without a menu entry, in table order.
std::vector<int> keyOnlyCommands();

// Toolbar buttons left to right, kToolbarSeparator where a separator stands.
inline constexpr int kToolbarSeparator = 0;
const std::vector<int>& toolbarLayout();

struct Prompt {
  std::string_view status;   // shown in the status bar while the entry or button is highlighted
  std::string_view tooltip;  // the button's tooltip; empty when the prompt has no line break
};
// Empty for a command without prompt or an unknown number.
Prompt promptFor(int id);

}  // namespace litho
