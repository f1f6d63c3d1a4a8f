#include "core/platform/stream_platform.h"

#include <sys/wait.h>
#include <unistd.h>

#include <climits>

namespace litho {

void StreamPlatform::message(const std::string& text, MessageKind kind, const std::string&) {
  switch (kind) {
    case MessageKind::Error: err_ << "error: "; break;
    case MessageKind::Info: err_ << "info: "; break;
    case MessageKind::Warning:
    case MessageKind::Plain: err_ << "warning: "; break;
  }
  err_ << text << '\n';
  err_.flush();
}

bool StreamPlatform::askYesNo(const std::string& text, const std::string&) {
  err_ << "question: " << text << '\n' << (answerYes_ ? "answer: yes" : "answer: no") << '\n';
  err_.flush();
  return answerYes_;
}

namespace {

// The program's process, or -1 when no process could be made; a program that
// cannot be run ends its process with status 127.
pid_t spawn(const std::string& program, const std::vector<std::string>& args, const std::string& folder) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (!folder.empty() && ::chdir(folder.c_str()) != 0) _exit(127);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execvp(program.c_str(), argv.data());
    _exit(127);
  }
  return pid;
}

}  // namespace

bool StreamPlatform::startProgram(const std::string& program, const std::vector<std::string>& args,
                                  const std::string& folder, bool wait) {
  const pid_t pid = spawn(program, args, folder);
  if (pid < 0) return false;
  if (wait) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return !(WIFEXITED(status) && WEXITSTATUS(status) == 127);
  }
  return true;
}

bool StreamPlatform::startProgramAsync(const std::string& program, const std::vector<std::string>& args,
                                       const std::string& folder, std::function<void(int status)> finished) {
  const pid_t pid = spawn(program, args, folder);
  if (pid < 0) return false;
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (WIFEXITED(status) && WEXITSTATUS(status) == 127) return false;
  if (finished) finished(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  return true;
}

std::string StreamPlatform::currentFolder() {
  char buf[PATH_MAX];
  return ::getcwd(buf, sizeof buf) ? std::string(buf) : std::string();
}

bool StreamPlatform::setCurrentFolder(const std::string& folder) { return ::chdir(folder.c_str()) == 0; }

void StreamPlatform::progressBegin(const std::string& title) {
  progressTitle_ = title;
  progressStart_ = std::chrono::steady_clock::now();
  progressWritten_ = false;
  lastPercent_ = -1;
}

void StreamPlatform::progressShow(int percent) {
  if (!progressShown_) return;
  if (percent == lastPercent_) return;
  if (!progressWritten_ && std::chrono::steady_clock::now() - progressStart_ < std::chrono::seconds(1)) return;
  lastPercent_ = percent;
  err_ << '\r' << progressTitle_ << "  " << percent << '%' << std::flush;
  progressWritten_ = true;
}

void StreamPlatform::progressEnd() {
  if (progressWritten_) err_ << '\r' << progressTitle_ << "  done\n" << std::flush;
  progressWritten_ = false;
}

}  // namespace litho
