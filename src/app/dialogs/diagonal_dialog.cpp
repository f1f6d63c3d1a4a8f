#include "app/dialogs/diagonal_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace litho {

DiagonalDialog::DiagonalDialog(Platform& platform, const ViewState& state, QWidget* parent)
    : QDialog(parent), platform_(platform), cut_{state.diagonalLine, state.diagonalSide != 0} {
  setWindowTitle("Diagonal cut");
  setObjectName("DiagonalDialog");
  auto* layout = new QVBoxLayout(this);
  const DiagonalFields shown = diagonalFields(state);
  auto box = [&](std::size_t n) { return new QLineEdit(QString::fromStdString(shown[n]), this); };
  startEasting = box(0);
  startNorthing = box(1);
  endEasting = box(2);
  endNorthing = box(3);
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel("Starting point (Easting, Northing):", this), 0, 0, 1, 2);
  grid->addWidget(startEasting, 1, 0);
  grid->addWidget(startNorthing, 1, 1);
  grid->addWidget(new QLabel("Ending point (Easting, Northing):", this), 2, 0, 1, 2);
  grid->addWidget(endEasting, 3, 0);
  grid->addWidget(endNorthing, 3, 1);
  layout->addLayout(grid);
  flip = new QCheckBox("Flip", this);
  flip->setChecked(cut_.flip);
  layout->addWidget(flip);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &DiagonalDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &DiagonalDialog::reject);
  layout->addWidget(buttons);
}

void DiagonalDialog::accept() {
  const DiagonalFields typed{startEasting->text().toStdString(), startNorthing->text().toStdString(),
                             endEasting->text().toStdString(), endNorthing->text().toStdString()};
  auto r = checkDiagonal(typed, flip->isChecked());
  if (const auto* e = std::get_if<FieldError>(&r)) {
    platform_.message(e->text, e->kind);
    return;
  }
  cut_ = std::get<DiagonalCut>(r);
  QDialog::accept();
}

}  // namespace litho
