#include "core/io/model_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/load/progress.h"
#include "support/scripted_platform.h"

namespace litho {
namespace {

using test::Recorded;
using test::ScriptedPlatform;

ModelReadSettings dims(int nx, int ny, int nz, int count = 1) {
  ModelReadSettings s;
  s.nx = nx;
  s.ny = ny;
  s.nz = nz;
  s.modelCount = count;
  return s;
}

struct Scalar {
  bool ok;
  std::vector<ModelSet> sets;
  ScalarRange range;
};

Scalar readScalar(const std::string& text, const ModelReadSettings& s, ScriptedPlatform& p) {
  Scalar r{false, std::vector<ModelSet>(static_cast<std::size_t>(s.modelCount)), {}};
  for (auto& m : r.sets) m.allocate(s.nx, s.ny, s.nz);
  LineSource in(text);
  r.ok = readModelFile(in, "/d/m.den", s, r.sets.data(), r.range, p, p);
  return r;
}

std::uint32_t bits(float f) {
  std::uint32_t b;
  std::memcpy(&b, &f, 4);
  return b;
}

TEST(ModelReader, CellsInFileOrderNorthingOutermostDepthFastest) {
  ScriptedPlatform p;
  std::string text;
  for (int n = 0; n < 12; ++n) text += std::to_string(n) + "\n";
  const Scalar r = readScalar(text, dims(2, 3, 2), p);
  ASSERT_TRUE(r.ok);
  // line = (j * nx + i) * nz + k
  EXPECT_EQ(r.sets[0](1, 0, 0), 2.0f);
  EXPECT_EQ(r.sets[0](0, 1, 1), 5.0f);
  EXPECT_EQ(r.sets[0](1, 2, 1), 11.0f);
  EXPECT_TRUE(p.messages.empty());
}

TEST(ModelReader, LinesAsFilesInTheWildWriteThem) {
  ScriptedPlatform p;
  const std::string text =
      "0.5 kg/m3 and a comment\r\n"
      "\t-1.25\r\n"
      "   +3e2   7   8\n"
      "-0\n"
      "nan\n"
      ".5\n"
      "5.\n"
      "0x1p-3";  // no final newline
  const Scalar r = readScalar(text, dims(1, 1, 8), p);
  ASSERT_TRUE(r.ok) << p.lastMessageText();
  const ModelSet& m = r.sets[0];
  EXPECT_EQ(m(0, 0, 0), 0.5f);
  EXPECT_EQ(m(0, 0, 1), -1.25f);
  EXPECT_EQ(m(0, 0, 2), 300.0f);
  EXPECT_EQ(bits(m(0, 0, 3)), 0x80000000u) << "negative zero keeps its sign";
  EXPECT_TRUE(std::isnan(m(0, 0, 4)));
  EXPECT_EQ(m(0, 0, 5), 0.5f);
  EXPECT_EQ(m(0, 0, 6), 5.0f);
  EXPECT_EQ(m(0, 0, 7), 0.125f);
  // NaN takes no part in the ranges.
  EXPECT_EQ(r.range.smallest, -1.25f);
  EXPECT_EQ(r.range.secondSmallest, -0.0f);
  EXPECT_EQ(r.range.largest, 300.0f);
}

TEST(ModelReader, RangesIgnoreValuesThatAreNotFinite) {
  ScriptedPlatform p;
  {
    SCOPED_TRACE("all equal: the second smallest stays at NoDataValue");
    const Scalar r = readScalar("7\n7\n7\n", dims(1, 1, 3), p);
    EXPECT_EQ(r.range.smallest, 7.0f);
    EXPECT_EQ(r.range.secondSmallest, kNoDataValue);
    EXPECT_EQ(r.range.largest, 7.0f);
  }
  {
    SCOPED_TRACE("air cells as nan, and overflow to infinity");
    const Scalar r = readScalar("nan\nNaN\n-inf\n1e39\n2\n-3\n", dims(1, 1, 6), p);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.range.smallest, -3.0f);
    EXPECT_EQ(r.range.secondSmallest, 2.0f);
    EXPECT_EQ(r.range.largest, 2.0f);
    EXPECT_TRUE(std::isinf(r.sets[0](0, 0, 3)));
  }
  {
    SCOPED_TRACE("nothing but nan: the start values");
    const Scalar r = readScalar("nan\nnan\n", dims(1, 1, 2), p);
    EXPECT_EQ(r.range.smallest, kNoDataValue);
    EXPECT_EQ(r.range.largest, -kNoDataValue);
  }
}

TEST(ModelReader, BadLinesStopTheReadWithTheMessage) {
  const std::string error = "Error reading model file /d/m.den";
  struct Case {
    const char* name;
    std::string text;
  };
  for (const Case& c : {Case{"blank line among the values", "1\n\n2\n3\n"}, Case{"too few lines", "1\n2\n"},
                        Case{"a line without a number", "1\nabc 2\n3\n"}, Case{"CR alone ends no line", "1\r2\r3\r"},
                        Case{"empty file", ""}, Case{"infinit is no number", "1\ninfinit\n3\n"}}) {
    SCOPED_TRACE(c.name);
    ScriptedPlatform p;
    const Scalar r = readScalar(c.text, dims(1, 1, 3), p);
    EXPECT_FALSE(r.ok);
    ASSERT_EQ(p.messages.size(), 1u);
    EXPECT_EQ(p.messages[0], (Recorded{MessageKind::Error, error}));
    EXPECT_EQ(p.progressEnded, 1);
  }
  ScriptedPlatform p;
  EXPECT_TRUE(readScalar("1\n2\n3\nnot read\n\n", dims(1, 1, 3), p).ok) << "lines after the last cell are not read";
  EXPECT_TRUE(p.messages.empty());
}

TEST(ModelReader, LogConversion) {
  ModelReadSettings s = dims(1, 1, 3);
  s.log = true;
  {
    ScriptedPlatform p;
    const Scalar r = readScalar("100\n0.001\nnan\n", s, p);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.sets[0](0, 0, 0), 2.0f);
    EXPECT_EQ(r.sets[0](0, 0, 1), std::log10(0.001f));
    EXPECT_TRUE(std::isnan(r.sets[0](0, 0, 2))) << "no data stays no data";
    EXPECT_EQ(r.range.smallest, std::log10(0.001f));
  }
  for (const char* text : {"100\n0\n1\n", "100\n-5\n1\n"}) {
    SCOPED_TRACE(text);
    ScriptedPlatform p;
    EXPECT_FALSE(readScalar(text, s, p).ok);
    EXPECT_EQ(p.lastMessageText(), "Cannot take log of a negative number.\nError reading model file /d/m.den");
  }
  s.tq5rMode = true;
  ScriptedPlatform p;
  const Scalar r = readScalar("-100\n10\n1\n", s, p);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.sets[0](0, 0, 0), 2.0f);
}

