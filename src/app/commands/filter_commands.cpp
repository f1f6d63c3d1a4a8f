// What part of the model is shown: cutoff, range, padding and the diagonal cut.
#include "app/commands/command_registry.h"
#include "app/model_view.h"

namespace litho {
namespace {

using enum CommandId;
using T = CommandTarget&;

const CommandHandlers kFilterCommands{
    {Cutoff, [](T t) { t.view.onCutoff(); }},
    {MinMax, [](T t) { t.view.onRange(); }},
    {PaddingCells, [](T t) { t.view.onPadding(); }},
    {Diagonal, [](T t) { t.view.onDiagonal(); }},
};

}  // namespace
}  // namespace litho
