#include "core/output/movie_session.h"

#include <cstdio>

#include "core/io/field_parse.h"
#include "core/load/document.h"
#include "core/view/key_frames.h"
#include "core/view/view_controller.h"

namespace litho {

FileDialogRequest saveMovieRequest(const std::string& workingFolder) {
  FileDialogRequest r;
  r.title = kSaveMovieTitle;
  r.filter = kSaveMovieFilter;
  r.startFolder = workingFolder;
  r.mustExist = false;
  r.promptOverwrite = true;
  return r;
}

std::string withDefaultMovieExtension(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty() || name.find('.') != std::string::npos) return path;
  return path + ".avi";
}

std::string recordingStatusText(int frames) {
  char text[48];
  std::snprintf(text, sizeof text, "   Recording ...   %i", frames);
  return text;
}

std::variant<AnimateChoice, std::string> checkAnimate(AnimateMode mode, const std::string& framesPerSecond, int method,
                                                      const std::string& frames) {
  AnimateChoice c;
  c.method = method;
  if (mode == AnimateMode::Start) {
    const auto fps = parseIntField(framesPerSecond);
    if (!fps) return std::string(kEnterWholeNumber);
    if (*fps <= 0) return std::string(kFramesPerSecondNotPositive);
    if (*fps > kMaxFramesPerSecond)
      return "# of frames per second should be at most " + std::to_string(kMaxFramesPerSecond) + ".";
    c.framesPerSecond = *fps;
    return c;
  }
  const auto n = parseIntField(frames);
  if (!n) return std::string(kEnterWholeNumber);
  if (*n < 2) return std::string(kTooFewFrames);
  if (*n > kMaxTransitionFrames) return "# of frames should be at most " + std::to_string(kMaxTransitionFrames) + ".";
  c.frames = *n;
  return c;
}

namespace {

std::string framesHeld(const MovieRecorder& r) {
  if (!r.fileOpen()) return "No movie file was written.";
  const int n = r.frameCount();
  return "The movie file holds " + std::to_string(n) + (n == 1 ? " frame:\n" : " frames:\n") + r.path();
}

}  // namespace

MovieSession::MovieSession(ViewController& view, Platform& platform, EncoderFactory makeEncoder)
    : view_(view), platform_(platform), makeEncoder_(std::move(makeEncoder)) {}

MovieSession::~MovieSession() = default;

void MovieSession::tell(const std::string& text, MessageKind kind, const std::string& title) {
  if (hooks.tellLater)
    hooks.tellLater(text, kind, title);
  else
    platform_.message(text, kind, title);
}

void MovieSession::changed() {
  if (hooks.commandsChanged) hooks.commandsChanged();
}

void MovieSession::start(const std::string& workingFolder, bool hardwareOpenGL) {
  if (recording()) {
    platform_.message(kMovieAlreadyRecording, MessageKind::Warning);
    return;
  }
  if (hardwareOpenGL) platform_.message(kHardwareMovieWarning, MessageKind::Warning);
  const auto path = platform_.saveFileName(saveMovieRequest(workingFolder));
  if (!path) return;
  AnimateSetup setup;
  setup.mode = AnimateMode::Start;
  setup.outputFilename = withDefaultMovieExtension(*path);
  setup.framesPerSecond = framesPerSecond;
  setup.method = view_.state.animationMethod == kRecordEveryRedraw ? 0 : 1;
  setup.frames = interpolationFrames;
  const auto choice = hooks.animateDialog ? hooks.animateDialog(setup) : std::nullopt;
  if (!choice) return;
  // Edits to the dialog's file name are not used: the save dialog already asked about replacing.
  begin(setup.outputFilename, choice->framesPerSecond, choice->method);
}