TEST(ModelReader, CoreOffsetsSkipThePadding) {
  ScriptedPlatform p;
  ModelReadSettings s = dims(10, 10, 10, 2);
  s.coreOffsets = {2, 2, 2, 2, 3, 1};  // west east south north bottom top
  s.offsetsValid = true;
  std::string text;
  for (int n = 0; n < 2 * 216; ++n) text += std::to_string(n + 1) + "\n";
  const Scalar r = readScalar(text, s, p);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.sets[0](2, 2, 1), 1.0f);    // first core cell
  EXPECT_EQ(r.sets[0](2, 2, 6), 6.0f);    // 6 core layers: k = 1..6
  EXPECT_EQ(r.sets[0](3, 2, 1), 7.0f);    // next column east
  EXPECT_EQ(r.sets[0](2, 3, 1), 37.0f);   // next row north, after 6 columns
  EXPECT_EQ(r.sets[1](7, 7, 6), 432.0f);  // last cell of the second set
  for (const auto& [i, j, k] : std::vector<std::array<int, 3>>{{0, 0, 0}, {2, 2, 0}, {2, 2, 7}, {8, 5, 3}, {5, 9, 3}})
    EXPECT_EQ(r.sets[1](i, j, k), 0.0f) << i << " " << j << " " << k;
  EXPECT_EQ(p.messages, (std::vector<Recorded>{
                            {MessageKind::Info,
                             "2 models have been read from model file.\nUse <Shift>-<left> and <Shift>-<right> to "
                             "switch between them."}}));
  EXPECT_EQ(p.progressShown.back(), 100);
  EXPECT_LE(p.progressShown.size(), 101u);
  EXPECT_EQ(minimumModelBytes(s), 2 * 432 - 1);
}

// Blocks are split between two threads; the result must not depend on it.
TEST(ModelReader, TwoThreadsReadWhatOneReads) {
  std::string text;
  // Falling values: the two smallest lie in the second half.
  for (int n = 0; n < 4000; ++n) text += (n % 7 ? std::to_string(1000 - n * 0.37) : std::string("nan")) + "\n";
  ModelReadSettings s = dims(8, 10, 25, 2);
  s.coreOffsets = {1, 0, 0, 1, 0, 0};
  s.offsetsValid = true;
  ScriptedPlatform p1, p2;
  s.threads = 1;
  ProgressReporter::lastPercent = -1;
  const Scalar one = readScalar(text, s, p1);
  s.threads = 2;
  ProgressReporter::lastPercent = -1;
  const Scalar two = readScalar(text, s, p2);
  ASSERT_TRUE(one.ok && two.ok);
  for (int m = 0; m < 2; ++m)
    EXPECT_EQ(std::memcmp(one.sets[m].data(), two.sets[m].data(), one.sets[m].size() * 4), 0);
  EXPECT_EQ(one.range.smallest, two.range.smallest);
  EXPECT_EQ(one.range.secondSmallest, two.range.secondSmallest);
  EXPECT_EQ(one.range.largest, two.range.largest);
  EXPECT_EQ(p1.progressShown, p2.progressShown);

  SCOPED_TRACE("the first bad line in file order decides the message");
  std::string bad;
  for (int n = 0; n < 4000; ++n) bad += std::to_string(n + 1) + "\n";
  bad.replace(bad.find("\n3000\n"), 1, "\nx");  // in the second half, before the last cell
  bad.replace(bad.find("\n100\n"), 1, "\n-5");  // in the first half: log of a negative
  s.log = true;
  ScriptedPlatform p3;
  EXPECT_FALSE(readScalar(bad, s, p3).ok);
  EXPECT_EQ(p3.lastMessageText(), "Cannot take log of a negative number.\nError reading model file /d/m.den");
  ScriptedPlatform p4;
  bad.replace(bad.find("\n-5"), 3, "\n5");
  EXPECT_FALSE(readScalar(bad, s, p4).ok);
  EXPECT_EQ(p4.lastMessageText(), "Error reading model file /d/m.den");
}

