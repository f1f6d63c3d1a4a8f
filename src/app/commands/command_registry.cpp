#include "app/commands/command_registry.h"

#include <array>
#include <stdexcept>

namespace litho {
namespace {

std::array<CommandHandler, kCommandCount>& handlers() {
  static std::array<CommandHandler, kCommandCount> table{};
  return table;
}

}  // namespace

CommandHandler commandHandler(CommandId id) { return handlers().at(indexOf(id)); }

CommandHandlers::CommandHandlers(std::initializer_list<std::pair<CommandId, CommandHandler>> list) {
  for (const auto& [id, handler] : list) {
    CommandHandler& slot = handlers().at(indexOf(id));
    if (slot) throw std::logic_error("a command has two handlers");
    slot = handler;
  }
}

}  // namespace litho
