// View parameter files and the view as clipboard text.
#include <algorithm>
#include <climits>

#include "app/commands/command_registry.h"
#include "app/main_window.h"
#include "app/model_view.h"
#include "app/qt_platform.h"
#include "app/window_placement.h"
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
  saveViewParameters(*path, t.doc, t.controller, frameRectOf(t.window), t.platform, t.platform);
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
  if (pasted->windowSize) {
    // The size is the window's inside; the frame keeps its corner and grows or shrinks around it.
    WindowRect frame = frameRectOf(t.window);
    frame.right = static_cast<int>(std::clamp<long long>(
        static_cast<long long>(frame.right) + pasted->windowSize->first - t.window.width(), INT_MIN, INT_MAX));
    frame.bottom = static_cast<int>(std::clamp<long long>(
        static_cast<long long>(frame.bottom) + pasted->windowSize->second - t.window.height(), INT_MIN, INT_MAX));
    placeWindow(t.window, frame);
  }
}

const CommandHandlers kViewParameterCommands{
    {CommandId::SaveParameters, saveParameters},
    {CommandId::LoadParameters, loadParameters},
    {CommandId::CopyParameters, copyParameters},
    {CommandId::PasteParameters, pasteParameters},
};

}  // namespace
}  // namespace litho
