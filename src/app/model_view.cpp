#include "app/model_view.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QCoreApplication>
#include <QOpenGLContext>
#include <QScreen>
#include <QResizeEvent>
#include <QTimer>
#include <QWindow>

#include "app/bitmap_file.h"
#include "app/dialogs/add_blocks_dialog.h"
#include "app/dialogs/animate_dialog.h"
#include "app/dialogs/colourmap_dialog.h"
#include "app/dialogs/cutoff_dialog.h"
#include "app/dialogs/diagonal_dialog.h"
#include "app/dialogs/padding_dialog.h"
#include "app/dialogs/range_dialog.h"
#include "app/dialogs/vector_properties_dialog.h"
#include "core/scene/display_filters.h"
#include "app/dialogs/lights_dialog.h"
#include "app/dialogs/scale_view_dialog.h"
#include "app/dialogs/view_angles_dialog.h"
#include "app/glyph_font.h"
#include "app/qt_platform.h"
#include "core/load/document.h"
#include "core/output/image_export.h"
#include "gl/vector_export.h"
#include "gl/frame_gl.h"
#include "core/view/mouse.h"
#include "app/version.h"

namespace litho {

ModelView::ModelView(Document& doc, QtPlatform& platform, QWidget* parent)
    : QOpenGLWidget(parent), doc_(doc), platform_(platform), controller_(doc, platform), movie_(controller_, platform) {
  setObjectName("ModelView");
  MovieSession::Hooks& h = movie_.hooks;
  h.animateDialog = [this](const AnimateSetup& setup) -> std::optional<AnimateChoice> {
    AnimateDialog dlg(platform_, setup, this);
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    return dlg.values();
  };
  // Drawn at once into the widget's framebuffer, which the next paint shows.
  h.draw = [this] {
    if (!initialised_ || !isVisible()) return;
    makeCurrent();
    paintFrame();
    doneCurrent();
    update();
  };
  h.pump = [this] {
    QCoreApplication::processEvents();
    return window()->isVisible();
  };
  h.keepOnTop = [this](bool on) { keepOnTop(on); };
  h.commandsChanged = [this] {
    if (onCommandsChanged) onCommandsChanged();
  };
  h.status = [this](const std::string& text) { status(text); };
  h.tellLater = [this](const std::string& text, MessageKind kind, const std::string& title) {
    // A message box inside a paint or a resize would paint the view again.
    QTimer::singleShot(0, this, [this, text, kind, title] { platform_.message(text, kind, title); });
  };
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(64, 64);
  // A paint with nothing new presents the last frame again, so the framebuffer must keep it.
  setUpdateBehavior(QOpenGLWidget::PartialUpdate);
  setMouseTracking(true);
}

ModelView::~ModelView() { releaseGl(); }

void ModelView::releaseGl() {
  if (!initialised_) return;
  makeCurrent();
  gl_.release();
  doneCurrent();
  glyphsBuilt_ = false;
  initialised_ = false;
  if (context()) disconnect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &ModelView::releaseGl);
}

void ModelView::status(const std::string& text) {
  if (onStatus) onStatus(text.empty() ? std::string(kIdleStatusText) : text);
}

void ModelView::updateCursor() {
  setCursor(mouseCutWaiting(controller_) ? Qt::UpArrowCursor : Qt::ArrowCursor);
}

std::optional<std::array<double, 3>> ModelView::pickPoint(QPointF p) {
  if (!initialised_ || !doc_.modelLoaded()) return std::nullopt;
  const qreal ratio = devicePixelRatioF();
  const int w = static_cast<int>(width() * ratio), h = static_cast<int>(height() * ratio);
  const double x = p.x() * ratio, y = p.y() * ratio;
  const auto px = pickPixel(x, y, h);
  if (px[0] < 0 || px[1] < 0 || px[0] >= w || px[1] >= h) return std::nullopt;
  makeCurrent();
  const float depth = readDepth(px[0], px[1]);
  doneCurrent();
  if (depth == 1.0f) return std::nullopt;
  return unProject(controller_.state, x, y, depth, w, h);
}

void ModelView::readoutAt(QPointF p, bool leftButtonDown) {
  const Readout r = cellReadout(controller_, pickPoint(p));
  switch (r.kind) {
    case Readout::Kind::Untouched: return;
    case Readout::Kind::Idle: status({}); return;
    case Readout::Kind::Text:
      if (onStatus) onStatus(r.text);
      break;
  }
  if (leftButtonDown && (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier) && r.cell[0] >= 0 &&
      !doc_.isVectorModel() && onCellProperties) {
    onCellProperties(r.cell[0], r.cell[1], r.cell[2]);
    status({});
  }
}

