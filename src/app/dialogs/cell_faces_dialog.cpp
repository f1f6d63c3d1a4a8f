#include "app/dialogs/cell_faces_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/dialogs/colourmap_dialog.h"

namespace litho {

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

CellFacesDialog::CellFacesDialog(CellFacesOverlay& overlay, Platform& platform, const std::string& startFolder,
                                 QWidget* parent)
    : QDialog(parent), editor_(overlay, platform, startFolder) {
  setWindowTitle("Cell Faces");
  setObjectName("CellFacesDialog");
  auto* top = new QVBoxLayout(this);

  top->addLayout(fileRow(this, "filename", filename, browse, load));

  auto* middle = new QHBoxLayout;
  auto* methodBox = new QGroupBox("Plotting method", this);
  auto* methodLayout = new QVBoxLayout(methodBox);
  auto* methodGroup = new QButtonGroup(this);
  const char* labels[3] = {"none", "lines", "surface"};
  for (int m = 0; m < 3; ++m) {
    methods[static_cast<std::size_t>(m)] = new QRadioButton(labels[m], methodBox);
    methodGroup->addButton(methods[static_cast<std::size_t>(m)], m);
    methodLayout->addWidget(methods[static_cast<std::size_t>(m)]);
  }
  auto* widthRow = new QHBoxLayout;
  widthRow->addWidget(new QLabel("line width", methodBox));
  lineWidth = new QLineEdit(methodBox);
  lineWidth->setObjectName("lineWidth");
  widthRow->addWidget(lineWidth);
  methodLayout->addLayout(widthRow);
  middle->addWidget(methodBox);

  auto* rangeBox = new QGroupBox(this);
  auto* range = new QGridLayout(rangeBox);
  max = new QLineEdit(rangeBox);
  max->setObjectName("max");
  min = new QLineEdit(rangeBox);
  min->setObjectName("min");
  reset = new QPushButton("reset", rangeBox);
  range->addWidget(new QLabel("Max:", rangeBox), 0, 0);
  range->addWidget(max, 0, 1);
  range->addWidget(new QLabel("Min:", rangeBox), 1, 0);
  range->addWidget(min, 1, 1);
  range->addWidget(reset, 2, 1);
  colourmap = new QPushButton("colourmap", rangeBox);
  colourbar = new QCheckBox("colourbar", rangeBox);
  range->addWidget(colourmap, 3, 0);
  range->addWidget(colourbar, 3, 1);
  middle->addWidget(rangeBox);

  auto* cutoffBox = new QGroupBox("cutoff", this);
  auto* cutoff = new QGridLayout(cutoffBox);
  cutoffMax = new QLineEdit(cutoffBox);
  cutoffMax->setObjectName("cutoffMax");
  cutoffMin = new QLineEdit(cutoffBox);
  cutoffMin->setObjectName("cutoffMin");
  cutoff->addWidget(new QLabel("Max:", cutoffBox), 0, 0);
  cutoff->addWidget(cutoffMax, 0, 1);
  cutoff->addWidget(new QLabel("Min:", cutoffBox), 1, 0);
  cutoff->addWidget(cutoffMin, 1, 1);
  middle->addWidget(cutoffBox);
  top->addLayout(middle);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CellFacesDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CellFacesDialog::reject);
  top->addWidget(buttons);

  connect(filename, &QLineEdit::textChanged, this, [this](const QString& t) {
    if (!syncing_) act([&] { editor_.editFilename(t.toStdString()); });
  });
  connect(browse, &QPushButton::clicked, this, [this] { act([&] { editor_.browse(); }); });
  connect(load, &QPushButton::clicked, this, [this] { act([&] { editor_.load(); }); });
  connect(methodGroup, &QButtonGroup::idClicked, this, [this](int m) { act([&] { editor_.chooseMethod(m); }); });
  connect(reset, &QPushButton::clicked, this, [this] { act([&] { editor_.reset(); }); });
  connect(colourbar, &QCheckBox::clicked, this, [this](bool on) { act([&] { editor_.setColourbar(on); }); });
  connect(colourmap, &QPushButton::clicked, this, [this] {
    act([&] {
      editor_.chooseColourmap([this](int kind, bool reversed) { return ColourmapDialog::ask(kind, reversed, this); });
    });
  });
  sync();
}

void CellFacesDialog::collect() {
  CellFacesFields& f = editor_.fields;
  f.lineWidth = lineWidth->text().toStdString();
  f.max = max->text().toStdString();
  f.min = min->text().toStdString();
  f.cutoffMax = cutoffMax->text().toStdString();
  f.cutoffMin = cutoffMin->text().toStdString();
}

template <class F>
void CellFacesDialog::act(F&& f) {
  collect();
  f();
  sync();
}

void CellFacesDialog::sync() {
  syncing_ = true;
  const CellFacesEditor& e = editor_;
  const CellFacesFields& f = e.fields;
  if (filename->text().toStdString() != e.filename) filename->setText(q(e.filename));
  for (int m = 0; m < 3; ++m) methods[static_cast<std::size_t>(m)]->setChecked(m == f.method);
  lineWidth->setText(q(f.lineWidth));
  max->setText(q(f.max));
  min->setText(q(f.min));
  cutoffMax->setText(q(f.cutoffMax));
  cutoffMin->setText(q(f.cutoffMin));
  colourbar->setChecked(e.colourbar);

  const CellFacesEnables on = e.enables();
  for (QRadioButton* r : methods) r->setEnabled(on.methods);
  max->setEnabled(on.methods);
  min->setEnabled(on.methods);
  reset->setEnabled(on.methods);
  colourbar->setEnabled(on.colourbar);
  colourmap->setEnabled(on.colourbar);
  lineWidth->setEnabled(on.lineWidth);
  cutoffMax->setEnabled(on.cutoff);
  cutoffMin->setEnabled(on.cutoff);

  if (const auto focus = editor_.takeFocus()) {
    QLineEdit* w = max;
    switch (*focus) {
      case FacesControl::Max:
        break;
      case FacesControl::Min:
        w = min;
        break;
      case FacesControl::CutoffMax:
        w = cutoffMax;
        break;
      case FacesControl::CutoffMin:
        w = cutoffMin;
        break;
      case FacesControl::LineWidth:
        w = lineWidth;
        break;
    }
    w->setFocus(Qt::OtherFocusReason);
    w->selectAll();
  }
  syncing_ = false;
}

void CellFacesDialog::accept() {
  collect();
  const bool ok = editor_.accept();
  sync();
  if (ok) QDialog::accept();
}

}  // namespace litho
