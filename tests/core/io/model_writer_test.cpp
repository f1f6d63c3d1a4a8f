// Save As: model files in three modes, the core mesh file, the element file,
// the visible-cell test against the scene, and saves that fail.
#include "core/io/model_writer.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <random>
#include <sstream>

#include "core/io/atomic_file.h"
#include "core/io/element_file.h"
#include "core/io/file_system.h"
#include "core/io/mesh_reader.h"
#include "core/load/document.h"
#include "core/scene/scene.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

using test::Recorded;
using test::ScriptedPlatform;
using test::TempDir;

std::string read(const std::string& path) {
  std::string s;
  EXPECT_TRUE(readWholeFile(path, s)) << path;
  return s;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> v;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) v.push_back(l);
  return v;
}

TEST(NumberFormats, GeneralFormatAsPrintfWritesIt) {
  for (const double v : {0.0, -0.0, 1e-5, 0.0001, 123456.0, 1234567.0, 2.5, -7.125, static_cast<double>(0.1f), 1e30,
                         static_cast<double>(kNoDataValue), 1.0 / 3, HUGE_VAL, -HUGE_VAL}) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", v);
    EXPECT_EQ(formatG(v), buf) << v;
  }
  EXPECT_EQ(formatG(std::nan("")), "nan");
}

TEST(NumberFormats, ModelValuesKeepSixDigitsAndTakeMoreOnlyWhenNeeded) {
  EXPECT_EQ(formatModelValue(1.259f), "1.259");
  EXPECT_EQ(formatModelValue(1e30f), "1e+30") << "reads back as the same float";
  EXPECT_EQ(formatModelValue(-100000), "-100000");
  EXPECT_EQ(formatModelValue(1234567.5f), "1234567.5") << "as \"%.8g\", not \"1.23457e+06\"";
  EXPECT_EQ(formatModelValue(3.4567891e-7f), "3.456789e-07");
  EXPECT_EQ(formatModelValue(std::numeric_limits<float>::infinity()), "inf");
  std::mt19937 rng(7);
  for (int n = 0; n < 20000; ++n) {
    const std::uint32_t b = rng();
    float v;
    std::memcpy(&v, &b, sizeof v);
    if (!std::isfinite(v)) continue;
    char printed[32];
    for (int precision = 6; precision <= 9; ++precision) {
      std::snprintf(printed, sizeof printed, "%.*g", precision, v);
      if (std::strtof(printed, nullptr) == v) break;
    }
    ASSERT_EQ(formatModelValue(v), printed);
  }
}

TEST(NumberFormats, MeshNumbersReadBackAsWritten) {
  EXPECT_EQ(formatMeshNumber(25), "25");
  EXPECT_EQ(formatMeshNumber(24.999999999999996), "25") << "round-off of a node difference";
  EXPECT_EQ(formatMeshNumber(0.1 + 0.2), "0.3");
  EXPECT_EQ(formatMeshNumber(6999555), "6999555") << "\"%g\" would move the corner by 5 m";
  EXPECT_EQ(formatMeshNumber(500000.25), "500000.25");
  EXPECT_EQ(formatMeshNumber(12.3456789), "12.3456789");
  EXPECT_EQ(formatMeshNumber(-450), "-450");
}

