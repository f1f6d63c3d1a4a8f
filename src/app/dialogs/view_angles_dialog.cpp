#include "app/dialogs/view_angles_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace litho {

namespace {
QString num(double v) { return QString::number(v, 'g', 7); }
}  // namespace

ViewAnglesDialog::ViewAnglesDialog(Platform& platform, const ViewAngles& current, QWidget* parent)
    : QDialog(parent), platform_(platform), values_(current) {
  setWindowTitle("Change View Angles");
  setObjectName("ViewAnglesDialog");
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  x = new QLineEdit(num(current.x), this);
  z = new QLineEdit(num(current.z), this);
  step = new QLineEdit(num(current.step), this);
  zoom = new QLineEdit(num(current.zoom), this);
  form->addRow("X", x);
  form->addRow("Z", z);
  form->addRow("angle increment ", step);
  form->addRow("zoom angle", zoom);
  layout->addLayout(form);
  auto* quick = new QGroupBox("quick rotate", this);
  auto* grid = new QGridLayout(quick);
  for (int b = 0; b < 6; ++b) {
    auto* button = new QPushButton(kQuickRotateLabels[static_cast<std::size_t>(b)], quick);
    button->setAutoDefault(false);
    grid->addWidget(button, b / 3, b % 3);
    connect(button, &QPushButton::clicked, this, [this, b] { quickRotate(b); });
  }
  layout->addWidget(quick);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &ViewAnglesDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &ViewAnglesDialog::reject);
  layout->addWidget(buttons);
}

void ViewAnglesDialog::accept() {
  auto r = checkViewAngles(x->text().toStdString(), z->text().toStdString(), step->text().toStdString(),
                           zoom->text().toStdString());
  if (auto* message = std::get_if<std::string>(&r)) {
    platform_.message(*message, MessageKind::Plain);
    return;
  }
  values_ = std::get<ViewAngles>(r);
  QDialog::accept();
}

void ViewAnglesDialog::quickRotate(int button) {
  const auto a = quickRotateAngles(button);
  values_.x = a[0];
  values_.z = a[1];
  QDialog::accept();
}

}  // namespace litho
