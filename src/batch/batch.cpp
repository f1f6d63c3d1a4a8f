#include "batch/batch.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <new>
#include <optional>

#include "batch/command_line.h"
#include "core/data/data_reader.h"
#include "core/io/mesh_stats.h"
#include "core/io/model_writer.h"
#include "core/load/document.h"
#include "core/io/file_system.h"
#include "core/load/memory.h"
#include "core/platform/printable.h"
#include "core/platform/stream_platform.h"

namespace litho {

namespace {

constexpr const char* kUsage =
    "usage: lithoscan3d-batch --help | --version\n"
    "       lithoscan3d-batch info MESH [MODEL|NOMODEL] [--log] [--second FILE] [--topo FILE] [--data FILE] [--octree]\n"
    "                              [--yes]\n"
    "       lithoscan3d-batch save MESH MODEL -o OUT [--no-padding] [--log] [--octree] [--yes]\n"
    "       lithoscan3d-batch render MESH MODEL -o FILE.png [--size WxH] [--cutoff LO HI] [--topo FILE] [--stats]\n"
    "                                [--data FILE[:METHOD[:VALUE]]] [--faces FILE[:lines|surface]]\n"
    "                                [--faces-cutoff LO HI] [--second FILE] [--log] [--octree] [--yes]\n"
    "                                [--memory-limit MB]\n"
    "       lithoscan3d-batch render --view FILE.ls3d -o FILE [--size WxH] [--stats] [--yes] [--memory-limit MB]\n"
    "       lithoscan3d-batch movie MESH MODEL -o FILE.avi|FILE.mp4 [--size WxH] [--fps N] [--turn DEGREES]\n"
    "                               [--frames N] [--second FILE] [--log] [--octree] [--yes] [--memory-limit MB]\n"
    "       lithoscan3d-batch movie --view FILE.ls3d -o FILE.avi|FILE.mp4 [--size WxH] [--fps N] [--turn DEGREES]\n"
    "                               [--frames N] [--yes] [--memory-limit MB]\n"
    "  info loads MESH (and MODEL, and a second model) as the program does and prints the mesh\n"
    "  statistics and a model summary; --octree reads octree mesh and model files. --topo loads a\n"
    "  topography file afterwards as \"Topography ...\" does (the summary then counts its air cells\n"
    "  as inactive) and prints its point count and the active and inactive cells. --data reads an\n"
    "  observation data file as \"Load data ...\" does and prints its point count and value range.\n"
    "  save loads MESH and MODEL the same way and writes the (first) model to OUT as \"Save As\"\n"
    "  does: the entire model, or with --no-padding the core without the padding cells named in\n"
    "  the model file's header, and its mesh file OUT_mesh. Saving an octree model with\n"
    "  --no-padding gives a model and a mesh file of the underlying mesh.\n"
    "  render draws the default view of the load off screen (through EGL, or Xvfb, without a display)\n"
    "  and writes it as PNG; --stats prints the face count and the scene build time. --data draws an\n"
    "  observation data file as surface, lines, points (the default), spheres or cylinders, with\n"
    "  VALUE as the opacity, width, size or radius. --faces draws a cell faces file as lines on the\n"
    "  model (the default) or as the faces whose values lie in --faces-cutoff LO HI (all without it).\n"
    "  movie records a turntable of that view off screen: turned DEGREES (360) about the vertical\n"
    "  axis in N frames (72) at --fps (24), as H.264 in FILE.mp4 or as an AVI file otherwise.\n"
    "  --second FILE loads a second model with MODEL, as MODEL++SECOND does in the program.\n"
    "  Options take their values as \"--size 640x480\" or \"--size=640x480\"; \"--\" ends the options\n"
    "  (for file names that start with '-'). Each command's --help prints its own usage.\n"
    "  Exit status: 0 done, 1 a load, render or save failed, 2 a usage error.\n"
    "  Messages the program would show in a box go to standard error; --yes answers its\n"
    "  questions with Yes. --memory-limit MB (any command) acts as if only MB megabytes of\n"
    "  memory were available, to try what a smaller machine does.\n";

int usage(std::ostream& err, const std::string& problem) {
  if (!problem.empty()) err << "lithoscan3d-batch: " << problem << '\n';
  err << kUsage;
  return 2;
}

std::string number(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.9g", v);
  return buf;
}

std::string modelSummary(const Document& doc) {
  long long inactive = 0;
  for (std::size_t c = 0; c < doc.store().topActiveIndex().size(); ++c) inactive += doc.store().topActiveIndex().data()[c];
  std::string s = "models: " + std::to_string(doc.store().modelCount()) + "\n";
  s += std::string("vector: ") + (doc.isVectorModel() ? "yes" : "no") + "\n";
  s += std::string("log: ") + (doc.logModel() ? "yes" : "no") + "\n";
  s += "min: " + number(doc.store().range().min) + "\n";
  s += "max: " + number(doc.store().range().max) + "\n";
  if (!doc.isVectorModel()) s += "smallest: " + number(doc.store().smallestValue()) + "\n";
  s += "inactive cells: " + std::to_string(inactive) + "\n";
  if (doc.store().hasSecondModel()) {
    s += "second min: " + number(doc.store().secondRange().min) + "\n";
    s += "second max: " + number(doc.store().secondRange().max) + "\n";
  }
  return s;
}

struct InfoArgs : LoadOptions {
  std::string mesh, model, topography, data, output;
  bool noPadding = false;
};

bool load(Document& doc, const InfoArgs& a) {
  LoadRequest files;
  files.logModel = a.log;
  files.octree = a.octree;
  files.meshPath = fullPath(a.mesh);
  files.modelPath = a.model.empty() ? std::string() : fullPath(a.model);
  files.secondModelPath = a.second.empty() ? std::string() : fullPath(a.second);
  return doc.load(files) == LoadStatus::Loaded && doc.modelLoaded();
}

int runInfo(const InfoArgs& a, std::ostream& out, std::ostream& err) {
  StreamPlatform platform(err, a.yes);
  platform.setProgressShown(isTerminal(err));
  Document doc(platform, platform);
  // Named before the load changes the current folder.
  const std::string topographyPath = a.topography.empty() ? std::string() : fullPath(a.topography);
  DataSet data;
  data.path = a.data.empty() ? std::string() : fullPath(a.data);
  if (!load(doc, a)) return 1;
  std::optional<TopographyResult> topography;
  if (!topographyPath.empty()) {
    topography = doc.loadTopography(topographyPath);
    if (!topography) return 1;
  }
  // The statistics the program shows after the load, with the model header's padding hidden.
  const CoreRegion core = SaveViewInfo::afterLoad(doc.mesh(), doc.store().coreOffsets(), doc.store().range()).core();
  out << meshStatisticsText(doc.mesh(), &core) << '\n' << modelSummary(doc);
  if (topography) {
    out << "topography points: " << topography->pointCount << '\n'
        << "active cells: " << topography->activeCells << '\n'
        << "inactive cells: " << topography->inactiveCells << '\n';
  }
  if (!data.path.empty()) {
    if (!readDataFile(data, platform)) return 1;
    out << "data points: " << data.points.size() << '\n'
        << "data min: " << number(data.rangeMin) << '\n'
        << "data max: " << number(data.rangeMax) << '\n';
  }
  out.flush();
  return 0;
}

int runSave(const InfoArgs& a, std::ostream& err) {
  StreamPlatform platform(err, a.yes);
  platform.setProgressShown(isTerminal(err));
  Document doc(platform, platform);
  // The output is named before the load changes the current folder.
  const std::string output = fullPath(a.output);
  if (!load(doc, a)) return 1;
  if (doc.isVectorModel()) {
    platform.message("Vector models cannot be saved.\n" + printable(doc.modelPath()), MessageKind::Error);
    return 1;
  }
  SaveModelOptions options;
  options.mode = a.noPadding ? SaveMode::WithoutPadding : SaveMode::EntireModel;
  const SaveViewInfo view = SaveViewInfo::afterLoad(doc.mesh(), doc.store().coreOffsets(), doc.store().range());
  return doc.saveModel(output, view, options) ? 0 : 1;
}

}  // namespace

bool isTerminal(const std::ostream& err) { return &err == &std::cerr && ::isatty(STDERR_FILENO) == 1; }

int runBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) return usage(err, "");
  if (args[0] == "--help" || args[0] == "-h" || ((args[0] == "info" || args[0] == "save") && wantsHelp(args))) {
    out << kUsage;
    return 0;
  }
  if (args[0] == "--version") {
    out << "lithoscan3d-batch " << LITHO_VERSION << '\n';
    return 0;
  }
  const bool save = args[0] == "save";
  if (args[0] != "info" && !save) return usage(err, "unknown command \"" + args[0] + "\"");

  BatchCommandLine line;
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  const bool parsed = save ? line.parse(rest, {{{"log"}}, {{"yes"}}, {{"octree"}}, {{"o", "output"}, 1},
                                               {{"no-padding"}}, {{"memory-limit"}, 1}})
                           : line.parse(rest, {{{"log"}}, {{"yes"}}, {{"octree"}}, {{"second"}, 1}, {{"topo"}, 1},
                                               {{"data"}, 1}, {{"memory-limit"}, 1}});
  if (!parsed) return usage(err, line.error());
  InfoArgs a;
  if (const std::string problem = readLoadOptions(line, a); !problem.empty()) return usage(err, problem);
  a.noPadding = line.isSet("no-padding");
  a.topography = line.value("topo");
  if (line.isSet("topo") && a.topography.empty()) return usage(err, "--topo needs a file");
  a.data = line.value("data");
  if (line.isSet("data") && a.data.empty()) return usage(err, "--data needs a file");
  a.output = line.value("o");
  const bool outputGiven = line.isSet("o");
  if (outputGiven && a.output.empty()) return usage(err, "-o needs a file");
  const std::vector<std::string>& positional = line.files();
  if (positional.empty()) return usage(err, args[0] + " needs a mesh file");
  if (positional.size() > 2) return usage(err, "too many files");
  a.mesh = positional[0];
  if (positional.size() == 2 && positional[1] != "NOMODEL") a.model = positional[1];
  if (!a.second.empty() && a.model.empty()) return usage(err, "--second needs a first model");
  if (save && a.model.empty()) return usage(err, "save needs a model file");
  if (save && !outputGiven) return usage(err, "save needs -o OUT");
  const ScopedMemoryLimit limit(a.memoryLimit);
  try {
    return save ? runSave(a, err) : runInfo(a, out, err);
  } catch (const std::bad_alloc&) {
    StreamPlatform(err, false).message("Not enough memory.", MessageKind::Error);
    return 1;
  }
}

}  // namespace litho