TEST(ElementFile, WrittenFileReadsBackEqual) {
  std::vector<Element> elements(2);
  elements[0] = {};
  elements[0].xIndex = 3;
  elements[0].yIndex = 4;
  elements[0].zIndex = 1;
  elements[0].xSize = 2;
  elements[0].slopeX = -5;
  elements[0].slopeXY = 20;
  elements[0].value = 0.125f;
  elements[0].name = "block 1";
  elements[1].cuboid = false;
  elements[1].value = -3.4567891e-7f;  // more than six digits
  elements[1].name = "two\nlines";
  const std::string text = elementFileText(elements);
  EXPECT_EQ(lines(text)[2], "3 4 1  2 1 1  -5 0 20  0.125  1");
  ScriptedPlatform p;
  const auto back = readElementFile(text, "x_loc", 10, 10, 10, p);
  ASSERT_TRUE(back) << p.lastMessageText();
  ASSERT_EQ(back->size(), 2u);
  EXPECT_EQ((*back)[0], elements[0]);
  EXPECT_EQ((*back)[1].name, "two lines") << "a name stays on its line";
  EXPECT_FALSE((*back)[1].cuboid);
  EXPECT_EQ((*back)[1].value, -3.4567891e-7f);
  EXPECT_EQ(elementFileText({}), "0\n");
}

// --- saves through the document -------------------------------------------------

// A 4 x 3 x 3 mesh with one padding cell west, east, north and at the bottom.
const char* kMesh = "4 3 3\n6999555 -20 100\n30 10 10 40\n10 10 50\n5 5 20\n";

class Save : public ::testing::Test {
 protected:
  void SetUp() override { mesh = dir.write("m.msh", kMesh); }

  // Values 1..36 in file order.
  std::string values(double (*f)(int) = nullptr) const {
    std::string s;
    for (int n = 1; n <= 36; ++n) s += formatG(f ? f(n) : n) + "\n";
    return s;
  }
  void load(Document& doc, const std::string& model, bool log = false) {
    LoadRequest req;
    req.meshPath = mesh;
    req.modelPath = model;
    req.logModel = log;
    ASSERT_EQ(doc.load(req), LoadStatus::Loaded) << p.lastMessageText();
  }
  SaveViewInfo whole(const Document& doc) const {
    return SaveViewInfo::afterLoad(doc.mesh(), doc.store().coreOffsets(), doc.store().range());
  }

  TempDir dir;
  std::string mesh;
  ScriptedPlatform p;
};

TEST_F(Save, EntireModelReadsBackEqualAndRenamesTheDocument) {
  Document doc(p, p);
  LoadRequest req;
  const std::string original = dir.write("a.den", values([](int n) { return n * 0.037 + 1; }));
  load(doc, original);
  doc.markModified();
  doc.setElements({Element{}});
  std::vector<Element> named = doc.elements();
  named[0].name = "block 1";
  doc.setElements(named);
  const std::string out = dir.path() + "/b.den";
  ASSERT_TRUE(doc.saveModel(out, whole(doc), {})) << p.lastMessageText();
  EXPECT_TRUE(p.messages.empty());
  EXPECT_EQ(read(out), read(original)) << "values of six digits are written as they were read";
  EXPECT_EQ(doc.modelPath(), out);
  EXPECT_EQ(doc.title(), out);
  EXPECT_EQ(doc.workingFolder(), dir.path());
  EXPECT_FALSE(doc.modified());
  EXPECT_EQ(read(out + "_loc"), "1\nblock 1\n0 0 0  1 1 1  0 0 0  0  1\n");

  SCOPED_TRACE("a later Reload reads the new file");
  std::FILE* f = std::fopen(out.c_str(), "w");
  std::fputs(values().c_str(), f);
  std::fclose(f);
  ASSERT_EQ(doc.reload(), LoadStatus::Loaded);
  EXPECT_EQ(doc.currentModel()(3, 2, 2), 36.0f);

  SCOPED_TRACE("saving a model without blocks over one that had them clears its element file");
  doc.setElements({});
  ASSERT_TRUE(doc.saveModel(out, whole(doc), {}));
  EXPECT_EQ(read(out + "_loc"), "0\n");
  ASSERT_TRUE(doc.saveModel(dir.path() + "/c.den", whole(doc), {}));
  EXPECT_FALSE(fileExists(dir.path() + "/c.den_loc")) << "no element file without elements";
}

