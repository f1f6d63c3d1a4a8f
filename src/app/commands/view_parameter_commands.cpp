// View parameter files and the view as clipboard text.
#include "app/commands/command_registry.h"
#include "app/main_window.h"
#include "app/model_view.h"
#include "app/qt_platform.h"
#include "core/load/document.h"
#include "core/view/clipboard_view.h"
#include "core/view/view_parameters.h"

namespace litho {
namespace {

using T = CommandTarget&;

constexpr const char* kParametersFilter = "parameters (*.ls3d)|*.ls3d||";

void saveParameters(T t) {
  FileDialogRequest request;
  request.title = "Save Lithoscan3D parameters file.";
  request.filter = kParametersFilter;
  request.startFolder = t.doc.workingFolder();
  request.mustExist = false;
  request.promptOverwrite = true;
  auto path = t.platform.saveFileName(request);
  if (!path) return;
  if (!path->ends_with(".ls3d")) *path += ".ls3d";
  const QRect g = t.window.geometry();
  saveViewParameters(*path, t.doc, t.controller, {g.left(), g.top(), g.right() + 1, g.bottom() + 1}, t.platform,
                     t.platform);
}

void loadParameters(T t) {
  FileDialogRequest request;
  request.title = "Load Lithoscan3D parameters file.";
  request.filter = kParametersFilter;
  request.startFolder = t.doc.workingFolder();
  if (auto path = t.platform.openFileName(request)) t.window.loadViewFile(*path);
}

void copyParameters(T t) {
  t.platform.setClipboardText(clipboardViewString(t.view.state(), t.window.width(), t.window.height()));
}

void pasteParameters(T t) {
  const auto pasted = pasteViewString(t.platform.clipboardText(), t.controller);
  if (!pasted) {
    t.platform.message(kBadClipboardMessage, MessageKind::Plain);
    return;
  }
  if (pasted->windowSize) t.window.resize(pasted->windowSize->first, pasted->windowSize->second);
}

const CommandHandlers kViewParameterCommands{
    {CommandId::SaveParameters, saveParameters},
    {CommandId::LoadParameters, loadParameters},
    {CommandId::CopyParameters, copyParameters},
    {CommandId::PasteParameters, pasteParameters},
};

}  // namespace
}  // namespace litho
