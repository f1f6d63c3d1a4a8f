// render -o chooses the picture's format by the name's extension; --view draws a saved view.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/temp_dir.h"

namespace litho {
namespace {

int render(const std::string& args, const char* environment = "") {
  const int status = std::system(
      (std::string(environment) + " " + LITHO_BATCH_EXE + " render " + args + " 2>/dev/null").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string head(const std::string& path, std::size_t n) {
  std::ifstream in(path, std::ios::binary);
  std::string s(n, '\0');
  in.read(s.data(), static_cast<std::streamsize>(n));
  s.resize(static_cast<std::size_t>(in.gcount()));
  return s;
}

TEST(BatchRenderExport, FormatByExtensionAndSavedViews) {
  const std::string ex = std::string(LITHO_SOURCE_DIR) + "/examples/block/";
  const std::string model = ex + "block.msh " + ex + "density.den --size 200x150 -o ";
  test::TempDir dir;
  const std::string d = dir.path() + "/";
  struct Case {
    const char* name;
    const char* start;
  };
  for (const Case& c : {Case{"f.pdf", "%PDF"}, Case{"f.eps", "%!PS-Adobe-3.0 EPSF"},
                        Case{"f.svg", "<?xml"}, Case{"f.tex", "% Title: Lithoscan3D"}, Case{"f.bmp", "BM"}}) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(render(model + d + c.name), 0);
    EXPECT_EQ(head(d + c.name, std::string(c.start).size()), c.start);
  }
  EXPECT_EQ(render(model + d + "noext"), 0);
  EXPECT_EQ(head(d + "noext.jpg", 3), "\xFF\xD8\xFF") << "a name without extension is written as JPEG";

  EXPECT_EQ(render("--view " + ex + "gravity.ls3d --size 200x150 -o " + d + "view.svg"), 0);
  EXPECT_NE(head(d + "view.svg", 1 << 22).find("<text"), std::string::npos);
  EXPECT_EQ(render("--view " + ex + "gravity.ls3d " + ex + "block.msh -o " + d + "x.png"), 2);
  EXPECT_EQ(render(model + d + "gone/f.pdf"), 1);

  EXPECT_EQ(render("--help"), 0);
  EXPECT_EQ(render(model + d + "neg.png --cutoff -1 0.5 --size=120x90"), 0) << "a negative value is a value";
  EXPECT_EQ(head(d + "neg.png", 4), "\x89PNG");
  const std::string pair = std::string(LITHO_SOURCE_DIR) + "/examples/pair/";
  EXPECT_EQ(render(pair + "pair.msh " + pair + "timelapse.den --second " + pair + "reference.den -o " + d + "2.png"), 0);
  EXPECT_EQ(render(pair + "pair.msh NOMODEL --second " + pair + "reference.den -o " + d + "3.png"), 2);
}

TEST(BatchRenderExport, DrawsWithoutAnyDisplay) {
  const std::string view = "--view " + std::string(LITHO_SOURCE_DIR) + "/examples/block/block.ls3d --size 200x150 -o ";
  test::TempDir dir;
  const char* noDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY";
  EXPECT_EQ(render(view + dir.path() + "/v.png", noDisplay), 0);
  EXPECT_EQ(head(dir.path() + "/v.png", 4), "\x89PNG");
  EXPECT_EQ(render(view + dir.path() + "/v.pdf", noDisplay), 0);
  EXPECT_EQ(head(dir.path() + "/v.pdf", 4), "%PDF");
}

// The cell faces drawn in both modes, in bitmaps and vector files alike.
TEST(BatchRenderExport, CellFacesInBothModes) {
  const std::string ex = std::string(LITHO_SOURCE_DIR) + "/examples/block/";
  const std::string model = ex + "block.msh " + ex + "density.den --size 200x150 ";
  const std::string faces = " --faces " + ex + "face_weights.txt";
  test::TempDir dir;
  const std::string d = dir.path() + "/";
  auto stats = [](const std::string& args) {
    std::string text;
    if (FILE* p = ::popen((std::string(LITHO_BATCH_EXE) + " render --stats " + args + " 2>&1").c_str(), "r")) {
      char buf[512];
      while (std::fgets(buf, sizeof buf, p)) text += buf;
      ::pclose(p);
    }
    return text;
  };
  EXPECT_NE(stats(model + "-o " + d + "l.png" + faces).find("cell face traces: "), std::string::npos);
  // Below 0.5 lie the 900 faces of the contact and the 695 faces around the bodies, all in the core.
  const std::string bodies = model + "--cutoff 0.1 1 -o " + d;
  const std::string surface = stats(bodies + "s.svg" + faces + ":surface --faces-cutoff 0 0.5");
  EXPECT_NE(surface.find("cell faces drawn: 1595\n"), std::string::npos) << surface;
  EXPECT_EQ(render(bodies + "p.svg"), 0);
  EXPECT_GT(head(d + "s.svg", 1 << 24).size(), head(d + "p.svg", 1 << 24).size() + 1000 * 40)
      << "the faces are in the file";

  EXPECT_EQ(render(model + "-o " + d + "x.png --faces-cutoff 0 1"), 2) << "a cutoff needs --faces";
  EXPECT_EQ(render(model + "-o " + d + "x.png --faces"), 2);
  EXPECT_EQ(render(model + "-o " + d + "x.png --faces " + ex + "density.den"), 1) << "too short a file";
}

}  // namespace
}  // namespace litho
