#include "gl/scene_gl.h"

#include <GL/gl.h>
#include <gl2ps.h>

#include <chrono>
#include <new>

#include "core/load/memory.h"
#include "gl/data_gl.h"
#include "gl/faces_gl.h"
#include "gl/vector_gl.h"

namespace litho {

namespace {
// What the driver keeps per face and per vertex of a compiled list, with some
// room: Mesa's software renderer peaks at about 100 bytes a face.
constexpr unsigned long long kListBytesPerFace = 128;
constexpr unsigned long long kListBytesPerVertex = 64;
// The model's polygon offset as GL2PS reads it during a vector export: far
// above its coincidence tolerance (0.005), far below the scene's depth.
constexpr float kVectorOffsetUnits = 1;
double msSince(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
}
}  // namespace

void SceneRenderer::rebuild(const Document& doc, const ViewState& v, const ColourState& colours,
                            const CellFacesOverlay* cellFaces) {
  auto t0 = std::chrono::steady_clock::now();
  patched_ = false;
  const bool built = builder_.build(doc, v, colours, geometry_, cellFaces);
  failure_ = builder_.failure();
  // The display list keeps its own copy of every vertex: checked before the driver is asked for it.
  const unsigned long long listBytes =
      bytesOf(geometry_.faces.size() + geometry_.cellFaces.faces.size(), kListBytesPerFace) +
      bytesOf(geometry_.polygonVertices.size() + geometry_.overlayVertices.size() + geometry_.data.vertices.size() +
                  2 * geometry_.cellFaces.traces.size(),
              kListBytesPerVertex);
  if (built) {
    if (const auto why = memoryShortfall(listBytes)) {
      failure_ = sceneMemoryMessage(*why);
      geometry_.clear();
    }
  }
  buildMs_ = msSince(t0);
  t0 = std::chrono::steady_clock::now();
  mesh_ = &doc.mesh();
  origin_ = v.sceneCentre;
  if (immediate_) {
    compileMs_ = 0;
    return;
  }
  if (list_ == 0) list_ = lists_.allocate(1);
  if (list_ != 0) {
    try {
      compile(doc.mesh(), v.sceneCentre);
    } catch (const std::bad_alloc&) {
      glEndList();
      glNewList(list_, GL_COMPILE);
      glEndList();
      geometry_.clear();
      failure_ = sceneMemoryMessage("the memory ran out while it was compiled");
    }
  }
  compileMs_ = msSince(t0);
}

void SceneRenderer::patch(const Document& doc, const ViewState& v, const ColourState& colours,
                          const CellRegion& changed, const CellFacesOverlay* cellFaces) {
  // The overlay's traces follow the visible cells: drawn again whole.
  const bool overlay = cellFaces && cellFaces->loaded;
  const bool listsReady =
      !overlay && (immediate_ || (list_ != 0 && (geometry_.slabbedOp < 0 || slabLists_ != 0)));
  if (!listsReady || mesh_ != &doc.mesh() || origin_ != v.sceneCentre) {
    rebuild(doc, v, colours, cellFaces);
    return;
  }
  auto t0 = std::chrono::steady_clock::now();
  bool ok = false;
  try {
    ok = builder_.patch(doc, v, colours, changed, geometry_, changedSlabs_);
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  if (!ok) {
    rebuild(doc, v, colours, cellFaces);
    return;
  }
  buildMs_ = msSince(t0);
  t0 = std::chrono::steady_clock::now();
  try {
    if (!immediate_)
      for (const int s : changedSlabs_) compileSlab(doc.mesh(), v.sceneCentre, s);
  } catch (const std::bad_alloc&) {
    glEndList();
    rebuild(doc, v, colours, cellFaces);
    return;
  }
  compileMs_ = msSince(t0);
  patched_ = true;
}

void SceneRenderer::draw() const {
  if (immediate_ && mesh_)
    sendScene(*mesh_, origin_);
  else if (list_ != 0)
    glCallList(list_);
}

void SceneRenderer::release() {
  lists_.free(list_);
  list_ = 0;
  lists_.free(slabLists_);
  slabLists_ = 0;
  slabListCount_ = 0;
}

void SceneRenderer::sendOverlays(std::uint32_t begin, std::uint32_t end, const std::array<double, 3>& o) const {
  float width = -1;  // the state when the list runs is unknown here
  for (std::uint32_t i = begin; i < end && i < geometry_.overlays.size(); ++i) {
    const OverlayPrimitive& p = geometry_.overlays[i];
    if (p.shape != OverlayShape::Quads && p.lineWidth != width) {
      width = p.lineWidth;
      glLineWidth(width);
      gl2psLineWidth(width);
    }
    glColor4fv(p.colour.data());
    GLenum mode = GL_LINES;
    switch (p.shape) {
      case OverlayShape::Quads: mode = GL_QUADS; break;
      case OverlayShape::Lines: mode = GL_LINES; break;
      case OverlayShape::LineStrip: mode = GL_LINE_STRIP; break;
      case OverlayShape::LineLoop: mode = GL_LINE_LOOP; break;
    }
    glBegin(mode);
    if (p.shape == OverlayShape::Quads) glNormal3fv(p.normal.data());
    for (std::uint32_t k = 0; k < p.vertexCount; ++k) {
      const auto& q = geometry_.overlayVertices[p.firstVertex + k];
      glVertex3d(q[0] - o[0], q[1] - o[1], q[2] - o[2]);
    }
    glEnd();
  }
}

void SceneRenderer::compile(const RectMesh& mesh, const std::array<double, 3>& origin) {
  const int slabs = geometry_.slabbedOp >= 0 ? static_cast<int>(geometry_.slabs.size()) : 0;
  if (slabs != slabListCount_) {
    lists_.free(slabLists_);
    slabLists_ = slabs > 0 ? lists_.allocate(slabs) : 0;
    slabListCount_ = slabLists_ != 0 ? slabs : 0;
  }
  const bool callSlabs = slabs > 0 && slabLists_ != 0;
  if (callSlabs)
    for (int s = 0; s < slabs; ++s) compileSlab(mesh, origin, s);
  glNewList(list_, GL_COMPILE);
  sendScene(mesh, origin, callSlabs);
  glEndList();
}

void SceneRenderer::compileSlab(const RectMesh& mesh, const std::array<double, 3>& origin, int slab) {
  const FaceSlab& s = geometry_.slabs[static_cast<std::size_t>(slab)];
  glNewList(slabLists_ + static_cast<unsigned>(slab), GL_COMPILE);
  sendCellFaceQuads(geometry_.faces, s.begin, s.end, mesh, origin, geometry_.colourmap, staging_);
  glEndList();
}

// The GL2PS calls do nothing unless a vector page is being written.
void SceneRenderer::sendScene(const RectMesh& mesh, const std::array<double, 3>& origin, bool callSlabs) const {
  const double ox = origin[0], oy = origin[1], oz = origin[2];
  const auto& map = geometry_.colourmap.entries;
  for (std::size_t o = 0; o < geometry_.ops.size(); ++o) {
    const SceneOp& op = geometry_.ops[o];
    switch (op.kind) {
      case SceneOpKind::Faces:
        if (callSlabs && static_cast<int>(o) == geometry_.slabbedOp) {
          for (int s = 0; s < slabListCount_; ++s) glCallList(slabLists_ + static_cast<unsigned>(s));
        } else {
          sendCellFaceQuads(geometry_.faces, op.begin, op.end, mesh, origin, geometry_.colourmap, staging_);
        }
        break;
      case SceneOpKind::Polygons:
        for (std::uint32_t i = op.begin; i < op.end; ++i) {
          const ScenePolygon& poly = geometry_.polygons[i];
          glColor4fv(map[poly.colour].data());
          glNormal3fv(poly.normal.data());
          glBegin(GL_POLYGON);
          for (std::uint32_t k = 0; k < poly.vertexCount; ++k) {
            const auto& q = geometry_.polygonVertices[poly.firstVertex + k];
            glVertex3f(static_cast<float>(q[0] - ox), static_cast<float>(q[1] - oy), static_cast<float>(q[2] - oz));
          }
          glEnd();
        }
        break;
      case SceneOpKind::PolygonOffsetOn:
        // GL2PS takes the units in its own depth scale, where the whole scene spans 1000:
        // 1000 there would put every face of the model behind every line and overlay.
        glPolygonOffset(1, immediate_ ? kVectorOffsetUnits : 1000);
        glEnable(GL_POLYGON_OFFSET_FILL);
        gl2psEnable(GL2PS_POLYGON_OFFSET_FILL);
        break;
      case SceneOpKind::PolygonOffsetOff:
        glDisable(GL_POLYGON_OFFSET_FILL);
        gl2psDisable(GL2PS_POLYGON_OFFSET_FILL);
        break;
      case SceneOpKind::LightingOn: glEnable(GL_LIGHTING); break;
      case SceneOpKind::LightingOff: glDisable(GL_LIGHTING); break;
      case SceneOpKind::BlendOn:
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        gl2psEnable(GL2PS_BLEND);
        gl2psBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        break;
      case SceneOpKind::BlendOff:
        glDisable(GL_BLEND);
        gl2psDisable(GL2PS_BLEND);
        break;
      case SceneOpKind::DepthWriteOff: glDepthMask(GL_FALSE); break;
      case SceneOpKind::DepthWriteOn: glDepthMask(GL_TRUE); break;
      case SceneOpKind::OverlayOffsetOn:
        glPolygonOffset(1, 1);
        glEnable(GL_POLYGON_OFFSET_FILL);
        gl2psEnable(GL2PS_POLYGON_OFFSET_FILL);
        break;
      case SceneOpKind::Overlays: sendOverlays(op.begin, op.end, origin); break;
      case SceneOpKind::Vectors: drawVectors(geometry_.vectors, op.begin, op.end, geometry_.colourmap, origin); break;
      case SceneOpKind::DataSets: drawDataScene(geometry_.data, origin, dataStaging_); break;
      case SceneOpKind::CellFacesOverlay: drawCellFacesScene(geometry_.cellFaces, mesh, origin, staging_); break;
    }
  }
}

}  // namespace litho
