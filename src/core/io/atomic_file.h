#pragma once
// Files that are replaced whole or not at all: the text goes to a temporary
// file in the target's folder, which is renamed over the target only once
// every byte is written and flushed to disk. Until then an earlier file of
// that name is untouched, whatever fails on the way (disk full, the folder
// gone, no permission).
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/platform.h"

namespace litho {

class AtomicFile {
 public:
  // A symbolic link as target is followed: the file it names is replaced.
  explicit AtomicFile(const std::string& target);
  ~AtomicFile();  // removes the temporary file unless it was committed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Creates the temporary file. False (with error()) when it cannot be created.
  bool open();
  // Buffered; the first failure is remembered and later writes do nothing.
  void write(std::string_view text);
  // Writes what is buffered, flushes it to disk and closes the temporary file.
  bool finish();
  // Renames the finished temporary file over the target.
  bool commit();

  bool failed() const { return !error_.empty(); }
  // Why the file could not be written (the system's reason).
  const std::string& error() const { return error_; }
  const std::string& target() const { return target_; }

 private:
  bool flush();
  void fail(int err);

  std::string target_;  // as given, for messages
  std::string real_;    // where the file goes (links followed)
  std::string temp_;
  int fd_ = -1;
  std::vector<char> buffer_;
  std::string error_;
  bool committed_ = false;
};

// "Could not save the file" with the path and the reason.
std::string saveFailureText(const std::string& path, const std::string& reason);

// Writes text to path through a temporary file; a failure is reported (stop icon).
bool writeFileAtomically(const std::string& path, std::string_view text, Platform& platform);

// Commits every file or reports the first that fails. Files are finished
// first, so a failure while writing changes none of the targets.
bool commitAll(const std::vector<AtomicFile*>& files, Platform& platform);

}  // namespace litho
