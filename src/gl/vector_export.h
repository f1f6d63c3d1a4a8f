#pragma once
#include <array>
#include <cstddef>
#include <functional>
#include <string>

#include "core/load/document.h"
#include "core/output/image_export.h"
#include "core/scene/colour_state.h"
#include "core/view/view_state.h"
#include "gl/gl_resources.h"

namespace litho {

// The GL2PS format of a vector image format.
int gl2psFormat(ImageFormat f);

struct VectorPageResult {
  enum class Status { Written, OutOfMemory, Failed } status = Status::Failed;
  int attempts = 0;
  std::size_t bufferFloats = 0;  // of the last attempt
  std::string bytes;             // the whole file when written
};

// Draws pages through GL2PS into memory until the feedback buffer holds the
// frame: draw() is called once per attempt, starting with firstBuffer floats
// and doubling after each overflow. The context must be current.
VectorPageResult writeVectorPage(int format, int sort, const std::array<int, 4>& viewport,
                                 const std::string& fileName, std::size_t firstBuffer,
                                 const std::function<void()>& draw);

// What the current scene puts through the feedback buffer.
FeedbackCounts feedbackCounts(const SceneGeometry& g, std::size_t overlayTextBytes);

// GL2PS's sort for a scene of this many faces. BSP keeps intersecting and
// translucent faces right and takes a few seconds up to about 14 000 faces,
// but over a minute from about 56 000, splitting faces into files ten times
// larger; sorting by depth with occlusion culling writes the large views in
// seconds (vector_export_gl_bench).
int vectorSortFor(std::size_t faces);
inline constexpr std::size_t kBspFaceLimit = 20000;

// The whole frame of the view as a vector file: sets exportInProgress, hands
// the overlays' text to GL2PS ("Helvetica" at fontSize, point names at 10)
// and rebuilds the scene so its state changes are announced to GL2PS.
// viewport: the window's viewport in pixels; setViewport/draw are the
// caller's frame (drawFrame with its context current).
VectorPageResult exportViewAsVector(ImageFormat format, const std::string& fileName, ViewState& v,
                                    GlResources& gl, const std::array<int, 4>& viewport,
                                    const std::function<void()>& drawFrame, int sort = 0);

}  // namespace litho
