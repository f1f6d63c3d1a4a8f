// Format by extension, capture sizes, the feedback buffer and writing an image
// whole or not at all.
#include "core/output/image_export.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/io/atomic_file.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

TEST(ImageExport, FormatComesFromTheExtensionAfterTheDefaultIsApplied) {
  struct Case {
    const char* typed;
    const char* written;
    ImageFormat format;
  };
  for (const Case& c : {Case{"/d/fig", "/d/fig.jpg", ImageFormat::Bitmap},
                        Case{"/d/fig.pdf", "/d/fig.pdf", ImageFormat::Pdf},
                        Case{"/d/fig.svg", "/d/fig.svg", ImageFormat::Svg},
                        Case{"/d/fig.PDF", "/d/fig.PDF", ImageFormat::Bitmap},  // case-sensitive
                        Case{"/d.eps/fig", "/d.eps/fig.jpg", ImageFormat::Bitmap},
                        Case{"/d/fig.tar.ps", "/d/fig.tar.ps", ImageFormat::Ps}}) {
    SCOPED_TRACE(c.typed);
    const std::string path = withDefaultImageExtension(c.typed);
    EXPECT_EQ(path, c.written);
    EXPECT_EQ(imageFormatForPath(path), c.format);
  }
}

TEST(ImageExport, BitmapDropsAFivePixelMarginAndNeedsMoreThanFourteenPixels) {
  const auto r = bitmapCaptureRect(640, 480);
  ASSERT_TRUE(r);
  EXPECT_EQ((std::array{r->x, r->y, r->width, r->height}), (std::array{5, 5, 630, 470}));
  EXPECT_FALSE(bitmapCaptureRect(14, 480));
  EXPECT_FALSE(bitmapCaptureRect(640, 14));
  EXPECT_TRUE(bitmapCaptureRect(15, 15));
  const PixelRect c = clipboardCaptureRect(640, 480);
  EXPECT_EQ((std::array{c.x, c.y, c.width, c.height}), (std::array{0, 0, 635, 475}));
}

TEST(ImageExport, FeedbackBufferStartsFromTheSceneAndDoubles) {
  FeedbackCounts small;
  small.faces = 100;
  EXPECT_EQ(feedbackEstimate(small), kMinFeedbackFloats);
  FeedbackCounts large;
  large.faces = 262000;
  large.lineVertices = 2000;
  // A quad comes back as two triangles of 23 floats: one attempt must be enough.
  EXPECT_GE(feedbackEstimate(large), 262000u * 46);
  EXPECT_EQ(grownFeedbackSize(kMinFeedbackFloats), 2 * kMinFeedbackFloats);
  std::size_t n = kMinFeedbackFloats;
  int steps = 0;
  while (n < 2147483647u && steps < 100) n = grownFeedbackSize(n), ++steps;
  EXPECT_LT(steps, 20) << "growth stops at the largest GLsizei";
}

std::string contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(ImageExport, AFailedWriteKeepsTheEarlierFileAndLeavesNoPartialOne) {
  test::TempDir dir;
  test::ScriptedPlatform p;
  const std::string path = dir.write("fig.pdf", "earlier figure");
  {
    SCOPED_TRACE("disk full");
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool ok = writeImageFile(path, std::string(5000, 'x'), p, kErrorSavingImage);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(ok);
    EXPECT_EQ(contents(path), "earlier figure");
    ASSERT_EQ(p.messages.size(), 1u);
    EXPECT_EQ(p.messages[0], (test::Recorded{MessageKind::Error, kErrorSavingImage}));
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1) << "no temporary file is left";
  }
  {
    SCOPED_TRACE("missing folder, system reason");
    const std::string gone = dir.path() + "/no/such/fig.png";
    EXPECT_FALSE(writeImageFile(gone, "abc", p));
    EXPECT_EQ(p.lastMessageText(), saveFailureText(gone, "No such file or directory"));
    EXPECT_FALSE(std::filesystem::exists(gone));
  }
  EXPECT_TRUE(writeImageFile(path, "new figure", p));
  EXPECT_EQ(contents(path), "new figure");
}

}  // namespace
}  // namespace litho
