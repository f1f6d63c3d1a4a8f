// Start, Continue and Stop with a stand-in encoder: which frames reach the
// recorder, the transitions between key frames, and how a recording ends.
#include "core/output/movie_session.h"

#include <gtest/gtest.h>

#include "core/load/document.h"
#include "core/view/key_frames.h"
#include "core/view/view_controller.h"
#include "support/scripted_platform.h"
#include "support/store_builder.h"

namespace litho {
namespace {

struct EncoderLog {
  int opens = 0, frames = 0, finishes = 0;
  bool failOpen = false;
  int failAtFrame = 0;  // 1-based; 0 never
};

// Counts what the session asks of the encoder, and fails where told.
struct FakeEncoder : MovieEncoder {
  explicit FakeEncoder(EncoderLog& l) : log(l) {}
  bool open(const std::string&, int, int, int) override {
    ++log.opens;
    if (log.failOpen) failure = "no codec";
    return !log.failOpen;
  }
  bool write(const MovieFrame&) override {
    if (log.frames + 1 != log.failAtFrame) return ++log.frames > 0;
    failure = "disk full";
    return false;
  }
  bool finish() override { return ++log.finishes > 0; }
  const std::string& error() const override { return failure; }
  const std::string& notice() const override { return none; }
  const std::string& codecName() const override { return none; }
  int encodedWidth() const override { return 8; }
  int encodedHeight() const override { return 8; }
  EncoderLog& log;
  std::string failure, none;
};

class MovieSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    doc.adopt(test::unitStore(10, 10, 10, 1.0f, 0, 0, 4), {});
    view.refresh(ViewRefresh::NewLoad);
    MovieSession::Hooks& h = movie.hooks;
    // Drawing the view as the window does: the frame hook after each drawing.
    h.draw = [this] {
      if (!movie.wantsFrame()) return;
      angles.push_back(view.state.rotationZ);
      models.push_back(doc.store().currentModelIndex());
      westCuts.push_back(view.state.cuts[kSideWest]);
      movie.frameDrawn(captureFails ? nullptr : &frame);
    };
    h.status = [this](const std::string& s) { statuses.push_back(s); };
    h.animateDialog = [this](const AnimateSetup& s) -> std::optional<AnimateChoice> {
      setups.push_back(s);
      auto a = answers.front();
      answers.pop_front();
      return a;
    };
  }

  test::ScriptedPlatform p;
  Document doc{p, p};
  ViewController view{doc, p};
  EncoderLog log;
  MovieSession movie{view, p, [this] { return std::make_unique<FakeEncoder>(log); }};
  std::vector<unsigned char> pixels = std::vector<unsigned char>(8 * 8 * 4);
  MovieFrame frame{8, 8, pixels.data(), true};
  bool captureFails = false;
  std::vector<float> angles;
  std::vector<int> models, westCuts;
  std::vector<std::string> statuses;
  std::vector<AnimateSetup> setups;
  std::deque<std::optional<AnimateChoice>> answers;
};

TEST_F(MovieSessionTest, KeyFrameTransitionsRecordEveryStep) {
  movie.begin("/tmp/m.avi", 10, 1);
  EXPECT_EQ(log.opens, 0) << "method 2 records nothing at the start";
  view.state.rotationZ += 90;
  view.applyModelView();
  movie.hooks.pump = [this] {
    movie.continueRecording();  // A pressed while the transition runs
    return true;
  };
  movie.transition(20);
  EXPECT_TRUE(setups.empty());
  ASSERT_EQ(angles.size(), 20u);
  for (int i = 0; i < 20; ++i) EXPECT_NEAR(angles[static_cast<std::size_t>(i)], 90.0 / 19 * i, 1e-4) << i;
  EXPECT_EQ(angles.back(), 90);
  EXPECT_EQ(log.frames, 20);
  EXPECT_EQ(view.state.animationMethod, kRecordKeyFrames);
  EXPECT_EQ(view.state.keyFrame.rotationZ, 90);

  SCOPED_TRACE("the model index and a cut move 0 to 3 over 8 frames, rounded");
  doc.selectModel(3);
  view.state.cuts[kSideWest] = 3;
  angles.clear();
  models.clear();
  westCuts.clear();
  movie.transition(8);
  EXPECT_EQ(models, (std::vector<int>{0, 0, 1, 1, 2, 2, 3, 3}));
  EXPECT_EQ(westCuts, (std::vector<int>{0, 0, 1, 1, 2, 2, 3, 3}));
  EXPECT_EQ(angles, std::vector<float>(8, 90.0f));
  EXPECT_EQ(statuses.back(), recordingStatusText(28));
  EXPECT_TRUE(movie.stop());
  EXPECT_EQ(log.finishes, 1);
  EXPECT_EQ(statuses.back(), "");
}

TEST_F(MovieSessionTest, TransitionStepsOfTheCutsRangeAndBlend) {
  KeyFrame k, c;
  c.displayMin = 1;
  c.displayMax = 3;
  c.blendWeight = 1;
  k.cuts[kSideEast] = 2;
  const TransitionStep s = transitionStep(k, c, 1, 5);
  EXPECT_TRUE(s.cutsOrRange);
  EXPECT_TRUE(s.blend);
  EXPECT_FALSE(s.model);
  EXPECT_EQ(s.frame.cuts[kSideEast], 1);  // 2 + round(-0.5): halves away from zero
  EXPECT_EQ(s.frame.displayMin, 0.25);
  EXPECT_EQ(s.frame.blendWeight, 0.25f);
  EXPECT_EQ(transitionStep(k, c, 4, 5).frame, c);
}

