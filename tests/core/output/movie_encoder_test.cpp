// Movies written through FFmpeg decode to the frames that went in: count,
// size, rate, codec, orientation and colours.
#include "core/output/movie_encoder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/movie_probe.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

// Four flat quadrants (top left red, top right green, bottom left blue, bottom
// right grey) with a white bar that moves with the frame number; rows from the bottom.
std::vector<unsigned char> picture(int w, int h, int frame) {
  std::vector<unsigned char> rgba(static_cast<std::size_t>(w) * h * 4);
  for (int row = 0; row < h; ++row)
    for (int x = 0; x < w; ++x) {
      const int yFromTop = h - 1 - row;
      const bool left = x < w / 2, top = yFromTop < h / 2;
      unsigned char c[3] = {128, 128, 128};
      if (top && left) c[0] = 200, c[1] = 40, c[2] = 40;
      if (top && !left) c[0] = 40, c[1] = 200, c[2] = 40;
      if (!top && left) c[0] = 40, c[1] = 40, c[2] = 200;
      if (x / 8 == frame + 1) c[0] = c[1] = c[2] = 255;
      unsigned char* p = &rgba[(static_cast<std::size_t>(row) * w + x) * 4];
      p[0] = c[0], p[1] = c[1], p[2] = c[2], p[3] = 0;
    }
  return rgba;
}

// The same picture as RGB rows from the top.
std::vector<unsigned char> rgbFromTop(const std::vector<unsigned char>& rgba, int w, int h) {
  std::vector<unsigned char> rgb(static_cast<std::size_t>(w) * h * 3);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < 3; ++c)
        rgb[(static_cast<std::size_t>(y) * w + x) * 3 + c] =
            rgba[(static_cast<std::size_t>(h - 1 - y) * w + x) * 4 + c];
  return rgb;
}

TEST(MovieEncoder, WrittenMoviesDecodeToTheirFrames) {
  test::TempDir dir;
  struct Case {
    const char* name;
    int w, h;
    std::vector<std::string> missing;
    const char* codec;
    int encodedW, encodedH;
    double tolerance;  // mean difference per byte; Microsoft Video 1 keeps 5 bits a channel
  };
  const Case cases[] = {{"a.avi", 160, 120, {}, "msvideo1", 160, 120, 6},
                        {"b.AVI", 161, 121, {}, "mjpeg", 161, 121, 4},
                        {"c.mp4", 161, 121, {}, "h264", 160, 120, 4},
                        {"d.mp4", 160, 120, {"libx264"}, "mpeg4", 160, 120, 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.path() + "/" + c.name;
    auto encoder = makeMovieEncoder(MovieEncoderOptions{c.missing});
    ASSERT_TRUE(encoder->open(path, c.w, c.h, 12)) << encoder->error();
    EXPECT_EQ(encoder->notice().empty(), c.missing.empty());
    std::vector<std::vector<unsigned char>> frames;
    for (int f = 0; f < 5; ++f) {
      frames.push_back(picture(c.w, c.h, f));
      ASSERT_TRUE(encoder->write(MovieFrame{c.w, c.h, frames.back().data(), true})) << encoder->error();
    }
    EXPECT_EQ(encoder->encodedWidth(), c.encodedW);
    ASSERT_TRUE(encoder->finish()) << encoder->error();

    const test::MovieProbe probe = test::probeMovie(path);
    EXPECT_EQ(probe.frames, 5);
    EXPECT_EQ(probe.width, c.encodedW);
    EXPECT_EQ(probe.height, c.encodedH);
    EXPECT_EQ(probe.rate, "12/1");
    EXPECT_EQ(probe.codec, c.codec);
    if (probe.codec == "msvideo1") {
      EXPECT_EQ(probe.tag, "MSVC");
    }
    for (int f : {0, 3}) {
      const auto decoded = test::decodeFrame(path, f);
      const auto sent = rgbFromTop(frames[static_cast<std::size_t>(f)], c.w, c.h);
      EXPECT_LT(test::meanDifference(decoded, c.encodedW, sent, c.w, c.encodedW, c.encodedH), c.tolerance) << f;
      ASSERT_GE(decoded.size(), 3u);
      EXPECT_GT(decoded[0], 150) << "the red quadrant is at the top left";
      EXPECT_LT(decoded[2], 90);
    }
  }
}

TEST(MovieEncoder, FailuresLeaveNoFile) {
  test::TempDir dir;
  auto encoder = makeMovieEncoder();
  EXPECT_FALSE(encoder->open(dir.path() + "/gone/m.avi", 64, 64, 10));
  EXPECT_NE(encoder->error().find("cannot be created"), std::string::npos) << encoder->error();
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/gone"));

  ASSERT_TRUE(encoder->open(dir.path() + "/m.mp4", 64, 64, 10));
  const auto rgba = picture(64, 64, 0);
  EXPECT_TRUE(encoder->write(MovieFrame{64, 64, rgba.data(), true}));
  EXPECT_FALSE(encoder->write(MovieFrame{64, 60, rgba.data(), true}));
  EXPECT_NE(encoder->error().find("changed size"), std::string::npos);
  EXPECT_TRUE(encoder->finish());
  EXPECT_EQ(test::probeMovie(dir.path() + "/m.mp4").frames, 1) << "the frames before the failure play";
}

}  // namespace
}  // namespace litho
