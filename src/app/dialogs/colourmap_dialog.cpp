#include "app/dialogs/colourmap_dialog.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

#include "core/scene/colourmap.h"

namespace litho {

ColourmapDialog::ColourmapDialog(int kind, bool reversed, QWidget* parent) : QDialog(parent) {
  setWindowTitle("Colourmap");
  setObjectName("ColourmapDialog");
  auto* layout = new QVBoxLayout(this);
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    kinds[i] = new QRadioButton(kColourmapLabels[i], this);
    layout->addWidget(kinds[i]);
  }
  if (kind >= 0 && kind < static_cast<int>(kinds.size())) kinds[static_cast<std::size_t>(kind)]->setChecked(true);
  reverse = new QCheckBox("reverse", this);
  reverse->setChecked(reversed);
  layout->addWidget(reverse);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

int ColourmapDialog::kind() const {
  for (std::size_t i = 0; i < kinds.size(); ++i)
    if (kinds[i]->isChecked()) return static_cast<int>(i);
  return 0;
}

std::optional<std::pair<int, bool>> ColourmapDialog::ask(int kind, bool reversed, QWidget* parent) {
  ColourmapDialog dlg(kind, reversed, parent);
  if (dlg.exec() != QDialog::Accepted) return std::nullopt;
  return std::make_pair(dlg.kind(), dlg.reversed());
}

}  // namespace litho
