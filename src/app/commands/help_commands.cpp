#include "app/commands/help_commands.h"

#include <QCoreApplication>

#include "app/commands/command_registry.h"
#include "app/dialogs/about_dialog.h"
#include "app/main_window.h"
#include "app/qt_platform.h"
#include "core/io/file_system.h"

namespace litho {

void openManual(Platform& platform, const std::string& programFolder) {
  // A missing file is a failure even where the desktop would start a viewer for it.
  for (const char* name : {kBuiltManual, kInstalledManual, kManualFile}) {
    const std::string path = programFolder + "/" + name;
    if (fileExists(path) && platform.openWithShell(path)) return;
  }
  if (platform.openWithShell(kManualPage)) return;
  platform.message("Can't open documentation.", MessageKind::Plain);
}

namespace {

void showAbout(CommandTarget& t) {
  AboutDialog about(&t.window);
  about.exec();
}

void showManual(CommandTarget& t) { openManual(t.platform, QCoreApplication::applicationDirPath().toStdString()); }

const CommandHandlers kHelpCommands{
    {CommandId::About, showAbout},
    {CommandId::Manual, showManual},
};

}  // namespace
}  // namespace litho
