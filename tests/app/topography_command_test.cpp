#include <gtest/gtest.h>

#include <algorithm>

#include "app/commands/command_registry.h"
#include "app/commands/topography_commands.h"
#include "core/load/document.h"
#include "core/view/view_controller.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

TEST(TopographyCommand, LoadsTheExampleAndRebuildsTheViewOnlyOnSuccess) {
  const std::string ex = std::string(LITHO_SOURCE_DIR) + "/examples/block/";
  test::ScriptedPlatform p;
  Document doc(p, p);
  LoadRequest req;
  req.meshPath = ex + "block.msh";
  req.modelPath = ex + "density.den";
  ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
  ViewController view(doc, p);
  doc.updateAllViews = [&](ViewRefresh hint) { view.refresh(hint); };
  view.refresh(ViewRefresh::NewLoad);
  ASSERT_NE(commandHandler(CommandId::Topography), nullptr);
  const auto noChange = [&] {
    EXPECT_FALSE(doc.store().activeMaskSet());
    EXPECT_FALSE(view.state.frame.rebuildPending());
    EXPECT_EQ(p.waitCursorDepth, 0);
  };
  {
    SCOPED_TRACE("cancel");
    view.state.frame.clear();
    p.fileAnswers = {std::nullopt};
    EXPECT_FALSE(loadTopographyCommand(doc));
    EXPECT_EQ(p.fileDialogTitles, std::vector<std::string>{"Load topography file"});
    EXPECT_TRUE(p.messages.empty());
    EXPECT_EQ(doc.topographyPath(), "");
    noChange();
  }
  {
    SCOPED_TRACE("a file that cannot be read");
    test::TempDir dir;
    const std::string bad = dir.write("bad.txt", "3\n499700 6999700 400\n");
    p.fileAnswers = {bad};
    EXPECT_FALSE(loadTopographyCommand(doc));
    EXPECT_EQ(p.lastMessageText(), "Error reading topography file " + bad);
    EXPECT_EQ(doc.topographyPath(), bad);
    noChange();
  }
  {
    SCOPED_TRACE("the example's ground surface");
    p.messages.clear();
    const ValueRange before = doc.store().range();
    p.fileAnswers = {ex + "topo.txt"};
    EXPECT_TRUE(loadTopographyCommand(doc));
    EXPECT_TRUE(p.messages.empty()) << p.lastMessageText();
    EXPECT_EQ(doc.topographyPath(), ex + "topo.txt");
    EXPECT_TRUE(doc.store().activeMaskSet());
    EXPECT_TRUE(view.state.frame.rebuildPending());
    EXPECT_EQ(p.waitCursorDepth, 0);
    const Grid2<int>& top = doc.store().topActiveIndex();
    EXPECT_GT(*std::max_element(top.data(), top.data() + top.size()), 0) << "air over some columns";
    EXPECT_GE(doc.store().range().min, before.min);
    EXPECT_LE(doc.store().range().max, before.max);
  }
}

}  // namespace
}  // namespace litho
