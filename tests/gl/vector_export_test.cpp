// Vector export through GL2PS: real text in PDF and SVG, the PDF's picture
// against the screen, and the feedback buffer growing until the frame fits.
#include "gl/vector_export.h"

#include <GL/gl.h>
#include <gl2ps.h>
#include <gtest/gtest.h>

#include <QImage>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>

#include "gl/frame_gl.h"
#include "support/qt_image_test.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

// Remembers what the overlays write, then draws it on screen as usual.
class RecordingText : public TextRenderer {
 public:
  explicit RecordingText(TextRenderer& screen) : screen_(screen) {}
  using TextRenderer::drawText;
  void drawText(const std::string& utf8) override {
    if (utf8.find_first_not_of(' ') != std::string::npos) strings.insert(utf8);
    screen_.drawText(utf8);
  }
  double textWidth(const std::string& utf8) override { return screen_.textWidth(utf8); }
  std::set<std::string> strings;

 private:
  TextRenderer& screen_;
};

std::string run(const std::string& command) {
  std::string out;
  if (FILE* p = ::popen(command.c_str(), "r")) {
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    ::pclose(p);
  }
  return out;
}

std::string withoutSpaces(std::string s) {
  std::erase_if(s, [](char c) { return c == ' ' || c == '\n' || c == '\f'; });
  return s;
}

class VectorExportTest : public test::OffscreenViewTest {
 protected:
  VectorExportTest() : OffscreenViewTest(400, 300) {}
  void SetUp() override {
    ASSERT_TRUE(gl.valid()) << gl.error();
    const std::string ex = std::string(LITHO_SOURCE_DIR) + "/examples/block/";
    LoadRequest req;
    req.meshPath = ex + "block.msh";
    req.modelPath = ex + "density.den";
    ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
    showNewLoad();
    view.state.showLabels = true;
  }
  VectorPageResult exportAs(ImageFormat f) {
    gl.makeCurrent();
    return exportViewAsVector(f, "fig", view.state, gl.resources(), {0, 0, gl.width(), gl.height()},
                              [&] { gl.draw(view, doc); });
  }
  // At 72 dpi the page has the viewport's pixels.
  void expectPdfLooksLikeScreen(const std::string& pdfPath, const QImage& screen, const std::string& saveAs) {
    run("pdftoppm -q -r 72 -png -singlefile " + pdfPath + " " + dir.path() + "/page");
    QImage page(QString::fromStdString(dir.path() + "/page.png"));
    ASSERT_EQ(page.size(), screen.size());
    page = page.convertToFormat(QImage::Format_RGB32);
    int differing = 0;
    for (int y = 0; y < page.height(); ++y)
      for (int x = 0; x < page.width(); ++x) {
        const QRgb a = page.pixel(x, y), b = screen.pixel(x, y);
        if (std::abs(qRed(a) - qRed(b)) > 40 || std::abs(qGreen(a) - qGreen(b)) > 40 ||
            std::abs(qBlue(a) - qBlue(b)) > 40)
          ++differing;
      }
    EXPECT_LT(differing, page.width() * page.height() / 20) << differing << " pixels differ";
    if (HasFailure()) page.save(QString::fromStdString(std::string(LITHO_BINARY_DIR) + "/Testing/Temporary/" + saveAs));
  }
  test::TempDir dir;
};

TEST_F(VectorExportTest, LabelsAndColourbarAreTextAndThePdfLooksLikeTheScreen) {
  RecordingText recorder(gl.resources().screenText());
  gl.resources().setText(&recorder);
  const QImage screen = render();
  gl.resources().setText(nullptr);
  ASSERT_GT(recorder.strings.size(), 5u) << "axis labels and colourbar numbers";

  const VectorPageResult pdf = exportAs(ImageFormat::Pdf);
  ASSERT_EQ(pdf.status, VectorPageResult::Status::Written);
  EXPECT_EQ(pdf.attempts, 1);
  EXPECT_FALSE(view.state.exportInProgress);
  const std::string pdfPath = dir.write("fig.pdf", pdf.bytes);
  const std::string text = withoutSpaces(run("pdftotext -q " + pdfPath + " -"));
  const VectorPageResult svg = exportAs(ImageFormat::Svg);
  ASSERT_EQ(svg.status, VectorPageResult::Status::Written);
  for (const std::string& s : recorder.strings) {
    SCOPED_TRACE(s);
    EXPECT_NE(text.find(withoutSpaces(s)), std::string::npos) << "in the PDF's text";
    EXPECT_NE(svg.bytes.find(">" + s + "<"), std::string::npos) << "as an SVG text element";
  }

  // Faces and colours in place; the text's font and the edges' smoothing differ.
  expectPdfLooksLikeScreen(pdfPath, screen, "fig_pdf.png");
}

