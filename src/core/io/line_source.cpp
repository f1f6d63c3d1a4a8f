#include "core/io/line_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

namespace litho {

namespace {

const char* lastNewline(const char* begin, const char* end) {
  return static_cast<const char*>(::memrchr(begin, '\n', static_cast<std::size_t>(end - begin)));
}

std::string kindProblem(mode_t mode) {
  if (S_ISDIR(mode)) return "The path names a folder, not a file.";
  if (S_ISFIFO(mode)) return "The path names a pipe (FIFO), not a regular file.";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "The path names a device, not a regular file.";
  if (S_ISSOCK(mode)) return "The path names a socket, not a regular file.";
  return "The path does not name a regular file.";
}

bool missingError(int error) { return error == ENOENT || error == ENOTDIR; }

std::string errnoProblem(int error) {
  if (missingError(error)) return "There is no such file.";
  return std::string("The file cannot be opened: ") + std::strerror(error) + ".";
}

constexpr const char* kUtf16 = "The file is UTF-16 text; save it as plain text (ASCII or UTF-8).";

// Bytes of a byte order mark to skip (3 for UTF-8), or -1 for UTF-16 text.
int byteOrderMark(const unsigned char* b, std::size_t n) {
  if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) return 3;
  if (n >= 2 && ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF))) return -1;
  return 0;
}

}  // namespace

LineSource::LineSource(std::string_view text)
    : memory_(true), data_(text.data()), size_(text.size()), fileSize_(static_cast<long long>(text.size())) {
  const int bom = byteOrderMark(reinterpret_cast<const unsigned char*>(text.data()), text.size());
  if (bom < 0) problem_ = kUtf16;
  if (bom > 0) {
    data_ += bom;
    size_ -= static_cast<std::size_t>(bom);
    fileSize_ -= bom;
  }
  linesEnd_ = size_;
  eof_ = true;
}

LineSource::LineSource(const std::string& path, Buffers& buffers) : buffers_(&buffers) {
  // Looked at before opening: opening a pipe without a writer would wait for one.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    missing_ = missingError(errno);
    problem_ = errnoProblem(errno);
    return;
  }
  if (!S_ISREG(st.st_mode)) {
    problem_ = kindProblem(st.st_mode);
    return;
  }
  // Non-blocking in case the path was replaced by a pipe since.
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0) {
    missing_ = missingError(errno);
    problem_ = errnoProblem(errno);
    return;
  }
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    problem_ = kindProblem(st.st_mode);
    ::close(fd_);
    fd_ = -1;
    return;
  }
  fileSize_ = static_cast<long long>(st.st_size);
  unsigned char head[3];
  const ssize_t n = ::pread(fd_, head, sizeof head, 0);
  const int bom = byteOrderMark(head, n > 0 ? static_cast<std::size_t>(n) : 0);
  if (bom < 0) problem_ = kUtf16;
  if (bom > 0 && ::lseek(fd_, bom, SEEK_SET) == bom) consumedBefore_ = start_ = bom;
  try {
    for (auto& b : buffers.b)
      if (b.size() < kChunk + kPad) b.resize(kChunk + kPad);
  } catch (const std::bad_alloc&) {
    failed_ = true;
  }
  data_ = buffers.b[0].data();
}

LineSource::~LineSource() {
  if (fd_ >= 0) ::close(fd_);
  // A buffer grown for a very long line is not kept.
  if (buffers_)
    for (auto& b : buffers_->b)
      if (b.size() > kChunk + kPad) std::vector<char>().swap(b);
}

long long LineSource::remainingBytes() const {
  if (fileSize_ < 0) return -1;
  return fileSize_ - consumedBefore_ - static_cast<long long>(cur_);
}

bool LineSource::rewind() {
  cur_ = 0;
  if (memory_) return true;
  if (fd_ < 0 || failed_) return false;
  if (::lseek(fd_, start_, SEEK_SET) != start_) {
    failed_ = true;
    return false;
  }
  size_ = linesEnd_ = 0;
  consumedBefore_ = start_;
  eof_ = false;
  data_ = buffers_->b[current_].data();
  return true;
}

// Makes [cur_, linesEnd_) non-empty unless the input is exhausted.
bool LineSource::fill() {
  if (!problem_.empty()) return false;
  if (cur_ < linesEnd_) return true;
  if (memory_ || fd_ < 0 || failed_ || eof_) return false;
  // Move the unfinished line to the other buffer and read behind it there.
  std::vector<char>& buf = buffers_->b[current_ ^ 1];
  const std::size_t keep = size_ - cur_;
  if (keep + kPad > buf.size()) {
    try {
      buf.resize(keep * 2 + kPad);
    } catch (const std::bad_alloc&) {
      failed_ = true;
      return false;
    }
  }
  if (keep > 0) std::memcpy(buf.data(), data_ + cur_, keep);
  current_ ^= 1;
  data_ = buf.data();
  consumedBefore_ += static_cast<long long>(cur_);
  cur_ = 0;
  size_ = keep;
  linesEnd_ = 0;
  for (;;) {
    if (size_ + kPad == buf.size()) {
      if (size_ >= kMaxLine) {
        failed_ = tooLong_ = true;
        return false;
      }
      try {
        buf.resize(size_ * 2 + kPad);
      } catch (const std::bad_alloc&) {
        failed_ = true;
        return false;
      }
      data_ = buf.data();
    }
    const ssize_t n = ::read(fd_, buf.data() + size_, buf.size() - kPad - size_);
    if (n < 0) {
      if (errno == EINTR) continue;
      failed_ = true;
      return false;
    }
    if (n == 0) {
      buf[size_] = '\0';
      eof_ = true;
      linesEnd_ = size_;
      return size_ > 0;
    }
    const char* fresh = buf.data() + size_;
    size_ += static_cast<std::size_t>(n);
    buf[size_] = '\0';
    if (const char* nl = lastNewline(fresh, buf.data() + size_)) {
      linesEnd_ = static_cast<std::size_t>(nl - buf.data()) + 1;
      return true;
    }
  }
}

bool LineSource::nextBlock(const char*& begin, const char*& end) {
  if (!fill()) return false;
  begin = data_ + cur_;
  end = data_ + linesEnd_;
  cur_ = linesEnd_;
  return true;
}

bool LineSource::nextLine(std::string_view& line) {
  if (!fill()) return false;
  const char* b = data_ + cur_;
  const char* e = data_ + linesEnd_;
  const char* nl = static_cast<const char*>(std::memchr(b, '\n', static_cast<std::size_t>(e - b)));
  if (nl) {
    line = std::string_view(b, static_cast<std::size_t>(nl - b));
    cur_ += line.size() + 1;
  } else {
    line = std::string_view(b, static_cast<std::size_t>(e - b));
    cur_ = linesEnd_;
  }
  return true;
}

std::string sourceFailure(const LineSource& in) {
  if (in.lineTooLong()) return "A line is longer than 64 MiB.\n";
  if (in.failed()) return "The file could not be read.\n";
  return {};
}

bool crOnlyLineEnds(std::string_view line) {
  for (std::size_t i = line.find('\r'); i != std::string_view::npos && i + 1 < line.size();
       i = line.find('\r', i + 1)) {
    const char c = line[i + 1];
    if (c != ' ' && c != '\t' && c != '\r' && c != '\v' && c != '\f') return true;
  }
  return false;
}

}  // namespace litho
