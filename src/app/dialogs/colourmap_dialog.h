#pragma once
#include <QCheckBox>
#include <QDialog>
#include <QRadioButton>
#include <array>

namespace litho {

// "Colourmap": one of the nine tables, optionally reversed.
class ColourmapDialog : public QDialog {
  Q_OBJECT
 public:
  ColourmapDialog(int kind, bool reversed, QWidget* parent = nullptr);
  int kind() const;
  bool reversed() const { return reverse->isChecked(); }

  std::array<QRadioButton*, 9> kinds;
  QCheckBox* reverse;
};

}  // namespace litho
