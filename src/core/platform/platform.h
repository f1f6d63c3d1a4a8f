#pragma once
// Everything the user is told or asked, and everything the window system does
// for the document, goes through this interface. The Qt implementation lives in
// src/app; tests use a scripted double; the batch tool writes to stderr.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/view/view_state.h"

namespace litho {

enum class MessageKind {
  Error,    // stop icon
  Warning,  // exclamation icon
  Info,     // information icon
  Plain,    // no icon, OK button
};

struct FileDialogRequest {
  std::string title;
  std::string filter;       // e.g. "Mesh||"
  std::string startFolder;  // empty: the current folder
  std::string defaultName;
  bool mustExist = true;          // open dialogs
  bool promptOverwrite = true;    // save dialogs
};

enum class Key { Shift, Control, Alt, Space };

// A picture for the clipboard: RGBA bytes, rows from the top.
struct ClipboardImage {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgba;
};

class Platform {
 public:
  virtual ~Platform() = default;

  virtual void message(const std::string& text, MessageKind kind, const std::string& title = {}) = 0;
  // Yes/No question with the question icon; true for Yes.
  virtual bool askYesNo(const std::string& text, const std::string& title = {}) = 0;

  virtual std::optional<std::string> openFileName(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> saveFileName(const FileDialogRequest& request) = 0;

  virtual void setWaitCursor(bool on) = 0;

  virtual std::string clipboardText() = 0;
  virtual void setClipboardText(const std::string& text) = 0;
  // Nothing is reported when the clipboard cannot take it.
  virtual void setClipboardImage(const ClipboardImage&) {}

  // Starts a program; when wait is set, returns once it ended. False when it could not start.
  virtual bool startProgram(const std::string& program, const std::vector<std::string>& args,
                            const std::string& workingFolder, bool wait) = 0;
  // Starts a program and returns at once, while the windows keep painting; `finished` is
  // called later with its exit status (-1 when it crashed). False when it could not start,
  // and then `finished` is never called.
  virtual bool startProgramAsync(const std::string& program, const std::vector<std::string>& args,
                                 const std::string& workingFolder, std::function<void(int status)> finished) = 0;

  // The same for a long computation: a modal window names it (title), counts the time and offers
  // "Stop", which ends the program and what it started (status -1 then); the other windows keep
  // painting meanwhile.
  virtual bool startProgramWatched(const std::string& program, const std::vector<std::string>& args,
                                   const std::string& workingFolder, const std::string& title,
                                   std::function<void(int status)> finished) {
    (void)title;
    return startProgramAsync(program, args, workingFolder, std::move(finished));
  }

  // Opens a document or web address with the desktop's own program; false when that failed.
  virtual bool openWithShell(const std::string& target) = 0;

  virtual std::string currentFolder() = 0;
  virtual bool setCurrentFolder(const std::string& folder) = 0;

  virtual bool keyDown(Key key) = 0;

  // Colour and font choosers; empty when cancelled.
  virtual std::optional<std::array<unsigned char, 3>> chooseColour(const std::array<unsigned char, 3>& initial) = 0;
  virtual std::optional<FontSpec> chooseFont(const FontSpec& initial) = 0;
};

// Shows the wait cursor for as long as it lives.
class WaitCursor {
 public:
  explicit WaitCursor(Platform& p) : platform_(p) { platform_.setWaitCursor(true); }
  ~WaitCursor() { platform_.setWaitCursor(false); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  Platform& platform_;
};

}  // namespace litho
