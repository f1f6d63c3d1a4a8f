// Topography load: the file's lines, the failure table, corner points,
// duplicates and the top index of gridded surfaces at map coordinates.
#include "core/topography/topography.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/io/mesh_reader.h"
#include "core/topography/top_active_index.h"
#include "support/scripted_platform.h"

namespace litho {
namespace {

using test::Recorded;
using test::ScriptedPlatform;

const std::string kPath = "/survey/topo.txt";
const std::string kReadError = "Error reading topography file /survey/topo.txt";

// 4 x 3 columns of 100 m at map coordinates; five 10 m layers from 100 down to 50.
RectMesh mapMesh() {
  RectMesh m;
  m.nx = 4;
  m.ny = 3;
  m.nz = 5;
  m.xNodes = {500000, 500100, 500200, 500300, 500400};
  m.yNodes = {7000000, 7000100, 7000200, 7000300};
  m.zNodes = {100, 90, 80, 70, 60, 50};
  return m;
}

struct Load {
  std::optional<TopographyResult> result;
  std::vector<Recorded> messages;
};

Load load(const std::string& text, const RectMesh& mesh = mapMesh()) {
  ScriptedPlatform p;
  LineSource in(text);
  Load l;
  l.result = loadTopography(in, kPath, mesh, p);
  l.messages = p.messages;
  return l;
}

void expectFailure(const std::string& text, const Recorded& message) {
  SCOPED_TRACE(text);
  const Load l = load(text);
  EXPECT_FALSE(l.result);
  ASSERT_EQ(l.messages.size(), 1u);
  EXPECT_EQ(l.messages[0], message);
}

// Points every step metres over [e0, e1] x [n0, n1], elevation from f, CRLF.
template <class F>
std::string grid(double e0, double e1, double n0, double n1, double step, F f) {
  std::string points;
  int count = 0;
  char line[128];
  for (double n = n0; n <= n1; n += step)
    for (double e = e0; e <= e1; e += step) {
      std::snprintf(line, sizeof line, "%.2f\t%.2f  %.3f\r\n", e, n, f(e, n));
      points += line;
      ++count;
    }
  return "! surveyed ground\r\n" + std::to_string(count) + "\r\n" + points;
}

TEST(Topography, ReadsCountWithTrailingWordsAndStopsAfterTheLastPoint) {
  // "%i" takes 0x4 as four; tabs, text after the numbers, no final line end.
  const Load l = load(
      "!a\n!b\n0x4 points\n499000\t6999000\t100 first\n501000 6999000 100\n"
      "499000 7001000 100\n501000 7001000 100\nnot a point");
  ASSERT_TRUE(l.result);
  EXPECT_TRUE(l.messages.empty());
  EXPECT_EQ(l.result->pointCount, 4);
  EXPECT_EQ(l.result->cornersAdded, 0);
}

TEST(Topography, ReadErrorsNameTheFile) {
  const Recorded readError{MessageKind::Error, kReadError};
  const std::string points = "499000 6999000 100\n501000 6999000 100\n499000 7001000 100\n";
  expectFailure("", readError);
  expectFailure("! only comments\n", readError);
  expectFailure("three\n" + points, readError);
  expectFailure("4\n" + points, readError);
  expectFailure("3\n! a comment after the count\n" + points, readError);
  expectFailure("3\n499000 6999000\n501000 6999000 100\n499000 7001000 100\n", readError);
  expectFailure("3\n499000 6999000 100\n\n501000 6999000 100\n499000 7001000 100\n", readError);
  expectFailure("-2\n" + points, {MessageKind::Error, kReadError + "\nline 1: the point count is negative"});
  expectFailure("!\n2000000000\n" + points,
                {MessageKind::Error, kReadError + "\nline 2: the file cannot hold 2000000000 points"});
  expectFailure("99999999999999999999999\n" + points,
                {MessageKind::Error, kReadError + "\nline 1: the file cannot hold 9223372036854775807 points"});
  expectFailure("3\n499000 6999000 100\n501000 nan 100\n499000 7001000 100\n",
                {MessageKind::Error, kReadError + "\nline 3: not a finite number"});
}

TEST(Topography, FailureTableAndCoverageWarning) {
  const Recorded outside{MessageKind::Warning, "Error: Topography is outside the mesh."};
  expectFailure("0\n", outside);
  expectFailure("3\n499000 6999000 1\n500000 7000100 1\n499500 7000300 1\n", outside);  // touching the west edge
  expectFailure("3\n499000 6999000 70\n500200 7000200 70\n501000 7001000 70\n",
                {MessageKind::Warning, "Error: Points in the topography file are collinear."});
  {
    SCOPED_TRACE("a patch over a quarter of the mesh warns and loads");
    const Load l = load("3\n500050 7000050 75\n500200 7000060 75\n500060 7000180 75\n");
    ASSERT_TRUE(l.result);
    ASSERT_EQ(l.messages.size(), 1u);
    EXPECT_EQ(l.messages[0], (Recorded{MessageKind::Warning, "Warning: Topography region is not large enough."}));
    // Every corner is far from the points: the surface is flat at 75 everywhere.
    EXPECT_EQ(l.result->cornersAdded, 4);
    EXPECT_EQ(l.result->inactiveCells, 12 * 3);
    EXPECT_EQ(l.result->activeCells, 12 * 2);
  }
}

TEST(Topography, DuplicatesAreCountedPerPairAndListed) {
  {
    SCOPED_TRACE("three identical points");
    expectFailure(
        "5\n499000 6999000 1\n500050 7000100 2\n501000 7001000 1\n500050 7000100 3\n"
        "500050 7000100 4\n",
        {MessageKind::Error,
         "Error: 3 duplicate topography points found:\n"
         "(500050, 7.0001e+06) (500050, 7.0001e+06) (500050, 7.0001e+06) "});
  }
  {
    SCOPED_TRACE("a line break after every fifth");
    std::string text = "9\n499000 6999000 1\n501000 7001000 1\n";
    for (int i = 0; i < 7; ++i) text += (i % 2 ? "1.5 -3 0\n" : "3 -2 0\n");
    // Three at (1.5, -3) give 3, four at (3, -2) give 6.
    const Load l = load(text);
    ASSERT_EQ(l.messages.size(), 1u);
    EXPECT_EQ(l.messages[0].text,
              "Error: 9 duplicate topography points found:\n(1.5, -3) (1.5, -3) (1.5, -3) (3, -2) (3, -2) \n"
              "(3, -2) (3, -2) (3, -2) (3, -2) ");
  }
  {
    SCOPED_TRACE("a long list is cut short, the count is not");
    std::string text = "22\n499000 6999000 1\n501000 7001000 1\n";
    for (int i = 0; i < 20; ++i) text += "7 7 7\n";
    const Load l = load(text);
    ASSERT_EQ(l.messages.size(), 1u);
    const std::string& m = l.messages[0].text;
    EXPECT_EQ(m.rfind("Error: 190 duplicate topography points found:\n(7, 7) ", 0), 0u);
    EXPECT_EQ(std::count(m.begin(), m.end(), '('), 100);
    EXPECT_EQ(m.substr(m.size() - 6), ") \n...");
  }
}

TEST(Topography, CornersAddedWhereThePointsStopShort) {
  {
    SCOPED_TRACE("points beyond every side add no corner");
    const Load l = load("4\n499000 6999000 95\n501000 6999000 95\n499000 7001000 95\n501000 7001000 95\n");
    ASSERT_TRUE(l.result);
    EXPECT_EQ(l.result->cornersAdded, 0);
    EXPECT_EQ(l.result->inactiveCells, 12);
  }
  {
    SCOPED_TRACE("inside points: each corner takes the nearest point's elevation");
    // Tolerance 25 m. The south-west point is 30 m from its corner and lowest,
    // so the corner column is the only one cut down to 62.
    const Load l = load(
        "4\n500021.213203 7000021.213203 62\n500380 7000020 75\n500020 7000280 75\n"
        "500380 7000280 75\n");
    ASSERT_TRUE(l.result);
    EXPECT_EQ(l.result->cornersAdded, 4);
    EXPECT_EQ(l.result->topActiveIndex(0, 0), 4);
    EXPECT_EQ(l.result->topActiveIndex(3, 2), 3);
  }
  {
    SCOPED_TRACE("a point within the tolerance of the north-east corner prevents it");
    const Load l = load("4\n500030 7000030 75\n500370 7000030 75\n500030 7000270 75\n500390 7000290 75\n");
    ASSERT_TRUE(l.result);
    EXPECT_EQ(l.result->cornersAdded, 3);
  }
}

TEST(Topography, TopIndexFollowsTheGroundLevel) {
  const RectMesh mesh = mapMesh();  // layer tops 100 90 80 70 60
  EXPECT_EQ(topIndexForGround(100, mesh), 0);
  EXPECT_EQ(topIndexForGround(99.9, mesh), 1);
  EXPECT_EQ(topIndexForGround(80, mesh), 2);  // a cell whose top is at the ground is active
  EXPECT_EQ(topIndexForGround(60.1, mesh), 4);
  EXPECT_EQ(topIndexForGround(60, mesh), 5);  // at the top of the bottom cell: nothing active
}

TEST(Topography, GriddedSurfaceAtMapCoordinatesGivesHandComputedIndices) {
  // Rising 1 m per 10 m to the east and 1 m per 20 m to the north, 25 m
  // grid beyond the mesh, jitter-free. A plane is reproduced exactly by the
  // linear surface, so a column's ground is its south-west corner:
  // 61 + 10 i + 5 j.
  const std::string text = grid(499900, 500500, 6999900, 7000400, 25,
                                [](double e, double n) { return 61 + 0.1 * (e - 500000) + 0.05 * (n - 7000000); });
  const Load l = load(text);
  ASSERT_TRUE(l.result);
  EXPECT_TRUE(l.messages.empty());
  const int expected[4][3] = {
      {4, 4, 3},  // ground 61, 66, 71
      {3, 3, 2},  // 71, 76, 81
      {2, 2, 1},  // 81, 86, 91
      {1, 1, 0},  // 91, 96, 101
  };
  long long inactive = 0;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 3; ++j) {
      SCOPED_TRACE(testing::Message() << "column " << i << ", " << j);
      EXPECT_EQ(l.result->topActiveIndex(i, j), expected[i][j]);
      inactive += expected[i][j];
    }
  EXPECT_EQ(l.result->inactiveCells, inactive);
  EXPECT_EQ(l.result->activeCells, 60 - inactive);
}

TEST(Topography, LoadsTheBlockExampleFromItsFile) {
  ScriptedPlatform p;
  std::FILE* f = std::fopen(LITHO_SOURCE_DIR "/examples/block/block.msh", "rb");
  ASSERT_TRUE(f);
  std::string meshText(1 << 16, '\0');
  meshText.resize(std::fread(meshText.data(), 1, meshText.size(), f));
  std::fclose(f);
  RectMesh mesh;
  ASSERT_TRUE(readMeshText(meshText, "block.msh", mesh, p));
  const auto r = loadTopography(LITHO_SOURCE_DIR "/examples/block/topo.txt", mesh, p);
  ASSERT_TRUE(r);
  EXPECT_TRUE(p.messages.empty());
  EXPECT_EQ(p.waitCursorDepth, 0);
  EXPECT_GT(r->inactiveCells, 0);
  EXPECT_EQ(r->activeCells + r->inactiveCells, mesh.cellCount());

  EXPECT_FALSE(loadTopography("/no/such/topo.txt", mesh, p));
  EXPECT_EQ(p.lastMessageText(), "There is no such file.\nCannot open topography file /no/such/topo.txt");
}

}  // namespace
}  // namespace litho