// Pixels within 40 of colour in every channel.
int pixelsNear(const QImage& img, const Rgba& colour) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QRgb a = img.pixel(x, y);
      n += std::abs(qRed(a) - colour[0] * 255) <= 40 && std::abs(qGreen(a) - colour[1] * 255) <= 40 &&
           std::abs(qBlue(a) - colour[2] * 255) <= 40;
    }
  return n;
}

TEST_F(VectorExportTest, ModelFacesHideTheLinesBehindThemAsOnTheScreen) {
  view.state.showLabels = false;
  CellFacesOverlay& o = view.cellFaces;
  o.adoptMeshSize(doc.mesh().nx, doc.mesh().ny, doc.mesh().nz);
  o.path = std::string(LITHO_SOURCE_DIR) + "/examples/block/face_weights.txt";
  ASSERT_TRUE(loadCellFaces(o, p));
  o.lineWidth = 1;
  const QImage screen = render();
  const VectorPageResult pdf = exportAs(ImageFormat::Pdf);
  ASSERT_EQ(pdf.status, VectorPageResult::Status::Written);
  run("pdftoppm -q -r 72 -png -singlefile " + dir.write("faces.pdf", pdf.bytes) + " " + dir.path() + "/faces");
  const QImage page = QImage(QString::fromStdString(dir.path() + "/faces.png")).convertToFormat(QImage::Format_RGB32);
  // The contact's traces on the far sides stay hidden behind the block.
  const Rgba contact = o.colourmap->entries[static_cast<std::size_t>(facesColourIndex(0.4f, o.colourMin, o.colourMax))];
  const int onScreen = pixelsNear(screen, contact);
  ASSERT_GT(onScreen, 200);
  // With the GL offset of 1000 units, which GL2PS reads in its own depth scale, they showed: 464 against 340.
  EXPECT_LT(std::abs(pixelsNear(page, contact) - onScreen), onScreen / 5);
}

TEST_F(VectorExportTest, FeedbackBufferDoublesUntilTheFrameFitsAndWritesTheSameFile) {
  gl.makeCurrent();
  // 40 000 quadrilaterals, as 80 000 triangles, need about 1.8 Mi floats of feedback.
  int draws = 0;
  const auto quads = [&] {
    ++draws;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_CULL_FACE);
    glBegin(GL_QUADS);
    for (int i = 0; i < 40000; ++i) {
      const float x = -1 + 2.0f * static_cast<float>(i % 300) / 300, y = -1 + 2.0f * static_cast<float>(i / 300) / 200;
      glColor3f(x * x, y * y, 0.5f);
      glVertex3f(x, y, 0);
      glVertex3f(x + 0.005f, y, 0);
      glVertex3f(x + 0.005f, y + 0.008f, 0);
      glVertex3f(x, y + 0.008f, 0);
    }
    glEnd();
    glEnable(GL_CULL_FACE);
  };
  const std::array<int, 4> vp{0, 0, gl.width(), gl.height()};
  const VectorPageResult grown = writeVectorPage(GL2PS_EPS, GL2PS_NO_SORT, vp, "q.eps", 0, quads);
  EXPECT_EQ(grown.status, VectorPageResult::Status::Written);
  EXPECT_EQ(grown.attempts, 2);
  EXPECT_EQ(draws, 2);
  EXPECT_EQ(grown.bufferFloats, 2 * kMinFeedbackFloats);
  const VectorPageResult sized = writeVectorPage(GL2PS_EPS, GL2PS_NO_SORT, vp, "q.eps", 4 * kMinFeedbackFloats, quads);
  EXPECT_EQ(sized.attempts, 1);
  const auto undated = [](std::string s) {
    const auto at = s.find("%%CreationDate");
    if (at != std::string::npos) s.erase(at, s.find('\n', at) - at);
    return s;
  };
  EXPECT_EQ(undated(sized.bytes), undated(grown.bytes));
}

}  // namespace
}  // namespace litho