TEST_F(Save, LogModelsAreWrittenAsPowersOfTenAndTheDummyAsEntered) {
  Document doc(p, p);
  LoadRequest req;
  load(doc, dir.write("a.con", values([](int n) { return std::pow(10.0, n % 3); })), true);
  EXPECT_EQ(doc.currentModel()(0, 0, 1), 2.0f) << "stored as log10";
  SaveViewInfo view = whole(doc);
  view.displayMin = 0.5;  // hides the cells of value 1 (log 0)
  view.displayMax = 2;
  const std::string out = dir.path() + "/out.con";
  ASSERT_TRUE(doc.saveModel(out, view, {SaveMode::EntireModel, true, -1.0f}));
  const auto v = lines(read(out));
  ASSERT_EQ(v.size(), 36u);
  EXPECT_EQ(v[0], "10");
  EXPECT_EQ(v[1], "100");
  EXPECT_EQ(v[2], "-1") << "the dummy value, not 10^-1";
  EXPECT_NE(doc.modelPath(), out) << "a partial save leaves the document's file alone";
}

// "%g" kept six digits: most single-precision values changed on a save, and
// the document renamed to the file then reloaded the rounded values.
TEST_F(Save, EveryFloatReadsBackUnchanged) {
  mesh = dir.write("cube.msh", "10 10 10\n0 0 0\n10*1\n10*1\n10*1\n");
  std::mt19937 rng(12);
  std::uniform_int_distribution<std::uint32_t> bits;
  std::vector<float> original;
  while (original.size() < 1000) {
    const std::uint32_t b = bits(rng);
    float v;
    std::memcpy(&v, &b, sizeof v);
    if (std::isfinite(v)) original.push_back(v);
  }
  original[0] = 0.1f;
  original[1] = std::numeric_limits<float>::denorm_min();
  original[2] = -std::numeric_limits<float>::max();
  original[3] = 123456.7f;  // "%g" writes 123457
  std::string text;
  for (const float v : original) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.9g\n", v);
    text += buf;
  }
  const auto loadFile = [&](Document& doc, const std::string& path) {
    LoadRequest req;
    req.meshPath = mesh;
    req.modelPath = path;
    req.ignoreSmallest = false;
    ASSERT_EQ(doc.load(req), LoadStatus::Loaded) << p.lastMessageText();
  };
  Document doc(p, p);
  loadFile(doc, dir.write("a.den", text));
  const std::string out = dir.path() + "/b.den";
  ASSERT_TRUE(doc.saveModel(out, whole(doc), {})) << p.lastMessageText();
  EXPECT_EQ(lines(read(out))[0], "0.1");
  EXPECT_EQ(lines(read(out))[3], "123456.7");
  Document back(p, p);
  loadFile(back, out);
  int changed = 0;
  for (int n = 0; n < 1000; ++n) {
    const int k = n % 10, i = n / 10 % 10, j = n / 100;
    const float v = back.currentModel()(i, j, k);
    if (std::memcmp(&v, &original[n], sizeof v) != 0) ++changed;
  }
  EXPECT_EQ(changed, 0);

  SCOPED_TRACE("the dummy value too");
  SaveViewInfo view = whole(doc);
  view.displayMin = view.displayMax = 0.5;  // hides everything
  ASSERT_TRUE(doc.saveModel(out, view, {SaveMode::EntireModel, true, 0.12345679f}));
  EXPECT_EQ(lines(read(out))[0], "0.12345679");
}

