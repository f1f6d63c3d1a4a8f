#pragma once
// "Start ...", "Continue" and "Stop": recording the view into a movie file,
// one frame per redraw or key-frame transitions, without the window system.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "core/output/movie_recorder.h"
#include "core/platform/platform.h"

namespace litho {

class ViewController;

inline constexpr const char* kMovieAlreadyRecording =
    "Movie is already being recorded.\nStop it first to start a new one.";
inline constexpr const char* kHardwareMovieWarning =
    "Warning: Using the hardware OpenGL driver when making a\nmovie might not always produce good results.";
inline constexpr const char* kSaveMovieTitle = "Save a movie file.";
inline constexpr const char* kSaveMovieFilter = "movie (*.avi)|*.avi|MP4 movie (*.mp4)|*.mp4||";
inline constexpr const char* kMovieOpenFailed = "Error Occured While Rendering the Movie";
inline constexpr const char* kResizeStopsRecording =
    "Recording stopped.\nCannot change window size while recording movie.";
inline constexpr const char* kFramesPerSecondNotPositive = "# of frames per second should be positive.";
inline constexpr const char* kTooFewFrames = "# of frames should be greater than 1.";
inline constexpr const char* kEnterWholeNumber = "Please enter a whole number.";
inline constexpr int kMaxFramesPerSecond = 1000;
inline constexpr int kMaxTransitionFrames = 100000;

FileDialogRequest saveMovieRequest(const std::string& workingFolder);
// A name typed without an extension gets ".avi".
std::string withDefaultMovieExtension(const std::string& path);
// "   Recording ...   %i"
std::string recordingStatusText(int frames);

// The "Animate" dialog: opened to start a recording or to continue one with a transition.
enum class AnimateMode { Start, Continue };
struct AnimateSetup {
  AnimateMode mode = AnimateMode::Start;
  std::string outputFilename;
  int framesPerSecond = 10;
  int method = 0;  // 0: radio button "1", 1: radio button "2"
  int frames = 20;
};
struct AnimateChoice {
  int framesPerSecond = 10;
  int method = 0;
  int frames = 20;
};
// The fields as typed: the values, or the message that keeps the dialog open.
// Start checks the frame rate, Continue the number of frames.
std::variant<AnimateChoice, std::string> checkAnimate(AnimateMode mode, const std::string& framesPerSecond, int method,
                                                      const std::string& frames);

class MovieSession {
 public:
  using EncoderFactory = std::function<std::unique_ptr<MovieEncoder>()>;
  MovieSession(
      ViewController& view, Platform& platform, EncoderFactory makeEncoder = [] { return makeMovieEncoder(); });
  ~MovieSession();

  // What the window does for a recording.
  struct Hooks {
    std::function<std::optional<AnimateChoice>(const AnimateSetup&)> animateDialog;
    // Draws the view at once; a drawn frame comes back through frameDrawn().
    std::function<void()> draw;
    // Lets the user interface handle what is pending; false when the window has gone.
    std::function<bool()> pump;
    std::function<void(bool)> keepOnTop;
    std::function<void()> commandsChanged;
    // The status bar's first pane; empty for the idle prompt.
    std::function<void(const std::string&)> status;
    // A message caused while the window paints or resizes, shown once that is over.
    std::function<void(const std::string& text, MessageKind kind, const std::string& title)> tellLater;
  };
  Hooks hooks;

  // Kept from one recording to the next for the program's run.
  int framesPerSecond = 10;
  int interpolationFrames = 20;

  bool recording() const { return recorder_ != nullptr; }
  const MovieRecorder* recorder() const { return recorder_.get(); }

  // "Start ...": the refusal, the driver warning, the save dialog and the Animate dialog.
  void start(const std::string& workingFolder, bool hardwareOpenGL);
  // What Start does once both dialogs were answered: method 0 records a frame at once,
  // method 1 takes the key frame.
  void begin(const std::string& path, int framesPerSecond, int method);
  // "Continue": one frame (method 1), or the Animate dialog and a transition (method 2).
  void continueRecording();
  // The transition of `frames` frames from the key frame to the current view.
  void transition(int frames);
  // "Stop"; false when the end of the file could not be written (told).
  bool stop();
  // Why the last recording ended early, in the codec library's words; empty when it did not.
  const std::string& failure() const { return failure_; }

  // The frame hook: whether a frame the view just drew goes into the movie,
  // then that frame (null when it could not be captured).
  bool wantsFrame() const;
  void frameDrawn(const MovieFrame* captured);
  // Before a new window size applies.
  void windowResized();

 private:
  void end(const std::string& why, MessageKind kind, const std::string& title = {});
  void tell(const std::string& text, MessageKind kind, const std::string& title = {});
  void changed();

  ViewController& view_;
  Platform& platform_;
  EncoderFactory makeEncoder_;
  std::unique_ptr<MovieRecorder> recorder_;
  std::string failure_;
};

}  // namespace litho
