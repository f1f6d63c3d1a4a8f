#pragma once
// Writing a movie file frame by frame. The codec library stays behind this
// interface: only movie_encoder_ffmpeg.cpp includes its headers.
#include <memory>
#include <string>
#include <vector>

namespace litho {

// One captured picture: 4 bytes a pixel (red, green, blue, unused), rows packed.
struct MovieFrame {
  int width = 0;
  int height = 0;
  const unsigned char* rgba = nullptr;
  bool bottomUp = true;  // rows from the bottom, as GL reads them
};

// ".mp4" (any case) is H.264 in MP4; every other name is an AVI file.
enum class MovieFormat { Avi, Mp4 };
MovieFormat movieFormatForPath(const std::string& path);

class MovieEncoder {
 public:
  virtual ~MovieEncoder() = default;
  // Creates the file for frames of width x height shown framesPerSecond a second.
  // On failure error() says why and no file is left behind.
  virtual bool open(const std::string& path, int width, int height, int framesPerSecond) = 0;
  // Converts and compresses one frame of the size given to open().
  virtual bool write(const MovieFrame& frame) = 0;
  // Writes what the codec still holds, the trailer and the index, and closes
  // the file, which then plays. Safe to call more than once.
  virtual bool finish() = 0;
  virtual const std::string& error() const = 0;
  // Set by open() when the movie is written with a substitute for the usual encoder.
  virtual const std::string& notice() const = 0;
  // The encoder in use and the picture size it encodes (even sizes for H.264).
  virtual const std::string& codecName() const = 0;
  virtual int encodedWidth() const = 0;
  virtual int encodedHeight() const = 0;
};

struct MovieEncoderOptions {
  // Encoders to treat as missing from the library (to try the fallbacks).
  std::vector<std::string> unavailable;
};

std::unique_ptr<MovieEncoder> makeMovieEncoder(const MovieEncoderOptions& options = {});

}  // namespace litho