TEST(VectorReader, AmplitudesAndUnitComponents) {
  ModelReadSettings s = dims(1, 1, 3);
  const std::string text = "3 0 4\n0 0 0\n-1e-200 0 0 and text\n";
  for (const bool log : {false, true}) {
    SCOPED_TRACE(log ? "log flag" : "no log flag");
    s.log = log;
    ScriptedPlatform p;
    ModelSet a, x, y, z;
    for (ModelSet* m : {&a, &x, &y, &z}) m->allocate(1, 1, 3);
    VectorRange r;
    LineSource in(text);
    ASSERT_TRUE(readVectorFile(in, "/d/v.vec", s, &a, &x, &y, &z, r, p, p));
    EXPECT_FLOAT_EQ(a(0, 0, 0), log ? 5.0f : 0.69897f);
    EXPECT_FLOAT_EQ(x(0, 0, 0), 0.6f);
    EXPECT_EQ(y(0, 0, 0), 0.0f);
    EXPECT_FLOAT_EQ(z(0, 0, 0), 0.8f);
    EXPECT_EQ(a(0, 0, 1), 0.0f);
    EXPECT_EQ(x(0, 0, 1), 0.0f);
    // A vector too small to square still has a direction.
    EXPECT_EQ(x(0, 0, 2), -1.0f);
    EXPECT_EQ(a(0, 0, 2), log ? 0.0f : -200.0f);
    EXPECT_EQ(r.maximum, static_cast<double>(a(0, 0, 0)));
    EXPECT_EQ(r.minimum, log ? 0.0 : -200.0) << "the zero vector takes no part";
    if (log) {
      ASSERT_FALSE(p.messages.empty());
      EXPECT_EQ(p.messages[0].kind, MessageKind::Plain);
      EXPECT_EQ(p.messages[0].text.rfind("Note that vectors will NOT be plotted on a log10 scale.", 0), 0u);
    }
  }
  for (const char* bad : {"3 0 4\n1 2\n5 5 5\n", "3 0 4\n1 2 x\n5 5 5\n", "3 0 4\n"}) {
    SCOPED_TRACE(bad);
    s.log = false;
    ScriptedPlatform p;
    ModelSet a, x, y, z;
    for (ModelSet* m : {&a, &x, &y, &z}) m->allocate(1, 1, 3);
    VectorRange r;
    LineSource in(bad);
    EXPECT_FALSE(readVectorFile(in, "/d/v.vec", s, &a, &x, &y, &z, r, p, p));
    EXPECT_EQ(p.lastMessageText(), "Error reading vector file /d/v.vec");
  }
}

TEST(ModelFileHeader, KeywordCountAndOffsets) {
  ScriptedPlatform p;
  const auto parse = [&](const char* line) { return parseModelFileHeader(line, 10, 10, 10, "/d/m.den", p); };
  EXPECT_FALSE(parse("1.5")->present);
  EXPECT_FALSE(parse(" models 2")->present) << "the keyword opens the line";
  auto h = parse("models 2");
  EXPECT_TRUE(h->present);
  EXPECT_EQ(h->modelCount, 2);
  EXPECT_FALSE(h->offsetsValid);
  h = parse("models 3 2 2 2 2 3");  // one offset short: no offsets
  EXPECT_EQ(h->modelCount, 3);
  EXPECT_FALSE(h->offsetsValid);
  h = parse("models 0x2 2 2 2 2 3 1\r");
  EXPECT_EQ(h->modelCount, 2);
  EXPECT_TRUE(h->offsetsValid);
  EXPECT_EQ(h->coreOffsets, (std::array<int, 6>{2, 2, 2, 2, 3, 1}));
  EXPECT_TRUE(p.messages.empty());

  for (const char* bad : {"models", "models x", "models 0", "models -2", "models 99999999999", "models 1 5 5 0 0 0 0",
                          "models 1 0 0 0 0 -1 0", "models 2 004444444444444444444444440 1 0 0 1 2"}) {
    SCOPED_TRACE(bad);
    p.messages.clear();
    EXPECT_FALSE(parse(bad));
    ASSERT_EQ(p.messages.size(), 1u);
    EXPECT_EQ(p.messages[0].kind, MessageKind::Error);
    EXPECT_NE(p.messages[0].text.find("/d/m.den"), std::string::npos) << "the message names the file";
  }
}

}  // namespace
}  // namespace litho
