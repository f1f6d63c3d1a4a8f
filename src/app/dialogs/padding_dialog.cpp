#include "app/dialogs/padding_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace litho {

PaddingDialog::PaddingDialog(Platform& platform, const ViewState& state, QWidget* parent)
    : QDialog(parent), platform_(platform), padding_(state.hiddenPadding) {
  setWindowTitle("Padding Cells");
  setObjectName("PaddingDialog");
  auto* layout = new QVBoxLayout(this);
  const PaddingFields shown = paddingFields(state);
  auto* digits = new QRegularExpressionValidator(QRegularExpression("[0-9]*"), this);
  auto box = [&](std::size_t side) {
    auto* e = new QLineEdit(QString::fromStdString(shown[side]), this);
    e->setValidator(digits);
    return e;
  };
  west = box(kSideWest);
  east = box(kSideEast);
  south = box(kSideSouth);
  north = box(kSideNorth);
  top = box(kSideTop);
  bottom = box(kSideBottom);
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel("Easting:", this), 0, 0);
  grid->addWidget(west, 0, 1);
  grid->addWidget(east, 0, 2);
  grid->addWidget(new QLabel("Northing:", this), 1, 0);
  grid->addWidget(south, 1, 1);
  grid->addWidget(north, 1, 2);
  grid->addWidget(new QLabel("Depth:", this), 2, 0);
  grid->addWidget(bottom, 2, 1);
  grid->addWidget(new QLabel("Top:", this), 3, 0);
  grid->addWidget(top, 3, 1);
  layout->addLayout(grid);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &PaddingDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &PaddingDialog::reject);
  layout->addWidget(buttons);
}

void PaddingDialog::accept() {
  PaddingFields typed;
  const auto edits = boxes();
  for (std::size_t s = 0; s < typed.size(); ++s) typed[s] = edits[s]->text().toStdString();
  auto r = readPadding(typed);
  if (const auto* e = std::get_if<FieldError>(&r)) {
    platform_.message(e->text, e->kind);
    return;
  }
  padding_ = std::get<std::array<int, 6>>(r);
  QDialog::accept();
}

}  // namespace litho
