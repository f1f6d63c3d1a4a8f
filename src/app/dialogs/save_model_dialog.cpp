#include "app/dialogs/save_model_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/io/field_parse.h"
#include "core/load/document.h"

namespace litho {

SaveModelDialog::SaveModelDialog(Platform& platform, float dummy, QWidget* parent)
    : QDialog(parent), platform_(platform) {
  setWindowTitle("Save Model");
  setObjectName("SaveModelDialog");
  options_.dummy = dummy;
  auto* layout = new QVBoxLayout(this);
  auto* box = new QGroupBox("save", this);
  auto* boxLayout = new QVBoxLayout(box);
  entireModel = new QRadioButton("entire model", box);
  withoutPadding = new QRadioButton("without padding cells.  A new mesh file will also be saved.", box);
  auto* group = new QButtonGroup(this);
  group->addButton(entireModel, static_cast<int>(SaveMode::EntireModel));
  group->addButton(withoutPadding, static_cast<int>(SaveMode::WithoutPadding));
  entireModel->setChecked(true);
  boxLayout->addWidget(entireModel);
  boxLayout->addWidget(withoutPadding);
  layout->addWidget(box);

  visibleOnly = new QCheckBox("save only visible cells", this);
  layout->addWidget(visibleOnly);
  auto* dummyRow = new QHBoxLayout;
  dummyRow->addWidget(new QLabel("set other cells to dummy value", this));
  dummyEdit = new QLineEdit(QString::fromStdString(formatFloatField(dummy)), this);
  dummyRow->addWidget(dummyEdit);
  layout->addLayout(dummyRow);

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton("Save", QDialogButtonBox::AcceptRole);
  buttons->addButton(QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &SaveModelDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &SaveModelDialog::reject);
  layout->addWidget(buttons);
}

void SaveModelDialog::accept() {
  const auto dummy = parseFloatField(dummyEdit->text().toStdString());
  if (!dummy) {
    platform_.message(kEnterNumberMessage, MessageKind::Plain);
    dummyEdit->setFocus();
    return;
  }
  options_.mode = withoutPadding->isChecked() ? SaveMode::WithoutPadding : SaveMode::EntireModel;
  options_.visibleOnly = visibleOnly->isChecked();
  options_.dummy = *dummy;
  QDialog::accept();
}

bool saveModelCommand(Document& doc, const SaveViewInfo& view, Platform& platform, QWidget* parent) {
  return saveModelCommand(doc, view, platform, [&](float dummy) -> std::optional<SaveModelOptions> {
    SaveModelDialog dlg(platform, dummy, parent);
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    return dlg.options();
  });
}

}  // namespace litho
