#include "core/faces/cell_faces.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "core/faces/cell_faces_editor.h"
#include "core/faces/faces_reader.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

// The four blocks of a file for an nx x ny x nz mesh: cell lines "c", then
// the faces in file order, each line holding value(block, i, j, k).
template <class Value>
std::string facesText(int nx, int ny, int nz, Value value) {
  std::ostringstream s;
  for (long long c = 0; c < static_cast<long long>(nx) * ny * nz; ++c) s << "c\n";
  const int dims[3][3] = {{nx - 1, ny, nz}, {nx, ny - 1, nz}, {nx, ny, nz - 1}};
  for (int b = 0; b < 3; ++b)
    for (int j = 0; j < dims[b][1]; ++j)
      for (int i = 0; i < dims[b][0]; ++i)
        for (int k = 0; k < dims[b][2]; ++k) s << value(b, i, j, k) << '\n';
  return s.str();
}

std::string codes(int b, int i, int j, int k) { return std::to_string(1000 * b + 100 * i + 10 * j + k); }

struct Loaded {
  test::ScriptedPlatform p;
  test::TempDir dir;
  CellFacesOverlay o;
  bool load(int nx, int ny, int nz, const std::string& text) {
    o.adoptMeshSize(nx, ny, nz);
    o.path = dir.write("w.fcs", text);
    return loadCellFaces(o, p);
  }
};

TEST(FacesReader, BlocksLandOnTheirFacesInFileOrder) {
  Loaded f;
  ASSERT_TRUE(f.load(3, 2, 2, facesText(3, 2, 2, codes) + "9e9\nnot read\n")) << f.p.lastMessageText();
  EXPECT_TRUE(f.o.loaded);
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 2; ++j)
      for (int k = 0; k < 2; ++k) EXPECT_EQ(f.o.x(i, j, k), 100 * i + 10 * j + k);
  EXPECT_EQ(f.o.y(2, 0, 1), 1000 + 201);
  EXPECT_EQ(f.o.z(2, 1, 0), 2000 + 210);
  EXPECT_EQ(f.o.dataMin, 0);
  EXPECT_EQ(f.o.dataMax, 2210);
  EXPECT_EQ(f.o.colourMax, 2210);
  ASSERT_TRUE(f.o.colourmap);
  EXPECT_TRUE(f.p.messages.empty());
}

TEST(FacesReader, OneCellAxesHaveEmptyBlocks) {
  Loaded f;
  // 1 x 3 x 1: no X and no Z faces; the file is the 3 cells and 2 Y faces.
  ASSERT_TRUE(f.load(1, 3, 1, "1\n1\n1\n0.5\n0.25")) << f.p.lastMessageText();
  EXPECT_EQ(f.o.y(0, 1, 0), 0.25f);
  EXPECT_EQ(f.o.dataMin, 0.25f);
  EXPECT_EQ(f.o.x.size() + f.o.z.size(), 0u);
}

TEST(FacesReader, FailuresSayWhyAndLeaveTheOverlayUnloaded) {
  {
    SCOPED_TRACE("one line short in the last block");
    Loaded f;
    std::string text = facesText(2, 2, 2, codes);
    text.erase(text.rfind('\n', text.size() - 2) + 1);
    EXPECT_FALSE(f.load(2, 2, 2, text));
    EXPECT_EQ(f.p.messages.back().kind, MessageKind::Error);
    EXPECT_EQ(f.p.lastMessageText().rfind("Error reading faces file\n" + f.o.path, 0), 0u) << f.p.lastMessageText();
    EXPECT_FALSE(f.o.loaded);
    EXPECT_FALSE(f.o.arraysPresent());
  }
  {
    SCOPED_TRACE("a face line without a number, with its line");
    Loaded f;
    EXPECT_FALSE(f.load(1, 1, 2, "\n\nx\n"));
    EXPECT_NE(f.p.lastMessageText().find("line 3: no number"), std::string::npos) << f.p.lastMessageText();
  }
  {
    SCOPED_TRACE("the cell block itself short, with two threads");
    Loaded f;
    f.o.adoptMeshSize(2, 2, 2);
    f.o.x.allocate(1, 2, 2);
    f.o.y.allocate(2, 1, 2);
    f.o.z.allocate(2, 2, 1);
    LineSource in(std::string_view("1\n1\n"));
    FacesRange range;
    EXPECT_FALSE(readFacesFile(in, "a\nb", {2, 2, 2, 2}, f.o.x, f.o.y, f.o.z, range, f.p));
    EXPECT_EQ(f.p.lastMessageText(),
              "Error reading faces file\na\\nb\nThe file ends after 2 lines; it needs 8 cell lines and then 12 face "
              "lines.");
  }
  {
    SCOPED_TRACE("no name, no file");
    Loaded f;
    f.o.adoptMeshSize(2, 2, 2);
    EXPECT_FALSE(loadCellFaces(f.o, f.p));
    EXPECT_EQ(f.p.messages.back(), (test::Recorded{MessageKind::Warning, "Filename missing."}));
    f.o.path = f.dir.path() + "/none\x1b";
    EXPECT_FALSE(loadCellFaces(f.o, f.p));
    EXPECT_EQ(f.p.lastMessageText(), "There is no such file.\nCould not open\n" + f.dir.path() + "/none\\x1b");
    EXPECT_EQ(f.p.waitCursorDepth, 0);
  }
}

