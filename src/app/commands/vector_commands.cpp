// Vector models.
#include "app/commands/command_registry.h"
#include "app/model_view.h"

namespace litho {
namespace {

const CommandHandlers kVectorCommands{
    {CommandId::VectorProperties, [](CommandTarget& t) { t.view.onVectorProperties(); }},
};

}  // namespace
}  // namespace litho
