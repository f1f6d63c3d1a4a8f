// The GL layer's own resources and its two text back ends.
#include <GL/gl.h>
#include <gl2ps.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/glyph_font.h"
#include "gl/frame_gl.h"
#include "gl/gl2ps_text.h"
#include "gl/gl_resources.h"
#include "support/qt_image_test.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

constexpr int kWidth = 160, kHeight = 120;

class GlTextTest : public test::OffscreenViewTest {
 protected:
  GlTextTest() : OffscreenViewTest(kWidth, kHeight) {}
  void SetUp() override {
    ASSERT_TRUE(gl.valid()) << gl.error();
    LoadRequest req;
    req.meshPath = dir.write("box.msh", "10 10 5\n0 0 0\n10*100\n10*100\n5*100\n");
    ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
    showNewLoad();
  }
  // Lit pixels after drawing utf8 in white on black with identity matrices.
  int litPixels(const std::string& utf8) {
    gl.makeCurrent();
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3f(1, 1, 1);
    gl.resources().screenText().drawText(-0.9, -0.5, 0, utf8);
    std::vector<unsigned char> rgba(kWidth * kHeight * 4);
    readFrame(kWidth, kHeight, rgba.data());
    int n = 0;
    for (std::size_t p = 0; p < rgba.size(); p += 4) n += rgba[p] > 127;
    return n;
  }
  // Draws the view's frame into a GL2PS page of the given format and returns the file.
  std::string exportPage(GLint format, const std::string& name) {
    const std::string path = dir.path() + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_TRUE(f);
    if (!f) return {};
    gl.makeCurrent();
    setViewport(kWidth, kHeight);
    GLint viewport[4] = {0, 0, kWidth, kHeight};
    Gl2psText text(format, 12, &gl.resources().screenText());
    gl.resources().setText(&text);
    gl2psBeginPage("label", "Lithoscan3D", viewport, format, GL2PS_BSP_SORT,
                   GL2PS_SILENT | GL2PS_USE_CURRENT_VIEWPORT | GL2PS_NO_PS3_SHADING, GL_RGBA, 0, nullptr, 0, 0, 0,
                   4 << 20, f, path.c_str());
    view.state.frame.rebuild();
    gl.draw(view, doc);
    EXPECT_EQ(gl2psEndPage(), GL2PS_SUCCESS);
    gl.resources().setText(nullptr);
    std::fclose(f);
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  test::TempDir dir;
};

TEST_F(GlTextTest, CharactersBeyondAsciiAreDrawnAndKept) {
  EXPECT_EQ(litPixels("\x01\x7F"), 0) << "control characters draw nothing";
  const int e = litPixels("e");
  EXPECT_GT(e, 0);
  for (const char* s : {"\xC3\xA9", "\xC2\xB0", "\xC2\xB5"}) {
    SCOPED_TRACE(s);
    EXPECT_GT(litPixels(s), 0);
  }
  EXPECT_NE(litPixels("\xC3\xA9"), e) << "é is not drawn as e";
  EXPECT_EQ(gl.resources().screenText().extraGlyphCount(), 3u) << "one list per character, kept";

  SCOPED_TRACE("a larger font replaces every list on the next draw");
  FontSpec large;
  large.height = -24;
  gl.resources().screenText().setGlyphSource(glyphSource(large));
  EXPECT_GT(litPixels("e"), e);
  EXPECT_EQ(gl.resources().screenText().extraGlyphCount(), 0u);
}

TEST_F(GlTextTest, VectorPagesHoldTheLabelsAsText) {
  view.toggleLabels();
  {
    SCOPED_TRACE("SVG keeps UTF-8");
    const std::string svg = exportPage(GL2PS_SVG, "view.svg");
    EXPECT_NE(svg.find(">South<"), std::string::npos);
    EXPECT_NE(svg.find("Helvetica"), std::string::npos);
  }
  {
    SCOPED_TRACE("PostScript takes the Latin-1 form of a label");
    view.selectCutPlane(kWest);
    const std::string ps = exportPage(GL2PS_EPS, "view.eps");
    EXPECT_NE(ps.find("(Easting =  0)"), std::string::npos);
    std::FILE* f = std::fopen((dir.path() + "/unit.ps").c_str(), "wb");
    ASSERT_TRUE(f);
    gl.makeCurrent();
    GLint viewport[4] = {0, 0, kWidth, kHeight};
    gl2psBeginPage("unit", "Lithoscan3D", viewport, GL2PS_PS, GL2PS_NO_SORT, GL2PS_SILENT, GL_RGBA, 0, nullptr, 0, 0, 0,
                   1 << 20, f, "unit.ps");
    glRasterPos2d(0, 0);
    Gl2psText(GL2PS_PS, 10)
        .drawText(
            "20 \xC2\xB0"
            "C");
    gl2psEndPage();
    std::fclose(f);
    std::ifstream in(dir.path() + "/unit.ps", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    EXPECT_NE(s.str().find("(20 \xB0"
                           "C)"),
              std::string::npos);
  }
}

TEST_F(GlTextTest, ListNamesComeFromTheContextAndGoWithRelease) {
  view.toggleLabels();
  ASSERT_FALSE(gl.render(view, doc).isNull());
  GlResources& r = gl.resources();
  const unsigned scene = r.scene().listName();
  ASSERT_NE(scene, 0u);
  EXPECT_TRUE(glIsList(scene));
  EXPECT_GE(r.lists().blockCount(), 2u) << "the scene and the glyphs";
  r.release();
  EXPECT_FALSE(glIsList(scene));
  EXPECT_EQ(r.lists().blockCount(), 0u);
  EXPECT_FALSE(r.scene().compiled());
  SCOPED_TRACE("the next frame builds them again without being asked to");
  view.state.frame.rebuilt();
  gl.draw(view, doc);
  EXPECT_TRUE(r.scene().compiled());
  EXPECT_TRUE(glIsList(r.scene().listName()));
}

}  // namespace
}  // namespace litho
