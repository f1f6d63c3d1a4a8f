#include "app/dialogs/animate_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace litho {

AnimateDialog::AnimateDialog(Platform& platform, const AnimateSetup& setup, QWidget* parent)
    : QDialog(parent), platform_(platform), mode_(setup.mode) {
  setWindowTitle("Animate");
  setObjectName("AnimateDialog");
  values_ = {setup.framesPerSecond, setup.method, setup.frames};
  const bool start = setup.mode == AnimateMode::Start;
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  const QString path = QString::fromStdString(setup.outputFilename);
  outputFilename = new QLineEdit(path, this);
  outputFilename->setMinimumWidth(360);
  form->addRow("output filename", outputFilename);
  auto* methods = new QHBoxLayout;
  method1 = new QRadioButton("1", this);
  method2 = new QRadioButton("2", this);
  auto* group = new QButtonGroup(this);
  group->addButton(method1);
  group->addButton(method2);
  (setup.method == 0 ? method1 : method2)->setChecked(true);
  method1->setEnabled(start);
  methods->addWidget(method1);
  methods->addWidget(method2);
  methods->addStretch();
  form->addRow("method", methods);
  framesPerSecond = new QLineEdit(QString::number(setup.framesPerSecond), this);
  framesPerSecond->setReadOnly(!start);
  form->addRow("frames per second", framesPerSecond);
  frames = new QLineEdit(QString::number(setup.frames), this);
  frames->setEnabled(!start);
  form->addRow("# of frames", frames);
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &AnimateDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &AnimateDialog::reject);
  layout->addWidget(buttons);
  if (start) {
    // The file name part selected, and the field scrolled to show it.
    const qsizetype slash = path.lastIndexOf('/');
    outputFilename->setFocus();
    outputFilename->setSelection(static_cast<int>(slash + 1), static_cast<int>(path.size() - slash - 1));
  }
}

void AnimateDialog::accept() {
  const auto r = checkAnimate(mode_, framesPerSecond->text().toStdString(), method1->isChecked() ? 0 : 1,
                              frames->text().toStdString());
  if (const auto* message = std::get_if<std::string>(&r)) {
    platform_.message(*message, MessageKind::Plain);
    return;
  }
  const AnimateChoice c = std::get<AnimateChoice>(r);
  if (mode_ == AnimateMode::Start) {
    values_.framesPerSecond = c.framesPerSecond;
    values_.method = c.method;
  } else {
    values_.frames = c.frames;
  }
  QDialog::accept();
}

}  // namespace litho
