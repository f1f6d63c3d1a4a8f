#include "app/dialogs/data_properties_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/dialogs/colourmap_dialog.h"

namespace litho {

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
constexpr const char* kMethodLabels[kPlotMethodCount] = {"surface", "lines", "points", "spheres", "cylinders"};
}  // namespace

DataPropertiesDialog::DataPropertiesDialog(Document& doc, Platform& platform, QWidget* parent)
    : QDialog(parent), editor_(doc, platform) {
  setWindowTitle("Data properties");
  setObjectName("DataPropertiesDialog");
  auto* top = new QVBoxLayout(this);

  top->addLayout(fileRow(this, "filename:", filename, browse, load));

  auto* sets = new QHBoxLayout;
  list = new QComboBox(this);
  list->setObjectName("list");
  list->setMinimumWidth(260);
  display = new QCheckBox("display", this);
  unload = new QPushButton("Unload", this);
  sets->addWidget(list, 1);
  sets->addWidget(display);
  sets->addWidget(unload);
  top->addLayout(sets);

  auto* middle = new QHBoxLayout;
  auto* methodBox = new QGroupBox("plotting method", this);
  auto* methodLayout = new QVBoxLayout(methodBox);
  auto* methodGroup = new QButtonGroup(this);
  for (int m = 0; m < kPlotMethodCount; ++m) {
    methods[static_cast<std::size_t>(m)] = new QRadioButton(kMethodLabels[m], methodBox);
    methodGroup->addButton(methods[static_cast<std::size_t>(m)], m);
    methodLayout->addWidget(methods[static_cast<std::size_t>(m)]);
  }
  valueLabel = new QLabel(methodBox);
  valueLabel->setObjectName("valueLabel");
  value = new QLineEdit(methodBox);
  value->setObjectName("value");
  methodLayout->addWidget(valueLabel);
  methodLayout->addWidget(value);
  middle->addWidget(methodBox);

  auto* colourBox = new QGroupBox("colour scale", this);
  auto* colourLayout = new QGridLayout(colourBox);
  solid = new QRadioButton("solid", colourBox);
  colourmap = new QRadioButton("colourmap", colourBox);
  select = new QPushButton("select", colourBox);
  max = new QLineEdit(colourBox);
  max->setObjectName("max");
  min = new QLineEdit(colourBox);
  min->setObjectName("min");
  colourbar = new QCheckBox("colourbar", colourBox);
  colourLayout->addWidget(solid, 0, 0);
  colourLayout->addWidget(colourmap, 1, 0);
  colourLayout->addWidget(select, 0, 1, 2, 1);
  colourLayout->addWidget(new QLabel("Max:", colourBox), 2, 0);
  colourLayout->addWidget(max, 2, 1);
  colourLayout->addWidget(new QLabel("Min:", colourBox), 3, 0);
  colourLayout->addWidget(min, 3, 1);
  colourLayout->addWidget(colourbar, 4, 0, 1, 2);
  middle->addWidget(colourBox);
  top->addLayout(middle);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &DataPropertiesDialog::accept);
  top->addWidget(buttons);

  connect(filename, &QLineEdit::textChanged, this, [this](const QString& t) {
    if (!syncing_) act([&] { editor_.editFilename(t.toStdString()); });
  });
  connect(browse, &QPushButton::clicked, this, [this] { act([&] { editor_.browse(); }); });
  connect(load, &QPushButton::clicked, this, [this] { act([&] { editor_.load(); }); });
  connect(list, &QComboBox::activated, this, [this](int index) { act([&] { editor_.choose(index); }); });
  connect(display, &QCheckBox::clicked, this, [this](bool on) { act([&] { editor_.setDisplay(on); }); });
  connect(unload, &QPushButton::clicked, this, [this] { act([&] { editor_.unload(); }); });
  connect(methodGroup, &QButtonGroup::idClicked, this, [this](int m) { act([&] { editor_.chooseMethod(m); }); });
  connect(solid, &QRadioButton::clicked, this, [this] { act([&] { editor_.chooseSolid(true); }); });
  connect(colourmap, &QRadioButton::clicked, this, [this] { act([&] { editor_.chooseSolid(false); }); });
  connect(select, &QPushButton::clicked, this, [this] {
    act([&] {
      editor_.selectColour([this](int kind, bool reversed) { return ColourmapDialog::ask(kind, reversed, this); });
    });
  });
  connect(colourbar, &QCheckBox::clicked, this, [this](bool on) { editor_.colourbar = on; });
  sync();
}

void DataPropertiesDialog::collect() {
  editor_.value = value->text().toStdString();
  editor_.max = max->text().toStdString();
  editor_.min = min->text().toStdString();
}

template <class F>
void DataPropertiesDialog::act(F&& f) {
  collect();
  f();
  sync();
}

void DataPropertiesDialog::sync() {
  syncing_ = true;
  const DataPropertiesEditor& e = editor_;
  if (filename->text().toStdString() != e.filename) filename->setText(q(e.filename));
  list->clear();
  for (const std::string& name : e.listNames()) list->addItem(q(name));
  list->setCurrentIndex(e.selection());
  display->setChecked(e.display);
  for (int m = 0; m < kPlotMethodCount; ++m) methods[static_cast<std::size_t>(m)]->setChecked(m == e.method);
  valueLabel->setText(q(e.valueLabel()));
  value->setText(q(e.value));
  solid->setChecked(e.solid);
  colourmap->setChecked(!e.solid);
  max->setText(q(e.max));
  min->setText(q(e.min));
  colourbar->setChecked(e.colourbar);

  const DataDialogEnables on = e.enables();
  display->setEnabled(on.display);
  unload->setEnabled(on.display);
  for (QRadioButton* r : methods) r->setEnabled(on.properties);
  value->setEnabled(on.properties);
  valueLabel->setEnabled(on.properties);
  select->setEnabled(on.properties);
  solid->setEnabled(on.properties);
  colourmap->setEnabled(on.properties);
  max->setEnabled(on.range);
  min->setEnabled(on.range);
  colourbar->setEnabled(on.range);

  if (const auto f = editor_.takeFocus()) {
    QWidget* w = filename;
    switch (*f) {
      case DataControl::Filename:
        break;
      case DataControl::PointsMethod:
        w = methods[kPlotPoints];
        break;
      case DataControl::Value:
        w = value;
        break;
      case DataControl::Max:
        w = max;
        break;
      case DataControl::Min:
        w = min;
        break;
    }
    w->setFocus(Qt::OtherFocusReason);
  }
  syncing_ = false;
}

void DataPropertiesDialog::accept() {
  collect();
  const bool ok = editor_.accept();
  sync();
  if (ok) QDialog::accept();
}

}  // namespace litho
