#include "app/offscreen_gl.h"

#include "app/application.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <clocale>
#include <cstdlib>
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

namespace {

// Mesa's surfaceless EGL platform: an OpenGL compatibility context without any
// window system, drawing into a framebuffer object.
class EglContext {
 public:
  EglContext() {
    const auto getDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getDisplay) return;
    display_ = getDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display_ == EGL_NO_DISPLAY) return;
    EGLint major = 0, minor = 0;
    if (!eglInitialize(display_, &major, &minor)) {
      display_ = EGL_NO_DISPLAY;
      return;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) return;
    const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 0,
                                 EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                 EGL_NONE};
    context_ = eglCreateContext(display_, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
  }
  ~EglContext() {
    if (context_ != EGL_NO_CONTEXT) {
      eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
      eglDestroyContext(display_, context_);
    }
    if (display_ != EGL_NO_DISPLAY) eglTerminate(display_);
  }
  EglContext(const EglContext&) = delete;
  EglContext& operator=(const EglContext&) = delete;
  bool valid() const { return context_ != EGL_NO_CONTEXT; }
  bool makeCurrent() const { return valid() && eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_); }

 private:
  EGLDisplay display_ = EGL_NO_DISPLAY;
  EGLContext context_ = EGL_NO_CONTEXT;
};

template <class F>
F glFunction(const char* name) {
  return reinterpret_cast<F>(eglGetProcAddress(name));
}

// A framebuffer object with colour and depth render buffers, made with the
// current context's own entry points.
class EglFramebuffer {
 public:
  bool create(int width, int height) {
    gen_ = glFunction<PFNGLGENFRAMEBUFFERSPROC>("glGenFramebuffers");
    bind_ = glFunction<PFNGLBINDFRAMEBUFFERPROC>("glBindFramebuffer");
    delete_ = glFunction<PFNGLDELETEFRAMEBUFFERSPROC>("glDeleteFramebuffers");
    deleteBuffers_ = glFunction<PFNGLDELETERENDERBUFFERSPROC>("glDeleteRenderbuffers");
    const auto genBuffers = glFunction<PFNGLGENRENDERBUFFERSPROC>("glGenRenderbuffers");
    const auto bindBuffer = glFunction<PFNGLBINDRENDERBUFFERPROC>("glBindRenderbuffer");
    const auto storage = glFunction<PFNGLRENDERBUFFERSTORAGEPROC>("glRenderbufferStorage");
    const auto attach = glFunction<PFNGLFRAMEBUFFERRENDERBUFFERPROC>("glFramebufferRenderbuffer");
    const auto status = glFunction<PFNGLCHECKFRAMEBUFFERSTATUSPROC>("glCheckFramebufferStatus");
    if (!gen_ || !bind_ || !delete_ || !deleteBuffers_ || !genBuffers || !bindBuffer || !storage || !attach || !status)
      return false;
    gen_(1, &framebuffer_);
    bind_(GL_FRAMEBUFFER, framebuffer_);
    genBuffers(2, buffers_);
    bindBuffer(GL_RENDERBUFFER, buffers_[0]);
    storage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    attach(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, buffers_[0]);
    bindBuffer(GL_RENDERBUFFER, buffers_[1]);
    storage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    attach(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, buffers_[1]);
    return glGetError() == GL_NO_ERROR && status(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  }
  void bind() const {
    if (bind_) bind_(GL_FRAMEBUFFER, framebuffer_);
  }
  void release() {
    if (framebuffer_) delete_(1, &framebuffer_);
    if (buffers_[0]) deleteBuffers_(2, buffers_);
    framebuffer_ = buffers_[0] = buffers_[1] = 0;
  }

 private:
  PFNGLGENFRAMEBUFFERSPROC gen_ = nullptr;
  PFNGLBINDFRAMEBUFFERPROC bind_ = nullptr;
  PFNGLDELETEFRAMEBUFFERSPROC delete_ = nullptr;
  PFNGLDELETERENDERBUFFERSPROC deleteBuffers_ = nullptr;
  GLuint framebuffer_ = 0;
  GLuint buffers_[2] = {0, 0};
};

bool surfacelessGlAvailable() {
  EglContext probe;
  return probe.valid();
}

}  // namespace

OffscreenApplication::OffscreenApplication(int& argc, char** argv) {
  if (!display_.error().empty()) return;
  ::setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
  setDefaultSurfaceFormat();
  app_ = std::make_unique<QGuiApplication>(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
}

OffscreenApplication::~OffscreenApplication() = default;

HeadlessDisplay::HeadlessDisplay() {
  const char* d = std::getenv("DISPLAY");
  const char* w = std::getenv("WAYLAND_DISPLAY");
  if ((d && *d) || (w && *w)) return;
  // Without any window system: Qt's off-screen platform for fonts and images, EGL for GL.
  if (surfacelessGlAvailable()) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    return;
  }
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
  // Qt's context on a window system; EGL's where Qt runs on its off-screen platform.
  QOffscreenSurface surface;
  QOpenGLContext context;
  std::unique_ptr<QOpenGLFramebufferObject> fbo;
  std::unique_ptr<EglContext> egl;
  EglFramebuffer eglFramebuffer;
  GlResources gl;

  bool makeCurrent() {
    if (egl) {
      if (!egl->makeCurrent()) return false;
      eglFramebuffer.bind();
      return true;
    }
    if (!context.makeCurrent(&surface)) return false;
    fbo->bind();
    return true;
  }
};

bool OffscreenGl::createSurfaceless(int width, int height) {
  impl_->egl = std::make_unique<EglContext>();
  if (!impl_->egl->valid() || !impl_->egl->makeCurrent()) {
    error_ = "cannot create an OpenGL context without a display (Mesa's EGL)";
    impl_->egl.reset();
    return false;
  }
  if (!impl_->eglFramebuffer.create(width, height)) {
    error_ = "cannot create an off-screen framebuffer of that size";
    return false;
  }
  return true;
}

OffscreenGl::OffscreenGl(int width, int height) : impl_(std::make_unique<Impl>()), width_(width), height_(height) {
  if (QGuiApplication::platformName() == "offscreen") {
    if (!createSurfaceless(width, height)) return;
    finishSetUp();
    return;
  }
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
  finishSetUp();
}

void OffscreenGl::finishSetUp() {
  setViewport(width_, height_);
  applyFixedState();
  impl_->gl.screenText().setGlyphSource(glyphSource(FontSpec{}));
  valid_ = true;
}

OffscreenGl::~OffscreenGl() {
  if (impl_->egl) {
    if (impl_->egl->makeCurrent()) {
      impl_->gl.release();
      impl_->eglFramebuffer.release();
    }
    return;
  }
  if (impl_->context.isValid() && impl_->context.makeCurrent(&impl_->surface)) {
    impl_->gl.release();
    impl_->fbo.reset();
    impl_->context.doneCurrent();
  }
}

void OffscreenGl::makeCurrent() {
  if (!valid_) return;
  impl_->makeCurrent();
}

GlResources& OffscreenGl::resources() { return impl_->gl; }
const SceneRenderer& OffscreenGl::scene() const { return impl_->gl.scene(); }

void OffscreenGl::draw(ViewController& view, const Document& doc) {
  if (!valid_) return;
  makeCurrent();
  setViewport(width_, height_);
  view.state.frame.redraw();
  drawFrame(view.state, doc, view.colours, view.cellFaces, impl_->gl);
}

void OffscreenGl::read(unsigned char* rgba) {
  if (!valid_) return;
  makeCurrent();
  readFrame(width_, height_, rgba);
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
