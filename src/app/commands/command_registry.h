#pragma once
#include <initializer_list>
#include <utility>

#include "core/commands/command_id.h"

namespace litho {

class Document;
class MainWindow;
class ModelView;
class QtPlatform;
class ViewController;

// What a command works on.
struct CommandTarget {
  MainWindow& window;
  ModelView& view;
  ViewController& controller;
  Document& doc;
  QtPlatform& platform;
};

// The dispatcher repaints afterwards when the view was left to redraw or rebuild.
using CommandHandler = void (*)(CommandTarget&);

// The command's handler, or nullptr: a command without one stays in its menu, disabled.
CommandHandler commandHandler(CommandId id);

// A feature's handlers, registered before main() runs. Each feature file holds one, at namespace scope:
//   const CommandHandlers kHelpCommands{{CommandId::About, showAbout}, {CommandId::Manual, showManual}};
class CommandHandlers {
 public:
  CommandHandlers(std::initializer_list<std::pair<CommandId, CommandHandler>> handlers);
};

}  // namespace litho
