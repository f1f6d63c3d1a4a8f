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

  QLabel* version;              // 1119
  QPlainTextEdit* description;  // 1059
};

}  // namespace litho