void MovieSession::begin(const std::string& path, int fps, int method) {
  if (recording()) return;
  framesPerSecond = fps;
  view_.state.animationMethod = method == 0 ? kRecordEveryRedraw : kRecordKeyFrames;
  failure_.clear();
  recorder_ = std::make_unique<MovieRecorder>(path, fps, makeEncoder_());
  changed();
  if (view_.state.animationMethod == kRecordEveryRedraw) {
    view_.state.frame.redraw();
    if (hooks.draw) hooks.draw();
  } else {
    view_.state.keyFrame = keyFrameOf(view_);
  }
}

void MovieSession::continueRecording() {
  // A key pressed while a transition pumps the messages waits for its end.
  if (!recording() || view_.state.animationMethod == kRecordingTransition) return;
  if (view_.state.animationMethod == kRecordEveryRedraw) {
    view_.state.frame.redraw();
    if (hooks.draw) hooks.draw();
    return;
  }
  AnimateSetup setup;
  setup.mode = AnimateMode::Continue;
  setup.outputFilename = recorder_->path();
  setup.framesPerSecond = recorder_->framesPerSecond();
  setup.method = 1;
  setup.frames = interpolationFrames;
  const auto choice = hooks.animateDialog ? hooks.animateDialog(setup) : std::nullopt;
  if (choice) transition(choice->frames);
}

void MovieSession::transition(int frames) {
  if (!recording() || frames < 2) return;
  interpolationFrames = frames;
  ViewState& s = view_.state;
  const KeyFrame from = s.keyFrame, to = keyFrameOf(view_);
  if (hooks.keepOnTop) hooks.keepOnTop(true);
  s.animationMethod = kRecordingTransition;
  int i = 0;
  for (; i < frames && recording(); ++i) {
    showTransitionStep(view_, transitionStep(from, to, i, frames));
    if (hooks.draw) hooks.draw();
    if (hooks.pump && !hooks.pump()) stop();
  }
  // Cut short: the view still ends where the user left it.
  if (i < frames) showTransitionStep(view_, transitionStep(from, to, frames - 1, frames));
  s.animationMethod = kRecordKeyFrames;
  if (hooks.keepOnTop) hooks.keepOnTop(false);
  s.keyFrame = keyFrameOf(view_);
}

bool MovieSession::stop() {
  if (!recording()) return true;
  std::unique_ptr<MovieRecorder> r = std::move(recorder_);
  const bool ok = r->close();
  if (!ok) {
    failure_ = r->error();
    tell("The movie file could not be finished:\n" + r->error() + "\n" + r->path(), MessageKind::Error);
  }
  if (hooks.status) hooks.status({});
  changed();
  return ok;
}

void MovieSession::end(const std::string& why, MessageKind kind, const std::string& title) {
  if (recorder_) failure_ = recorder_->error();
  stop();
  tell(why, kind, title);
}

bool MovieSession::wantsFrame() const {
  return recording() && view_.state.animationMethod != kRecordKeyFrames && view_.doc().modelLoaded();
}

void MovieSession::frameDrawn(const MovieFrame* captured) {
  if (!recording()) return;
  MovieRecorder& r = *recorder_;
  switch (r.record(captured)) {
    case MovieRecorder::Outcome::Written:
      if (r.frameCount() == 1 && !r.encoder().notice().empty()) tell(r.encoder().notice(), MessageKind::Info);
      if (hooks.status) hooks.status(recordingStatusText(r.frameCount()));
      return;
    case MovieRecorder::Outcome::OpenFailed:
      end(kMovieOpenFailed, MessageKind::Error, "Error");
      return;
    case MovieRecorder::Outcome::CaptureFailed:
      end("Recording stopped: the view could not be captured.\n" + framesHeld(r), MessageKind::Warning);
      return;
    case MovieRecorder::Outcome::WriteFailed:
      end("Recording stopped: frame " + std::to_string(r.frameCount() + 1) + " could not be written.\n" + r.error() +
              "\n" + framesHeld(r),
          MessageKind::Error);
      return;
  }
}

void MovieSession::windowResized() {
  if (recording()) end(kResizeStopsRecording, MessageKind::Warning);
}

}  // namespace litho
