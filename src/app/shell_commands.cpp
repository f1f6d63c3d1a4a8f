#include "app/shell_commands.h"

#include "core/io/file_system.h"

namespace litho {

void openManual(Platform& platform, const std::string& programFolder) {
  const std::string pdf = programFolder + "/" + kManualFile;
  // A missing file is a failure even where the desktop would start a viewer for it.
  if (fileExists(pdf) && platform.openWithShell(pdf)) return;
  if (platform.openWithShell(kManualPage)) return;
  platform.message("Can't open documentation.", MessageKind::Plain);
}

}  // namespace litho
