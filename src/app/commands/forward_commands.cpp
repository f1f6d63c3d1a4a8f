// "Magnetics ..." and "Gravity ...": the forward-modelling programs run on the
// loaded model and their data come back as a data set.
#include <QApplication>
#include <QCoreApplication>
#include <cstdlib>

#include "app/commands/command_registry.h"
#include "app/dialogs/forward_dialog.h"
#include "app/main_window.h"
#include "app/qt_platform.h"
#include "core/forward/forward_command.h"

namespace litho {
namespace {

// The settings of both commands, kept for as long as the program runs.
forward::ForwardMemory& memory() {
  static forward::ForwardMemory m;
  return m;
}

void run(CommandTarget& t, forward::Survey survey) {
  forward::ForwardEnvironment env;
  MainWindow* window = &t.window;
  Platform* platform = &t.platform;
  env.runDialog = [window, platform](forward::Survey s, forward::ForwardSettings& settings) {
    ForwardDialog dialog(s, settings, *platform, window);
    if (dialog.exec() != QDialog::Accepted) return false;
    settings = dialog.settings();
    return true;
  };
  env.locate = [](const std::string& name) {
    const char* path = std::getenv("PATH");
    return forward::findProgram(name, QCoreApplication::applicationDirPath().toStdString(), path ? path : "");
  };
  env.beep = [] { QApplication::beep(); };
  forward::runForwardCommand(t.doc, survey, memory(), t.platform, env);
}

const CommandHandlers kForwardCommands{
    {CommandId::Magnetics, [](CommandTarget& t) { run(t, forward::Survey::Magnetics); }},
    {CommandId::Gravity, [](CommandTarget& t) { run(t, forward::Survey::Gravity); }},
};

}  // namespace
}  // namespace litho