TEST(FacesReader, TwoThreadsReadWhatOneReads) {
  const std::string text = facesText(7, 5, 9, [](int b, int i, int j, int k) {
    return b == 1 && i == 3 ? std::string("nan") : std::to_string(std::sin(b + 0.1 * i + 0.01 * j + 0.3 * k));
  });
  CellFacesOverlay one, two;
  for (CellFacesOverlay* o : {&one, &two}) {
    o->x.allocate(6, 5, 9);
    o->y.allocate(7, 4, 9);
    o->z.allocate(7, 5, 8);
  }
  test::ScriptedPlatform p;
  FacesRange r1, r2;
  LineSource a(text), b(text);
  ASSERT_TRUE(readFacesFile(a, "f", {7, 5, 9, 1}, one.x, one.y, one.z, r1, p));
  ASSERT_TRUE(readFacesFile(b, "f", {7, 5, 9, 2}, two.x, two.y, two.z, r2, p));
  const ModelSet* ones[3] = {&one.x, &one.y, &one.z};
  const ModelSet* twos[3] = {&two.x, &two.y, &two.z};
  for (int b = 0; b < 3; ++b)
    for (std::size_t c = 0; c < ones[b]->size(); ++c) {
      const float u = ones[b]->data()[c], v = twos[b]->data()[c];
      ASSERT_TRUE(u == v || (std::isnan(u) && std::isnan(v))) << b << " " << c;
    }
  EXPECT_TRUE(std::isnan(one.y(3, 2, 4)));
  // NaN takes no part in the range.
  EXPECT_EQ(r1.min, r2.min);
  EXPECT_EQ(r1.max, r2.max);
  EXPECT_LE(r1.max, 1.0f);
}

TEST(FacesColour, TruncatesClampsAndGivesAnEmptyRangeEntryZero) {
  EXPECT_EQ(facesColourIndex(0.5f, 0, 1), 30);
  EXPECT_EQ(facesColourIndex(0.999f, 0, 1), 59);
  EXPECT_EQ(facesColourIndex(7, 0, 1), 60);
  EXPECT_EQ(facesColourIndex(-7, 0, 1), 0);
  EXPECT_EQ(facesColourIndex(3, 3, 3), 0);
  EXPECT_EQ(facesColourIndex(4, 3, 3), 0);
  EXPECT_EQ(facesColourIndex(INFINITY, 0, 1), 60);
}

// The dialog's rules: what is enabled, what each control does, what OK checks.
TEST(CellFacesEditor, LoadEnablesAndOkStores) {
  Loaded f;
  f.o.adoptMeshSize(2, 2, 2);
  const std::string path = f.dir.write("w.fcs", facesText(2, 2, 2, [](int b, int, int, int k) { return b + 0.5 * k; }));
  CellFacesEditor e(f.o, f.p, f.dir.path());
  EXPECT_EQ(e.fields.max, "0");
  EXPECT_EQ(e.fields.lineWidth, "3");
  EXPECT_EQ(e.enables(), (CellFacesEnables{false, false, true, false}));

  f.p.fileAnswers.push_back(path);
  e.browse();
  ASSERT_TRUE(e.load());
  EXPECT_EQ(f.p.fileDialogTitles.back(), "Load cell faces file");
  EXPECT_EQ(e.fields.max, "2");
  EXPECT_EQ(e.fields.cutoffMin, "0");
  EXPECT_EQ(e.enables(), (CellFacesEnables{true, true, true, false}));

  e.setColourbar(true);
  e.chooseMethod(kFacesNone);
  EXPECT_FALSE(e.colourbar) << "a disabled colourbar is cleared";
  e.chooseMethod(kFacesSurface);
  EXPECT_EQ(e.enables(), (CellFacesEnables{true, true, false, true}));
  e.setColourbar(true);
  e.fields.max = e.fields.min = "1.5";  // an empty range is accepted
  e.fields.cutoffMax = "0.5";
  e.fields.lineWidth = "abc";  // disabled: keeps the width
  ASSERT_TRUE(e.accept());
  EXPECT_EQ(f.o.method, kFacesSurface);
  EXPECT_EQ(f.o.colourMin, 1.5f);
  EXPECT_EQ(f.o.cutoffMax, 0.5f);
  EXPECT_EQ(f.o.lineWidth, 3);
  EXPECT_TRUE(f.o.colourbarShown());

  CellFacesEditor again(f.o, f.p);
  EXPECT_EQ(again.fields.method, kFacesSurface);
  EXPECT_EQ(again.filename, path);
  again.reset();
  EXPECT_EQ(again.fields.max, "2");
  again.editFilename(path + "x");
  EXPECT_FALSE(f.o.loaded);
  EXPECT_FALSE(f.o.colourbar);
  EXPECT_TRUE(again.overlayChanged());
}

TEST(CellFacesEditor, OkRefusesWhatCannotBeDrawn) {
  CellFacesFields fields;
  EXPECT_FALSE(checkCellFacesFields(fields));
  fields.max = "1";
  fields.min = "2";
  EXPECT_EQ(checkCellFacesFields(fields)->text, "min should be less than max.");
  fields.min = "1";
  fields.lineWidth = "0.99";
  EXPECT_EQ(checkCellFacesFields(fields)->text, "Line width should be greater than 1.");
  fields.lineWidth = "1";
  EXPECT_FALSE(checkCellFacesFields(fields));
  fields.method = kFacesSurface;
  fields.lineWidth = "0";
  fields.cutoffMin = "";
  EXPECT_EQ(checkCellFacesFields(fields)->focus, FacesControl::CutoffMin);

  test::ScriptedPlatform p;
  CellFacesOverlay o;
  CellFacesEditor e(o, p);
  e.fields.min = "5";
  EXPECT_FALSE(e.accept());
  EXPECT_EQ(p.messages.back(), (test::Recorded{MessageKind::Warning, "min should be less than max."}));
  EXPECT_EQ(e.takeFocus(), FacesControl::Max);
  EXPECT_EQ(o.colourMin, 0) << "nothing stored";
}

}  // namespace
}  // namespace litho