TEST_F(Save, WithoutPaddingWritesTheCoreAndItsMesh) {
  Document doc(p, p);
  LoadRequest req;
  // 2 x 2 x 2 core values with the header naming the padding.
  load(doc, dir.write("core.den", "models 1 1 1 0 1 1 0\n1\n2\n3\n4\n5\n6\n7\n8\n"));
  SaveViewInfo view = whole(doc);
  EXPECT_EQ(view.core().west, 1);
  EXPECT_EQ(view.core().nx, 2);
  const std::string out = dir.path() + "/out.den";
  ASSERT_TRUE(doc.saveModel(out, view, {SaveMode::WithoutPadding, false, 0}));
  EXPECT_EQ(p.messages, (std::vector<Recorded>{{MessageKind::Info, "Mesh saved to:\n" + out + "_mesh"}}));
  EXPECT_EQ(read(out), "1\n2\n3\n4\n5\n6\n7\n8\n");
  EXPECT_EQ(read(out + "_mesh"), "2  2  2\n6999585  -20  100\n 10 10\n 10 10\n 5 5\n");

  SCOPED_TRACE("the core mesh and model load as a pair");
  ScriptedPlatform q;
  Document back(q, q);
  LoadRequest files;
  files.meshPath = out + "_mesh";
  files.modelPath = out;
  ASSERT_EQ(back.load(files), LoadStatus::Loaded) << q.lastMessageText();
  EXPECT_EQ(back.mesh().xNodes, (std::vector<double>{6999585, 6999595, 6999605}));
  EXPECT_EQ(back.currentModel()(1, 1, 1), 8.0f);
}

TEST_F(Save, WithoutPaddingOnAMeshWithoutPaddingRewritesTheMesh) {
  mesh = dir.write("odd.msh", "3 2 2\n-0.7 0.1 0\n0.2 0.5 0.1\n0.1 0.2\n0.3 0.7\n");
  Document doc(p, p);
  LoadRequest req;
  load(doc, dir.write("odd.den", "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n"));
  const std::string out = dir.path() + "/same.den";
  ASSERT_TRUE(doc.saveModel(out, whole(doc), {SaveMode::WithoutPadding, false, 0}));
  EXPECT_EQ(read(out), read(dir.path() + "/odd.den"));
  ScriptedPlatform q;
  RectMesh back;
  ASSERT_TRUE(readMeshText(read(out + "_mesh"), out + "_mesh", back, q));
  ASSERT_EQ(back.nx, 3);
  for (int i = 0; i <= 3; ++i) EXPECT_NEAR(back.xNodes[i], doc.mesh().xNodes[i], 1e-12);
  for (int j = 0; j <= 2; ++j) EXPECT_NEAR(back.yNodes[j], doc.mesh().yNodes[j], 1e-12);
  for (int k = 0; k <= 2; ++k) EXPECT_NEAR(back.zNodes[k], doc.mesh().zNodes[k], 1e-12);
  EXPECT_EQ(lines(read(out + "_mesh"))[2], " 0.2 0.5 0.1");
}

TEST_F(Save, OnlyVisibleCellsFollowTheView) {
  Document doc(p, p);
  LoadRequest req;
  load(doc, dir.write("a.den", values()));
  doc.editStore().topActiveData()(1, 0) = 2;  // column (1, 0) holds values 4, 5, 6
  SaveViewInfo view = whole(doc);
  const std::string out = dir.path() + "/v.den";
  const auto saved = [&](const SaveViewInfo& v, SaveMode mode) {
    EXPECT_TRUE(doc.saveModel(out, v, {mode, true, -5}));
    return lines(read(out));
  };
  {
    SCOPED_TRACE("active cells and the cutoff");
    view.displayMin = 2;
    view.displayMax = 30;
    const auto v = saved(view, SaveMode::EntireModel);
    EXPECT_EQ(v[0], "-5");
    EXPECT_EQ(v[1], "2");
    EXPECT_EQ(v[3], "-5");
    EXPECT_EQ(v[4], "-5") << "inactive";
    EXPECT_EQ(v[5], "6");
    EXPECT_EQ(v[30], "-5");
  }
  {
    SCOPED_TRACE("an inverted cutoff keeps the values outside");
    view.displayMin = 30;
    view.displayMax = 2;
    const auto v = saved(view, SaveMode::EntireModel);
    EXPECT_EQ(v[0], "1");
    EXPECT_EQ(v[2], "-5");
    EXPECT_EQ(v[29], "30");
  }
  {
    SCOPED_TRACE("padding hidden and a west cut, measured from the core");
    view.displayMin = 1;
    view.displayMax = 36;
    view.hiddenPadding = {1, 1, 0, 1, 0, 1};
    view.visibleCount = {2, 2, 2};
    view.cuts[kSideWest] = 1;
    auto v = saved(view, SaveMode::EntireModel);
    ASSERT_EQ(v.size(), 36u);
    for (int n = 0; n < 36; ++n) {
      const int k = n % 3, i = n / 3 % 4, j = n / 12;
      const bool shown = i == 2 && j < 2 && k < 2;
      EXPECT_EQ(v[n], shown ? std::to_string(n + 1) : "-5") << i << " " << j << " " << k;
    }
    v = saved(view, SaveMode::WithoutPadding);
    EXPECT_EQ(v, (std::vector<std::string>{"-5", "-5", "7", "8", "-5", "-5", "19", "20"}));
  }
}

