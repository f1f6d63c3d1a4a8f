#pragma once
#include <QDialog>
#include <QLabel>
#include <QProgressBar>

namespace litho {

// "Loading ..." : modeless, shown for the length of a read.
class ProgressWindow : public QDialog {
  Q_OBJECT
 public:
  explicit ProgressWindow(const QString& title, QWidget* parent = nullptr);
  void show(int percent);

  QLabel* percentText;
  QProgressBar* bar;
};

}  // namespace litho
