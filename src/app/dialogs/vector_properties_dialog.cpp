#include "app/dialogs/vector_properties_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace litho {

VectorPropertiesDialog::VectorPropertiesDialog(Platform& platform, const VectorProperties& current, QWidget* parent)
    : QDialog(parent), platform_(platform), values_(current) {
  setWindowTitle("Change Vector Properties");
  setObjectName("VectorPropertiesDialog");
  auto* layout = new QVBoxLayout(this);

  auto* type = new QGroupBox("vector type", this);
  auto* typeLayout = new QVBoxLayout(type);
  cones = new QRadioButton("cones", type);
  lines = new QRadioButton("lines", type);
  (current.cones ? cones : lines)->setChecked(true);
  typeLayout->addWidget(cones);
  typeLayout->addWidget(lines);
  layout->addWidget(type);

  layout->addWidget(new QLabel("Enter the constant vector length:", this));
  length = new QLineEdit(QString::number(current.length, 'g', 15), this);
  layout->addWidget(length);

  auto* increments = new QGroupBox("vector plotting increment", this);
  auto* form = new QFormLayout(increments);
  auto* digits = new QRegularExpressionValidator(QRegularExpression("[0-9]*"), this);
  QLineEdit** boxes[3] = {&x, &y, &z};
  const char* labels[3] = {"X", "Y", "Z"};
  for (std::size_t a = 0; a < 3; ++a) {
    *boxes[a] = new QLineEdit(QString::number(current.increment[a]), increments);
    (*boxes[a])->setValidator(digits);
    form->addRow(labels[a], *boxes[a]);
  }
  layout->addWidget(increments);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &VectorPropertiesDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &VectorPropertiesDialog::reject);
  layout->addWidget(buttons);
}

void VectorPropertiesDialog::accept() {
  auto r = checkVectorProperties(cones->isChecked(), length->text().toStdString(), x->text().toStdString(),
                                 y->text().toStdString(), z->text().toStdString());
  if (auto* message = std::get_if<std::string>(&r)) {
    platform_.message(*message, MessageKind::Plain);
    return;
  }
  values_ = std::get<VectorProperties>(r);
  QDialog::accept();
}

}  // namespace litho
