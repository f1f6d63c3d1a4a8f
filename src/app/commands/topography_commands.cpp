// The topography file: which cells of the mesh lie in the air.
#include "app/commands/topography_commands.h"

#include "app/commands/command_registry.h"
#include "core/load/document.h"

namespace litho {

bool loadTopographyCommand(Document& doc) {
  FileDialogRequest request;
  request.title = "Load topography file";
  request.filter = "Topography||";
  request.startFolder = doc.workingFolder();
  request.mustExist = true;
  const auto path = doc.platform().openFileName(request);
  if (!path) return false;
  if (!doc.loadTopography(*path)) return false;
  if (doc.updateAllViews) doc.updateAllViews(ViewRefresh::NewLoad);
  return true;
}

namespace {

const CommandHandlers kTopographyCommands{
    {CommandId::Topography, [](CommandTarget& t) { loadTopographyCommand(t.doc); }},
};

}  // namespace
}  // namespace litho
