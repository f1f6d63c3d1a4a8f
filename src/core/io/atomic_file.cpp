#include "core/io/atomic_file.h"
#include "core/platform/printable.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "core/io/file_system.h"

namespace litho {

namespace {

constexpr std::size_t kFlushAt = std::size_t{1} << 20;

std::string baseName(const std::string& path) {
  const auto pos = path.rfind('/');
  return pos == std::string::npos ? path : path.substr(pos + 1);
}

// Mode of a new file: what open() with 0666 would give under the umask.
mode_t newFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

std::string scratchFolder() {
  const char* tmp = std::getenv("TMPDIR");
  return tmp && tmp[0] == '/' ? tmp : "/tmp";
}

// Temporary files that a fatal signal removes before the process ends. The
// handler may only touch memory that is ready at any moment: fixed buffers,
// each published by its flag once the path is in it.
struct TempSlot {
  std::atomic<bool> used{false};
  char path[PATH_MAX];
};
static_assert(std::atomic<bool>::is_always_lock_free);
TempSlot tempSlots[8];
constexpr int kFatalSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void removeTempFilesAndDie(int sig) {
  for (TempSlot& s : tempSlots)
    if (s.used.load(std::memory_order_acquire)) ::unlink(s.path);
  // SA_RESETHAND restored the default action; the signal stays blocked until
  // the handler returns and then ends the process as it would have.
  ::raise(sig);
}

// Only where the signal would end the process anyway: a program that handles
// or ignores it keeps its own way.
void installSignalCleanup() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  for (const int sig : kFatalSignals) {
    struct sigaction old {};
    if (::sigaction(sig, nullptr, &old) != 0 || (old.sa_flags & SA_SIGINFO) || old.sa_handler != SIG_DFL) continue;
    struct sigaction act {};
    act.sa_handler = removeTempFilesAndDie;
    sigfillset(&act.sa_mask);
    act.sa_flags = SA_RESETHAND;
    ::sigaction(sig, &act, nullptr);
  }
}

int registerTemp(const std::string& path) {
  if (path.size() >= PATH_MAX) return -1;
  for (int n = 0; n < static_cast<int>(std::size(tempSlots)); ++n) {
    TempSlot& s = tempSlots[n];
    if (s.used.load(std::memory_order_acquire)) continue;
    std::memcpy(s.path, path.c_str(), path.size() + 1);
    s.used.store(true, std::memory_order_release);
    return n;
  }
  return -1;
}

bool writeAll(int fd, const char* data, std::size_t size, off_t offset) {
  while (size > 0) {
    const ssize_t n = ::pwrite(fd, data, size, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
    offset += n;
  }
  return true;
}

}  // namespace

AtomicFile::AtomicFile(const std::string& target) : target_(target), real_(target) {}

AtomicFile::~AtomicFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!temp_.empty() && !committed_ && !damaged_) ::unlink(temp_.c_str());
  forgetTemp();
}

void AtomicFile::forgetTemp() {
  if (slot_ >= 0) tempSlots[slot_].used.store(false, std::memory_order_release);
  slot_ = -1;
}

void AtomicFile::fail(int err) { fail(std::string(std::strerror(err))); }

void AtomicFile::fail(const std::string& reason) {
  if (error_.empty()) error_ = reason;
}

bool AtomicFile::createTemp(const std::string& folder, const std::string& prefix) {
  std::string name = (folder == "/" ? "" : folder) + "/" + prefix + "XXXXXX";
  std::vector<char> buf(name.begin(), name.end());
  buf.push_back('\0');
  installSignalCleanup();
  // A signal between the creation and the registration would leave the file behind.
  sigset_t fatal, old;
  sigemptyset(&fatal);
  for (const int sig : kFatalSignals) sigaddset(&fatal, sig);
  ::sigprocmask(SIG_BLOCK, &fatal, &old);
  fd_ = ::mkostemp(buf.data(), O_CLOEXEC);
  const int err = errno;
  if (fd_ >= 0) {
    temp_ = buf.data();
    slot_ = registerTemp(temp_);
  }
  ::sigprocmask(SIG_SETMASK, &old, nullptr);
  if (fd_ < 0) {
    fail(err);
    return false;
  }
  return true;
}

bool AtomicFile::open() {
  struct stat st {};
  if (::lstat(target_.c_str(), &st) != 0) {
    if (errno != ENOENT) {
      fail(errno);
      return false;
    }
  } else {
    if (S_ISLNK(st.st_mode)) {
      if (::stat(target_.c_str(), &st) != 0) {
        fail(errno == ENOENT ? std::string("It is a link to a file that does not exist") : std::strerror(errno));
        return false;
      }
      std::error_code ec;
      const auto resolved = std::filesystem::canonical(target_, ec);
      if (ec) {
        fail(ec.value());
        return false;
      }
      real_ = resolved.string();
    }
    // A device, a pipe or a folder is never replaced by a file.
    if (!S_ISREG(st.st_mode)) {
      fail("It is not a regular file");
      return false;
    }
    if (::faccessat(AT_FDCWD, real_.c_str(), W_OK, AT_EACCESS) != 0) {
      fail(errno);
      return false;
    }
    exists_ = true;
  }

  // Renaming a new file over the old one would cut its other hard links loose.
  inPlace_ = exists_ && st.st_nlink > 1;
  const std::string folder = folderOf(real_);
  if (!createTemp(folder.empty() ? "." : folder, "." + baseName(real_) + ".")) {
    // A folder that takes no new files: the existing file is written in place.
    if (!exists_) return false;
    error_.clear();
    inPlace_ = true;
    if (!createTemp(scratchFolder(), "lithoscan3d-" + baseName(real_) + ".")) return false;
  }
  buffer_.reserve(kFlushAt + 4096);
  if (inPlace_) return true;  // the temporary file stays private
  if (exists_) {
    // Only the owner (or root) can give the new file the old one's owner.
    struct stat temp {};
    if (::fstat(fd_, &temp) != 0 ||
        ((temp.st_uid != st.st_uid || temp.st_gid != st.st_gid) && ::fchown(fd_, st.st_uid, st.st_gid) != 0)) {
      inPlace_ = true;
      return true;
    }
  }
  if (::fchmod(fd_, exists_ ? (st.st_mode & 07777) : newFileMode()) != 0) {
    fail(errno);
    return false;
  }
  return true;
}

