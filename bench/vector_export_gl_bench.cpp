// Vector export of the generated N^3 model (8 M cells by default, the field
// of scene_bench) at its "half" cutoff (median to maximum): attempts, feedback buffer, time and file size in
// PDF and EPS, with the sort that the face count chooses and, for comparison,
// the other sorts.
//   vector_export_gl_bench [N] [WIDTHxHEIGHT] [--all-sorts] [--keep DIR]
#include <QGuiApplication>
#include <gl2ps.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/offscreen_gl.h"
#include "bench_cube.h"
#include "core/load/document.h"
#include "core/platform/stream_platform.h"
#include "core/view/view_controller.h"
#include "gl/frame_gl.h"
#include "gl/vector_export.h"

using namespace litho;

namespace {
const char* sortName(int s) {
  return s == GL2PS_BSP_SORT ? "BSP" : s == GL2PS_SIMPLE_SORT ? "simple" : "none";
}
}  // namespace

int main(int argc, char** argv) {
  int n = 200, w = 800, h = 600;
  bool allSorts = false;
  std::string keep;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--all-sorts"))
      allSorts = true;
    else if (!std::strcmp(argv[i], "--keep") && i + 1 < argc)
      keep = argv[++i];
    else if (std::strchr(argv[i], 'x'))
      std::sscanf(argv[i], "%dx%d", &w, &h);
    else
      n = std::atoi(argv[i]);
  }
  OffscreenApplication app(argc, argv);

  std::ostream null(nullptr);
  StreamPlatform platform(null, false);
  Document doc(platform, platform);
  ModelStore cube = bench::makeCube(n);
  std::vector<float> sorted;
  sorted.reserve(static_cast<std::size_t>(n) * n * n);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j)
      for (int k = 0; k < n; ++k) sorted.push_back(cube.modelData(0)(i, j, k) = bench::bodiesValue(i, j, k, n));
  std::sort(sorted.begin(), sorted.end());
  cube.setRange(sorted.front(), sorted.back());
  doc.adopt(std::move(cube), {});

  ViewController view(doc, platform);
  view.refresh(ViewRefresh::NewLoad);
  view.resize(w, h);
  view.state.showLabels = true;
  view.state.displayMin = sorted[sorted.size() / 2];
  view.state.displayMax = sorted.back();
  OffscreenGl gl(w, h);
  if (!gl.valid()) {
    std::fprintf(stderr, "%s\n", gl.error().c_str());
    return 1;
  }
  gl.render(view, doc);
  const std::size_t faces = gl.scene().geometry().faceCount();
  std::printf("renderer: %s, %dx%d, %d^3 cells, half cutoff: %zu faces, first buffer %zu floats\n",
              rendererName().c_str(), w, h, n, faces,
              feedbackEstimate(feedbackCounts(gl.scene().geometry(), 2048)));
  std::vector<int> sorts{vectorSortFor(faces)};
  if (allSorts) sorts = {GL2PS_SIMPLE_SORT, GL2PS_BSP_SORT};
  for (const ImageFormat f : {ImageFormat::Pdf, ImageFormat::Eps}) {
    const char* ext = f == ImageFormat::Pdf ? "pdf" : "eps";
    for (const int sort : sorts) {
      const auto t0 = std::chrono::steady_clock::now();
      gl.makeCurrent();
      const VectorPageResult r = exportViewAsVector(f, std::string("bench.") + ext, view.state, gl.resources(),
                                                    {0, 0, w, h}, [&] { gl.draw(view, doc); }, sort);
      const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
      std::printf("%s %-6s: %s, %d attempt(s), buffer %zu floats, %.1f s, %.1f MB\n", ext, sortName(sort),
                  r.status == VectorPageResult::Status::Written ? "written" : "FAILED", r.attempts, r.bufferFloats, s,
                  static_cast<double>(r.bytes.size()) / 1e6);
      // For comparison: steps of 1 Mi floats would have drawn the frame up to this many times.
      if (sort == sorts.front())
        std::printf("  steps of 1 Mi floats: up to %zu draw(s)\n",
                    (r.bufferFloats + kMinFeedbackFloats - 1) / kMinFeedbackFloats);
      if (!keep.empty()) {
        std::ofstream out(keep + "/bench_" + sortName(sort) + "." + ext, std::ios::binary);
        out << r.bytes;
      }
    }
  }
  return 0;
}
