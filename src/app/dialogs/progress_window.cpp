#include "app/dialogs/progress_window.h"

#include <QCoreApplication>
#include <QVBoxLayout>

namespace litho {

ProgressWindow::ProgressWindow(const QString& title, QWidget* parent) : QDialog(parent) {
  setWindowTitle(title);
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  percentText = new QLabel("0 %", this);
  bar = new QProgressBar(this);
  bar->setRange(0, 100);
  bar->setTextVisible(false);
  bar->setMinimumWidth(320);
  layout->addWidget(percentText);
  layout->addWidget(bar);
}

void ProgressWindow::show(int percent) {
  bar->setValue(percent);
  percentText->setText(QString::asprintf("%i %%", percent));
  // Keep the window painted while the read runs; user input waits.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace litho
