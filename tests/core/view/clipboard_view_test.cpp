#include "core/view/clipboard_view.h"

#include <gtest/gtest.h>

#include "core/load/document.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"
#include "core/view/view_controller.h"

namespace litho {
namespace {

class ClipboardViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadRequest req;
    req.meshPath = dir.write("m.msh", "10 8 6\n0 0 0\n10*10\n8*10\n6*10\n");
    ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
    view.refresh(ViewRefresh::NewLoad);
  }
  test::TempDir dir;
  test::ScriptedPlatform p;
  Document doc{p, p};
  ViewController view{doc, p};
};

TEST_F(ClipboardViewTest, CopyThenPasteRestoresTheView) {
  ViewState& v = view.state;
  v.rotationX = -42.5f;
  v.rotationZ = 30;
  v.zoomAngle = 12.5;
  v.hiddenPadding = {1, 2, 0, 1, 1, 0};
  v.visibleCount = {7, 7, 5};
  v.cuts = {2, 0, 1, 0, 0, 3};
  v.selectedCutPlane = kSouth;
  v.panX = 12.25;
  v.panY = -3;
  const std::string text = clipboardViewString(v, 800, 600);
  EXPECT_EQ(text, "lithoscan3d -42.5 30 12.5 1 2 0 1 1 0  2 0 1 0 0 3 3 12.25 -3  800 600");

  view.refresh(ViewRefresh::NewLoad);
  v.rotationX = 0;
  const auto pasted = pasteViewString(text, view);
  ASSERT_TRUE(pasted);
  ASSERT_TRUE(pasted->windowSize);
  EXPECT_EQ(pasted->windowSize->first, 800);
  EXPECT_EQ(v.rotationX, -42.5f);
  EXPECT_EQ(v.hiddenPadding, (std::array<int, 6>{1, 2, 0, 1, 1, 0}));
  EXPECT_EQ(v.visibleCount, (std::array<int, 3>{7, 7, 5}));
  EXPECT_EQ(v.cuts, (std::array<int, 6>{2, 0, 1, 0, 0, 3}));
  EXPECT_EQ(v.panX, 12.25);
}

TEST_F(ClipboardViewTest, ShortLongAndForeignTextsAreRefusedOrPartlyTaken) {
  ViewState& v = view.state;
  EXPECT_FALSE(pasteViewString("lithoscan3d 1 2 3 0 0 0 0 0 0 0 0 0 0 0 0", view));  // 16 numbers
  EXPECT_FALSE(pasteViewString("LITHOSCAN3D 1 2 3 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0", view));
  EXPECT_FALSE(pasteViewString("", view));
  EXPECT_FALSE(pasteViewString("hello world", view));
  for (const char* text :
       {"lithoscan3d nan 0 30 0 0 0 0 0 0 0 0 0 0 0 0 0", "lithoscan3d 0 0 inf 0 0 0 0 0 0 0 0 0 0 0 0 0",
        "lithoscan3d 0 0 30 0 0 0 0 0 0 0 0 0 0 0 0 0 -inf 1 800 600"}) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(pasteViewString(text, view)) << "not finite";
  }
  EXPECT_EQ(v.rotationX, -65);
  EXPECT_EQ(v.zoomAngle, 30);

  SCOPED_TRACE("19 fields: angles, padding and cuts but not the pan or window");
  v.panX = 5;
  auto r = pasteViewString("lithoscan3d 10 20 25 0 0 0 0 0 0  1 1 0 0 0 0 1 7 8", view);
  ASSERT_TRUE(r);
  EXPECT_FALSE(r->windowSize);
  EXPECT_EQ(v.rotationZ, 20);
  EXPECT_EQ(v.cuts[kSideWest], 1);

  SCOPED_TRACE("padding using a whole axis is ignored; cuts are checked against the unchanged counts");
  r = pasteViewString("lithoscan3d 10 20 25 4 6 0 0 0 0  4 4 0 0 0 0 9", view);
  ASSERT_TRUE(r);
  EXPECT_EQ(v.hiddenPadding, (std::array<int, 6>{}));
  EXPECT_EQ(v.cuts[kSideWest], 4);
  EXPECT_EQ(v.selectedCutPlane, kNoPlane);  // 9 is no plane
  r = pasteViewString("lithoscan3d 10 20 25 0 0 0 0 0 0  5 5 0 0 0 0 1", view);
  ASSERT_TRUE(r);
  EXPECT_EQ(v.cuts[kSideWest], 0);  // 5 + 5 leaves no column: ignored after the reset
}

}  // namespace
}  // namespace litho
