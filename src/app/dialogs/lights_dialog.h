#pragma once
#include <QCheckBox>
#include <QDialog>
#include <array>

namespace litho {

// "Lights": centre, west, east, north and south lights on or off.
class LightsDialog : public QDialog {
  Q_OBJECT
 public:
  explicit LightsDialog(const std::array<bool, 5>& switches, QWidget* parent = nullptr);
  std::array<bool, 5> values() const;

  // In switch order: C, W, E, N, S.
  std::array<QCheckBox*, 5> boxes;
};

}  // namespace litho
