// Display list 1 of a 200 x 200 x 200 model: compile time, then 100 frames
// rotating the camera with the list replayed (no rebuild).
//   scene_gl_bench [N] [WIDTHxHEIGHT]
#include <QGuiApplication>
#include <chrono>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/offscreen_gl.h"
#include "app/application.h"
#include "bench_cube.h"
#include "core/load/document.h"
#include "core/platform/stream_platform.h"
#include "gl/frame_gl.h"
#include "gl/scene_gl.h"
#include "core/view/view_controller.h"

using namespace litho;

int main(int argc, char** argv) {
  const int n = argc > 1 ? std::atoi(argv[1]) : 200;
  int w = 800, h = 600;
  if (argc > 2) std::sscanf(argv[2], "%dx%d", &w, &h);
  OffscreenApplication app(argc, argv);

  std::ostream null(nullptr);
  StreamPlatform platform(null, false);
  Document doc(platform, platform);
  ModelStore cube = bench::makeCube(n);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j)
      for (int k = 0; k < n; ++k) {
        const double x = i - n * 0.5, y = j - n * 0.4, z = k - n * 0.5;
        cube.modelData(0)(i, j, k) =
            static_cast<float>(0.2 * k / n + std::exp(-(x * x + y * y + z * z) / (0.02 * n * n)));
      }
  cube.setRange(0, 1.2);
  doc.adopt(std::move(cube), {});

  ViewController view(doc, platform);
  view.refresh(ViewRefresh::NewLoad);
  view.resize(w, h);
  OffscreenGl gl(w, h);
  if (!gl.valid()) {
    std::fprintf(stderr, "%s\n", gl.error().c_str());
    return 1;
  }
  std::printf("renderer: %s, %dx%d\n", rendererName().c_str(), w, h);
  const SceneRenderer& scene = gl.scene();
  for (const double lo : {0.0, 0.5}) {
    view.state.displayMin = lo;
    view.state.displayMax = 1.2;
    view.state.frame.rebuild();
    gl.render(view, doc);
    std::printf("cutoff %.1f..1.2: faces %zu, build %.1f ms, compile %.1f ms\n", lo, scene.geometry().faceCount(),
                scene.lastBuildMs(), scene.lastCompileMs());
    const auto t0 = std::chrono::steady_clock::now();
    const int frames = 100;
    for (int f = 0; f < frames; ++f) {
      view.rotateZ(+1);
      gl.draw(view, doc);
    }
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("  %d frames rotating: %.1f frames/s (list replayed, not rebuilt)\n", frames, frames / s);
  }
  return 0;
}
