#pragma once
#include <QOpenGLWidget>
#include <QPointer>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gl/gl_resources.h"
#include "core/output/movie_session.h"
#include "core/view/view_controller.h"

namespace litho {

class AddBlocksDialog;
class Document;
class QtPlatform;

// Mesa's software rasterizers, by their GL_RENDERER text.
bool softwareRenderer(const char* renderer);

// The view: one OpenGL context for the window's whole life, and the view
// state with its commands.
class ModelView : public QOpenGLWidget {
  Q_OBJECT
 public:
  ModelView(Document& doc, QtPlatform& platform, QWidget* parent = nullptr);
  ~ModelView() override;

  ViewController& controller() { return controller_; }
  ViewState& state() { return controller_.state; }
  const SceneRenderer& scene() const { return gl_.scene(); }

  // Refresh after the document changed.
  void onUpdate(ViewRefresh hint);
  // Asks what the next rebuild needs to know, then repaints when a command left something to draw.
  void refreshWindow();

  // The scene point under a window point (logical pixels), or empty for the background.
  std::optional<std::array<double, 3>> pickPoint(QPointF windowPoint);
  // Shows the readout for a window point.
  void readoutAt(QPointF windowPoint, bool leftButtonDown);
  // Command 32800 and the readout toggle (Ctrl+Q).
  void onMouseCut();
  void onReadoutToggled();
  std::function<void(const std::string&)> onStatus;
  // Ctrl + left click on a cell.
  std::function<void(int i, int j, int k)> onCellProperties;

  // Dialog commands.
  void onLights();
  void onBackground();
  void onViewAngles();
  void onScaleView();
  void onColourmap();
  void onChooseFont();
  void onCutoff();
  void onRange();
  void onPadding();
  void onDiagonal();
  void onVectorProperties();
  // "Add blocks ...": the question, then the modeless "Add Blocks" window.
  void onAddBlocks();
  AddBlocksDialog* blockEditorWindow() const;

  // "Save image ...": a vector file through GL2PS or a bitmap of the window by the name's extension.
  bool saveImage(const std::string& path);
  // "&Copy": the window's image without a redraw.
  void copyImage();

  // "Start ...", "Continue" and "Stop"; the frame hook runs after every paint.
  MovieSession& movie() { return movie_; }
  std::function<void()> onCommandsChanged;

  // Called when a rebuild renamed the document (second model shown or not).
  std::function<void()> onTitleChanged;

  // The first OpenGL or window-system failure; never shown.
  std::string glErrorText = "No Error";
  void recordFailure(const std::string& text);

 protected:
  void initializeGL() override;
  void resizeGL(int w, int h) override;
  void resizeEvent(QResizeEvent* event) override;
  void paintGL() override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  Document& doc_;
  QtPlatform& platform_;
  ViewController controller_;
  GlResources gl_;
  FontSpec glyphFont_;
  bool glyphsBuilt_ = false;
  void releaseGl();
  QPoint anchor_{-100, -100};
  void status(const std::string& text);
  void updateCursor();
  bool initialised_ = false;
  MovieSession movie_;
  std::vector<unsigned char> movieFrame_;
  void recordMovieFrame();
  // The frame as a paint draws it; a movie frame is taken when one is being recorded.
  void paintFrame();
  void keepOnTop(bool on);
  QPointer<AddBlocksDialog> blocks_;
};

}  // namespace litho
