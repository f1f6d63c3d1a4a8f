#pragma once
// What FFmpeg's own tools read from a movie file (the ffmpeg package).
#include <string>
#include <vector>

namespace litho::test {

struct MovieProbe {
  int frames = 0;  // decoded, not taken from the header
  int width = 0;
  int height = 0;
  std::string rate;   // "12/1"
  std::string codec;  // "msvideo1", "h264", ...
  std::string tag;    // "MSVC", ...
};
// Empty fields when the file does not decode.
MovieProbe probeMovie(const std::string& path);

// Frame `index` of a movie, or a picture file, decoded to RGB bytes, rows from the top.
std::vector<unsigned char> decodeFrame(const std::string& path, int index);

// Mean absolute difference per byte of the top-left w x h pixels of two RGB pictures.
double meanDifference(const std::vector<unsigned char>& a, int aWidth, const std::vector<unsigned char>& b, int bWidth,
                      int w, int h);

}  // namespace litho::test
