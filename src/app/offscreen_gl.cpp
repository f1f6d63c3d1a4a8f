#include "app/offscreen_gl.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <cstdlib>
#include <string>

#include "app/glyph_font.h"
#include "core/load/document.h"
#include "gl/frame_gl.h"
#include "gl/gl_resources.h"
#include "core/view/view_controller.h"

namespace litho {

HeadlessDisplay::HeadlessDisplay() {
  const char* d = std::getenv("DISPLAY");
  const char* w = std::getenv("WAYLAND_DISPLAY");
  if ((d && *d) || (w && *w)) return;
  int fds[2];
  if (::pipe(fds) != 0) {
    error_ = "cannot start Xvfb: no pipe";
    return;
  }
  const pid_t pid = ::fork();
  if (pid < 0) {
    error_ = "cannot start Xvfb: fork failed";
    ::close(fds[0]);
    ::close(fds[1]);
    return;
  }
  if (pid == 0) {
    ::close(fds[0]);
    const std::string fd = std::to_string(fds[1]);
    ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
             static_cast<char*>(nullptr));
    _exit(127);
  }
  ::close(fds[1]);
  std::string number;
  char c;
  while (::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  ::close(fds[0]);
  if (number.empty()) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    error_ = "no display is set and Xvfb could not be started (install the xvfb package)";
    return;
  }
  pid_ = pid;
  ::setenv("DISPLAY", (":" + number).c_str(), 1);
}

HeadlessDisplay::~HeadlessDisplay() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
}

struct OffscreenGl::Impl {
  QOffscreenSurface surface;
  QOpenGLContext context;
  std::unique_ptr<QOpenGLFramebufferObject> fbo;
  GlResources gl;
};

OffscreenGl::OffscreenGl(int width, int height) : impl_(std::make_unique<Impl>()), width_(width), height_(height) {
  impl_->surface.setFormat(QSurfaceFormat::defaultFormat());
  impl_->surface.create();
  impl_->context.setFormat(QSurfaceFormat::defaultFormat());
  if (!impl_->context.create()) {
    error_ = "cannot create an OpenGL context";
    return;
  }
  if (!impl_->context.makeCurrent(&impl_->surface)) {
    error_ = "cannot make the OpenGL context current";
    return;
  }
  QOpenGLFramebufferObjectFormat f;
  f.setAttachment(QOpenGLFramebufferObject::Depth);
  impl_->fbo = std::make_unique<QOpenGLFramebufferObject>(width, height, f);
  if (!impl_->fbo->isValid() || !impl_->fbo->bind()) {
    error_ = "cannot create an off-screen framebuffer of that size";
    return;
  }
  setViewport(width, height);
  applyFixedState();
  impl_->gl.screenText().setGlyphSource(glyphSource(FontSpec{}));
  valid_ = true;
}

OffscreenGl::~OffscreenGl() {
  if (impl_->context.isValid() && impl_->context.makeCurrent(&impl_->surface)) {
    impl_->gl.release();
    impl_->fbo.reset();
    impl_->context.doneCurrent();
  }
}

void OffscreenGl::makeCurrent() {
  if (!valid_) return;
  impl_->context.makeCurrent(&impl_->surface);
  impl_->fbo->bind();
}

GlResources& OffscreenGl::resources() { return impl_->gl; }
const SceneRenderer& OffscreenGl::scene() const { return impl_->gl.scene(); }

void OffscreenGl::draw(ViewController& view, const Document& doc) {
  if (!valid_) return;
  makeCurrent();
  setViewport(width_, height_);
  view.state.frame.redraw();
  drawFrame(view.state, doc, view.colours, impl_->gl);
}

QImage OffscreenGl::render(ViewController& view, const Document& doc) {
  if (!valid_) return {};
  draw(view, doc);
  // The clear alpha is 0; the picture is opaque.
  QImage image(width_, height_, QImage::Format_RGBX8888);
  readFrame(width_, height_, image.bits());
  return image.mirrored().convertToFormat(QImage::Format_RGB32);
}

}  // namespace litho
