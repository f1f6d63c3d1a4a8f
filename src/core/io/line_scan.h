#pragma once
// Pieces of the fast text readers: finding the lines of a block without
// waiting for the numbers on them, counting lines at memory speed, and a
// second thread that parses part of each block.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace litho {

#ifdef __SSE2__
inline std::uint64_t newlineBits(const char* base) {
  const __m128i nl = _mm_set1_epi8('\n');
  std::uint64_t m = 0;
  for (int q = 0; q < 4; ++q) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + 16 * q));
    m |= static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, nl)))) << (16 * q);
  }
  return m;
}
#endif

// Lines of [begin, end), found from a bitmap of the '\n' in 64-byte windows,
// so that finding the next line never waits for the number on this one. The
// last line may lack its '\n'. Bytes up to readable may be read.
class LineScanner {
 public:
  LineScanner(const char* begin, const char* end, const char* readable)
      : p_(begin), e_(end), readable_(readable), base_(begin), mask_(bits(begin)) {}

  // The next line [begin, end) without its '\n'; false after the last.
  bool next(const char*& begin, const char*& end) {
    if (p_ >= e_) return false;
    while (mask_ == 0) {
      base_ += 64;
      if (base_ >= e_) {
        begin = p_;
        end = p_ = e_;
        return true;
      }
      mask_ = bits(base_);
    }
    begin = p_;
    end = base_ + __builtin_ctzll(mask_);
    mask_ &= mask_ - 1;
    p_ = end + 1;
    return true;
  }

 private:
  // Bit b set when base[b] is a '\n' before the end.
  std::uint64_t bits(const char* base) const {
    const std::ptrdiff_t n = e_ - base;
    std::uint64_t m = 0;
#ifdef __SSE2__
    if (readable_ - base >= 64) {
      m = newlineBits(base);
      return n >= 64 ? m : m & ((std::uint64_t{1} << n) - 1);
    }
#endif
    for (std::ptrdiff_t b = 0; b < n && b < 64; ++b)
      if (base[b] == '\n') m |= std::uint64_t{1} << b;
    return m;
  }

  const char* p_;
  const char* e_;
  const char* readable_;
  const char* base_;
  std::uint64_t mask_;
};

// Lines in [begin, end), counting a last line without '\n'.
inline long long countLines(const char* begin, const char* end, const char* readable) {
  long long n = 0;
  const char* p = begin;
#ifdef __SSE2__
  for (; end - p >= 64 && readable - p >= 64; p += 64) n += __builtin_popcountll(newlineBits(p));
#endif
  for (; p < end; ++p) n += *p == '\n';
  return n + (end > begin && end[-1] != '\n');
}

// The lines of a block one thread parses: [begin, end), the first numbered
// firstLine, at most maxLines of them.
struct BlockPart {
  const char* begin = nullptr;
  const char* end = nullptr;
  long long firstLine = 0;
  long long maxLines = 0;
};

// Puts the block [b, e) of a read at line done of total into first, or, when
// it is worth two threads (threads: 0 to choose, 1 or 2), into first up to
// the line end after share of it and second after that. Returns the parts.
int splitBlock(BlockPart& first, BlockPart& second, const char* b, const char* e, const char* readable, long long done,
               long long total, double share, int threads);

// A second thread that runs one job at a time.
class HelperThread {
 public:
  HelperThread();
  ~HelperThread();
  HelperThread(const HelperThread&) = delete;
  HelperThread& operator=(const HelperThread&) = delete;

  void start(std::function<void()> job);
  void wait();

 private:
  void loop();

  std::mutex mutex_;
  std::condition_variable wake_, done_;
  std::function<void()> job_;
  bool busy_ = false;
  bool stop_ = false;
  std::thread thread_;
};

using SteadyClock = std::chrono::steady_clock;
inline double secondsBetween(SteadyClock::time_point a, SteadyClock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

// The share of the next block for the reading thread that would have made
// both threads finish this one together (the machine may be busy with other
// work, so the rates are measured, not assumed).
double balancedShare(double share, double mainSeconds, double helperSeconds, double readSeconds);

}  // namespace litho
