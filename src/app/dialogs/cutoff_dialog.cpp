#include "app/dialogs/cutoff_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <utility>

namespace litho {

namespace {
QString qs(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

CutoffDialog::CutoffDialog(Platform& platform, ViewState& state, const ColourScale& firstScale, double modelMin,
                       double modelMax, std::function<void()> onApplied, QWidget* parent)
    : QDialog(parent),
      platform_(platform),
      state_(state),
      session_(state, firstScale, modelMin, modelMax),
      onApplied_(std::move(onApplied)) {
  setWindowTitle("Model Cutoff");
  setObjectName("CutoffDialog");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Enter the max/min cutoff values for the model.", this));
  layout->addWidget(
      new QLabel("If min is grater than max, values between min and max will not be displayed.", this));

  auto* grid = new QGridLayout;
  auto makeSlider = [this](int position) {
    auto* s = new QSlider(Qt::Horizontal, this);
    s->setRange(0, kCutoffSliderMax);
    s->setValue(position);
    return s;
  };
  maxSlider = makeSlider(session_.openingMaxPosition());
  minSlider = makeSlider(session_.openingMinPosition());
  maxEdit = new QLineEdit(qs(session_.openingMaxText()), this);
  minEdit = new QLineEdit(qs(session_.openingMinText()), this);
  grid->addWidget(new QLabel("max", this), 0, 0);
  grid->addWidget(maxSlider, 0, 1);
  grid->addWidget(maxEdit, 0, 2);
  grid->addWidget(new QLabel("min", this), 1, 0);
  grid->addWidget(minSlider, 1, 1);
  grid->addWidget(minEdit, 1, 2);
  grid->setColumnStretch(1, 1);
  layout->addLayout(grid);

  ignoreCutPlanes = new QCheckBox("ignore cutplane", this);
  layout->addWidget(ignoreCutPlanes);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  previewButton = buttons->addButton("Preview", QDialogButtonBox::ActionRole);
  previewButton->setAutoDefault(false);
  connect(previewButton, &QPushButton::clicked, this, &CutoffDialog::preview);
  connect(buttons, &QDialogButtonBox::accepted, this, &CutoffDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CutoffDialog::reject);
  layout->addWidget(buttons);

  for (QSlider* s : {maxSlider, minSlider}) {
    connect(s, &QSlider::valueChanged, this, [this, s] {
      sliderMoved();
      // Keys and clicks on the groove end their tracking at once; a drag ends on release.
      if (!s->isSliderDown()) sliderReleased();
    });
    connect(s, &QSlider::sliderReleased, this, &CutoffDialog::sliderReleased);
  }
  connect(maxEdit, &QLineEdit::editingFinished, this, [this] { editLeft(maxEdit, maxSlider); });
  connect(minEdit, &QLineEdit::editingFinished, this, [this] { editLeft(minEdit, minSlider); });
}

void CutoffDialog::sliderMoved() {
  minEdit->setText(qs(session_.textAt(minSlider->value())));
  maxEdit->setText(qs(session_.textAt(maxSlider->value())));
}

void CutoffDialog::sliderReleased() {
  if (report(session_.preview(state_, minEdit->text().toStdString(), maxEdit->text().toStdString()))) applied();
}

void CutoffDialog::editLeft(QLineEdit* edit, QSlider* slider) {
  if (const auto p = session_.positionFor(edit->text().toStdString())) {
    const QSignalBlocker block(slider);
    slider->setValue(*p);
  }
}

bool CutoffDialog::report(const std::optional<FieldError>& error) {
  if (!error) return true;
  platform_.message(error->text, error->kind);
  return false;
}

void CutoffDialog::applied() {
  if (onApplied_) onApplied_();
}

void CutoffDialog::preview() {
  if (report(session_.preview(state_, minEdit->text().toStdString(), maxEdit->text().toStdString()))) applied();
}

void CutoffDialog::accept() {
  if (!report(session_.accept(state_, minEdit->text().toStdString(), maxEdit->text().toStdString(),
                              ignoreCutPlanes->isChecked())))
    return;
  QDialog::accept();
}

void CutoffDialog::reject() {
  session_.cancel(state_, minEdit->text().toStdString(), maxEdit->text().toStdString());
  QDialog::reject();
}

}  // namespace litho
