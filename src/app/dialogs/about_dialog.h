#pragma once
#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>

namespace litho {

// "About Lithoscan3D".
class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit AboutDialog(QWidget* parent = nullptr);

  QLabel* version;
  QPlainTextEdit* description;
};

}  // namespace litho