bool AtomicFile::flush() {
  std::size_t done = 0;
  while (error_.empty() && done < buffer_.size()) {
    const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail(errno);
    } else {
      done += static_cast<std::size_t>(n);
    }
  }
  buffer_.clear();
  return error_.empty();
}

void AtomicFile::write(std::string_view text) {
  if (fd_ < 0 || finished_ || !error_.empty()) return;
  buffer_.insert(buffer_.end(), text.begin(), text.end());
  if (buffer_.size() >= kFlushAt) flush();
}

bool AtomicFile::finish() {
  if (fd_ < 0 || finished_) {
    fail(EBADF);
    return false;
  }
  flush();
  // Some file systems cannot sync; that is no reason to give up the file. A
  // file copied in place is synced there.
  if (error_.empty() && !inPlace_ && ::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) fail(errno);
  finished_ = error_.empty();
  return finished_;
}

bool AtomicFile::commit() {
  if (!error_.empty() || !finished_ || committed_) {
    fail(EBADF);
    return false;
  }
  if (!inPlace_) {
    if (::rename(temp_.c_str(), real_.c_str()) == 0) {
      committed_ = true;
      forgetTemp();
      ::close(fd_);
      fd_ = -1;
      const std::string folder = folderOf(real_);
      const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
      }
      return true;
    }
    // A sticky folder lets the file be written but not replaced.
    if (!exists_ || (errno != EPERM && errno != EACCES)) {
      fail(errno);
      return false;
    }
    inPlace_ = true;
  }
  if (!copyIntoTarget()) return false;
  committed_ = true;
  ::close(fd_);
  fd_ = -1;
  ::unlink(temp_.c_str());
  forgetTemp();
  return true;
}

bool AtomicFile::copyIntoTarget() {
  const int out = ::open(real_.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (out < 0) {
    fail(errno);
    return false;
  }
  struct stat st {};
  const off_t size = ::lseek(fd_, 0, SEEK_END);
  bool ok = size >= 0 && ::fstat(out, &st) == 0;
  if (!ok) fail(errno);
  if (ok && !S_ISREG(st.st_mode)) {
    fail("It is not a regular file");
    ok = false;
  }
  // The space is claimed before the first byte changes: a disk too full to
  // take the new text leaves the old one whole.
  while (ok && size > 0 && ::fallocate(out, FALLOC_FL_KEEP_SIZE, 0, size) != 0) {
    if (errno == EINTR) continue;
    if (errno != EOPNOTSUPP && errno != ENOSYS) {
      fail(errno);
      ok = false;
    }
    break;
  }
  if (ok) {
    std::vector<char> buf(kFlushAt);
    off_t done = 0;
    while (ok && done < size) {
      const ssize_t n =
          ::pread(fd_, buf.data(),
                  static_cast<std::size_t>(std::min<off_t>(size - done, static_cast<off_t>(buf.size()))), done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        fail(n == 0 ? EIO : errno);
        ok = false;
        break;
      }
      damaged_ = true;
      if (!writeAll(out, buf.data(), static_cast<std::size_t>(n), done)) {
        fail(errno);
        ok = false;
      }
      done += n;
    }
    if (ok && ::ftruncate(out, size) != 0) {
      damaged_ = true;
      fail(errno);
      ok = false;
    }
    if (ok && ::fsync(out) != 0 && errno != EINVAL && errno != EROFS) {
      fail(errno);
      ok = false;
    }
  }
  if (::close(out) != 0 && ok) {
    fail(errno);
    ok = false;
  }
  if (ok) {
    damaged_ = false;
  } else if (damaged_) {
    forgetTemp();  // the user needs it now
  }
  return ok;
}

std::string saveFailureText(const std::string& path, const std::string& reason) {
  return "Could not save the file\n" + printable(path) + "\n" + reason + ".\nAny earlier file of that name is unchanged.";
}

std::string saveFailureText(const AtomicFile& f) {
  if (!f.targetDamaged()) return saveFailureText(f.target(), f.error());
  return "Could not save the file\n" + printable(f.target()) + "\n" + f.error() +
         ".\nThe file may be incomplete; the whole text was kept in\n" + printable(f.tempPath());
}

bool commitAll(const std::vector<AtomicFile*>& files, Platform& platform) {
  for (AtomicFile* f : files) {
    if (!f->finish()) {
      platform.message(saveFailureText(*f), MessageKind::Error);
      return false;
    }
  }
  std::vector<std::string> saved;
  for (AtomicFile* f : files) {
    if (!f->commit()) {
      std::string text = saveFailureText(*f);
      if (!saved.empty()) text += saved.size() == 1 ? "\nThis file was saved:" : "\nThese files were saved:";
      for (const std::string& s : saved) text += "\n" + s;
      platform.message(text, MessageKind::Error);
      return false;
    }
    saved.push_back(f->target());
  }
  return true;
}

bool writeFileAtomically(const std::string& path, std::string_view text, Platform& platform) {
  AtomicFile f(path);
  if (!f.open()) {
    platform.message(saveFailureText(f), MessageKind::Error);
    return false;
  }
  f.write(text);
  return commitAll({&f}, platform);
}

}  // namespace litho
