#pragma once
#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProcess;
class QPushButton;
class QTimer;

namespace litho {

// Modal while a started program runs: its name, the time since it started and
// "Stop", which ends the program's process group. Closes when the program ends;
// result() is its exit status, -1 when it crashed or was stopped.
class ProgramWaitDialog : public QDialog {
  Q_OBJECT
 public:
  ProgramWaitDialog(const QString& name, QProcess* process, QWidget* parent = nullptr);
  void stop();
  void reject() override { stop(); }  // Escape and the close box stop the program too

  QLabel* elapsedLabel;
  QPushButton* stopButton;

 private:
  void tick();

  QProcess* process_;
  QElapsedTimer clock_;
  QTimer* timer_;
  bool stopped_ = false;
};

}  // namespace litho