void ModelView::onMouseCut() {
  status(mouseCutCommand(controller_));
  updateCursor();
  refreshWindow();
}

void ModelView::onReadoutToggled() {
  if (controller_.state.readoutMode)
    readoutAt(mapFromGlobal(QCursor::pos()), false);
  else
    status({});
}

void ModelView::mousePressEvent(QMouseEvent* e) {
  ViewState& s = controller_.state;
  if (e->button() == Qt::LeftButton) {
    if (!(e->modifiers() & Qt::ShiftModifier) || s.selectedCutPlane == kNoPlane) {
      readoutAt(e->position(), true);
    } else if (moveCutToPoint(controller_, pickPoint(e->position()))) {
      refreshWindow();
    }
  } else if (e->button() == Qt::RightButton) {
    if (s.mouseCutStage == 0 || s.mouseCutStage == 5) {
      s.frame.redraw();
      anchor_ = e->position().toPoint();
      grabMouse();
      refreshWindow();
    } else if (auto text = mouseCutClick(controller_, pickPoint(e->position()))) {
      status(*text);
      updateCursor();
      refreshWindow();
    }
  }
}

void ModelView::mouseReleaseEvent(QMouseEvent* e) {
  ViewState& s = controller_.state;
  if (e->button() == Qt::LeftButton) {
    status({});
  } else if (e->button() == Qt::RightButton) {
    if (s.mouseCutStage == 0 || s.mouseCutStage == 5) {
      s.frame.redraw();
      anchor_ = QPoint(-100, -100);
      releaseMouse();
      refreshWindow();
    } else {
      mouseCutRelease(controller_);
    }
  }
}

void ModelView::mouseMoveEvent(QMouseEvent* e) {
  ViewState& s = controller_.state;
  if ((e->buttons() & Qt::LeftButton) || s.readoutMode) readoutAt(e->position(), e->buttons() & Qt::LeftButton);
  if ((e->buttons() & Qt::RightButton) && (s.mouseCutStage == 0 || s.mouseCutStage == 5) &&
      anchor_ != QPoint(-100, -100)) {
    const QPoint p = e->position().toPoint();
    if (p == anchor_) return;
    dragStep(controller_, p.x() - anchor_.x(), p.y() - anchor_.y(), e->modifiers() & Qt::ControlModifier);
    anchor_ = p;
    refreshWindow();
  }
}

void ModelView::wheelEvent(QWheelEvent* e) {
  const int delta = e->angleDelta().y();
  wheelStep(controller_, delta, e->buttons() & Qt::MiddleButton);
  refreshWindow();
}

bool softwareRenderer(const char* renderer) {
  if (!renderer) return false;
  const std::string r = renderer;
  return r.find("llvmpipe") != std::string::npos || r.find("softpipe") != std::string::npos ||
         r.find("Software Rasterizer") != std::string::npos;
}

void ModelView::recordFailure(const std::string& text) {
  if (glErrorText == "No Error") glErrorText = text;
}

void ModelView::onUpdate(ViewRefresh hint) {
  controller_.refresh(hint);
  refreshWindow();
}

void ModelView::refreshWindow() {
  controller_.state.frame.valuesChanged(doc_.takeValuesChanged());
  controller_.askBeforeRebuild();
  if (controller_.state.frame.redrawPending() || controller_.state.frame.rebuildPending()) update();
}

void ModelView::initializeGL() {
  if (!context() || !context()->isValid()) {
    recordFailure("wglCreateContext failed");
    return;
  }
  if (!doc_.hardwareOpenGL() && !softwareRenderer(rendererName().c_str()))
    platform_.message("The program is using hardware drivers.\n", MessageKind::Info);
  if (screen() && screen()->depth() < 16)
    platform_.message("Warning: This program requires the colour setting\nto be at least 16 bit.  It might not work correctly.",
                      MessageKind::Warning);
  applyFixedState();
  // The context goes when the widget moves to another window; its lists go with it.
  connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &ModelView::releaseGl, Qt::UniqueConnection);
  initialised_ = true;
  controller_.state.frame.redraw();
}

void ModelView::resizeGL(int w, int h) {
  // The framebuffer was recreated: whatever it held is gone.
  const qreal ratio = devicePixelRatioF();
  const int pw = static_cast<int>(w * ratio), ph = static_cast<int>(h * ratio);
  if (controller_.resize(pw, ph)) setViewport(pw, ph);
  controller_.state.frame.redraw();
}