// The scene's hidden flags decide what the view shows; a save of the visible
// cells must keep exactly the cells it draws.
TEST_F(Save, VisibleCellsAreTheCellsTheSceneDraws) {
  Document doc(p, p);
  LoadRequest req;
  p.yesNoAnswers = {false};
  load(doc, dir.write("a.den", values([](int n) { return n % 7 == 0 ? NAN : (n * 37 % 11) - 3.0; })));
  std::mt19937 rng(5);
  const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  SceneBuilder scene;
  SceneGeometry geometry;
  const ColourState colours;
  for (int round = 0; round < 400; ++round) {
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 3; ++j) doc.editStore().topActiveData()(i, j) = pick(0, 3);
    ViewState v;
    const int counts[3] = {4, 3, 3};
    for (int axis = 0; axis < 3; ++axis) {
      v.hiddenPadding[2 * axis] = pick(0, 1);
      v.hiddenPadding[2 * axis + 1] = pick(0, 1);
      v.visibleCount[axis] = counts[axis] - v.hiddenPadding[2 * axis] - v.hiddenPadding[2 * axis + 1];
    }
    for (int& c : v.cuts) c = pick(0, 1);
    v.ignoreCutPlanes = pick(0, 3) == 0;
    v.displayMin = pick(-4, 8) + 0.5 * pick(0, 1);
    v.displayMax = pick(-4, 8);
    scene.build(doc, v, colours, geometry);
    const HiddenFlags& flags = scene.hiddenFlags();
    const DrawBox& b = flags.box();
    const VisibleCells visible(doc.mesh(), SaveViewInfo::from(v), doc.store().topActiveIndex());
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 3; ++j)
        for (int k = 0; k < 3; ++k) {
          const bool drawn = i >= b.xs && i < b.xe && j >= b.ys && j < b.ye && k >= b.zs && k < b.ze &&
                             !flags.hidden(i, j, k);
          ASSERT_EQ(visible.visible(i, j, k, doc.currentModel()(i, j, k)), drawn)
              << "round " << round << " cell " << i << " " << j << " " << k;
        }
  }
}

TEST_F(Save, FilesTheModelCameFromAreNotOverwritten) {
  Document doc(p, p);
  LoadRequest req;
  const std::string model = dir.write("a.den", values());
  load(doc, model);
  EXPECT_FALSE(doc.saveModel(mesh, whole(doc), {}));
  EXPECT_EQ(p.lastMessageText(), "Saving would overwrite a file the model was loaded from:\n" + mesh +
                                     "\nNothing was saved; choose another name.");
  EXPECT_EQ(read(mesh), kMesh);
  const std::string core = dir.write("c.den", "models 1 1 1 0 1 1 0\n1\n2\n3\n4\n5\n6\n7\n8\n");
  Document other(p, p);
  std::filesystem::rename(mesh, core + "x_mesh");
  mesh = core + "x_mesh";
  load(other, core);
  EXPECT_FALSE(other.saveModel(core + "x", whole(other), {SaveMode::WithoutPadding, false, 0}));
  EXPECT_EQ(read(mesh), kMesh) << "the \"_mesh\" file would have been the loaded mesh";
  EXPECT_TRUE(doc.saveModel(model, whole(doc), {})) << "the model file itself may be saved over";
}

