#pragma once
#include <QCheckBox>
#include <QDialog>
#include <QRadioButton>
#include <array>
#include <optional>
#include <utility>

namespace litho {

// "Colourmap": one of the nine tables, optionally reversed.
class ColourmapDialog : public QDialog {
  Q_OBJECT
 public:
  ColourmapDialog(int kind, bool reversed, QWidget* parent = nullptr);
  int kind() const;
  bool reversed() const { return reverse->isChecked(); }
  // Runs the dialog: the chosen table and whether it is reversed, or nothing on Cancel.
  static std::optional<std::pair<int, bool>> ask(int kind, bool reversed, QWidget* parent);

  std::array<QRadioButton*, 9> kinds;
  QCheckBox* reverse;
};

}  // namespace litho
