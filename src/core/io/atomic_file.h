#pragma once
// Files that are replaced whole or not at all: the text goes to a temporary
// file, and the target changes only once every byte of it is on disk. Until
// then an earlier file of that name is untouched, whatever fails on the way
// (disk full, the folder gone, no permission, a signal).
//
// The temporary file sits beside the target and is renamed over it. When that
// would lose something of the existing file (its other hard links, its owner)
// or the folder takes no new files, the finished temporary file (then in
// $TMPDIR if need be) is copied into the existing file instead.
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/platform.h"

namespace litho {

class AtomicFile {
 public:
  // A symbolic link to a regular file is written through: its target changes.
  explicit AtomicFile(const std::string& target);
  ~AtomicFile();  // removes the temporary file unless it was committed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Checks the target (a regular file or none, one the user may write) and
  // creates the temporary file. False (with error()) when either fails.
  bool open();
  // Buffered; the first failure is remembered and later writes do nothing.
  void write(std::string_view text);
  // Writes what is buffered and flushes it to disk.
  bool finish();
  // Puts the finished text in place of the target.
  bool commit();

  bool failed() const { return !error_.empty(); }
  bool committed() const { return committed_; }
  // Why the file could not be written (the system's reason).
  const std::string& error() const { return error_; }
  const std::string& target() const { return target_; }
  const std::string& tempPath() const { return temp_; }
  // The target was being rewritten in place when that failed: it is incomplete
  // and the whole text was left in tempPath().
  bool targetDamaged() const { return damaged_; }

 private:
  bool flush();
  void fail(int err);
  void fail(const std::string& reason);
  bool createTemp(const std::string& folder, const std::string& prefix);
  bool copyIntoTarget();
  void forgetTemp();

  std::string target_;  // as given, for messages
  std::string real_;    // where the file goes (links followed)
  std::string temp_;
  int fd_ = -1;
  int slot_ = -1;  // in the list of files removed on a fatal signal
  std::vector<char> buffer_;
  std::string error_;
  bool exists_ = false;
  bool inPlace_ = false;
  bool finished_ = false;
  bool committed_ = false;
  bool damaged_ = false;
};

// "Could not save the file" with the path and the reason.
std::string saveFailureText(const std::string& path, const std::string& reason);
// The failure of one file, true to what happened to its target.
std::string saveFailureText(const AtomicFile& file);

// Writes text to path through a temporary file; a failure is reported (stop icon).
bool writeFileAtomically(const std::string& path, std::string_view text, Platform& platform);

// Commits every file or reports the first that fails. Files are finished
// first, so a failure while writing changes none of the targets; a failure
// after some targets changed names those that did.
bool commitAll(const std::vector<AtomicFile*>& files, Platform& platform);

}  // namespace litho
