#include "batch/render_command.h"

#include <QGuiApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "app/offscreen_gl.h"
#include "batch/batch.h"
#include "batch/command_line.h"
#include "app/application.h"
#include "app/bitmap_file.h"
#include "core/output/image_export.h"
#include "core/view/view_parameters.h"
#include "gl/vector_export.h"
#include "core/data/data_reader.h"
#include "core/data/data_surface.h"
#include "core/faces/cell_faces.h"
#include "core/io/field_parse.h"
#include "core/load/document.h"
#include "core/io/file_system.h"
#include "core/load/memory.h"
#include "core/platform/printable.h"
#include "core/platform/stream_platform.h"
#include "gl/scene_gl.h"
#include "core/view/view_controller.h"

namespace litho {

namespace {

constexpr const char* kRenderUsage =
    "usage: lithoscan3d-batch render MESH MODEL -o FILE [--size WxH] [--cutoff LO HI] [--topo FILE] [--stats]\n"
    "                                [--data FILE[:METHOD[:VALUE]]] [--faces FILE[:lines|surface]]\n"
    "                                [--faces-cutoff LO HI] [--second FILE] [--log] [--octree] [--yes]\n"
    "                                [--memory-limit MB]\n"
    "       lithoscan3d-batch render --view FILE.ls3d -o FILE [--size WxH] [--yes] [--memory-limit MB]\n"
    "  Loads MESH and MODEL as the program does, draws the default view of a fresh load (with the\n"
    "  cutoff LO..HI in stored units when given, without the air cells of the topography file\n"
    "  when given), or the files and view of a saved view, and writes the picture in the format\n"
    "  of FILE's extension: pdf, eps, ps, tex or svg as vectors with real text, png, jpg, bmp\n"
    "  (or another that Qt writes) as a bitmap of WxH pixels.\n"
    "  --data draws an observation data file with METHOD surface, lines, points (the default),\n"
    "  spheres or cylinders; VALUE is the surface's opacity (0..1, default 1), the width or size\n"
    "  in pixels or the radius (default 1), and the colourbar shows the data's scale.\n"
    "  --faces draws a cell faces file as coloured lines on the model (the default) or as the\n"
    "  faces whose values lie in LO..HI (--faces-cutoff; default all), and the colourbar shows\n"
    "  their scale unless --data is given.\n"
    "  --second loads a second model with MODEL (as MODEL++SECOND does in the program); the view\n"
    "  shows the first.\n"
    "  MODEL may be NOMODEL for a mesh alone.\n";

int usage(std::ostream& err, const std::string& problem) {
  err << "lithoscan3d-batch: " << problem << '\n' << kRenderUsage;
  return 2;
}

// FILE[:METHOD[:VALUE]]; the file name may hold colons of its own.
struct DataArgument {
  std::string path;
  int method = kPlotPoints;
  std::optional<float> value;
};

int methodNamed(const std::string& name) {
  static constexpr const char* kNames[kPlotMethodCount] = {"surface", "lines", "points", "spheres", "cylinders"};
  for (int m = 0; m < kPlotMethodCount; ++m)
    if (name == kNames[m]) return m;
  return -1;
}

std::optional<DataArgument> parseDataArgument(const std::string& text) {
  DataArgument d{text, kPlotPoints, std::nullopt};
  const auto last = text.rfind(':');
  if (last != std::string::npos) {
    const std::string head = text.substr(0, last), tail = text.substr(last + 1);
    const auto prev = head.rfind(':');
    if (const int m = methodNamed(tail); m >= 0) {
      d = {head, m, std::nullopt};
    } else if (const auto v = parseFloatField(tail); v && prev != std::string::npos) {
      if (const int m2 = methodNamed(head.substr(prev + 1)); m2 >= 0) d = {head.substr(0, prev), m2, *v};
    }
  }
  if (d.path.empty()) return std::nullopt;
  if (d.value && (d.method == kPlotSurface ? !(*d.value >= 0 && *d.value <= 1) : !(*d.value > 0)))
    return std::nullopt;
  return d;
}

// FILE[:lines|surface]; the file name may hold colons of its own.
struct FacesArgument {
  std::string path;
  int method = kFacesLines;
};

std::optional<FacesArgument> parseFacesArgument(const std::string& text) {
  FacesArgument f{text, kFacesLines};
  const auto last = text.rfind(':');
  if (last != std::string::npos) {
    const std::string tail = text.substr(last + 1);
    if (tail == "lines" || tail == "surface") f = {text.substr(0, last), tail == "lines" ? kFacesLines : kFacesSurface};
  }
  if (f.path.empty()) return std::nullopt;
  return f;
}

struct RenderArgs : LoadOptions {
  std::string mesh, model, topography, output, viewFile;
  std::optional<DataArgument> data;
  std::optional<FacesArgument> faces;
  std::optional<std::pair<float, float>> facesCutoff;
  int width = 800, height = 600;
  bool cutoff = false;
  double lo = 0, hi = 0;
  bool stats = false;
};

int writePicture(const RenderArgs& a, Document& doc, ViewController& view, Platform& platform,
                 std::ostream& out, std::ostream& err);

}  // namespace

int runRenderCommand(int argc, char** argv, const std::vector<std::string>& args, std::ostream& out,
                     std::ostream& err) {
  if (wantsHelp(args)) {
    out << kRenderUsage;
    return 0;
  }
  BatchCommandLine line;
  if (!line.parse({args.begin() + 1, args.end()},
                  {{{"o", "output"}, 1}, {{"size"}, 1}, {{"cutoff"}, 2}, {{"view"}, 1}, {{"topo"}, 1}, {{"data"}, 1},
                   {{"faces"}, 1}, {{"faces-cutoff"}, 2}, {{"second"}, 1}, {{"stats"}}, {{"log"}}, {{"octree"}},
                   {{"yes"}}, {{"memory-limit"}, 1}}))
    return usage(err, line.error());
  RenderArgs a;
  if (const std::string problem = readLoadOptions(line, a); !problem.empty()) return usage(err, problem);
  a.output = line.value("o");
  if (line.isSet("size")) {
    const auto size = parseImageSize(line.value("size"), 1, 16384);
    if (!size) return usage(err, "--size needs WIDTHxHEIGHT, each 1 to 16384");
    a.width = size->first;
    a.height = size->second;
  }
  if (line.isSet("cutoff")) {
    const auto r = line.range("cutoff");
    const auto l = r ? parseDoubleField(r->first) : std::nullopt;
    const auto h = r ? parseDoubleField(r->second) : std::nullopt;
    if (!l || !h) return usage(err, "--cutoff needs two numbers");
    a.cutoff = true;
    a.lo = *l;
    a.hi = *h;
  }
  a.viewFile = line.value("view");
  if (line.isSet("view") && a.viewFile.empty()) return usage(err, "--view needs a view file");
  a.topography = line.value("topo");
  if (line.isSet("topo") && a.topography.empty()) return usage(err, "--topo needs a file");
  if (line.isSet("data")) {
    a.data = parseDataArgument(line.value("data"));
    if (!a.data)
      return usage(err, "--data needs FILE[:METHOD[:VALUE]], VALUE 0 to 1 for a surface and above 0 otherwise");
  }
  if (line.isSet("faces")) {
    a.faces = parseFacesArgument(line.value("faces"));
    if (!a.faces) return usage(err, "--faces needs FILE[:lines|surface]");
  }
  if (line.isSet("faces-cutoff")) {
    const auto r = line.range("faces-cutoff");
    const auto l = r ? parseFloatField(r->first) : std::nullopt;
    const auto h = r ? parseFloatField(r->second) : std::nullopt;
    if (!l || !h) return usage(err, "--faces-cutoff needs two numbers");
    a.facesCutoff = std::make_pair(*l, *h);
  }
  a.stats = line.isSet("stats");
  const std::vector<std::string>& positional = line.files();
  if (!a.viewFile.empty()) {
    if (!positional.empty() || a.data || a.faces || a.cutoff || !a.topography.empty() || !a.second.empty() ||
        a.log || a.octree)
      return usage(err, "--view takes its files and view from the view file");
  } else if (positional.size() != 2) {
    return usage(err, "render needs a mesh file and a model file (or NOMODEL)");
  } else if (!a.second.empty() && positional[1] == "NOMODEL") {
    return usage(err, "--second needs a first model");
  }
  if (a.output.empty()) return usage(err, "render needs -o FILE");
  if (a.facesCutoff && !a.faces) return usage(err, "--faces-cutoff needs --faces");
  if (!a.viewFile.empty()) {
    a.viewFile = fullPath(a.viewFile);
  } else {
    a.mesh = positional[0];
    a.model = positional[1] == "NOMODEL" ? std::string() : positional[1];
  }
  a.output = withDefaultImageExtension(fullPath(a.output));
  if (!a.topography.empty()) a.topography = fullPath(a.topography);
  if (a.data) a.data->path = fullPath(a.data->path);
  if (a.faces) a.faces->path = fullPath(a.faces->path);
  if (!a.second.empty()) a.second = fullPath(a.second);

  const ScopedMemoryLimit limit(a.memoryLimit);
  OffscreenApplication app(argc, argv);
  if (!app.error().empty()) {
    err << "error: " << app.error() << '\n';
    return 1;
  }

  StreamPlatform platform(err, a.yes);
  platform.setProgressShown(isTerminal(err));
  Document doc(platform, platform);
  ViewController view(doc, platform);
  if (!a.viewFile.empty()) {
    if (!loadViewParameters(a.viewFile, doc, view, platform, platform).ok || !doc.modelLoaded()) return 1;
    view.resize(a.width, a.height);
    return writePicture(a, doc, view, platform, out, err);
  }
  LoadRequest files;
  files.logModel = a.log;
  files.octree = a.octree;
  files.meshPath = fullPath(a.mesh);
  files.modelPath = a.model.empty() ? std::string() : fullPath(a.model);
  files.secondModelPath = a.second;
  if (doc.load(files) != LoadStatus::Loaded || !doc.modelLoaded()) return 1;
  if (!a.topography.empty() && !doc.loadTopography(a.topography)) return 1;
  if (a.data) {
    DataSet set;
    set.path = a.data->path;
    if (!readDataFile(set, platform)) return 1;
    set.plottingMethod = a.data->method;
    if (a.data->value) set.plottingValue = *a.data->value;
    if (set.plottingMethod == kPlotSurface && !buildDataSurface(set, platform)) return 1;
    set.name = dataDisplayName(set);
    doc.editDataSets().push_back(std::move(set));
    doc.setSelectedDataSet(0);
  }

  view.refresh(ViewRefresh::NewLoad);
  view.resize(a.width, a.height);
  if (a.cutoff) {
    view.state.displayMin = a.lo;
    view.state.displayMax = a.hi;
  }
  if (a.faces) {
    // After the refresh, which unloads the overlay.
    CellFacesOverlay& faces = view.cellFaces;
    faces.adoptMeshSize(doc.mesh().nx, doc.mesh().ny, doc.mesh().nz);
    faces.path = a.faces->path;
    if (!loadCellFaces(faces, platform)) return 1;
    faces.method = a.faces->method;
    faces.cutoffMin = a.facesCutoff ? a.facesCutoff->first : faces.dataMin;
    faces.cutoffMax = a.facesCutoff ? a.facesCutoff->second : faces.dataMax;
    faces.colourbar = true;
  }
  return writePicture(a, doc, view, platform, out, err);
}

namespace {

int writePicture(const RenderArgs& a, Document& doc, ViewController& view, Platform& platform,
                 std::ostream& out, std::ostream& err) {
  OffscreenGl gl(a.width, a.height);
  if (!gl.valid()) {
    err << "error: " << gl.error() << '\n';
    return 1;
  }
  const QImage image = gl.render(view, doc);
  const SceneRenderer& scene = gl.scene();
  if (!scene.failure().empty()) {
    platform.message(scene.failure(), MessageKind::Error);
    return 1;
  }
  const ImageFormat format = imageFormatForPath(a.output);
  if (isVectorFormat(format)) {
    VectorPageResult page;
    const bool ok = saveVectorImage(a.output, platform, [&] {
      gl.makeCurrent();
      page = exportViewAsVector(format, a.output, view.state, gl.resources(), {0, 0, a.width, a.height},
                                [&] { gl.draw(view, doc); });
      RenderedImage r;
      if (page.status == VectorPageResult::Status::Written)
        r.bytes = std::move(page.bytes);
      else if (page.status == VectorPageResult::Status::OutOfMemory)
        r.failure = feedbackMemoryText(page.bufferFloats);
      else
        r.failure = couldNotSaveImageText(a.output);
      return r;
    });
    if (!ok) return 1;
    if (a.stats) out << "vector attempts: " << page.attempts << '\n' << "feedback floats: " << page.bufferFloats << '\n';
  } else if (!saveBitmapImage(a.output, image, platform)) {
    return 1;
  }
  if (a.stats) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.3f", scene.lastBuildMs());
    out << "faces: " << scene.geometry().faceCount() << '\n' << "build ms: " << buf << '\n';
    const CellFacesScene& overlay = scene.geometry().cellFaces;
    if (overlay.method == kFacesLines) out << "cell face traces: " << overlay.traces.size() << '\n';
    if (overlay.method == kFacesSurface) out << "cell faces drawn: " << overlay.faces.size() << '\n';
  }
  return 0;
}

}  // namespace

}  // namespace litho