TEST_F(MovieSessionTest, StartContinueAndStop) {
  p.fileAnswers = {std::nullopt};
  movie.start("/data", false);
  EXPECT_FALSE(movie.recording()) << "the save dialog was cancelled";
  EXPECT_TRUE(setups.empty());

  p.fileAnswers = {std::string("/data/turn")};
  answers = {AnimateChoice{15, 0, 0}};
  movie.start("/data", true);
  EXPECT_EQ(p.messages.at(0), (test::Recorded{MessageKind::Warning, kHardwareMovieWarning}));
  ASSERT_EQ(setups.size(), 1u);
  EXPECT_EQ(setups[0].outputFilename, "/data/turn.avi");
  EXPECT_EQ(setups[0].framesPerSecond, 10);
  ASSERT_TRUE(movie.recording());
  EXPECT_EQ(movie.framesPerSecond, 15);
  EXPECT_EQ(log.frames, 1) << "method 1 records a frame at once";
  EXPECT_EQ(statuses.back(), "   Recording ...   1");

  const auto dialogs = p.fileDialogTitles.size();
  movie.start("/data", false);
  EXPECT_EQ(p.lastMessageText(), kMovieAlreadyRecording);
  EXPECT_EQ(p.fileDialogTitles.size(), dialogs);

  movie.continueRecording();
  view.rotateZ(+1);
  movie.hooks.draw();
  EXPECT_EQ(log.frames, 3);
  movie.stop();
  EXPECT_FALSE(movie.recording());

  SCOPED_TRACE("method 2: Continue asks for the frames, with the rate fixed and the last count offered");
  p.fileAnswers = {std::string("/data/t.mp4")};
  answers = {AnimateChoice{15, 1, 0}, std::nullopt, AnimateChoice{15, 1, 4}};
  movie.start("/data", false);
  EXPECT_EQ(setups.back().method, 0);
  movie.continueRecording();
  EXPECT_EQ(log.frames, 3) << "Continue cancelled";
  movie.continueRecording();
  EXPECT_EQ(setups.back().mode, AnimateMode::Continue);
  EXPECT_EQ(setups.back().outputFilename, "/data/t.mp4");
  EXPECT_EQ(setups.back().frames, 20);
  EXPECT_EQ(log.frames, 7);
  EXPECT_EQ(movie.interpolationFrames, 4);
}

TEST(AnimateDialogChecks, RefuseWhatCannotBeRecorded) {
  const auto message = [](AnimateMode m, const char* fps, const char* frames) {
    const auto r = checkAnimate(m, fps, 1, frames);
    return std::holds_alternative<std::string>(r) ? std::get<std::string>(r) : std::string();
  };
  EXPECT_EQ(message(AnimateMode::Start, "0", "x"), kFramesPerSecondNotPositive);
  EXPECT_EQ(message(AnimateMode::Start, "2.5", ""), kEnterWholeNumber);
  EXPECT_EQ(message(AnimateMode::Start, "25", "x"), "") << "the frames field is not read at the start";
  EXPECT_EQ(message(AnimateMode::Continue, "x", "1"), kTooFewFrames);
  EXPECT_EQ(message(AnimateMode::Continue, "x", "2"), "");
  EXPECT_NE(message(AnimateMode::Continue, "x", "1000000"), "");
}

TEST_F(MovieSessionTest, EveryEndingIsToldAndFinishesTheFile) {
  {
    SCOPED_TRACE("the file cannot be opened");
    log.failOpen = true;
    movie.begin("/tmp/m.avi", 10, 0);
    EXPECT_FALSE(movie.recording());
    EXPECT_EQ(p.messages.back(), (test::Recorded{MessageKind::Error, kMovieOpenFailed}));
    EXPECT_EQ(movie.failure(), "no codec");
    log.failOpen = false;
  }
  {
    SCOPED_TRACE("a frame cannot be written");
    log = {};
    log.failAtFrame = 3;
    movie.begin("/tmp/m.avi", 10, 0);
    movie.continueRecording();
    movie.continueRecording();
    EXPECT_FALSE(movie.recording());
    EXPECT_EQ(
        p.lastMessageText(),
        "Recording stopped: frame 3 could not be written.\ndisk full\nThe movie file holds 2 frames:\n/tmp/m.avi");
    EXPECT_EQ(log.finishes, 1);
  }
  {
    SCOPED_TRACE("the view cannot be captured");
    log = {};
    movie.begin("/tmp/m.avi", 10, 0);
    captureFails = true;
    movie.continueRecording();
    captureFails = false;
    EXPECT_FALSE(movie.recording());
    EXPECT_EQ(p.lastMessageText(),
              "Recording stopped: the view could not be captured.\nThe movie file holds 1 frame:\n/tmp/m.avi");
    EXPECT_EQ(log.finishes, 1);
  }
  {
    SCOPED_TRACE("the window is resized, during a transition");
    log = {};
    movie.begin("/tmp/m.avi", 10, 1);
    int pumped = 0;
    movie.hooks.pump = [&] {
      if (++pumped == 3) movie.windowResized();
      return true;
    };
    view.state.rotationZ += 45;
    movie.transition(10);
    EXPECT_FALSE(movie.recording());
    EXPECT_EQ(p.lastMessageText(), kResizeStopsRecording);
    EXPECT_EQ(log.frames, 3);
    EXPECT_EQ(log.finishes, 1);
    EXPECT_EQ(view.state.rotationZ, 45) << "the view ends where the user left it";
  }
}

}  // namespace
}  // namespace litho
