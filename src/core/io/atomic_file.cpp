#include "core/io/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
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

}  // namespace

AtomicFile::AtomicFile(const std::string& target) : target_(target), real_(target) {
  std::error_code ec;
  if (std::filesystem::is_symlink(target, ec)) {
    const auto resolved = std::filesystem::canonical(target, ec);
    if (!ec) real_ = resolved.string();
  }
}

AtomicFile::~AtomicFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!temp_.empty() && !committed_) ::unlink(temp_.c_str());
}

void AtomicFile::fail(int err) {
  if (error_.empty()) error_ = std::strerror(err);
}

bool AtomicFile::open() {
  const std::string folder = folderOf(real_);
  std::string name = (folder.empty() ? std::string() : folder + "/") + "." + baseName(real_) + ".XXXXXX";
  std::vector<char> buf(name.begin(), name.end());
  buf.push_back('\0');
  fd_ = ::mkostemp(buf.data(), O_CLOEXEC);
  if (fd_ < 0) {
    fail(errno);
    return false;
  }
  temp_ = buf.data();
  struct stat st {};
  const mode_t mode = ::stat(real_.c_str(), &st) == 0 ? (st.st_mode & 07777) : newFileMode();
  if (::fchmod(fd_, mode) != 0) {
    fail(errno);
    return false;
  }
  buffer_.reserve(kFlushAt + 4096);
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
  if (fd_ < 0 || !error_.empty()) return;
  buffer_.insert(buffer_.end(), text.begin(), text.end());
  if (buffer_.size() >= kFlushAt) flush();
}

bool AtomicFile::finish() {
  if (fd_ < 0) {
    if (error_.empty()) fail(EBADF);
    return false;
  }
  flush();
  // Some file systems cannot sync; that is no reason to give up the file.
  if (error_.empty() && ::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) fail(errno);
  if (::close(fd_) != 0 && error_.empty()) fail(errno);
  fd_ = -1;
  return error_.empty();
}

bool AtomicFile::commit() {
  if (!error_.empty() || temp_.empty() || fd_ >= 0) {
    if (error_.empty()) fail(EBADF);
    return false;
  }
  if (::rename(temp_.c_str(), real_.c_str()) != 0) {
    fail(errno);
    return false;
  }
  committed_ = true;
  const std::string folder = folderOf(real_);
  const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    (void)::fsync(dir);
    ::close(dir);
  }
  return true;
}

std::string saveFailureText(const std::string& path, const std::string& reason) {
  return "Could not save the file\n" + path + "\n" + reason + ".\nAny earlier file of that name is unchanged.";
}

bool commitAll(const std::vector<AtomicFile*>& files, Platform& platform) {
  for (AtomicFile* f : files) {
    if (!f->finish()) {
      platform.message(saveFailureText(f->target(), f->error()), MessageKind::Error);
      return false;
    }
  }
  for (AtomicFile* f : files) {
    if (!f->commit()) {
      platform.message(saveFailureText(f->target(), f->error()), MessageKind::Error);
      return false;
    }
  }
  return true;
}

bool writeFileAtomically(const std::string& path, std::string_view text, Platform& platform) {
  AtomicFile f(path);
  if (!f.open()) {
    platform.message(saveFailureText(path, f.error()), MessageKind::Error);
    return false;
  }
  f.write(text);
  return commitAll({&f}, platform);
}

}  // namespace litho
