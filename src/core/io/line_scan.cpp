#include "core/io/line_scan.h"

#include <algorithm>
#include <cstring>
#include <thread>

namespace litho {

HelperThread::HelperThread() : thread_([this] { loop(); }) {}

HelperThread::~HelperThread() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void HelperThread::start(std::function<void()> job) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    job_ = std::move(job);
    busy_ = true;
  }
  wake_.notify_all();
}

void HelperThread::wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  done_.wait(lock, [this] { return !busy_; });
}

void HelperThread::loop() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stop_ || job_; });
    if (stop_) return;
    auto job = std::move(job_);
    job_ = nullptr;
    lock.unlock();
    job();
    lock.lock();
    busy_ = false;
    done_.notify_all();
  }
}

int splitBlock(BlockPart& first, BlockPart& second, const char* b, const char* e, const char* readable, long long done,
               long long total, double share, int threads) {
  static const bool twoCores = std::thread::hardware_concurrency() >= 2;
  first = {b, e, done, total - done};
  const bool split = threads == 2 ? e - b >= 2 : (threads == 0 && twoCores && e - b >= (256 << 10));
  if (!split) return 1;
  const char* cut = b + static_cast<std::ptrdiff_t>(static_cast<double>(e - b) * share);
  const char* mid = static_cast<const char*>(std::memchr(cut, '\n', static_cast<std::size_t>(e - cut)));
  if (!mid || ++mid >= e) return 1;
  const long long lines = countLines(b, mid, readable);
  if (lines >= total - done) return 1;
  first.end = mid;
  first.maxLines = lines;
  second = {mid, e, done + lines, total - done - lines};
  return 2;
}

double balancedShare(double share, double mainSeconds, double helperSeconds, double readSeconds) {
  if (mainSeconds <= 0 || helperSeconds <= 0) return share;
  const double mainRate = share / mainSeconds, helperRate = (1 - share) / helperSeconds;
  const double balanced = (1 - readSeconds * helperRate) * mainRate / (mainRate + helperRate);
  return std::clamp(0.5 * share + 0.5 * balanced, 0.1, 0.9);
}

}  // namespace litho
