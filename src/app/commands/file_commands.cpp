// Loading, creating and saving meshes and models.
#include "app/commands/command_registry.h"
#include "app/dialogs/create_mesh_dialog.h"
#include "app/dialogs/save_model_dialog.h"
#include "app/main_window.h"
#include "app/model_view.h"
#include "app/qt_platform.h"
#include "core/io/mesh_stats.h"
#include "core/load/document.h"

namespace litho {
namespace {

using T = CommandTarget&;

// A missing file has been reported; the program stays open with the user's other work.
void open(T t) { t.doc.open(); }

void createMesh(T t) {
  createMeshCommand(t.doc, t.platform, &t.window);
  t.window.updateTitle();
}

void saveAs(T t) {
  // A save that failed after the model file was written renamed the document too.
  saveModelCommand(t.doc, SaveViewInfo::from(t.view.state()), t.platform, &t.window);
  t.window.updateTitle();
}

void meshStatistics(T t) {
  const ViewState& s = t.view.state();
  const CoreRegion core{s.hiddenPadding[kSideWest], s.hiddenPadding[kSideSouth], s.hiddenPadding[kSideTop],
                        s.visibleCount[0],          s.visibleCount[1],           s.visibleCount[2]};
  t.platform.message(meshStatisticsText(t.doc.mesh(), &core), MessageKind::Info);
}

const CommandHandlers kFileCommands{
    {CommandId::Open, open},
    {CommandId::Reload, [](T t) { t.doc.reload(); }},  // refreshes the views itself
    {CommandId::CreateMesh, createMesh},
    {CommandId::SaveAs, saveAs},
    {CommandId::MeshStatistics, meshStatistics},
};

}  // namespace
}  // namespace litho
