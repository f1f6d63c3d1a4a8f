#include <gtest/gtest.h>

#include <QTest>

#include "app/dialogs/dlg_vector_properties.h"
#include "model/field_parse.h"
#include "support/scripted_platform.h"

namespace litho {
namespace {

TEST(VectorDialog, PresetsChecksAndReturnsItsValues) {
  test::ScriptedPlatform p;
  VectorProperties current;
  current.cones = false;
  current.length = 140.5;
  current.increment = {1, 2, 3};
  {
    SCOPED_TRACE("preset from the view state");
    CDlgVectorProperties dlg(p, current);
    EXPECT_EQ(dlg.windowTitle(), "Change Vector Properties");
    EXPECT_TRUE(dlg.lines->isChecked());
    EXPECT_FALSE(dlg.cones->isChecked());
    EXPECT_EQ(dlg.length->text(), "140.5");
    EXPECT_EQ(dlg.y->text(), "2");
    EXPECT_EQ(dlg.z->text(), "3");
  }
  {
    SCOPED_TRACE("increment boxes take digits only");
    CDlgVectorProperties dlg(p, current);
    dlg.x->clear();
    QTest::keyClicks(dlg.x, "-4a7");
    EXPECT_EQ(dlg.x->text(), "47");
  }
  {
    SCOPED_TRACE("a length of 0 is refused and the dialog stays open");
    CDlgVectorProperties dlg(p, current);
    dlg.length->setText("0");
    dlg.accept();
    EXPECT_EQ(p.messages.back(), (test::Recorded{MessageKind::Plain, "Length should be greater than 0."}));
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    dlg.length->setText("x");
    dlg.accept();
    EXPECT_EQ(p.lastMessageText(), kEnterNumberMessage);
    dlg.length->setText("12");
    dlg.z->setText("0");
    const auto shown = p.messages.size();
    dlg.accept();
    EXPECT_EQ(p.messages.size(), shown + 1) << "an increment of 0 is refused";
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    dlg.z->setText("4");
    dlg.cones->setChecked(true);
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(dlg.values().cones);
    EXPECT_EQ(dlg.values().length, 12);
    EXPECT_EQ(dlg.values().increment, (std::array<int, 3>{1, 2, 4}));
  }
  {
    SCOPED_TRACE("Cancel keeps the values of the opening");
    CDlgVectorProperties dlg(p, current);
    dlg.length->setText("7");
    dlg.reject();
    EXPECT_EQ(dlg.values().length, 140.5);
  }
}

}  // namespace
}  // namespace litho
