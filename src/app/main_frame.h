#pragma once
#include <QMainWindow>

namespace litho {

class COpenGLDoc;
class COpenGLView;
class QtPlatform;

class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  CMainFrame(COpenGLDoc& doc, QtPlatform& platform);
  COpenGLView* view() const { return view_; }
  void updateTitle();
  void onOpen();

 private:
  COpenGLDoc& doc_;
  QtPlatform& platform_;
  COpenGLView* view_;
};

}  // namespace litho
