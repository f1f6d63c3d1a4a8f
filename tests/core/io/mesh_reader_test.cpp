#include "core/io/mesh_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "core/load/memory.h"
#include "support/scripted_platform.h"

namespace litho {
namespace {

using test::ScriptedPlatform;

const std::string kPath = "/data/m.msh";
const std::string kSuffix = "Error reading mesh file\n/data/m.msh";

struct ReadResult {
  bool ok;
  RectMesh mesh;
  std::vector<test::Recorded> messages;
};

ReadResult read(const std::string& text) {
  ScriptedPlatform p;
  ReadResult r;
  r.ok = readMeshText(text, kPath, r.mesh, p);
  r.messages = p.messages;
  return r;
}

void expectError(const std::string& text, const std::string& message) {
  SCOPED_TRACE(text);
  const ReadResult r = read(text);
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(r.mesh.empty());
  EXPECT_EQ(r.mesh.nx, 0);
  ASSERT_EQ(r.messages.size(), 1u);
  EXPECT_EQ(r.messages[0].kind, MessageKind::Error);
  EXPECT_EQ(r.messages[0].text, message);
}

TEST(MeshReader, ReadsCountsOriginAndRepeatedWidths) {
  const ReadResult r = read("3 2 2  trailing words\n100 200 50 ignored\n2*100 50\n10 20\n5 3*7 extra\n");
  ASSERT_TRUE(r.ok);
  EXPECT_TRUE(r.messages.empty());
  EXPECT_EQ(r.mesh.nx, 3);
  EXPECT_EQ(r.mesh.xNodes, (std::vector<double>{100, 200, 300, 350}));
  EXPECT_EQ(r.mesh.yNodes, (std::vector<double>{200, 210, 230}));
  // Z runs downward from the top: 3*7 on an axis of 2 cells is dropped after the first width.
  EXPECT_EQ(r.mesh.zNodes, (std::vector<double>{50, 45, 38}));
}

TEST(MeshReader, WidthListsFollowTheirLineRules) {
  {
    SCOPED_TRACE("repeat running past the axis completes it without a message");
    const ReadResult r = read("2 1 1\n0 0 0\n3*10\n5\n5\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.mesh.xNodes, (std::vector<double>{0, 10, 20}));
  }
  {
    SCOPED_TRACE("a Y list starting on the last X line is not seen");
    expectError("1 1 1\n0 0 0\n10 20\n", "Not enough values.\n" + kSuffix);
  }
  {
    SCOPED_TRACE("a list split over several lines is read across line ends");
    const ReadResult r = read("4 1 1\n0 0 0\n1\n2 3\n\n4\n1\n1\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.mesh.xNodes, (std::vector<double>{0, 1, 3, 6, 10}));
  }
  {
    SCOPED_TRACE("0*5 stores nothing and does not advance");
    const ReadResult r = read("1 1 1\n0 0 0\n0*5 7\n1\n1\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.mesh.xNodes, (std::vector<double>{0, 7}));
  }
  {
    SCOPED_TRACE("%i repeat counts: hex and octal");
    const ReadResult r = read("24 1 1\n0 0 0\n0x10*1 010*2\n1\n1\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.mesh.xNodes[16], 16);
    EXPECT_EQ(r.mesh.xNodes[24], 32);
  }
  {
    SCOPED_TRACE("trailing characters after a width are ignored; CRLF and tabs");
    const ReadResult r = read("1 1 1\r\n0\t0\t0\r\n5x\r\n\t2.5e1m\r\n1\r\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.mesh.xNodes, (std::vector<double>{0, 5}));
    EXPECT_EQ(r.mesh.yNodes, (std::vector<double>{0, 25}));
  }
  {
    SCOPED_TRACE("no final newline");
    const ReadResult r = read("1 1 1\n0 0 0\n1\n1\n1");
    ASSERT_TRUE(r.ok);
  }
}

TEST(MeshReader, ReportsEveryFaultWithItsText) {
  expectError("0 10 10\n0 0 0\n", "Number of cells should be positive.\n" + kSuffix);
  expectError("10 -1 10\n", "Number of cells should be positive.\n" + kSuffix);
  expectError("", "Number of cells should be positive.\n" + kSuffix);
  expectError("abc\n", "Number of cells should be positive.\n" + kSuffix);
  expectError("2 1 1\n0 0 0\n10\n", "Not enough values.\n" + kSuffix);
  expectError("1 1 1\n0 0 0\n1\n1\n", "Not enough values.\n" + kSuffix);
  expectError("1 1 1\n0 0 0\nabc\n1\n1\n", "abc\n" + kSuffix);
  expectError("2 1 1\n0 0 0\nx*5\n1\n1\n", "x*5\n" + kSuffix);
  expectError("2 1 1\n0 0 0\n2*y\n1\n1\n", "2*y\n" + kSuffix);
  expectError("1 1 1\n0 0 0\n0\n1\n1\n", "Cell width must be positive.\n0\n" + kSuffix);
  expectError("1 1 1\n0 0 0\n-3\n1\n1\n", "Cell width must be positive.\n-3\n" + kSuffix);
  expectError("2 1 1\n0 0 0\n2*-1\n1\n1\n", "Cell width must be positive.\n2*-1\n" + kSuffix);
  expectError("1 1 1\n0 0 0\n1\n1\nnan\n", "Cell width must be positive.\nnan\n" + kSuffix);
  expectError("1 1 1\n0 0 0\n1\ninf\n1\n", "inf\n" + kSuffix);
  // Faults that other messages used to hide.
  expectError("1 1 1\nx y z\n1\n1\n1\n", "Expecting: x0 y0 z0 of the top south-west corner.\n" + kSuffix);
  expectError(
      "\xFF\xFE"
      "1",
      "The file is UTF-16 text; save it as plain text (ASCII or UTF-8).\n" + kSuffix);
  expectError(std::string("1 1 1\0\n", 7), "The file holds NUL bytes; it is not a text file.\n" + kSuffix);
  expectError(
      "1 1 1\r0 0 0\r1\r1\r1\r",
      "The lines of the file end with a carriage return (CR) alone; save it with LF or CR LF line ends.\n" + kSuffix);
  expectError("16 1 1\n499605 0 0\n16*1e-12\n1\n1\n",
              "Cell width is too small for the coordinates of the mesh.\n16*1e-12\n" + kSuffix);
  expectError("1 1 2\n0 0 1e9\n1\n1\n1 1e-8\n",
              "Cell width is too small for the coordinates of the mesh.\n1e-8\n" + kSuffix);
  expectError("1 1 1\n0 0 0\n\x1b[2J\n1\n1\n", "\\x1b[2J\n" + kSuffix);
  const std::string token(200, '7');
  expectError("1 1 1\n0 0 0\n" + token + "\n1\n1\n", std::string(80, '7') + "...\n" + kSuffix);
}

TEST(MeshReader, ByteOrderMarkIsSkipped) {
  const ReadResult r = read(
      "\xEF\xBB\xBF"
      "1 1 1\n0 0 0\n1\n1\n1\n");
  ASSERT_TRUE(r.ok) << (r.messages.empty() ? "" : r.messages[0].text);
  EXPECT_EQ(r.mesh.nx, 1);
}

TEST(MeshReader, readNegativeRepeatCountNeverWritesBeforeStart) {
  expectError("3 1 1\n0 0 0\n1 -2*10 5 5\n1\n1\n", "-2*10\n" + kSuffix);
}

TEST(MeshReader, readLongTokenIsRejectedWithoutOverrun) {
  const std::string ok(80, '1');
  EXPECT_TRUE(read("1 1 1\n0 0 0\n" + ok + "\n1\n1\n").ok);
}

TEST(MeshReader, readHugeCellCountIsRefusedNotWrapped) {
  expectError("100000 100000 100000\n0 0 0\n",
              "The mesh has too many cells: 100000 x 100000 x 100000.\n" + kSuffix);
  expectError("2147483647 2147483647 1\n", "The mesh has too many cells: 2147483647 x 2147483647 x 1.\n" + kSuffix);
  // Counts too large for an int are refused as too many, never taken as INT_MAX.
  expectError("1 1 6999606999600\n", "The mesh has too many cells: 1 x 1 x 6999606999600.\n" + kSuffix);
  expectError("2147483648 1 1\n", "The mesh has too many cells: 2147483648 x 1 x 1.\n" + kSuffix);
}

TEST(MeshReader, readMeshLargerThanMemoryIsRefusedBeforeAllocating) {
  ScriptedPlatform p;
  RectMesh mesh;
  MeshLimits limits;
  limits.maxBytes = 1 << 20;
  EXPECT_FALSE(readMeshText("100 100 100\n0 0 0\n100*1\n100*1\n100*1\n", kPath, mesh, p, limits));
  ASSERT_EQ(p.messages.size(), 1u);
  EXPECT_EQ(
      p.messages[0].text,
      "Not enough memory for a model of 100 x 100 x 100 cells: 3.9 MiB are needed, 1.0 MiB are available.\n" + kSuffix);
  EXPECT_TRUE(mesh.empty());
  limits.maxBytes = 8 << 20;
  EXPECT_TRUE(readMeshText("100 100 100\n0 0 0\n100*1\n100*1\n100*1\n", kPath, mesh, p, limits));
  // A 43-byte file claiming 2^31 cells, against the memory the machine has now.
  const ScopedMemoryLimit small(64 << 20);
  EXPECT_FALSE(readMeshText("65536 32767 1\n0 0 0\n65536*1\n32767*1\n1\n", kPath, mesh, p));
  EXPECT_EQ(
      p.lastMessageText(),
      "Not enough memory for a model of 65536 x 32767 x 1 cells: 16 GiB are needed, 64 MiB are available.\n" + kSuffix);
}

TEST(MeshReader, HugeRepeatCountFillsOnlyTheAxis) {
  const ReadResult r = read("2 1 1\n0 0 0\n2147483647*4\n1\n1\n");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.mesh.xNodes, (std::vector<double>{0, 4, 8}));
}

TEST(MeshReader, RoundOffSnap) {
  {
    SCOPED_TRACE("0.2 and 0.5 from -0.7 end at exactly 0");
    const ReadResult r = read("2 1 1\n-0.7 0 0\n0.2 0.5\n1\n1\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.mesh.xNodes[2], 0.0);
    EXPECT_FALSE(std::signbit(r.mesh.xNodes[2]));
  }
  {
    SCOPED_TRACE("0.1 three times from -0.3: previous node too small, no snap");
    const ReadResult r = read("3 1 1\n-0.3 0 0\n3*0.1\n1\n1\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.mesh.xNodes[2], -0.09999999999999998);
    EXPECT_EQ(r.mesh.xNodes[3], 2.7755575615628914e-17);
  }
  {
    SCOPED_TRACE("Z is snapped after the downward conversion");
    const ReadResult r = read("1 1 2\n0 0 0.7\n1\n1\n0.2 0.5\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.mesh.zNodes[0], 0.7);
    EXPECT_NEAR(r.mesh.zNodes[1], 0.5, 1e-15);
    EXPECT_EQ(r.mesh.zNodes[2], 0.0);
  }
}

TEST(MeshReader, OverflowingCoordinatesAreRefused) {
  expectError("2 1 1\n0 0 0\n2*1e308\n1\n1\n", "Mesh coordinates out of range.\n" + kSuffix);
}

}  // namespace
}  // namespace litho
