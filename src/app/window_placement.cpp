#include "app/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace litho {

WindowRect frameRectOf(const QWidget& window) {
  const QRect f = window.frameGeometry();
  return {f.left(), f.top(), f.left() + f.width(), f.top() + f.height()};
}

void placeWindow(QWidget& window, const WindowRect& frame) {
  const long long cx = (static_cast<long long>(frame.left) + frame.right) / 2;
  const long long cy = (static_cast<long long>(frame.top) + frame.bottom) / 2;
  QScreen* screen = QGuiApplication::screenAt(QPoint(static_cast<int>(cx), static_cast<int>(cy)));
  if (!screen) screen = window.screen();
  WindowRect area{};
  if (screen) {
    const QRect a = screen->availableGeometry();
    area = {a.left(), a.top(), a.left() + a.width(), a.top() + a.height()};
  }
  const auto fitted = fitWindowToScreen(frame, area);
  if (!fitted) return;
  // Before the window is first shown its frame is not known and counts as nothing.
  const int frameWidth = window.frameGeometry().width() - window.width();
  const int frameHeight = window.frameGeometry().height() - window.height();
  window.move(fitted->left, fitted->top);
  window.resize(std::max(1, fitted->right - fitted->left - frameWidth),
                std::max(1, fitted->bottom - fitted->top - frameHeight));
}

}  // namespace litho
