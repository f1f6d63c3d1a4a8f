#pragma once
// The model scene as plain data: which cells are hidden, the exposed faces of
// the others with their colours, and the GL state changes between them. The
// GL layer only compiles this into display list 1.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/store/arrays.h"
#include "core/store/cell_box.h"
#include "core/store/rect_mesh.h"
#include "core/scene/cell_face.h"
#include "core/scene/colour_state.h"
#include "core/scene/data_scene.h"
#include "core/scene/faces_scene.h"
#include "core/scene/vector_scene.h"
#include "core/view/view_state.h"

namespace litho {

class Document;

// Half-open index box [xs, xe) x [ys, ye) x [zs, ze) of the cells that may be drawn.
struct DrawBox {
  int xs = 0, xe = 0, ys = 0, ye = 0, zs = 0, ze = 0;
  bool empty() const { return xs >= xe || ys >= ye || zs >= ze; }
  bool operator==(const DrawBox&) const = default;
  long long cellCount() const {
    return empty() ? 0 : static_cast<long long>(xe - xs) * (ye - ys) * (ze - zs);
  }
};

DrawBox drawBoxOf(const RectMesh& mesh, const ViewState& v);

// One byte per cell of the DrawBox, 1 = not drawn, framed by a layer of hidden
// cells on every side so that neighbour tests need no bounds checks. Kept
// allocated across rebuilds.
class HiddenFlags {
 public:
  void reset(const DrawBox& box);
  const DrawBox& box() const { return box_; }
  // Flags of column (i, j), indexed by k directly (valid for zs - 1 .. ze).
  std::uint8_t* column(int i, int j) {
    return data_.data() + columnOffset(i, j) - (box_.zs - 1);
  }
  const std::uint8_t* column(int i, int j) const {
    return data_.data() + columnOffset(i, j) - (box_.zs - 1);
  }
  bool hidden(int i, int j, int k) const { return column(i, j)[k] != 0; }
  long long columnStride() const { return strideZ_; }
  long long rowStride() const { return strideY_; }
  std::size_t capacityBytes() const { return data_.capacity(); }
  // Bytes the flags of box take.
  static unsigned long long bytesFor(const DrawBox& box);
  void release() {
    std::vector<std::uint8_t>().swap(data_);
    box_ = {};
    strideZ_ = strideY_ = 0;
  }

 private:
  long long columnOffset(int i, int j) const {
    return (static_cast<long long>(i - box_.xs + 1) * strideY_ + (j - box_.ys + 1)) * strideZ_;
  }
  DrawBox box_;
  long long strideZ_ = 0;  // cells per padded column
  long long strideY_ = 0;  // columns per padded row
  std::vector<std::uint8_t> data_;
};

// A clipped face of a cell crossed by the diagonal cut.
struct ScenePolygon {
  std::uint32_t firstVertex;
  std::uint32_t vertexCount;
  std::array<float, 3> normal;
  std::uint8_t colour;
};

enum class SceneOpKind : std::uint8_t {
  Faces,     // faces[begin, end)
  Polygons,  // polygons[begin, end)
  PolygonOffsetOn,
  PolygonOffsetOff,
  LightingOn,
  LightingOff,
  BlendOn,
  BlendOff,
  DepthWriteOff,
  DepthWriteOn,
  OverlayOffsetOn,  // polygon offset for the floor, which lies on the model's bottom faces
  Overlays,         // overlays[begin, end): boundary, floor, cut outlines, diagonal line
  Vectors,          // vectors.arrows[begin, end)
  // Drawn by the overlays that arrive later: the cell-faces overlay and the
  // observation data sets.
  CellFacesOverlay,
  DataSets,
};

enum class OverlayShape : std::uint8_t { Quads, Lines, LineStrip, LineLoop };

// Lines and flat quadrilaterals drawn around the model, in one colour each.
struct OverlayPrimitive {
  OverlayShape shape;
  float lineWidth = 1;
  std::array<float, 4> colour;
  std::array<float, 3> normal{0, 0, 1};  // of quadrilaterals
  std::uint32_t firstVertex = 0;
  std::uint32_t vertexCount = 0;
};

struct SceneOp {
  SceneOpKind kind;
  std::uint32_t begin = 0;
  std::uint32_t end = 0;
};

// Faces of the columns [i0, i1) of the draw box: faces[begin, end).
struct FaceSlab {
  int i0, i1;
  std::uint32_t begin, end;
};

struct SceneGeometry {
  std::vector<SceneOp> ops;
  std::vector<CellFace> faces;
  // The model's faces by slabs of columns, when the scene allows a change of
  // values to rebuild only the slabs it touches; ops[slabbedOp] draws them.
  std::vector<FaceSlab> slabs;
  int slabbedOp = -1;
  std::vector<ScenePolygon> polygons;
  std::vector<std::array<double, 3>> polygonVertices;  // model coordinates
  std::vector<OverlayPrimitive> overlays;
  std::vector<std::array<double, 3>> overlayVertices;  // model coordinates
  VectorScene vectors;
  DataScene data;  // the DataSets op draws it; its labels are drawn every frame
  CellFacesScene cellFaces;  // the CellFacesOverlay op draws it
  Colourmap colourmap;
  std::optional<std::string> title;

  std::size_t faceCount() const { return faces.size() + polygons.size(); }
  void clear();
};

const char* sceneOpName(SceneOpKind kind);

// Builds the scene; keeps HiddenFlags and the output's capacity between builds.
class SceneBuilder {
 public:
  // False, with failure() saying why and the scene left empty, when the
  // memory the scene needs is not available. The view's cell-faces overlay
  // is drawn when given and loaded; when its faces do not fit, the scene is
  // built without them and failure() says so.
  bool build(const Document& doc, const ViewState& v, const ColourState& colours, SceneGeometry& out,
             const CellFacesOverlay* cellFaces = nullptr);
  // After the values of the cells in changed: the flags and the faces of the
  // slabs they touch again, when the scene was built for the same view and
  // can be patched; changedSlabs lists the slabs whose faces changed. False
  // when the scene must be built again.
  bool patch(const Document& doc, const ViewState& v, const ColourState& colours, const CellRegion& changed,
             SceneGeometry& out, std::vector<int>& changedSlabs);
  const HiddenFlags& hiddenFlags() const { return flags_; }
  // Why the last build drew nothing, or left the cell faces out; "" when it drew everything.
  const std::string& failure() const { return failure_; }
  void releaseMemory();

 private:
  void buildScene(const Document& doc, const ViewState& v, const ColourState& colours, SceneGeometry& out,
                  const CellFacesOverlay* cellFaces);
  void buildCellFaces(const Document& doc, const CellFacesOverlay& o, SceneGeometry& out);
  void computeFlags(const Document& doc, const ViewState& v);
  void scalarPass(const Document& doc, const ViewState& v, const ModelSet& values, const ColourScale& scale,
                  SceneGeometry& out, bool slabbed);
  void emitColumns(const Document& doc, const ModelSet& values, const ColourScale& scale, int i0, int i1,
                   std::vector<CellFace>& faces) const;

  HiddenFlags flags_;
  void replaceSlabs(const Document& doc, const ModelSet& values, const ColourScale& scale, int first, int end,
                    SceneGeometry& out);
  std::vector<CellFace> slabFaces_;  // scratch of a patch
  std::vector<CellFace> otherFaces_;  // the second thread's faces and slabs
  std::vector<FaceSlab> otherSlabs_;
  std::string failure_;
};

// The message when the scene does not fit: "Not enough memory to draw the model: " + why.
std::string sceneMemoryMessage(const std::string& why);

}  // namespace litho
