// The mouse cut and the cell readout.
#include "app/commands/command_registry.h"
#include "app/model_view.h"
#include "core/view/view_controller.h"

namespace litho {
namespace {

void toggleReadout(CommandTarget& t) {
  t.controller.state.readoutMode = !t.controller.state.readoutMode;
  t.view.onReadoutToggled();
}

const CommandHandlers kMouseCommands{
    {CommandId::MouseCut, [](CommandTarget& t) { t.view.onMouseCut(); }},
    {CommandId::Readout, toggleReadout},
};

}  // namespace
}  // namespace litho
