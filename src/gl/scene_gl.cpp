#include "gl/scene_gl.h"

#include <GL/gl.h>
#include <gl2ps.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
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
  ++rebuilds_;
  const bool built = builder_.build(doc, v, colours, geometry_, cellFaces);
  failure_ = builder_.failure();
  // The face arrays (a rectangle a face at most) and the lists copy every vertex: checked before they are made.
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
  try {
    fillFaceArrays(doc.mesh(), v.sceneCentre);
    if (!immediate_) compile(doc.mesh(), v.sceneCentre);
  } catch (const std::bad_alloc&) {
    if (compiling_) glEndList();
    compiling_ = false;
    geometry_.clear();
    blocks_.clear();
    fillFaceArrays(doc.mesh(), v.sceneCentre);
    if (!immediate_) compile(doc.mesh(), v.sceneCentre);
    failure_ = sceneMemoryMessage("the memory ran out while it was compiled");
  }
  compileMs_ = msSince(t0);
}

void SceneRenderer::patch(const Document& doc, const ViewState& v, const ColourState& colours,
                          const CellRegion& changed, const CellFacesOverlay* cellFaces) {
  // The overlay's traces follow the visible cells: drawn again whole.
  const bool overlay = cellFaces && cellFaces->loaded;
  const bool listsReady = !overlay && (immediate_ || list_ != 0);
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
    // changedSlabs_ ascends: each block of slabs is filled once.
    std::size_t last = SIZE_MAX;
    for (const int s : changedSlabs_) {
      const std::size_t b = static_cast<std::size_t>(s) / slabsPerBlock_;
      if (b != last) fillSlabBlock(b, doc.mesh(), v.sceneCentre);
      last = b;
    }
  } catch (const std::bad_alloc&) {
    rebuild(doc, v, colours, cellFaces);
    return;
  }
  compileMs_ = msSince(t0);
  patched_ = true;
}

void SceneRenderer::draw() const {
  if (immediate_ && mesh_) {
    sendOps(0, geometry_.ops.size(), *mesh_, origin_);
    return;
  }
  if (list_ == 0) return;
  for (int s = 0; s < listCount_; ++s) {
    glCallList(list_ + static_cast<unsigned>(s));
    if (static_cast<std::size_t>(s) < faceOps_.size()) drawFaceOp(faceOps_[static_cast<std::size_t>(s)]);
  }
}

void SceneRenderer::showCellEdges(bool on) {
  if (on == cellEdges_) return;
  cellEdges_ = on;
  if (!mesh_) return;
  try {
    fillFaceArrays(*mesh_, origin_);
  } catch (const std::bad_alloc&) {
    release();  // rebuilt, and the failure told, by the next frame
  }
}

void SceneRenderer::release() {
  lists_.free(list_);
  list_ = 0;
  listCount_ = 0;
  std::vector<FaceBlock>().swap(blocks_);
  faceOps_.clear();
  opFirstBlock_.clear();
  mesh_ = nullptr;  // the arrays are gone: compiled() is false
}

std::size_t SceneRenderer::sentFaces() const {
  std::size_t n = geometry_.polygons.size();
  for (const std::size_t o : faceOps_) {
    const SceneOp& op = geometry_.ops[o];
    for (std::size_t b = 0; b < blockCount(o) && op.end > op.begin; ++b) n += blocks_[opFirstBlock_[o] + b].size();
  }
  return n;
}

