#include "batch/render_command.h"

#include <QGuiApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "app/offscreen_gl.h"
#include "batch/batch.h"
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
    "                                [--faces-cutoff LO HI] [--log] [--octree] [--yes] [--memory-limit MB]\n"
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

struct RenderArgs {
  std::string mesh, model, topography, output, viewFile;
  std::optional<DataArgument> data;
  std::optional<FacesArgument> faces;
  std::optional<std::pair<float, float>> facesCutoff;
  int width = 800, height = 600;
  bool cutoff = false;
  double lo = 0, hi = 0;
  bool stats = false, log = false, yes = false, octree = false;
  unsigned long long memoryLimit = 0;
};

int writePicture(const RenderArgs& a, Document& doc, ViewController& view, Platform& platform,
                 std::ostream& out, std::ostream& err);

}  // namespace

int runRenderCommand(int argc, char** argv, const std::vector<std::string>& args, std::ostream& out,
                     std::ostream& err) {
  RenderArgs a;
  std::vector<std::string> positional;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& s = args[i];
    auto next = [&](const char* what) -> const std::string* {
      if (i + 1 >= args.size()) return nullptr;
      (void)what;
      return &args[++i];
    };
    if (s == "-o") {
      const std::string* v = next("-o");
      if (!v) return usage(err, "-o needs a file name");
      a.output = *v;
    } else if (s == "--size") {
      const std::string* v = next("--size");
      int w = 0, h = 0;
      char tail = 0;
      if (!v || std::sscanf(v->c_str(), "%dx%d%c", &w, &h, &tail) != 2 || w < 1 || h < 1 || w > 16384 ||
          h > 16384)
        return usage(err, "--size needs WIDTHxHEIGHT, each 1 to 16384");
      a.width = w;
      a.height = h;
    } else if (s == "--cutoff") {
      const std::string* lo = next("--cutoff");
      const std::string* hi = lo ? next("--cutoff") : nullptr;
      const auto l = lo ? parseDoubleField(*lo) : std::nullopt;
      const auto h = hi ? parseDoubleField(*hi) : std::nullopt;
      if (!l || !h) return usage(err, "--cutoff needs two numbers");
      a.cutoff = true;
      a.lo = *l;
      a.hi = *h;
    } else if (s == "--view") {
      const std::string* v = next("--view");
      if (!v || v->empty()) return usage(err, "--view needs a view file");
      a.viewFile = *v;
    } else if (s == "--topo") {
      const std::string* v = next("--topo");
      if (!v || v->empty()) return usage(err, "--topo needs a file");
      a.topography = *v;
    } else if (s == "--data") {
      const std::string* v = next("--data");
      a.data = v ? parseDataArgument(*v) : std::nullopt;
      if (!a.data)
        return usage(err, "--data needs FILE[:METHOD[:VALUE]], VALUE 0 to 1 for a surface and above 0 otherwise");
    } else if (s == "--faces") {
      const std::string* v = next("--faces");
      a.faces = v ? parseFacesArgument(*v) : std::nullopt;
      if (!a.faces) return usage(err, "--faces needs FILE[:lines|surface]");
    } else if (s == "--faces-cutoff") {
      const std::string* lo = next("--faces-cutoff");
      const std::string* hi = lo ? next("--faces-cutoff") : nullptr;
      const auto l = lo ? parseFloatField(*lo) : std::nullopt;
      const auto h = hi ? parseFloatField(*hi) : std::nullopt;
      if (!l || !h) return usage(err, "--faces-cutoff needs two numbers");
      a.facesCutoff = std::make_pair(*l, *h);
    } else if (s == "--stats") {
      a.stats = true;
    } else if (s == "--log") {
      a.log = true;
    } else if (s == "--octree") {
      a.octree = true;
    } else if (s == "--yes") {
      a.yes = true;
    } else if (s == "--memory-limit") {
      const std::string* v = next("--memory-limit");
      const auto limit = v ? parseMemoryLimit(*v) : std::nullopt;
      if (!limit) return usage(err, "--memory-limit needs a number of megabytes");
      a.memoryLimit = *limit;
    } else if (s.size() > 1 && s[0] == '-') {
      return usage(err, "unknown option " + s);
    } else {
      positional.push_back(s);
    }
  }
  if (!a.viewFile.empty()) {
    if (!positional.empty() || a.data || a.faces || a.cutoff || !a.topography.empty() || a.log || a.octree)
      return usage(err, "--view takes its files and view from the view file");
  } else if (positional.size() != 2) {
    return usage(err, "render needs a mesh file and a model file (or NOMODEL)");
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

  const ScopedMemoryLimit limit(a.memoryLimit);
  HeadlessDisplay display;
  if (!display.error().empty()) {
    err << "error: " << display.error() << '\n';
    return 1;
  }
  ::setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
  setDefaultSurfaceFormat();
  QGuiApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");

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
