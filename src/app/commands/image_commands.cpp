// "Save image ..." and "&Copy".
#include "app/commands/command_registry.h"
#include "app/model_view.h"
#include "app/qt_platform.h"
#include "core/load/document.h"
#include "core/output/image_export.h"

namespace litho {
namespace {

using T = CommandTarget&;

void saveImage(T t) {
  const auto path = t.platform.saveFileName(saveImageRequest(t.doc.workingFolder()));
  if (!path) return;
  t.view.saveImage(withDefaultImageExtension(*path));
}

void copyImage(T t) { t.view.copyImage(); }

const CommandHandlers kImageCommands{
    {CommandId::SaveImage, saveImage},
    {CommandId::Copy, copyImage},
};

}  // namespace
}  // namespace litho
