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

}  // namespace

LineSource::LineSource(std::string_view text)
    : memory_(true), data_(text.data()), size_(text.size()), fileSize_(static_cast<long long>(text.size())) {
  linesEnd_ = size_;
  eof_ = true;
}

LineSource::LineSource(const std::string& path, Buffers& buffers) : buffers_(&buffers) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) return;
  struct stat st {};
  if (::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode)) fileSize_ = static_cast<long long>(st.st_size);
  if (S_ISDIR(st.st_mode)) failed_ = true;
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
  if (::lseek(fd_, 0, SEEK_SET) != 0) {
    failed_ = true;
    return false;
  }
  size_ = linesEnd_ = 0;
  consumedBefore_ = 0;
  eof_ = false;
  data_ = buffers_->b[current_].data();
  return true;
}

// Makes [cur_, linesEnd_) non-empty unless the input is exhausted.
bool LineSource::fill() {
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

}  // namespace litho
