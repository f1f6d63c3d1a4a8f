#pragma once
#include <memory>
#include <string>

#include "core/output/movie_encoder.h"

namespace litho {

// One movie being recorded: the file is opened by the first frame, every
// frame after it is appended, and closing finishes the file so that it plays.
class MovieRecorder {
 public:
  MovieRecorder(std::string path, int framesPerSecond, std::unique_ptr<MovieEncoder> encoder);
  ~MovieRecorder();
  MovieRecorder(const MovieRecorder&) = delete;
  MovieRecorder& operator=(const MovieRecorder&) = delete;

  enum class Outcome { Written, OpenFailed, CaptureFailed, WriteFailed };
  // frame is null when the view could not be captured.
  Outcome record(const MovieFrame* frame);
  // Writes the end of the file; false (with error()) when that failed.
  bool close();

  const std::string& path() const { return path_; }
  int framesPerSecond() const { return framesPerSecond_; }
  int frameCount() const { return frameCount_; }
  bool fileOpen() const { return opened_; }
  const MovieEncoder& encoder() const { return *encoder_; }
  const std::string& error() const { return encoder_->error(); }

 private:
  std::string path_;
  int framesPerSecond_;
  int frameCount_ = 0;
  bool opened_ = false;
  bool closed_ = false;
  std::unique_ptr<MovieEncoder> encoder_;
};

}  // namespace litho
