// Observation data sets: the "Data properties" dialog.
#include "app/commands/command_registry.h"
#include "app/dialogs/data_properties_dialog.h"
#include "app/main_window.h"
#include "app/qt_platform.h"

namespace litho {
namespace {

void loadData(CommandTarget& t) {
  DataPropertiesDialog dlg(t.doc, t.platform, &t.window);
  dlg.exec();
  dlg.editor().finish();
}

const CommandHandlers kDataCommands{
    {CommandId::LoadData, loadData},
};

}  // namespace
}  // namespace litho
