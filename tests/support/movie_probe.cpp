#include "support/movie_probe.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace litho::test {

namespace {

std::string run(const std::string& command) {
  std::string out;
  if (FILE* f = ::popen(command.c_str(), "r")) {
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    ::pclose(f);
  }
  return out;
}

std::string quoted(const std::string& path) { return "'" + path + "'"; }

}  // namespace

MovieProbe probeMovie(const std::string& path) {
  const std::string text = run(
      "ffprobe -v error -count_frames -select_streams v:0 -show_entries "
      "stream=codec_name,codec_tag_string,width,height,r_frame_rate,nb_read_frames -of default=noprint_wrappers=1 " +
      quoted(path) + " 2>/dev/null");
  MovieProbe p;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    if (key == "codec_name") p.codec = value;
    if (key == "codec_tag_string") p.tag = value;
    if (key == "width") p.width = std::atoi(value.c_str());
    if (key == "height") p.height = std::atoi(value.c_str());
    if (key == "r_frame_rate") p.rate = value;
    if (key == "nb_read_frames") p.frames = std::atoi(value.c_str());
  }
  return p;
}

std::vector<unsigned char> decodeFrame(const std::string& path, int index) {
  const std::string out = run("ffmpeg -v error -i " + quoted(path) + " -vf 'select=eq(n\\," + std::to_string(index) +
                              ")' -frames:v 1 -f rawvideo -pix_fmt rgb24 - 2>/dev/null");
  return {out.begin(), out.end()};
}

double meanDifference(const std::vector<unsigned char>& a, int aWidth, const std::vector<unsigned char>& b, int bWidth,
                      int w, int h) {
  if (a.size() < static_cast<std::size_t>(aWidth) * h * 3 || b.size() < static_cast<std::size_t>(bWidth) * h * 3)
    return 255;
  double sum = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w * 3; ++x)
      sum +=
          std::abs(a[static_cast<std::size_t>(y * aWidth * 3 + x)] - b[static_cast<std::size_t>(y * bWidth * 3 + x)]);
  return sum / (3.0 * w * h);
}

}  // namespace litho::test
