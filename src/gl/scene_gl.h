#pragma once
#include <string>

#include "core/load/document.h"
#include "core/scene/scene.h"
#include "core/view/view_state.h"
#include "gl/data_gl.h"
#include "gl/display_lists.h"

namespace litho {

// The model scene of one context: built by the core, compiled here into a
// display list taken from the context's names.
class SceneRenderer {
 public:
  explicit SceneRenderer(DisplayLists& lists) : lists_(lists) {}

  // Builds the scene and compiles it (compile only). A scene that does not
  // fit in memory is compiled empty and failure() says why.
  void rebuild(const Document& doc, const ViewState& v, const ColourState& colours);
  // Why the last rebuild drew nothing, or "".
  const std::string& failure() const { return failure_; }
  // Replays the last compiled scene.
  void draw() const;
  // False before the first rebuild and after release().
  bool compiled() const { return list_ != 0; }
  unsigned listName() const { return list_; }
  // Frees the list (context current); the next frame rebuilds it.
  void release();

  const SceneGeometry& geometry() const { return geometry_; }
  const SceneBuilder& builder() const { return builder_; }
  SceneBuilder& builder() { return builder_; }
  double lastBuildMs() const { return buildMs_; }
  double lastCompileMs() const { return compileMs_; }

 private:
  void compile(const RectMesh& mesh, const std::array<double, 3>& origin);
  void compileOverlays(std::uint32_t begin, std::uint32_t end, const std::array<double, 3>& origin);

  DisplayLists& lists_;
  unsigned list_ = 0;
  SceneBuilder builder_;
  SceneGeometry geometry_;
  std::vector<float> positions_, normals_, colours_;  // staging, kept between builds
  DataStaging dataStaging_;
  std::string failure_;
  double buildMs_ = 0;
  double compileMs_ = 0;
};

}  // namespace litho