void ModelView::paintGL() { paintFrame(); }

void ModelView::paintFrame() {
  if (!initialised_) return;
  if (!glyphsBuilt_ || !(glyphFont_ == controller_.state.viewFont)) {
    glyphFont_ = controller_.state.viewFont;
    gl_.screenText().setGlyphSource(glyphSource(glyphFont_));
    glyphsBuilt_ = true;
  }
  const bool rebuilt = controller_.state.frame.rebuildPending() || !gl_.scene().compiled();
  const bool drawn = drawFrame(controller_.state, doc_, controller_.colours, controller_.cellFaces, gl_);
  if (drawn && movie_.wantsFrame()) recordMovieFrame();
  // Shown once the paint is over: a message box here would paint the view again.
  if (rebuilt && !gl_.scene().failure().empty())
    QTimer::singleShot(0, this, [this, text = gl_.scene().failure()] { platform_.message(text, MessageKind::Error); });
  const auto& title = gl_.scene().geometry().title;
  if (rebuilt && title && *title != doc_.title()) {
    doc_.setTitle(*title);
    if (onTitleChanged) onTitleChanged();
  }
}

void ModelView::resizeEvent(QResizeEvent* event) {
  if (event->size() != event->oldSize()) movie_.windowResized();
  QOpenGLWidget::resizeEvent(event);
}

void ModelView::recordMovieFrame() {
  // The widget's framebuffer is bound while it paints; the frame is read before it is shown.
  const auto rect = bitmapCaptureRect(width(), height());
  if (!rect) {
    movie_.frameDrawn(nullptr);
    return;
  }
  const qreal ratio = devicePixelRatioF();
  const int fullHeight = static_cast<int>(height() * ratio);
  const int x = static_cast<int>(rect->x * ratio), w = static_cast<int>(rect->width * ratio);
  const int h = static_cast<int>(rect->height * ratio), top = static_cast<int>(rect->y * ratio);
  movieFrame_.resize(static_cast<std::size_t>(w) * h * 4);
  readPixels(x, fullHeight - top - h, w, h, movieFrame_.data());
  const MovieFrame frame{w, h, movieFrame_.data(), true};
  movie_.frameDrawn(&frame);
}

void ModelView::keepOnTop(bool on) {
  QWidget* top = window();
  if (on) {
    top->raise();
    top->activateWindow();
  }
  // Set on the native window: changing the widget's flags would recreate it, and hide and resize it.
  if (QWindow* w = top->windowHandle()) w->setFlag(Qt::WindowStaysOnTopHint, on);
}

void ModelView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) platform_.spaceDown = true;
  QOpenGLWidget::keyPressEvent(event);
}

void ModelView::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) platform_.spaceDown = false;
  QOpenGLWidget::keyReleaseEvent(event);
}

void ModelView::focusOutEvent(QFocusEvent* event) {
  // A release while another window has the keyboard never reaches the view.
  platform_.spaceDown = false;
  QOpenGLWidget::focusOutEvent(event);
}

void ModelView::onLights() {
  LightsDialog dlg(controller_.state.lightSwitches, this);
  if (dlg.exec() != QDialog::Accepted) return;
  controller_.setLights(dlg.values());
  refreshWindow();
}

void ModelView::onBackground() {
  if (auto c = platform_.chooseColour(controller_.state.backgroundColour)) {
    controller_.setBackground((*c)[0], (*c)[1], (*c)[2]);
    refreshWindow();
  }
}

void ModelView::onViewAngles() {
  const ViewState& s = controller_.state;
  ViewAnglesDialog dlg(platform_, ViewAngles{s.rotationX, s.rotationZ, s.angleStep, s.zoomAngle}, this);
  if (dlg.exec() != QDialog::Accepted) return;
  const ViewAngles v = dlg.values();
  controller_.setViewAngles(v.x, v.z, v.step, v.zoom);
  refreshWindow();
}

void ModelView::onScaleView() {
  ScaleViewDialog dlg(platform_, controller_.state.axisScale, this);
  if (dlg.exec() != QDialog::Accepted) return;
  controller_.setAxisScale(dlg.values());
  refreshWindow();
}

void ModelView::onColourmap() {
  const Colourmap& map = controller_.colours.colourmap;
  const auto chosen = ColourmapDialog::ask(map.kind, map.reversed, this);
  if (!chosen) return;
  controller_.chooseColourmap(chosen->first, chosen->second);
  refreshWindow();
}

