#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/commands/command_id.h"
#include "core/commands/command_state.h"

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

// Everything about a command but its handler, which the feature that carries it out registers.
struct Command {
  CommandId id{};
  int number = 0;             // the 16-bit number the command has in the menu resource
  std::string_view menuText;  // with "&" and "\t"; empty when the command has no menu entry
  std::vector<KeyBinding> keys;
  std::string_view prompt;     // status text, optionally "\n" and the tooltip; empty for none
  std::string_view icon;       // the toolbar image's name; empty when the command has no button
  CommandRule rule = nullptr;  // none: always enabled, never checked
};

enum class MenuItemKind { Command, Separator, Submenu };

struct MenuItem {
  MenuItemKind kind = MenuItemKind::Command;
  CommandId command{};          // for Command
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
const Command& command(CommandId id);
// Commands without a menu entry, in table order.
std::vector<CommandId> keyOnlyCommands();

// Toolbar buttons left to right; empty where a separator stands.
const std::vector<std::optional<CommandId>>& toolbarLayout();

struct Prompt {
  std::string_view status;   // shown in the status bar while the entry or button is highlighted
  std::string_view tooltip;  // the button's tooltip; empty when the prompt has no line break
};
Prompt promptFor(CommandId id);

// The command's rule applied; a command without one is enabled and unchecked.
CommandStatus commandStatus(CommandId id, const CommandState& state);

}  // namespace litho
