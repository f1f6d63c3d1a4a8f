#include "gl/faces_gl.h"

#include <GL/gl.h>
#include <gl2ps.h>

#include <algorithm>

namespace litho {

namespace {
constexpr std::size_t kChunk = 16384;  // faces or traces per vertex-array draw
}  // namespace

void sendCellFaceQuads(const std::vector<CellFace>& faces, std::uint32_t begin, std::uint32_t end, const RectMesh& mesh,
                       const std::array<double, 3>& origin, const Colourmap& map, VertexStaging& st) {
  const double ox = origin[0], oy = origin[1], oz = origin[2];
  st.positions.resize(kChunk * 12);
  st.normals.resize(kChunk * 12);
  st.colours.resize(kChunk * 16);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, st.positions.data());
  glNormalPointer(GL_FLOAT, 0, st.normals.data());
  glColorPointer(4, GL_FLOAT, 0, st.colours.data());
  for (std::uint32_t first = begin; first < end; first += kChunk) {
    const std::uint32_t n = std::min<std::uint32_t>(kChunk, end - first);
    float* p = st.positions.data();
    float* nn = st.normals.data();
    float* c = st.colours.data();
    for (std::uint32_t f = first; f < first + n; ++f) {
      const CellFace& face = faces[f];
      const auto corners = faceCorners(mesh, face);
      const auto normal = faceNormal(face.side);
      const auto& rgba = map.entries[face.colour];
      for (const auto& q : corners) {
        *p++ = static_cast<float>(q[0] - ox);
        *p++ = static_cast<float>(q[1] - oy);
        *p++ = static_cast<float>(q[2] - oz);
        nn = std::copy(normal.begin(), normal.end(), nn);
        c = std::copy(rgba.begin(), rgba.end(), c);
      }
    }
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(n * 4));
  }
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
}

namespace {

void sendTraces(const CellFacesScene& s, const RectMesh& mesh, const std::array<double, 3>& o, VertexStaging& st) {
  st.positions.resize(kChunk * 6);
  st.colours.resize(kChunk * 8);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, st.positions.data());
  glColorPointer(4, GL_FLOAT, 0, st.colours.data());
  const auto count = static_cast<std::uint32_t>(s.traces.size());
  for (std::uint32_t first = 0; first < count; first += kChunk) {
    const std::uint32_t n = std::min<std::uint32_t>(kChunk, count - first);
    float* p = st.positions.data();
    float* c = st.colours.data();
    for (std::uint32_t t = first; t < first + n; ++t) {
      const FaceTrace& trace = s.traces[t];
      const auto& rgba = s.colourmap.entries[trace.colour];
      for (const auto& q : traceEnds(mesh, trace)) {
        *p++ = static_cast<float>(q[0] - o[0]);
        *p++ = static_cast<float>(q[1] - o[1]);
        *p++ = static_cast<float>(q[2] - o[2]);
        c = std::copy(rgba.begin(), rgba.end(), c);
      }
    }
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(n * 2));
  }
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
}

}  // namespace

void drawCellFacesScene(const CellFacesScene& s, const RectMesh& mesh, const std::array<double, 3>& origin,
                        VertexStaging& staging) {
  glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_LINE_BIT | GL_CURRENT_BIT);
  if (s.method == kFacesLines) {
    glLineWidth(s.lineWidth);
    gl2psLineWidth(s.lineWidth);
    sendTraces(s, mesh, origin, staging);
    glLineWidth(1);
    gl2psLineWidth(1);
  } else if (s.method == kFacesSurface) {
    glEnable(GL_LIGHTING);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glDisable(GL_CULL_FACE);
    sendCellFaceQuads(s.faces, 0, static_cast<std::uint32_t>(s.faces.size()), mesh, origin, s.colourmap, staging);
  }
  glPopAttrib();
}

}  // namespace litho
