#pragma once
#include <QDialog>
#include <QRadioButton>

namespace litho {

// Start-up banner with the OpenGL driver choice.
class CDlgBanner : public QDialog {
  Q_OBJECT
 public:
  explicit CDlgBanner(bool hardwareOpenGL, QWidget* parent = nullptr);
  bool hardwareOpenGL() const { return hardware->isChecked(); }

  QRadioButton* software;  // 1137
  QRadioButton* hardware;
};

}  // namespace litho
