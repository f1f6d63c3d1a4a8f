// The observation data file: its three layouts and the shapes real survey
// files take.
#include "core/data/data_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "support/scripted_platform.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

using test::ScriptedPlatform;

struct Read {
  DataFileContents contents;
  std::vector<test::Recorded> messages;
};

Read read(const std::string& text) {
  ScriptedPlatform p;
  LineSource in(text);
  Read r;
  r.contents = readDataPoints(in, "/survey/grav.obs", p);
  r.messages = p.messages;
  return r;
}

std::vector<double> values(const DataFileContents& c) {
  std::vector<double> v;
  for (const DataPoint& p : c.points) v.push_back(p.value);
  return v;
}

TEST(DataReader, TheThreeLayouts) {
  {
    SCOPED_TRACE("counted: the fifth field is no name");
    const Read r = read("3\n1 2 3 4 A\n5 6 7 8 B\n9 10 11 12\n13 14 15 16\n");
    EXPECT_EQ(r.contents.layout, DataLayout::Counted);
    ASSERT_EQ(r.contents.points.size(), 3u);
    EXPECT_EQ(r.contents.points[1].y, 6);
    EXPECT_EQ(r.contents.points[0].name, "");
    EXPECT_EQ(r.contents.rangeMin, 4);
    EXPECT_EQ(r.contents.rangeMax, 12);
    EXPECT_TRUE(r.messages.empty());
  }
  {
    SCOPED_TRACE("two header lines of three numbers and a count");
    const Read r = read("60 10 50000\n60 10 1\n2\n1 2 3 4 0.1\n5 6 7 8 0.1\n9 9 9 9\n");
    EXPECT_EQ(r.contents.layout, DataLayout::HeaderAndCount);
    EXPECT_EQ(values(r.contents), (std::vector<double>{4, 8}));
  }
  {
    SCOPED_TRACE("a header whose first line \"%i %lg\" reads as one field is still a header");
    const Read r = read("60. 10. 50000.\n60. 10. 1.\n2\n1 2 3 4\n5 6 7 8\n");
    EXPECT_EQ(r.contents.layout, DataLayout::HeaderAndCount);
    EXPECT_EQ(r.contents.points.size(), 2u);
  }
  {
    SCOPED_TRACE("plain: names kept, three numbers give value 0, the scan stops at the first other line");
    const Read r = read("1 2 3 4 STN-1\n5 6 7\n9 10 11 12 STN-3 extra\nend of data\n13 14 15 16\n");
    EXPECT_EQ(r.contents.layout, DataLayout::Plain);
    ASSERT_EQ(r.contents.points.size(), 3u);
    EXPECT_EQ(r.contents.points[0].name, "STN-1");
    EXPECT_EQ(r.contents.points[1].value, 0);
    EXPECT_EQ(r.contents.points[1].name, "");
    EXPECT_EQ(r.contents.points[2].name, "STN-3");
  }
  {
    SCOPED_TRACE("two lines of four numbers then a single number is a header only after exactly two");
    const Read r = read("1 2 3 4\n5 6 7 8\n9 10 11 12\n1\n");
    EXPECT_EQ(r.contents.layout, DataLayout::Plain);
    EXPECT_EQ(r.contents.points.size(), 3u);
  }
  {
    SCOPED_TRACE("a long name is cut to 49 characters");
    const Read r = read("1 2 3 4 " + std::string(60, 'n') + "\n");
    EXPECT_EQ(r.contents.points.at(0).name, std::string(49, 'n'));
  }
}

TEST(DataReader, ShapesOfRealFiles) {
  {
    SCOPED_TRACE("tabs, and trailing tabs after the count");
    const Read r = read("2\t\t\t\n500000\t7000000\t455.5\t0.25\t0.01\t\n500025\t7000000\t456\t0.5\t0.01\t\n");
    EXPECT_EQ(r.contents.layout, DataLayout::Counted);
    EXPECT_EQ(values(r.contents), (std::vector<double>{0.25, 0.5}));
  }
  for (const std::string end : {"\r\n", ""}) {
    SCOPED_TRACE("CRLF line ends, final line end: " + std::to_string(end.size()));
    const Read r = read("2\r\n1 2 3 4\r\n5 6 7 8" + end);
    EXPECT_EQ(values(r.contents), (std::vector<double>{4, 8}));
    const Read plain = read("1 2 3 4 A\r\n5 6 7 8 B" + end);
    ASSERT_EQ(plain.contents.points.size(), 2u);
    EXPECT_EQ(plain.contents.points[1].name, "B");
  }
  {
    SCOPED_TRACE("%.4e numbers: \"%i %lg\" converts -8 and .0000e+01 from the first line, so it is plain");
    const Read r =
        read("-8.0000e+01 -8.0000e+01 1.0000e+00 3.2500e-01\n8.0000e+01 -8.0000e+01 1.0000e+00 4.0000e-01\n");
    EXPECT_EQ(r.contents.layout, DataLayout::Plain);
    ASSERT_EQ(r.contents.points.size(), 2u);
    EXPECT_EQ(r.contents.points[0].x, -80);
    EXPECT_EQ(r.contents.points[1].value, 0.4);
  }
  {
    SCOPED_TRACE("five numeric columns in a plain file: the error column is no name");
    const Read r = read("1 2 3 4 0.05\n5 6 7 8 1e-2\n");
    EXPECT_EQ(r.contents.points.at(0).name, "");
    EXPECT_EQ(r.contents.points.at(1).name, "");
  }
}

