#pragma once
#include <QOpenGLWidget>
#include <string>

namespace litho {

class COpenGLDoc;

// The view: one OpenGL context for the window's whole life.
class COpenGLView : public QOpenGLWidget {
  Q_OBJECT
 public:
  explicit COpenGLView(COpenGLDoc& doc, QWidget* parent = nullptr);

  // Refresh after the document changed (0: new load, 1: reload, 2: values changed).
  void onUpdate(int hint);

  // Clear colour, 0..255 per channel.
  unsigned char backgroundColour[3] = {0, 0, 0};
  // The first OpenGL or window-system failure; never shown.
  std::string glErrorText;

 protected:
  void initializeGL() override;
  void resizeGL(int w, int h) override;
  void paintGL() override;

 private:
  COpenGLDoc& doc_;
};

}  // namespace litho
