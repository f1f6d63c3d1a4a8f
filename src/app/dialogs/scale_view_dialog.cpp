#include "app/dialogs/scale_view_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

#include "core/view/view_dialogs.h"

namespace litho {

ScaleViewDialog::ScaleViewDialog(Platform& platform, const std::array<double, 3>& current, QWidget* parent)
    : QDialog(parent), platform_(platform), values_(current) {
  setWindowTitle("Scale View");
  setObjectName("ScaleViewDialog");
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  x = new QLineEdit(QString::number(current[0], 'g', 10), this);
  y = new QLineEdit(QString::number(current[1], 'g', 10), this);
  z = new QLineEdit(QString::number(current[2], 'g', 10), this);
  form->addRow("X", x);
  form->addRow("Y", y);
  form->addRow("Z", z);
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &ScaleViewDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &ScaleViewDialog::reject);
  layout->addWidget(buttons);
}

void ScaleViewDialog::accept() {
  auto r = checkScaleView(x->text().toStdString(), y->text().toStdString(), z->text().toStdString());
  if (auto* message = std::get_if<std::string>(&r)) {
    platform_.message(*message, MessageKind::Plain);
    return;
  }
  values_ = std::get<std::array<double, 3>>(r);
  QDialog::accept();
}

}  // namespace litho
