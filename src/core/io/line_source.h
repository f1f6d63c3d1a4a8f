#pragma once
// Lines of a text held in memory or read from a file in chunks of about
// 1 MiB. Readers take whole blocks of lines and scan them in place; a line is
// everything up to '\n' (the last line of the input may lack it). Lines are
// read whole up to kMaxLine bytes. A file is read into two buffers in turn,
// so a block stays valid while the next one is read. Only regular files are
// opened (a pipe or a device could block or never end); a UTF-8 byte order
// mark at the start is skipped.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace litho {

class LineSource {
 public:
  static constexpr std::size_t kChunk = std::size_t{1} << 20;
  static constexpr std::size_t kMaxLine = std::size_t{64} << 20;
  // Bytes after the data that may be read (never used): a NUL follows the
  // last byte read from a file.
  static constexpr std::size_t kPad = 64;

  // Kept by the caller so that their pages are reused from one load to the next.
  struct Buffers {
    std::vector<char> b[2];
  };

  // The text must outlive the source.
  explicit LineSource(std::string_view text);
  // Reads the file through buffers. Check isOpen(), and problem() when it is not.
  LineSource(const std::string& path, Buffers& buffers);
  ~LineSource();
  LineSource(const LineSource&) = delete;
  LineSource& operator=(const LineSource&) = delete;

  bool isOpen() const { return problem_.empty() && (fd_ >= 0 || memory_); }
  // Why the input cannot be read as text, one sentence ("" when it can): no
  // file at the path, a folder, pipe or device, no permission, UTF-16 text.
  const std::string& problem() const { return problem_; }
  // Nothing at the path (or a folder on the way is missing).
  bool missing() const { return missing_; }
  // A read error, or a line longer than kMaxLine.
  bool failed() const { return failed_; }
  bool lineTooLong() const { return tooLong_; }
  // Bytes from the current position to the end of the input, when known (-1 otherwise).
  long long remainingBytes() const;

  // Back to the first line.
  bool rewind();
  // The next line without its '\n'; false at the end of the input or on failure.
  bool nextLine(std::string_view& line);
  // The next run of whole lines [begin, end): every line in it ends with '\n'
  // except the last line of the input. False at the end of the input or on
  // failure. The block stays valid until the second call after this one.
  bool nextBlock(const char*& begin, const char*& end);
  // Reading (not using) bytes up to here is safe; at least the end of the last block.
  const char* readableEnd() const { return memory_ ? data_ + size_ : data_ + size_ + kPad; }

 private:
  bool fill();

  int fd_ = -1;
  bool memory_ = false;
  Buffers* buffers_ = nullptr;
  int current_ = 0;  // the buffer data_ points into
  const char* data_ = nullptr;  // start of the buffer (or of the text)
  std::size_t size_ = 0;        // valid bytes from data_
  std::size_t cur_ = 0;         // next unread byte
  std::size_t linesEnd_ = 0;    // one past the last whole line in [cur_, size_)
  long long fileSize_ = -1;
  long long consumedBefore_ = 0;  // file bytes that precede data_
  long long start_ = 0;           // where the text starts: after a byte order mark
  bool eof_ = false;
  bool failed_ = false;
  bool tooLong_ = false;
  bool missing_ = false;
  std::string problem_;
};

// "A line is longer than 64 MiB.\n" or "The file could not be read.\n" when
// the source stopped for that reason, else "".
std::string sourceFailure(const LineSource& in);

// A first line holding a carriage return followed by more text: the file's
// lines end with CR alone, which the readers do not take as a line end.
bool crOnlyLineEnds(std::string_view firstLine);
inline constexpr const char* kCrOnlyLineEnds =
    "The lines of the file end with a carriage return (CR) alone; save it with LF or CR LF line ends.\n";

}  // namespace litho
