#pragma once
// Test double for the platform and the document's windows: records every
// message and question, answers from queues, and fails the test on a question
// or dialog nobody scripted.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/load/document_ui.h"
#include "core/platform/platform.h"

namespace litho::test {

struct Recorded {
  MessageKind kind;
  std::string text;
  bool operator==(const Recorded&) const = default;
};

class ScriptedPlatform : public Platform, public DocumentUi {
 public:
  // Platform
  void message(const std::string& text, MessageKind kind, const std::string& title = {}) override;
  bool askYesNo(const std::string& text, const std::string& title = {}) override;
  std::optional<std::string> openFileName(const FileDialogRequest& request) override;
  std::optional<std::string> saveFileName(const FileDialogRequest& request) override;
  void setWaitCursor(bool on) override { waitCursorDepth += on ? 1 : -1; }
  std::string clipboardText() override { return clipboard; }
  void setClipboardText(const std::string& text) override { clipboard = text; }
  void setClipboardImage(const ClipboardImage& image) override { clipboardImage = image; }
  ClipboardImage clipboardImage;
  bool startProgram(const std::string& program, const std::vector<std::string>& args, const std::string& folder,
                    bool wait) override;
  // Recorded; the test finishes the program with finishProgram.
  bool startProgramAsync(const std::string& program, const std::vector<std::string>& args, const std::string&,
                         std::function<void(int status)> finished) override {
    programsStarted.push_back(program);
    programArgs.push_back(args);
    running.push_back(std::move(finished));
    return true;
  }
  void finishProgram(int status) {
    auto f = std::move(running.front());
    running.pop_front();
    if (f) f(status);
  }
  std::deque<std::function<void(int)>> running;
  bool openWithShell(const std::string& target) override {
    shellOpened.push_back(target);
    if (shellAnswers.empty()) return false;
    const bool a = shellAnswers.front();
    shellAnswers.pop_front();
    return a;
  }
  std::vector<std::string> shellOpened;
  std::deque<bool> shellAnswers;
  std::string currentFolder() override { return folder; }
  bool setCurrentFolder(const std::string& f) override {
    folder = f;
    return true;
  }
  bool keyDown(Key key) override;
  std::optional<std::array<unsigned char, 3>> chooseColour(const std::array<unsigned char, 3>&) override {
    return colourAnswer;
  }
  std::optional<FontSpec> chooseFont(const FontSpec&) override { return fontAnswer; }
  std::optional<std::array<unsigned char, 3>> colourAnswer;
  std::optional<FontSpec> fontAnswer;

  // DocumentUi
  bool runBanner(bool hardwareOpenGL) override;
  bool runLoadModelDialog(LoadDialogValues& values) override;
  std::optional<BackgroundChoice> runBackgroundDialog(const RectMesh& mesh, float initialValue) override;
  void progressBegin(const std::string& title) override { progressTitles.push_back(title); }
  void progressShow(int percent) override { progressShown.push_back(percent); }
  void progressEnd() override { ++progressEnded; }

  // What happened.
  std::vector<Recorded> messages;
  std::vector<std::string> questions;
  std::vector<std::string> fileDialogTitles;
  std::vector<std::string> progressTitles;
  std::vector<int> progressShown;
  int progressEnded = 0;
  int bannersShown = 0;
  int loadDialogsShown = 0;
  int backgroundDialogsShown = 0;
  int waitCursorDepth = 0;
  std::string clipboard;
  std::string folder = "/";
  std::vector<std::string> programsStarted;
  std::vector<std::vector<std::string>> programArgs;

  // Answers, consumed in order.
  std::deque<bool> yesNoAnswers;
  std::deque<std::optional<std::string>> fileAnswers;
  std::deque<bool> bannerAnswers;  // true: hardware
  std::deque<std::optional<LoadDialogValues>> loadDialogAnswers;  // empty: cancelled
  std::deque<std::optional<BackgroundChoice>> backgroundAnswers;
  std::function<bool(Key)> keys;

  std::string lastMessageText() const { return messages.empty() ? std::string() : messages.back().text; }
};

}  // namespace litho::test
