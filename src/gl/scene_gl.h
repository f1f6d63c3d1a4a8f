#pragma once
#include "core/load/document.h"
#include "core/scene/scene.h"
#include "core/view/view_state.h"

namespace litho {

// Display list 1: the scene built by the core and compiled here. One per context.
class SceneRenderer {
 public:
  // Builds the scene and compiles it into display list 1 (compile only).
  void rebuild(const Document& doc, const ViewState& v, const ColourState& colours);

  const SceneGeometry& geometry() const { return geometry_; }
  const SceneBuilder& builder() const { return builder_; }
  SceneBuilder& builder() { return builder_; }
  double lastBuildMs() const { return buildMs_; }
  double lastCompileMs() const { return compileMs_; }

 private:
  void compile(const Document& doc, const ViewState& v);
  void compileOverlays(std::uint32_t begin, std::uint32_t end, const std::array<double, 3>& origin);

  SceneBuilder builder_;
  SceneGeometry geometry_;
  std::vector<float> positions_, normals_, colours_;  // staging, kept between builds
  double buildMs_ = 0;
  double compileMs_ = 0;
};


}  // namespace litho
