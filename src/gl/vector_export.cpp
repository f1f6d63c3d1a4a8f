#include "gl/vector_export.h"

#include <GL/gl.h>
#include <gl2ps.h>
#include <stdio.h>

#include <cstdlib>

#include "gl/gl2ps_text.h"

namespace litho {

int gl2psFormat(ImageFormat f) {
  switch (f) {
    case ImageFormat::Eps: return GL2PS_EPS;
    case ImageFormat::Ps: return GL2PS_PS;
    case ImageFormat::Tex: return GL2PS_TEX;
    case ImageFormat::Svg: return GL2PS_SVG;
    case ImageFormat::Pdf:
    case ImageFormat::Bitmap: break;
  }
  return GL2PS_PDF;
}

namespace {

// A memory stream for one attempt; an overflowed page is thrown away whole.
class MemoryStream {
 public:
  MemoryStream() : file_(open_memstream(&data_, &size_)) {}
  ~MemoryStream() {
    if (file_) std::fclose(file_);
    std::free(data_);
  }
  MemoryStream(const MemoryStream&) = delete;
  MemoryStream& operator=(const MemoryStream&) = delete;
  FILE* file() const { return file_; }
  std::string take() {
    if (!file_) return {};
    const bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    return ok && data_ ? std::string(data_, size_) : std::string();
  }

 private:
  char* data_ = nullptr;
  std::size_t size_ = 0;
  FILE* file_;
};

bool canAllocate(std::size_t floats) {
  // GL2PS does not survive a failed allocation of its buffer; ask first.
  void* p = std::malloc(floats * sizeof(GLfloat));
  std::free(p);
  return p != nullptr;
}

}  // namespace

VectorPageResult writeVectorPage(int format, int sort, const std::array<int, 4>& viewport,
                                 const std::string& fileName, std::size_t firstBuffer,
                                 const std::function<void()>& draw) {
  VectorPageResult r;
  GLint vp[4] = {viewport[0], viewport[1], viewport[2], viewport[3]};
  std::size_t size = firstBuffer < kMinFeedbackFloats ? kMinFeedbackFloats : firstBuffer;
  for (;;) {
    r.bufferFloats = size;
    if (!canAllocate(size)) {
      r.status = VectorPageResult::Status::OutOfMemory;
      return r;
    }
    ++r.attempts;
    MemoryStream stream;
    if (!stream.file()) return r;
    const GLint begun = gl2psBeginPage("Lithoscan3D", "Lithoscan3D", vp, format, sort,
                                       GL2PS_DRAW_BACKGROUND | GL2PS_OCCLUSION_CULL | GL2PS_USE_CURRENT_VIEWPORT,
                                       GL_RGBA, 0, nullptr, 0, 0, 0, static_cast<GLint>(size), stream.file(),
                                       fileName.c_str());
    if (begun != GL2PS_SUCCESS) return r;
    draw();
    const GLint ended = gl2psEndPage();
    if (ended == GL2PS_OVERFLOW) {
      const std::size_t next = grownFeedbackSize(size);
      if (next == size) return r;
      size = next;
      continue;
    }
    if (ended != GL2PS_SUCCESS && ended != GL2PS_NO_FEEDBACK) return r;
    r.bytes = stream.take();
    if (r.bytes.empty()) return r;
    r.status = VectorPageResult::Status::Written;
    return r;
  }
}

FeedbackCounts feedbackCounts(const SceneGeometry& g, std::size_t overlayTextBytes) {
  FeedbackCounts c;
  c.faces = g.faceCount() + g.data.triangles.size() + 48 * g.data.cylinders.size() +
            24 * g.vectors.arrows.size() + g.cellFaces.faces.size();
  c.lineVertices = g.overlayVertices.size() + g.data.vertices.size() + 2 * g.vectors.arrows.size() +
                   2 * g.cellFaces.traces.size();
  c.pointCount = g.data.vertices.size();
  std::size_t names = 0;
  for (const auto& l : g.data.labels) names += l.text.size();
  c.textBytes = overlayTextBytes + names;
  c.stateTokens = g.ops.size() + g.overlays.size() + g.data.draws.size();
  return c;
}

int vectorSortFor(std::size_t faces) { return faces <= kBspFaceLimit ? GL2PS_BSP_SORT : GL2PS_SIMPLE_SORT; }

VectorPageResult exportViewAsVector(ImageFormat format, const std::string& fileName, ViewState& v,
                                    GlResources& gl, const std::array<int, 4>& viewport,
                                    const std::function<void()>& drawFrame, int sort) {
  const int f = gl2psFormat(format);
  Gl2psText text(f, v.fontSize, &gl.screenText());
  Gl2psText names(f, 10, &gl.screenText());
  gl.setText(&text, &names);
  gl.scene().setImmediate(true);
  v.exportInProgress = true;
  // Labels, colourbar and readout: a few hundred characters at most.
  const FeedbackCounts counts = feedbackCounts(gl.scene().geometry(), 2048);
  if (sort == 0) sort = vectorSortFor(counts.faces);
  bool first = true;
  VectorPageResult r = writeVectorPage(f, sort, viewport, fileName, feedbackEstimate(counts), [&] {
    // The scene is built for the export once (without the floor under the labels).
    if (first) v.frame.rebuild();
    first = false;
    v.frame.redraw();
    drawFrame();
  });
  v.exportInProgress = false;
  gl.scene().setImmediate(false);
  gl.setText(nullptr);
  // The floor left out for the labels comes back on the screen.
  v.frame.rebuild();
  v.frame.redraw();
  return r;
}

}  // namespace litho
