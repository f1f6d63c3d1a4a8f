#include "app/dialogs/range_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

namespace litho {

namespace {
QString qs(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

RangeDialog::RangeDialog(Platform& platform, const ColourState& colours, bool secondModelLoaded, QWidget* parent)
    : QDialog(parent),
      platform_(platform),
      colours_(colours),
      secondModelLoaded_(secondModelLoaded),
      shown_(rangeFields(colours)) {
  setWindowTitle("Set range of model values");
  setObjectName("RangeDialog");
  auto* layout = new QVBoxLayout(this);

  auto* firstGroup = new QGroupBox("first model", this);
  auto* firstForm = new QFormLayout(firstGroup);
  firstMax = new QLineEdit(qs(shown_.firstMax), firstGroup);
  firstMin = new QLineEdit(qs(shown_.firstMin), firstGroup);
  reset = new QPushButton("Reset", firstGroup);
  reset->setAutoDefault(false);
  firstForm->addRow("Max:", firstMax);
  firstForm->addRow("Min:", firstMin);
  firstForm->addRow(reset);
  layout->addWidget(firstGroup);

  secondGroup = new QGroupBox("second model", this);
  auto* secondForm = new QFormLayout(secondGroup);
  secondMax = new QLineEdit(qs(shown_.secondMax), secondGroup);
  secondMin = new QLineEdit(qs(shown_.secondMin), secondGroup);
  secondForm->addRow("Max:", secondMax);
  secondForm->addRow("Min:", secondMin);
  secondGroup->setEnabled(secondModelLoaded);
  layout->addWidget(secondGroup);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &RangeDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &RangeDialog::reject);
  connect(reset, &QPushButton::clicked, this, [this] { done(kReset); });
  layout->addWidget(buttons);
}

void RangeDialog::accept() {
  const RangeFields typed{firstMin->text().toStdString(), firstMax->text().toStdString(),
                          secondMin->text().toStdString(), secondMax->text().toStdString()};
  auto r = checkRange(typed, shown_, colours_, secondModelLoaded_);
  if (const auto* e = std::get_if<FieldError>(&r)) {
    platform_.message(e->text, e->kind);
    return;
  }
  choice_ = std::get<RangeChoice>(r);
  QDialog::accept();
}

}  // namespace litho
