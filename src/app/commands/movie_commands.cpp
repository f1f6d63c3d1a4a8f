// "Start ...", "Continue" and "Stop" of the Animation menu.
#include "app/commands/command_registry.h"
#include "app/model_view.h"
#include "core/load/document.h"

namespace litho {
namespace {

using T = CommandTarget&;

const CommandHandlers kMovieCommands{
    {CommandId::AnimationStart, [](T t) { t.view.movie().start(t.doc.workingFolder(), t.doc.hardwareOpenGL()); }},
    {CommandId::AnimationContinue, [](T t) { t.view.movie().continueRecording(); }},
    {CommandId::AnimationStop, [](T t) { t.view.movie().stop(); }},
};

}  // namespace
}  // namespace litho