// Runs body as an unprivileged user when the tests run as root, for whom
// permissions do not stop a write. Returns body's result.
int asUnprivileged(const std::function<int()>& body) {
  if (::geteuid() != 0) return body();
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(100);
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 101;
}

TEST_F(Save, SaveOverAFileTheUserMayNotWriteKeepsIt) {
  Document doc(p, p);
  LoadRequest req;
  load(doc, dir.write("a.den", values()));
  const std::string folder = dir.path() + "/locked";
  const std::string old = dir.write("locked/b.den", "old\n");
  dir.write("locked/b.den_mesh", "old mesh\n");
  ASSERT_EQ(::chmod(old.c_str(), 0444), 0);
  ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
  const int result = asUnprivileged([&] {
    Document& d = doc;
    int bad = 0;
    for (const SaveMode mode : {SaveMode::EntireModel, SaveMode::WithoutPadding}) {
      const std::string path = d.modelPath();
      if (d.saveModel(old, whole(d), {mode, false, 0})) bad |= 1;
      if (read(old) != "old\n" || read(old + "_mesh") != "old mesh\n") bad |= 2;
      if (d.modelPath() != path) bad |= 4;
    }
    const std::string expected = saveFailureText(old, "Permission denied");
    if (p.messages.size() != 2 || p.messages[0].text != expected || p.messages[0].kind != MessageKind::Error)
      bad |= 8;
    return bad;
  });
  ::chmod(folder.c_str(), 0755);
  EXPECT_EQ(result, 0) << "1: reported success, 2: old file changed, 4: document renamed, 8: message";
  int files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++files;
  EXPECT_EQ(files, 2) << "no temporary file is left behind";
}

// A disk that fills up midway: the write fails after some bytes.
TEST_F(Save, DiskFullMidwayKeepsEveryOldFile) {
  Document doc(p, p);
  LoadRequest req;
  std::string big;
  for (int n = 0; n < 36; ++n) big += "0.123456789\n";
  p.yesNoAnswers = {false};
  load(doc, dir.write("a.den", big));
  const std::string out = dir.write("b.den", "old model\n");
  dir.write("b.den_mesh", "old mesh\n");
  dir.write("b.den_loc", "old elements\n");
  doc.setElements({Element{}});

  struct rlimit saved {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 100;  // the model takes 36 lines of "0.123457"
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::string path = doc.modelPath();
  const bool entire = doc.saveModel(out, whole(doc), {});
  const bool core = doc.saveModel(out, whole(doc), {SaveMode::WithoutPadding, false, 0});
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(entire);
  EXPECT_FALSE(core);
  EXPECT_EQ(read(out), "old model\n");
  EXPECT_EQ(read(out + "_mesh"), "old mesh\n");
  EXPECT_EQ(read(out + "_loc"), "old elements\n");
  EXPECT_EQ(doc.modelPath(), path);
  ASSERT_EQ(p.messages.size(), 2u);
  EXPECT_EQ(p.messages[0], (Recorded{MessageKind::Error, saveFailureText(out, "File too large")}));
  int files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 5) << "mesh, model and the three old files; no temporary file";
}

