// The block editor on a 200 x 200 x 200 model: one step of the X slider with
// a block of 20 x 20 x 20 cells, from the slider event to the finished frame
// (recompute, scene patch, slab lists recompiled, frame drawn). Against the
// same step done whole: the committed values copied to the working values and
// the scene built and compiled again.
//   block_editor_gl_bench [N] [steps] [WIDTHxHEIGHT]
#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "app/application.h"
#include "app/offscreen_gl.h"
#include "bench_cube.h"
#include "core/edit/block_editor.h"
#include "core/load/document.h"
#include "core/platform/stream_platform.h"
#include "core/view/view_controller.h"
#include "gl/frame_gl.h"
#include "gl/scene_gl.h"

using namespace litho;

namespace {

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// CPU time of this process and its rendering threads, ms: on a shared machine
// the wall time says as much about the other processes.
double cpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec * 1e-6;
}

double msSince(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int n = argc > 1 ? std::atoi(argv[1]) : 200;
  const int steps = argc > 2 ? std::atoi(argv[2]) : 40;
  int w = 800, h = 600;
  if (argc > 3) std::sscanf(argv[3], "%dx%d", &w, &h);
  OffscreenApplication app(argc, argv);

  std::ostream null(nullptr);
  StreamPlatform platform(null, true);
  Document doc(platform, platform);
  {
    ModelStore cube = bench::makeCube(n);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j)
        for (int k = 0; k < n; ++k) cube.modelData(0)(i, j, k) = bench::bodiesValue(i, j, k, n);
    cube.recomputeRange(Which::First);
    cube.computeBottomMean();
    doc.adopt(std::move(cube), {});
  }
  ViewController view(doc, platform);
  view.refresh(ViewRefresh::NewLoad);
  view.resize(w, h);
  OffscreenGl gl(w, h);
  if (!gl.valid()) {
    std::fprintf(stderr, "%s\n", gl.error().c_str());
    return 1;
  }
  auto editor = openBlockEditor(doc, view.state, view.colours.firstScale, platform);
  if (!editor) return 1;
  const SceneRenderer& scene = gl.scene();
  gl.draw(view, doc);
  double load = 0;
  if (FILE* f = std::fopen("/proc/loadavg", "r")) {
    if (std::fscanf(f, "%lf", &load) != 1) load = 0;
    std::fclose(f);
  }
  std::printf("renderer: %s, %dx%d, %d x %d x %d = %lld cells, load average %.1f\n", rendererName().c_str(), w, h, n, n,
              n, doc.mesh().cellCount(), load);
  std::printf("first frame with the editor open: faces %zu, build %.1f ms, compile %.1f ms, %zu slabs\n",
              scene.geometry().faceCount(), scene.lastBuildMs(), scene.lastCompileMs(), scene.geometry().slabs.size());

  // A block of 20 x 20 x 20 cells in the middle, moved east one column a step.
  editor->setValue(2.5f);
  editor->moveSlider(1, n / 2);
  editor->moveSlider(2, n / 3);
  editor->setSizeMode(true);
  for (int a = 0; a < 3; ++a) editor->moveSlider(a, 19);
  editor->setSizeMode(false);
  view.state.frame.valuesChanged(doc.takeValuesChanged());
  gl.draw(view, doc);

  std::vector<double> step, stepCpu, recompute, patchBuild, patchCompile;
  std::size_t cells = 0;
  for (int s = 0; s < steps; ++s) {
    const auto t0 = std::chrono::steady_clock::now();
    const double c0 = cpuMs();
    editor->moveSlider(0, n / 4 + s);
    const CellRegion changed = doc.takeValuesChanged();
    recompute.push_back(msSince(t0));
    cells += changed.cellCount();
    view.state.frame.valuesChanged(changed);
    gl.draw(view, doc);
    step.push_back(msSince(t0));
    stepCpu.push_back(cpuMs() - c0);
    if (!scene.lastWasPatch()) std::printf("  step %d was not patched\n", s);
    patchBuild.push_back(scene.lastBuildMs());
    patchCompile.push_back(scene.lastCompileMs());
  }

  // The same step done whole.
  const int wholeSteps = std::max(3, steps / 8);
  std::vector<double> whole, wholeCpu, wholeBuild, wholeCompile;
  std::vector<float> committed(editor->committedValues().data(),
                               editor->committedValues().data() + editor->committedValues().size());
  for (int s = 0; s < wholeSteps; ++s) {
    const auto t0 = std::chrono::steady_clock::now();
    const double c0 = cpuMs();
    std::memcpy(doc.editStore().modelData(0).data(), committed.data(), committed.size() * sizeof(float));
    editor->moveSlider(0, n / 4 + steps + s);
    doc.takeValuesChanged();
    view.state.frame.rebuild();
    view.state.frame.redraw();
    gl.draw(view, doc);
    whole.push_back(msSince(t0));
    wholeCpu.push_back(cpuMs() - c0);
    wholeBuild.push_back(scene.lastBuildMs());
    wholeCompile.push_back(scene.lastCompileMs());
  }

  std::vector<double> frameOnly, frameCpu;
  for (int s = 0; s < 10; ++s) {
    const auto t0 = std::chrono::steady_clock::now();
    const double c0 = cpuMs();
    view.state.frame.redraw();
    gl.draw(view, doc);
    frameOnly.push_back(msSince(t0));
    frameCpu.push_back(cpuMs() - c0);
  }

  std::printf("median of %d steps (ms)   %10s %10s %10s %10s %10s\n", steps, "total", "cpu", "values", "build",
              "compile");
  std::printf("  patched slabs          %10.2f %10.2f %10.2f %10.2f %10.2f   (%zu cells changed a step)\n",
              median(step), median(stepCpu), median(recompute), median(patchBuild), median(patchCompile),
              cells / static_cast<std::size_t>(steps));
  std::printf("  whole (%2d steps)       %10.2f %10.2f %10s %10.2f %10.2f\n", wholeSteps, median(whole),
              median(wholeCpu), "", median(wholeBuild), median(wholeCompile));
  std::printf("  frame alone            %10.2f %10.2f\n", median(frameOnly), median(frameCpu));
  std::printf("patched step %.1fx faster than the whole step; under 100 ms: %s (wall), %s (cpu)\n",
              median(whole) / median(step), median(step) < 100 ? "yes" : "no", median(stepCpu) < 100 ? "yes" : "no");
  return 0;
}
