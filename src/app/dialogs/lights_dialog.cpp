#include "app/dialogs/lights_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QVBoxLayout>

namespace litho {

LightsDialog::LightsDialog(const std::array<bool, 5>& switches, QWidget* parent) : QDialog(parent) {
  setWindowTitle("Lights");
  setObjectName("LightsDialog");
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  const char* labels[5] = {"C", "W", "E", "N", "S"};
  // Laid out as a compass: N on top, W left, C centre, E right, S below.
  const int row[5] = {1, 1, 1, 0, 2};
  const int col[5] = {1, 0, 2, 1, 1};
  for (int i = 0; i < 5; ++i) {
    boxes[static_cast<std::size_t>(i)] = new QCheckBox(labels[i], this);
    boxes[static_cast<std::size_t>(i)]->setChecked(switches[static_cast<std::size_t>(i)]);
    grid->addWidget(boxes[static_cast<std::size_t>(i)], row[i], col[i]);
  }
  layout->addLayout(grid);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

std::array<bool, 5> LightsDialog::values() const {
  std::array<bool, 5> v{};
  for (std::size_t i = 0; i < 5; ++i) v[i] = boxes[i]->isChecked();
  return v;
}

}  // namespace litho
