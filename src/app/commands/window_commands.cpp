// The main window's own bars, and leaving the program.
#include <QStatusBar>
#include <QToolBar>

#include "app/commands/command_registry.h"
#include "app/main_window.h"

namespace litho {
namespace {

using T = CommandTarget&;

const CommandHandlers kWindowCommands{
    {CommandId::Toolbar, [](T t) { t.window.toolBar()->setVisible(!t.window.toolBar()->isVisible()); }},
    {CommandId::StatusBar, [](T t) { t.window.statusBar()->setVisible(!t.window.statusBar()->isVisible()); }},
    {CommandId::Exit, [](T t) { t.window.close(); }},
};

}  // namespace
}  // namespace litho
