#include "support/qt_modal_driver.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

namespace litho::test {

ModalDriver::ModalDriver() {
  timer_.setInterval(20);
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    QWidget* w = QApplication::activeModalWidget();
    // Boxes made one after another on the stack may share an address: mark the answered ones.
    if (!w || w->property("litho.answered").toBool()) return;
    w->setProperty("litho.answered", true);
    auto* box = qobject_cast<QMessageBox*>(w);
    seen.push_back((box ? box->text() : w->objectName()).toStdString());
    answer(w);
  });
  timer_.start();
}

void ModalDriver::answer(QWidget* w) {
  bool ok = false;
  for (const auto& handle : handlers_)
    if (const auto answer = handle(w)) {
      ok = *answer;
      break;
    }
  if (auto* box = qobject_cast<QMessageBox*>(w)) {
    for (QAbstractButton* b : box->buttons()) {
      const auto role = box->buttonRole(b);
      if (ok ? role == QMessageBox::AcceptRole || role == QMessageBox::YesRole
             : role == QMessageBox::RejectRole || role == QMessageBox::NoRole)
        return b->click();
    }
    return box->done(ok ? QDialog::Accepted : QDialog::Rejected);
  }
  if (auto* dialog = qobject_cast<QDialog*>(w)) return ok ? dialog->accept() : dialog->reject();
  w->close();
}

}  // namespace litho::test
