// Movie recording of the generated N^3 model (8 M cells by default) in the
// key-frame method: a transition of F frames turning 90 degrees, drawn only,
// then recorded as AVI and as MP4. Prints the medians per frame of drawing,
// capture and encoding, the frames written a second and the file sizes.
//   movie_gl_bench [N] [WIDTHxHEIGHT] [FRAMES] [--keep DIR]
#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/offscreen_gl.h"
#include "bench_cube.h"
#include "core/load/document.h"
#include "core/output/movie_session.h"
#include "core/platform/stream_platform.h"
#include "core/view/view_controller.h"
#include "gl/frame_gl.h"

using namespace litho;

namespace {

using Clock = std::chrono::steady_clock;
double ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int n = 200, w = 1024, h = 768, frames = 40;
  std::string keep;
  for (int i = 1, plain = 0; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--keep") && i + 1 < argc)
      keep = argv[++i];
    else if (std::strchr(argv[i], 'x'))
      std::sscanf(argv[i], "%dx%d", &w, &h);
    else if (plain++ == 0)
      n = std::atoi(argv[i]);
    else
      frames = std::max(2, std::atoi(argv[i]));
  }
  OffscreenApplication app(argc, argv);

  std::ostream null(nullptr);
  StreamPlatform platform(null, false);
  Document doc(platform, platform);
  ModelStore cube = bench::makeCube(n);
  float lo = 1e30f, hi = -1e30f;
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j)
      for (int k = 0; k < n; ++k) {
        const float v = cube.modelData(0)(i, j, k) = bench::bodiesValue(i, j, k, n);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
      }
  cube.setRange(lo, hi);
  doc.adopt(std::move(cube), {});
  ViewController view(doc, platform);
  view.refresh(ViewRefresh::NewLoad);
  view.resize(w, h);
  OffscreenGl gl(w, h);
  if (!gl.valid()) {
    std::fprintf(stderr, "%s\n", gl.error().c_str());
    return 1;
  }
  gl.draw(view, doc);
  std::printf("renderer: %s, %dx%d, %d^3 cells, %zu faces, %d frames turning 90 degrees\n", rendererName().c_str(), w,
              h, n, gl.scene().geometry().faceCount(), frames);

  const std::string folder = keep.empty() ? std::filesystem::temp_directory_path().string() : keep;
  std::vector<unsigned char> pixels(static_cast<std::size_t>(w) * h * 4);
  for (const char* name : {"", "bench_movie.avi", "bench_movie.mp4"}) {
    const bool record = *name != 0;
    const std::string path = folder + "/" + name;
    MovieSession movie(view, platform);
    std::vector<double> draw, capture, encode;
    movie.hooks.draw = [&] {
      const auto t0 = Clock::now();
      gl.draw(view, doc);  // ends with glFinish
      const auto t1 = Clock::now();
      draw.push_back(ms(t0, t1));
      if (!movie.wantsFrame()) return;
      gl.read(pixels.data());
      const auto t2 = Clock::now();
      const MovieFrame frame{w, h, pixels.data(), true};
      movie.frameDrawn(&frame);
      capture.push_back(ms(t1, t2));
      encode.push_back(ms(t2, Clock::now()));
    };
    const float start = view.state.rotationZ;
    const auto t0 = Clock::now();
    if (record) {
      movie.begin(path, 24, 1);
      view.state.rotationZ += 90;
      view.applyModelView();
      movie.transition(frames);
    } else {
      for (int i = 0; i < frames; ++i) {
        view.state.rotationZ = start + 90.0f / static_cast<float>(frames - 1) * static_cast<float>(i);
        view.applyModelView();
        movie.hooks.draw();
      }
    }
    int written = frames;
    std::string codec = "-";
    if (record) {
      if (!movie.recording()) {
        std::printf("%s: recording failed: %s\n", name, movie.failure().c_str());
        return 1;
      }
      written = movie.recorder()->frameCount();
      codec = movie.recorder()->encoder().codecName();
      movie.stop();  // the trailer is part of the cost
    }
    const double seconds = ms(t0, Clock::now()) / 1000;
    view.state.rotationZ = start;
    if (!record) {
      std::printf("draw only      : %5.2f frames/s, draw %.1f ms a frame\n", frames / seconds, median(draw));
      continue;
    }
    const auto bytes = std::filesystem::file_size(path);
    const double overhead = median(capture) + median(encode);
    std::printf(
        "%-15s: %5.2f frames/s, %d frames, %s, %.2f MB (%.1f kB a frame); a frame: draw %.1f ms, capture "
        "%.1f ms, encode %.1f ms (capture + encode %.2f x the draw)\n",
        name, written / seconds, written, codec.c_str(), static_cast<double>(bytes) / 1e6,
        static_cast<double>(bytes) / 1e3 / written, median(draw), median(capture), median(encode),
        overhead / median(draw));
    if (keep.empty()) std::filesystem::remove(path);
  }
  return 0;
}
