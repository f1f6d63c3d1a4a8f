#include <gtest/gtest.h>

#include <QPushButton>

#include "app/dialogs/colourmap_dialog.h"
#include "app/dialogs/lights_dialog.h"
#include "app/dialogs/scale_view_dialog.h"
#include "app/dialogs/view_angles_dialog.h"
#include "support/scripted_platform.h"

namespace litho {
namespace {

TEST(ViewDialogs, RoundTripTheirFields) {
  test::ScriptedPlatform p;
  {
    SCOPED_TRACE("Change View Angles");
    ViewAnglesDialog dlg(p, ViewAngles{-65, 12.5f, 5, 30});
    EXPECT_EQ(dlg.x->text(), "-65");
    EXPECT_EQ(dlg.z->text(), "12.5");
    dlg.step->setText("50");
    dlg.accept();
    EXPECT_EQ(p.lastMessageText(), "Enter a number between 0.5 and 45.");
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    dlg.step->setText("2.5");
    dlg.zoom->setText("45");
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.values().step, 2.5f);
    EXPECT_EQ(dlg.values().zoom, 45);
  }
  {
    SCOPED_TRACE("quick rotate ignores the fields and keeps step and zoom");
    ViewAnglesDialog dlg(p, ViewAngles{-65, 0, 5, 30});
    dlg.step->setText("garbage");
    QPushButton* east = nullptr;
    for (auto* b : dlg.findChildren<QPushButton*>())
      if (b->text() == "E") east = b;
    ASSERT_NE(east, nullptr);
    east->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.values().x, -90);
    EXPECT_EQ(dlg.values().z, -90);
    EXPECT_EQ(dlg.values().step, 5);
    EXPECT_EQ(dlg.values().zoom, 30);
  }
  {
    SCOPED_TRACE("Scale View");
    ScaleViewDialog dlg(p, {1, 1, 1});
    dlg.z->setText("0");
    dlg.accept();
    EXPECT_EQ(p.lastMessageText(), "Scale values cannot be 0.");
    dlg.z->setText("2");
    dlg.x->setText("-1");
    dlg.accept();
    EXPECT_EQ(dlg.values(), (std::array<double, 3>{-1, 1, 2}));
  }
  {
    SCOPED_TRACE("Lights");
    LightsDialog dlg({true, false, true, false, true});
    EXPECT_EQ(dlg.values(), (std::array<bool, 5>{true, false, true, false, true}));
    EXPECT_EQ(dlg.boxes[1]->text(), "W");
    dlg.boxes[0]->setChecked(false);
    dlg.boxes[3]->setChecked(true);
    EXPECT_EQ(dlg.values(), (std::array<bool, 5>{false, false, true, true, true}));
  }
  {
    SCOPED_TRACE("Colourmap");
    ColourmapDialog dlg(7, true);
    EXPECT_EQ(dlg.kind(), 7);
    EXPECT_EQ(dlg.kinds[7]->text(), "topo1");
    EXPECT_TRUE(dlg.reversed());
    dlg.kinds[2]->setChecked(true);
    dlg.reverse->setChecked(false);
    EXPECT_EQ(dlg.kind(), 2);
    EXPECT_FALSE(dlg.reversed());
  }
}

}  // namespace
}  // namespace litho