void ModelView::onChooseFont() {
  if (auto f = platform_.chooseFont(controller_.state.viewFont)) {
    controller_.setFont(*f);
    refreshWindow();
  }
}

}  // namespace litho

namespace litho {

void ModelView::onCutoff() {
  // The dialog applies Preview and slider releases at once and restores on Cancel.
  CutoffDialog dlg(platform_, controller_.state, controller_.colours.firstScale, doc_.store().range().min, doc_.store().range().max,
                 [this] { refreshWindow(); }, this);
  dlg.exec();
  refreshWindow();
}

void ModelView::onRange() {
  RangeDialog dlg(platform_, controller_.colours, doc_.store().hasSecondModel(), this);
  const int r = dlg.exec();
  if (r == QDialog::Accepted)
    applyRange(controller_.colours, controller_.state, dlg.choice());
  else if (r == RangeDialog::kReset)
    controller_.resetScale();
  refreshWindow();
}

void ModelView::onPadding() {
  PaddingDialog dlg(platform_, controller_.state, this);
  if (dlg.exec() != QDialog::Accepted) return;
  applyPadding(controller_.state, dlg.padding(), doc_.mesh().nx, doc_.mesh().ny, doc_.mesh().nz);
  controller_.resetViewExtents();
  refreshWindow();
}

void ModelView::onDiagonal() {
  if (switchDiagonalCutOff(controller_.state)) {
    refreshWindow();
    return;
  }
  DiagonalDialog dlg(platform_, controller_.state, this);
  if (dlg.exec() != QDialog::Accepted) return;
  applyDiagonal(controller_.state, dlg.cut());
  refreshWindow();
}

}  // namespace litho

namespace litho {

AddBlocksDialog* ModelView::blockEditorWindow() const { return blocks_.data(); }

void ModelView::onAddBlocks() {
  auto editor = openBlockEditor(doc_, controller_.state, controller_.colours.firstScale, platform_);
  if (!editor) return;
  auto* window = new AddBlocksDialog(platform_, std::move(editor), this);
  blocks_ = window;
  window->onStatus = [this](const std::string& text) { status(text); };
  window->onChanged = [this] { refreshWindow(); };
  window->show();
  window->raise();
  refreshWindow();
}

void ModelView::onVectorProperties() {
  VectorPropertiesDialog dlg(platform_, vectorPropertiesOf(controller_.state), this);
  if (dlg.exec() != QDialog::Accepted) return;
  applyVectorProperties(controller_.state, dlg.values());
  refreshWindow();
}

bool ModelView::saveImage(const std::string& path) {
  const ImageFormat format = imageFormatForPath(path);
  if (!isVectorFormat(format)) {
    controller_.state.frame.redraw();
    const QImage frame = initialised_ ? grabFramebuffer() : QImage();
    const auto rect = bitmapCaptureRect(width(), height());
    if (!rect || frame.isNull()) {
      platform_.message(kErrorSavingImage, MessageKind::Error);
      return false;
    }
    const qreal r = frame.devicePixelRatio();
    const QImage part = frame.copy(QRect(QPoint(rect->x, rect->y) * r, QSize(rect->width, rect->height) * r));
    return saveBitmapImage(path, part, platform_);
  }
  const bool ok = litho::saveVectorImage(path, platform_, [&] {
    RenderedImage out;
    if (!initialised_) {
      out.failure = couldNotSaveImageText(path);
      return out;
    }
    makeCurrent();
    const qreal ratio = devicePixelRatioF();
    const int w = static_cast<int>(width() * ratio), h = static_cast<int>(height() * ratio);
    setViewport(w, h);
    const VectorPageResult r = exportViewAsVector(format, path, controller_.state, gl_, {0, 0, w, h},
                                                  [&] { drawFrame(controller_.state, doc_, controller_.colours, controller_.cellFaces, gl_); });
    doneCurrent();
    if (r.status == VectorPageResult::Status::Written)
      out.bytes = r.bytes;
    else if (r.status == VectorPageResult::Status::OutOfMemory)
      out.failure = feedbackMemoryText(r.bufferFloats);
    else
      out.failure = couldNotSaveImageText(path);
    return out;
  });
  update();
  return ok;
}

void ModelView::copyImage() {
  const QImage frame = initialised_ ? grabFramebuffer() : QImage();
  if (frame.isNull()) return;
  const PixelRect rect = clipboardCaptureRect(width(), height());
  const qreal r = frame.devicePixelRatio();
  platform_.setClipboardImage(clipboardImageOf(frame.copy(QRect(QPoint(0, 0), QSize(rect.width, rect.height) * r))));
}

}  // namespace litho
