#include "core/load/command_line.h"

#include <gtest/gtest.h>

namespace litho {
namespace {

TEST(CommandLine, ParsesQuotedMeshAndModelText) {
  {
    const CommandLine c = parseCommandLine("\"/d/m.msh\" \"/d/a.den++/d/b.den\" /log");
    EXPECT_EQ(c.fields, 2);
    EXPECT_EQ(c.meshText, "/d/m.msh");
    EXPECT_EQ(c.modelText, "/d/a.den++/d/b.den");
    EXPECT_TRUE(c.log);
    EXPECT_FALSE(c.mod2log);
  }
  {
    SCOPED_TRACE("mesh only");
    const CommandLine c = parseCommandLine("\"m.msh\"");
    EXPECT_EQ(c.fields, 1);
    EXPECT_EQ(c.meshText, "m.msh");
  }
  {
    SCOPED_TRACE("unquoted mesh path converts nothing");
    const CommandLine c = parseCommandLine("m.msh model.den");
    EXPECT_EQ(c.fields, 0);
    EXPECT_FALSE(c.empty);
  }
  {
    SCOPED_TRACE("an unquoted model text runs to the end of the line");
    const CommandLine c = parseCommandLine("\"m.msh\" NOMODEL /log");
    EXPECT_EQ(c.fields, 2);
    EXPECT_EQ(c.modelText, "NOMODEL /log");
  }
  {
    SCOPED_TRACE("blank line");
    EXPECT_TRUE(parseCommandLine("").empty);
    EXPECT_TRUE(parseCommandLine("   ").empty);
  }
}

TEST(CommandLine, SwitchesOnlyOutsideQuotesAndAsWholeWords) {
  EXPECT_FALSE(hasSwitch("\"/data/logs/m.msh\" \"/data/octree/x\"", "/log"));
  EXPECT_FALSE(hasSwitch("\"/data/logs/m.msh\" \"/data/octree/x\"", "/octree"));
  EXPECT_FALSE(hasSwitch("\"m\" /logx", "/log"));
  EXPECT_FALSE(hasSwitch("\"m\" /mod2log", "/log"));
  EXPECT_TRUE(hasSwitch("\"m\" /mod2log", "/mod2log"));
  EXPECT_TRUE(hasSwitch("/log", "/log"));
  EXPECT_TRUE(hasSwitch("\"m\"/log", "/log"));
  EXPECT_TRUE(hasSwitch("/NOBANNER \"m\"", "/NOBANNER"));
  EXPECT_FALSE(hasSwitch("/nobanner", "/NOBANNER"));
  const CommandLine c = parseCommandLine("/log /mod2log /tq5rdata");
  EXPECT_EQ(c.fields, 0);
  EXPECT_TRUE(c.log && c.mod2log && c.tq5rdata);
}

TEST(CommandLine, ViewFilesAreRecognisedByTheirEnding) {
  EXPECT_TRUE(parseCommandLine("\"/d/v.ls3d\"").viewFile);
  EXPECT_TRUE(parseCommandLine("/d/v.ls3d").viewFile);
  EXPECT_FALSE(parseCommandLine("\"/d/v.ls3d.bak\"").viewFile);
}

TEST(CommandLine, ArgumentsAreQuotedButSwitchesAreNot) {
  EXPECT_EQ(rawCommandLine({"/data/logs/m.msh", "NOMODEL", "/log"}), "\"/data/logs/m.msh\" \"NOMODEL\" /log");
  EXPECT_EQ(rawCommandLine({}), "");
  const CommandLine c = parseCommandLine(rawCommandLine({"/data/logs/m.msh", "a b.den", "/octree"}));
  EXPECT_EQ(c.meshText, "/data/logs/m.msh");
  EXPECT_EQ(c.modelText, "a b.den");
  EXPECT_FALSE(c.log);
  EXPECT_TRUE(c.octree);
}

}  // namespace
}  // namespace litho
