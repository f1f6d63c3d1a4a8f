#pragma once
#include <string>

#include "core/load/document.h"
#include "core/scene/face_merge.h"
#include "core/scene/scene.h"
#include "core/view/view_state.h"
#include "gl/data_gl.h"
#include "gl/display_lists.h"
#include "gl/faces_gl.h"

namespace litho {

// The model scene of one context: built by the core. The model's faces are
// merged into larger rectangles and kept in vertex arrays drawn every frame;
// the rest of the scene is compiled into display lists between them.
class SceneRenderer {
 public:
  explicit SceneRenderer(DisplayLists& lists) : lists_(lists) {}

  // Builds the scene, with the view's cell-faces overlay when given, fills
  // the face arrays and compiles the lists (compile only). A scene that does not fit in memory is
  // compiled empty and failure() says why.
  void rebuild(const Document& doc, const ViewState& v, const ColourState& colours,
               const CellFacesOverlay* cellFaces);
  // After the values of the cells in changed: fills again only the arrays of
  // the slabs of faces they touch, or rebuilds when the scene cannot be patched.
  void patch(const Document& doc, const ViewState& v, const ColourState& colours, const CellRegion& changed,
             const CellFacesOverlay* cellFaces);
  // Why the last rebuild drew nothing or left the cell faces out, or "".
  const std::string& failure() const { return failure_; }
  // Draws the last built scene.
  void draw() const;
  // With cell edges on (mesh mode) every face is sent alone, so that its
  // outline shows; the arrays are filled again when this changes.
  void showCellEdges(bool on);
  // While on, rebuild() compiles no list and draw() sends the scene itself:
  // GL2PS reads the polygon offset from the GL state when it is announced,
  // which a display list being compiled does not change.
  void setImmediate(bool on) { immediate_ = on; }
  // False before the first rebuild and after release().
  bool compiled() const { return list_ != 0 || (immediate_ && mesh_); }
  unsigned listName() const { return list_; }
  // Frees the lists and arrays (context current); the next frame rebuilds them.
  void release();

  const SceneGeometry& geometry() const { return geometry_; }
  const SceneBuilder& builder() const { return builder_; }
  SceneBuilder& builder() { return builder_; }
  double lastBuildMs() const { return buildMs_; }
  double lastCompileMs() const { return compileMs_; }
  // Rebuilds so far; a patch is not one.
  unsigned long rebuildCount() const { return rebuilds_; }
  // Whether the last rebuild or patch only patched.
  bool lastWasPatch() const { return patched_; }
  // What a frame sends of the model: faces (merged rectangles and clipped
  // polygons) and their vertices.
  std::size_t sentFaces() const;
  std::size_t sentVertices() const;

 private:
  // The merged faces of one range of the scene's faces, grouped by side.
  struct FaceBlock {
    std::vector<float> positions;  // 4 corners of 3 per rectangle
    std::vector<float> colours;    // 4 corners of 4
    std::array<std::size_t, 6> sideEnd{};
    std::size_t size() const { return sideEnd[5]; }
  };
  void compile(const RectMesh& mesh, const std::array<double, 3>& origin);
  void fillFaceArrays(const RectMesh& mesh, const std::array<double, 3>& origin);
  void fillBlock(FaceBlock& block, std::uint32_t begin, std::uint32_t end, const RectMesh& mesh,
                 const std::array<double, 3>& origin);
  void drawFaceOp(std::size_t op) const;
  std::size_t blockCount(std::size_t op) const;
  void fillSlabBlock(std::size_t block, const RectMesh& mesh, const std::array<double, 3>& origin);
  // Whether faces are merged: not in mesh mode, nor for a vector export, which keeps every face.
  bool joined() const { return !cellEdges_ && !immediate_; }
  void sendOps(std::size_t from, std::size_t to, const RectMesh& mesh, const std::array<double, 3>& origin) const;
  void sendOverlays(std::uint32_t begin, std::uint32_t end, const std::array<double, 3>& origin) const;

  DisplayLists& lists_;
  unsigned list_ = 0;  // one list before each faces op and one after the last
  int listCount_ = 0;
  bool compiling_ = false;
  bool cellEdges_ = false;
  std::vector<std::size_t> faceOps_;
  std::vector<FaceBlock> blocks_;
  std::vector<std::size_t> opFirstBlock_;  // per op; the slabbed op's blocks hold slabsPerBlock_ slabs each
  std::size_t slabsPerBlock_ = 1;
  FaceMerger merger_;
  std::vector<MergedFace> merged_;
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
  unsigned long rebuilds_ = 0;
};

}  // namespace litho
