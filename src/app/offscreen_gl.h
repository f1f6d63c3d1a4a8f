#pragma once
#include <QImage>
#include <optional>
#include <memory>
#include <string>

namespace litho {

class Document;
class ViewController;
class GlResources;
class SceneRenderer;
}  // namespace litho
class QGuiApplication;
namespace litho {

// A display for programs run without one: where Mesa's surfaceless EGL gives an
// OpenGL context, selects Qt's off-screen platform (OffscreenGl then draws
// through EGL); otherwise starts Xvfb on a free display number and sets DISPLAY
// for as long as it lives. Does nothing when a display is already set.
class HeadlessDisplay {
 public:
  HeadlessDisplay();
  ~HeadlessDisplay();
  HeadlessDisplay(const HeadlessDisplay&) = delete;
  HeadlessDisplay& operator=(const HeadlessDisplay&) = delete;
  // Empty when a display is available; otherwise why not.
  const std::string& error() const { return error_; }

 private:
  int pid_ = -1;
  std::string error_;
};

// What a program that draws off screen sets up first, in this order: a
// display, software OpenGL unless LIBGL_ALWAYS_SOFTWARE says otherwise, the
// default surface format, the Qt application and the C number locale. No
// application is made when there is no display (error() says why).
class OffscreenApplication {
 public:
  OffscreenApplication(int& argc, char** argv);
  ~OffscreenApplication();
  const std::string& error() const { return display_.error(); }

 private:
  HeadlessDisplay display_;
  std::unique_ptr<QGuiApplication> app_;
};

// An OpenGL context with an off-screen framebuffer of a fixed size, current
// while it lives, and the GL resources of that context. Needs a QGuiApplication;
// on Qt's off-screen platform the context comes from EGL.
class OffscreenGl {
 public:
  OffscreenGl(int width, int height);
  ~OffscreenGl();
  bool valid() const { return valid_; }
  const std::string& error() const { return error_; }
  int width() const { return width_; }
  int height() const { return height_; }
  // Draws one frame of the view's current state; the scene is rebuilt when needed.
  void draw(ViewController& view, const Document& doc);
  // draw() and read the frame back.
  QImage render(ViewController& view, const Document& doc);
  // The last frame drawn as RGBA bytes, rows from the bottom, into width * height * 4 bytes.
  void read(unsigned char* rgba);
  // Makes the context current again (after another context was used).
  void makeCurrent();
  GlResources& resources();
  const SceneRenderer& scene() const;

 private:
  bool createSurfaceless(int width, int height);
  void finishSetUp();

  struct Impl;
  std::unique_ptr<Impl> impl_;
  bool valid_ = false;
  std::string error_;
  int width_, height_;
};

}  // namespace litho
