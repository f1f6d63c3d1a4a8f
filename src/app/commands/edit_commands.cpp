// Changing the model's values: blocks, smoothing, the difference, undo and redo.
#include <QAction>

#include "app/commands/command_registry.h"
#include "app/dialogs/add_blocks_dialog.h"
#include "app/main_window.h"
#include "app/model_view.h"
#include "app/qt_platform.h"
#include "core/edit/model_edits.h"
#include "core/load/document.h"

namespace litho {
namespace {

using enum CommandId;
using T = CommandTarget&;

// Smoothing and the difference give the model new scales, the camera kept.
void valuesChanged(T t) {
  if (t.doc.updateAllViews) t.doc.updateAllViews(ViewRefresh::ValuesChanged);
}

void addBlocks(T t) {
  t.view.onAddBlocks();
  // Ctrl+Z and Ctrl+Y work from the block editor's window too.
  if (AddBlocksDialog* w = t.view.blockEditorWindow()) w->addActions({t.window.action(Undo), t.window.action(Redo)});
}

void undoOrRedo(T t, bool undo) {
  const UndoOutcome r = undo ? undoChange(t.doc, t.platform) : redoChange(t.doc, t.platform);
  if (r.done && r.resetScales) valuesChanged(t);
}

const CommandHandlers kEditCommands{
    {AddBlocks, addBlocks},
    {Smooth,
     [](T t) {
       if (smoothModel(t.doc, t.platform)) valuesChanged(t);
     }},
    {Difference,
     [](T t) {
       if (toggleDifference(t.doc, t.platform)) valuesChanged(t);
     }},
    {Undo, [](T t) { undoOrRedo(t, true); }},
    {Redo, [](T t) { undoOrRedo(t, false); }},
};

}  // namespace
}  // namespace litho
