#include "app/dialogs/background_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "core/edit/background.h"
#include "core/io/field_parse.h"

namespace litho {

BackgroundDialog::BackgroundDialog(Platform& platform, const RectMesh& mesh, float initialValue, QWidget* parent)
    : QDialog(parent), platform_(platform), mesh_(mesh) {
  setWindowTitle("Set Background");
  setObjectName("BackgroundDialog");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Set the background of the model to:", this));
  valueEdit = new QLineEdit(QString::fromStdString(formatFloatField(initialValue)), this);
  layout->addWidget(valueEdit);
  allCells = new QRadioButton("set all cells", this);
  belowZeroOnly = new QRadioButton("set only cells below z=0", this);
  allCells->setChecked(true);
  layout->addWidget(allCells);
  layout->addWidget(belowZeroOnly);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &BackgroundDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &BackgroundDialog::reject);
  layout->addWidget(buttons);
  result_.value = initialValue;
}

void BackgroundDialog::accept() {
  const auto value = parseFloatField(valueEdit->text().toStdString());
  if (!value) {
    platform_.message(kEnterNumberMessage, MessageKind::Plain);
    valueEdit->setFocus();
    return;
  }
  const BackgroundIndex idx = backgroundTopIndex(mesh_, belowZeroOnly->isChecked());
  if (idx.error) {
    platform_.message(*idx.error, MessageKind::Warning);
    return;
  }
  result_ = {*value, idx.topIndex};
  QDialog::accept();
}

}  // namespace litho
