#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <QApplication>
#include <QTimer>

#include "app/dialogs/forward_dialog.h"
#include "app/dialogs/program_wait_dialog.h"
#include "app/qt_platform.h"
#include "app/dialogs/drop_line_edit.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

using namespace forward;

TEST(ForwardDialog, RoundTripsTheSettingsAndStaysOpenOnBadInput) {
  test::ScriptedPlatform p;
  ForwardSettings s;
  s.x0 = 499612.5;
  s.xn = 500387.5;
  s.y0 = 1;
  s.yn = 2;
  s.dx = 25;
  s.dy = 0.5;
  s.elevation = 451;
  s.inclination = 65;
  {
    SCOPED_TRACE("gravity");
    ForwardDialog dlg(Survey::Gravity, s, p);
    EXPECT_EQ(dlg.windowTitle(), "Forward Model (oskrine)");
    EXPECT_EQ(dlg.fields[kInclination], nullptr);
    EXPECT_EQ(dlg.fields[kX0]->text(), "499612.5");
    EXPECT_TRUE(dlg.parameters->isChecked());
    EXPECT_FALSE(dlg.locationsFile->isEnabled());
    dlg.fields[kXn]->setText("0");
    dlg.accept();
    EXPECT_EQ(p.lastMessageText(), "Area input error.");
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    dlg.fields[kXn]->setText("499700");
    dlg.fields[kDy]->setText("x");
    dlg.accept();
    EXPECT_EQ(p.lastMessageText(), "Please enter a number.");
    dlg.fields[kDy]->setText("2");
    dlg.heightAboveSurface->setChecked(true);
    dlg.accept();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.settings().xn, 499700);
    EXPECT_EQ(dlg.settings().dy, 2);
    EXPECT_EQ(dlg.settings().elevationMode, 1);
  }
  {
    SCOPED_TRACE("magnetics with a locations file");
    test::TempDir dir;
    s.locationsFile = dir.path() + "/none.loc";
    ForwardDialog dlg(Survey::Magnetics, s, p);
    EXPECT_EQ(dlg.windowTitle(), "Forward Model (trelvane)");
    EXPECT_TRUE(dlg.file->isChecked());
    EXPECT_FALSE(dlg.fields[kInclination]->isEnabled());
    EXPECT_EQ(dlg.fields[kInclination]->text(), "65");
    dlg.accept();
    EXPECT_EQ(p.lastMessageText(), "locations file:\n" + s.locationsFile + "\nnot found.");
    dlg.locationsFile->setText(QString::fromStdString(dir.write("obs.txt", "1\n0 0 0\n")));
    dlg.accept();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(dlg.settings().useFile);
    dlg.parameters->setChecked(true);
    EXPECT_TRUE(dlg.fields[kInclination]->isEnabled());
    dlg.fields[kInclination]->setText("91");
    dlg.accept();
    EXPECT_EQ(p.lastMessageText(), "Enter a number between -90 and 90.");
  }
}

TEST(ForwardDialog, WaitWindowEndsWithTheProgramOrStopsIt) {
  QtPlatform p;
  int status = 7;
  ASSERT_TRUE(p.startProgramWatched("/bin/sh", {"-c", "exit 3"}, "", "quick", [&](int s) { status = s; }));
  EXPECT_EQ(status, 3);
  QString title;
  QTimer::singleShot(300, [&] {
    for (auto* w : QApplication::topLevelWidgets())
      if (auto* d = qobject_cast<ProgramWaitDialog*>(w); d && d->isVisible()) {
        title = d->windowTitle();
        d->stopButton->click();
      }
  });
  // The shell's child is in its group and ends with it.
  ASSERT_TRUE(p.startProgramWatched("/bin/sh", {"-c", "sleep 60; exit 0"}, "", "sleeper", [&](int s) { status = s; }));
  EXPECT_EQ(title, "sleeper");
  EXPECT_EQ(status, -1);
  EXPECT_FALSE(p.startProgramWatched("/nonexistent/program", {}, "", "none", nullptr));
}

}  // namespace
}  // namespace litho
