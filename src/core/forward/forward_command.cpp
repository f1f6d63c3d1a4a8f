#include "core/forward/forward_command.h"

#include <filesystem>

#include "core/data/data_reader.h"
#include "core/data/data_surface.h"
#include "core/forward/forward_program.h"
#include "core/io/atomic_file.h"

namespace litho::forward {
namespace {

std::string inFolder(const std::string& folder, const std::string& name) {
  return folder.empty() ? name : (std::filesystem::path(folder) / name).string();
}

void finishRun(Document& doc, Survey survey, Platform& platform, const ForwardEnvironment& env,
               const std::string& folder) {
  const std::string dataName = dataFileName(survey);
  const std::string dataPath = inFolder(folder, dataName);
  std::error_code ec;
  if (!std::filesystem::exists(dataPath, ec)) {
    platform.message("Forward modelling did not finish properly.", MessageKind::Warning);
    return;
  }
  if (env.beep) env.beep();
  DataSet set;
  set.path = dataPath;
  if (!readDataFile(set, platform)) return;
  set.plottingMethod = kPlotSurface;
  set.plottingValue = 0.8f;
  if (!buildDataSurface(set, platform)) set.plottingMethod = kPlotPoints;
  set.name = dataDisplayName(set);
  std::vector<DataSet> sets;
  sets.push_back(std::move(set));
  doc.setDataSets(std::move(sets));
  if (doc.updateAllViews) doc.updateAllViews(ViewRefresh::Reload);
  const std::string viewer = env.locate ? env.locate(kViewerName) : std::string();
  if (viewer.empty() || !platform.startProgram(viewer, {dataName}, folder, false))
    platform.message(std::string(kViewerName) + " not found.", MessageKind::Error);
}

}  // namespace

void runForwardCommand(Document& doc, Survey survey, ForwardMemory& memory, Platform& platform,
                       const ForwardEnvironment& env) {
  auto done = [&env] {
    if (env.done) env.done();
  };
  if (doc.modified()) {
    platform.message("Model must be saved first before forward modelling.", MessageKind::Warning);
    return done();
  }
  ForwardSettings& remembered = memory.settings(survey, doc.mesh());
  ForwardSettings s = remembered;
  if (!env.runDialog || !env.runDialog(survey, s)) return done();
  remembered = s;
  WaitCursor wait(platform);

  const std::string name = programName(survey);
  const std::string program = env.locate ? env.locate(name) : std::string();
  if (program.empty()) {
    platform.message(name + " not found.", MessageKind::Error);
    return done();
  }
  const std::string folder = doc.workingFolder();
  const std::string dataName = dataFileName(survey);
  const std::string dataPath = inFolder(folder, dataName);
  std::error_code ec;
  if (std::filesystem::exists(dataPath, ec)) {
    if (!platform.askYesNo(dataName + " already exists.\nShould it be overwritten?")) return done();
    std::filesystem::remove(dataPath, ec);
    if (ec) {
      platform.message("Could not delete " + dataPath + ":\n" + ec.message(), MessageKind::Error);
      return done();
    }
  }
  doc.setDataSets({});
  doc.setSelectedDataSet(-1);
  if (doc.updateAllViews) doc.updateAllViews(ViewRefresh::Reload);

  std::string locations = s.locationsFile;
  if (locations.empty()) {
    locations = "obs.loc";
    const auto& store = doc.store();
    if (!writeFileAtomically(inFolder(folder, locations),
                             locationsText(s, survey, doc.mesh(), store.topActiveIndex(), store.activeMaskSet()),
                             platform))
      return done();
  }
  std::vector<std::string> args{doc.meshPath(), locations, doc.modelPath()};
  if (!doc.topographyPath().empty()) args.push_back(doc.topographyPath());
  Document* d = &doc;
  Platform* p = &platform;
  const ForwardEnvironment e = env;
  const bool started = platform.startProgramWatched(program, args, folder, name, [d, survey, p, e, folder](int) {
    finishRun(*d, survey, *p, e, folder);
    if (e.done) e.done();
  });
  if (!started) {
    platform.message(name + " not found.", MessageKind::Error);
    return done();
  }
}

}  // namespace litho::forward
