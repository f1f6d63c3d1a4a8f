#include "app/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QStatusBar>

#include "app/opengl_view.h"
#include "app/qt_platform.h"
#include "app/version.h"
#include "model/opengl_doc.h"

namespace litho {

CMainFrame::CMainFrame(COpenGLDoc& doc, QtPlatform& platform) : doc_(doc), platform_(platform) {
  setObjectName("CMainFrame");
  view_ = new COpenGLView(doc_, platform_, this);
  setCentralWidget(view_);

  QMenu* file = menuBar()->addMenu("&File");
  QAction* open = file->addAction("&Open ...");
  open->setShortcut(QKeySequence("Ctrl+O"));
  open->setStatusTip("Open a model.");
  open->setData(57601);
  connect(open, &QAction::triggered, this, &CMainFrame::onOpen);
  file->addSeparator();
  QAction* exit = file->addAction("E&xit");
  exit->setStatusTip("Quit the application.");
  exit->setData(57665);
  connect(exit, &QAction::triggered, this, &QMainWindow::close);

  statusBar()->showMessage(kIdleStatusText);
  resize(1000, 760);

  platform_.setParentWindow(this);
  view_->controller().onStatus = [this](const std::string& text) {
    statusBar()->showMessage(QString::fromStdString(text));
  };
  view_->onTitleChanged = [this] { updateTitle(); };
  doc_.updateAllViews = [this](int hint) {
    view_->onUpdate(hint);
    updateTitle();
  };
  updateTitle();
  view_->onUpdate(0);
}

void CMainFrame::updateTitle() { setWindowTitle(QString::fromStdString(doc_.title) + " - Lithoscan3D"); }

void CMainFrame::onOpen() {
  if (doc_.open() == LoadStatus::Fatal) QApplication::exit(-1);
}

}  // namespace litho
