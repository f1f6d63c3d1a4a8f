#include "app/dialogs/cell_properties_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <charconv>

#include "core/io/field_parse.h"
#include "core/io/model_writer.h"

namespace litho {

namespace {
QString number(double v) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return QString::fromLatin1(buf, static_cast<qsizetype>(r.ptr - buf));
}
QString valueText(float v) { return QString::fromStdString(formatModelValue(v)); }
}  // namespace

CellPropertiesDialog::CellPropertiesDialog(Platform& platform, const CellProperties& cell, QWidget* parent)
    : QDialog(parent), platform_(platform), value_(cell.value) {
  setWindowTitle("Cell Properties");
  setObjectName("CellPropertiesDialog");
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  const double bounds[6] = {cell.x0, cell.x1, cell.y0, cell.y1, cell.z0, cell.z1};
  const char* axes[3] = {"X", "Y", "Z"};
  for (int a = 0; a < 3; ++a) {
    grid->addWidget(new QLabel(axes[a], this), a, 0);
    for (int e = 0; e < 2; ++e) {
      auto*& edit = boundEdits[static_cast<std::size_t>(2 * a + e)];
      edit = new QLineEdit(number(bounds[2 * a + e]), this);
      grid->addWidget(edit, a, 1 + e);
    }
  }
  valueEdit = new QLineEdit(valueText(cell.value), this);
  secondValueEdit = new QLineEdit(cell.secondValue ? valueText(*cell.secondValue) : QString(), this);
  secondValueEdit->setEnabled(cell.secondValue.has_value());
  grid->addWidget(new QLabel("value", this), 3, 0);
  grid->addWidget(valueEdit, 3, 1, 1, 2);
  grid->addWidget(new QLabel("value 2", this), 4, 0);
  grid->addWidget(secondValueEdit, 4, 1, 1, 2);
  layout->addLayout(grid);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CellPropertiesDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CellPropertiesDialog::reject);
  layout->addWidget(buttons);
}

void CellPropertiesDialog::accept() {
  const auto v = parseFloatField(valueEdit->text().toStdString());
  if (!v) {
    platform_.message(kEnterNumberMessage, MessageKind::Plain);
    valueEdit->setFocus();
    return;
  }
  value_ = *v;
  QDialog::accept();
}

}  // namespace litho
