#include "batch/command_line.h"

#include <gtest/gtest.h>

namespace litho {
namespace {

TEST(BatchCommandLine, ValuesMayStartWithAMinusAndRangesTakeTwo) {
  BatchCommandLine line;
  ASSERT_TRUE(line.parse({"m.msh", "--cutoff", "-2", "-0.5", "-o", "-out.png", "--size=64x48", "m.den", "--stats"},
                         {{{"cutoff"}, 2}, {{"o", "output"}, 1}, {{"size"}, 1}, {{"stats"}}}))
      << line.error();
  EXPECT_EQ(line.range("cutoff"), std::make_pair(std::string("-2"), std::string("-0.5")));
  EXPECT_EQ(line.value("o"), "-out.png");
  EXPECT_EQ(line.value("size"), "64x48");
  EXPECT_TRUE(line.isSet("stats"));
  EXPECT_EQ(line.files(), (std::vector<std::string>{"m.msh", "m.den"}));

  ASSERT_TRUE(line.parse({"--output", "a", "--output", "b", "--", "-m.msh", "--stats"},
                         {{{"o", "output"}, 1}, {{"stats"}}}));
  EXPECT_EQ(line.value("o"), "b") << "the last value holds";
  EXPECT_FALSE(line.isSet("stats")) << "after --, only files";
  EXPECT_EQ(line.files(), (std::vector<std::string>{"-m.msh", "--stats"}));
}

TEST(BatchCommandLine, RefusesUnknownOptionsAndMissingValues) {
  BatchCommandLine line;
  EXPECT_FALSE(line.parse({"m.msh", "--bogus"}, {{{"stats"}}}));
  EXPECT_NE(line.error().find("bogus"), std::string::npos) << line.error();
  EXPECT_FALSE(line.parse({"m.msh", "--cutoff", "1"}, {{{"cutoff"}, 2}}));
  EXPECT_FALSE(line.parse({"m.msh", "--topo"}, {{{"topo"}, 1}}));
  EXPECT_FALSE(line.parse({"--stats=yes"}, {{{"stats"}}})) << "a switch takes no value";
  EXPECT_EQ(parseImageSize("640x480", 1, 16384), std::make_pair(640, 480));
  EXPECT_FALSE(parseImageSize("640x480x", 1, 16384));
  EXPECT_FALSE(parseImageSize("0x480", 1, 16384));
}

}  // namespace
}  // namespace litho
