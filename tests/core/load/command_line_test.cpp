#include "core/load/command_line.h"

#include <gtest/gtest.h>

namespace litho {
namespace {

// One line per parse: the file names and then the switches that are on.
std::string summary(const CommandLine& c) {
  std::string s = c.empty ? "empty" : std::to_string(c.fields);
  if (c.fields >= 1) s += " [" + c.meshText + "]";
  if (c.fields >= 2) s += " [" + c.modelText + "]";
  for (const std::string& e : c.extra) s += " extra[" + e + "]";
  if (!c.viewFile.empty()) s += " view[" + c.viewFile + "]";
  const std::pair<bool, const char*> flags[] = {
      {c.noBanner, "NOBANNER"}, {c.log, "log"},           {c.mod2log, "mod2log"}, {c.tq5rdata, "tq5rdata"},
      {c.trnsmt, "trnsmt"},     {c.openglhw, "openglhw"}, {c.octree, "octree"}};
  for (const auto& [on, name] : flags)
    if (on) s += std::string(" ") + name;
  return s;
}

TEST(CommandLine, SwitchesStandAnywhereAndFileNamesAreTakenWhole) {
  const std::string longPath = "/d/" + std::string(2000, 'x') + ".msh";
  const struct {
    std::vector<std::string> args;
    std::string expected;
  } cases[] = {
      {{}, "empty"},
      {{"", "  "}, "empty"},
      {{"/NOBANNER"}, "0 NOBANNER"},
      {{"/log", "m.msh", "m.den"}, "2 [m.msh] [m.den] log"},
      {{"m.msh", "/log", "m.den"}, "2 [m.msh] [m.den] log"},
      {{"m.msh", "a.den++b.den", "/octree", "/mod2log", "/tq5rdata", "/trnsmt", "/openglhw"},
       "2 [m.msh] [a.den++b.den] mod2log tq5rdata trnsmt openglhw octree"},
      {{"m.msh", "NOMODEL", "/log"}, "2 [m.msh] [NOMODEL] log"},
      // Only a whole argument is a switch, and case counts: these are file names.
      {{"/data/logs/m.msh", "/octree/x.den"}, "2 [/data/logs/m.msh] [/octree/x.den]"},
      {{"/LOG", "/log2"}, "2 [/LOG] [/log2]"},
      // A launcher's quotes around a name go; quotes within a name stay.
      {{"\"/d/my mesh.msh\"", "\"NOMODEL\""}, "2 [/d/my mesh.msh] [NOMODEL]"},
      {{"/d/a\"b.msh", "\""}, "2 [/d/a\"b.msh] [\"]"},
      {{"\"\""}, "0"},
      {{longPath}, "1 [" + longPath + "]"},
      {{"a", "b", "c", "d"}, "2 [a] [b] extra[c] extra[d]"},
      {{"/d/v.ls3d", "/NOBANNER"}, "1 [/d/v.ls3d] view[/d/v.ls3d] NOBANNER"},
      {{"/d/v.ls3d.bak"}, "1 [/d/v.ls3d.bak]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(summary(parseArguments(c.args)), c.expected);
  }
}

}  // namespace
}  // namespace litho
