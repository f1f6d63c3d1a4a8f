#include "batch/movie_command.h"

#include <QGuiApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "app/application.h"
#include "app/offscreen_gl.h"
#include "batch/command_line.h"
#include "core/io/field_parse.h"
#include "core/io/file_system.h"
#include "core/load/document.h"
#include "core/load/memory.h"
#include "core/output/movie_session.h"
#include "core/platform/stream_platform.h"
#include "core/view/view_controller.h"
#include "core/view/view_parameters.h"
#include "gl/scene_gl.h"

namespace litho {

namespace {

constexpr const char* kMovieUsage =
    "usage: lithoscan3d-batch movie MESH MODEL -o FILE.avi|FILE.mp4 [--size WxH] [--fps N] [--turn DEGREES]\n"
    "                               [--frames N] [--second FILE] [--log] [--octree] [--yes] [--memory-limit MB]\n"
    "       lithoscan3d-batch movie --view FILE.ls3d -o FILE.avi|FILE.mp4 [the same options but --second,\n"
    "                               --log and --octree]\n"
    "  Loads MESH and MODEL as the program does (or the files and view of a saved view) and records\n"
    "  a turntable: the view turned by DEGREES (default 360) about the vertical axis in N frames\n"
    "  (default 72, at least 2), shown --fps frames a second (default 24), WxH pixels (default\n"
    "  800x600). FILE.mp4 is H.264, any other name an AVI file (Microsoft Video 1, or Motion JPEG\n"
    "  when the size is not a multiple of 4).\n";

int usage(std::ostream& err, const std::string& problem) {
  err << "lithoscan3d-batch: " << problem << '\n' << kMovieUsage;
  return 2;
}

struct MovieArgs : LoadOptions {
  std::string mesh, model, output, viewFile;
  int width = 800, height = 600;
  int fps = 24, frames = 72;
  double turn = 360;
};

}  // namespace

int runMovieCommand(int argc, char** argv, const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (wantsHelp(args)) {
    out << kMovieUsage;
    return 0;
  }
  BatchCommandLine line;
  if (!line.parse({args.begin() + 1, args.end()},
                  {{{"o", "output"}, 1}, {{"size"}, 1}, {{"fps"}, 1}, {{"frames"}, 1}, {{"turn"}, 1}, {{"view"}, 1},
                   {{"second"}, 1}, {{"log"}}, {{"octree"}}, {{"yes"}}, {{"memory-limit"}, 1}}))
    return usage(err, line.error());
  MovieArgs a;
  if (const std::string problem = readLoadOptions(line, a); !problem.empty()) return usage(err, problem);
  a.output = line.value("o");
  if (line.isSet("o") && a.output.empty()) return usage(err, "-o needs a file name");
  if (line.isSet("size")) {
    const auto size = parseImageSize(line.value("size"), 16, 8192);
    if (!size) return usage(err, "--size needs WIDTHxHEIGHT, each 16 to 8192");
    a.width = size->first;
    a.height = size->second;
  }
  if (line.isSet("fps")) {
    const auto n = parseIntField(line.value("fps"));
    if (!n || *n < 1 || *n > kMaxFramesPerSecond)
      return usage(err, "--fps needs a whole number from 1 to " + std::to_string(kMaxFramesPerSecond));
    a.fps = *n;
  }
  if (line.isSet("frames")) {
    const auto n = parseIntField(line.value("frames"));
    if (!n || *n < 2 || *n > kMaxTransitionFrames)
      return usage(err, "--frames needs a whole number from 2 to " + std::to_string(kMaxTransitionFrames));
    a.frames = *n;
  }
  if (line.isSet("turn")) {
    const auto d = parseDoubleField(line.value("turn"));
    if (!d || !(*d >= -36000 && *d <= 36000)) return usage(err, "--turn needs a number of degrees");
    a.turn = *d;
  }
  a.viewFile = line.value("view");
  if (line.isSet("view") && a.viewFile.empty()) return usage(err, "--view needs a view file");
  const std::vector<std::string>& positional = line.files();
  if (!a.viewFile.empty()) {
    if (!positional.empty() || a.log || a.octree || !a.second.empty()) return usage(err, "--view takes its files and view from the view file");
  } else if (positional.size() != 2) {
    return usage(err, "movie needs a mesh file and a model file (or NOMODEL)");
  } else if (!a.second.empty() && positional[1] == "NOMODEL") {
    return usage(err, "--second needs a first model");
  }
  if (a.output.empty()) return usage(err, "movie needs -o FILE");
  a.output = withDefaultMovieExtension(fullPath(a.output));

  const ScopedMemoryLimit limit(a.memoryLimit);
  OffscreenApplication app(argc, argv);
  if (!app.error().empty()) {
    err << "error: " << app.error() << '\n';
    return 1;
  }

  StreamPlatform platform(err, a.yes);
  Document doc(platform, platform);
  ViewController view(doc, platform);
  if (!a.viewFile.empty()) {
    if (!loadViewParameters(fullPath(a.viewFile), doc, view, platform, platform).ok || !doc.modelLoaded()) return 1;
  } else {
    LoadRequest files;
    files.logModel = a.log;
    files.octree = a.octree;
    files.secondModelPath = a.second.empty() ? std::string() : fullPath(a.second);
    files.meshPath = fullPath(positional[0]);
    files.modelPath = positional[1] == "NOMODEL" ? std::string() : fullPath(positional[1]);
    if (doc.load(files) != LoadStatus::Loaded || !doc.modelLoaded()) return 1;
    view.refresh(ViewRefresh::NewLoad);
  }
  view.resize(a.width, a.height);

  OffscreenGl gl(a.width, a.height);
  if (!gl.valid()) {
    err << "error: " << gl.error() << '\n';
    return 1;
  }
  gl.draw(view, doc);
  if (!gl.scene().failure().empty()) {
    platform.message(gl.scene().failure(), MessageKind::Error);
    return 1;
  }

  // The program's recorder in its key-frame method: the start is the key
  // frame, the turned view the end of one transition.
  MovieSession movie(view, platform);
  std::vector<unsigned char> pixels(static_cast<std::size_t>(a.width) * a.height * 4);
  movie.hooks.draw = [&] {
    gl.draw(view, doc);
    if (!movie.wantsFrame()) return;
    gl.read(pixels.data());
    const MovieFrame frame{a.width, a.height, pixels.data(), true};
    movie.frameDrawn(&frame);
  };
  movie.begin(a.output, a.fps, 1);
  view.state.rotationZ += static_cast<float>(a.turn);
  view.applyModelView();
  movie.transition(a.frames);
  if (!movie.recording()) {
    if (!movie.failure().empty()) err << "error: " << movie.failure() << '\n';
    return 1;
  }
  const MovieRecorder& r = *movie.recorder();
  const int frames = r.frameCount();
  const std::string codec = r.encoder().codecName();
  const int w = r.encoder().encodedWidth(), h = r.encoder().encodedHeight();
  if (!movie.stop()) return 1;
  out << "movie: " << frames << " frames of " << w << "x" << h << " at " << a.fps << " frames/s, " << codec << ", "
      << a.output << '\n';
  return 0;
}

}  // namespace litho
