// The cell-faces overlay: the "Cell Faces" dialog.
#include "app/commands/command_registry.h"
#include "app/dialogs/cell_faces_dialog.h"
#include "app/main_window.h"
#include "app/qt_platform.h"
#include "core/load/document.h"
#include "core/view/view_controller.h"

namespace litho {
namespace {

void cellFaces(CommandTarget& t) {
  CellFacesOverlay& overlay = t.controller.cellFaces;
  const RectMesh& mesh = t.doc.mesh();
  overlay.adoptMeshSize(mesh.nx, mesh.ny, mesh.nz);
  CellFacesDialog dlg(overlay, t.platform, t.doc.workingFolder(), &t.window);
  const bool ok = dlg.exec() == QDialog::Accepted;
  // A load, a new file name or a Colourmap take effect even when the dialog is cancelled.
  if (ok || dlg.editor().overlayChanged()) {
    t.controller.state.frame.rebuild();
    t.controller.state.frame.redraw();
  }
}

const CommandHandlers kFacesCommands{
    {CommandId::CellFaces, cellFaces},
};

}  // namespace
}  // namespace litho
