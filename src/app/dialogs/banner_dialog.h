#pragma once
#include <QDialog>
#include <QRadioButton>

namespace litho {

// Start-up banner with the OpenGL driver choice.
class BannerDialog : public QDialog {
  Q_OBJECT
 public:
  explicit BannerDialog(bool hardwareOpenGL, QWidget* parent = nullptr);
  bool hardwareOpenGL() const { return hardware->isChecked(); }

  QRadioButton* software;
  QRadioButton* hardware;
};

}  // namespace litho
