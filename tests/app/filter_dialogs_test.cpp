#include <gtest/gtest.h>

#include <QTest>
#include <cmath>

#include "app/dialogs/cutoff_dialog.h"
#include "app/dialogs/diagonal_dialog.h"
#include "app/dialogs/padding_dialog.h"
#include "app/dialogs/range_dialog.h"
#include "core/io/field_parse.h"
#include "support/scripted_platform.h"

namespace litho {
namespace {

TEST(FilterDialogs, RoundTripTheirFieldsAndStayOpenOnBadInput) {
  test::ScriptedPlatform p;
  {
    SCOPED_TRACE("Model Cutoff on a log model shown as powers of ten");
    ViewState v;
    v.displayMin = -2;
    v.displayMax = -1;
    v.ignoreCutPlanes = true;
    ColourScale first{-3, -1, true, true, true};
    int repaints = 0;
    CutoffDialog dlg(p, v, first, -3, -1, [&] { ++repaints; });
    EXPECT_EQ(dlg.windowTitle(), "Model Cutoff");
    EXPECT_EQ(dlg.minEdit->text(), "0.01");
    EXPECT_EQ(dlg.maxEdit->text(), "0.1");
    EXPECT_EQ(dlg.minSlider->value(), 100);
    EXPECT_EQ(dlg.maxSlider->value(), 200);
    EXPECT_FALSE(dlg.ignoreCutPlanes->isChecked());

    dlg.minSlider->setValue(0);  // a key press: the boxes follow and the cutoff is applied
    EXPECT_EQ(dlg.minEdit->text(), "0.001");
    EXPECT_DOUBLE_EQ(v.displayMin, -3);
    EXPECT_EQ(repaints, 1);

    dlg.maxEdit->setText("0.05");
    emit dlg.maxEdit->editingFinished();
    EXPECT_EQ(dlg.maxSlider->value(), 170);
    EXPECT_DOUBLE_EQ(v.displayMax, -1) << "leaving a box moves its slider only";

    const std::size_t shown = p.messages.size();
    dlg.minEdit->setText("0");
    dlg.previewButton->click();
    EXPECT_EQ(v.displayMin, -HUGE_VAL) << "0 under powers of ten: no lower limit";
    EXPECT_EQ(p.messages.size(), shown);
    dlg.minEdit->setText("min");
    dlg.accept();
    EXPECT_EQ(p.lastMessageText(), kEnterNumberMessage);
    EXPECT_NE(dlg.result(), QDialog::Accepted);

    dlg.reject();
    EXPECT_EQ(v.displayMin, -2) << "Cancel puts back the cutoff of the opening";
    EXPECT_EQ(v.displayMax, -1);
    EXPECT_TRUE(v.ignoreCutPlanes);
  }
  {
    SCOPED_TRACE("Model Cutoff OK");
    ViewState v;
    v.displayMin = 0;
    v.displayMax = 10;
    CutoffDialog dlg(p, v, ColourScale{0, 10, true, false, false}, 0, 10);
    dlg.minEdit->setText("7");
    dlg.maxEdit->setText("3");
    dlg.ignoreCutPlanes->setChecked(true);
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(v.displayMin, 7);
    EXPECT_EQ(v.displayMax, 3);
    EXPECT_TRUE(v.ignoreCutPlanes);
  }
  {
    SCOPED_TRACE("Set range of model values");
    ColourState c;
    c.firstScale = {0, 5, true, false, false};
    RangeDialog dlg(p, c, false);
    EXPECT_EQ(dlg.windowTitle(), "Set range of model values");
    EXPECT_EQ(dlg.firstMax->text(), "5");
    EXPECT_EQ(dlg.firstMin->text(), "0");
    EXPECT_FALSE(dlg.secondGroup->isEnabled());
    dlg.firstMin->setText("6");
    dlg.accept();
    EXPECT_EQ(p.messages.back(), (test::Recorded{MessageKind::Plain, "Min should be less than max."}));
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    dlg.firstMin->setText("5");
    dlg.accept();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.choice().first.low, 5);
    EXPECT_EQ(dlg.choice().first.high, 5);

    RangeDialog again(p, c, true);
    EXPECT_TRUE(again.secondGroup->isEnabled());
    again.reset->click();
    EXPECT_EQ(again.result(), RangeDialog::kReset);
  }
  {
    SCOPED_TRACE("Padding Cells");
    ViewState v;
    v.hiddenPadding = {1, 2, 3, 4, 5, 6};
    PaddingDialog dlg(p, v);
    EXPECT_EQ(dlg.windowTitle(), "Padding Cells");
    const auto boxes = dlg.boxes();
    for (std::size_t s = 0; s < boxes.size(); ++s) EXPECT_EQ(boxes[s]->text().toInt(), v.hiddenPadding[s]);
    dlg.west->clear();
    QTest::keyClicks(dlg.west, "-x7");
    EXPECT_EQ(dlg.west->text(), "7") << "digits only";
    dlg.top->clear();
    dlg.accept();
    EXPECT_EQ(p.lastMessageText(), kEnterNumberMessage);
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    dlg.top->setText("0");
    dlg.accept();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.padding(), (std::array<int, 6>{7, 2, 3, 4, 0, 6}));
  }
  {
    SCOPED_TRACE("Diagonal cut");
    ViewState v;
    v.diagonalLine = {100.5, 200, 300, 400.25};
    v.diagonalSide = 1;
    DiagonalDialog dlg(p, v);
    EXPECT_EQ(dlg.windowTitle(), "Diagonal cut");
    EXPECT_EQ(dlg.startEasting->text(), "100.5");
    EXPECT_EQ(dlg.endNorthing->text(), "400.25");
    EXPECT_TRUE(dlg.flip->isChecked());
    dlg.endEasting->setText("100.5");
    dlg.accept();
    EXPECT_EQ(p.messages.back(), (test::Recorded{MessageKind::Warning, "Line cannot be parallel to the axis."}));
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    dlg.endEasting->setText("0");
    dlg.flip->setChecked(false);
    dlg.accept();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.cut(), (DiagonalCut{{100.5, 200, 0, 400.25}, false}));
  }
}

}  // namespace
}  // namespace litho