std::size_t SceneRenderer::sentVertices() const {
  return 4 * (sentFaces() - geometry_.polygons.size()) + geometry_.polygonVertices.size();
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

void SceneRenderer::fillFaceArrays(const RectMesh& mesh, const std::array<double, 3>& origin) {
  faceOps_.clear();
  opFirstBlock_.assign(geometry_.ops.size(), 0);
  // Slabs are grouped into blocks as wide as the widest rectangle, so that faces merge across them.
  slabsPerBlock_ = 1;
  if (!geometry_.slabs.empty()) {
    const DrawBox& b = builder_.hiddenFlags().box();
    const int slabWidth = std::max(1, geometry_.slabs[0].i1 - geometry_.slabs[0].i0);
    slabsPerBlock_ = static_cast<std::size_t>(std::max(1, (b.xe - b.xs + 7) / 8 / slabWidth));
  }
  std::size_t count = 0;
  for (std::size_t o = 0; o < geometry_.ops.size(); ++o) {
    if (geometry_.ops[o].kind != SceneOpKind::Faces) continue;
    faceOps_.push_back(o);
    opFirstBlock_[o] = count;
    count += blockCount(o);
  }
  blocks_.resize(count);
  for (const std::size_t o : faceOps_) {
    const SceneOp& op = geometry_.ops[o];
    if (static_cast<int>(o) == geometry_.slabbedOp) {
      for (std::size_t b = 0; b < blockCount(o); ++b) fillSlabBlock(b, mesh, origin);
    } else {
      fillBlock(blocks_[opFirstBlock_[o]], op.begin, op.end, mesh, origin);
    }
  }
}

std::size_t SceneRenderer::blockCount(std::size_t o) const {
  if (static_cast<int>(o) != geometry_.slabbedOp) return 1;
  return (geometry_.slabs.size() + slabsPerBlock_ - 1) / slabsPerBlock_;
}

void SceneRenderer::fillSlabBlock(std::size_t b, const RectMesh& mesh, const std::array<double, 3>& origin) {
  const auto& slabs = geometry_.slabs;
  const std::size_t s0 = b * slabsPerBlock_, s1 = std::min(s0 + slabsPerBlock_, slabs.size());
  fillBlock(blocks_[opFirstBlock_[static_cast<std::size_t>(geometry_.slabbedOp)] + b], slabs[s0].begin,
            slabs[s1 - 1].end, mesh, origin);
}

void SceneRenderer::fillBlock(FaceBlock& block, std::uint32_t begin, std::uint32_t end, const RectMesh& mesh,
                              const std::array<double, 3>& origin) {
  merged_.clear();
  // Smooth light across a rectangle follows the flat light of its faces closely
  // while it spans at most an eighth of the drawn box.
  std::array<int, 3> maxCells{1, 1, 1};
  if (joined()) {
    const DrawBox& b = builder_.hiddenFlags().box();
    maxCells = {std::max(1, (b.xe - b.xs + 7) / 8), std::max(1, (b.ye - b.ys + 7) / 8),
                std::max(1, (b.ze - b.zs + 7) / 8)};
  }
  merger_.merge(geometry_.faces, begin, end, merged_, block.sideEnd, maxCells);
  const double ox = origin[0], oy = origin[1], oz = origin[2];
  block.positions.resize(merged_.size() * 12);
  block.colours.resize(merged_.size() * 16);
  float* p = block.positions.data();
  float* c = block.colours.data();
  for (const MergedFace& f : merged_) {
    const auto& rgba = geometry_.colourmap.entries[f.colour];
    for (const auto& q : mergedCorners(mesh, f)) {
      *p++ = static_cast<float>(q[0] - ox);
      *p++ = static_cast<float>(q[1] - oy);
      *p++ = static_cast<float>(q[2] - oz);
      c = std::copy(rgba.begin(), rgba.end(), c);
    }
  }
}

void SceneRenderer::drawFaceOp(std::size_t o) const {
  const SceneOp& op = geometry_.ops[o];
  if (op.end <= op.begin) return;
  const std::size_t blocks = blockCount(o);
  // Lit smoothly, a rectangle shades as its faces did each in its own flat light.
  if (joined()) glShadeModel(GL_SMOOTH);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  for (std::size_t b = 0; b < blocks; ++b) {
    const FaceBlock& block = blocks_[opFirstBlock_[o] + b];
    if (block.size() == 0) continue;
    glVertexPointer(3, GL_FLOAT, 0, block.positions.data());
    glColorPointer(4, GL_FLOAT, 0, block.colours.data());
    std::size_t from = 0;
    for (int side = 0; side < 6; ++side) {
      const std::size_t to = block.sideEnd[static_cast<std::size_t>(side)];
      if (to == from) continue;
      glNormal3fv(faceNormal(static_cast<std::uint8_t>(side)).data());
      glDrawArrays(GL_QUADS, static_cast<GLint>(from * 4), static_cast<GLsizei>((to - from) * 4));
      from = to;
    }
  }
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glShadeModel(GL_FLAT);
}

void SceneRenderer::compile(const RectMesh& mesh, const std::array<double, 3>& origin) {
  const int lists = static_cast<int>(faceOps_.size()) + 1;
  if (lists != listCount_) {
    lists_.free(list_);
    list_ = lists_.allocate(lists);
    listCount_ = list_ != 0 ? lists : 0;
  }
  if (list_ == 0) return;
  std::size_t from = 0;
  for (int s = 0; s < lists; ++s) {
    const std::size_t to = static_cast<std::size_t>(s) < faceOps_.size() ? faceOps_[static_cast<std::size_t>(s)]
                                                                         : geometry_.ops.size();
    glNewList(list_ + static_cast<unsigned>(s), GL_COMPILE);
    compiling_ = true;
    sendOps(from, to, mesh, origin);
    glEndList();
    compiling_ = false;
    from = to + 1;
  }
}

// The GL2PS calls do nothing unless a vector page is being written.
void SceneRenderer::sendOps(std::size_t from, std::size_t to, const RectMesh& mesh,
                            const std::array<double, 3>& origin) const {
  const double ox = origin[0], oy = origin[1], oz = origin[2];
  const auto& map = geometry_.colourmap.entries;
  for (std::size_t o = from; o < to; ++o) {
    const SceneOp& op = geometry_.ops[o];
    switch (op.kind) {
      case SceneOpKind::Faces: drawFaceOp(o); break;
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
