#include <gtest/gtest.h>

#include "app/dialogs/about_dialog.h"
#include "app/commands/help_commands.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

TEST(Manual, FallsBackToTheWebPageAndThenToAMessage) {
  test::TempDir dir;
  {
    SCOPED_TRACE("the manual beside the program");
    test::ScriptedPlatform p;
    dir.write(kManualFile, "%PDF");
    p.shellAnswers = {true};
    openManual(p, dir.path());
    EXPECT_EQ(p.shellOpened, std::vector<std::string>{dir.path() + "/" + kManualFile});
    EXPECT_TRUE(p.messages.empty());
  }
  {
    SCOPED_TRACE("missing manual: the web page");
    test::ScriptedPlatform p;
    p.shellAnswers = {true};
    openManual(p, dir.path() + "/nowhere");
    EXPECT_EQ(p.shellOpened, std::vector<std::string>{kManualPage});
    EXPECT_TRUE(p.messages.empty());
  }
  {
    SCOPED_TRACE("nothing opens");
    test::ScriptedPlatform p;
    p.shellAnswers = {false, false};
    openManual(p, dir.path());
    EXPECT_EQ(p.shellOpened.size(), 2u);
    EXPECT_EQ(p.lastMessageText(), "Can't open documentation.");
  }
}

TEST(AboutBox, ShowsNameAndVersion) {
  AboutDialog dlg;
  EXPECT_EQ(dlg.windowTitle(), "About Lithoscan3D");
  EXPECT_EQ(dlg.version->text(), "Version " LITHO_VERSION);
}

}  // namespace
}  // namespace litho
