// The colourmap and the colour scale.
#include "app/commands/command_registry.h"
#include "app/model_view.h"
#include "core/view/view_controller.h"

namespace litho {
namespace {

using enum CommandId;
using T = CommandTarget&;

const CommandHandlers kColourCommands{
    {Colourmap, [](T t) { t.view.onColourmap(); }},
    {Flip, [](T t) { t.controller.flipColours(); }},
    {ResetScale, [](T t) { t.controller.resetScale(); }},
    {CondRes, [](T t) { t.controller.toggleConductivityView(); }},
    {Log10, [](T t) { t.controller.toggleLinearLabels(); }},
    {BlendDown, [](T t) { t.controller.blend(-1); }},
    {BlendUp, [](T t) { t.controller.blend(+1); }},
};

}  // namespace
}  // namespace litho