TEST(DataReader, BlankLinesAndShortCountsNeverInventPoints) {
  {
    SCOPED_TRACE("a blank line after the count is skipped; the last station is kept");
    const Read r = read("3\n\n1 2 3 4\n  \t\n5 6 7 8\n9 10 11 12\n");
    EXPECT_EQ(values(r.contents), (std::vector<double>{4, 8, 12}));
    EXPECT_TRUE(r.messages.empty());
  }
  {
    SCOPED_TRACE("a count beyond the lines keeps the points read and warns with both counts");
    const Read r = read("961\n1 2 3 4\n5 6 7 8\n");
    EXPECT_EQ(r.contents.points.size(), 2u);
    EXPECT_EQ(r.contents.rangeMin, 4);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0].kind, MessageKind::Warning);
    EXPECT_NE(r.messages[0].text.find("/survey/grav.obs"), std::string::npos);
    EXPECT_NE(r.messages[0].text.find("961"), std::string::npos);
    EXPECT_NE(r.messages[0].text.find(" 2 "), std::string::npos);
  }
  {
    SCOPED_TRACE("a short count reads only that many points");
    EXPECT_EQ(read("0x2\n1 2 3 4\n5 6 7 8\n9 10 11 12\n").contents.points.size(), 2u);
  }
}

TEST(DataReader, TheColourRangeIsSinglePrecisionOverFiniteValues) {
  const Read r = read("1 2 3 0.1\n1 2 3 nan\n1 2 3 inf\n1 2 3 -0.3\n");
  EXPECT_EQ(r.contents.points.size(), 4u);
  EXPECT_EQ(r.contents.rangeMin, static_cast<double>(-0.3f));
  EXPECT_EQ(r.contents.rangeMax, static_cast<double>(0.1f));
  EXPECT_EQ(read("\n").contents.rangeMin, static_cast<double>(1e20f));
}

TEST(DataReader, FileMessages) {
  test::TempDir dir;
  ScriptedPlatform p;
  DataSet set;
  EXPECT_FALSE(readDataFile(set, p));
  EXPECT_EQ(p.messages.back(), (test::Recorded{MessageKind::Warning, "Filename missing."}));
  set.path = dir.path() + "/none.obs";
  EXPECT_FALSE(readDataFile(set, p));
  EXPECT_EQ(p.messages.back(), (test::Recorded{MessageKind::Warning, "Could not open\n" + set.path}));
  set.path = dir.write("empty.obs", "\n\n");
  EXPECT_FALSE(readDataFile(set, p));
  EXPECT_TRUE(set.points.empty());
  set.path = dir.write("ok.obs", "1 2 3 4\n");
  EXPECT_TRUE(readDataFile(set, p));
  EXPECT_EQ(set.points.size(), 1u);
}

TEST(DataReader, TransmitterFileBecomesRedLinesAndIsDeleted) {
  test::TempDir dir;
  const std::string file = dir.write("trns_coord.txt", "0 0 10\n100 0 10\n100 100 10\n");
  std::filesystem::current_path(dir.path());
  ScriptedPlatform p;
  const auto set = readTransmitterData(p);
  ASSERT_TRUE(set);
  EXPECT_EQ(set->plottingMethod, kPlotLines);
  EXPECT_EQ(set->plottingValue, 3.0f);
  EXPECT_TRUE(set->solidColour);
  EXPECT_EQ(set->colour, (std::array<float, 3>{1, 0, 0}));
  EXPECT_EQ(set->points.size(), 3u);
  EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
}  // namespace litho
