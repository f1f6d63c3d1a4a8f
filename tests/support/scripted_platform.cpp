#include "support/scripted_platform.h"

#include <gtest/gtest.h>

namespace litho::test {

void ScriptedPlatform::message(const std::string& text, MessageKind kind, const std::string&) {
  messages.push_back({kind, text});
}

bool ScriptedPlatform::askYesNo(const std::string& text, const std::string&) {
  questions.push_back(text);
  if (yesNoAnswers.empty()) {
    ADD_FAILURE() << "unexpected question: " << text;
    return false;
  }
  const bool a = yesNoAnswers.front();
  yesNoAnswers.pop_front();
  return a;
}

std::optional<std::string> ScriptedPlatform::openFileName(const FileDialogRequest& request) {
  fileDialogTitles.push_back(request.title);
  if (fileAnswers.empty()) {
    ADD_FAILURE() << "unexpected file dialog: " << request.title;
    return std::nullopt;
  }
  auto a = fileAnswers.front();
  fileAnswers.pop_front();
  return a;
}

std::optional<std::string> ScriptedPlatform::saveFileName(const FileDialogRequest& request) { return openFileName(request); }

bool ScriptedPlatform::startProgram(const std::string& program, const std::vector<std::string>& args,
                                    const std::string&, bool) {
  programsStarted.push_back(program);
  programArgs.push_back(args);
  return true;
}

bool ScriptedPlatform::keyDown(Key key) { return keys ? keys(key) : false; }

bool ScriptedPlatform::runBanner(bool hardwareOpenGL) {
  ++bannersShown;
  if (bannerAnswers.empty()) return hardwareOpenGL;
  const bool a = bannerAnswers.front();
  bannerAnswers.pop_front();
  return a;
}

bool ScriptedPlatform::runLoadModelDialog(LoadDialogValues& values) {
  ++loadDialogsShown;
  if (loadDialogAnswers.empty()) {
    ADD_FAILURE() << "unexpected Load Model dialog";
    return false;
  }
  auto a = loadDialogAnswers.front();
  loadDialogAnswers.pop_front();
  if (!a) return false;
  values = *a;
  return true;
}

std::optional<BackgroundChoice> ScriptedPlatform::runBackgroundDialog(const RectMesh&, float initialValue) {
  ++backgroundDialogsShown;
  if (backgroundAnswers.empty()) {
    ADD_FAILURE() << "unexpected Set Background dialog";
    return BackgroundChoice{initialValue, 0};
  }
  auto a = backgroundAnswers.front();
  backgroundAnswers.pop_front();
  return a;
}

}  // namespace litho::test
