#include "app/dialogs/program_wait_dialog.h"

#include <signal.h>

#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace litho {

ProgramWaitDialog::ProgramWaitDialog(const QString& name, QProcess* process, QWidget* parent)
    : QDialog(parent), process_(process) {
  setWindowTitle(name);
  setObjectName("ProgramWaitDialog");
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(name + " is running ...", this));
  elapsedLabel = new QLabel(this);
  layout->addWidget(elapsedLabel);
  stopButton = new QPushButton("Stop", this);
  stopButton->setAutoDefault(false);
  layout->addWidget(stopButton, 0, Qt::AlignHCenter);
  connect(stopButton, &QPushButton::clicked, this, &ProgramWaitDialog::stop);
  timer_ = new QTimer(this);
  connect(timer_, &QTimer::timeout, this, &ProgramWaitDialog::tick);
  timer_->start(200);
  clock_.start();
  tick();
  connect(process_, &QProcess::finished, this, [this](int code, QProcess::ExitStatus how) {
    done(stopped_ || how != QProcess::NormalExit ? -1 : code);
  });
  if (process_->state() == QProcess::NotRunning)
    QTimer::singleShot(0, this, [this] { done(process_->exitStatus() == QProcess::NormalExit ? process_->exitCode() : -1); });
}

void ProgramWaitDialog::tick() {
  const qint64 s = clock_.elapsed() / 1000;
  elapsedLabel->setText(QString("Elapsed time: %1:%2").arg(s / 60).arg(s % 60, 2, 10, QChar('0')));
}

void ProgramWaitDialog::stop() {
  stopped_ = true;
  const qint64 pid = process_->processId();
  if (pid > 0) ::kill(-static_cast<pid_t>(pid), SIGTERM);
  QTimer::singleShot(2000, process_, [pid, p = process_] {
    if (p->state() != QProcess::NotRunning && pid > 0) ::kill(-static_cast<pid_t>(pid), SIGKILL);
  });
}

}  // namespace litho
