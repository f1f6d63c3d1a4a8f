#pragma once
#include <string>

#include "core/load/document.h"
#include "core/scene/scene.h"
#include "core/view/view_state.h"
#include "gl/data_gl.h"
#include "gl/display_lists.h"
#include "gl/faces_gl.h"

namespace litho {

// The model scene of one context: built by the core, compiled here into a
// display list taken from the context's names.
class SceneRenderer {
 public:
  explicit SceneRenderer(DisplayLists& lists) : lists_(lists) {}

  // Builds the scene, with the view's cell-faces overlay when given, and
  // compiles it (compile only). A scene that does not fit in memory is
  // compiled empty and failure() says why.
  void rebuild(const Document& doc, const ViewState& v, const ColourState& colours,
               const CellFacesOverlay* cellFaces);
  // After the values of the cells in changed: recompiles only the slabs of
  // faces they touch, or rebuilds when the scene cannot be patched.
  void patch(const Document& doc, const ViewState& v, const ColourState& colours, const CellRegion& changed,
             const CellFacesOverlay* cellFaces);
  // Why the last rebuild drew nothing or left the cell faces out, or "".
  const std::string& failure() const { return failure_; }
  // Replays the last compiled scene.
  void draw() const;
  // While on, rebuild() compiles nothing and draw() sends the scene itself:
  // GL2PS reads the polygon offset from the GL state when it is announced,
  // which a display list being compiled does not change.
  void setImmediate(bool on) { immediate_ = on; }
  // False before the first rebuild and after release().
  bool compiled() const { return list_ != 0 || (immediate_ && mesh_); }
  unsigned listName() const { return list_; }
  // Frees the list (context current); the next frame rebuilds it.
  void release();

  const SceneGeometry& geometry() const { return geometry_; }
  const SceneBuilder& builder() const { return builder_; }
  SceneBuilder& builder() { return builder_; }
  double lastBuildMs() const { return buildMs_; }
  double lastCompileMs() const { return compileMs_; }
  // Whether the last rebuild or patch only patched.
  bool lastWasPatch() const { return patched_; }

 private:
  void compile(const RectMesh& mesh, const std::array<double, 3>& origin);
  void compileSlab(const RectMesh& mesh, const std::array<double, 3>& origin, int slab);
  // callSlabs: the slabbed faces op calls the slab lists instead of sending its faces.
  void sendScene(const RectMesh& mesh, const std::array<double, 3>& origin, bool callSlabs = false) const;
  void sendOverlays(std::uint32_t begin, std::uint32_t end, const std::array<double, 3>& origin) const;

  DisplayLists& lists_;
  unsigned list_ = 0;
  unsigned slabLists_ = 0;  // one list per slab of faces, called by list_
  int slabListCount_ = 0;
  std::vector<int> changedSlabs_;
  SceneBuilder builder_;
  SceneGeometry geometry_;
  mutable VertexStaging staging_;  // kept between builds
  mutable DataStaging dataStaging_;
  std::string failure_;
  bool immediate_ = false;
  const RectMesh* mesh_ = nullptr;  // of the last build, for immediate drawing
  std::array<double, 3> origin_{};
  double buildMs_ = 0;
  double compileMs_ = 0;
  bool patched_ = false;
};

}  // namespace litho