// Every file is written before any target changes; a failure after that,
// when one file was already put in place, says so.
TEST(CommitAll, AFailureAfterAFileWasSavedNamesIt) {
  TempDir dir;
  ScriptedPlatform p;
  const std::string first = dir.write("a.den", "old a\n"), second = dir.write("a.den_mesh", "old mesh\n");
  AtomicFile a(first), b(second);
  ASSERT_TRUE(a.open() && b.open());
  a.write("new a\n");
  b.write("new mesh\n");
  ASSERT_EQ(::unlink(b.tempPath().c_str()), 0);
  EXPECT_FALSE(commitAll({&a, &b}, p));
  EXPECT_EQ(p.lastMessageText(),
            saveFailureText(second, "No such file or directory") + "\nThis file was saved:\n" + first);
  EXPECT_EQ(read(first), "new a\n");
  EXPECT_EQ(read(second), "old mesh\n");
}

TEST_F(Save, CommandAsksForTheOptionsThenTheFile) {
  Document doc(p, p);
  LoadRequest req;
  load(doc, dir.write("a.den", values()));
  keptDummyValue() = kInitialDummyValue;
  std::vector<float> offered;
  std::optional<SaveModelOptions> answer;
  const auto dialog = [&](float dummy) {
    offered.push_back(dummy);
    return answer;
  };
  EXPECT_FALSE(saveModelCommand(doc, whole(doc), p, dialog)) << "cancelled";
  EXPECT_TRUE(p.fileDialogTitles.empty());

  answer = SaveModelOptions{SaveMode::EntireModel, true, 7};
  p.fileAnswers = {std::nullopt};
  EXPECT_FALSE(saveModelCommand(doc, whole(doc), p, dialog)) << "no file chosen";
  EXPECT_EQ(p.fileDialogTitles, std::vector<std::string>{"Save model file."});
  EXPECT_EQ(keptDummyValue(), 7.0f) << "kept although no file was written";

  p.fileAnswers = {dir.path() + "/out.den"};
  EXPECT_TRUE(saveModelCommand(doc, whole(doc), p, dialog));
  EXPECT_EQ(offered, (std::vector<float>{kInitialDummyValue, kInitialDummyValue, 7}));
  EXPECT_EQ(lines(read(dir.path() + "/out.den")).size(), 36u);

  doc.editStore().allocateModels(1, true);
  EXPECT_FALSE(saveModelCommand(doc, whole(doc), p, dialog)) << "vector models are not saved";
  EXPECT_EQ(offered.size(), 3u);
  keptDummyValue() = kInitialDummyValue;
}

TEST(MeshStatistics, TextWithAndWithoutPadding) {
  RectMesh m;
  m.nx = 10;
  m.ny = 10;
  m.nz = 5;
  for (int i = 0; i <= 10; ++i) m.xNodes.push_back(100 + 10 * i + (i > 8 ? 5 * (i - 8) : 0));
  for (int j = 0; j <= 10; ++j) m.yNodes.push_back(-50 + 20 * j);
  for (int k = 0; k <= 5; ++k) m.zNodes.push_back(0 - 2.5 * k * k);
  const std::string whole =
      "Mesh Statistics:\n\n# of cells:  10 x 10 x 5\ntotal # of cells:  500\nmesh dimensions:  110 x 200 x 62.5\n"
      "smallest cell dimensions:  10 x 20 x 2.5\nlargest cell dimensions:  15 x 20 x 22.5\n"
      "top south-west corner:  100  -50  0\n";
  EXPECT_EQ(meshStatisticsText(m), whole);
  const CoreRegion all{0, 0, 0, 10, 10, 5};
  EXPECT_EQ(meshStatisticsText(m, &all), whole) << "no padding hidden";
  const CoreRegion core{1, 2, 0, 7, 6, 4};
  EXPECT_EQ(meshStatisticsText(m, &core),
            whole + "\nWith padding cells removed:\n\n# of cells:  7 x 6 x 4\ntotal # of cells:  168\n"
                    "mesh dimensions:  70 x 120 x 40\nsmallest cell dimensions:  10 x 20 x 2.5\n"
                    "largest cell dimensions:  10 x 20 x 17.5\ntop south-west corner:  110  -10  0\n");
}

}  // namespace
}  // namespace litho
