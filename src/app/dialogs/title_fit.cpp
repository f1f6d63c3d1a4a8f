#include "app/dialogs/title_fit.h"

#include <QDialog>
#include <QEvent>
#include <QFontMetrics>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace litho {

namespace {
// The window icon and the close, minimise and maximise buttons of common title bars, with margins.
constexpr int kTitleBarAllowance = 160;
}  // namespace

void fitWidthToTitle(QWidget& w) {
  QFont font = w.font();
  font.setBold(true);  // title bars often use a bold face
  int need = QFontMetrics(font).horizontalAdvance(w.windowTitle()) + kTitleBarAllowance;
  if (const QScreen* screen = w.screen()) need = std::min(need, screen->availableGeometry().width() * 9 / 10);
  if (w.width() >= need) return;
  w.setMinimumWidth(std::max(need, w.minimumSizeHint().width()));
  w.resize(need, w.height());
}

bool DialogTitleFit::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show)
    if (auto* dialog = qobject_cast<QDialog*>(watched); dialog && dialog->isWindow()) fitWidthToTitle(*dialog);
  return QObject::eventFilter(watched, event);
}

}  // namespace litho
