#pragma once
// A platform for command-line use: messages go to a stream as "error: ",
// "warning: ", "info: " or "question: " followed by the text; questions get a
// fixed answer, recorded as "answer: yes" or "answer: no".
#include <chrono>
#include <ostream>
#include <string>

#include "core/load/document_ui.h"
#include "core/platform/platform.h"

namespace litho {

class StreamPlatform : public Platform, public DocumentUi {
 public:
  StreamPlatform(std::ostream& err, bool answerYes) : err_(err), answerYes_(answerYes) {}

  void message(const std::string& text, MessageKind kind, const std::string& title = {}) override;
  bool askYesNo(const std::string& text, const std::string& title = {}) override;
  std::optional<std::string> openFileName(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> saveFileName(const FileDialogRequest&) override { return std::nullopt; }
  void setWaitCursor(bool) override {}
  std::string clipboardText() override { return {}; }
  void setClipboardText(const std::string&) override {}
  bool startProgram(const std::string& program, const std::vector<std::string>& args, const std::string& folder,
                    bool wait) override;
  // Without an event loop the program is waited for.
  bool startProgramAsync(const std::string& program, const std::vector<std::string>& args, const std::string& folder,
                         std::function<void(int status)> finished) override;
  bool openWithShell(const std::string&) override { return false; }
  std::string currentFolder() override;
  bool setCurrentFolder(const std::string& folder) override;
  bool keyDown(Key) override { return false; }
  std::optional<std::array<unsigned char, 3>> chooseColour(const std::array<unsigned char, 3>&) override {
    return std::nullopt;
  }
  std::optional<FontSpec> chooseFont(const FontSpec&) override { return std::nullopt; }

  bool runBanner(bool hardwareOpenGL) override { return hardwareOpenGL; }
  bool runLoadModelDialog(LoadDialogValues&) override { return false; }
  std::optional<BackgroundChoice> runBackgroundDialog(const RectMesh&, float initialValue) override {
    return BackgroundChoice{initialValue, 0};
  }
  // A progress line ("Loading FILE  42%") on the stream for work that takes over a
  // second; for terminals, where the line is rewritten in place.
  void setProgressShown(bool shown) { progressShown_ = shown; }
  void progressBegin(const std::string& title) override;
  void progressShow(int percent) override;
  void progressEnd() override;

 private:
  std::ostream& err_;
  bool answerYes_;
  bool progressShown_ = false;
  bool progressWritten_ = false;
  int lastPercent_ = -1;
  std::string progressTitle_;
  std::chrono::steady_clock::time_point progressStart_{};
};

}  // namespace litho
